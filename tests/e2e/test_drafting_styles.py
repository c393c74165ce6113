"""STYLE, DIMSTYLE, DIMSCALE and LTSCALE driven by scripts: the saved drawings read back
with ezdxf (text style, dimension style record and header values), each command one step
of UNDO, bad replies refused with the prompt asked again, and LTSCALE changing the dashes
EXPORT and PLOT draw."""
import os
import re
import unittest

from dxfcheck import read_audited
from orvharness import Session, main


def header(doc, name, default=None):
    return doc.header.get(name, default)


class Styles(unittest.TestCase):
    def test_each_command_is_kept_in_the_drawing_and_taken_back_by_undo(self):
        s = Session(self)
        steps = [
            ["STYLE", "工程字", "gbenor.shx,gbcbig.shx", "0", "0.7", "15"],
            ["DIMSTYLE", "T", "3.5", "A", "3", "B", "T", "E", "2", "O", "1", "D", "1", "G", "1", ""],
            ["DIMSCALE", "100"],
            ["LTSCALE", "10"],
        ]
        done = os.path.join(s.dir, "done.dxf")
        undone = os.path.join(s.dir, "undone.dxf")
        script = sum(steps, []) + ["SAVEAS", done] + ["UNDO"] * len(steps) + ["SAVEAS", undone]
        out, _, _ = s.run(script)
        for said in ("\n新样式。", "\n“工程字”是当前文字样式。", "\n当前标注样式: Standard", "\n正在重生成模型。"):
            self.assertIn(said, out)
        doc = read_audited(self, done)
        style = doc.styles.get("工程字")
        self.assertEqual((style.dxf.font, style.dxf.bigfont), ("gbenor.shx", "gbcbig.shx"))
        self.assertEqual((style.dxf.height, style.dxf.width, style.dxf.oblique), (0, 0.7, 15))
        dim = doc.dimstyles.get("Standard")
        self.assertEqual((dim.dxf.dimtxt, dim.dxf.dimasz, dim.dxf.dimexe, dim.dxf.dimexo, dim.dxf.dimgap,
                          dim.dxf.dimdec, dim.dxf.dimscale), (3.5, 3, 2, 1, 1, 1, 100))
        self.assertEqual(dim.dxf.dimblk.upper(), "_ARCHTICK")  # read through the block record's handle
        self.assertIn("_ARCHTICK", [b.name.upper() for b in doc.blocks])
        self.assertEqual([header(doc, n) for n in ("$TEXTSTYLE", "$DIMBLK", "$DIMTXT", "$DIMSCALE", "$LTSCALE")],
                         ["工程字", "_ARCHTICK", 3.5, 100, 10])

        # Each UNDO takes back one command: after four the drawing is as it began.
        back = read_audited(self, undone)
        self.assertFalse(back.styles.has_entry("工程字"))
        self.assertNotEqual(header(back, "$TEXTSTYLE", "Standard"), "工程字")
        self.assertNotEqual(back.dimstyles.get("Standard").dxf.get("dimtxt", 2.5), 3.5)
        self.assertEqual((header(back, "$DIMSCALE", 1), header(back, "$LTSCALE")), (1, 1))

    def test_bad_replies_are_refused_and_asked_again(self):
        s = Session(self)
        path = os.path.join(s.dir, "out.dxf")
        out, _, _ = s.run([
            "STYLE", "a<b", "样式2", "", "-1", "2.5", "0", "1", "90", "0",
            "LTSCALE", "-1", "0", "abc", "2",
            "DIMSCALE", "0", "5",
            "DIMSTYLE", "D", "9", "3", "T", "-2", "4", "X", "",
            "SAVEAS", path])
        for message in ["\n文字样式名无效：名称中不能有字符“<”。", "\n文字高度不能为负数。",
                        "\n宽度因子须在 0.01 到 100 之间。", "\n倾斜角度须在 -85 到 85 度之间。",
                        "\n需要正数。", "\n需要数值。", "\n小数位数须在 0 到 8 之间。"]:
            self.assertIn(message, out)
        doc = read_audited(self, path)
        style = doc.styles.get("样式2")
        self.assertEqual((style.dxf.height, style.dxf.width, style.dxf.oblique), (2.5, 1, 0))
        self.assertEqual(header(doc, "$LTSCALE"), 2)
        dim = doc.dimstyles.get("Standard")
        self.assertEqual((dim.dxf.dimscale, dim.dxf.dimdec, dim.dxf.dimtxt), (5, 3, 4))

    def test_ltscale_changes_the_dashes_export_and_plot_draw(self):
        s = Session(self)
        script = ["LINETYPE", "L", "DASHED", "S", "DASHED", "", "LINE", "0,0", "100,0", ""]
        for scale in ("1", "4"):
            script += ["LTSCALE", scale, "SAVEAS", os.path.join(s.dir, f"lt{scale}.dxf"),
                       "EXPORT", os.path.join(s.dir, f"export{scale}.svg")]
        s.run(script)
        for scale in ("1", "4"):
            s.run([], args=["--plot", os.path.join(s.dir, f"plot{scale}.svg"), os.path.join(s.dir, f"lt{scale}.dxf")])

        def dashes(name):
            with open(os.path.join(s.dir, name), encoding="utf-8") as f:
                return re.findall(r'stroke-dasharray:([^;"]*)', f.read())

        for picture in ("export", "plot"):
            self.assertTrue(dashes(f"{picture}1.svg"), picture)
            self.assertNotEqual(dashes(f"{picture}1.svg"), dashes(f"{picture}4.svg"), picture)


if __name__ == "__main__":
    main()
