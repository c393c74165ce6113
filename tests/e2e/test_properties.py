"""CHPROP, MATCHPROP, COLOR, LINETYPE, LWEIGHT and LWDISPLAY: properties changed and
current values set, seen in the saved DXF read back with ezdxf and in an exported
picture; UNDO and REDO take each change back and bring it again; bad replies refused."""
import os
import unittest

import ezdxf

from dxfcheck import read_audited
from orvharness import Session, main
from picture import Page, Picture, near


class Properties(unittest.TestCase):
    def test_changes_and_current_values_are_kept_in_the_drawing(self):
        s = Session(self)
        source = os.path.join(s.dir, "before.dxf")
        doc = ezdxf.new("R2000")
        doc.layers.add("PIPE", color=3)
        m = doc.modelspace()
        m.add_line((0, 0), (10, 0))
        m.add_line((0, 10), (10, 10))
        m.add_text("T-1", dxfattribs={"insert": (0, 20), "height": 2})
        m.add_line((0, 30), (10, 30))
        m.add_line((12, 32), (12, 40))
        doc.saveas(source)
        done, undone, last, first = (os.path.join(s.dir, n + ".dxf") for n in ("done", "undone", "last", "first"))
        out, _, _ = s.run([
            "LINETYPE", "L", "dashed", "L", "NOSUCH", "S", "DASHED", "",
            "CHPROP", "ALL", "", "C", "300", "red", "LA", "NOPE", "LA", "pipe", "LT", "DASHED", "",
            "MATCHPROP", "5,0", "5,10", "",
            "CHPROP", "5,0", "", "C", "BYLAYER", "",
            "SAVEAS", done, "UNDO", "SAVEAS", undone,
            "COL", "green", "FILLET", "R", "2", "5,30", "12,36",
            "LINE", "50,0", "60,0", "", "C", "50,20", "3", "REC", "70,0", "80,5", "PL", "90,0", "95,0", "",
            "SAVEAS", last, "U", "U", "U", "U", "U", "U", "SAVEAS", first], args=[source])
        self.assertIn("\n颜色无效：", out)
        self.assertIn("\n找不到图层“NOPE”。", out)
        self.assertIn("\n线型文件中没有线型“NOSUCH”。", out)
        self.assertIn("\n线型“dashed”已加载。", out)

        got = read_audited(self, done)
        lines = {round(e.dxf.start.y): e for e in got.modelspace().query("LINE")}
        text = got.modelspace().query("TEXT")[0]
        self.assertEqual(got.linetypes.get("DASHED").dxf.description[:6], "Dashed")
        self.assertEqual((lines[0].dxf.layer, lines[0].dxf.color, lines[0].dxf.linetype), ("PIPE", 256, "DASHED"))
        self.assertEqual((lines[10].dxf.layer, lines[10].dxf.color, lines[10].dxf.linetype), ("PIPE", 1, "DASHED"))
        self.assertEqual((text.dxf.layer, text.dxf.color, text.dxf.linetype), ("PIPE", 1, "DASHED"))
        self.assertEqual(got.header["$CELTYPE"], "DASHED")

        back = read_audited(self, undone)
        line = [e for e in back.modelspace().query("LINE") if e.dxf.start.y == 0][0]
        self.assertEqual(line.dxf.color, 1, "UNDO takes back the last CHPROP only")

        final = read_audited(self, last)
        self.assertEqual(final.header["$CECOLOR"], 3)
        arc = final.modelspace().query("ARC")[0]
        self.assertEqual((arc.dxf.color, arc.dxf.linetype), (3, "DASHED"), "a new entity takes the current values")
        def first_x(e):
            t = e.dxftype()
            return e.dxf.start.x if t == "LINE" else e.dxf.center.x if t == "CIRCLE" else e.get_points("xy")[0][0]
        drawn = [e for e in final.modelspace() if e.dxftype() in ("LINE", "CIRCLE", "LWPOLYLINE") and first_x(e) >= 50]
        self.assertEqual(sorted((e.dxftype(), e.dxf.color, e.dxf.linetype) for e in drawn),
                         [("CIRCLE", 3, "DASHED"), ("LINE", 3, "DASHED"), ("LWPOLYLINE", 3, "DASHED"),
                          ("LWPOLYLINE", 3, "DASHED")],
                         "LINE and the drawing commands give new entities the current colour and linetype")
        before_col = read_audited(self, first)
        self.assertEqual(before_col.header.get("$CECOLOR", 256), 256, "COLOR is a step of UNDO")
        self.assertEqual(before_col.header["$CELTYPE"], "DASHED")


def weights(doc):
    """Each entity by its kind and first point: its lineweight and linetype scale."""
    def where(e):
        t = e.dxftype()
        p = e.dxf.start if t == "LINE" else e.dxf.center if t == "CIRCLE" else e.dxf.insert
        return (t, round(p.x, 6) + 0.0, round(p.y, 6) + 0.0)
    return {where(e): (e.dxf.lineweight, round(e.dxf.ltscale, 6)) for e in doc.modelspace()}


