"""Selecting, snapping, asking and layers from scripts: every selection form and what
it says, snap overrides against coordinates worked out by hand, LIST, ID and DIST, and
LAYER's effects in the saved drawing and in pictures; bad replies refused."""
import os
import unittest

import ezdxf

from dxfcheck import read_audited
from orvharness import COMMAND, Session, main, reply
from pngread import read_png

SELECT = "\n选择对象:"
REMOVE = "\n删除对象: "
CORNER = "\n指定对角点: "


def write(path, build):
    doc = ezdxf.new("R2000")
    build(doc, doc.modelspace())
    doc.saveas(path)
    return doc


def selection_drawing(doc, msp):
    doc.layers.add("OFFL").off()
    doc.layers.add("FRZ").freeze()
    msp.add_line((0, 0), (10, 0))             # L1
    msp.add_line((0, 0), (10, 0))             # L2, on top of L1
    msp.add_line((20, 0), (30, 10))           # L3
    msp.add_circle((50, 5), 5)                # C1
    msp.add_line((0, 20), (10, 20), dxfattribs={"layer": "OFFL"})
    msp.add_line((0, 30), (10, 30), dxfattribs={"layer": "FRZ"})


def snap_drawing(doc, msp):
    msp.add_arc((0, 0), 10, 0, 90)
    msp.add_line((30, 3), (50, 3))
    msp.add_circle((40, 0), 5)
    msp.add_line((60, 0), (70, 10))
    block = doc.blocks.new("VALVE")
    block.add_line((-5, 0), (5, 0))
    msp.add_blockref("VALVE", (100, 50), dxfattribs={"rotation": 90})


