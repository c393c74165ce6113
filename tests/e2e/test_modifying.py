"""OFFSET, TRIM, EXTEND, FILLET and CHAMFER driven by scripts, each saved drawing read
back with ezdxf and compared with geometry worked out by hand; UNDO gives back the
drawing as it was and REDO the change; bad replies are refused and change nothing."""
import math
import os
import unittest

import ezdxf

from dxfcheck import read_audited
from orvharness import Session, main

ATAN43 = math.degrees(math.atan2(4, 3))  # 53.13...


def n(v):
    return round(v, 6) + 0.0


def shape(e):
    """What an entity draws, rounded: comparable between drawings."""
    t = e.dxftype()
    if t == "LINE":
        return (t, n(e.dxf.start.x), n(e.dxf.start.y), n(e.dxf.end.x), n(e.dxf.end.y))
    if t == "CIRCLE":
        return (t, n(e.dxf.center.x), n(e.dxf.center.y), n(e.dxf.radius))
    if t == "ARC":
        return (t, n(e.dxf.center.x), n(e.dxf.center.y), n(e.dxf.radius),
                n(e.dxf.start_angle % 360) % 360, n(e.dxf.end_angle % 360) % 360)
    if t == "LWPOLYLINE":
        return (t, bool(e.closed), tuple((n(x), n(y), n(b)) for x, y, b in e.get_points("xyb")))
    return (t,)


def shapes(doc):
    return sorted(shape(e) for e in doc.modelspace())


def line(x1, y1, x2, y2):
    return ("LINE", n(x1), n(y1), n(x2), n(y2))


def arc(cx, cy, r, a, b):
    return ("ARC", n(cx), n(cy), n(r), n(a % 360), n(b % 360))


def poly(points, closed=False):
    return ("LWPOLYLINE", closed, tuple((n(x), n(y), n(b)) for x, y, b in points))


BEND = math.tan(math.pi / 8)  # the bulge of a quarter circle

