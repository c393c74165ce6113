"""Pipe runs end to end: GD and DX typed from scripts, saved, and read back by ezdxf."""
import math
import os

import ezdxf

from dxfcheck import entities, read_audited
from orvharness import COMMAND, Session, main, reply

import unittest

STYLES = "[MIDLINE]\nLINECOLOR=1\nLINETYPE=CENTER\n[SIDELINE]\nLINECOLOR=3\nLINETYPE=DASHED\n"
FIRST_POINT = "\n请输入第一点[x,y][管道外径({})][弯头半径({})][修改(C)]:"
NEXT_POINT = ("\n请输入下一点[水平弯头(W)][下弯弯头(X)][上弯弯头(S)][大小头(D)][阀门(F)]"
              "[默认({})]<完成(0)>:")
VALVE_POINT = "\n请输入下一点[x,y][阀门类型({})][管径({})][修改(C)]:"
PLAIN_NEXT = "\n请输入下一点[x,y]:"
QUESTION = "\n输入编号选择，或 [确定(OK)/取消(CANCEL)] <确定>: "


def piece(a, b):
    return ("LWPOLYLINE", [(float(a[0]), float(a[1]), 0.0), (float(b[0]), float(b[1]), 0.0)])


def rounded(items):
    """Entities with coordinates rounded to 9 places, so that 1e-14 noise reads as 0."""
    def r(v):
        if isinstance(v, float):
            return round(v, 9) + 0.0
        if isinstance(v, (tuple, list)):
            return type(v)(r(x) for x in v)
        return v
    return [r(e) for e in items]


def make_valve(folder, name):
    """A valve library drawing made by ezdxf: block `name`, 300 long and 219 across, and one reference."""
    os.makedirs(folder, exist_ok=True)
    doc = ezdxf.new("R2000")
    blk = doc.blocks.new(name)
    corners = [(0, -109.5), (300, -109.5), (300, 109.5), (0, 109.5)]
    for i in range(4):
        blk.add_line(corners[i], corners[(i + 1) % 4])
    doc.modelspace().add_blockref(name, (0, 0))
    doc.saveas(os.path.join(folder, name + ".dxf"))