class Selecting(unittest.TestCase):
    def handles(self, path):
        return [e.dxf.handle for e in read_audited(self, path).modelspace()]

    def test_every_selection_form_says_what_it_found(self):
        s = Session(self)
        source = os.path.join(s.dir, "sel.dxf")
        doc = write(source, selection_drawing)
        l1, l2, l3, c1, off, frozen = [e.dxf.handle for e in doc.modelspace()]
        saved = {k: os.path.join(s.dir, k + ".dxf") for k in "abc"}
        out, _, _ = s.run([
            "ERASE", "5,0.5", "5,0.5", "W", "-1,-1", "31,11", "R", "5,0.5", "A", "xyz", "",
            "SAVEAS", saved["a"], "U",
            "E", "P", "L", "", "SAVEAS", saved["b"], "U",
            "ERASE", "44,-2", "56,12", "60,1", "25,5", "C", "-1,19", "11,31", "ALL", "^C",
            "ERASE", "P", "", "SAVEAS", saved["c"]], args=[source])
        for expected in [
            reply(SELECT, "5,0.5") + "\n找到 1 个",  # the newest of two lines on top of each other
            reply(SELECT, "5,0.5") + "\n找到 1 个 (1 个重复)，总计 1 个",
            reply(CORNER, "31,11") + "\n找到 3 个 (1 个重复)，总计 3 个",
            reply(REMOVE, "5,0.5") + "\n找到 1 个，删除 1 个，总计 2 个",
            reply(SELECT, "xyz") + "\n需要点或选项关键字。" + SELECT,
            reply(SELECT, "P") + "\n找到 2 个",
            reply(SELECT, "L") + "\n找到 1 个，总计 3 个",  # the circle: lines on hidden layers are not the last
            reply(SELECT, "44,-2") + reply(CORNER, "56,12") + "\n找到 1 个",  # to the right: W
            reply(SELECT, "60,1") + reply(CORNER, "25,5") + "\n找到 2 个 (1 个重复)，总计 2 个",  # left: C
            reply(CORNER, "11,31") + "\n找到 0 个，总计 2 个",  # only lines on hidden layers there
            reply(SELECT, "ALL") + "\n找到 4 个 (2 个重复)，总计 4 个",
            reply(SELECT, "^C")[:-len("^C\n")] + "*取消*\n",
            reply(COMMAND, "ERASE") + reply(SELECT, "P") + "\n找到 3 个"]:  # the one before the cancel
            self.assertIn(expected, out)
        self.assertEqual(self.handles(saved["a"]), [l2, c1, off, frozen])
        self.assertEqual(self.handles(saved["b"]), [l2, off, frozen])
        self.assertEqual(self.handles(saved["c"]), [l2, off, frozen])

    def test_a_selection_with_no_previous_one(self):
        s = Session(self)
        out, _, _ = s.run(["ERASE", "P", "L", "ALL", ""])
        self.assertIn(reply(SELECT, "P") + "\n没有上一个选择集。", out)
        self.assertIn(reply(SELECT, "L") + "\n找到 0 个", out)
        self.assertIn(reply(SELECT, "ALL") + "\n找到 0 个", out)

    def test_snap_overrides_give_the_points_worked_out_by_hand(self):
        s = Session(self)
        source = os.path.join(s.dir, "snap.dxf")
        write(source, snap_drawing)
        saved = os.path.join(s.dir, "out.dxf")
        at = "\n于 "
        out, _, _ = s.run([
            "LINE", "END", "9.8,0.5",  # the arc's end at 0 degrees
            "INT", "44.3,3.3",         # the line y = 3 and the circle about (40, 0) of radius 5
            "70,0", "PER", "65.4,5",   # the foot from (70, 0) on the line through (60, 0) and (70, 10)
            "END", "5,5",              # nothing there
            "",
            "ID", "CEN", "43,4.2", "ID", "QUA", "40.3,-4.8", "ID", "end", "0.4,9.7",
            "ID", "INS", "100.5,52", "ID", "NEA", "35,3.4", "ID", "MID", "100.2,1", "",
            "DIST", "0,0", "3,4",
            "LIST", "7.07,7.07", ""], args=[source, "--save", saved])
        self.assertIn(reply("\n指定第一个点: ", "END") + reply(at, "9.8,0.5"), out)
        self.assertIn(reply(at, "5,5") + "\n未找到捕捉点。\n指定下一点或 [闭合(C)/放弃(U)]: ", out)
        for answer in ["X = 40.0000  Y = 0.0000  Z = 0.0000", "X = 40.0000  Y = -5.0000  Z = 0.0000",
                       "X = 0.0000  Y = 10.0000  Z = 0.0000", "X = 100.0000  Y = 50.0000  Z = 0.0000",
                       "X = 35.0000  Y = 3.0000  Z = 0.0000"]:
            self.assertIn("\n" + answer + COMMAND, out)
        self.assertIn(reply(at, "100.2,1") + "\n未找到捕捉点。\n指定点: ", out)
        # In the drawing's units: ezdxf writes $LUPREC 4 and $AUPREC 2.
        self.assertIn("\n距离 = 5.0000，XY 平面中的倾角 = 53.13，与 XY 平面的夹角 = 0.00"
                      "\nX 增量 = 3.0000，Y 增量 = 4.0000，Z 增量 = 0.0000", out)
        self.assertIn("\n圆弧  图层: \"0\"  颜色: 随层  线型: 随层", out)
        self.assertIn("\n  半径 = 10.0000\n  起点角度 = 0.00，端点角度 = 90.00\n  长度 = 15.7080", out)
        lines = [e for e in read_audited(self, saved).modelspace() if e.dxftype() == "LINE"][2:]
        self.assertEqual([tuple(e.dxf.start)[:2] for e in lines], [(10, 0), (44, 3), (70, 0)])
        self.assertEqual(tuple(lines[0].dxf.start), (10.0, 0.0, 0.0))  # the stored end, exactly
        self.assertAlmostEqual(lines[2].dxf.end.x, 65, places=9)
        self.assertAlmostEqual(lines[2].dxf.end.y, 5, places=9)
        self.assertAlmostEqual(lines[1].dxf.start.x, 44, places=9)

    def test_layers_current_off_frozen_colour_and_linetype(self):
        s = Session(self)
        s.write_ini("[DXT]\nDW1=100\nDW2=60\n")
        saved = {k: os.path.join(s.dir, k + ".dxf") for k in ("made", "undone")}
        shown, hidden = os.path.join(s.dir, "shown.png"), os.path.join(s.dir, "hidden.png")
        out, _, _ = s.run([
            "LAYER", "M", "PIPE", "C", "1", "", "L", "NOSUCH", "DASHED", "PIPE", "N", "A,B,bad<name",
            "OFF", "B", "F", "A", "F", "PIPE", "S", "NOSUCH", "T", "zz*", "?",
            # The one-line form's options answered in the dialogue, as a window user types them.
            "N", "C1,C2,C3", "LO", "C*", "U", "C2", "LW", "9", "0.35", "C2", "P", "N", "C3",
            "R", "C2", "C,X", "R", "PIPE", "管道", "D", "C1,管道,0", "",
            "LINE", "0,0", "100,100", "", "DXT", "0,200", "100,200", "0",
            "SAVEAS", saved["made"], "EXPORT", shown,
            "LA", "OFF", "管道", "", "EXPORT", hidden,
            "U", "U", "U", "U", "SAVEAS", saved["undone"]])
        for expected in ["\n找不到线型“NOSUCH”。", "\n图层名“bad<name”无效。", "\n不能冻结当前图层“PIPE”。",
                         "\n找不到图层“NOSUCH”。", "\n找不到图层“zz*”。", "\n当前图层: PIPE",
                         "\n当前图层“管道”已关闭。", "\n线宽“9”无效：应为 0.00 到 2.11 毫米之间的标准线宽或“默认”。",
                         "\n图层名“C,X”无效。", "\n不能删除当前图层“管道”。", "\n不能删除图层“0”。"]:
            self.assertIn(expected, out)
        doc = read_audited(self, saved["made"])
        self.assertEqual(doc.header["$CLAYER"], "管道")
        pipe, a, b = doc.layers.get("管道"), doc.layers.get("A"), doc.layers.get("B")
        self.assertFalse(doc.layers.has_entry("PIPE") or doc.layers.has_entry("C1"))
        c2, c3 = doc.layers.get("C2"), doc.layers.get("C3")
        self.assertEqual((c2.is_locked(), c2.dxf.lineweight, c2.dxf.plot), (False, 35, 1))
        self.assertEqual((c3.is_locked(), c3.dxf.lineweight, c3.dxf.plot), (True, -3, 0))
        self.assertEqual((pipe.color, pipe.dxf.linetype), (1, "DASHED"))
        self.assertTrue(a.is_frozen() and a.is_on())
        self.assertTrue(b.is_off() and not b.is_frozen())
        self.assertFalse(doc.layers.has_entry("bad<name"))
        drawn = list(doc.modelspace())
        self.assertGreater(len(drawn), 1)
        self.assertEqual({e.dxf.layer for e in drawn}, {"管道"}, "LINE and the plug-in's reducer")

        def reds(path):
            _, _, rows = read_png(path)
            return sum(1 for row in rows for (r, g, b) in row if r > 200 and g < 80 and b < 80)
        self.assertGreater(reds(shown), 0)
        self.assertEqual(reds(hidden), 0, "a layer that is off is not drawn")

        undone = read_audited(self, saved["undone"])
        self.assertEqual(undone.header["$CLAYER"], "0")
        self.assertFalse(undone.layers.has_entry("PIPE"))
        self.assertEqual(len(undone.modelspace()), 0)

    def test_the_current_layer_is_kept_in_the_drawing(self):
        s = Session(self)
        first, second = os.path.join(s.dir, "one.dxf"), os.path.join(s.dir, "two.dxf")
        s.run(["LAYER", "M", "管道", "", "SAVEAS", first])
        s.run(["LINE", "0,0", "1,1", "", "SAVEAS", second], args=[first])
        doc = read_audited(self, second)
        self.assertEqual(doc.header["$CLAYER"], "管道")
        self.assertEqual([e.dxf.layer for e in doc.modelspace()], ["管道"])


