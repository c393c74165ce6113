"""The host from the outside: options, exit status, the command line, HELP and ARX."""
import os
import subprocess
import tempfile
import unittest

from orvharness import COMMAND, MODULE, ORVCAD, Session, main, reply, transcript


def orvcad(*args, stdin=b""):
    return subprocess.run([ORVCAD, *args], input=stdin, capture_output=True, timeout=60)


class Options(unittest.TestCase):
    def test_help_and_version(self):
        help_ = orvcad("--help")
        self.assertEqual(help_.returncode, 0)
        text = help_.stdout.decode()
        for option in ("--module", "--script", "--help", "--version"):
            self.assertIn(option, text)
        version = orvcad("--version")
        self.assertEqual(version.returncode, 0)
        self.assertRegex(version.stdout.decode(), r"^orvcad \d+\.\d+\.\d+\n$")

    def test_bad_command_lines_fail_with_one_line_on_stderr(self):
        for args in (["--bogus"], ["--script"], ["--script", "/nonexistent/x.scr"],
                     ["--module", "/nonexistent/orvpipe07.arx", "--script", "-"],
                     ["extra-argument"]):
            with self.subTest(args=args):
                proc = orvcad(*args)
                self.assertNotEqual(proc.returncode, 0)
                err = proc.stderr.decode()
                self.assertTrue(err.startswith("orvcad: "), err)
                self.assertEqual(err.count("\n"), 1, err)

    def test_a_file_that_is_not_a_module_is_refused(self):
        with tempfile.TemporaryDirectory() as d:
            fake = os.path.join(d, "orvpipe07.arx")
            with open(fake, "w") as f:
                f.write("not a library\n")
            proc = orvcad("--module", fake, "--script", "-")
            self.assertNotEqual(proc.returncode, 0)
            self.assertIn("无法加载模块", proc.stderr.decode())

    def test_piped_standard_input_is_a_script(self):
        proc = orvcad("--module", MODULE, stdin="NOSUCH\n".encode())
        self.assertEqual(proc.returncode, 0)
        self.assertEqual(proc.stdout.decode(), transcript(
            reply(COMMAND, "NOSUCH"), "\n未知命令“NOSUCH”。输入 HELP 查看命令列表。"))


class CommandLine(unittest.TestCase):
    def test_comments_cancel_and_repeat_at_the_command_prompt(self):
        s = Session(self)
        out, _, _ = s.run(["# a comment", "^C", "ST", "^C", "", "^C"])
        first = "\n请输入第一点[x,y][管道外径(主0.000000)(支0.000000)][修改(C)]:"
        self.assertEqual(out, transcript(
            COMMAND + "*取消*\n",
            reply(COMMAND, "ST"), first + "*取消*\n",
            reply(COMMAND, ""), first + "*取消*\n"))

    def test_a_script_ending_inside_a_command_cancels_it(self):
        s = Session(self)
        out, _, _ = s.run(["CGD"])
        self.assertEqual(out, "".join([
            reply(COMMAND, "CGD"),
            "\n请输入请输入管道外径[0.000000][默认(0)]:*取消*\n",
            "\n 请输入请输入弯头半径[0.000000][默认(0)]:*取消*\n",
            COMMAND, "\n"]))

    def test_crlf_scripts_and_a_reply_of_one_blank(self):
        s = Session(self)
        script = os.path.join(s.dir, "crlf.scr")
        with open(script, "wb") as f:
            f.write("CLT\r\n \r\nDOT\r\n\r\n3\r\n".encode())
        proc = subprocess.run([ORVCAD, "--module", s.module, "--script", script],
                              capture_output=True, timeout=60)
        self.assertEqual(proc.returncode, 0)
        self.assertEqual(s.ini_text(), "[SIDELINE]\nLINECOLOR=DOT\n[MIDLINE]\nLINETYPE=\nLINECOLOR=3\n")

    def test_quit_ends_the_session_before_the_script_does(self):
        s = Session(self)
        out, _, status = s.run(["QUIT", "CGD", "150", "150"])
        self.assertEqual(status, 0)
        self.assertEqual(out, reply(COMMAND, "QUIT") + "\n")
        self.assertIsNone(s.ini_text())


