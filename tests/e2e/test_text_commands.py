"""TEXT (DT, DTEXT), MTEXT (MT, T) and DDEDIT (ED) driven by scripts: each alignment keyword, the height
Enter keeps and a style's fixed height, lines below one another, Chinese text in the
R2000 file's code page, DDEDIT (Enter keeping the content; an MTEXT's content with its
codes), EXPLODE of an MTEXT into one TEXT per line, bad replies refused with
nothing lost, and each command one UNDO step. Saved drawings are read back with ezdxf."""
import math
import os
import unittest

from dxfcheck import read_audited
from orvharness import Session, main


def texts(doc):
    return [(e.dxf.text, tuple(e.dxf.insert), e.dxf.height, e.dxf.rotation, e.dxf.halign, e.dxf.valign,
             tuple(e.dxf.align_point) if e.dxf.hasattr("align_point") else None, e.dxf.style, e.dxf.layer)
            for e in doc.modelspace().query("TEXT")]


class TextCommands(unittest.TestCase):
    def close(self, got, want, what, tol=1e-9):
        self.assertEqual(len(got), len(want), what)
        for g, w in zip(got, want):
            self.assertAlmostEqual(g, w, delta=tol, msg=f"{what}: {got} != {want}")

    def test_text_dialogues_and_ddedit(self):
        s = Session(self)
        step = 5 * 5 / 3  # the next line stands 5/3 of the height below
        # Each step: the replies, then what it adds: (text, insert, height, rotation, halign,
        # valign, align point or None, style). Heights and rotations Enter keeps carry on.
        steps = [
            (["LAYER", "M", "NOTE", ""], []),
            (["TEXT", "10,20", "5", "0", "PIPE-1", "管道 DN100", ""],
             [("PIPE-1", (10, 20), 5, 0, 0, 0, None, "Standard"),
              ("管道 DN100", (10, 20 - step), 5, 0, 0, 0, None, "Standard")]),
            (["DT", "J", "MC", "100,100", "", "90", "中心", ""],
             [("中心", (100, 100), 5, 90, 1, 2, (100, 100), "Standard")]),
            (["DTEXT", "J", "A", "0,0", "30,40", "ALIGNED", ""],
             [("ALIGNED", (0, 0), 5, math.degrees(math.atan2(40, 30)), 3, 0, (30, 40), "Standard")]),
            (["TEXT", "J", "F", "0,50", "20,50", "abc", "-1", "3", "FIT", ""],   # bad heights refused
             [("FIT", (0, 50), 3, 0, 5, 0, (20, 50), "Standard")]),
            (["TEXT", "J", "BR", "50,0", "", "45", "右下", ""],                   # Enter keeps 3
             [("右下", (50, 0), 3, 45, 2, 1, (50, 0), "Standard")]),
            (["STYLE", "FIXED", "txt", "7", "1", "0"], []),
            (["TEXT", "200,0", "0", "ONE", "TWO", ""],                         # height not asked
             [("ONE", (200, 0), 7, 0, 0, 0, None, "FIXED"),
              ("TWO", (200, -7 * 5 / 3), 7, 0, 0, 0, None, "FIXED")]),
            (["TEXT", "S", "nosuch", "Standard", "300,0", "", "", "STD", ""],
             [("STD", (300, 0), 3, 0, 0, 0, None, "Standard")]),
        ]
        script, saved = [], []
        for k, (replies, _) in enumerate(steps):
            saved.append(os.path.join(s.dir, f"done{k}.dxf"))
            script += replies + ["SAVEAS", saved[-1]]
        # DDEDIT: the first text changed, picked again and kept with Enter; Enter ends.
        # MTEXT: two corners (with H, then J and a width), lines joined by paragraph breaks.
        script += ["MTEXT", "0,100", "H", "4", "40,80", "第一行", "second {x}", ""]
        script += ["MT", "100,100", "J", "MC", "140,60", "A", ""]
        script += ["T", "0,-50", "W", "25", ""]                                  # no line: nothing made
        script += ["DDEDIT", "25,22", "新内容", "25,22", "", ""]
        script += ["SAVEAS", os.path.join(s.dir, "edited.dxf")]
        # DDEDIT of an MTEXT takes its content with its codes; EXPLODE makes a TEXT of each line.
        script += ["DDEDIT", "5,98", "改过\\P第二段", "", "SAVEAS", os.path.join(s.dir, "mtext-edited.dxf")]
        script += ["EXPLODE", "5,98", "", "SAVEAS", os.path.join(s.dir, "exploded.dxf")]
        undone = os.path.join(s.dir, "undone.dxf")
        # EXPLODE, two DDEDITs, two MTEXTs, the last TEXT
        script += ["UNDO"] * 6 + ["SAVEAS", undone]
        out, _, _ = s.run(script)
        self.assertIn("找不到文字样式“nosuch”。", out)
        self.assertIn("当前文字样式: \"Standard\"", out)

        expected = []
        for k, (_, made) in enumerate(steps):
            expected += made
            doc = read_audited(self, saved[k])
            got = texts(doc)
            self.assertEqual(len(got), len(expected), f"step {k}: {got}")
            for g, w in zip(got, expected):
                what = f"step {k}: {g} for {w}"
                self.assertEqual(g[0], w[0], what)
                self.close(g[1][:2], w[1], what)
                self.close([g[2], g[3]], [w[2], w[3]], what)
                self.assertEqual((g[4], g[5]), (w[4], w[5]), what)
                if w[6] is not None:
                    self.close(g[6][:2], w[6], what)
                self.assertEqual(g[7].upper(), w[7].upper(), what)
                self.assertEqual(g[8], "NOTE", what)
        # Chinese text in the R2000 file: its code page's bytes.
        with open(saved[1], "rb") as f:
            raw = f.read()
        self.assertIn("管道 DN100".encode("gbk"), raw)

        edited = texts(read_audited(self, os.path.join(s.dir, "edited.dxf")))
        self.assertEqual(edited[0][0], "新内容")
        self.assertEqual([t[0] for t in edited[1:]], [w[0] for w in expected[1:]])
        mtexts = [(tuple(m.dxf.insert), m.dxf.char_height, m.dxf.width, m.dxf.attachment_point, m.text)
                  for m in read_audited(self, os.path.join(s.dir, "edited.dxf")).modelspace().query("MTEXT")]
        self.assertEqual(len(mtexts), 2, mtexts)
        self.close(mtexts[0][0][:2], (0, 100), "MTEXT from its top left corner")
        self.close(mtexts[0][1:4], (4, 40, 1), "height, width, attachment")
        self.assertEqual(mtexts[0][4], "第一行\\Psecond \\{x\\}")
        self.close(mtexts[1][0][:2], (120, 80), "MTEXT hung by its middle")
        self.close(mtexts[1][1:4], (7, 40, 5), "the current style's fixed height, width, attachment")
        edited = [m.text for m in read_audited(self, os.path.join(s.dir, "mtext-edited.dxf")).modelspace().query("MTEXT")]
        self.assertEqual(edited, ["改过\\P第二段", "A"])
        exploded = read_audited(self, os.path.join(s.dir, "exploded.dxf"))
        self.assertEqual([m.text for m in exploded.modelspace().query("MTEXT")], ["A"])
        lines = texts(exploded)[len(expected):]
        # Each line on its baseline below the top left corner (0,100): 4 down, then 5/3 of 4;
        # in the MTEXT's style and height, on its layer.
        self.assertEqual([t[0] for t in lines], ["改过", "第二段"], lines)
        for t, y in zip(lines, (96, 96 - 4 * 5 / 3)):
            self.close(t[1][:2], (0, y), f"{t}")
            self.close([t[2], t[3]], [4, 0], f"{t}")
            self.assertEqual((t[4], t[5], t[7].upper(), t[8]), (0, 0, "FIXED", "NOTE"))
        # UNDO takes back DDEDIT, then the last TEXT whole.
        back = texts(read_audited(self, undone))
        self.assertEqual([t[0] for t in back], [w[0] for w in expected[:-1]])


if __name__ == "__main__":
    main()
