"""The dimension commands (DIMLINEAR, DIMALIGNED, DIMRADIUS, DIMDIAMETER, DIMANGULAR,
DIMCONTINUE, DIMBASELINE) driven by a script: each dimension read back with ezdxf, its
measurement and definition points against values worked out by hand, its picture block's
contents, the text printed, bad replies asked again, and UNDO taking back one command."""
import math
import os
import unittest

from dxfcheck import read_audited
from orvharness import Session, main

# Each step: the script's lines, then per dimension made (type, measurement, definition
# points by ezdxf name, the text written).
STEPS = [
    (["LINE", "100,0", "160,0", "", "CIRCLE", "200,0", "25",
      "LINE", "300,0", "400,0", "", "LINE", "300,0", "300,100", ""], []),
    (["DIMLINEAR", "0,0", "40,10", "20,20"],
     [(0, 40, {"defpoint": (40, 20), "defpoint2": (0, 0), "defpoint3": (40, 10)}, "")]),
    (["DLI", "0,0", "40,10", "50,5"],  # beside the origins: vertical
     [(0, 10, {"defpoint": (50, 10), "defpoint2": (0, 0), "defpoint3": (40, 10)}, "")]),
    (["DLI", "0,0", "0,0", "40,10", "V", "T", "<> mm", "-10,0"],  # the same point refused
     [(0, 10, {"defpoint": (-10, 10), "defpoint2": (0, 0), "defpoint3": (40, 10)}, "<> mm")]),
    (["DLI", "0,0", "30,40", "R", "30", "A", "15", "0,50"],
     [(0, 30 * math.cos(math.radians(30)) + 40 * math.sin(math.radians(30)), {"defpoint2": (0, 0)}, "")]),
    (["DLI", "", "500,500", "130,0", "130,-10"],  # Enter, a pick at nothing, then the line
     [(0, 60, {"defpoint": (160, -10), "defpoint2": (100, 0), "defpoint3": (160, 0)}, "")]),
    (["DIMALIGNED", "0,0", "30,40", "40,10"],
     [(1, 50, {"defpoint": (50.8, 24.4), "defpoint2": (0, 0), "defpoint3": (30, 40)}, "")]),
    (["DIMRADIUS", "130,0", "225,0", "250,30"],  # a line refused
     [(4, 25, {"defpoint": (200, 0), "defpoint4": (200 + 25 * 50 / math.hypot(50, 30), 25 * 30 / math.hypot(50, 30))},
       "")]),
    (["DDI", "175,0", "150,0"],
     [(3, 50, {"defpoint": (225, 0), "defpoint4": (175, 0)}, "")]),
    (["DIMANGULAR", "600,600", "20,20", "350,0", "300,50", "330,30"],  # nothing, then a dimension: asked again
     [(2, 90, {"defpoint2": (300, 0), "defpoint3": (400, 0), "defpoint4": (300, 0), "defpoint": (300, 100)}, "")]),
    (["DAN", "", "500,0", "510,0", "500,10", "505,5"],
     [(5, 90, {"defpoint2": (510, 0), "defpoint3": (500, 10), "defpoint4": (500, 0)}, "")]),
    (["DLI", "0,100", "20,100", "10,110", "DIMCONTINUE", "50,100", "90,100", "", ""],  # Enter: pick; Enter: end
     [(0, 20, {"defpoint": (20, 110)}, ""),
      (0, 30, {"defpoint": (50, 110), "defpoint2": (20, 100), "defpoint3": (50, 100)}, ""),
      (0, 40, {"defpoint": (90, 110), "defpoint2": (50, 100), "defpoint3": (90, 100)}, "")]),
    (["DIMBASELINE", "120,100", "", ""],  # from the last one's first origin, one spacing further out
     [(0, 70, {"defpoint": (120, 113.75), "defpoint2": (50, 100), "defpoint3": (120, 100)}, "")]),
]


