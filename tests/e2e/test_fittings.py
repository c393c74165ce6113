"""WT, DWT and DXT end to end: lines drawn with LINE, the fitting drawn by the
plug-in, the drawing saved with --save and read back with ezdxf, entity by
entity: type, order, coordinates, angles, colour index and linetype."""
import math
import os
import unittest

from dxfcheck import read_audited
from orvharness import COMMAND, Session, main, reply

SETTINGS = ("[PIPE]\nWTBJ=100\nDW=50\n[MIDLINE]\nLINECOLOR=1\nLINETYPE=CENTER\n"
            "[SIDELINE]\nLINECOLOR=3\nLINETYPE=DASHED\n[DXT]\nDW1=100\nDW2=60\n")
PICK = "\n选择一条直线:"
PICKED = "\n已选择一条直线\n已获取对象ID"
ZERO_SIZES = "\n弯头半径或管道直径为零,请修改!"

MID = (1, "CENTER")
SIDE = (3, "DASHED")


def arc(cx, cy, radius, start, end, style):
    """An ARC as the tests expect it: angles in degrees, as DXF holds them."""
    return ("ARC", (cx, cy), radius, start, end) + style


def piece(a, b, style):
    return ("LWPOLYLINE", a, b) + style


def line(a, b):
    return ("LINE", a, b, 256, "BYLAYER")


def point(x, y):
    return f"{x!r},{y!r}"


def polar(length, degrees):
    return (length * math.cos(math.radians(degrees)), length * math.sin(math.radians(degrees)))


class FittingCase(unittest.TestCase):
    def draw(self, lines, settings=SETTINGS):
        """Runs the script on a new drawing; the transcript and the saved model space."""
        s = Session(self)
        s.write_ini(settings)
        saved = os.path.join(s.dir, "out.dxf")
        out, _, _ = s.run(lines, args=["--save", saved])
        doc = read_audited(self, saved)
        drawn = []
        for e in doc.modelspace():
            kind = e.dxftype()
            # Linetype names are case-insensitive ("BYLAYER" is ezdxf's default).
            style = (e.dxf.color, e.dxf.linetype.upper())
            if kind == "LINE":
                drawn.append((kind, tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2]) + style)
            elif kind == "LWPOLYLINE":
                points = list(e.get_points("xyseb"))
                self.assertEqual(len(points), 2)
                # Straight, open and without widths.
                self.assertEqual([p[2:] for p in points], [(0, 0, 0), (0, 0, 0)])
                self.assertFalse(e.closed)
                self.assertEqual(e.dxf.get("const_width", 0), 0)
                drawn.append((kind, points[0][:2], points[1][:2]) + style)
            elif kind == "ARC":
                self.assertEqual(tuple(e.dxf.extrusion), (0, 0, 1))
                self.assertEqual(e.dxf.center[2], 0)
                drawn.append((kind, tuple(e.dxf.center)[:2], e.dxf.radius,
                               e.dxf.start_angle, e.dxf.end_angle) + style)
            else:
                drawn.append((kind,))
        return out, drawn

    def assertDrawn(self, drawn, expected):
        self.assertEqual([d[0] for d in drawn], [e[0] for e in expected], drawn)
        for got, want in zip(drawn, expected):
            self.assertEqual(got[-2:], want[-2:], got)
            self.assertTrue(close(got[1:-2], want[1:-2]), f"{got} != {want}")


def close(a, b):
    """Values equal within 1e-9, angles in degrees taken modulo 360."""
    if isinstance(a, tuple):
        return len(a) == len(b) and all(close(x, y) for x, y in zip(a, b))
    if abs(a - b) <= 1e-9 * max(1, abs(b)):
        return True
    return abs(abs(a - b) - 360) <= 1e-9


