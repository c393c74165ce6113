"""Names of drawings, files refused before a session starts, the wording of the
host's messages, and replies typed in full width, end to end."""
import os
import subprocess

from dxfcheck import entities, read_audited
from orvharness import COMMAND, ORVCAD, Session, main, reply

import unittest


class DrawingNames(unittest.TestCase):
    def test_save_saveas_and_open_follow_the_rules_for_names(self):
        s = Session(self)
        os.chdir(s.dir)
        self.addCleanup(os.chdir, os.path.dirname(__file__))
        out, _, _ = s.run(["LINE", "0,0", "10,0", "", "SAVEAS", "plan", "SAVEAS", "x.png",
                           "SAVEAS", "   ", "SAVEAS", "plan.DXF", "LINE", "0,5", "10,5", "",
                           "OPEN", "plan", "SAVE", "OPEN", "nope"])
        self.assertIn("\n图形已保存到“plan.dxf”。", out)
        self.assertIn("\n图形只能保存为 DXF 文件，“x.png”的扩展名不是 .dxf。图片请用 EXPORT 命令输出。", out)
        self.assertIn(reply("\n保存图形为 (DXF): ", "   ") + "\n文件名不能只有空格，图形未保存。", out)
        self.assertIn("\n图形已保存到“plan.DXF”。", out)
        # OPEN plan finds plan.dxf, which SAVE then writes back.
        self.assertIn("\n已打开图形“plan.dxf”。" + COMMAND + "SAVE\n\n图形已保存到“plan.dxf”。", out)
        self.assertIn("\n无法打开图形“nope”：文件不存在", out)
        self.assertEqual(sorted(n for n in os.listdir(s.dir) if not n.endswith(".scr")),
                         ["mod", "plan.DXF", "plan.dxf"])
        self.assertEqual(entities(read_audited(self, os.path.join(s.dir, "plan.dxf"))),
                         [("LINE", (0.0, 0.0), (10.0, 0.0))])

    def test_files_that_cannot_work_are_refused_before_the_session(self):
        s = Session(self)
        folder = os.path.join(s.dir, "folder")
        os.mkdir(folder)
        missing = os.path.join(s.dir, "no-such-dir", "x.dxf")
        cases = [
            (["--save", missing], "无法保存图形到“" + missing + "”：文件夹不存在"),
            (["--save", folder], "无法保存图形到“" + folder + "”：这是一个文件夹"),
            (["--save", os.path.join(s.dir, "p.png")], "图片请用 --export 选项输出"),
            (["--export", os.path.join(missing + ".png")], "无法输出图片“" + missing + ".png”：文件夹不存在"),
            ([folder], "无法打开图形“" + folder + "”：这是一个文件夹"),
        ]
        for args, said in cases:
            with self.subTest(args=args):
                out, err, status = s.run(["CGD", "150", ""], args=args, check=False)
                self.assertNotEqual(status, 0)
                self.assertTrue(err.startswith("orvcad: "), err)
                self.assertIn(said, err)
                self.assertEqual(err.count("\n"), 1, err)
                self.assertEqual(out, "", "the session did not start")
                self.assertIsNone(s.ini_text())
        # A folder as the script is no empty script.
        proc = subprocess.run([ORVCAD, "--module", s.module, "--script", folder],
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        self.assertNotEqual(proc.returncode, 0)
        self.assertEqual(proc.stderr.decode(), "orvcad: 无法读取脚本文件“" + folder + "”：这是一个文件夹\n")


class Messages(unittest.TestCase):
    def test_a_damaged_drawing_names_the_file_once_and_the_line(self):
        s = Session(self)
        broken = os.path.join(s.dir, "broken.dxf")
        with open(broken, "w") as f:
            f.write("  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nabc\n  0\nENDSEC\n  0\nEOF\n")
        out, _, _ = s.run(["OPEN", broken])
        lines = [line for line in out.split("\n") if "broken.dxf" in line]
        self.assertEqual(len(lines), 2, out)  # the reply echoed, then the message
        message = lines[1]
        self.assertTrue(message.startswith("无法打开图形“" + broken + "”：文件在第 7 行损坏"), message)
        self.assertEqual(message.count("broken.dxf"), 1, message)
        _, err, status = s.run([], args=[broken], check=False)
        self.assertNotEqual(status, 0)
        self.assertEqual(err, "orvcad: " + message + "\n")

    def test_a_module_that_cannot_load_says_why_in_chinese(self):
        s = Session(self)
        fake = s.module  # the session's module is this text file
        os.remove(fake)
        with open(fake, "w") as f:
            f.write("not a library\n")
        _, err, status = s.run([], check=False)
        self.assertNotEqual(status, 0)
        self.assertEqual(err, "orvcad: 无法加载模块“" + fake + "”：它不是共享库文件\n")

    def test_a_settings_write_that_fails_says_so_every_time(self):
        s = Session(self)
        os.mkdir(s.ini)  # draw.ini is a folder: every write fails
        out, _, _ = s.run(["CGD", "150", "75", "CGD", "160", "80"])
        problems = [line for line in out.split("\n") if s.ini in line]
        self.assertEqual(len(problems), 4 + 2, out)  # two reads (one per command), four writes
        for line in problems:
            self.assertNotIn("No such", line)


class FullWidth(unittest.TestCase):
    def test_commands_points_and_numbers_typed_in_full_width(self):
        s = Session(self)
        saved = os.path.join(s.dir, "w.dxf")
        out, _, _ = s.run(["ＬＩＮＥ", "１００，２００", "＠５０，０", "", "ｃｇｄ", "１５０", "７５"],
                          args=["--save", saved])
        self.assertIn(reply(COMMAND, "ＬＩＮＥ") + "\n指定第一个点: １００，２００\n", out)
        self.assertEqual(entities(read_audited(self, saved)), [("LINE", (100.0, 200.0), (150.0, 200.0))])
        self.assertIn("DW=150.000000", s.ini_text())
        self.assertIn("WTBJ=75.000000", s.ini_text())


if __name__ == "__main__":
    main()
