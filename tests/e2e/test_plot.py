"""PLOT and --plot: sheets measured in the PDF and in its rasterised pixels, pens, page setups kept."""
import os
import shutil
import subprocess
import unittest

import ezdxf

from orvharness import ORVCAD, Session, main
from pngread import box_of, inked, read_png

DPI = 254  # 10 pixels in a millimetre
# The DWG samples beside the project, with the DXF files their program saved.
SAMPLES = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "..", "shared",
                       "dwg-samples")


def drawing(path, insunits=4, ltscale=None):
    """A 10,000-unit red line (layer colour 1), a blue 5,000-unit line of 0.70 mm, and a
    line on a layer set not to plot."""
    doc = ezdxf.new("R2000")
    doc.header["$INSUNITS"] = insunits
    if ltscale:
        doc.header["$LTSCALE"] = ltscale
    msp = doc.modelspace()
    doc.layers.add("RED", color=1)
    hidden = doc.layers.add("NOPLOT", color=3)
    hidden.dxf.plot = 0
    msp.add_line((0, 0), (10000, 0), dxfattribs={"layer": "RED"})
    msp.add_line((0, 0), (0, 5000), dxfattribs={"color": 5, "lineweight": 70})
    msp.add_line((0, 5000), (10000, 5000), dxfattribs={"layer": "NOPLOT"})
    doc.saveas(path)


def page_size_mm(pdf):
    out = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
    line = next(l for l in out.splitlines() if l.startswith("Page size:"))
    w, _, h = line.split()[2:5]
    return float(w) * 25.4 / 72, float(h) * 25.4 / 72


_DARK = bytes(1 if i < 128 else 0 for i in range(256))


def raster(pdf, dpi=DPI, colour=False):
    """The page at `dpi`: (width, height, pixels), grey bytes (dark ones 1, the rest 0),
    or RGB bytes."""
    base = pdf + ".r"
    subprocess.run(["pdftoppm", "-r", str(dpi), "-singlefile"] + ([] if colour else ["-gray"]) + [pdf, base],
                   check=True)
    name = base + (".ppm" if colour else ".pgm")
    with open(name, "rb") as f:
        data = f.read()
    os.remove(name)
    head = data.split(b"\n", 3)
    w, h = map(int, head[1].split())
    return w, h, (head[3] if colour else head[3].translate(_DARK))


def dark_box(w, h, px):
    rows = [y for y in range(h) if px.find(1, y * w, (y + 1) * w) >= 0]
    if not rows:
        return None
    lefts = [px.find(1, y * w, (y + 1) * w) - y * w for y in rows]
    rights = [px.rfind(1, y * w, (y + 1) * w) - y * w for y in rows]
    return (min(lefts), rows[0], max(rights), rows[-1])


def row_run(w, px, y):
    """Dark pixels of row y: (first, last)."""
    first = px.find(1, y * w, (y + 1) * w)
    return (first - y * w, px.rfind(1, y * w, (y + 1) * w) - y * w) if first >= 0 else None


def column_run(w, h, px, x):
    dark = [y for y in range(h) if px[y * w + x]]
    return (dark[0], dark[-1]) if dark else None


def coloured_pixels(rgb, red_only=False):
    """Pixels whose channels differ clearly (red ones: red well above the others)."""
    n = 0
    for i in range(0, len(rgb) - 2, 3):
        r, g, b = rgb[i], rgb[i + 1], rgb[i + 2]
        if red_only:
            n += r - max(g, b) > 40
        else:
            n += max(r, g, b) - min(r, g, b) > 40
    return n


