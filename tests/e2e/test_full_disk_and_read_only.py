"""Saving drawings and settings where the disk is full or the folder read-only.

A full disk is a file-size limit (RLIMIT_FSIZE) on the orvcad process, which
makes a write fail part way just as a full disk does. A read-only folder is
one orvcad may not write in; run as root, orvcad then runs as user "nobody",
for whom the permissions hold. Each time the user gets a clear message, the
session goes on with its drawing, and the old file stays as it was.
"""
import os
import resource
import signal
import subprocess

from dxfcheck import entities, read_audited
from orvharness import ORVCAD, Session, main, reachable_layout

import unittest

NOBODY = 65534
SAVE_FAILED = "无法保存图形到"
SETTINGS_NOT_SAVED = "设置未保存，文件未改动"


def limit_file_size(limit):
    """A function for preexec_fn: files may grow to `limit` bytes, and no further."""
    def apply():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)  # write() fails with EFBIG instead
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
    return apply


def run(session, lines, args=(), **popen):
    """orvcad with the lines as its script and extra process settings; (stdout, stderr, status).
    Another user runs a copy of orvcad and its module that it can reach."""
    orvcad = ORVCAD
    if "user" in popen:
        _, orvcad, module = reachable_layout()
        os.remove(session.module)
        os.symlink(module, session.module)
    script = os.path.join(session.dir, "script.scr")
    with open(script, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(line + "\n" for line in lines))
    os.chmod(script, 0o644)
    proc = subprocess.run([orvcad, "--module", session.module, "--script", script, *args],
                          stdin=subprocess.DEVNULL, capture_output=True, timeout=120, **popen)
    return proc.stdout.decode("utf-8"), proc.stderr.decode("utf-8", "replace"), proc.returncode


def as_unprivileged():
    """Process settings that make permissions count: user nobody when run as root."""
    if os.geteuid() != 0:
        return {}
    return {"user": NOBODY, "group": NOBODY, "extra_groups": []}


def read(path):
    with open(path, "rb") as f:
        return f.read()


def many_lines(n):
    """A LINE command drawing n segments: a drawing far larger than an empty one."""
    return ["LINE"] + [f"{i},{i % 7}" for i in range(n + 1)] + [""]


class Drawings(unittest.TestCase):
    def setUp(self):
        self.s = Session(self)
        self.old = os.path.join(self.s.dir, "plan.dxf")
        run(self.s, ["LINE", "0,0", "10,0", ""], args=["--save", self.old])
        self.old_bytes = read(self.old)

    def leftovers(self, folder):
        return [n for n in os.listdir(folder) if n.startswith(".") or n.endswith(".tmp")]

    def test_save_on_a_full_disk_keeps_the_old_file_and_the_drawing(self):
        other = os.path.join(self.s.dir, "other.dxf")
        out, err, status = run(
            self.s, many_lines(1500) + ["SAVE", "UNDO", "LINE", "0,5", "10,5", "", "SAVEAS", other],
            args=[self.old], preexec_fn=limit_file_size(len(self.old_bytes) + 20000))
        self.assertEqual(status, 0, err)
        self.assertIn("\n" + SAVE_FAILED + "“" + self.old + "”", out)
        self.assertIn("图形已保存到“" + other + "”", out)
        self.assertEqual(read(self.old), self.old_bytes)
        self.assertEqual(self.leftovers(self.s.dir), [])
        # The session went on with the drawing it had: the line it opened, the new one.
        self.assertEqual(entities(read_audited(self, other)), [
            ("LINE", (0.0, 0.0), (10.0, 0.0)), ("LINE", (0.0, 5.0), (10.0, 5.0))])

    def test_the_save_option_on_a_full_disk_fails_with_one_line(self):
        out, err, status = run(self.s, many_lines(1500), args=[self.old, "--save", self.old],
                               preexec_fn=limit_file_size(len(self.old_bytes) + 20000))
        self.assertNotEqual(status, 0)
        self.assertEqual(err.count("\n"), 1, err)
        self.assertIn(SAVE_FAILED, err)
        self.assertIn(self.old, err)
        self.assertEqual(read(self.old), self.old_bytes)
        self.assertEqual(self.leftovers(self.s.dir), [])

    def test_save_into_a_read_only_folder_keeps_the_old_file_and_the_drawing(self):
        locked = os.path.join(self.s.dir, "locked")
        os.mkdir(locked)
        kept = os.path.join(locked, "plan.dxf")
        os.rename(self.old, kept)
        writable = os.path.join(self.s.dir, "writable")
        os.mkdir(writable)
        for folder in (self.s.dir, self.s.module_dir):
            os.chmod(folder, 0o755)
        os.chmod(writable, 0o777)
        os.chmod(kept, 0o666)  # the file itself may be written; the folder may not
        os.chmod(locked, 0o555)
        self.addCleanup(os.chmod, locked, 0o755)
        other = os.path.join(writable, "other.dxf")
        out, err, status = run(self.s, ["LINE", "0,5", "10,5", "", "SAVE", "SAVEAS", other],
                               args=[kept], **as_unprivileged())
        self.assertEqual(status, 0, err)
        self.assertIn("\n" + SAVE_FAILED + "“" + kept + "”", out)
        self.assertEqual(read(kept), self.old_bytes)
        self.assertEqual(sorted(os.listdir(locked)), ["plan.dxf"])
        self.assertEqual(entities(read_audited(self, other)), [
            ("LINE", (0.0, 0.0), (10.0, 0.0)), ("LINE", (0.0, 5.0), (10.0, 5.0))])

        # At the end of the session: a one-line message and a failing status.
        _, err, status = run(self.s, ["LINE", "0,5", "10,5", ""], args=[kept, "--save", kept],
                             **as_unprivileged())
        self.assertNotEqual(status, 0)
        self.assertEqual(err.count("\n"), 1, err)
        self.assertIn(SAVE_FAILED, err)
        self.assertEqual(read(kept), self.old_bytes)


class Settings(unittest.TestCase):
    OLD = "; written by hand\n[PIPE]\nDW=100.000000\nWTBJ=150.000000\n"

    def check_refused(self, out, s):
        """The write was refused with a message naming the file, and the session went on."""
        problems = [line for line in out.split("\n") if s.ini in line]
        self.assertTrue(problems, out)
        self.assertIn(SETTINGS_NOT_SAVED, problems[0])
        self.assertEqual(s.ini_text(), self.OLD)
        self.assertEqual(sorted(os.listdir(s.module_dir)), ["draw.ini", "orvpipe07.arx"])
        # The next command still ran, and found the old values.
        self.assertEqual(out.count("\n请输入请输入管道外径[100.000000][默认(0)]:"), 2, out)

    def test_settings_on_a_full_disk_keep_the_old_file(self):
        s = Session(self)
        s.write_ini(self.OLD)
        out, err, status = run(s, ["CGD", "80", "", "CGD", "", ""],
                               preexec_fn=limit_file_size(len(self.OLD) // 2))
        self.assertEqual(status, 0, err)
        self.check_refused(out, s)

    def test_settings_in_a_read_only_module_folder_keep_the_old_file(self):
        s = Session(self)
        s.write_ini(self.OLD)
        os.chmod(s.dir, 0o755)
        os.chmod(s.ini, 0o666)
        os.chmod(s.module_dir, 0o555)
        self.addCleanup(os.chmod, s.module_dir, 0o755)
        out, err, status = run(s, ["CGD", "80", "", "CGD", "", ""], **as_unprivileged())
        self.assertEqual(status, 0, err)
        self.check_refused(out, s)


if __name__ == "__main__":
    main()
