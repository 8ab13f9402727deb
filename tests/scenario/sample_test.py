#!/usr/bin/env python3
"""The bundled sample: made from its sheet by the builder, passed by the checker, every picture
credited, and played to the grade in both languages in the headless driver.

Usage: sample_test.py ANTHORA ANTHORA_DRIVE SAMPLE_FOLDER COPYRIGHT_FILE"""
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest

ANTHORA, DRIVER, SAMPLE, COPYRIGHT = (os.path.abspath(argument) for argument in sys.argv[1:5])
del sys.argv[1:5]
RIS = os.path.join(SAMPLE, "ris")
QUESTIONS = 42


def read_set(name, encoding):
    """The questions of a set file as (picture, right answer, three wrong answers)."""
    with open(os.path.join(RIS, name), "rb") as file:
        data = file.read()
    lines = data.decode(encoding).split("\r\n")
    count = int(lines[0])
    return [(lines[1 + 5 * i], lines[2 + 5 * i], lines[3 + 5 * i:6 + 5 * i]) for i in range(count)]


def set_files(folder):
    return sorted(name for name in os.listdir(folder)
                  if name in ("fen.ani", "fru.ani") or name.endswith(".jpg"))


class Sample(unittest.TestCase):
    def test_the_builder_remakes_the_set_from_its_sheet_byte_for_byte(self):
        with tempfile.TemporaryDirectory() as work:
            built = os.path.join(work, "built")
            run = subprocess.run([ANTHORA, "--build-set", os.path.join(SAMPLE, "source"), built],
                                 capture_output=True, text=True, timeout=300)
            self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
            self.assertIn(f"{QUESTIONS} questions, {QUESTIONS} pictures", run.stdout)
            made = os.path.join(built, "ris")
            self.assertEqual(set_files(RIS), set_files(made))
            for name in set_files(made):
                with self.subTest(file=name):
                    with open(os.path.join(RIS, name), "rb") as kept, \
                            open(os.path.join(made, name), "rb") as remade:
                        self.assertTrue(kept.read() == remade.read(),
                                        f"ris/{name} differs from what the builder makes; "
                                        "rebuild it with anthora --build-set --force "
                                        "sample/source sample")

    def test_the_checker_finds_nothing(self):
        run = subprocess.run([ANTHORA, "--check", SAMPLE], capture_output=True, text=True,
                             timeout=300)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertRegex(run.stdout, rf"^[^\n]*\({QUESTIONS} questions\)[^\n]*"
                                     rf"\({QUESTIONS} questions\): no errors, no warnings\n$")

    def test_questions_mix_species_and_use_every_picture_once(self):
        for name, encoding in (("fen.ani", "ascii"), ("fru.ani", "cp1251")):
            questions = read_set(name, encoding)
            with self.subTest(file=name):
                self.assertEqual(len(questions), QUESTIONS)
                pictures = [picture for picture, _, _ in questions]
                self.assertEqual(sorted(f"{picture}.jpg" for picture in pictures),
                                 [p for p in set_files(RIS) if p.endswith(".jpg")])
                for before, after in zip(questions, questions[1:]):
                    self.assertNotEqual(before[1], after[1],
                                        f"{before[0]} and {after[0]} follow each other")
        english = {picture: right for picture, right, _ in read_set("fen.ani", "ascii")}
        russian = {picture: right for picture, right, _ in read_set("fru.ani", "cp1251")}
        self.assertEqual(english.keys(), russian.keys())
        # One species is one name in each language.
        pairs = {(english[picture], russian[picture]) for picture in english}
        self.assertEqual(len({e for e, _ in pairs}), len(pairs))
        self.assertEqual(len({r for _, r in pairs}), len(pairs))
        self.assertEqual(len(pairs), 20)

    def test_every_picture_is_credited(self):
        with open(os.path.join(RIS, "CREDITS.md"), encoding="utf-8") as file:
            credits = file.read()
        lines = re.findall(r"^- (\S+\.jpg): (.+)$", credits, re.M)
        pictures = [name for name in set_files(RIS) if name.endswith(".jpg")]
        self.assertEqual(sorted(name for name, _ in lines), pictures)
        if any("GPL" in text for _, text in lines):
            with open(os.path.join(RIS, "GPL-2.txt"), encoding="utf-8") as file:
                self.assertIn("GNU GENERAL PUBLIC LICENSE\n                       Version 2",
                              file.read())
        if any("BY-SA" in text for _, text in lines):
            self.assertRegex(credits, r"shared under the same\s+licence")
        # The package's copyright file gives each picture a stanza of its own with its line.
        with open(COPYRIGHT, encoding="utf-8") as file:
            stanzas = file.read().split("\n\n")
        for name, text in lines:
            with self.subTest(picture=name):
                own = [stanza for stanza in stanzas
                       if f"sample/ris/{name}" in stanza.split("\n", 1)[0].split()[1:]]
                self.assertEqual(len(own), 1)
                self.assertIn(f"\nComment: {text}", own[0])
                self.assertRegex(own[0], r"\nLicense: \S+")


