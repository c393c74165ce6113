"""The drawing commands (CIRCLE, ARC, PLINE, RECTANG, POLYGON, ELLIPSE, POINT), the block commands (BLOCK,
INSERT, EXPLODE) and AREA driven by scripts: every keyword, the saved drawings read back
with ezdxf against coordinates worked out by hand, UNDO after each command taking back
exactly that command, and bad replies refused at each prompt with nothing lost."""
import math
import os
import unittest

import ezdxf
from ezdxf.math import Vec3

from dxfcheck import read_audited
from orvharness import Session, main

Q = math.sqrt(2) - 1  # the bulge of a quarter arc
H = math.sqrt(3) / 2


def snapshot(doc):
    """Model space and the user's blocks as comparable values, in creation order."""
    def of(e):
        t = e.dxftype()
        if t == "LINE":
            return (t, e.dxf.layer, tuple(e.dxf.start), tuple(e.dxf.end))
        if t == "CIRCLE":
            return (t, e.dxf.layer, tuple(e.dxf.center), e.dxf.radius)
        if t == "ARC":
            return (t, e.dxf.layer, tuple(e.dxf.center), e.dxf.radius, e.dxf.start_angle, e.dxf.end_angle)
        if t == "LWPOLYLINE":
            return (t, e.dxf.layer, e.closed, e.dxf.const_width, [tuple(p) for p in e.get_points("xyseb")])
        if t == "ELLIPSE":
            return (t, e.dxf.layer, tuple(e.dxf.center), tuple(e.dxf.major_axis), e.dxf.ratio)
        if t == "POINT":
            return (t, e.dxf.layer, tuple(e.dxf.location))
        if t == "INSERT":
            return (t, e.dxf.layer, e.dxf.name, tuple(e.dxf.insert), e.dxf.xscale, e.dxf.yscale, e.dxf.rotation)
        return (t,)
    blocks = {b.name: [of(e) for e in b] for b in doc.blocks if not b.name.startswith("*")}
    return [of(e) for e in doc.modelspace()], blocks


