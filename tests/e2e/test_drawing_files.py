"""Drawings end to end: LINE, UNDO, saving, opening, and files other programs made."""
import os
import shutil
import subprocess

import ezdxf

from dxfcheck import entities, read_audited
from orvharness import ORVCAD, Session, main

import unittest


class SaveAndOpen(unittest.TestCase):
    def test_lines_and_undo_reach_the_saved_file(self):
        s = Session(self)
        out_file = os.path.join(s.dir, "lines.dxf")
        s.run(["LINE", "0,0", "100,0", "@0,100", "", "LINE", "5,5", "6,6", "", "UNDO"],
              args=["--save", out_file])
        doc = read_audited(self, out_file)
        self.assertEqual(entities(doc), [
            ("LINE", (0.0, 0.0), (100.0, 0.0)),
            ("LINE", (100.0, 0.0), (100.0, 100.0))])
        self.assertEqual(doc.dxfversion, "AC1015")

    def test_save_open_save_gives_the_same_drawing(self):
        s = Session(self)
        first = os.path.join(s.dir, "first.dxf")
        second = os.path.join(s.dir, "second.dxf")
        s.run(["LINE", "0,0", "1.1,2.2", "3,-4", "C", "SAVEAS", first])
        out, _, _ = s.run(["OPEN", first, "SAVEAS", second])
        self.assertIn("已打开图形", out)
        with open(first, "rb") as a, open(second, "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_a_file_ezdxf_made_survives_open_and_save(self):
        s = Session(self)
        made = os.path.join(s.dir, "made.dxf")
        doc = ezdxf.new("R2000")
        doc.encoding = "gbk"
        doc.layers.add("管道", color=3)
        msp = doc.modelspace()
        msp.add_line((0, 0), (10, 0), dxfattribs={"layer": "管道"})
        msp.add_text("阀门说明", dxfattribs={"insert": (1, 2), "height": 2.5})
        msp.add_ellipse((0, 0), major_axis=(5, 0), ratio=0.5)
        splines = [msp.add_spline([(0, 0), (10, 10), (20, 0), (30, 10)], dxfattribs={"color": 3}),
                   msp.add_rational_spline([(0, 0), (5, 8.5), (10, 0), (15, 4)], [1, 0.25, 3, 1], degree=2),
                   msp.add_open_spline([(1, 1, 1), (2, 3, 1), (4, 3, 2), (5, 1, 2), (7, 0, 2)])]
        splines[0].dxf.start_tangent = (1, 2, 0)
        splines[0].dxf.extrusion = (0, 0, -1)
        doc.saveas(made)
        saved = os.path.join(s.dir, "saved.dxf")
        _, _, status = s.run(["LINE", "0,5", "10,5", ""], args=[made, "--save", saved])
        self.assertEqual(status, 0)
        back = read_audited(self, saved)
        types = [e.dxftype() for e in back.modelspace()]
        self.assertEqual(types, ["LINE", "TEXT", "ELLIPSE", "SPLINE", "SPLINE", "SPLINE", "LINE"])
        # Splines come back with every value as made: flags, degree, counts, tolerances,
        # tangents, normal, and their knots, weights, control and fit points.
        for want, got in zip(ezdxf.readfile(made).modelspace()[3:6], back.modelspace()[3:6]):
            attribs = [want.dxf.all_existing_dxf_attribs(), got.dxf.all_existing_dxf_attribs()]
            for a in attribs:
                a.pop("handle"), a.pop("owner")
            self.assertEqual(attribs[1], attribs[0])
            self.assertEqual(list(got.knots), list(want.knots))
            self.assertEqual(list(got.weights), list(want.weights))
            self.assertEqual([tuple(p) for p in got.control_points], [tuple(p) for p in want.control_points])
            self.assertEqual([tuple(p) for p in got.fit_points], [tuple(p) for p in want.fit_points])
        self.assertEqual(back.modelspace()[1].dxf.text, "阀门说明")
        self.assertEqual(back.modelspace()[0].dxf.layer, "管道")

    def test_a_broken_file_is_refused_and_the_drawing_kept(self):
        s = Session(self)
        broken = os.path.join(s.dir, "broken.dxf")
        with open(broken, "w") as f:
            f.write("  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nabc\n")
        saved = os.path.join(s.dir, "kept.dxf")
        out, _, _ = s.run(["LINE", "0,0", "1,0", "", "OPEN", broken], args=["--save", saved])
        self.assertIn("无法打开图形", out)
        self.assertEqual(len(read_audited(self, saved).modelspace()), 1)

        proc = subprocess.run([ORVCAD, "--module", s.module, "--script", "-", broken],
                              stdin=subprocess.DEVNULL, capture_output=True)
        self.assertNotEqual(proc.returncode, 0)
        self.assertIn("无法打开图形", proc.stderr.decode())

    def test_an_unwritable_target_fails_and_leaves_nothing(self):
        s = Session(self)
        target = os.path.join(s.dir, "no-such-dir", "x.dxf")
        out, err, status = s.run(["LINE", "0,0", "1,0", ""], args=["--save", target], check=False)
        self.assertNotEqual(status, 0)
        self.assertIn("无法保存图形", err)
        self.assertFalse(os.path.exists(target))


class Export(unittest.TestCase):
    def test_pictures_of_the_drawing_in_three_formats(self):
        s = Session(self)
        png = os.path.join(s.dir, "p.png")
        svg = os.path.join(s.dir, "p.svg")
        pdf = os.path.join(s.dir, "p.PDF")
        _, _, status = s.run(["LINE", "0,0", "100,0", "100,50", ""],
                             args=["--export", png, "--export", svg, "--export", pdf])
        self.assertEqual(status, 0)
        with open(png, "rb") as f:
            head = f.read(24)
        self.assertEqual(head[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual(int.from_bytes(head[16:20], "big"), 1600)
        with open(svg, "rb") as f:
            self.assertIn(b"<svg", f.read(400))
        with open(pdf, "rb") as f:
            self.assertEqual(f.read(5), b"%PDF-")

    def test_an_unknown_picture_format_fails_before_the_session(self):
        s = Session(self)
        out, err, status = s.run(["CGD", "150", ""], args=["--export", os.path.join(s.dir, "p.bmp")],
                                 check=False)
        self.assertNotEqual(status, 0)
        self.assertIn(".png", err)
        self.assertEqual(out, "")
        self.assertIsNone(s.ini_text())

    def test_the_export_command(self):
        s = Session(self)
        png = os.path.join(s.dir, "cmd.png")
        out, _, _ = s.run(["LINE", "0,0", "10,10", "", "EXPORT", png, "EXPORT", png + ".gif"])
        self.assertIn("图片已输出到", out)
        self.assertIn("无法输出图片", out)
        self.assertTrue(os.path.getsize(png) > 100)

    def test_without_its_renderer_the_session_goes_on_and_says_why(self):
        # A copy of orvcad finds no renderer library beside it: pictures fail with
        # the reason, and the drawing is still there to save.
        s = Session(self)
        bin_dir = os.path.join(s.dir, "bin")
        os.mkdir(bin_dir)
        orvcad = shutil.copy(ORVCAD, bin_dir)
        png = os.path.join(s.dir, "cmd.png")
        dxf = os.path.join(s.dir, "kept.dxf")
        out, _, _ = s.run(["LINE", "0,0", "10,10", "", "EXPORT", png, "BLOCKICON", "SAVEAS", dxf],
                          orvcad=orvcad)
        self.assertIn("无法输出图片“" + png + "”：图片程序“", out)
        self.assertIn("orvcad-render.so”无法加载", out)
        self.assertIn("无法生成预览图标：图片程序“", out)
        self.assertFalse(os.path.exists(png))
        self.assertEqual(len(entities(read_audited(self, dxf))), 1)


if __name__ == "__main__":
    main()
