"""Starting orvcad with and without its window: the options, a missing display, and the
window module that uses the program's session libraries rather than copies of its own."""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

from orvharness import MODULE, ORVCAD

WINDOW_MODULE = os.path.join(os.path.dirname(os.path.dirname(os.path.realpath(ORVCAD))), "lib", "orvcad",
                             "orvcad-window.so")


def run(args, env_changes, stdin=subprocess.DEVNULL):
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
        env.pop(name, None)
    env.update(env_changes)
    proc = subprocess.run([ORVCAD, "--module", MODULE, *args], env=env, stdin=stdin, capture_output=True,
                          timeout=60)
    return proc.returncode, proc.stdout.decode(), proc.stderr.decode()


class Starting(unittest.TestCase):
    def test_a_window_that_cannot_open_is_a_one_line_message_unless_it_was_only_the_default(self):
        cases = [
            # (arguments, environment, fails, message on standard error)
            (["--window"], {}, True, "没有显示器"),
            (["--window"], {"DISPLAY": ":9876"}, True, "无法连接到显示器 :9876"),
            (["--window", "--script", "-"], {}, True, "不能一起给"),
            (["--window", "--terminal"], {}, True, "不能一起给"),
            # The window is only the default: the command line takes over, saying why.
            ([], {"DISPLAY": ":9876"}, False, "无法连接到显示器 :9876"),
            (["--terminal"], {"DISPLAY": ":9876"}, False, ""),
            ([], {}, False, ""),
        ]
        for args, env, fails, message in cases:
            with self.subTest(args=args, env=env):
                status, out, err = run(args, env)
                if fails:
                    self.assertNotEqual(status, 0)
                    lines = err.strip().split("\n")
                    self.assertEqual(len(lines), 1, err)
                    self.assertIn(message, lines[0])
                    self.assertTrue(lines[0].startswith("orvcad: "), err)
                else:
                    self.assertEqual(status, 0, err)
                    self.assertTrue(out.startswith("\n命令: "), out)
                    if message:
                        self.assertEqual(err, "orvcad: 无法打开图形窗口：" + message + "，改用命令行\n")
                    else:
                        self.assertEqual(err, "")

    def test_a_drawing_opened_with_the_window_is_reported_as_on_the_command_line(self):
        # The drawing is read while the window starts: what is said about it, and the
        # outcome, are those of the command line, and a window that cannot open still
        # says only that.
        line = "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n100\n 21\n50\n"
        text = "  0\nTEXT\n  8\n0\n  7\nNOSUCH\n 10\n5\n 20\n5\n 40\n2.5\n  1\nAB\n"
        drawings = {
            "doubt.dxf": line + text,  # read, with a note about the style
            "broken.dxf": "  0\nLINE\n 10\nabc\n",  # refused, line 7
        }
        window = {"QT_QPA_PLATFORM": "offscreen", "ORV_BENCH_FIRST_FRAME": "400x300"}
        with tempfile.TemporaryDirectory() as folder:
            for name, entities in drawings.items():
                path = os.path.join(folder, name)
                with open(path, "w") as f:
                    f.write("  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nENDSEC\n  0\nEOF\n")
                with self.subTest(drawing=name):
                    said = lambda err: [l for l in err.split("\n") if l.startswith(("orvcad", "注意"))]
                    line_status, _, line_err = run(["--script", "/dev/null", path], {})
                    status, _, err = run(["--window", path], window)
                    self.assertEqual(status, line_status, err)
                    self.assertEqual(said(err), said(line_err))
                    self.assertIn("无法打开图形" if line_status else "注意：文字样式“NOSUCH”", line_err)
                    # Shown (the benchmark's hook ends the program at the first frame) or not.
                    self.assertEqual("first frame" in err, line_status == 0, err)
                    status, _, err = run(["--window", path], {})
                    self.assertNotEqual(status, 0)
                    self.assertEqual(err, "orvcad: 无法打开图形窗口：没有显示器（DISPLAY 和 WAYLAND_DISPLAY 都未设置）\n")

    def test_replies_piped_in_are_a_script_even_with_a_display(self):
        with tempfile.TemporaryFile() as script:
            script.write("PICKBOX\n3\n".encode())
            script.seek(0)
            status, out, err = run([], {"DISPLAY": ":9876"}, stdin=script)
        self.assertEqual(status, 0, err)
        self.assertIn("PICKBOX\n", out)

    def test_help_names_the_window_options(self):
        status, out, _ = run(["--help"], {})
        self.assertEqual(status, 0)
        self.assertIn("--window", out)
        self.assertIn("--terminal", out)

    @unittest.skipUnless(shutil.which("nm"), "needs nm (binutils)")
    def test_the_window_module_uses_the_programs_session_libraries(self):
        defined = subprocess.run(["nm", "-D", "-C", "--defined-only", WINDOW_MODULE], capture_output=True,
                                 text=True, check=True).stdout
        # Functions and data of its own only: everything of orv:: it defines outright (not
        # inline copies, typeinfo or vtables merged at load time) is the window's.
        strong = [line for line in defined.split("\n") if re.match(r"^[0-9a-f]+ [TDBR] ", line)]
        foreign = [line for line in strong if "orv::" in line and "orv::window::" not in line]
        self.assertEqual(foreign, [])
        undefined = subprocess.run(["nm", "-D", "-C", "--undefined-only", WINDOW_MODULE], capture_output=True,
                                   text=True, check=True).stdout
        for used in ("orv::app::Session::", "orv::core::Document::", "orv::app::pictures("):
            self.assertIn(used, undefined)


if __name__ == "__main__":
    unittest.main(verbosity=2)
