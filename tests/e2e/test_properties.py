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
        done, undone, last = (os.path.join(s.dir, n + ".dxf") for n in ("done", "undone", "last"))
        out, _, _ = s.run([
            "LINETYPE", "L", "dashed", "L", "NOSUCH", "S", "DASHED", "",
            "CHPROP", "ALL", "", "C", "300", "red", "LA", "NOPE", "LA", "pipe", "LT", "DASHED", "",
            "MATCHPROP", "5,0", "5,10", "",
            "CHPROP", "5,0", "", "C", "BYLAYER", "",
            "SAVEAS", done, "UNDO", "SAVEAS", undone,
            "COL", "green", "FILLET", "R", "2", "5,30", "12,36",
            "LINE", "50,0", "60,0", "", "C", "50,20", "3", "REC", "70,0", "80,5", "PL", "90,0", "95,0", "",
            "SAVEAS", last], args=[source])
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


def weights(doc):
    """Each entity by its kind and first point: its lineweight and linetype scale."""
    def where(e):
        t = e.dxftype()
        p = e.dxf.start if t == "LINE" else e.dxf.center if t == "CIRCLE" else e.dxf.insert
        return (t, round(p.x, 6) + 0.0, round(p.y, 6) + 0.0)
    return {where(e): (e.dxf.lineweight, round(e.dxf.ltscale, 6)) for e in doc.modelspace()}


# A step (one command UNDO takes back whole), and what it leaves: entity -> (lineweight,
# linetype scale), for the entities it changes or adds.
LW_STEPS = [
    ("every kind, kept ones too, a lineweight",
     ["CHPROP", "ALL", "", "LW", "0.5", ""],
     {("LINE", 0, 0): (50, 1), ("CIRCLE", 20, 0): (50, 1), ("TEXT", 0, 20): (50, 1), ("LINE", 0, 30): (50, 1),
      ("LINE", 5, 28): (50, 1), ("LINE", 10, 28): (50, 1), ("LINE", 0, 40): (50, 1)}),
    ("a scale and ByBlock in one CHPROP",
     ["CHPROP", "5,0", "", "S", "2.5", "LW", "BYBLOCK", ""],
     {("LINE", 0, 0): (-2, 2.5)}),
    ("MATCHPROP passes both on",
     ["MATCHPROP", "5,0", "15,30", ""],
     {("LINE", 0, 30): (-2, 2.5)}),
    ("CHPROP's one-line form",
     ["CHPROP LW 0.30", "22,0", ""],
     {("CIRCLE", 20, 0): (30, 1)}),
    ("a text's scale, and DEFAULT",
     ["CHPROP", "W", "-1,19", "5,24", "", "S", "0.5", "LW", "DEFAULT", ""],
     {("TEXT", 0, 20): (-3, 0.5)}),
    ("an offset copy keeps its source's",
     ["OFFSET", "1", "5,0", "5,5", ""],
     {("LINE", 0, 1): (-2, 2.5)}),
    ("a new line takes the current lineweight",
     ["LWEIGHT", "0.7", "LINE", "50,0", "60,0", ""],
     {("LINE", 50, 0): (70, 1)}),
    ("a trimmed line's new part keeps the line's",
     ["TRIM", "", "7,30", ""],
     {("LINE", 0, 30): (-2, 2.5), ("LINE", 10, 30): (-2, 2.5)}),
]