@unittest.skipUnless(shutil.which("pdftoppm") and shutil.which("pdfinfo"), "poppler-utils missing")
class PlotOption(unittest.TestCase):
    def plot(self, s, *args):
        src = os.path.join(s.dir, "plan.dxf")
        if not os.path.exists(src):
            drawing(src)
        out = os.path.join(s.dir, "plan.pdf")
        proc = subprocess.run([ORVCAD, "--plot", out, *args, src], capture_output=True, timeout=60)
        return out, proc.returncode, proc.stdout.decode(), proc.stderr.decode()

    def test_sheets_scales_and_placements_measure_true(self):
        # (options, page mm, the line's left end from the page's left edge in mm, its y from the top)
        # (options, page mm, x = 0 from the page's left edge in mm, y = 0 from its top)
        cases = [
            (["--paper", "A3", "--scale", "1:100"], (420, 297), 160.0, 173.5),
            (["--paper", "A1,P", "--scale", "1:50"], (594, 841), 197.0, 470.5),
            (["--paper", "A3", "--scale", "1:100", "--area", "-1000,-1000,20000,20000"], (420, 297), 115.0, 243.5),
        ]
        s = Session(self)
        for args, page, left, top in cases:
            with self.subTest(args=args):
                out, status, stdout, err = self.plot(s, *args)
                self.assertEqual(status, 0, err)
                self.assertIn("已打印到 " + out + "（", stdout)
                w_mm, h_mm = page_size_mm(out)
                self.assertAlmostEqual(w_mm, page[0], delta=0.05)
                self.assertAlmostEqual(h_mm, page[1], delta=0.05)
                w, h, px = raster(out)
                self.assertEqual((round(w / 10), round(h / 10)), page)
                scale = 100 if "1:100" in args else 50
                # The vertical line is 0.70 mm (7 pixels) wide, centred on x = 0; the
                # horizontal one ends with its butt at x = 10,000.
                box = dark_box(w, h, px)
                x0 = box[0] + 3.5
                self.assertAlmostEqual((box[2] + 1 - x0) / 10.0, 10000 / scale, delta=0.3)
                self.assertAlmostEqual(x0 / 10.0, left, delta=0.3)
                self.assertAlmostEqual((box[1] + box[3] + 1) / 2 / 10.0, top - 2500 / scale, delta=0.3)

    def test_lineweights_monochrome_and_layers_that_do_not_plot(self):
        s = Session(self)
        out, status, stdout, err = self.plot(s, "--paper", "A3", "--scale", "1:100")
        self.assertEqual(status, 0, err)
        w, h, px = raster(out)
        box = dark_box(w, h, px)
        # The 0.70 mm blue line: 7 pixels wide; the red line on its layer: colour 1's pen, 0.25 mm.
        mid_y = (box[1] + box[3]) // 2
        run = row_run(w, px, mid_y)
        self.assertAlmostEqual(run[1] + 1 - run[0], 7, delta=1)
        col = column_run(w, h, px, box[2] - 20)
        self.assertAlmostEqual(col[1] + 1 - col[0], 2.5, delta=1)
        # The layer set not to plot leaves nothing: the top of the ink is the blue line's end.
        self.assertEqual(box[3] - box[1], 500, "only the 50 mm line spans the height")
        # Monochrome: nothing coloured.
        _, _, rgb = raster(out, dpi=60, colour=True)
        self.assertEqual(coloured_pixels(rgb), 0)

    def test_bad_options_say_why_and_write_nothing(self):
        s = Session(self)
        for args, words in [(["--paper", "B7"], "不认识的图纸尺寸"), (["--scale", "1:0"], "不认识的比例"),
                            (["--area", "1,2,3"], "不认识的打印范围"), (["--paper", "A3,Q"], "不认识的图纸方向")]:
            with self.subTest(args=args):
                out, status, stdout, err = self.plot(s, *args)
                self.assertNotEqual(status, 0)
                self.assertIn(words, err)
                self.assertFalse(os.path.exists(out))
        src = os.path.join(s.dir, "plan.dxf")
        proc = subprocess.run([ORVCAD, "--plot", os.path.join(s.dir, "plan.jpg"), src], capture_output=True, timeout=30)
        self.assertNotEqual(proc.returncode, 0)
        self.assertIn("只能输出 .pdf、.png 或 .svg", proc.stderr.decode())
        self.assertFalse(os.path.exists(os.path.join(s.dir, "plan.jpg")))
        proc = subprocess.run([ORVCAD, "--scale", "1:100"], capture_output=True, timeout=30)
        self.assertNotEqual(proc.returncode, 0)
        self.assertIn("--plot", proc.stderr.decode())