# name, what the drawing holds, the script, what the drawing holds after it (in any order)
CASES = [
    ("TRIM a line between two others, a circle to an arc, with U on the way",
     lambda m: (m.add_line((0, 0), (10, 0)), m.add_line((4, -2), (4, 2)), m.add_line((7, -2), (7, 2)),
                m.add_circle((20, 0), 5), m.add_line((23, -10), (23, 10))),
     ["TRIM", "", "5,0", "25,0", "U", "25,0", ""],
     [line(0, 0, 4, 0), line(7, 0, 10, 0), line(4, -2, 4, 2), line(7, -2, 7, 2),
      arc(20, 0, 5, ATAN43, -ATAN43), line(23, -10, 23, 10)]),
    ("TRIM with chosen edges and a fence",
     lambda m: (m.add_line((0, 0), (10, 0)), m.add_line((0, 3), (10, 3)), m.add_line((5, -2), (5, 5))),
     ["TR", "5,4", "", "Fence", "8,-1", "8,4", "", ""],
     [line(0, 0, 5, 0), line(0, 3, 5, 3), line(5, -2, 5, 5)]),
    ("EXTEND a line to a circle and an arc to a line",
     lambda m: (m.add_line((0, 20), (2, 20)), m.add_circle((10, 20), 3),
                m.add_arc((0, 40), 5, 0, 90), m.add_line((-10, 37), (10, 37))),
     ["EXTEND", "", "1.8,20", "0,45", ""],
     [line(0, 20, 7, 20), ("CIRCLE", 10.0, 20.0, 3.0), arc(0, 40, 5, 0, 180 + math.degrees(math.atan2(3, 4))),
      line(-10, 37, 10, 37)]),
    ("OFFSET a bulged polyline by a distance and a circle through a point",
     lambda m: (m.add_lwpolyline([(0, 0, 0), (10, 0, 1), (10, 10, 0), (0, 10, 0)], format="xyb"),
                m.add_circle((30, 0), 2)),
     ["OFFSET", "1", "5,0", "5,5", "", "O", "T", "32,0", "35,0", ""],
     [poly([(0, 0, 0), (10, 0, 1), (10, 10, 0), (0, 10, 0)]),
      poly([(0, 1, 0), (10, 1, 1), (10, 9, 0), (0, 9, 0)]),
      ("CIRCLE", 30.0, 0.0, 2.0), ("CIRCLE", 30.0, 0.0, 5.0)]),
    ("FILLET two lines with an arc, then with radius 0",
     lambda m: (m.add_line((0, 0), (15, 0)), m.add_line((12, 5), (12, 10)),
                m.add_line((0, 20), (5, 20)), m.add_line((8, 22), (8, 30))),
     ["FILLET", "R", "2", "5,0", "12,8", "FILLET", "R", "0", "2,20", "8,25"],
     [line(0, 0, 10, 0), line(12, 2, 12, 10), arc(10, 2, 2, 270, 0),
      line(0, 20, 8, 20), line(8, 20, 8, 30)]),
    ("FILLET every corner of a polyline",
     lambda m: m.add_lwpolyline([(30, 0), (40, 0), (40, 5), (30, 5)], close=True),
     ["FILLET", "R", "1", "P", "35,0"],
     [poly([(30, 1, BEND), (31, 0, 0), (39, 0, BEND), (40, 1, 0), (40, 4, BEND), (39, 5, 0),
            (31, 5, BEND), (30, 4, 0)], closed=True)]),
    ("BREAK between two points, at one point, and a circle to an arc",
     lambda m: (m.add_line((0, 0), (10, 0)), m.add_line((0, 5), (10, 5)), m.add_circle((20, 0), 5)),
     ["BREAK", "3,0", "6,0", "BR", "4,5", "@", "BR", "25,0", "20,5"],
     [line(0, 0, 3, 0), line(6, 0, 10, 0), line(0, 5, 4, 5), line(4, 5, 10, 5), arc(20, 0, 5, 90, 0)]),
    ("STRETCH the right side of a rectangle and the line starting on it",
     lambda m: (m.add_lwpolyline([(0, 0), (10, 0), (10, 5), (0, 5)], close=True), m.add_line((10, 2), (20, 2))),
     ["STRETCH", "8,-1", "12,6", "0,0", "5,0"],
     [poly([(0, 0, 0), (15, 0, 0), (15, 5, 0), (0, 5, 0)], closed=True), line(15, 2, 20, 2)]),
    ("ARRAY in rows and columns and round a centre",
     lambda m: (m.add_circle((0, 0), 1), m.add_line((10, 0), (12, 0))),
     ["ARRAY", "1,0", "", "R", "2", "3", "10", "20", "AR", "11,0", "", "PO", "0,0", "4", "", ""],
     [("CIRCLE", float(x), float(y), 1.0) for x in (0, 20, 40) for y in (0, 10)] +
     [line(10, 0, 12, 0), line(0, 10, 0, 12), line(-10, 0, -12, 0), line(0, -10, 0, -12)]),
    ("JOIN a line, an arc and a line into one polyline",
     lambda m: (m.add_line((0, 0), (10, 0)), m.add_arc((10, 5), 5, 270, 90), m.add_line((10, 10), (0, 10))),
     ["JOIN", "ALL", ""],
     [poly([(0, 0, 0), (10, 0, 1), (10, 10, 0), (0, 10, 0)])]),
    ("LENGTHEN by an increment and to a total",
     lambda m: (m.add_line((0, 0), (10, 0)), m.add_line((0, 20), (10, 20))),
     ["LEN", "DE", "5", "9,0", "", "LENGTHEN", "T", "4", "1,20", ""],
     [line(0, 0, 15, 0), line(6, 20, 10, 20)]),
    ("CHAMFER two lines",
     lambda m: (m.add_line((0, 0), (15, 0)), m.add_line((12, 5), (12, 10))),
     ["CHA", "D", "2", "3", "5,0", "12,8"],
     [line(0, 0, 10, 0), line(12, 3, 12, 10), line(10, 0, 12, 3)]),
]


