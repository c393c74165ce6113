"""HATCH driven by scripts: areas picked inside rooms (islands left out as paths of the same
hatch), several areas in one hatch, closed entities selected, pattern, scale and angle,
refusals, the choices kept in the drawing for the next HATCH, UNDO, the pattern changed as
the properties panel does, EXPLODE into the boundary; every saved drawing read back with ezdxf (paths, pattern, scale, angle) and
audit-clean."""
import math
import os
import unittest

from dxfcheck import read_audited
from orvharness import Session, main

PROMPT = "\n拾取内部点或 [选择对象(S)/图案(P)/比例(SC)/角度(A)]: "
NOT_FOUND = "\n未找到有效的图案填充边界。"

# A room (a closed polyline, 100 by 60) with a round column in it, a second room of four
# lines, a lone circle and a closed polyline to select, and a line that closes nothing.
DRAWING = [
    ["LAYER", "M", "FLOOR", ""],
    ["REC", "0,0", "100,60"],
    ["C", "50,30", "10"],
    ["LINE", "200,0", "260,0", "260,40", "200,40", "C"],
    ["C", "400,0", "20"],
    ["REC", "500,0", "520,10"],
    ["LINE", "600,0", "650,0", ""],
]


def area(path):
    """The area a hatch path encloses (bulges followed), positive either way round."""
    verts = [(v[0], v[1], v[2] if len(v) > 2 else 0.0) for v in path.vertices]
    total = 0.0
    for i, (x0, y0, b) in enumerate(verts):
        x1, y1, _ = verts[(i + 1) % len(verts)]
        total += x0 * y1 - x1 * y0
        if b:
            chord = math.hypot(x1 - x0, y1 - y0)
            theta = 4 * math.atan(b)
            r = chord / (2 * math.sin(abs(theta) / 2))
            segment = r * r / 2 * (abs(theta) - math.sin(abs(theta)))
            total += 2 * math.copysign(segment, theta)
    return abs(total) / 2