class Played(unittest.TestCase):
    """The whole sample in the headless driver, answered as a learner would answer it."""

    def setUp(self):
        self.driver = subprocess.Popen([DRIVER], cwd=SAMPLE, stdin=subprocess.PIPE,
                                       stdout=subprocess.PIPE, text=True, encoding="utf-8")
        self.dialogs = []

    def tearDown(self):
        self.driver.stdin.close()
        self.driver.wait(timeout=60)
        self.driver.stdout.close()
        self.assertEqual(self.driver.returncode, 0)

    def send(self, *commands):
        for command in commands:
            self.driver.stdin.write(command + "\n")
        self.driver.stdin.flush()

    def dump(self):
        self.send("dump")
        controls = {}
        while True:
            line = self.driver.stdout.readline()
            self.assertTrue(line, "the driver ended")
            report = json.loads(line)
            if "dialog" in report:
                self.dialogs.append(report)
            elif "name" in report:
                controls[report["name"]] = report
            elif "QuestionCount" in report:
                return controls, report

    def play(self, box, questions, answer_right):
        """Answers every question, right where answer_right(number) says so; returns the last
        question's status line and the end's controls and counters."""
        self.send(f"click {box}", "click xpButton6")
        status = None
        for number, (picture, right, wrong) in enumerate(questions, start=1):
            controls, _ = self.dump()
            self.assertTrue(controls["Image1"]["visible"], picture)
            captions = [controls[f"xpButton{i}"]["caption"] for i in range(1, 5)]
            self.assertEqual(sorted(captions), sorted([right] + wrong), picture)
            status = controls["Panel1"]["caption"]
            chosen = next(i for i, caption in enumerate(captions, start=1)
                          if (caption == right) == answer_right(number))
            self.send(f"click xpButton{chosen}", "click xpButton6")
        controls, counters = self.dump()
        self.assertEqual(self.dialogs, [], "a message box: a picture or set file is missing")
        self.assertFalse(controls["Image1"]["visible"], "the quiz did not end")
        return status, controls, counters

    def test_english_every_answer_right(self):
        status, controls, counters = self.play("xpCheckBox1", read_set("fen.ani", "ascii"),
                                               lambda number: True)
        self.assertEqual(status, 'Your status: "Flower"')
        self.assertEqual(controls["Panel2"]["caption"], "5")
        self.assertEqual((controls["Panel7"]["caption"], controls["Panel6"]["caption"]),
                         (str(QUESTIONS), "0"))
        self.assertEqual((counters["QuestionCount"], counters["RightCount"],
                          counters["WrongCount"]), (QUESTIONS, QUESTIONS, 0))

    def test_russian_every_other_answer_right(self):
        status, controls, counters = self.play("xpCheckBox2", read_set("fru.ani", "cp1251"),
                                               lambda number: number % 2 == 1)
        # 21 right of 42 before the last question: 5.5, rounded to the even 6.
        self.assertEqual(status, 'Ваш статус: "Листик"')
        self.assertEqual(controls["Panel2"]["caption"], "2")
        self.assertEqual((counters["QuestionCount"], counters["RightCount"],
                          counters["WrongCount"]), (QUESTIONS, 21, 21))


if __name__ == "__main__":
    unittest.main()