COMMANDS = {"TRIM", "TR", "EXTEND", "OFFSET", "O", "FILLET", "CHA", "BREAK", "BR", "STRETCH", "ARRAY", "AR",
            "JOIN", "LEN", "LENGTHEN"}


class Modifying(unittest.TestCase):
    def drawing(self, s, make):
        path = os.path.join(s.dir, "before.dxf")
        doc = ezdxf.new("R2000")
        make(doc.modelspace())
        doc.saveas(path)
        return path

    def test_each_command_against_hand_worked_geometry_then_undo_and_redo(self):
        for name, make, commands, want in CASES:
            with self.subTest(name):
                s = Session(self)
                source = self.drawing(s, make)
                before = shapes(ezdxf.readfile(source))
                out = {k: os.path.join(s.dir, k + ".dxf") for k in ("done", "undone", "redone")}
                undo = ["UNDO"] * sum(1 for c in commands if c in COMMANDS)
                script = commands + ["SAVEAS", out["done"], *undo, "SAVEAS", out["undone"],
                                     *(["REDO"] * len(undo)), "SAVEAS", out["redone"]]
                transcript, _, _ = s.run(script, args=[source])
                for refusal in ("无法", "未选择对象", "未与", "未知命令"):
                    self.assertNotIn(refusal, transcript, name)
                self.assertEqual(shapes(read_audited(self, out["done"])), sorted(want), name)
                self.assertEqual(shapes(read_audited(self, out["undone"])), before, name + ", undone")
                self.assertEqual(shapes(read_audited(self, out["redone"])), sorted(want), name + ", redone")

    def test_bad_replies_are_refused_and_change_nothing(self):
        s = Session(self)
        source = self.drawing(s, lambda m: (m.add_line((0, 0), (15, 0)), m.add_line((12, 5), (12, 10)),
                                            m.add_ellipse((50, 50), (5, 0), 0.5)))
        saved = os.path.join(s.dir, "out.dxf")
        out, _, _ = s.run(["OFFSET", "abc", "-1", "0", "1", "50,52.5", "100,100", "5,0", "^C",
                           "FILLET", "R", "x", "^C",
                           "TRIM", "", "3,0", "100,100", "",
                           "EXTEND", "", "13,0", "",
                           "CHAMFER", "5,0", "5,0", "^C",
                           "ARRAY", "5,0", "", "R", "0", "x", "1", "", "",
                           "AR", "5,0", "", "PO", "0,0", "1", "^C",
                           "JOIN", "5,0", "",
                           "LEN", "DE", "-100", "5,0", "",
                           "BREAK", "50,52.5", "^C"], args=[source, "--save", saved])
        self.assertIn("\n指定偏移距离或 [通过(T)] <通过>: abc\n\n需要数值、点或选项关键字。", out)
        self.assertIn("\n值不能为负。", out)
        self.assertIn("\n值不能为零。", out)
        self.assertIn("\n无法偏移椭圆：只能是直线、圆弧、圆或多段线。", out)
        self.assertIn("\n未选择对象。", out)
        self.assertIn("\n指定圆角半径 <0.0000>: x\n\n需要数值或点。", out)
        self.assertIn("\n对象未与剪切边相交。", out)
        self.assertIn("\n对象未与边界边相交。", out)
        self.assertIn("\n不能对一条直线自身倒角。", out)
        self.assertIn("\n输入行数 (---) <1>: 0\n\n值不能为零。\n输入行数 (---) <1>: x\n\n需要整数值。", out)
        self.assertIn("\n只有一个项目，没有可阵列的。", out)
        self.assertIn("\n输入阵列中项目的数目: 1\n\n需要至少 2 的整数。", out)
        self.assertIn("\n没有首尾相接的直线、圆弧或多段线可以合并。", out)
        self.assertIn("\n无法按此长度修改该对象：端部线段会消失或圆弧会闭合。", out)
        self.assertIn("\n无法打断椭圆：只能是直线、圆弧、圆或多段线。", out)
        self.assertEqual(shapes(read_audited(self, saved)), shapes(ezdxf.readfile(source)))


if __name__ == "__main__":
    main()