@unittest.skipUnless(shutil.which("pdftoppm"), "poppler-utils missing")
class PlotCommand(unittest.TestCase):
    def test_choices_are_asked_kept_in_the_drawing_and_offered_again(self):
        s = Session(self)
        src = os.path.join(s.dir, "plan.dxf")
        drawing(src)
        saved = os.path.join(s.dir, "kept.dxf")
        out = os.path.join(s.dir, "sheet")
        stdout, err, _ = s.run(["OPEN", src, "PLOT", "PDF", "A1", "P", "E", "1:50", "20,30", "C", out,
                                "SAVEAS", saved, "QUIT"])
        self.assertIn("\n已打印到 " + out + ".pdf（A1 纵向，1:50）。", stdout)
        w, h, px = raster(out + ".pdf")
        self.assertEqual((round(w / 10), round(h / 10)), (594, 841))
        # Offset 20,30: the extents' lower-left corner 20 mm from the left edge and 30 mm
        # above the bottom edge (the 0.70 mm line half a width left of it, the 0.25 mm
        # one half a width below).
        box = dark_box(w, h, px)
        self.assertAlmostEqual(box[0] / 10.0, 20.0 - 0.35, delta=0.3)
        self.assertAlmostEqual((h - 1 - box[3]) / 10.0, 30.0 - 0.125, delta=0.3)
        # Colour pens: the line on layer RED in red.
        _, _, rgb = raster(out + ".pdf", dpi=40, colour=True)
        self.assertGreater(coloured_pixels(rgb, red_only=True), 20)
        # Other programs read the page setup.
        doc = ezdxf.readfile(saved)
        setups = [o for o in doc.objects if o.dxftype() == "PLOTSETTINGS"]
        self.assertEqual(len(setups), 1)
        ps = setups[0]
        self.assertEqual(ps.dxf.page_setup_name, "orvcad")
        self.assertEqual((ps.dxf.paper_width, ps.dxf.paper_height), (594, 841))
        self.assertEqual((ps.dxf.scale_numerator, ps.dxf.scale_denominator), (1, 50))
        self.assertEqual(doc.audit().has_errors, False)
        # Reopened, PLOT offers the kept choices; Enter keeps each; the setup is not duplicated.
        stdout, err, _ = s.run(["OPEN", saved, "PLOT", "", "", "", "", "", "", "", "", "SAVE", "QUIT"])
        for shown in ["<PDF>", "<A1>", "<纵向>", "<范围>", "<1:50>", "<20,30>", "<彩色>", "kept.pdf>"]:
            self.assertIn(shown, stdout)
        self.assertIn("（A1 纵向，1:50）。", stdout)
        doc = ezdxf.readfile(saved)
        self.assertEqual(len([o for o in doc.objects if o.dxftype() == "PLOTSETTINGS"]), 1)

    def test_a_window_plots_only_what_lies_inside_it(self):
        s = Session(self)
        src, out = os.path.join(s.dir, "plan.dxf"), os.path.join(s.dir, "window.png")
        drawing(src)
        # The 10,000 x 5,000 L of lines, windowed to its lower half: fitted by its width to
        # A4, the window is a 148.5 mm band across the 210 mm sheet; the upright line goes
        # on above it in the drawing but not on the paper.
        s.run(["OPEN", src, "PLOT", "PNG", "A4", "L", "W", "0,0", "5000,2500", "F", "C", "M", "50", out, "QUIT"])
        width, height, rows = read_png(out)
        band = (210 - 148.5) / 2 / 25.4 * 50
        ink = box_of(rows, inked)
        self.assertAlmostEqual(ink[1], band, delta=2)
        self.assertAlmostEqual(ink[3], height - band, delta=2)

    def test_bad_replies_are_asked_again_and_a_sheet_too_small_says_so(self):
        s = Session(self)
        src = os.path.join(s.dir, "plan.dxf")
        drawing(src)
        out = os.path.join(s.dir, "small.png")
        stdout, err, _ = s.run(["OPEN", src, "PLOT", "JPG", "PNG", "B9", "A4", "X", "L", "D", "E",
                                "1:-2", "1:10", "0,0", "", "abc", "50", out, "QUIT"])
        for refusal in ["需要 PDF、PNG 或 SVG。", "不认识的图纸尺寸“B9”", "需要 P（纵向）或 L（横向）。",
                        "没有显示图形的窗口，无法按显示打印", "需要 F（布满）或 1:100 这样的比例。",
                        "需要 10 到 2400 之间的分辨率。"]:
            self.assertIn(refusal, stdout)
        self.assertIn("已打印到 " + out + "（A4 横向，1:10）。", stdout)
        self.assertIn("只打印了图纸上放得下的部分", stdout)
        width, height, rows = read_png(out)
        self.assertEqual((width, height), (round(297 / 25.4 * 50), round(210 / 25.4 * 50)))
        # Placed at the sheet's corner, only a part of the 500 mm line fits: up the left
        # edge from the bottom to the top.
        ink = box_of(rows, inked)
        self.assertEqual((ink[0], ink[1], ink[3]), (0, 0, height - 1))
        # 584.6 px wide: the last column is white paper too, not grey (the red line runs
        # along the bottom).
        self.assertEqual({rows[y][width - 1] for y in range(height - 3)}, {(255, 255, 255)})
        with open(out, "rb") as f:
            data = f.read()
        self.assertIn(b"pHYs" + round(50 / 0.0254).to_bytes(4, "big"), data)