class HelpAndArx(unittest.TestCase):
    def test_help_lists_host_and_module_commands(self):
        s = Session(self)
        out, _, _ = s.run(["help"])
        for name in ("ARX", "HELP", "QUIT", "命令组 BASIC:", "CLT", "ChangeLineType",
                     "CGD", "ChangePipeParameters", "ST", "DrawST"):
            self.assertIn(name, out)
        # The host's commands by name, each with its Chinese description.
        host = out.split("\n宿主命令:\n", 1)[1].split("\n命令组 ", 1)[0].split("\n")
        names = [line.split()[0] for line in host]
        self.assertEqual(names, sorted(names))
        self.assertIn("RECOVER", names)
        for line in host:
            self.assertRegex(line, r"^  [A-Z]+ .*[\u4e00-\u9fff]", line)

    def test_arx_lists_unloads_and_loads_modules(self):
        s = Session(self)
        out, _, _ = s.run(["ARX", "?", "ARX", "C", "ARX", "U", "orvpipe07.arx", "CGD",
                           "ARX", "L", s.module, "CGD", "^C", "^C"])
        self.assertIn("\n已加载的模块:\n  orvpipe07.arx", out)
        self.assertIn(s.module, out)
        self.assertIn("\n命令组 BASIC:\n", out)
        self.assertIn("\n  CLT     ChangeLineType            [orvpipe07.arx]", out)
        self.assertIn(reply("\n要卸载的模块: ", "orvpipe07.arx") + "\n模块已卸载。", out)
        self.assertIn(reply(COMMAND, "CGD") + "\n未知命令“CGD”。", out)
        self.assertIn("\n模块已加载。" + reply(COMMAND, "CGD") + "\n请输入请输入管道外径", out)

    def test_arx_refuses_what_it_cannot_do(self):
        s = Session(self)
        out, _, _ = s.run(["ARX", "L", s.module, "ARX", "U", "nosuch.arx", "ARX", "X"])
        self.assertIn("已经加载", out)
        self.assertIn("“nosuch.arx”没有加载", out)
        self.assertIn("无效的选项“X”", out)


class ModuleDirectory(unittest.TestCase):
    def test_a_linked_module_uses_the_settings_beside_the_link(self):
        with tempfile.TemporaryDirectory(prefix="orv 模块 ") as d:
            link = os.path.join(d, "orvpipe07.arx")
            os.symlink(MODULE, link)
            script = os.path.join(d, "s.scr")
            with open(script, "w") as f:
                f.write("CGD\n88\n\n")
            proc = subprocess.run([ORVCAD, "--module", link, "--script", script],
                                  capture_output=True, timeout=60)
            self.assertEqual(proc.returncode, 0, proc.stderr)
            with open(os.path.join(d, "draw.ini")) as f:
                self.assertEqual(f.read(), "[PIPE]\nDW=88.000000\n")
            real_dir = os.path.dirname(os.path.realpath(MODULE))
            self.assertFalse(os.path.exists(os.path.join(real_dir, "draw.ini")) and
                             "88.000000" in open(os.path.join(real_dir, "draw.ini")).read())

    def test_a_settings_file_that_is_not_text_is_reported_once_and_kept(self):
        s = Session(self)
        garbage = bytes(range(256)) * 4
        with open(s.ini, "wb") as f:
            f.write(garbage)
        out, _, _ = s.run(["CGD", "150", "75"])
        self.assertIn("\n请输入请输入管道外径[0.000000][默认(0)]:150\n", out)
        problems = [line for line in out.split("\n") if s.ini in line]
        # One for reading, and one for each refused write: every value lost says so.
        self.assertEqual(len(problems), 3, out)
        self.assertNotEqual(problems[0], problems[1])
        self.assertEqual(problems[1], problems[2])
        with open(s.ini, "rb") as f:
            self.assertEqual(f.read(), garbage)


if __name__ == "__main__":
    main()