class Elbow(FittingCase):
    RIGHT_ANGLE = [
        arc(100, 100, 100, 180, 270, MID), arc(100, 100, 75, 180, 270, SIDE),
        arc(100, 100, 125, 180, 270, SIDE),
        piece((100, 25), (100, -25), SIDE), piece((25, 100), (-25, 100), SIDE)]

    def test_right_angle_between_two_picked_lines(self):
        out, drawn = self.draw(["LINE", "500,0", "0,0", "", "LINE", "0,0", "0,400", "",
                                "WT", "250,0", "0,200"])
        self.assertTrue(out.endswith(reply(COMMAND, "WT") + reply(PICK, "250,0") + PICKED
                                     + reply(PICK, "0,200") + PICKED + COMMAND + "\n"), out)
        self.assertDrawn(drawn, [line((500, 0), (0, 0)), line((0, 0), (0, 400))] + self.RIGHT_ANGLE)

    def test_swapped_leg_ends_give_the_same_elbow(self):
        _, drawn = self.draw(["LINE", "0,0", "500,0", "", "LINE", "0,400", "0,0", "",
                              "WT", "250,0", "0,200"])
        self.assertDrawn(drawn[2:], self.RIGHT_ANGLE)

    def test_legs_at_350_and_10_degrees(self):
        far1, far2 = polar(1000, 350), polar(1000, 10)
        _, drawn = self.draw(["LINE", point(*far1), "0,0", point(*far2), "",
                              "WT", point(*polar(500, 350)), point(*polar(500, 10))])
        centre = (100 / math.sin(math.radians(10)), 0)
        t = 100 / math.tan(math.radians(10))
        t1, t2 = polar(t, -10), polar(t, 10)
        across1, across2 = polar(25, 80), polar(25, -80)
        self.assertDrawn(drawn[2:], [
            arc(*centre, 100, 100, 260, MID), arc(*centre, 75, 100, 260, SIDE),
            arc(*centre, 125, 100, 260, SIDE),
            piece((t1[0] + across1[0], t1[1] + across1[1]), (t1[0] - across1[0], t1[1] - across1[1]), SIDE),
            piece((t2[0] + across2[0], t2[1] + across2[1]), (t2[0] - across2[0], t2[1] - across2[1]), SIDE)])

    def test_zero_radius_prints_its_message_and_draws_nothing(self):
        out, drawn = self.draw(["LINE", "500,0", "0,0", "0,400", "", "WT", "250,0", "0,200"],
                               settings="[PIPE]\nDW=50\n")
        self.assertTrue(out.endswith(PICKED + ZERO_SIZES + COMMAND + "\n"), out)
        self.assertEqual([d[0] for d in drawn], ["LINE", "LINE"])


class UpDownElbow(FittingCase):
    LEG_ONE = [piece((0, 25), (100, 25), SIDE), piece((100, 25), (100, -25), SIDE),
               piece((100, -25), (0, -25), SIDE)]
    HALF_CIRCLE = arc(0, 0, 25, 90, 270, SIDE)

    def test_leg_two_counter_clockwise(self):
        _, drawn = self.draw(["LINE", "500,0", "0,0", "0,400", "", "DWT", "250,0", "0,200"])
        self.assertDrawn(drawn[2:], self.LEG_ONE + [
            piece((-25, 0), (-25, 100), SIDE), piece((25, 25), (25, 100), SIDE),
            piece((-25, 100), (25, 100), SIDE),
            piece((0, 0), (100, 0), MID), piece((0, 0), (0, 100), MID), self.HALF_CIRCLE])

    def test_leg_two_clockwise(self):
        _, drawn = self.draw(["LINE", "500,0", "0,0", "0,-400", "", "DWT", "250,0", "0,-200"])
        self.assertDrawn(drawn[2:], self.LEG_ONE + [
            piece((25, -25), (25, -100), SIDE), piece((-25, 0), (-25, -100), SIDE),
            piece((25, -100), (-25, -100), SIDE),
            piece((0, 0), (100, 0), MID), piece((0, 0), (0, -100), MID), self.HALF_CIRCLE])


class Reducer(FittingCase):
    FIRST = "\n请输入第一点[x,y][管道外径(前{})(后{})][修改(C)]:"
    NEXT = "\n 请输入下一点[x,y]:"
    FORM = "\n请选择大小头形式(中心0)(上平1)(下平2):"

    def test_three_forms(self):
        out, drawn = self.draw(["DXT", "0,0", "100,0", "0",
                                "DXT", "0,200", "100,200", "1",
                                "DXT", "0,400", "100,400", "2"])
        self.assertIn(reply(COMMAND, "DXT") + reply(self.FIRST.format("100.000000", "60.000000"), "0,0")
                      + reply(self.NEXT, "100,0") + reply(self.FORM, "0") + COMMAND, out)

        def reducer(y, centre_end, top, bottom):
            return [piece((0, y), (100, y + centre_end), MID),
                    piece((0, y + 50), (100, y + top), SIDE), piece((0, y - 50), (100, y + bottom), SIDE),
                    piece((0, y + 50), (0, y - 50), SIDE), piece((100, y + top), (100, y + bottom), SIDE)]

        self.assertDrawn(drawn, reducer(0, 0, 30, -30) + reducer(200, 20, 50, -10)
                         + reducer(400, -20, 10, -50))


if __name__ == "__main__":
    main()
