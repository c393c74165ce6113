"""An installed copy that its user cannot write: orvcad runs as an unprivileged user
(setpriv) against a root-owned install, and the user keeps every setting and can add
library parts in a module folder of their own, while the installed sample parts stay
offered and the install stays as it was."""
import os
import re
import shutil
import subprocess
import tempfile

import ezdxf

from dxfcheck import read_audited
from orvharness import main, reachable_layout

import unittest

NOBODY = 65534
SLOT = re.compile(r"^\s*\( \)\s+(\d+)\. (.*?)  \[(有图|无图)\]$", re.M)


@unittest.skipUnless(os.geteuid() == 0 and shutil.which("setpriv"), "needs root and setpriv")
class UserModuleFolder(unittest.TestCase):
    def setUp(self):
        tmp = tempfile.TemporaryDirectory(prefix="orv-e2e-install-")
        self.addCleanup(tmp.cleanup)
        os.chmod(tmp.name, 0o755)
        # The install: root's, readable by all, writable by root alone.
        layout, _, _ = reachable_layout()
        self.prefix = os.path.join(tmp.name, "usr")
        shutil.copytree(layout, self.prefix)
        self.installed = os.path.join(self.prefix, "lib", "orvcad")
        with open(os.path.join(self.installed, "draw.ini"), "w") as f:
            f.write("[DRAW]\nENDSTYLE=2\n")
        self.home = os.path.join(tmp.name, "home")
        os.mkdir(self.home)
        os.chown(self.home, NOBODY, NOBODY)
        self.own = os.path.join(self.home, ".local", "share", "orvcad", "module")

    def snapshot(self):
        found = {}
        for top, _, files in os.walk(self.prefix):
            for name in files:
                path = os.path.join(top, name)
                with open(path, "rb") as f:
                    found[path] = f.read()
        return found

    def orvcad(self, lines, args=()):
        script = os.path.join(self.home, "s.scr")
        with open(script, "w", encoding="utf-8") as f:
            f.write("".join(line + "\n" for line in lines))
        os.chmod(script, 0o644)
        proc = subprocess.run(
            ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups",
             os.path.join(self.prefix, "bin", "orvcad"), "--script", script, *args],
            env={"HOME": self.home, "LANG": "C.UTF-8", "PATH": os.environ.get("PATH", "")},
            cwd=self.home, stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        self.assertEqual(proc.returncode, 0, proc.stderr.decode())
        self.assertEqual(proc.stderr.decode(), "")
        return proc.stdout.decode()

    def test_settings_and_parts_are_kept_in_the_users_own_folder(self):
        before = self.snapshot()
        out = self.orvcad(["CGD", "80", "70", "ARX", "?"])
        self.assertNotIn("无法", out)
        self.assertIn("\n模块目录: " + self.own + "（用户自己的模块文件夹；安装的模块在 " + self.installed + "）", out)
        with open(os.path.join(self.own, "draw.ini")) as f:
            settings = f.read()
        # Started as the installed settings, and keeps what the user set.
        self.assertIn("ENDSTYLE=2", settings)
        self.assertIn("DW=80.000000", settings)
        self.assertEqual(self.snapshot(), before, "the install is as it was")

        # The next session finds them; the sample valves are offered.
        out = self.orvcad(["CGD", "", "", "FM", "C", "CANCEL", "^C"])
        self.assertIn("\n请输入请输入管道外径[80.000000][默认(0)]:", out)
        samples = {name for _, name, _ in SLOT.findall(out)}
        for valve in ("闸阀", "截止阀", "球阀", "蝶阀"):
            self.assertIn(valve, samples)

        # A valve of the user's own, beside the samples.
        doc = ezdxf.new("R2000")
        block = doc.blocks.new("我的阀")
        block.add_line((0, -109.5), (300, 109.5))
        block.add_line((0, 109.5), (300, -109.5))
        doc.modelspace().add_blockref("我的阀", (0, 0))
        mine = os.path.join(self.own, "resource", "FM", "我的阀.dxf")
        doc.saveas(mine)
        os.chown(mine, NOBODY, NOBODY)
        out = self.orvcad(["FM", "C", "CANCEL", "^C"])
        slots = {name: int(number) for number, name, _ in SLOT.findall(out)}
        self.assertIn("闸阀", slots)
        self.assertIn("我的阀", slots)
        saved = os.path.join(self.home, "plan.dxf")
        self.orvcad(["FM", "C", str(slots["我的阀"]), "OK", "100", "0,0", "600,0"], args=["--save", saved])
        inserts = [e for e in read_audited(self, saved).modelspace() if e.dxftype() == "INSERT"]
        self.assertEqual([e.dxf.name for e in inserts], ["我的阀"])
        self.assertEqual(self.snapshot(), before, "the install is as it was")


if __name__ == "__main__":
    main()