def layout_drawing(path):
    """Model lines 1,000 units long at y = 0 and y = 800, one on layer HIDE at y = 200; the
    layout Layout1 (A3, mm) with a 1:10 viewport on the left, a 1:20 one on the right with
    HIDE frozen in it, and a 400 mm paper-space line along y = 10; an empty layout 第二."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    msp.add_line((0, 0), (1000, 0))
    msp.add_line((0, 800), (1000, 800))
    doc.layers.add("HIDE")
    msp.add_line((0, 200), (1000, 200), dxfattribs={"layer": "HIDE"})
    lay = doc.layouts.get("Layout1")
    lay.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm")
    lay.add_viewport(center=(100, 150), size=(150, 100), view_center_point=(500, 0), view_height=1000)
    right = lay.add_viewport(center=(310, 150), size=(180, 120), view_center_point=(500, 0), view_height=2400)
    right.frozen_layers = ["HIDE"]
    lay.add_line((10, 10), (410, 10))
    doc.layouts.new("第二")
    doc.saveas(path)


@unittest.skipUnless(shutil.which("pdftoppm"), "poppler-utils missing")
class Layouts(unittest.TestCase):
    def test_a_layout_plots_its_paper_at_1_to_1_and_each_viewport_at_its_scale(self):
        s = Session(self)
        src = os.path.join(s.dir, "lay.dxf")
        layout_drawing(src)
        out = os.path.join(s.dir, "sheet.pdf")
        # The one-line form, and the layout asked for by name (the names listed), at the prompts.
        stdout, err, _ = s.run(["OPEN", src, "PLOT PDF A3 L LA layout1 1:1 C M " + out,
                                "PLOT PDF A3 L LA 第三 1:1 C M " + out + ".x.pdf",
                                "PLOT", "", "", "", "LA", "第三", "第二", "", "", "", os.path.join(s.dir, "two"),
                                "QUIT"])
        self.assertIn("已打印到 " + out + "（A3 横向，1:1）。", stdout)
        self.assertIn("图形没有布局“第三”：有 Layout1、第二。", stdout)
        self.assertFalse(os.path.exists(out + ".x.pdf"))
        self.assertIn("布局名 [Layout1/第二] <Layout1>: ", stdout)
        self.assertIn("打印比例 [布满(F)] 或 1:N <1:1>: ", stdout)
        self.assertTrue(os.path.exists(os.path.join(s.dir, "two.pdf")))
        w, h, px = raster(out)
        self.assertEqual((round(w / 10), round(h / 10)), (420, 297))

        def run_in(y_mm, x0_mm, x1_mm):
            """The longest dark run of the rows about paper y (mm from the bottom), within x0..x1 mm."""
            best = None
            for y in range(int((297 - y_mm) * 10) - 6, int((297 - y_mm) * 10) + 7):
                row = px[y * w + int(x0_mm * 10): y * w + int(x1_mm * 10)]
                first = row.find(1)
                if first < 0:
                    continue
                length = row.rfind(1) + 1 - first
                if best is None or length > best[1]:
                    best = (first / 10 + x0_mm, length / 10)
            return best

        # The 1,000-unit line through the 1:10 viewport: 100 mm, from x = 50; through the
        # 1:20 one: 50 mm, from x = 285 (measured inside the viewports' borders).
        left, right = run_in(150, 27, 173), run_in(150, 222, 398)
        self.assertAlmostEqual(left[1], 100, delta=0.3)
        self.assertAlmostEqual(left[0], 50, delta=0.3)
        self.assertAlmostEqual(right[1], 50, delta=0.3)
        self.assertAlmostEqual(right[0], 285, delta=0.3)
        # HIDE at model y = 200: in the first viewport (20 mm up), frozen in the second.
        self.assertIsNotNone(run_in(170, 27, 173))
        self.assertIsNone(run_in(160, 222, 398))
        # Model y = 800: outside the first viewport (clipped), inside the second (40 mm up).
        self.assertIsNone(run_in(230, 0, 420))
        self.assertAlmostEqual(run_in(190, 222, 398)[1], 50, delta=0.3)
        # Each viewport's border: the left one's bottom from x = 25 to 175.
        self.assertAlmostEqual(run_in(100, 0, 200)[1], 150, delta=0.5)
        # Paper space at 1:1: the 400 mm line.
        self.assertAlmostEqual(run_in(10, 0, 420)[1], 400, delta=0.3)
        # --plot names a layout too.
        out2 = os.path.join(s.dir, "batch.pdf")
        proc = subprocess.run([ORVCAD, "--plot", out2, "--paper", "A3", "--area", "layout:Layout1", src],
                              capture_output=True, timeout=60)
        self.assertEqual(proc.returncode, 0, proc.stderr.decode())
        self.assertIn("（A3 横向，1:1）", proc.stdout.decode())
        w, h, px = raster(out2)
        self.assertAlmostEqual(run_in(150, 27, 173)[1], 100, delta=0.3)

    @unittest.skipUnless(os.path.isfile(os.path.join(SAMPLES, "2004_material.dxf")), "no DWG samples")
    def test_a_layout_of_another_programs_drawing_plots_its_viewport_in_inches(self):
        # Its layout: limits -0.25,-0.25 to 10.75,8.25 inches; one viewport 8.4 × 6.4
        # inches about 5.25,4 showing model space about its view centre at its scale.
        from ezdxf import bbox
        src = os.path.join(SAMPLES, "2004_material.dxf")
        s = Session(self)
        out = os.path.join(s.dir, "material.pdf")
        stdout, err, _ = s.run(["OPEN", src, "PLOT PDF A3 L LA Layout1 1:1 C M " + out, "QUIT"])
        self.assertIn("已打印到 " + out + "（A3 横向，1:1）。", stdout)
        doc = ezdxf.readfile(src)
        vp = [v for v in doc.layouts.get("Layout1").query("VIEWPORT") if v.dxf.id != 1][0]
        k = vp.dxf.height / vp.dxf.view_height
        model = bbox.extents(doc.modelspace())
        left = (420 - 11 * 25.4) / 2 + 0.25 * 25.4  # paper x = 0, mm from the sheet's left edge
        top = (297 - 8.5 * 25.4) / 2 + 8.25 * 25.4  # paper y = 0, mm from its top

        def on_sheet(x, y):
            px = vp.dxf.center.x + k * (x - vp.dxf.view_center_point.x)
            py = vp.dxf.center.y + k * (y - vp.dxf.view_center_point.y)
            return left + px * 25.4, top - py * 25.4

        x0, y1 = on_sheet(model.extmin.x, model.extmin.y)
        x1, y0 = on_sheet(model.extmax.x, model.extmax.y)
        w, h, px = raster(out)
        # Its border (layer 0 plots) bounds all ink: the viewport's rectangle.
        frame = on_sheet(vp.dxf.view_center_point.x - vp.dxf.width / 2 / k,
                         vp.dxf.view_center_point.y + vp.dxf.height / 2 / k)
        frame += on_sheet(vp.dxf.view_center_point.x + vp.dxf.width / 2 / k,
                          vp.dxf.view_center_point.y - vp.dxf.height / 2 / k)
        box = dark_box(w, h, px)
        ink = (box[0] / 10, box[1] / 10, (box[2] + 1) / 10, (box[3] + 1) / 10)
        for got, want in zip(ink, frame):
            self.assertAlmostEqual(got, want, delta=0.5, msg=(ink, frame))
        # Within it, model space about its view centre at its scale.
        left_px, top_px = int(frame[0] * 10) + 10, int(frame[1] * 10) + 10
        right_px, bottom_px = int(frame[2] * 10) - 10, int(frame[3] * 10) - 10
        inner_w = right_px - left_px
        inner = b"".join(px[y * w + left_px: y * w + right_px] for y in range(top_px, bottom_px))
        box = dark_box(inner_w, bottom_px - top_px, inner)
        self.assertIsNotNone(box, "the viewport shows model space")
        ink = ((box[0] + left_px) / 10, (box[1] + top_px) / 10, (box[2] + left_px + 1) / 10,
               (box[3] + top_px + 1) / 10)
        for got, want in zip(ink, (x0, y0, x1, y1)):
            self.assertAlmostEqual(got, want, delta=0.3, msg=(ink, (x0, y0, x1, y1)))

    def test_viewports_plot_their_borders_unless_on_defpoints_and_clip_to_the_entity_that_bounds_them(self):
        # Model space: a filled square from 0,-500 to 1000,500, nothing about -5000,0.
        doc = ezdxf.new("R2000")
        doc.modelspace().add_solid([(0, -500), (1000, -500), (0, 500), (1000, 500)])
        doc.layers.add("FRAMES", color=1)
        lay = doc.layouts.get("Layout1")
        lay.page_setup(size=(420, 297), margins=(0, 0, 0, 0), units="mm")
        # Empty views at 1:1 in frames 100 mm square about x = 80 and 200 (y = 150); the
        # second on DEFPOINTS. A view of the square through a circle of radius 50 about
        # 330,150, with a bulged light polyline's half disc (radius 40, above y = 20 about
        # x = 200) clipping a second view of it.
        lay.add_viewport(center=(80, 150), size=(100, 100), view_center_point=(-5000, 0), view_height=100,
                         dxfattribs={"layer": "FRAMES"})
        lay.add_viewport(center=(200, 150), size=(100, 100), view_center_point=(-5000, 0), view_height=100,
                         dxfattribs={"layer": "DEFPOINTS"})
        for boundary, centre, size in ((lay.add_circle((330, 150), 50), (330, 150), (100, 100)),
                                       (lay.add_lwpolyline([(160, 20, 0, 0, 0), (240, 20, 0, 0, 1)], close=True),
                                        (200, 40), (80, 40))):
            vp = lay.add_viewport(center=centre, size=size, view_center_point=(500, 0), view_height=size[1])
            vp.dxf.flags = vp.dxf.get("flags", 0) | 0x10000
            vp.dxf.clipping_boundary_handle = boundary.dxf.handle
        s = Session(self)
        src = os.path.join(s.dir, "clipped.dxf")
        doc.saveas(src)
        out = os.path.join(s.dir, "clipped.pdf")
        proc = subprocess.run([ORVCAD, "--plot", out, "--paper", "A3", "--area", "layout:Layout1", src],
                              capture_output=True, timeout=60)
        self.assertEqual(proc.returncode, 0, proc.stderr.decode())
        w, h, px = raster(out)

        def dark(x_mm, y_mm):
            """Some dark pixel within 0.3 mm of paper x, y (mm, y up)."""
            x, y = int(x_mm * 10), int((297 - y_mm) * 10)
            return any(px[yy * w + x - 3: yy * w + x + 4].find(1) >= 0 for yy in range(y - 3, y + 4))

        cases = [  # (where, paper x, y, dark)
            ("the FRAMES viewport's left side", 30, 150, True),
            ("its top", 80, 200, True),
            ("inside it, nothing in view", 80, 150, False),
            ("the DEFPOINTS viewport's left side", 150, 150, False),
            ("its top", 200, 200, False),
            ("inside the circle", 330, 150, True),
            ("inside the circle near its edge", 330 + 45, 150, True),
            ("a corner of its square, outside the circle", 285, 195, False),
            ("its square's top, no border of its own", 295, 200, False),
            ("inside the half disc", 200, 50, True),
            ("inside its arc near the top", 200, 57, True),
            ("a corner of its rectangle, outside the arc", 164, 57, False),
        ]
        for where, x, y, want in cases:
            with self.subTest(where=where):
                self.assertEqual(dark(x, y), want)

    def test_the_one_line_form_plots_without_asking_and_refuses_a_bad_word(self):
        s = Session(self)
        src = os.path.join(s.dir, "plan.dxf")
        drawing(src)
        out = os.path.join(s.dir, "one line.pdf")
        stdout, err, _ = s.run(["OPEN", src,
                                'PLOT PDF A4 P W -100,-100 10100,5100 1:100 C C "' + out + '"',
                                "PLOT PDF A4 P W 1,1 x 1:100 C M " + out + ".bad.pdf", "QUIT"])
        self.assertIn("已打印到 " + out + "（A4 纵向，1:100）。", stdout)
        self.assertNotIn("图纸尺寸 [", stdout, "nothing is asked")
        self.assertIn("需要点（x,y），而不是“x”。", stdout)
        self.assertFalse(os.path.exists(out + ".bad.pdf"))
        self.assertEqual(tuple(round(v) for v in page_size_mm(out)), (210, 297))


class Frames(unittest.TestCase):
    def test_frames_are_true_size_at_the_scale_with_their_fields_and_plot_by_default(self):
        s = Session(self)
        saved = os.path.join(s.dir, "framed.dxf")
        # (reply lines, block, sheet mm (landscape or portrait), scale, border margin, corner)
        cases = [
            (["TK", "A3", "L", "1:100", "0,0"], "GB_TK_A3_L", (420, 297), 100, 5, (0, 0)),
            (["TK", "A1", "P", "1:50", "100000,0"], "GB_TK_A1_P", (594, 841), 50, 10, (100000, 0)),
            (["TK", "A3x3", "L", "1:20", "0,100000"], "GB_TK_A3x3_L", (891, 420), 20, 10, (0, 100000)),
        ]
        lines = [l for case in cases for l in case[0]]
        stdout, err, _ = s.run(lines + ["SAVEAS", saved, "QUIT"])
        self.assertIn("已插入 A3 横向 图框，比例 1:100。", stdout)
        doc = ezdxf.readfile(saved)
        self.assertFalse(doc.audit().has_errors)
        inserts = doc.modelspace().query("INSERT")
        self.assertEqual(len(inserts), len(cases))
        from ezdxf import bbox
        for ins, (_, block, sheet, scale, margin, corner) in zip(inserts, cases):
            with self.subTest(block=block):
                self.assertEqual(ins.dxf.name, block)
                self.assertEqual(ins.dxf.xscale, scale)
                fields = {a.dxf.tag: a.dxf.text for a in ins.attribs}
                self.assertEqual(set(fields), {"图名", "图号", "比例", "材料", "设计", "校对", "审核", "日期", "单位"})
                self.assertEqual(fields["比例"], f"1:{scale}")
                box = bbox.extents([ins])
                self.assertAlmostEqual(box.extmin.x, corner[0], places=6)
                self.assertAlmostEqual(box.extmin.y, corner[1], places=6)
                self.assertAlmostEqual(box.size.x, sheet[0] * scale, places=6)
                self.assertAlmostEqual(box.size.y, sheet[1] * scale, places=6)
                # The thick border: binding margin 25 mm on the left, the others `margin`.
                lines_in_block = doc.blocks.get(block).query("LINE")
                thick = [l for l in lines_in_block if l.dxf.lineweight == 70]
                xs = sorted({round(p, 6) for l in thick for p in (l.dxf.start.x, l.dxf.end.x)})
                ys = sorted({round(p, 6) for l in thick for p in (l.dxf.start.y, l.dxf.end.y)})
                self.assertEqual((xs[0], xs[-1]), (25, sheet[0] - margin))
                self.assertEqual((ys[0], ys[-1]), (margin, sheet[1] - margin))
                self.assertIn(sheet[0] - margin - 180, xs)  # the title block's left side
                self.assertIn(margin + 56, ys)               # and its top
        # A drawing with a frame plots the frame's window on its sheet at its scale.
        out = os.path.join(s.dir, "sheet.pdf")
        one = os.path.join(s.dir, "one.dxf")
        first = os.path.join(s.dir, "first.pdf")
        stdout, _, _ = s.run(["TK", "A3", "L", "1:100", "0,0", "PLOT", "", "", "", "", "", "", "", first,
                              "SAVEAS", one, "QUIT"])
        # A new drawing's PLOT offers the frame's window, sheet and scale, and keeps them.
        self.assertIn("<窗口>", stdout)
        self.assertIn("已打印到 " + first + "（A3 横向，1:100）。", stdout)
        kept = ezdxf.readfile(one)
        self.assertFalse(kept.audit().has_errors)
        setup = next(o for o in kept.objects if o.dxftype() == "PLOTSETTINGS")
        self.assertEqual(setup.dxf.plot_type, 4)
        self.assertEqual((setup.dxf.plot_window_x1, setup.dxf.plot_window_y1, setup.dxf.plot_window_x2,
                          setup.dxf.plot_window_y2), (0, 0, 42000, 29700))
        proc = subprocess.run([ORVCAD, "--plot", out, one], capture_output=True, timeout=60)
        self.assertEqual(proc.returncode, 0, proc.stderr.decode())
        self.assertIn("（A3 横向，1:100）", proc.stdout.decode())
        w, h, px = raster(out)
        box = dark_box(w, h, px)
        # The sheet's edge (0.25 mm) lies on the page's edge: the ink spans the page.
        self.assertLessEqual(box[0], 2)
        self.assertGreaterEqual(box[2], w - 3)


if __name__ == "__main__":
    main()
