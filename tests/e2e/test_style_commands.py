"""CGD, CLT and ST end to end: the transcript byte for byte and draw.ini after each step."""
import unittest

from orvharness import COMMAND, Session, cancelled, main, reply, transcript

DIAMETER = "\n请输入请输入管道外径[{}][默认(0)]:"
RADIUS = "\n 请输入请输入弯头半径[{}][默认(0)]:"
SIDE_TYPE = "\n请输入边线线型(必须为图纸中已有的线型名称):"
SIDE_COLOUR = "\n请输入边线颜色[白0][红1][黄2][绿3][青4][蓝5][品红6]:"
MID_TYPE = "\n请输入中心线线型(必须为图纸中已有的线型名称):"
MID_COLOUR = "\n请输入中心线颜色[白0][红1][黄2][绿3][青4][蓝5][品红6]:"
ST_FIRST = "\n请输入第一点[x,y][管道外径(主{})(支{})][修改(C)]:"
ST_FIRST_PLAIN = "\n请输入第一点[x,y]:"
ST_SECOND = "\n 请输入第二点[x,y]:"
ST_FORM = "\n请选择三通形式(支管中0)(支管上1)(支管下2):"


class ChangePipeParameters(unittest.TestCase):
    def test_first_use_creates_the_file_with_the_diameter_only(self):
        s = Session(self)
        self.assertIsNone(s.ini_text())
        out, _, _ = s.run(["CGD", "150", ""])
        self.assertEqual(out, transcript(
            reply(COMMAND, "CGD"),
            reply(DIAMETER.format("0.000000"), "150"),
            reply(RADIUS.format("0.000000"), "")))
        self.assertEqual(s.ini_text(), "[PIPE]\nDW=150.000000\n")

    def test_enter_rewrites_stored_values_and_zero_keeps_them(self):
        s = Session(self)
        s.write_ini("[PIPE]\nDW=100\nWTBJ=abc\n")
        out, _, _ = s.run(["cgd", "", "0"])
        self.assertEqual(out, transcript(
            reply(COMMAND, "cgd"),
            reply(DIAMETER.format("100.000000"), ""),
            reply(RADIUS.format("0.000000"), "0")))
        self.assertEqual(s.ini_text(), "[PIPE]\nDW=100.000000\nWTBJ=abc\n")

    def test_refused_replies_are_asked_again_and_negative_values_stored(self):
        s = Session(self)
        out, _, _ = s.run(["ChangePipeParameters", "abc", "nan", "1e999", "2.5e2", "-20"])
        self.assertEqual(out, transcript(
            reply(COMMAND, "ChangePipeParameters"),
            reply(DIAMETER.format("0.000000"), "abc"), "\n需要数值。",
            reply(DIAMETER.format("0.000000"), "nan"), "\n需要数值。",
            reply(DIAMETER.format("0.000000"), "1e999"), "\n需要数值。",
            reply(DIAMETER.format("0.000000"), "2.5e2"),
            reply(RADIUS.format("0.000000"), "-20")))
        self.assertEqual(s.ini_text(), "[PIPE]\nDW=250.000000\nWTBJ=-20.000000\n")

    def test_escape_keeps_the_value_and_goes_on(self):
        s = Session(self)
        s.write_ini("[PIPE]\nDW=100.000000\nWTBJ=150.000000\n")
        out, _, _ = s.run(["CGD", "^C", "^C"])
        self.assertEqual(out, transcript(
            reply(COMMAND, "CGD"),
            cancelled(DIAMETER.format("100.000000")),
            cancelled(RADIUS.format("150.000000"))))
        self.assertEqual(s.ini_text(), "[PIPE]\nDW=100.000000\nWTBJ=150.000000\n")


class ChangeLineType(unittest.TestCase):
    def test_answers_are_stored_as_typed(self):
        s = Session(self)
        out, _, _ = s.run(["CLT", "DASHED", "1", "CENTER", "3"])
        self.assertEqual(out, transcript(
            reply(COMMAND, "CLT"),
            reply(SIDE_TYPE, "DASHED"), reply(SIDE_COLOUR, "1"),
            reply(MID_TYPE, "CENTER"), reply(MID_COLOUR, "3")))
        self.assertEqual(s.ini_text(),
                         "[SIDELINE]\nLINETYPE=DASHED\nLINECOLOR=1\n"
                         "[MIDLINE]\nLINETYPE=CENTER\nLINECOLOR=3\n")

    def test_a_single_blank_keeps_the_key_and_enter_empties_it(self):
        s = Session(self)
        s.write_ini("[SIDELINE]\nLINETYPE=DASHED\nLINECOLOR=1\n")
        out, _, _ = s.run(["CLT", " ", "", "^C", "红色"])
        self.assertEqual(out, transcript(
            reply(COMMAND, "CLT"),
            reply(SIDE_TYPE, " "), reply(SIDE_COLOUR, ""),
            cancelled(MID_TYPE), reply(MID_COLOUR, "红色")))
        self.assertEqual(s.ini_text(),
                         "[SIDELINE]\nLINETYPE=DASHED\nLINECOLOR=\n[MIDLINE]\nLINECOLOR=红色\n")


class Tee(unittest.TestCase):
    def test_modify_stores_the_three_values_and_the_next_run_shows_them(self):
        s = Session(self)
        out, _, _ = s.run(["ST", "C", "150", "80", "300", "0,0", "100,0", "5",
                           "ST", "^C"])
        self.assertEqual(out, transcript(
            reply(COMMAND, "ST"),
            reply(ST_FIRST.format("0.000000", "0.000000"), "C"),
            reply("\n请输入请输入主管道外径[0.000000][默认(0)]:", "150"),
            reply("\n请输入请输入支管道外径[0.000000][默认(0)]:", "80"),
            reply("\n请输入请输入三通支管部分长度[0.000000][默认(0)]:", "300"),
            reply(ST_FIRST_PLAIN, "0,0"),
            reply(ST_SECOND, "100,0"),
            reply(ST_FORM, "5"), "\n输入错误,三通默认支管为中",
            reply(COMMAND, "ST"),
            cancelled(ST_FIRST.format("150.000000", "80.000000"))))
        self.assertEqual(s.ini_text(), "[ST]\nDW1=150.000000\nDW2=80.000000\nSIDEL=300.000000\n")

    def test_keywords_in_any_case_and_refused_points(self):
        s = Session(self)
        out, _, _ = s.run(["ST", "abc", "w", "1,2", "@10,0", "", "ST"])
        self.assertEqual(out, transcript(
            reply(COMMAND, "ST"),
            reply(ST_FIRST.format("0.000000", "0.000000"), "abc"), "\n需要点或选项关键字。",
            reply(ST_FIRST.format("0.000000", "0.000000"), "w"),
            reply(ST_FIRST_PLAIN, "1,2"),
            reply(ST_SECOND, "@10,0"),
            reply(ST_FORM, ""),
            reply(COMMAND, "ST"),
            cancelled(ST_FIRST.format("0.000000", "0.000000"))))
        self.assertIsNone(s.ini_text())


if __name__ == "__main__":
    main()
