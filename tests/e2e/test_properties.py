"""CHPROP, MATCHPROP, COLOR and LINETYPE: properties changed and current values set, seen
in the saved DXF read back with ezdxf; UNDO takes a change back; bad replies refused."""
import os
import unittest

import ezdxf

from dxfcheck import read_audited
from orvharness import Session, main


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


if __name__ == "__main__":
    main()
