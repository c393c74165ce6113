"""QLEADER, DIMCONTINUE and DIMBASELINE with U and S, EXPLODE of a dimension and of a
leader, and ATTEDIT, driven by one script: the saved drawing read back with ezdxf (audit
clean) against coordinates worked out by hand, the messages of bad replies, and UNDO
taking back the attribute edit in one step."""
import math
import os
import unittest

import ezdxf

from dxfcheck import read_audited
from orvharness import Session, main

PROMPT = "\n指定第二条尺寸界线原点或 [放弃(U)/选择(S)] <选择>: "
# Standard: arrows 2.5 long, text 2.5 high, a gap of 0.625; lines 5/3 of the height apart.
SPACING = 2.5 * 5 / 3


class LeaderCommands(unittest.TestCase):
    def test_leaders_continued_dimensions_explode_and_attribute_edit(self):
        s = Session(self)
        valve = os.path.join(s.dir, "valve.dxf")
        doc = ezdxf.new("R2000")
        doc.modelspace().add_line((0, 0), (4, 0))
        doc.modelspace().add_attdef("NO", (0, 1), dxfattribs={"height": 1, "prompt": "管号"}, text="P-1")
        doc.modelspace().add_attdef("SIZE", (0, 3), dxfattribs={"height": 1}, text="DN50")
        doc.saveas(valve)
        plain = os.path.join(s.dir, "plain.dxf")
        doc = ezdxf.new("R2000")
        doc.modelspace().add_line((0, 0), (4, 0))
        doc.saveas(plain)
        done = os.path.join(s.dir, "done.dxf")
        undone = os.path.join(s.dir, "undone.dxf")
        script = [
            "LE", "0,0", "10,10", "20,10", "", "DN100 管道", "第二行", "",   # to the right: two lines
            "QLEADER", "100,0", "90,5", "", "左", "",                         # to the left
            "LE", "50,50", "50,50", "", "60,50", "", "",                      # a repeated point, too few; no text
            "DLI", "0,100", "20,100", "10,110",                                # A
            "DCO", "50,100", "U", "40,100", "", "2,110", "-30,100", "", "",    # B taken back; C; S: from A's first
            "DBA", "U", "60,100", "S", "25,110", "70,100", "", "",            # E from D's first origin; F from C's
            "DAN", "", "200,0", "210,0", "200,10", "205,5",                    # G: 90° by three points
            "DCO", "190,0", "", "",                                            # H: the next quarter
            "X", "10,110", "",                                                 # A into its picture
            "X", "95,2.5", "",                                                 # the left leader
            "I", valve, "300,0", "", "", "", "P-7", "",
            "I", plain, "300,-20", "", "", "",
            "LINE", "300,-40", "310,-40", "",
            "ATE", "500,500", "305,-40", "302,-20", "302,0", "P-9", "",
            "SAVEAS", done, "UNDO", "SAVEAS", undone,
        ]
        out, _, _ = s.run(script)
        for said in ("\n该点与上一点重合。", "\n引线至少需要两个点。", "\n本次命令还没有可放弃的标注。",
                     "\n选择连续标注: ", "\n选择基准标注: ", "\n未找到对象。", "\n需要块参照。", "\n块中没有属性。",
                     "\n管号 <P-7>: P-9\n", "\nSIZE <DN50>: \n", PROMPT + "U\n"):
            self.assertIn(said, out)

        doc = read_audited(self, done)
        msp = doc.modelspace()
        # The leaders left (the second was exploded): arrows on, in the current style.
        leaders = list(msp.query("LEADER"))
        self.assertEqual([[tuple(v)[:2] for v in l.vertices] for l in leaders],
                         [[(0, 0), (10, 10), (20, 10)], [(50, 50), (60, 50)]])
        for l in leaders:
            self.assertEqual((l.dxf.has_arrowhead, l.dxf.dimstyle), (1, "Standard"))
        # Their notes: one MTEXT each, a gap beside the last point, its middle level with
        # it, the leader pointing to it; the leader without text points to nothing.
        notes = {m.dxf.handle: m for m in msp.query("MTEXT")}
        self.assertEqual(len(notes), 2)
        for content, at, attachment in (("DN100 管道\\P第二行", (20.625, 10), 4), ("左", (89.375, 5), 6)):
            m = next(n for n in notes.values() if n.text == content)
            self.assertEqual((m.dxf.attachment_point, m.dxf.char_height), (attachment, 2.5), content)
            self.assertAlmostEqual(m.dxf.insert.x, at[0], places=6, msg=content)
            self.assertAlmostEqual(m.dxf.insert.y, at[1], places=6, msg=content)
        first = next(m for m in notes.values() if m.dxf.attachment_point == 4)
        self.assertEqual((leaders[0].dxf.annotation_type, leaders[0].dxf.annotation_handle), (0, first.dxf.handle))
        self.assertEqual(leaders[1].dxf.annotation_type, 3)
        texts = {t.dxf.text: t for t in msp.query("TEXT")}

        # The dimensions left: C, D (continued from A's first origin after S), E and F
        # (baseline, one spacing of 3.75 out), G and H (angular, continued by a quarter).
        want = [
            (0, 20, {"defpoint": (40, 110), "defpoint2": (20, 100), "defpoint3": (40, 100)}),
            (0, 30, {"defpoint": (-30, 110), "defpoint2": (0, 100), "defpoint3": (-30, 100)}),
            (0, 60, {"defpoint": (60, 113.75), "defpoint2": (0, 100), "defpoint3": (60, 100)}),
            (0, 50, {"defpoint": (70, 113.75), "defpoint2": (20, 100), "defpoint3": (70, 100)}),
            (5, 90, {"defpoint2": (210, 0), "defpoint3": (200, 10), "defpoint4": (200, 0)}),
            (5, 90, {"defpoint2": (200, 10), "defpoint3": (190, 0), "defpoint4": (200, 0), "defpoint": (195, 5)}),
        ]
        dims = list(msp.query("DIMENSION"))
        self.assertEqual(len(dims), len(want))
        for k, (dim, (kind, measurement, points)) in enumerate(zip(dims, want)):
            what = f"dimension {k + 1}"
            self.assertEqual(dim.dimtype, kind, what)
            self.assertAlmostEqual(dim.get_measurement(), measurement, places=6, msg=what)
            for name, p in points.items():
                self.assertAlmostEqual(dim.dxf.get(name).x, p[0], places=6, msg=f"{what} {name}")
                self.assertAlmostEqual(dim.dxf.get(name).y, p[1], places=6, msg=f"{what} {name}")

        # A exploded: its dimension line from (0, 110) to (20, 110), its two arrowheads and
        # its text in model space. The left leader: its line and its arrowhead at (100, 0),
        # 2.5 long back along the leader, a sixth of that to each side.
        lines = [(tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2]) for e in msp.query("LINE")]
        self.assertIn(((0, 110), (20, 110)), lines)
        self.assertIn(((100, 0), (90, 5)), lines)
        self.assertEqual(texts["20.00"].dxf.halign, 1)
        solids = [[tuple(e.dxf.get(c))[:2] for c in ("vtx0", "vtx1", "vtx2")] for e in msp.query("SOLID")]
        self.assertEqual(len(solids), 3)
        u = (10 / math.hypot(10, 5), -5 / math.hypot(10, 5))
        back = (100 - 2.5 * u[0], -2.5 * u[1])
        side = (-u[1] * 2.5 / 6, u[0] * 2.5 / 6)
        arrow = next(p for p in solids if p[0] == (100, 0))
        for got, corner in zip(arrow[1:], [(back[0] + side[0], back[1] + side[1]), (back[0] - side[0], back[1] - side[1])]):
            self.assertAlmostEqual(got[0], corner[0], places=6)
            self.assertAlmostEqual(got[1], corner[1], places=6)

        # ATTEDIT: the first value changed, the second kept; UNDO takes the edit back whole.
        valve_ref = next(e for e in msp.query("INSERT") if e.dxf.name == "valve")
        self.assertEqual({a.dxf.tag: a.dxf.text for a in valve_ref.attribs}, {"NO": "P-9", "SIZE": "DN50"})
        before = next(e for e in read_audited(self, undone).modelspace().query("INSERT") if e.dxf.name == "valve")
        self.assertEqual({a.dxf.tag: a.dxf.text for a in before.attribs}, {"NO": "P-7", "SIZE": "DN50"})

    def test_copies_keep_their_own_text_and_taken_back_dimensions_leave_no_picture(self):
        s = Session(self)
        done = os.path.join(s.dir, "copies.dxf")
        script = [
            "LE", "0,0", "10,10", "20,10", "", "DN100", "",       # a leader and its note
            "COPY", "-5,-5", "40,20", "", "0,0", "0,50", "0,100", "",  # both, twice
            "COPY", "5,5", "", "0,0", "100,0", "",                 # the leader alone
            "COPYCLIP", "-5,-5", "40,20", "",
            "PASTECLIP", "0,-50",                                  # both, from the clipboard
            "CHGEOM", "105,5", "", "PATH CURVED",                 # refused
            "CHGEOM", "105,5", "", "PATH SPLINE",                 # the lone copy curves
            "DLI", "0,200", "20,200", "10,210",
            "DCO", "40,200", "U", "", "",                          # the continued one taken back
            "DLI", "100,200", "120,200", "110,210",
            "ERASE", "110,210", "",                                # its picture is left unused
            "SAVEAS", done, "UNDO", "REDO",
        ]
        out, _, _ = s.run(script)
        self.assertIn("\n路径类型须答 STRAIGHT（直线）或 SPLINE（样条曲线）。", out)

        doc = read_audited(self, done)
        msp = doc.modelspace()
        notes = {m.dxf.handle: m for m in msp.query("MTEXT")}
        self.assertEqual(len(notes), 4)
        leaders = list(msp.query("LEADER"))
        self.assertEqual(len(leaders), 5)
        # Each leader with a note points at the one beside its own last point; the one
        # copied alone points at none.
        for l in leaders:
            end = tuple(l.vertices[-1])[:2]
            if end == (120, 10):
                self.assertEqual(l.dxf.annotation_type, 3)
                self.assertIn(l.dxf.get("annotation_handle", "0"), ("0", None))
                self.assertEqual(l.dxf.path_type, 1)
                continue
            self.assertEqual(l.dxf.path_type, 0)
            self.assertEqual(l.dxf.annotation_type, 0)
            note = notes[l.dxf.annotation_handle]
            self.assertAlmostEqual(note.dxf.insert.x, end[0] + 0.625, places=6)
            self.assertAlmostEqual(note.dxf.insert.y, end[1], places=6)
        self.assertEqual(len({l.dxf.annotation_handle for l in leaders if l.dxf.annotation_type == 0}), 4)

        # One dimension left; every dimension picture in the file is drawn by one.
        dims = list(msp.query("DIMENSION"))
        self.assertEqual(len(dims), 1)
        drawn = {d.dxf.geometry.upper() for d in dims}
        pictures = {b.name.upper() for b in doc.blocks if b.name.upper().startswith("*D")}
        self.assertEqual(pictures, drawn)


if __name__ == "__main__":
    main()