# A step (one command UNDO takes back whole), and what it leaves: entity -> (lineweight,
# linetype scale) for the entities it changes or adds, or one pair for every entity.
LW_STEPS = [
    ("every kind, kept ones too, a lineweight", ["CHPROP", "ALL", "", "LW", "0.5", ""], (50, 1)),
    ("a scale and ByBlock in one CHPROP", ["CHPROP", "5,0", "", "S", "2.5", "LW", "BYBLOCK", ""],
     {("LINE", 0, 0): (-2, 2.5)}),
    ("MATCHPROP passes both on", ["MATCHPROP", "5,0", "15,30", ""], {("LINE", 0, 30): (-2, 2.5)}),
    ("CHPROP's one-line form", ["CHPROP LW 0.30", "22,0", ""], {("CIRCLE", 20, 0): (30, 1)}),
    ("a text's scale, and DEFAULT", ["CHPROP", "W", "-1,19", "5,24", "", "S", "0.5", "LW", "DEFAULT", ""],
     {("TEXT", 0, 20): (-3, 0.5)}),
    ("an offset copy keeps its source's", ["OFFSET", "1", "5,0", "5,5", ""], {("LINE", 0, 1): (-2, 2.5)}),
    ("the current lineweight", ["LWEIGHT", "0.7"], {}),
    ("a new line takes the current lineweight", ["LINE", "50,0", "60,0", ""], {("LINE", 50, 0): (70, 1)}),
    ("a trimmed line's new part keeps the line's", ["TRIM", "", "7,30", ""],
     {("LINE", 0, 30): (-2, 2.5), ("LINE", 10, 30): (-2, 2.5)}),
]

# Replies refused before the steps; they change nothing.
REFUSED = ["CHPROP", "ALL", "", "LW", "0.17", "LW", "abc", "S", "0", "-2", "x", "^C",
           "CHPROP LW 9", "ALL", "", "CHPROP S 0", "ALL", "", "CHPROP Q 1", "ALL", "",
           "LWEIGHT", "0.17", "3", "", "LWDISPLAY", "maybe", ""]


class Lineweights(unittest.TestCase):
    def test_bad_replies_change_nothing_and_each_change_is_saved_undone_and_redone(self):
        s = Session(self)
        source = os.path.join(s.dir, "before.dxf")
        doc = ezdxf.new("R2000")
        m = doc.modelspace()
        for start, end in (((0, 0), (10, 0)), ((0, 30), (20, 30)), ((5, 28), (5, 32)), ((10, 28), (10, 32))):
            m.add_line(start, end)
        m.add_circle((20, 0), 2)
        m.add_text("T", dxfattribs={"insert": (0, 20), "height": 2})
        m.add_line((0, 40), (10, 40), dxfattribs={"lineweight": 35})
        doc.saveas(source)
        saved = lambda name: os.path.join(s.dir, name + ".dxf")
        script = REFUSED + ["SAVEAS", saved("refused")]
        for i, (_, lines, _) in enumerate(LW_STEPS):
            script += lines + ["SAVEAS", saved(f"done{i}")]
        for i in reversed(range(len(LW_STEPS))):
            script += ["UNDO", "SAVEAS", saved(f"undone{i}")]
        for i in range(len(LW_STEPS)):
            script += ["REDO", "SAVEAS", saved(f"redone{i}")]
        out, _, _ = s.run(script, args=[source])
        for said in ("<BYLAYER>: abc\n\n线宽无效：", "<BYLAYER>: 3\n\n线宽无效：", "<1.0000>: 0\n\n值不能为零。",
                     "<1.0000>: -2\n\n值不能为负。", "\n线型比例无效：需要大于 0 的数。", "\n无效的特性“Q 1”：",
                     "<关>: maybe\n\n需要 ON 或 OFF（1 或 0）。"):
            self.assertIn(said, out)
        self.assertEqual(out.count("\n线宽无效："), 5)  # 0.17, abc, 9; 0.17, 3

        expected = weights(ezdxf.readfile(source))
        self.assertEqual(expected[("LINE", 0, 40)], (35, 1))
        refused = read_audited(self, saved("refused"))
        self.assertEqual((weights(refused), refused.header.get("$CELWEIGHT", -1)), (expected, -1))
        states = [dict(expected)]
        for i, (name, _, changes) in enumerate(LW_STEPS):
            with self.subTest(name):
                expected.update(dict.fromkeys(expected, changes) if isinstance(changes, tuple) else changes)
                self.assertEqual(weights(read_audited(self, saved(f"done{i}"))), expected)
                states.append(dict(expected))
        for i, (name, _, _) in enumerate(LW_STEPS):
            with self.subTest(name + ", undone and redone"):
                self.assertEqual(weights(read_audited(self, saved(f"undone{i}"))), states[i])
                self.assertEqual(weights(read_audited(self, saved(f"redone{i}"))), states[i + 1])
        # LWEIGHT is a step of its own.
        self.assertEqual([read_audited(self, saved(n)).header.get("$CELWEIGHT", -1) for n in ("undone6", "redone6")],
                         [-1, 70])

    def test_an_exported_picture_draws_lineweights_when_the_drawing_shows_them(self):
        page, blue = Page(), (0, 0, 255)
        # 2.11 mm at 96 pixels an inch: eight pixels; 0.09 mm and thin lines: one or two.
        for shown, thick in ((False, range(1, 3)), (True, range(7, 10))):
            with self.subTest(shown=shown):
                s = Session(self)
                doc = ezdxf.new("R2000")
                page.add_frame(doc.modelspace())
                for y in (60, 30):
                    doc.modelspace().add_line((10, y), (150, y), dxfattribs={"color": 5})
                source, png = os.path.join(s.dir, "lw.dxf"), os.path.join(s.dir, "lw.png")
                doc.saveas(source)
                s.run(["CHPROP", "80,60", "", "LW", "2.11", "", "CHPROP", "80,30", "", "LW", "0.09", "",
                       "LWDISPLAY", "ON" if shown else "OFF"], args=[source, "--export", png])
                p, x = Picture(png), page.at(80, 0)[0]
                def rows(y):
                    top, bottom = page.at(0, y + 2)[1], page.at(0, y - 2)[1]
                    return sum(1 for row in range(top, bottom) if near(blue, 0.5)(p.pixel(x, row)))
                self.assertIn(rows(60), thick)
                self.assertIn(rows(30), range(1, 3))


if __name__ == "__main__":
    main()
