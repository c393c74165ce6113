"""Valves and custom parts end to end: FM and ZDY with their picture dialogs, over libraries that ezdxf made."""
import os

import ezdxf

from dxfcheck import entities, read_audited
from orvharness import COMMAND, Session, main, reply

import unittest

VALVE_PROMPT = "\n请输入第一点[x,y][阀门类型({})][管径({})][修改(C)]:"
PLAIN_FIRST = "\n请输入第一点[x,y]:"
NEXT_POINT = "\n 请输入下一点[x,y]:"
DIAMETER = "\n请输入管径[{}][默认(0)]:"
PART_PROMPT = "\n请输入插入点[x,y][部件类型({})][修改(C)]:"
PLAIN_POINT = "\n请输入插入点[x,y]:"
X_SCALE = "\n请输入x方向缩放比例[默认(0)]:"
Y_SCALE = "\n请输入y方向缩放比例[默认(0)]:"
QUESTION = "\n输入编号选择，或 [确定(OK)/取消(CANCEL)] <确定>: "


def make_part(folder, file_name, block=None, references=1):
    """A library drawing made by ezdxf: a 300 x 219 box with its diagonals as block `block`."""
    block = block or file_name[:-4]
    os.makedirs(folder, exist_ok=True)
    doc = ezdxf.new("R2000")
    doc.encoding = "gbk"
    blk = doc.blocks.new(block)
    corners = [(0, -109.5), (300, -109.5), (300, 109.5), (0, 109.5)]
    for i in range(4):
        blk.add_line(corners[i], corners[(i + 1) % 4])
    blk.add_line(corners[0], corners[2])
    blk.add_line(corners[1], corners[3])
    msp = doc.modelspace()
    msp.add_line((0, 0), (-10, -10))
    for i in range(references):
        msp.add_blockref(block, (500 * i, 40), dxfattribs={"xscale": 2, "rotation": 45})
    doc.saveas(os.path.join(folder, file_name))


def slot_lines(out):
    """The slots a picture dialog listed: (number, caption, has picture), as shown last."""
    slots = {}
    for line in out.split("\n"):
        text = line.strip()
        if not (text.startswith("( )") or text.startswith("(*)")):
            continue
        rest = text[3:].strip()
        number, _, tail = rest.partition(". ")
        caption, _, picture = tail.rpartition("  ")
        slots[int(number)] = (caption, picture == "[有图]")
    return slots


