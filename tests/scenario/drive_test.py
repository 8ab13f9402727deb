#!/usr/bin/env python3
"""Runs the headless driver over question sets in a temporary folder and checks its report."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

DRIVER = os.path.abspath(sys.argv.pop(1))

CONTROLS = ["Image2", "Panel2", "Image1", "Label1", "Label2", "Label5", "Label7", "Label8",
            "Label11", "Label3", "ProgressBar1", "ProgressBar3", "Panel4", "Panel5", "Panel6",
            "Panel7", "xpButton1", "xpButton2", "xpButton3", "xpButton4", "xpButton6",
            "Panel1", "xpCheckBox1", "xpCheckBox2"]


def question_set(count, questions):
    lines = [count] + [line for question in questions for line in question]
    return ("\r\n".join(lines) + "\r\n").encode("cp1251")


class Driver(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        os.mkdir(os.path.join(self.folder.name, "ris"))

    def tearDown(self):
        self.folder.cleanup()

    def write_sets(self, data):
        for name in ("fen.ani", "fru.ani"):
            with open(os.path.join(self.folder.name, "ris", name), "wb") as file:
                file.write(data)

    def drive(self, *commands, status=0):
        run = subprocess.run([DRIVER], input="\n".join(commands) + "\n", cwd=self.folder.name,
                             capture_output=True, text=True, timeout=120)
        self.assertEqual(run.returncode, status, run.stderr)
        return [json.loads(line) for line in run.stdout.splitlines()], run.stderr

    def controls(self, report):
        return {line["name"]: line for line in report if "name" in line}

    def test_dump_lists_every_control_then_the_counters(self):
        report, _ = self.drive("dump")
        self.assertEqual([line["name"] for line in report[:-1]], CONTROLS)
        self.assertEqual(report[-1], {"QuestionCount": 0, "RightCount": 0, "WrongCount": 0,
                                      "AnswerAllowed": False})
        controls = self.controls(report)
        start = controls["xpButton6"]
        self.assertEqual((start["class"], start["caption"], start["enabled"], start["bounds"]),
                         ("TxpButton", "Начать", False, [305, 233, 145, 30]))
        self.assertTrue(controls["xpButton1"]["focused"])
        self.assertEqual(controls["xpButton1"]["caption"], "")
        self.assertEqual(controls["xpButton1"]["fontColor"], "0xFF000008")
        self.assertEqual(controls["xpCheckBox1"]["checked"], False)
        bar = controls["ProgressBar1"]
        self.assertEqual((bar["position"], bar["max"]), (0, 100))
        self.assertNotIn("checked", controls["Panel1"])

    def test_dialogs_are_reported_and_answered(self):
        report, _ = self.drive("click xpCheckBox1", "click xpButton6", "dump")
        self.assertEqual(report[0], {"dialog": "Anthora 1.0", "text": "Текстовый файл не найден!",
                                     "icon": "none"})
        self.assertEqual(self.controls(report)["xpButton6"]["caption"], "Begin")
        self.write_sets(b"x\r\n")
        report, _ = self.drive("click xpCheckBox1", "click xpButton6")
        self.assertEqual(report, [{"dialog": "Anthora 1.0",
                                   "text": "'x' is not a valid integer value.", "icon": "error"}])

    def test_unknown_commands_and_names_fail(self):
        for command, complaint in (("frobnicate", "frobnicate"), ("click Nothing", "Nothing"),
                                   ("key F13", "F13")):
            with self.subTest(command=command):
                _, errors = self.drive(command, status=1)
                self.assertIn(complaint, errors)

    def test_the_link_opens_the_site(self):
        report, _ = self.drive("click Label7")
        self.assertEqual(len(report), 1)
        self.assertTrue(report[0]["open"].startswith("https://"))

    def test_a_russian_quiz_to_its_grade(self):
        self.write_sets(question_set("2", [["a", "Роза", "Тюльпан", "Лилия", "Ромашка"],
                                           ["b", "Мак", "Астра", "Ирис", "Пион"]]))
        report, _ = self.drive("counter 40", "click xpCheckBox2", "click xpButton6",
                               "click xpButton1", "click xpButton6", "click xpButton2",
                               "click xpButton6", "dump")
        missing = {"dialog": "Anthora 1.0", "text": "Графический файл не найден!!", "icon": "none"}
        self.assertEqual([line for line in report if "dialog" in line], [missing, missing])
        controls = self.controls(report)
        self.assertEqual(controls["Panel1"]["caption"], 'Ваш статус: "Листик"')
        self.assertEqual(controls["Panel2"]["caption"], "2")
        self.assertFalse(controls["Image1"]["visible"])
        self.assertEqual([controls[f"xpButton{i}"]["caption"] for i in range(1, 5)],
                         ["Мак", "Астра", "Ирис", "Пион"])
        # The last press turned the answers black before it found the end of the set.
        self.assertEqual({controls[f"xpButton{i}"]["fontColor"] for i in range(1, 5)},
                         {"0x00000000"})
        self.assertFalse(any(controls[f"xpButton{i}"]["enabled"] for i in range(1, 7) if i != 5))
        self.assertEqual((controls["Panel6"]["caption"], controls["Panel7"]["caption"]), ("1", "1"))
        self.assertEqual(report[-1], {"QuestionCount": 2, "RightCount": 1, "WrongCount": 1,
                                      "AnswerAllowed": False})


if __name__ == "__main__":
    unittest.main()