class PipeRuns(unittest.TestCase):
    def setUp(self):
        self.s = Session(self)
        self.saved = os.path.join(self.s.dir, "run.dxf")

    def run_script(self, lines):
        out, _, _ = self.s.run(lines, args=["--save", self.saved])
        return out

    def test_the_whole_double_line_run(self):
        self.s.write_ini("[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=2\n" + STYLES)
        out = self.run_script(["GD", "0,0", "1000,0", "1000,1000", "0"])
        self.assertEqual(out, COMMAND + "GD\n" + reply(FIRST_POINT.format("100.000000", "150.000000"), "0,0")
                         + reply(NEXT_POINT.format("X"), "1000,0") + reply(NEXT_POINT.format("X"), "1000,1000")
                         + reply(NEXT_POINT.format("X"), "0") + COMMAND + "\n")
        doc = read_audited(self, self.saved)
        self.assertEqual(rounded(entities(doc)), [
            # The down-bend elbow.
            piece((1000, -50), (850, -50)), piece((850, -50), (850, 50)), piece((850, 50), (1000, 50)),
            piece((950, 50), (950, 150)), piece((1050, 0), (1050, 150)), piece((950, 150), (1050, 150)),
            piece((1000, 0), (850, 0)), piece((1000, 0), (1000, 150)),
            ("ARC", (1000.0, 0.0), 50.0, 270.0, 90.0),
            # The piece before it, then the last piece.
            piece((0, 0), (850, 0)), piece((0, 50), (0, -50)), piece((850, 50), (850, -50)),
            piece((0, 50), (850, 50)), piece((0, -50), (850, -50)),
            piece((1000, 150), (1000, 1000)), piece((950, 150), (950, 1000)), piece((1050, 150), (1050, 1000)),
            piece((950, 150), (1050, 150)), piece((950, 1000), (1050, 1000))])
        styles = [(e.dxf.color, e.dxf.linetype) for e in doc.modelspace()]
        self.assertEqual(styles[6], (1, "CENTER"))
        self.assertEqual(styles[9], (1, "CENTER"))
        self.assertEqual(styles[10], (3, "DASHED"))

    def test_a_single_line_run_with_a_reducer(self):
        self.s.write_ini("[PIPE]\nDW=50\nWTBJ=100\n[DRAW]\nENDSTYLE=1\n" + STYLES)
        self.run_script(["DX", "0,0", "1000,0", "1000,1000", "D", "30", "", "1000,1200", "1", "990,2000", "0"])
        doc = read_audited(self, self.saved)
        self.assertEqual(rounded(entities(doc)), [
            ("ARC", (900.0, 100.0), 100.0, 270.0, 0.0),
            piece((0, 0), (900, 0)),
            piece((1000, 100), (1000, 1000)), piece((975, 1000), (1025, 1000)),
            # Flat on top: the left side (towards -x) runs straight on.
            piece((975, 1000), (975, 1200)), piece((1025, 1000), (1005, 1200)),
            piece((975, 1000), (1025, 1000)), piece((975, 1200), (1005, 1200)),
            piece((990, 1200), (990, 2000))])
        self.assertEqual({(e.dxf.color, e.dxf.linetype) for e in doc.modelspace()}, {(3, "DASHED")})
        self.assertEqual(self.s.ini_text(), "[PIPE]\nDW=30.000000\nWTBJ=100\n[DRAW]\nENDSTYLE=1\n" + STYLES
                         + "[DXT]\nDW2=30.000000\n")

    def test_a_valve_chosen_in_the_dialog_inside_a_run(self):
        fm = os.path.join(self.s.module_dir, "resource", "FM")
        make_valve(fm, "Gate")
        make_valve(fm, "Check")
        self.s.write_ini("[PIPE]\nDW=100\nWTBJ=150\n" + STYLES)
        out = self.run_script(["GD", "-500,0", "0,0", "F", "C", "2", "OK", "600,0", "1000,0", "0"])
        at = 0
        for part in [reply(NEXT_POINT.format("0"), "F"), reply(VALVE_POINT.format("", "100.000000"), "C"),
                     "\n阀门选择", QUESTION + "2\n", QUESTION + "OK\n", reply(PLAIN_NEXT, "600,0"),
                     reply(NEXT_POINT.format("0"), "1000,0"), reply(NEXT_POINT.format("0"), "0")]:
            found = out.find(part, at)
            self.assertGreaterEqual(found, 0, f"{part!r} not in order in:\n{out}")
            at = found + len(part)
        self.assertIn(f"[FM]\nFMNAME=Gate\nFMFILENAME={fm}/Gate.dxf\n", self.s.ini_text())
        doc = read_audited(self, self.saved)
        got = rounded(entities(doc))
        self.assertEqual(len(got), 5 + 2 + 5)
        self.assertEqual(got[5], piece((0, 0), (600, 0)))
        self.assertEqual(got[6], ("INSERT", "Gate", (0.0, 0.0, 0.0), 2.0, round(100 / 219, 9), 0.0))
        self.assertEqual(got[7], piece((600, 0), (1000, 0)))

    def test_a_long_run_reads_back_whole(self):
        self.s.write_ini("[PIPE]\nDW=50\nWTBJ=100\n[DRAW]\nENDSTYLE=1\n" + STYLES)
        points, x, y = ["0,0"], 0, 0
        for i in range(501):
            if i % 2 == 0:
                x += 1000
            else:
                y += 1000
            points.append(f"{x},{y}")
        self.run_script(["GD"] + points + ["0"])
        doc = read_audited(self, self.saved)
        kinds = [e.dxftype() for e in doc.modelspace()]
        self.assertEqual(len(kinds), 500 * 10 + 5)
        self.assertEqual(kinds.count("ARC"), 500 * 3)
        last = doc.modelspace()[len(kinds) - 5]
        self.assertEqual([tuple(p) for p in last.get_points("xy")], [(x - 900.0, float(y)), (float(x), float(y))])
        # Every elbow's centre arc is a quarter circle of radius 100.
        arcs = [e for e in doc.modelspace() if e.dxftype() == "ARC" and e.dxf.radius == 100]
        self.assertEqual(len(arcs), 500)
        for arc in arcs:
            sweep = (arc.dxf.end_angle - arc.dxf.start_angle) % 360
            self.assertTrue(math.isclose(sweep, 90, abs_tol=1e-9), sweep)


if __name__ == "__main__":
    main()
