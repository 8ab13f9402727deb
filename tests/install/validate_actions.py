#!/usr/bin/env python3
"""Checks the file managers' action files against their formats: each a key file whose groups
and keys are unique, with the keys its file manager needs, a Russian name, and an Exec line
that runs the program's make-quiz on one folder.
Usage: validate_actions.py SHARE_FOLDER"""
import configparser
import os
import re
import sys

ID = "org.example.anthora.make-quiz"
share = sys.argv[1]
problems = []


def read(path):
    parser = configparser.RawConfigParser(strict=True, delimiters=("=",), interpolation=None)
    parser.optionxform = str  # keys are case-sensitive
    with open(path, encoding="utf-8") as file:
        parser.read_string(file.read(), path)
    return parser


def need(path, group, keys):
    for key in keys:
        if not group.get(key):
            problems.append(f"{path}: [{group.name}] lacks {key}")


def runs_make_quiz(path, exec_line, code):
    if not re.fullmatch(r"\S+ --make-quiz " + code, exec_line or ""):
        problems.append(f"{path}: Exec={exec_line}")


# The shared file-manager actions (PCManFM, Caja): an action and the profiles it lists.
path = os.path.join(share, "file-manager/actions", ID + ".desktop")
action = read(path)
entry = action["Desktop Entry"]
need(path, entry, ["Type", "Name", "Name[ru]", "Profiles"])
if entry.get("Type") != "Action":
    problems.append(f"{path}: Type={entry.get('Type')}")
for profile in filter(None, entry.get("Profiles", "").split(";")):
    group = "X-Action-Profile " + profile
    if group not in action:
        problems.append(f"{path}: no group [{group}]")
        continue
    need(path, action[group], ["Exec", "MimeTypes"])
    if "inode/directory" not in action[group].get("MimeTypes", "").split(";"):
        problems.append(f"{path}: [{group}] is not for folders")
    runs_make_quiz(path, action[group].get("Exec"), "%f")

# Nemo's actions: one group, for one selected folder.
path = os.path.join(share, "nemo/actions", ID + ".nemo_action")
group = read(path)["Nemo Action"]
need(path, group, ["Name", "Name[ru]", "Exec", "Selection", "Extensions"])
if group.get("Selection", "").lower() != "s" or group.get("Extensions") != "dir;":
    problems.append(f"{path}: not for one folder")
runs_make_quiz(path, group.get("Exec"), "%F")

# Dolphin's KIO service menu: a service for folders with its actions, executable.
path = os.path.join(share, "kio/servicemenus", ID + ".desktop")
if not os.access(path, os.X_OK):
    problems.append(f"{path}: not executable")
menu = read(path)
entry = menu["Desktop Entry"]
need(path, entry, ["Type", "MimeType", "Actions", "X-KDE-ServiceTypes"])
if entry.get("Type") != "Service" or "inode/directory" not in entry.get("MimeType", "").split(";"):
    problems.append(f"{path}: not a service for folders")
for name in filter(None, entry.get("Actions", "").split(";")):
    group = "Desktop Action " + name
    if group not in menu:
        problems.append(f"{path}: no group [{group}]")
        continue
    need(path, menu[group], ["Name", "Name[ru]", "Exec"])
    runs_make_quiz(path, menu[group].get("Exec"), "%f")

for problem in problems:
    print(problem)
sys.exit(1 if problems else 0)