class PartLibraries(unittest.TestCase):
    def setUp(self):
        self.s = Session(self)
        self.fm = os.path.join(self.s.module_dir, "resource", "FM")
        self.zdy = os.path.join(self.s.module_dir, "resource", "ZDY")
        self.saved = os.path.join(self.s.dir, "out.dxf")

    def run_script(self, lines):
        out, _, _ = self.s.run(lines, args=["--save", self.saved])
        return out

    def assert_in_order(self, out, pieces):
        at = 0
        for piece in pieces:
            found = out.find(piece, at)
            self.assertGreaterEqual(found, 0, f"{piece!r} not found after position {at} in:\n{out}")
            at = found + len(piece)

    def inserts(self):
        return [e for e in entities(read_audited(self, self.saved)) if e[0] == "INSERT"]

    def test_a_valve_chosen_in_the_dialog_spans_its_points(self):
        make_part(self.fm, "Gate.dxf")
        make_part(self.fm, "Ball.dxf")
        out = self.run_script(["FM", "C", "2", "OK", "100", "0,0", "600,0"])
        self.assert_in_order(out, [
            COMMAND + "FM\n",
            reply(VALVE_PROMPT.format("", "0.000000"), "C"),
            "\n阀门选择",
            QUESTION + "2\n",
            QUESTION + "OK\n",
            reply(DIAMETER.format("0.000000"), "100"),
            reply(PLAIN_FIRST, "0,0"),
            reply(NEXT_POINT, "600,0"),
            COMMAND])
        slots = slot_lines(out)
        self.assertEqual(slots[1], ("Ball", False))
        self.assertEqual(slots[2], ("Gate", False))
        self.assertEqual([slots[k][0] for k in range(3, 25)], [f"FM{k}" for k in range(3, 25)])
        self.assertEqual(self.s.ini_text(),
                         f"[FM]\nFMNAME=Gate\nFMFILENAME={self.fm}/Gate.dxf\nDW=100.000000\n")
        doc = read_audited(self, self.saved)
        inserts = [e for e in entities(doc) if e[0] == "INSERT"]
        self.assertEqual(len(inserts), 1)
        name, position, xscale, yscale, rotation = inserts[0][1:]
        self.assertEqual((name, position, rotation), ("Gate", (0.0, 0.0, 0.0), 0.0))
        self.assertAlmostEqual(xscale, 2.0)
        self.assertAlmostEqual(yscale, 100 / 219)
        self.assertEqual(len(list(doc.blocks.get("Gate"))), 6)
        # Only the valve is drawn: the reference that carried the block is gone.
        self.assertEqual(len(doc.modelspace()), 1)

    def test_valves_in_every_direction_and_twice_the_same(self):
        make_part(self.fm, "Gate.dxf", references=3)
        self.s.write_ini(f"[FM]\nFMNAME=Gate\nFMFILENAME={self.fm}/Gate.dxf\nDW=219\n")
        self.run_script(["FM", "0,0", "0,300", "FM", "0,0", "-600,0", "FM", "W", "0,0", "0,-300"])
        got = [(n, p, round(x, 9), round(y, 9), round(r, 9)) for n, p, x, y, r in
               (i[1:] for i in self.inserts())]
        self.assertEqual(got, [("Gate", (0.0, 0.0, 0.0), 1.0, 1.0, 90.0),
                               ("Gate", (0.0, 0.0, 0.0), 2.0, 1.0, 180.0),
                               ("Gate", (0.0, 0.0, 0.0), 1.0, 1.0, 270.0)])
        doc = ezdxf.readfile(self.saved)
        self.assertEqual([b.name for b in doc.blocks if b.name.lower() == "gate"], ["Gate"])

    def test_cancel_keeps_the_choice_and_writes_the_diameter_back(self):
        make_part(self.fm, "Gate.dxf")
        self.s.write_ini(f"[FM]\nFMNAME=Gate\nFMFILENAME={self.fm}/Gate.dxf\nDW=80\n")
        out = self.run_script(["FM", "C", "1", "CANCEL", "", "0,0", "300,0"])
        self.assert_in_order(out, [
            reply(VALVE_PROMPT.format("Gate", "80.000000"), "C"),
            QUESTION + "CANCEL\n",
            reply(DIAMETER.format("80.000000"), ""),
            reply(PLAIN_FIRST, "0,0")])
        self.assertEqual(self.s.ini_text(),
                         f"[FM]\nFMNAME=Gate\nFMFILENAME={self.fm}/Gate.dxf\nDW=80.000000\n")
        self.assertEqual(len(self.inserts()), 1)

    def test_ok_without_a_choice_keeps_the_keys_and_an_empty_slot_clears_them(self):
        make_part(self.fm, "Gate.dxf")
        before = f"[FM]\nFMNAME=Gate\nFMFILENAME={self.fm}/Gate.dxf\n"
        self.s.write_ini(before)
        self.run_script(["FM", "C", "", "", "^C"])
        self.assertEqual(self.s.ini_text(), before)
        # Slot 5 holds no part: choosing it stores empty text, and no diameter
        # is written while it is 0.
        self.run_script(["FM", "C", "5", "OK", "0", "^C"])
        self.assertEqual(self.s.ini_text(), "[FM]\nFMNAME=\nFMFILENAME=\n")

    def test_a_text_file_third_in_the_library_is_left_out_and_named(self):
        make_part(self.fm, "A.dxf")
        make_part(self.fm, "B.dxf")
        with open(os.path.join(self.fm, "C.txt"), "w") as f:
            f.write("valve notes\n")
        make_part(self.fm, "D.dxf")
        out = self.run_script(["FM", "C", "CANCEL", "", "^C"])
        self.assert_in_order(out, ["C\n\n加载图形错误.", "部件图形“C.txt”无法读取，已略过.", "\n阀门选择"])
        slots = slot_lines(out)
        self.assertEqual([slots[k][0] for k in (1, 2, 3, 4)], ["A", "B", "D", "FM4"])
        # A sub-folder is no drawing either.
        os.remove(os.path.join(self.fm, "C.txt"))
        os.mkdir(os.path.join(self.fm, "C-folder"))
        out = self.run_script(["FM", "C", "CANCEL", "", "^C"])
        self.assert_in_order(out, ["C\n\n加载图形错误.", "部件图形“C-folder”无法读取，已略过.", "\n阀门选择"])
        self.assertEqual(slot_lines(out)[3][0], "D")

    def test_a_missing_folder_shows_its_message_and_an_empty_dialog(self):
        # For the custom parts, a file stands where the folder should be.
        os.makedirs(os.path.dirname(self.zdy))
        with open(self.zdy, "w") as f:
            f.write("not a folder\n")
        out = self.run_script(["FM", "C", "OK", "", "^C", "ZDY", "C", "OK", "^C"])
        self.assert_in_order(out, ["C\n** 找不到阀门资料!\n", "\n阀门选择",
                                   "C\n** 找不到自定义部件资料!\n", "\n自定义零部件选择"])
        slots = slot_lines(out)
        self.assertEqual([slots[k][0] for k in range(1, 25)], [f"FM{k}" for k in range(1, 25)])
        self.assertIsNone(self.s.ini_text())

    def test_more_than_24_parts_offer_the_first_24_by_name(self):
        for i in range(1, 27):
            make_part(self.fm, f"V{i:02d}.dxf")
        out = self.run_script(["FM", "C", "24", "OK", "", "^C"])
        slots = slot_lines(out)
        self.assertEqual(len(slots), 24)
        self.assertEqual([slots[k][0] for k in range(1, 25)], [f"V{k:02d}" for k in range(1, 25)])
        self.assertIn("FMNAME=V24\n", self.s.ini_text())
        self.assertNotIn("加载图形错误", out)
        # Entries beyond the 24th are still read: a broken one is reported.
        with open(os.path.join(self.fm, "W.txt"), "w") as f:
            f.write("x\n")
        out = self.run_script(["FM", "C", "CANCEL", "", "^C"])
        self.assert_in_order(out, ["C\n\n加载图形错误.", "\n阀门选择"])
        self.assertEqual(slot_lines(out)[24][0], "V24")

    def test_broken_library_drawings_draw_nothing_and_say_why(self):
        make_part(self.fm, "Other.dxf", block="Ball")
        make_part(self.fm, "Plug.dxf", references=0)
        cases = [("Missing.dxf", "Missing", "\n加载图形错误."),
                 ("Other.dxf", "Other", "** 获得指定的块表记录失败!\n"),
                 ("Plug.dxf", "Plug", "** 实体数组中未包含任何实体!\n")]
        for file_name, block, message in cases:
            with self.subTest(file_name):
                self.s.write_ini(f"[FM]\nFMNAME={block}\nFMFILENAME={self.fm}/{file_name}\nDW=100\n")
                out = self.run_script(["FM", "0,0", "300,0"])
                self.assert_in_order(out, [reply(NEXT_POINT, "300,0") + message, COMMAND])
                doc = read_audited(self, self.saved)
                self.assertEqual(len(doc.modelspace()), 0)
                self.assertEqual([b.name for b in doc.blocks if b.name.lower() in ("ball", "plug")], [])

    def test_a_custom_part_with_its_scales(self):
        make_part(self.zdy, "Pump.dxf")
        make_part(self.zdy, "Flange.dxf")
        out = self.run_script(["ZDY", "C", "2", "OK", "10,20", "2", "0.5",
                               "ZDY", "0,0", "0", "3"])
        self.assert_in_order(out, [
            COMMAND + "ZDY\n",
            reply(PART_PROMPT.format(""), "C"),
            "\n自定义零部件选择",
            QUESTION + "OK\n",
            reply(PLAIN_POINT, "10,20"),
            reply(X_SCALE, "2"),
            reply(Y_SCALE, "0.5"),
            COMMAND + "ZDY\n",
            reply(PART_PROMPT.format("Pump"), "0,0"),
            reply(X_SCALE, "0"),
            reply(Y_SCALE, "3")])
        self.assertEqual(slot_lines(out)[1], ("Flange", False))
        self.assertEqual(self.s.ini_text(), f"[ZDY]\nZDYNAME=Pump\nZDYFILENAME={self.zdy}/Pump.dxf\n")
        self.assertEqual([i[1:] for i in self.inserts()],
                         [("Pump", (10.0, 20.0, 0.0), 2.0, 0.5, 0.0), ("Pump", (0.0, 0.0, 0.0), 1.0, 3.0, 0.0)])

    def test_a_part_given_a_preview_with_blockicon_shows_it(self):
        made = os.path.join(self.s.dir, "made.dxf")
        make_part(self.s.dir, "made.dxf", block="Strainer")
        target = os.path.join(self.zdy, "Strainer.dxf")
        os.makedirs(self.zdy)
        out = self.run_script(["OPEN", made, "BLOCKICON", "SAVEAS", target,
                               "ZDY", "C", "1", "OK", "0,0", "", ""])
        self.assertEqual(slot_lines(out)[1], ("Strainer", True))
        self.assertEqual(self.inserts()[-1][1:], ("Strainer", (0.0, 0.0, 0.0), 1.0, 1.0, 0.0))


if __name__ == "__main__":
    main()