class Viewing(unittest.TestCase):
    def test_view_commands_without_a_window_and_the_drafting_settings(self):
        s = Session(self)
        out, _, _ = s.run(["ZOOM", "Z", "PAN", "P", "OSNAP", "END,XYZ", "end,per,INS", "OS", "OFF",
                           "OSNAP", "", "ORTHO", "on", "ORTHO", "maybe", "", "HELP MIRROR", "HELP GD",
                           "HELP NOSUCH", "HELP"])
        self.assertEqual(out.count("\n没有图形窗口。"), 4)
        self.assertIn("\n当前对象捕捉模式: 端点，中点，圆心，交点", out)
        self.assertIn("\n无效的对象捕捉模式“XYZ”。", out)
        self.assertIn("\n当前对象捕捉模式: 端点，垂足，插入点（已关闭）", out)
        self.assertIn(reply("\n输入模式 [开(ON)/关(OFF)] <开>: ", "maybe") + "\n需要选项关键字。", out)
        self.assertIn("\nMIRROR (MI): 选择对象，指定镜像线上的两点", out)
        self.assertIn("\nGD (DrawLine): 画双线管道", out)
        self.assertIn("\n没有命令“NOSUCH”。", out)
        for name in ("ERASE (E)", "COPY (CO, CP)", "UNDO (U)", "LAYER (LA)", "ZOOM (Z)", "命令组 BASIC:",
                     "DrawWT"):
            self.assertIn(name, out)


if __name__ == "__main__":
    main()
