"""Keeping the user's work at the terminal: the question about unsaved changes, the
question before a file is replaced, recovery files after a hang-up, a signal or a
failed --save, RECOVER and SAVETIME. orvcad runs on a pseudo-terminal, as a user
meets it, with its home and state folders in the test's own folder."""
import os
import pty
import select
import signal
import subprocess
import time

from dxfcheck import entities, read_audited
from orvharness import ORVCAD, Session, main

import unittest

QUESTION = "？[是(Y)/否(N)/取消(C)] <是>:"
LINE_A = ("LINE", (0.0, 0.0), (10.0, 0.0))
LINE_B = ("LINE", (10.0, 0.0), (20.0, 5.0))


class Terminal:
    """orvcad on a pseudo-terminal: keys typed, the screen read."""

    def __init__(self, testcase, session, args=()):
        self.env = session.env
        self.pid, self.fd = pty.fork()
        if self.pid == 0:  # the child: orvcad with the terminal as its own
            try:
                os.chdir(session.dir)
                os.execve(ORVCAD, [ORVCAD, "--module", session.module, *args], self.env)
            finally:
                os._exit(127)
        self.testcase = testcase
        self.shown = ""
        self.mark = 0
        self.status = None
        testcase.addCleanup(self.close)

    def _read(self, timeout):
        if self.fd < 0:
            time.sleep(timeout)
            return False
        ready, _, _ = select.select([self.fd], [], [], timeout)
        if not ready:
            return False
        try:
            data = os.read(self.fd, 65536)
        except OSError:  # the terminal's other side has gone
            data = b""
        self.shown += data.decode("utf-8", "replace")
        return bool(data)

    def until(self, text, timeout=20):
        """Everything shown, once `text` has been shown after what an earlier call found."""
        deadline = time.time() + timeout
        while text not in self.shown[self.mark:]:
            if time.time() > deadline or not self._read(deadline - time.time()):
                self.testcase.fail(f"{text!r} not shown; the screen:\n{self.shown}")
        self.mark = self.shown.index(text, self.mark) + len(text)
        return self.shown

    def type(self, keys):
        os.write(self.fd, keys.encode("utf-8"))

    def answer(self, prompt, keys):
        self.until(prompt)
        self.type(keys)

    def wait(self, timeout=20):
        """The exit status, as os.waitpid gives it."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                self.status = status
                return status
            self._read(0.05)
        self.testcase.fail("orvcad did not end; the screen:\n" + self.shown)

    def hang_up(self):
        os.close(self.fd)
        self.fd = -1

    def close(self):
        if self.status is None:
            try:
                os.kill(self.pid, signal.SIGKILL)
                os.waitpid(self.pid, 0)
            except OSError:
                pass
        if self.fd >= 0:
            os.close(self.fd)
            self.fd = -1


def terminal_session(testcase):
    s = Session(testcase)
    s.home = os.path.join(s.dir, "home")
    os.mkdir(s.home)
    s.state = os.path.join(s.dir, "state")
    s.recovery = os.path.join(s.state, "orvcad")
    s.env = {"HOME": s.home, "XDG_STATE_HOME": s.state, "XDG_DATA_HOME": os.path.join(s.dir, "data"),
             "TERM": "dumb", "INPUTRC": "/dev/null", "LANG": "C.UTF-8", "PATH": os.environ.get("PATH", "")}
    return s


def recovery_files(s):
    return sorted(os.listdir(s.recovery)) if os.path.isdir(s.recovery) else []


def drawn(testcase, path):
    return entities(read_audited(testcase, path))


class UnsavedChanges(unittest.TestCase):
    def test_quit_ctrl_d_open_and_new_ask_before_changes_go(self):
        s = terminal_session(self)
        other = os.path.join(s.dir, "other.dxf")
        s.run(["LINE", "0,5", "10,5", ""], args=["--save", other])
        t = Terminal(self, s)
        t.answer("命令: ", "LINE\r0,0\r10,0\r\r")
        # QUIT with changes: asked; C keeps the session.
        t.answer("命令: ", "QUIT\r")
        t.answer("是否将改动保存到 未命名" + QUESTION, "c\r")
        # OPEN: asked once the file is read; N lets the changes go.
        t.answer("命令: ", "OPEN\r")
        t.answer("DXF): ", "other\r")
        t.answer("是否将改动保存到 未命名" + QUESTION, "n\r")
        t.until("已打开图形“other.dxf”。")
        # OPEN again without changes asks nothing.
        t.answer("命令: ", "OPEN\rother\r")
        t.until("已打开图形“other.dxf”。\r\n")
        # NEW after a change: Enter saves it, here to its own file.
        t.answer("命令: ", "LINE\r0,0\r10,0\r\r")
        t.answer("命令: ", "NEW\r")
        t.answer("是否将改动保存到 other.dxf" + QUESTION, "\r")
        t.until("图形已保存到“other.dxf”。")
        t.until("已新建图形。")
        # SAVEAS onto a file that exists asks first; the default keeps it.
        t.answer("命令: ", "LINE\r0,0\r10,0\r20,5\r\r")
        t.answer("命令: ", "SAVEAS\rother\r")
        t.answer("“other.dxf”已存在。要替换它吗？[是(Y)/否(N)] <否>:", "\r")
        t.answer("命令: ", "SAVEAS\rother.dxf\r")
        t.answer("要替换它吗？[是(Y)/否(N)] <否>:", "y\r")
        t.until("图形已保存到“other.dxf”。")
        # Ctrl-D after a change asks too; Y saves under the drawing's file.
        t.answer("命令: ", "LINE\r0,0\r10,0\r\r")
        t.answer("命令: ", "\x04")
        t.answer("是否将改动保存到 other.dxf" + QUESTION, "Ｙ\r")  # full width, as an input method gives it
        self.assertEqual(t.wait(), 0, t.shown)
        self.assertEqual(drawn(self, other), [LINE_A, LINE_B, LINE_A])
        self.assertEqual(recovery_files(s), [])
        # Without changes Ctrl-D ends at once.
        t = Terminal(self, s, args=[other])
        t.answer("命令: ", "\x04")
        self.assertEqual(t.wait(), 0)
        self.assertNotIn("是否将改动", t.shown)


class Recovery(unittest.TestCase):
    def test_a_hang_up_keeps_the_drawing_which_the_next_session_offers_and_recover_opens(self):
        s = terminal_session(self)
        t = Terminal(self, s)
        t.answer("命令: ", "LINE\r0,0\r10,0\r20,5\r")
        t.until("[闭合(C)/放弃(U)]: ")
        t.hang_up()  # the terminal window is closed half way through the command
        status = t.wait()
        # Ended by the hang-up's signal, or by the lost terminal if that was seen first.
        self.assertTrue((os.WIFSIGNALED(status) and os.WTERMSIG(status) == signal.SIGHUP)
                        or os.waitstatus_to_exitcode(status) == 1, status)
        left = recovery_files(s)
        self.assertEqual([os.path.splitext(n)[1] for n in left], [".dxf", ".info"], left)
        kept = os.path.join(s.recovery, left[0])
        self.assertEqual(drawn(self, kept), [LINE_A, LINE_B])

        t = Terminal(self, s)
        shown = t.until("输入 RECOVER 打开它。")
        self.assertIn("找到未正常结束的会话留下的图形 未命名（未保存过的新图形，保存于 ", shown)
        self.assertIn("恢复文件“" + kept + "”", shown)
        t.answer("命令: ", "RECOVER\r")
        t.until("已恢复图形 未命名")
        # The recovered drawing is unsaved work of this session now.
        t.answer("命令: ", "QUIT\r")
        t.answer("是否将改动保存到 未命名" + QUESTION, "y\r")
        t.answer("(DXF): ", "back\r")
        self.assertEqual(t.wait(), 0, t.shown)
        self.assertEqual(drawn(self, os.path.join(s.dir, "back.dxf")), [LINE_A, LINE_B])
        self.assertEqual(recovery_files(s), [], "recovered, saved and ended: nothing left")

    def test_savetime_writes_between_commands_and_sigterm_at_once(self):
        s = terminal_session(self)
        t = Terminal(self, s)
        t.answer("命令: ", "SAVETIME\r")
        t.answer("（0 为关闭） <10>: ", "0.01\r")  # under a second
        t.answer("命令: ", "LINE\r0,0\r10,0\r\r")
        t.until("命令: ")
        deadline = time.time() + 10
        while not any(n.endswith(".dxf") for n in recovery_files(s)) and time.time() < deadline:
            time.sleep(0.05)
        kept = [os.path.join(s.recovery, n) for n in recovery_files(s) if n.endswith(".dxf")]
        self.assertEqual(len(kept), 1, recovery_files(s))
        self.assertEqual(drawn(self, kept[0]), [LINE_A])
        # Half way through a command the file is not written, however long it waits.
        t.type("LINE\r10,0\r20,5\r")
        t.until("[放弃(U)]: 20,5")
        time.sleep(1.5)
        self.assertEqual(drawn(self, kept[0]), [LINE_A])
        os.kill(t.pid, signal.SIGTERM)
        status = t.wait()
        self.assertTrue(os.WIFSIGNALED(status) and os.WTERMSIG(status) == signal.SIGTERM, status)
        self.assertEqual(drawn(self, kept[0]), [LINE_A, LINE_B], "written at once on the signal")
        # A script may RECOVER too.
        saved = os.path.join(s.dir, "back.dxf")
        out, _, _ = s.run(["RECOVER"], args=["--save", saved], env=s.env)
        self.assertIn("\n已恢复图形 未命名", out)
        self.assertEqual(drawn(self, saved), [LINE_A, LINE_B])
        self.assertEqual(recovery_files(s), [])

    def test_a_failed_save_option_keeps_the_drawing_in_a_recovery_file(self):
        s = terminal_session(self)
        folder = os.path.join(s.dir, "gone")
        os.mkdir(folder)
        target = os.path.join(folder, "plan.dxf")
        proc = subprocess.Popen([ORVCAD, "--module", s.module, "--script", "-", "--save", target],
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                env=s.env)
        proc.stdin.write("LINE\n0,0\n10,0\n\n".encode())
        proc.stdin.flush()
        time.sleep(0.5)
        os.rmdir(folder)  # the folder goes while the session runs
        out, err = proc.communicate(timeout=60)
        err = err.decode()
        self.assertNotEqual(proc.returncode, 0)
        self.assertEqual(err.count("\n"), 1, err)
        self.assertIn("无法保存图形到“" + target + "”：文件夹不存在；图形已留在恢复文件“", err)
        kept = err.split("恢复文件“")[1].split("”")[0]
        self.assertEqual(drawn(self, kept), [LINE_A])
        out, _, _ = s.run(["RECOVER", "SAVEAS", os.path.join(s.dir, "back")], env=s.env)
        self.assertEqual(drawn(self, os.path.join(s.dir, "back.dxf")), [LINE_A])
        self.assertEqual(recovery_files(s), [])


if __name__ == "__main__":
    main()
