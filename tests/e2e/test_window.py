"""The real window under a virtual display: typed commands, clicks in the view, a
screenshot checked for the line the clicks drew, a plug-in command that reaches the
window's session, SAVEAS with a typed name, QUIT; then the drawing read back."""
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

import ezdxf

from orvharness import MODULE, ORVCAD
from pngread import read_png

TOOLS = ("Xvfb", "xdotool", "import")


def missing_tools():
    return [t for t in TOOLS if shutil.which(t) is None]


class VirtualDisplay:
    def __init__(self, width=1280, height=900):
        read, write = os.pipe()
        self.proc = subprocess.Popen(
            # -noreset: a server with no client left resets, and refuses whoever connects
            # meanwhile (orvcad right after the readiness check below has left).
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        with os.fdopen(read, "rb") as f:
            while not number.endswith(b"\n"):
                chunk = f.read(1)
                if not chunk:
                    break
                number += chunk
        self.display = ":" + number.decode().strip()
        # Taking connections before orvcad connects: a client asks for the screen's size.
        env = dict(os.environ, DISPLAY=self.display)
        end = time.monotonic() + 30
        while subprocess.run(["xdotool", "getdisplaygeometry"], env=env, capture_output=True).returncode != 0:
            if time.monotonic() > end or self.proc.poll() is not None:
                raise AssertionError("the virtual display " + self.display + " takes no connection")
            time.sleep(0.1)

    def close(self):
        self.proc.terminate()
        self.proc.wait(timeout=10)


class RealWindow(unittest.TestCase):
    def setUp(self):
        if missing_tools():
            self.skipTest("needs " + ", ".join(missing_tools()) + " (tools/install-deps.sh installs them)")
        self.tmp = tempfile.mkdtemp(prefix="orv-window-e2e-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.x = VirtualDisplay()
        self.addCleanup(self.x.close)
        self.env = dict(os.environ, DISPLAY=self.x.display, LANG="C.UTF-8")
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            self.env.pop(name, None)
        module_dir = os.path.join(self.tmp, "mod")
        os.mkdir(module_dir)
        self.module = os.path.join(module_dir, "orvpipe07.arx")
        os.symlink(MODULE, self.module)
        os.symlink(os.path.join(os.path.dirname(os.path.realpath(MODULE)), "resource"),
                   os.path.join(module_dir, "resource"))

    def tool(self, *args, check=True):
        proc = subprocess.run(list(args), env=self.env, capture_output=True, timeout=30)
        if check and proc.returncode != 0:
            raise AssertionError(f"{args}: {proc.stderr.decode(errors='replace')}")
        return proc.stdout.decode().strip()

    def xdo(self, *args):
        return self.tool("xdotool", *args)

    def wait_for(self, what, condition, seconds=60):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            value = condition()
            if value:
                return value
            orvcad = getattr(self, "orvcad", None)
            if orvcad is not None and orvcad.poll() is not None:
                self.fail(f"orvcad ended (status {orvcad.returncode}) while waiting for {what}; standard error:\n"
                          + self.stderr_text() + "\ntranscript:\n" + self.transcript())
            time.sleep(0.1)
        self.fail("timed out waiting for " + what + "; standard error:\n" + self.stderr_text() +
                  "\ntranscript so far:\n" + self.transcript())

    def stderr_text(self):
        with open(os.path.join(self.tmp, "stderr.txt"), encoding="utf-8", errors="replace") as f:
            return f.read()

    def start(self, *args, title="^orvcad - ", place=True):
        """orvcad with these arguments, its window found, placed and given the keyboard at
        the command prompt: (the process, the window)."""
        self.out_path = os.path.join(self.tmp, "transcript.txt")
        with open(self.out_path, "wb") as out, open(os.path.join(self.tmp, "stderr.txt"), "wb") as err:
            self.orvcad = subprocess.Popen([ORVCAD, *args], env=self.env, stdin=subprocess.DEVNULL, stdout=out,
                                           stderr=err)
        orvcad = self.orvcad
        self.addCleanup(lambda: orvcad.poll() is None and orvcad.kill())
        # A first start on a fresh machine may build font caches: a long wait, ended early
        # if orvcad is gone.
        window = self.wait_for("the window", lambda: self.tool(
            "xdotool", "search", "--onlyvisible", "--name", title, check=False).split("\n")[0], seconds=180)
        if place:
            self.xdo("windowmove", window, "0", "0")
            self.xdo("windowsize", window, "1200", "850")
        self.wait_for("the command prompt", lambda: self.transcript().endswith("命令: "))
        time.sleep(0.5)
        self.xdo("windowfocus", "--sync", window)
        return orvcad, window

    def transcript(self):
        with open(self.out_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def dialog_shot(self, title, x, y, keep):
        """The dialog of this title once it shows, placed at x, y; a screenshot of the screen
        then (copied to the file the environment variable `keep` names, if set)."""
        dialog = self.wait_for("the dialog " + title, lambda: self.tool(
            "xdotool", "search", "--onlyvisible", "--name", "^" + title + "$", check=False).split("\n")[0])
        self.xdo("windowmove", dialog, str(x), str(y))
        time.sleep(1.0)
        shot = os.path.join(self.tmp, "shot.png")
        self.tool("import", "-window", "root", "PNG24:" + shot)
        if os.environ.get(keep):
            shutil.copy(shot, os.environ[keep])
        return dialog, read_png(shot)

    def type_line(self, text):
        self.xdo("type", "--delay", "15", text)
        self.xdo("key", "Return")

    def test_clicks_draw_a_line_where_the_view_shows_it(self):
        saved = os.path.join(self.tmp, "plan.dxf")
        # No --window: with a display there the window is the default.
        orvcad, window = self.start("--module", self.module)

        self.type_line("LINE")
        self.wait_for("the first point prompt", lambda: not self.transcript().endswith("命令: "))
        clicks = [(300, 300), (800, 450)]
        for n, (x, y) in enumerate(clicks):
            self.xdo("mousemove", "--sync", str(x), str(y))
            time.sleep(0.2)
            self.xdo("click", "1")
            self.wait_for("click %d" % (n + 1), lambda: self.transcript().count("\n") >= 2 + n)
        self.xdo("key", "Return")
        self.wait_for("the end of LINE", lambda: self.transcript().endswith("命令: "))
        self.wait_for("the title with the mark", lambda: self.xdo("getwindowname", window) == "orvcad - 未命名 *")
        self.xdo("mousemove", "--sync", "600", "845")  # away from the line (no crosshair on it)
        time.sleep(0.8)

        shot = os.path.join(self.tmp, "window.png")
        self.tool("import", "-window", "root", "PNG24:" + shot)
        if os.environ.get("ORV_KEEP_SCREENSHOT"):
            shutil.copy(shot, os.environ["ORV_KEEP_SCREENSHOT"])
        width, height, rows = read_png(shot)

        # The points the clicks gave, as the transcript writes them.
        points = re.findall(r"(-?[\d.e+-]+),(-?[\d.e+-]+)\n", self.transcript())
        self.assertEqual(len(points), 2, self.transcript())
        # Along the segment between the clicked pixels the line is drawn (colour 7 white on
        # the dark background); beside it the background.
        (x0, y0), (x1, y1) = clicks
        on, off = 0, 0
        for i in range(1, 20):
            t = i / 20
            x, y = round(x0 + (x1 - x0) * t), round(y0 + (y1 - y0) * t)
            on += any(min(rows[y + d][x]) > 110 for d in (-2, -1, 0, 1, 2))
            off += max(rows[y + 12][x]) < 60
        self.assertGreaterEqual(on, 18)
        self.assertGreaterEqual(off, 18)

        # A plug-in command asks in the window's session (one SDK, bound to it).
        self.type_line("FM")
        self.wait_for("FM's first prompt", lambda: "[修改(C)]:" in self.transcript())
        self.xdo("key", "Escape")
        self.wait_for("FM cancelled", lambda: self.transcript().endswith("命令: "))

        self.type_line("SAVEAS")
        self.wait_for("the file name prompt", lambda: self.transcript().endswith("(DXF): "))
        self.type_line(saved)
        self.wait_for("the saved title", lambda: self.xdo("getwindowname", window) == "orvcad - plan.dxf")
        self.type_line("QUIT")
        self.assertEqual(orvcad.wait(timeout=120), 0, self.stderr_text())

        doc = ezdxf.readfile(saved)
        lines = [e for e in doc.modelspace() if e.dxftype() == "LINE"]
        self.assertEqual(len(lines), 1)
        start, end = lines[0].dxf.start, lines[0].dxf.end
        self.assertEqual((start.x, start.y), (float(points[0][0]), float(points[0][1])))
        self.assertEqual((end.x, end.y), (float(points[1][0]), float(points[1][1])))

    def test_a_pick_with_shift_held_at_trim_extends(self):
        saved = os.path.join(self.tmp, "shift.dxf")
        orvcad, window = self.start("--window", "--module", self.module)

        def click(x, y, *keys):
            before = self.transcript().count("\n")
            self.xdo("mousemove", "--sync", str(x), str(y))
            time.sleep(0.2)
            for k in keys:
                self.xdo("keydown", k)
            self.xdo("click", "1")
            for k in keys:
                self.xdo("keyup", k)
            self.wait_for("the click at %d,%d" % (x, y), lambda: self.transcript().count("\n") > before)

        # A turn of the wheel each way: the view stays where it is from now on.
        self.xdo("mousemove", "--sync", "600", "400")
        self.xdo("click", "4")
        self.xdo("click", "5")
        # A boundary across the view, and a line stopping short of it.
        for (x0, y0), (x1, y1) in (((300, 500), (900, 500)), ((600, 200), (600, 400))):
            self.type_line("LINE")
            self.wait_for("the first point prompt", lambda: self.transcript().endswith("指定第一个点: "))
            click(x0, y0)
            click(x1, y1)
            self.xdo("key", "Return")
            self.wait_for("the end of LINE", lambda: self.transcript().endswith("命令: "))
        self.type_line("TRIM")
        self.wait_for("the edges", lambda: self.transcript().rstrip().endswith("选择对象:"))
        self.xdo("key", "Return")  # every entity is a cutting edge
        self.wait_for("the trim prompt", lambda: self.transcript().rstrip().endswith("放弃(U)]:"))
        click(600, 380, "shift")
        self.xdo("key", "Return")
        self.wait_for("the end of TRIM", lambda: self.transcript().endswith("命令: "))
        self.type_line("SAVEAS")
        self.wait_for("the file name prompt", lambda: self.transcript().endswith("(DXF): "))
        self.type_line(saved)
        self.wait_for("the saved title", lambda: self.xdo("getwindowname", window) == "orvcad - shift.dxf")
        self.type_line("QUIT")
        self.assertEqual(orvcad.wait(timeout=120), 0, self.stderr_text())

        self.assertNotIn("未与剪切边相交", self.transcript())
        lines = sorted((e for e in ezdxf.readfile(saved).modelspace() if e.dxftype() == "LINE"),
                       key=lambda e: abs(e.dxf.start.x - e.dxf.end.x))
        upright, boundary = lines
        # The short line now ends on the boundary: extended, not trimmed.
        self.assertAlmostEqual(min(upright.dxf.start.y, upright.dxf.end.y), boundary.dxf.start.y, places=9)
        self.assertAlmostEqual(upright.dxf.start.x, upright.dxf.end.x, places=9)

    def test_the_demo_plan_with_the_valve_dialog_open(self):
        demo = os.path.join(self.tmp, "demo.dxf")
        script = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "demo.scr")
        subprocess.run([ORVCAD, "--module", self.module, "--script", script, "--save", demo], env=self.env,
                       stdin=subprocess.DEVNULL, capture_output=True, check=True, timeout=120)
        orvcad, window = self.start("--window", "--module", self.module, demo, title="^orvcad - demo.dxf$")
        self.type_line("FM")
        self.wait_for("FM's first prompt", lambda: self.transcript().endswith("[修改(C)]:"))
        self.type_line("C")
        dialog, (width, height, rows) = self.dialog_shot("阀门选择", 360, 120, "ORV_KEEP_DIALOG_SCREENSHOT")
        # The plan is drawn in the view (left of the dialog), and the dialog's first frame
        # holds a preview: coloured or dark pixels on its white.
        geometry = self.xdo("getwindowgeometry", dialog)
        self.assertIn("Position: 360,120", geometry)
        size = re.search(r"Geometry: (\d+)x(\d+)", geometry)
        dw, dh = int(size.group(1)), int(size.group(2))

        def in_dialog(x, y):
            return 360 <= x < 360 + dw and 120 <= y < 120 + dh

        view_ink = sum(1 for y in range(60, 640, 2) for x in range(0, 1190, 2)
                       if not in_dialog(x, y) and min(rows[y][x]) > 110)
        self.assertGreater(view_ink, 50)
        # Slot 1's frame (template 7,6 to 39,36 in dialog units, the top left corner of
        # the dialog): a preview drawn in dark lines on white.
        frame = [rows[y][x] for y in range(122, 122 + dh // 6) for x in range(362, 360 + dw // 10)]
        self.assertGreater(sum(1 for p in frame if max(p) < 100), 10)
        self.assertGreater(sum(1 for p in frame if min(p) > 240), 100)
        self.xdo("key", "Escape")  # Cancel
        self.wait_for("the diameter prompt", lambda: self.transcript().endswith("[默认(0)]:"))
        self.xdo("key", "Escape")
        self.xdo("key", "Escape")
        self.wait_for("FM cancelled", lambda: self.transcript().endswith("命令: "))
        self.type_line("QUIT")
        self.assertEqual(orvcad.wait(timeout=120), 0, self.stderr_text())

    def test_the_plot_dialog_previews_the_sheet_and_plots_it(self):
        src = os.path.join(self.tmp, "plan.dxf")
        doc = ezdxf.new("R2000")
        doc.modelspace().add_line((0, 0), (10000, 0))
        doc.modelspace().add_line((0, 0), (0, 5000))
        doc.saveas(src)
        orvcad, window = self.start("--window", "--module", self.module, src, title="^orvcad - plan.dxf$")
        self.xdo("key", "ctrl+p")
        dialog, (width, height, rows) = self.dialog_shot("打印", 100, 100, "ORV_KEEP_PLOT_SCREENSHOT")
        size = re.search(r"Geometry: (\d+)x(\d+)", self.xdo("getwindowgeometry", dialog))
        dw, dh = int(size.group(1)), int(size.group(2))
        # The preview: an A3 sheet, pure white, about 400 × 280 pixels, with the drawing in
        # dark lines on it.
        inside = [rows[y][x] for y in range(100, 100 + dh) for x in range(100, 100 + dw)]
        self.assertGreater(sum(1 for p in inside if min(p) == 255), 80000)
        self.assertGreater(sum(1 for p in inside if max(p) < 100), 300)
        self.xdo("key", "Return")  # 打印
        out = os.path.join(self.tmp, "plan.pdf")
        self.wait_for("the sheet", lambda: "已打印到 " + out in self.transcript())
        self.assertIn("命令: PLOT PDF A3 L E 布满 C M " + out, self.transcript())
        self.assertTrue(os.path.getsize(out) > 0)
        # The choices are kept in the drawing (its page setup): it has changes to save.
        self.wait_for("the title with the mark", lambda: self.xdo("getwindowname", window) == "orvcad - plan.dxf *")

    def test_recovery_file_written_on_time_while_idle_and_kept_at_a_signal(self):
        state = os.path.join(self.tmp, "state")
        recovery = os.path.join(state, "orvcad")
        self.env.update(HOME=self.tmp, XDG_STATE_HOME=state, XDG_DATA_HOME=os.path.join(self.tmp, "data"))
        orvcad, window = self.start("--window", "--module", self.module, place=False)

        def drawings_kept():
            return [n for n in (os.listdir(recovery) if os.path.isdir(recovery) else []) if n.endswith(".dxf")]

        # Every 0.02 minutes: the file comes while the window waits at the command
        # prompt, with nothing typed.
        self.type_line("SAVETIME")
        self.wait_for("the SAVETIME prompt", lambda: not self.transcript().endswith("命令: "))
        self.type_line("0.02")
        self.type_line("LINE")
        self.type_line("0,0")
        self.type_line("100,50")
        self.xdo("key", "Return")
        self.wait_for("the end of LINE", lambda: self.transcript().endswith("命令: "))
        kept = self.wait_for("the recovery file", drawings_kept, seconds=15)
        self.assertEqual(len(kept), 1)
        lines = [e for e in ezdxf.readfile(os.path.join(recovery, kept[0])).modelspace() if e.dxftype() == "LINE"]
        self.assertEqual([(tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2]) for e in lines], [((0, 0), (100, 50))])

        # A change after it, then SIGTERM: the window goes at once, asking nothing, and the
        # file holds the change.
        self.type_line("LINE")
        self.type_line("0,0")
        self.type_line("0,80")
        self.xdo("key", "Return")
        self.wait_for("the end of the second LINE", lambda: self.transcript().count("0,80") == 1 and
                      self.transcript().endswith("命令: "))
        orvcad.terminate()
        status = orvcad.wait(timeout=120)
        self.assertNotEqual(status, 0)
        self.assertEqual(drawings_kept(), kept)
        lines = [e for e in ezdxf.readfile(os.path.join(recovery, kept[0])).modelspace() if e.dxftype() == "LINE"]
        self.assertEqual(len(lines), 2)


if __name__ == "__main__":
    unittest.main(verbosity=2)