class Lineweights(unittest.TestCase):
    def drawing(self, s):
        source = os.path.join(s.dir, "before.dxf")
        doc = ezdxf.new("R2000")
        m = doc.modelspace()
        m.add_line((0, 0), (10, 0))
        m.add_circle((20, 0), 2)
        m.add_text("T", dxfattribs={"insert": (0, 20), "height": 2})
        m.add_line((0, 30), (20, 30))
        m.add_line((5, 28), (5, 32))
        m.add_line((10, 28), (10, 32))
        m.add_line((0, 40), (10, 40), dxfattribs={"lineweight": 35})
        doc.saveas(source)
        return source

    def test_each_change_is_saved_and_undone_and_redone(self):
        s = Session(self)
        source = self.drawing(s)
        saved = lambda name: os.path.join(s.dir, name + ".dxf")
        script = []
        for i, (_, lines, _) in enumerate(LW_STEPS):
            script += lines + ["SAVEAS", saved(f"done{i}")]
        for i in reversed(range(len(LW_STEPS))):
            script += ["UNDO", "SAVEAS", saved(f"undone{i}")]
        for i in range(len(LW_STEPS)):
            script += ["REDO", "SAVEAS", saved(f"redone{i}")]
        out, _, _ = s.run(script, args=[source])
        for refusal in ("无法", "未选择对象", "无效", "未知命令"):
            self.assertNotIn(refusal, out)

        expected = weights(ezdxf.readfile(source))
        self.assertEqual(expected[("LINE", 0, 40)], (35, 1))
        states = [dict(expected)]
        for i, (name, _, changes) in enumerate(LW_STEPS):
            with self.subTest(name):
                expected.update(changes)
                self.assertEqual(weights(read_audited(self, saved(f"done{i}"))), expected)
                states.append(dict(expected))
        for i, (name, _, _) in enumerate(LW_STEPS):
            with self.subTest(name + ", undone and redone"):
                self.assertEqual(weights(read_audited(self, saved(f"undone{i}"))), states[i])
                self.assertEqual(weights(read_audited(self, saved(f"redone{i}"))), states[i + 1])
        self.assertEqual(read_audited(self, saved("redone7")).header["$CELWEIGHT"], 70)

    def test_bad_replies_are_refused_and_change_nothing(self):
        s = Session(self)
        source = self.drawing(s)
        out_file = os.path.join(s.dir, "out.dxf")
        out, _, _ = s.run(["CHPROP", "ALL", "", "LW", "0.17", "LW", "abc", "S", "0", "-2", "x", "^C",
                           "CHPROP LW 9", "ALL", "",
                           "CHPROP S 0", "ALL", "",
                           "CHPROP Q 1", "ALL", "",
                           "LWEIGHT", "0.17", "3", "",
                           "LWDISPLAY", "maybe", ""], args=[source, "--save", out_file])
        bad_weight = "\n线宽无效：需要标准线宽的毫米数（0.00、0.05、0.09、0.13、0.15、0.18、0.20、0.25、0.30、0.35、" \
                     "0.40、0.50、0.53、0.60、0.70、0.80、0.90、1.00、1.06、1.20、1.40、1.58、2.00、2.11）、" \
                     "BYLAYER、BYBLOCK 或 DEFAULT。"
        self.assertIn("\n输入新线宽 [随层(BYLAYER)/随块(BYBLOCK)/默认(DEFAULT)] <BYLAYER>: 0.17\n" + bad_weight, out)
        self.assertIn("<BYLAYER>: abc\n" + bad_weight, out)
        self.assertIn("\n输入新线型比例 <1.0000>: 0\n\n值不能为零。", out)
        self.assertIn("\n输入新线型比例 <1.0000>: -2\n\n值不能为负。", out)
        self.assertIn("\n命令: CHPROP S 0\n", out)
        self.assertIn("\n线型比例无效：需要大于 0 的数。", out)
        self.assertIn("\n无效的特性“Q 1”：应为 C、LA、LT、LW 或 S 及其新值。", out)
        self.assertIn("<BYLAYER>: 0.17\n" + bad_weight + "\n当前线宽: BYLAYER", out)
        self.assertIn("<BYLAYER>: 3\n" + bad_weight, out)
        self.assertIn("\n输入 LWDISPLAY 的新值 [开(ON)/关(OFF)] <关>: maybe\n\n需要 ON 或 OFF（1 或 0）。", out)
        self.assertGreaterEqual(out.count(bad_weight), 5)
        got = read_audited(self, out_file)
        self.assertEqual(weights(got), weights(ezdxf.readfile(source)))
        self.assertEqual(got.header.get("$CELWEIGHT", -1), -1)

    def test_an_exported_picture_draws_lineweights_when_the_drawing_shows_them(self):
        page = Page()
        blue = (0, 0, 255)
        for shown in (False, True):
            with self.subTest(shown=shown):
                s = Session(self)
                doc = ezdxf.new("R2000")
                m = doc.modelspace()
                page.add_frame(m)
                m.add_line((10, 60), (150, 60), dxfattribs={"color": 5})
                m.add_line((10, 30), (150, 30), dxfattribs={"color": 5})
                source, png = os.path.join(s.dir, "lw.dxf"), os.path.join(s.dir, "lw.png")
                doc.saveas(source)
                s.run(["CHPROP", "80,60", "", "LW", "2.11", "",
                       "CHPROP", "80,30", "", "LW", "0.09", "",
                       "LWDISPLAY", "ON" if shown else "OFF"], args=[source, "--export", png])
                p = Picture(png)
                x = page.at(80, 0)[0]
                def rows(y):
                    top, bottom = page.at(0, y + 2)[1], page.at(0, y - 2)[1]
                    return sum(1 for row in range(top, bottom) if near(blue, 0.5)(p.pixel(x, row)))
                # 2.11 mm at 96 pixels an inch: eight pixels; 0.09 mm and thin lines: one or two.
                if shown:
                    self.assertGreaterEqual(rows(60), 7)
                    self.assertLessEqual(rows(60), 9)
                else:
                    self.assertLessEqual(rows(60), 2)
                self.assertLessEqual(rows(30), 2)
                self.assertGreaterEqual(rows(30), 1)


if __name__ == "__main__":
    main()
