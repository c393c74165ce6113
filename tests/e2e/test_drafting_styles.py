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
        script, done, undone = [], [], []
        for k, step in enumerate(steps):
            done.append(os.path.join(s.dir, f"done{k}.dxf"))
            script += step + ["SAVEAS", done[-1]]
        for k in reversed(range(len(steps))):
            undone.insert(0, os.path.join(s.dir, f"undone{k}.dxf"))
            script += ["UNDO", "SAVEAS", undone[0]]
        out, _, _ = s.run(script)
        self.assertIn("\n新样式。", out)
        self.assertIn("\n“工程字”是当前文字样式。", out)
        self.assertIn("\n当前标注样式: Standard", out)
        self.assertIn("\n正在重生成模型。", out)
        docs = [read_audited(self, p) for p in done]
        back = [read_audited(self, p) for p in undone]

        style = docs[0].styles.get("工程字")
        self.assertEqual((style.dxf.font, style.dxf.bigfont), ("gbenor.shx", "gbcbig.shx"))
        self.assertEqual((style.dxf.height, style.dxf.width, style.dxf.oblique), (0, 0.7, 15))
        self.assertEqual(header(docs[0], "$TEXTSTYLE"), "工程字")

        dim = docs[1].dimstyles.get("Standard")
        self.assertEqual((dim.dxf.dimtxt, dim.dxf.dimasz, dim.dxf.dimexe, dim.dxf.dimexo, dim.dxf.dimgap),
                         (3.5, 3, 2, 1, 1))
        self.assertEqual(dim.dxf.dimdec, 1)
        self.assertEqual(dim.dxf.dimblk.upper(), "_ARCHTICK")  # read through the block record's handle
        self.assertIn("_ARCHTICK", [b.name.upper() for b in docs[1].blocks])
        self.assertEqual(header(docs[1], "$DIMBLK"), "_ARCHTICK")
        self.assertEqual(header(docs[1], "$DIMTXT"), 3.5)

        self.assertEqual(docs[2].dimstyles.get("Standard").dxf.dimscale, 100)
        self.assertEqual(header(docs[2], "$DIMSCALE"), 100)
        self.assertEqual(docs[2].dimstyles.get("Standard").dxf.dimtxt, 3.5)  # the rest stays
        self.assertEqual(header(docs[3], "$LTSCALE"), 10)

        # UNDO k takes back step k exactly: what was there after step k - 1.
        self.assertEqual(header(back[3], "$LTSCALE"), 1)
        self.assertEqual(header(back[3], "$DIMSCALE"), 100)
        self.assertEqual(header(back[2], "$DIMSCALE", 1), 1)
        self.assertEqual(back[2].dimstyles.get("Standard").dxf.dimtxt, 3.5)
        self.assertNotEqual(back[1].dimstyles.get("Standard").dxf.get("dimtxt", 2.5), 3.5)
        self.assertEqual(back[1].styles.get("工程字").dxf.width, 0.7)
        self.assertFalse(back[0].styles.has_entry("工程字"))
        self.assertNotEqual(header(back[0], "$TEXTSTYLE", "Standard"), "工程字")

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
        pictures = {}
        script = ["LINETYPE", "L", "DASHED", "S", "DASHED", "", "LINE", "0,0", "100,0", ""]
        for scale in ("1", "4"):
            saved = os.path.join(s.dir, f"lt{scale}.dxf")
            pictures[scale] = os.path.join(s.dir, f"lt{scale}.svg")
            script += ["LTSCALE", scale, "SAVEAS", saved, "EXPORT", pictures[scale]]
        s.run(script)

        def dashes(path):
            with open(path, encoding="utf-8") as f:
                return re.findall(r'stroke-dasharray:([^;"]*)', f.read())

        self.assertTrue(dashes(pictures["1"]))
        self.assertNotEqual(dashes(pictures["1"]), dashes(pictures["4"]))
        plots = {}
        for scale in ("1", "4"):
            plots[scale] = os.path.join(s.dir, f"plot{scale}.svg")
            s.run([], args=["--plot", plots[scale], os.path.join(s.dir, f"lt{scale}.dxf")])
        self.assertTrue(dashes(plots["1"]))
        self.assertNotEqual(dashes(plots["1"]), dashes(plots["4"]))


if __name__ == "__main__":
    main()