class HatchCommand(unittest.TestCase):
    def test_hatch_dialogues(self):
        s = Session(self)
        P100 = math.pi * 100
        # (what, replies after HATCH, paths' areas, pattern, solid, scale, angle, first line's angle, messages)
        cases = [
            ("Enter at once makes nothing", [""], None, None, None, None, None, None, []),
            ("room with a column: the column an island of the same hatch", ["20,20", ""],
             [6000, P100], "ANSI31", False, 1, 0, 45, []),
            ("two rooms in one hatch, solid", ["P", "solid", "20,20", "230,20", ""],
             [6000, P100, 2400], "SOLID", True, None, None, None, []),
            ("an unknown pattern asked again; scale and angle", ["P", "NOSUCH", "ANSI37", "SC", "-2", "2", "A", "45",
                                                                "230,20", ""],
             [2400], "ANSI37", False, 2, 45, 90, ["\n图案“NOSUCH”不在图案文件中。", "\n值不能为负。"]),
            ("the last choices are the defaults; no area outside and between the rooms",
             ["1000,1000", "150,30", "230,20", "230,25", ""],
             [2400], "ANSI37", False, 2, 45, 90, [NOT_FOUND + PROMPT + "150,30\n" + NOT_FOUND]),
            ("closed entities selected, a line ignored", ["S", "420,0", "520,5", "625,0", "", "P", "ANSI31", "A", "0", ""],
             [400 * math.pi, 200], "ANSI31", False, 2, 0, 45, ["\n有 1 个对象不是闭合的图形，已忽略。"]),
        ]
        script, saved = [], []
        for step in DRAWING:
            script += step
        for k, case in enumerate(cases):
            saved.append(os.path.join(s.dir, f"h{k}.dxf"))
            script += ["HATCH"] + case[1] + ["SAVEAS", saved[-1]]
        undone = os.path.join(s.dir, "undone.dxf")
        script += ["UNDO", "UNDO", "SAVEAS", undone]
        out, _, _ = s.run(script)
        self.assertIn(PROMPT, out)
        hatches = 0
        for k, (what, _, areas, pattern, solid, scale, angle, line_angle, messages) in enumerate(cases):
            with self.subTest(what):
                for m in messages:
                    self.assertIn(m, out)
                doc = read_audited(self, saved[k])
                got = doc.modelspace().query("HATCH")
                if areas is None:
                    self.assertEqual(len(got), hatches)
                    continue
                hatches += 1
                self.assertEqual(len(got), hatches)
                h = got[-1]
                self.assertEqual(h.dxf.layer, "FLOOR")
                self.assertEqual(h.dxf.pattern_name, pattern)
                self.assertEqual(h.dxf.solid_fill, 1 if solid else 0)
                self.assertEqual(h.dxf.hatch_style, 0)
                self.assertEqual(len(h.paths), len(areas))
                for p, want in zip(h.paths, areas):
                    self.assertAlmostEqual(area(p), want, delta=1e-6 * want)
                if not solid:
                    self.assertAlmostEqual(h.dxf.pattern_scale, scale)
                    self.assertAlmostEqual(h.dxf.pattern_angle, angle)
                    self.assertAlmostEqual(h.pattern.lines[0].angle % 360, line_angle)
                    self.assertEqual(doc.header["$HPNAME"], pattern)
        # The column's path is an island: its own path, not the outer one's.
        first = read_audited(self, saved[1]).modelspace().query("HATCH")[0]
        self.assertEqual([bool(p.path_type_flags & 1) for p in first.paths], [True, False])
        # UNDO takes back the last two hatches, each whole.
        self.assertEqual(len(read_audited(self, undone).modelspace().query("HATCH")), hatches - 2)

        # The choices survive a save: a new session on the saved drawing starts from them.
        again = os.path.join(s.dir, "again.dxf")
        out, _, _ = s.run(["OPEN", saved[5], "HATCH", "230,20", "", "SAVEAS", again])
        h = read_audited(self, again).modelspace().query("HATCH")[-1]
        self.assertEqual((h.dxf.pattern_name, h.dxf.pattern_scale, h.dxf.pattern_angle), ("ANSI31", 2, 0))

        # The properties panel's change (CHGEOM): the pattern lines made anew; an unknown name refused.
        changed = os.path.join(s.dir, "changed.dxf")
        out, _, _ = s.run(["OPEN", saved[1], "CHGEOM", "L", "", "PATTERN NOSUCH", "CHGEOM", "L", "", "SCALE 3",
                           "CHGEOM", "L", "", "PATTERN ANSI37", "SAVEAS", changed])
        self.assertIn("\n图案“NOSUCH”不在图案文件中。", out)
        h = read_audited(self, changed).modelspace().query("HATCH")[-1]
        self.assertEqual((h.dxf.pattern_name, h.dxf.pattern_scale), ("ANSI37", 3))
        self.assertEqual(len(h.pattern.lines), 2)
        self.assertEqual(len(h.paths), 2)

        # EXPLODE turns the room's hatch into its boundary: four lines and the column's two half arcs.
        exploded = os.path.join(s.dir, "exploded.dxf")
        s.run(["OPEN", saved[1], "EXPLODE", "L", "", "SAVEAS", exploded])
        msp = read_audited(self, exploded).modelspace()
        self.assertEqual(len(msp.query("HATCH")), 0)
        self.assertEqual(len(msp.query("LINE")), 5 + 4)
        arcs = msp.query("ARC")
        self.assertEqual(len(arcs), 2)
        self.assertAlmostEqual(sum((a.dxf.end_angle - a.dxf.start_angle) % 360 for a in arcs), 360)
        self.assertTrue(all(a.dxf.layer == "FLOOR" and abs(a.dxf.radius - 10) < 1e-9 for a in arcs))


if __name__ == "__main__":
    main()
