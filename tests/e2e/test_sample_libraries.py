"""The sample part libraries as installed beside the module, used through FM and ZDY.

The session's module directory links the ready layout's "resource" folder, so
that the commands scan exactly the libraries a fresh install ships.
"""
import math
import os
import re
import unittest

from dxfcheck import read_audited
from orvharness import MODULE, Session, main

RESOURCE = os.path.join(os.path.dirname(os.path.realpath(MODULE)), "resource")
VALVES = ["闸阀", "截止阀", "止回阀", "球阀", "蝶阀", "旋塞阀", "针形阀", "隔膜阀"]
PARTS = ["法兰", "盲板", "过滤器", "泵", "仪表", "8字盲板"]
SLOT = re.compile(r"^\s*\( \)\s+(\d+)\. (.*?)  \[(有图|无图)\]$")


def slots(out, caption):
    """The slots the dialog of that caption listed first: {name: (number, has picture)}."""
    listing = out[out.index(caption + "\n"):]
    found = {}
    for line in listing.split("\n")[1:]:
        m = SLOT.match(line)
        if not m:
            break
        found[m.group(2)] = (int(m.group(1)), m.group(3) == "有图")
    return found


class SampleLibraries(unittest.TestCase):
    def setUp(self):
        self.s = Session(self)
        os.symlink(RESOURCE, os.path.join(self.s.module_dir, "resource"))
        self.saved = os.path.join(self.s.dir, "out.dxf")

    def run_script(self, lines):
        out, _, _ = self.s.run(lines, args=["--save", self.saved])
        return out

    def slot_of(self, command, caption, name):
        out = self.run_script([command, "C", "CANCEL", "^C"])
        return slots(out, caption)[name][0]

    def test_the_valve_dialog_offers_every_valve_with_its_picture(self):
        out = self.run_script(["FM", "C", "CANCEL", "^C"])
        offered = slots(out, "阀门选择")
        for name in VALVES:
            self.assertIn(name, offered)
            self.assertTrue(offered[name][1], f"{name} has no picture")

    def test_the_custom_part_dialog_offers_every_part_with_its_picture(self):
        out = self.run_script(["ZDY", "C", "CANCEL", "^C"])
        offered = slots(out, "自定义零部件选择")
        for name in PARTS:
            self.assertIn(name, offered)
            self.assertTrue(offered[name][1], f"{name} has no picture")

    def test_every_valve_fills_the_pipe_between_its_points(self):
        numbers = {name: self.slot_of("FM", "阀门选择", name) for name in VALVES}
        for name in VALVES:
            with self.subTest(valve=name):
                self.run_script(["FM", "C", str(numbers[name]), "OK", "100", "0,0", "600,0"])
                doc = read_audited(self, self.saved)
                inserts = [e for e in doc.modelspace() if e.dxftype() == "INSERT"]
                self.assertEqual(len(inserts), 1)
                ref = inserts[0]
                self.assertEqual(ref.dxf.name, name)
                self.assertEqual(tuple(ref.dxf.insert), (0, 0, 0))
                self.assertAlmostEqual(ref.dxf.xscale, 2.0)
                self.assertAlmostEqual(ref.dxf.yscale, 100 / 219)
                self.assertAlmostEqual(ref.dxf.rotation, 0.0)
                # The valve's outline, as placed, spans the points and the pipe's width.
                xs, ys = [], []
                for e in ref.virtual_entities():
                    if e.dxftype() == "LINE":
                        xs += [e.dxf.start.x, e.dxf.end.x]
                        ys += [e.dxf.start.y, e.dxf.end.y]
                    elif e.dxftype() == "LWPOLYLINE":
                        for x, y in e.get_points("xy"):
                            xs.append(x)
                            ys.append(y)
                self.assertAlmostEqual(min(xs), 0.0, places=6)
                self.assertAlmostEqual(max(xs), 600.0, places=6)
                self.assertAlmostEqual(min(ys), -50.0, places=6)
                self.assertAlmostEqual(max(ys), 50.0, places=6)

    def test_a_valve_turned_up_the_page(self):
        number = self.slot_of("FM", "阀门选择", "止回阀")
        self.run_script(["FM", "C", str(number), "OK", "80", "100,100", "100,400"])
        ref = [e for e in read_audited(self, self.saved).modelspace() if e.dxftype() == "INSERT"][0]
        self.assertEqual(ref.dxf.name, "止回阀")
        self.assertAlmostEqual(ref.dxf.xscale, 1.0)
        self.assertAlmostEqual(ref.dxf.yscale, 80 / 219)
        self.assertAlmostEqual(math.radians(ref.dxf.rotation), math.pi / 2)

    def test_a_custom_part_brings_its_nested_blocks(self):
        number = self.slot_of("ZDY", "自定义零部件选择", "法兰")
        self.run_script(["ZDY", "C", str(number), "OK", "500,0", "1", "0.5"])
        doc = read_audited(self, self.saved)
        refs = [e for e in doc.modelspace() if e.dxftype() == "INSERT"]
        self.assertEqual([(r.dxf.name, tuple(r.dxf.insert), r.dxf.xscale, r.dxf.yscale) for r in refs],
                         [("法兰", (500, 0, 0), 1.0, 0.5)])
        self.assertIn("法兰-半", doc.blocks)
        halves = [e for e in doc.blocks["法兰"] if e.dxftype() == "INSERT"]
        self.assertEqual([h.dxf.name for h in halves], ["法兰-半", "法兰-半"])


if __name__ == "__main__":
    main()