class DimensionCommands(unittest.TestCase):
    def test_each_command_makes_a_real_dimension_with_its_picture(self):
        s = Session(self)
        script = []
        for lines, _ in STEPS:
            script += lines
        done = os.path.join(s.dir, "done.dxf")
        undone = os.path.join(s.dir, "undone.dxf")
        script += ["SAVEAS", done, "UNDO", "SAVEAS", undone]
        out, _, _ = s.run(script)
        for said in ("\n两个原点不能重合。", "\n未找到对象。", "\n需要圆弧或圆。", "\n需要圆弧、圆或直线。"):
            self.assertIn(said, out)

        doc = read_audited(self, done)
        dims = list(doc.modelspace().query("DIMENSION"))
        want = [d for _, made in STEPS for d in made]
        self.assertEqual(len(dims), len(want))
        texts = [line.split(" = ")[1] for line in out.split("\n") if line.startswith("标注文字 = ")]
        for k, (dim, (kind, measurement, points, text)) in enumerate(zip(dims, want)):
            what = f"dimension {k + 1}"
            self.assertEqual(dim.dimtype, kind, what)
            self.assertAlmostEqual(dim.get_measurement(), measurement, places=6, msg=what)
            self.assertAlmostEqual(dim.dxf.actual_measurement, measurement, places=6, msg=what)
            for name, p in points.items():
                got = dim.dxf.get(name)
                self.assertAlmostEqual(got.x, p[0], places=6, msg=f"{what} {name}")
                self.assertAlmostEqual(got.y, p[1], places=6, msg=f"{what} {name}")
            self.assertEqual(dim.dxf.get("text", ""), text, what)
            self.assertEqual(dim.dxf.dimstyle, "Standard", what)
            decimals = 0 if kind in (2, 5) else 2
            self.assertEqual(texts[k], f"{measurement:.{decimals}f}", what)
            # The picture: an anonymous block of its own with lines (or an arc), its
            # filled arrowheads (one for a radius) and the text it prints.
            block = doc.blocks.get(dim.dxf.geometry)
            self.assertIsNotNone(block, what)
            self.assertTrue(block.name.startswith("*D"), what)
            kinds = [e.dxftype() for e in block]
            self.assertEqual(kinds.count("SOLID"), 1 if kind == 4 else 2, f"{what}: {kinds}")
            self.assertGreaterEqual(kinds.count("LINE") + kinds.count("ARC"), 3 if kind in (0, 1) else 1, what)
            shown = [e.dxf.text for e in block if e.dxftype() == "TEXT"]
            self.assertEqual(len(shown), 1, f"{what}: {kinds}")
            self.assertIn(texts[k], shown[0].replace("%%c", "").replace("%%d", ""), what)
        self.assertEqual(len({d.dxf.geometry for d in dims}), len(dims), "each its own picture")
        # The style's record holds the values the dimensions were drawn with, so another
        # program laying them out again takes these rather than its defaults in inches.
        style = doc.dimstyles.get("Standard")
        for name, value in (("dimtxt", 2.5), ("dimasz", 2.5), ("dimdec", 2), ("dimgap", 0.625), ("dimexo", 0.625)):
            self.assertTrue(style.dxf.hasattr(name), name)
            self.assertAlmostEqual(style.dxf.get(name), value, msg=name)
        # The first dimension's picture: the dimension line at y 20 from x 0 to 40.
        first = doc.blocks.get(dims[0].dxf.geometry)
        lines = [(tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2]) for e in first if e.dxftype() == "LINE"]
        self.assertIn(((0.0, 20.0), (40.0, 20.0)), lines)
        self.assertEqual(dims[3].dxf.text_rotation, 15)

        # One UNDO takes back the last command's dimension.
        self.assertEqual(len(read_audited(self, undone).modelspace().query("DIMENSION")), len(dims) - 1)


if __name__ == "__main__":
    main()