class Drafting(unittest.TestCase):
    def close(self, got, want, what, tol=1e-9):
        got, want = list(got), list(want)
        self.assertEqual(len(got), len(want), what)
        for g, w in zip(got, want):
            self.assertAlmostEqual(g, w, delta=tol, msg=f"{what}: {got} != {want}")

    def run_steps(self, s, steps, args=()):
        """Runs the commands, saving after each; then takes them back one UNDO at a time,
        saving after each. Returns the transcript and the saved drawings: done[k] after
        step k, undone[k] after the UNDO of step k."""
        script, done, undone = [], [], []
        for k, step in enumerate(steps):
            done.append(os.path.join(s.dir, f"done{k}.dxf"))
            script += step + ["SAVEAS", done[-1]]
        for k in reversed(range(len(steps))):
            path = os.path.join(s.dir, f"undone{k}.dxf")
            undone.insert(0, path)
            script += ["UNDO", "SAVEAS", path]
        out, _, _ = s.run(script, args=args)
        return out, [read_audited(self, p) for p in done], [read_audited(self, p) for p in undone]

    def check_undo(self, before, done, undone):
        for k in range(len(done)):
            self.assertEqual(snapshot(undone[k]), snapshot(done[k - 1]) if k else before, f"UNDO of step {k}")

    def test_drawing_commands_and_their_keywords(self):
        s = Session(self)
        steps = [
            ["LAYER", "M", "PIPE", ""],
            ["CIRCLE", "10,10", "5"],
            ["C", "30,10", "D", "8"],
            ["C", "50,10", ""],                                  # Enter keeps the last radius
            ["C", "3P", "0,0", "10,0", "0,10"],
            ["C", "2P", "-2,40", "6,40"],
            ["LINE", "100,0", "200,0", ""],
            ["LINE", "100,0", "100,100", ""],
            ["C", "T", "150,0", "100,50", "10"],                 # tangent to both lines
            ["ARC", "210,200", "200,210", "190,200"],
            ["A", "C", "300,200", "310,200", "300,250"],
            ["A", "410,200", "C", "400,200", "A", "-90"],
            ["PL", "0,300", "10,300", "A", "10,310", "L", "0,310", "W", "1", "2", "0,320", "U",
             "H", "0.5", "", "A", "C"],
            ["REC", "F", "2", "500,0", "510,20"],
            ["REC", "F", "0", "W", "0.5", "600,0", "610,20"],
            ["POL", "4", "700,0", "C", "10"],
            ["POLYGON", "6", "800,0", "I", "802,0"],
            ["POL", "3", "E", "900,0", "902,0"],
            ["C", "T", "505,0", "510,10", "1"],             # tangent to two sides of a rounded rectangle
        ]
        out, done, undone = self.run_steps(s, steps)
        self.assertIn("\n指定圆的圆心或 [三点(3P)/两点(2P)/切点、切点、半径(T)]: ", out)
        self.assertIn("\n指定圆的直径 <10.0000>: 8\n", out)
        self.assertIn("\n指定圆的半径或 [直径(D)] <4.0000>: \n", out)
        self.assertIn("\n指定圆弧的端点或 [闭合(C)/半宽(H)/直线(L)/放弃(U)/宽度(W)]: C\n", out)
        got = list(done[-1].modelspace())
        kinds = [e.dxftype() for e in got]
        self.assertEqual(kinds, ["CIRCLE"] * 5 + ["LINE", "LINE", "CIRCLE"] + ["ARC"] * 3 + ["LWPOLYLINE"] * 6 + ["CIRCLE"])
        for e in got:
            self.assertEqual(e.dxf.layer, "PIPE", e.dxftype())
            self.assertEqual((e.dxf.color, e.dxf.linetype.upper()), (256, "BYLAYER"), e.dxftype())
        circles = [(e.dxf.center.x, e.dxf.center.y, e.dxf.radius) for e in got if e.dxftype() == "CIRCLE"]
        want = [(10, 10, 5), (30, 10, 4), (50, 10, 4), (5, 5, math.sqrt(50)), (2, 40, 4), (110, 10, 10), (509, 1, 1)]
        self.assertEqual(len(circles), len(want))
        for k, (g, w) in enumerate(zip(circles, want)):
            self.close(g, w, f"circle {k}")
        arcs = [e for e in got if e.dxftype() == "ARC"]
        for e, w in zip(arcs, [(200, 200, 10, 0, 180), (300, 200, 10, 0, 90), (400, 200, 10, 270, 0)]):
            self.close((e.dxf.center.x, e.dxf.center.y, e.dxf.radius, e.dxf.start_angle, e.dxf.end_angle), w, "arc")
        pline, rounded, wide, square, hexagon, triangle = [e for e in got if e.dxftype() == "LWPOLYLINE"]
        self.assertTrue(pline.closed)
        want = [(0, 300, 0, 0, 0), (10, 300, 0, 0, 1), (10, 310, 0, 0, 0), (0, 310, 1, 1, 1)]
        self.assertEqual(len(pline), len(want))
        for g, w in zip(pline.get_points("xyseb"), want):
            self.close(g, w, "pline vertex")
        want = [(502, 0, 0), (508, 0, Q), (510, 2, 0), (510, 18, Q), (508, 20, 0), (502, 20, Q), (500, 18, 0),
                (500, 2, Q)]
        self.assertTrue(rounded.closed)
        for g, w in zip(rounded.get_points("xyb"), want):
            self.close(g, w, "rounded rectangle")
        self.assertEqual(len(rounded), 8)
        self.assertEqual(wide.dxf.const_width, 0.5)
        self.assertEqual([tuple(p) for p in wide.get_points("xyb")], [(600, 0, 0), (610, 0, 0), (610, 20, 0), (600, 20, 0)])
        polygons = [(square, [(690, -10), (710, -10), (710, 10), (690, 10)]),
                    (hexagon, [(802, 0), (801, 2 * H), (799, 2 * H), (798, 0), (799, -2 * H), (801, -2 * H)]),
                    (triangle, [(900, 0), (902, 0), (901, 2 * H)])]
        for e, want in polygons:
            self.assertTrue(e.closed)
            self.assertEqual(len(e), len(want))
            for g, w in zip(e.get_points("xy"), want):
                self.close(g, w, "polygon", 1e-9)
        self.check_undo(snapshot(done[0]), done[1:], undone[1:])

    def test_ellipses_and_points(self):
        s = Session(self)
        steps = [
            ["LAYER", "M", "EQUIP", ""],
            ["COLOR", "3"],
            ["ELLIPSE", "0,0", "20,0", "5"],                       # second half axis the shorter
            ["EL", "100,0", "108,0", "16"],                        # the longer: it is the major axis
            ["EL", "C", "200,50", "203,54", "210,50"],             # a point: its distance from the centre
            ["EL", "c", "300,0", "300,6", "2"],
            ["EL", "abc", "0,200", "0,200", "10,200", "5,200", "-3", "xyz", "", "4"],
            ["PO", "0,100", "xyz", "10,100", "20,105,3", ""],
            ["POINT", "50,50", "^C"],                              # a cancel keeps the points made
        ]
        out, done, undone = self.run_steps(s, steps)
        for want in ["\n指定椭圆的轴端点或 [中心点(C)]: abc\n\n需要点或选项关键字。",
                     "\n指定轴的另一个端点: 0,200\n\n轴的两个端点不能重合。",
                     "\n指定另一条半轴长度: 5,200\n\n值不能为零。",
                     "\n指定另一条半轴长度: -3\n\n值不能为负。",
                     "\n指定另一条半轴长度: xyz\n\n需要数值或点。",
                     "\n指定点: xyz\n\n点无效。"]:
            self.assertIn(want, out)
        got = list(done[-1].modelspace())
        self.assertEqual([e.dxftype() for e in got], ["ELLIPSE"] * 5 + ["POINT"] * 4)
        for e in got:
            self.assertEqual((e.dxf.layer, e.dxf.color, e.dxf.linetype.upper()), ("EQUIP", 3, "BYLAYER"), e.dxftype())
        want = [((10, 0, 0), (10, 0, 0), 0.5), ((104, 0, 0), (0, 16, 0), 0.25), ((200, 50, 0), (-8, 6, 0), 0.5),
                ((300, 0, 0), (0, 6, 0), 1 / 3), ((5, 200, 0), (5, 0, 0), 0.8)]
        for k, (e, (center, axis, ratio)) in enumerate(zip(got[:5], want)):
            self.close(list(e.dxf.center) + list(e.dxf.major_axis) + [e.dxf.ratio], [*center, *axis, ratio], f"ellipse {k}")
            self.close([e.dxf.start_param, e.dxf.end_param], [0, 2 * math.pi], f"ellipse {k}: a full one")
            self.close(e.dxf.extrusion, (0, 0, 1), f"ellipse {k}")
        self.assertEqual([tuple(e.dxf.location) for e in got[5:]], [(0, 100, 0), (10, 100, 0), (20, 105, 3), (50, 50, 0)])
        self.check_undo(snapshot(done[1]), done[2:], undone[2:])
        # An ELLIPSE refused throughout and a POINT given none make nothing and no step of
        # UNDO: the UNDO after them takes back the three points of one PO together.
        undone_po, redone_po = os.path.join(s.dir, "undone_po.dxf"), os.path.join(s.dir, "redone_po.dxf")
        out, _, _ = s.run(["OPEN", os.path.join(s.dir, "done6.dxf"), "PO", "0,100", "10,100", "20,105,3", "",
                           "EL", "C", "0,300", "0,300", "1e7,300", "1", "^C", "PO", "",
                           "UNDO", "SAVEAS", undone_po, "REDO", "SAVEAS", redone_po])
        self.assertIn("\n指定轴的端点: 0,300\n\n轴的端点不能与中心点重合。", out)
        self.assertIn("\n指定另一条半轴长度: 1\n\n两条半轴的长度相差太大，无法画椭圆。", out)
        self.assertEqual(snapshot(read_audited(self, undone_po)), snapshot(done[6]))
        self.assertEqual(snapshot(read_audited(self, redone_po)), snapshot(done[7]))

    def test_block_insert_and_explode(self):
        s = Session(self)
        valve = os.path.join(s.dir, "valve.dxf")
        doc = ezdxf.new("R2000")
        doc.header["$INSBASE"] = (1, 0, 0)
        doc.modelspace().add_line((1, 0), (5, 0))
        doc.modelspace().add_attdef("TAG", (1, 1), dxfattribs={"height": 1, "prompt": "位号"}, text="V-1")
        doc.modelspace().add_linear_dim(base=(1, 3), p1=(1, 0), p2=(5, 0)).render()
        doc.saveas(valve)
        steps = [
            ["LINE", "0,0", "10,0", ""],
            ["C", "5,5", "2"],
            ["B", "PART", "0,0", "ALL", ""],
            ["I", "PART", "100,50", "2", "", "90"],
            ["I", "PART", "S", "3", "R", "30", "200,0"],
            ["I", "PART", "300,0", "C", "302,3", ""],
            ["I", valve, "400,0", "", "", "", "V-101"],  # its attribute asked by its prompt
            ["X", "100,60", ""],                         # the one at (100, 50), twice as big, turned 90°
            ["PL", "0,-50", "10,-50", "A", "10,-40", ""],
            ["X", "5,-50", ""],
            ["LINE", "1000,0", "1010,0", ""],
            ["B", "PART", "Y", "1000,0", "1005,0", ""],  # redefined: its references follow
        ]
        out, done, undone = self.run_steps(s, steps)
        self.assertIn("\n块“PART”已存在。是否重新定义？[是(Y)/否(N)] <否>:Y\n", out)
        # BLOCK: the selection replaced by one reference at the base point.
        self.assertEqual(snapshot(done[2])[0], [("INSERT", "0", "PART", (0, 0, 0), 1, 1, 0)])
        self.assertEqual(snapshot(done[2])[1]["PART"], [("LINE", "0", (0, 0, 0), (10, 0, 0)),
                                                        ("CIRCLE", "0", (5, 5, 0), 2)])
        inserts = [e for e in done[6].modelspace() if e.dxftype() == "INSERT"]
        self.assertEqual([(e.dxf.name, tuple(e.dxf.insert), e.dxf.xscale, e.dxf.yscale, e.dxf.rotation) for e in inserts],
                         [("PART", (0, 0, 0), 1, 1, 0), ("PART", (100, 50, 0), 2, 2, 90), ("PART", (200, 0, 0), 3, 3, 30),
                          ("PART", (300, 0, 0), 2, 3, 0), ("valve", (400, 0, 0), 1, 1, 0)])
        valve_block = done[6].blocks.get("valve")
        self.assertEqual(tuple(valve_block.base_point), (1, 0, 0))
        self.assertEqual([e.dxftype() for e in valve_block], ["LINE", "ATTDEF", "DIMENSION"])
        picture = done[6].blocks.get(valve_block[2].dxf.geometry)  # the dimension's picture came along
        self.assertIn("LINE", [e.dxftype() for e in picture])
        self.assertEqual((tuple(valve_block[0].dxf.start), tuple(valve_block[0].dxf.end)), ((1, 0, 0), (5, 0, 0)))
        self.assertEqual(valve_block[1].dxf.tag, "TAG")
        self.assertIn("\n输入属性值\n位号 <V-1>: V-101\n", out)
        attribs = inserts[-1].attribs
        self.assertEqual([(a.dxf.tag, a.dxf.text, tuple(a.dxf.insert)) for a in attribs], [("TAG", "V-101", (400, 1, 0))])
        # EXPLODE of the reference: its line and circle where it showed them.
        exploded = list(done[7].modelspace())[-2:]
        self.assertEqual([e.dxftype() for e in exploded], ["LINE", "CIRCLE"])
        self.close(list(exploded[0].dxf.start) + list(exploded[0].dxf.end), [100, 50, 0, 100, 70, 0], "exploded line")
        self.close(list(exploded[1].dxf.center) + [exploded[1].dxf.radius], [90, 60, 0, 4], "exploded circle")
        self.assertEqual(len([e for e in done[7].modelspace() if e.dxftype() == "INSERT"]), 4)
        # EXPLODE of a polyline: a line and the half circle tangent to it.
        pieces = list(done[9].modelspace())[-2:]
        self.assertEqual([e.dxftype() for e in pieces], ["LINE", "ARC"])
        self.close(list(pieces[0].dxf.start) + list(pieces[0].dxf.end), [0, -50, 0, 10, -50, 0], "polyline line")
        arc = pieces[1]
        self.close([arc.dxf.center.x, arc.dxf.center.y, arc.dxf.radius, arc.dxf.start_angle, arc.dxf.end_angle],
                   [10, -45, 5, 270, 90], "polyline arc")
        # The redefinition keeps PART's base: the new line lies at (0,0)-(10,0) in it.
        model, blocks = snapshot(done[11])
        self.assertEqual(blocks["PART"], [("LINE", "0", (0, 0, 0), (10, 0, 0))])
        self.assertEqual(model[-1], ("INSERT", "0", "PART", (1000, 0, 0), 1, 1, 0))
        self.check_undo(([], {}), done, undone)

    def test_area_of_points_and_of_closed_entities(self):
        s = Session(self)
        out, _, _ = s.run([
            "C", "0,100", "5",
            "REC", "F", "2", "500,0", "510,20",
            "LINE", "0,200", "10,200", "",
            "AA", "0,0", "10,0", "5,5", "U", "10,10", "0,10", "",
            "AREA", "O", "5,100",
            "AA", "O", "0,205", "10,200", "500,10",
            "AA", "0,0", "1,1", "",
        ])
        self.assertIn("\n指定下一个点或 [放弃(U)] <总计>: \n\n面积 = 100.0000，周长 = 40.0000", out)
        self.assertIn("\n选择对象: 5,100\n\n面积 = 78.5398，周长 = 31.4159", out)
        self.assertIn("\n选择对象: 0,205\n\n未找到对象。\n选择对象: 10,200\n\n需要圆或闭合的多段线。", out)
        self.assertIn(f"\n选择对象: 500,10\n\n面积 = {184 + 4 * math.pi:.4f}，周长 = {44 + 4 * math.pi:.4f}", out)
        self.assertIn("\n至少需要三个点才能围成面积。", out)

    def test_divide_and_measure_place_points_or_blocks_along_entities(self):
        s = Session(self)
        steps = [
            ["LINE", "0,300", "10,300", ""],
            ["C", "0,500", "10"],
            ["LINE", "0,400", "1,400", ""],
            ["B", "TICK", "0,400", "0.5,400", ""],
            ["DIV", "5,300", "1", "4"],                    # points
            ["ME", "9,300", "B", "TICK", "N", "4"],        # from the end nearer the pick
            ["DIVIDE", "10,500", "B", "TICK", "Y", "4"],   # a circle: from angle 0, turned with it
            ["MEASURE", "7.0711,507.0711", "B", "TICK", "", "40"],    # once round a circle of length 62.8
            ["ME", "1,300", "3"],                          # points from the start
        ]
        out, done, undone = self.run_steps(s, steps)
        self.assertIn("\n输入线段数目或 [块(B)]: 1\n\n需要 2 和 32767 之间的整数。\n输入线段数目或 [块(B)]: 4", out)

        def placed(doc, before):
            return [(e.dxftype(), round(e.dxf.insert.x, 9), round(e.dxf.insert.y, 9), round(e.dxf.rotation, 9) % 360)
                    if e.dxftype() == "INSERT" else (e.dxftype(), round(e.dxf.location.x, 9), round(e.dxf.location.y, 9))
                    for e in list(doc.modelspace())[before:]]
        self.assertEqual(placed(done[4], 3), [("POINT", 2.5, 300), ("POINT", 5, 300), ("POINT", 7.5, 300)])
        self.assertEqual(placed(done[5], 6), [("INSERT", 6, 300, 0), ("INSERT", 2, 300, 0)])
        self.assertEqual(placed(done[6], 8), [("INSERT", 10, 500, 90), ("INSERT", 0, 510, 180),
                                              ("INSERT", -10, 500, 270), ("INSERT", 0, 490, 0)])
        a = 4.0  # 40 along a circle of radius 10, from angle 0: 4 radians
        self.assertEqual(placed(done[7], 12), [("INSERT", round(10 * math.cos(a), 9), round(500 + 10 * math.sin(a), 9),
                                                round(math.degrees(a) + 90, 9))])
        self.assertEqual(placed(done[8], 13), [("POINT", 3, 300), ("POINT", 6, 300), ("POINT", 9, 300)])
        self.check_undo(snapshot(done[3]), done[4:], undone[4:])

    def test_bad_replies_are_refused_and_change_nothing(self):
        s = Session(self)
        saved = os.path.join(s.dir, "out.dxf")
        out, _, _ = s.run([
            "C", "abc", "10,10", "-5", "0", "xyz", "5",
            "C", "3P", "0,0", "1,1", "2,2", "^C",
            "A", "0,0", "1,1", "2,2", "^C",
            "PL", "0,0", "U", "0,0", "^C",
            "REC", "W", "-1", "^C",
            "REC", "0,0", "0,5", "^C",
            "POL", "2", "abc", "^C",
            "POL", "4", "E", "0,0", "0,0", "^C",
            "B", "a<b", "^C",
            "B", "NONE", "0,0", "",
            "I", "NOSUCH", "^C",
            "LINE", "0,0", "10,0", "",
            "B", "P", "0,0", "5,0", "",
            "I", "P", "0,0", "0", "^C",
            "X", "5,0", "", "X", "5,0", "",
        ], args=["--save", saved])
        self.assertIn("\n指定圆的圆心或 [三点(3P)/两点(2P)/切点、切点、半径(T)]: abc\n\n需要点或选项关键字。", out)
        self.assertIn("\n指定圆的半径或 [直径(D)]: -5\n\n值不能为负。", out)
        self.assertIn("\n指定圆的半径或 [直径(D)]: 0\n\n值不能为零。", out)
        self.assertIn("\n指定圆的半径或 [直径(D)]: xyz\n\n需要数值、点或选项关键字。", out)
        self.assertIn("\n指定圆上的第三个点: 2,2\n\n三点在一条直线上，无法画圆。", out)
        self.assertIn("\n指定圆弧的端点: 2,2\n\n三点在一条直线上，无法画圆弧。", out)
        self.assertIn("U\n\n所有线段已被放弃。", out)
        self.assertIn(": 0,0\n\n该点与上一点重合。", out)
        self.assertIn("\n指定矩形的线宽 <0.0000>: -1\n\n值不能为负。", out)
        self.assertIn("\n指定另一个角点: 0,5\n\n两个角点必须在不同的水平线和竖直线上。", out)
        self.assertIn("\n输入侧面数 <4>: 2\n\n需要 3 和 1024 之间的整数。", out)
        self.assertIn("\n输入侧面数 <4>: abc\n\n需要整数值。", out)
        self.assertIn("\n指定边的第二个端点: 0,0\n\n边的两个端点不能重合。", out)
        self.assertIn("\n输入块名: a<b\n\n块名“a<b”无效", out)
        self.assertIn("\n未选择对象，没有定义块。", out)
        self.assertIn("\n找不到块或图形文件“NOSUCH”。", out)
        self.assertIn("<1>: 0\n\n值不能为零。", out)
        self.assertIn("\n有 1 个对象未能分解：直线不能分解。", out)
        doc = read_audited(self, saved)
        model, blocks = snapshot(doc)
        self.assertEqual(model, [("CIRCLE", "0", (10, 10, 0), 5), ("LINE", "0", (0, 0, 0), (10, 0, 0))])
        self.assertEqual(blocks, {"P": [("LINE", "0", (0, 0, 0), (10, 0, 0))]})


if __name__ == "__main__":
    main()
