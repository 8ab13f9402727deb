"""Imports a flashcard deck with the importer of another flashcard program (Mnemosyne, through
its library, without a window) and compares what it holds with the set the deck was exported
from: a fact per question, in any order, its back the right answer, its front the picture and
the four answers, and the picture's file the set's, byte for byte.

Usage: mnemosyne-import.py DECK.apkg RIS_FOLDER fen.ani|fru.ani WORK_FOLDER
"""
import html
import os
import re
import shutil
import sys

from mnemosyne.script import Mnemosyne

deck, ris, set_file, work = (os.path.abspath(a) for a in sys.argv[1:5])
set_file = os.path.basename(set_file)
os.makedirs(work)
# The importer unpacks the deck beside it.
copy = os.path.join(work, "deck.apkg")
shutil.copy(deck, copy)


def fail(why):
    print(f"mnemosyne-import: {why}", file=sys.stderr)
    sys.exit(1)


lines = open(os.path.join(ris, set_file), "rb").read().decode("cp1251").split("\r\n")
questions = [(lines[1 + i * 5], lines[2 + i * 5:6 + i * 5]) for i in range(int(lines[0]))]

mnemosyne = Mnemosyne(os.path.join(work, "data"))
mnemosyne.main_widget().show_information = lambda *args, **kwargs: None
importer = next(f for f in mnemosyne.component_manager.all("file_format")
                if type(f).__name__ == "Anki2")
importer.do_import(copy)
database = mnemosyne.database()
media = database.media_dir()
facts = {}
for fact, key, value in database.con.execute(
        "SELECT _fact_id, key, value FROM data_for_fact"):
    facts.setdefault(fact, {})[key] = value
if database.card_count() != len(questions):
    fail(f"{database.card_count()} cards for {len(questions)} questions")
by_back = {}
for fields in facts.values():
    by_back.setdefault(html.unescape(fields.get("1", "")), []).append(fields["0"])
pictures = 0
for picture, answers in questions:
    fronts = by_back.get(answers[0], [])
    want = open(os.path.join(ris, picture + ".jpg"), "rb").read()
    found = False
    for front in fronts:
        image = re.search(r'<img src="([^"]*)">', front)
        listed = sorted(html.unescape(a) for a in re.findall(r"<li>([^<]*)</li>", front))
        if image and listed == sorted(answers):
            path = os.path.join(media, html.unescape(image.group(1)))
            if os.path.exists(path) and open(path, "rb").read() == want:
                found = True
    if not found:
        fail(f"no card shows {picture} with {answers}")
    pictures += 1
cards = database.card_count()
mnemosyne.finalise()
print(f"mnemosyne: {len(facts)} facts, {cards} cards, {pictures} pictures")
