"""Pictures of drawings ezdxf makes, one kind of entity at a time and all together: ink
where each entity is (by ezdxf's bounding boxes or its geometry), none where it is not,
in the colour expected; real glyphs for Latin and Chinese text; hatches filled inside and
empty in their islands."""
import math
import os
import unittest

import ezdxf
from ezdxf import bbox
from ezdxf.enums import TextEntityAlignment

from orvharness import Session, main
from picture import Page, Picture, inked, near

RED, GREEN, BLUE, MAGENTA = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 0, 255)


class Drawing:
    """An ezdxf drawing on a 160 × 120 page, exported by orvcad to PNG."""

    def __init__(self, testcase, version="R2010"):
        self.testcase = testcase
        self.doc = ezdxf.new(version, setup=True)
        self.doc.units = 4
        self.doc.encoding = "gbk"
        self.msp = self.doc.modelspace()
        self.page = Page()
        self.page.add_frame(self.msp)

    def picture(self):
        s = Session(self.testcase)
        dxf = os.path.join(s.dir, "drawing.dxf")
        png = os.path.join(s.dir, "drawing.png")
        self.doc.saveas(dxf)
        s.run([], args=["--export", png, dxf])
        keep = os.environ.get("ORV_KEEP_PICTURES")  # a folder to look at them in
        if keep:
            import shutil
            name = self.testcase.id().split(".")[-1]
            shutil.copy(png, os.path.join(keep, name + ".png"))
            shutil.copy(dxf, os.path.join(keep, name + ".dxf"))
        return Picture(png)

    def box_of(self, entity, grow=0.0):
        e = bbox.extents([entity])
        return self.page.box(e.extmin.x, e.extmin.y, e.extmax.x, e.extmax.y, grow)


class OneKindAtATime(unittest.TestCase):
    def test_text_shows_real_latin_and_chinese_glyphs_where_it_is_placed(self):
        d = Drawing(self)
        d.doc.styles.new("CN", dxfattribs={"font": "txt.shx", "bigfont": "gbcbig.shx"})
        d.doc.styles.new("SONG", dxfattribs={"font": "simsun.ttc"})
        d.msp.add_text("一", dxfattribs={"height": 10, "style": "CN", "color": 1}).set_placement((10, 80))
        d.msp.add_text("中", dxfattribs={"height": 10, "style": "SONG", "color": 5}).set_placement((40, 80))
        d.msp.add_text("I", dxfattribs={"height": 10, "color": 3}).set_placement((70, 80))
        d.msp.add_text("m", dxfattribs={"height": 10, "color": 6}).set_placement((100, 80))
        d.msp.add_text("RIGHT", dxfattribs={"height": 5, "color": 1}).set_placement(
            (150, 20), align=TextEntityAlignment.BOTTOM_RIGHT)
        d.msp.add_text("ROT", dxfattribs={"height": 5, "color": 5, "rotation": 90}).set_placement((20, 10))
        p = d.picture()
        page = d.page
        # 一: one wide, low stroke; 中: ink through its middle column from top to bottom.
        one = p.ink_box(page.box(5, 70, 35, 100), near(RED))
        self.assertIsNotNone(one, "no glyph for 一")
        self.assertGreater((one[2] - one[0]) / max(1, one[3] - one[1]), 4)
        zhong = p.ink_box(page.box(35, 70, 65, 100), near(BLUE))
        self.assertIsNotNone(zhong, "no glyph for 中 (a TrueType style the machine lacks)")
        middle = (zhong[0] + zhong[2]) // 2
        column = [y for y in range(zhong[1], zhong[3] + 1) if near(BLUE)(p.pixel(middle, y))
                  or near(BLUE)(p.pixel(middle + 1, y)) or near(BLUE)(p.pixel(middle - 1, y))]
        self.assertGreater(len(column), 0.8 * (zhong[3] - zhong[1]))
        # I is tall and narrow, m wide: glyphs, not boxes.
        i_box = p.ink_box(page.box(65, 70, 95, 100), near(GREEN))
        m_box = p.ink_box(page.box(95, 70, 125, 100), near(MAGENTA))
        self.assertLess((i_box[2] - i_box[0]) / (i_box[3] - i_box[1]), 0.5)
        self.assertGreater((m_box[2] - m_box[0]) / (m_box[3] - m_box[1]), 1.2)
        # Capital letters are the height given: I spans 10 units.
        self.assertAlmostEqual((i_box[3] - i_box[1]) / page.scale, 10, delta=0.6)
        # Bottom-right alignment: the text ends at x 150 and sits on y 20.
        right = p.ink_box(page.box(90, 15, 160, 35), near(RED))
        self.assertAlmostEqual(right[2], page.at(150, 20)[0], delta=4)
        self.assertLess(right[3], page.at(150, 20)[1] + 3)
        # Turned a quarter: taller than wide, left of its insertion point.
        rot = p.ink_box(page.box(0, 5, 30, 50), near(BLUE))
        self.assertGreater(rot[3] - rot[1], 2 * (rot[2] - rot[0]))
        self.assertLessEqual(rot[2], page.at(20, 10)[0] + 2)

    def test_mtext_wraps_within_its_width_and_keeps_inline_colours(self):
        d = Drawing(self)
        mtext = d.msp.add_mtext("第一段 words words words words\\P{\\C1;红色}第二段",
                                dxfattribs={"char_height": 4, "width": 60, "color": 5})
        mtext.set_location((10, 110), attachment_point=1)
        p = d.picture()
        page = d.page
        blue = p.ink_box(page.box(0, 0, 160, 120), near(BLUE))
        red = p.ink_box(page.box(0, 0, 160, 120), near(RED))
        self.assertIsNotNone(red, "the \\C1 run is not red")
        # Wrapped at 60 units: nothing beyond x 70; three lines or more.
        self.assertLessEqual(blue[2], page.at(70, 0)[0])
        self.assertGreater((blue[3] - blue[1]) / page.scale, 4 * 2.5)
        self.assertLessEqual(blue[1], page.at(0, 110)[1] + 2)  # hangs from its top left
        self.assertGreater(red[1], blue[1] + 3 * page.scale)   # the red run is further down

    def test_a_solid_hatch_fills_inside_and_leaves_its_island_empty(self):
        d = Drawing(self)
        h = d.msp.add_hatch(color=1)
        h.paths.add_polyline_path([(20, 20), (140, 20), (140, 100), (20, 100)], is_closed=True, flags=1)
        h.paths.add_polyline_path([(60, 40), (100, 40), (100, 80), (60, 80)], is_closed=True, flags=16)
        pattern = d.msp.add_hatch(color=5)
        pattern.set_pattern_fill("ANSI31", color=5, scale=0.5)
        edges = pattern.paths.add_edge_path(flags=1)
        edges.add_line((135, 2), (145, 2))
        edges.add_arc((145, 10), 8, -90, 90)
        edges.add_line((145, 18), (135, 18))
        edges.add_line((135, 18), (135, 2))
        p = d.picture()
        page = d.page
        for x, y in [(30, 30), (130, 90), (50, 60), (120, 50)]:
            self.assertTrue(near(RED)(p.pixel(*page.at(x, y))), f"not filled at {x},{y}")
        for x, y in [(80, 60), (70, 50), (90, 70), (10, 10), (150, 110)]:
            self.assertEqual(p.pixel(*page.at(x, y)), (255, 255, 255), f"ink at {x},{y}")
        # The pattern: lines, not a fill, and only inside its boundary.
        inside = page.box(136, 3, 147, 17)
        share = p.count(inside, near(BLUE)) / ((inside[2] - inside[0] + 1) * (inside[3] - inside[1] + 1))
        self.assertTrue(0.03 < share < 0.6, share)
        self.assertEqual(p.count(page.box(130, 19, 160, 21), near(BLUE)), 0)
        self.assertGreater(p.count(page.box(149, 6, 152.5, 14), near(BLUE)), 0)  # the arc's bulge
        self.assertEqual(p.count(page.box(154, 0, 160, 20), near(BLUE)), 0)

    def test_curves_points_solids_faces_and_3d_polylines(self):
        d = Drawing(self)
        ellipse = d.msp.add_ellipse((30, 90), major_axis=(20, 0), ratio=0.5, dxfattribs={"color": 1})
        arc = d.msp.add_ellipse((80, 90), major_axis=(0, 15), ratio=0.4, start_param=0, end_param=math.pi,
                                dxfattribs={"color": 5})
        fit = d.msp.add_spline([(110, 80), (120, 100), (130, 80), (150, 100)], dxfattribs={"color": 3})
        rational = d.msp.add_rational_spline([(105, 55), (120, 75), (135, 55), (150, 70)], [1, 2, 1, 1],
                                             dxfattribs={"color": 5})
        d.msp.add_point((10, 10), dxfattribs={"color": 1})
        d.msp.add_solid([(20, 20), (50, 20), (20, 50), (50, 50)], dxfattribs={"color": 5})
        d.msp.add_3dface([(60, 20, 0), (90, 20, 5), (90, 50, 0), (60, 50, 0)], dxfattribs={"color": 6})
        d.msp.add_polyline3d([(100, 20, 0), (120, 50, 9), (140, 20, 3)], dxfattribs={"color": 3})
        p = d.picture()
        page = d.page
        # The ellipse passes through its axes' ends, not through its centre.
        for x, y in [(10, 90), (50, 90), (30, 100), (30, 80)]:
            self.assertGreater(p.count(page.box(x, y, x, y, 0.3), near(RED)), 0, (x, y))
        self.assertEqual(p.count(page.box(30, 90, 30, 90, 2), near(RED)), 0)
        box = p.ink_box(page.box(60, 70, 100, 110), near(BLUE))  # half: the side of −x only
        self.assertAlmostEqual((box[3] - box[1]) / page.scale, 30, delta=1)
        self.assertAlmostEqual((box[2] - box[0]) / page.scale, 6, delta=1)
        self.assertLess(box[2], page.at(80, 0)[0] + 2)
        for q in fit.fit_points:  # the curve goes through every fit point
            self.assertGreater(p.count(page.box(q[0], q[1], q[0], q[1], 0.4), near(GREEN)), 0, q)
        # By control points: from the first to the last, drawn toward the others but not through them.
        for q in (rational.control_points[0], rational.control_points[-1]):
            self.assertGreater(p.count(page.box(q[0], q[1], q[0], q[1], 0.4), near(BLUE)), 0, q)
        self.assertEqual(p.count(page.box(120, 75, 120, 75, 1), near(BLUE)), 0)
        self.assertGreater(p.count(page.box(112, 60, 128, 72), near(BLUE)), 0)
        self.assertGreater(p.count(page.box(10, 10, 10, 10, 0.3), near(RED)), 0)
        self.assertTrue(near(BLUE)(p.pixel(*page.at(35, 35))))  # filled, and not a bow tie
        self.assertTrue(near(BLUE)(p.pixel(*page.at(45, 25))))
        self.assertEqual(p.pixel(*page.at(75, 35)), (255, 255, 255))  # a face is outlined
        self.assertGreater(p.count(page.box(60, 20, 60, 50, 0.3), near(MAGENTA)), 0)
        self.assertGreater(p.count(page.box(120, 50, 120, 50, 0.5), near(GREEN)), 0)

    def test_references_dimensions_attributes_arrays_and_meshes(self):
        d = Drawing(self)
        blk = d.doc.blocks.new("MARK")
        blk.add_circle((0, 0), 3, dxfattribs={"color": 0})  # BYBLOCK
        blk.add_attdef("TAG", (0, -6), dxfattribs={"height": 2})
        ref = d.msp.add_blockref("MARK", (20, 100), dxfattribs={"color": 1})
        ref.add_attrib("TAG", "A1", (18, 92), dxfattribs={"height": 3, "color": 5})
        grid = d.msp.add_blockref("MARK", (60, 100), dxfattribs={"color": 3})
        grid.dxf.column_count, grid.dxf.row_count = 3, 2
        grid.dxf.column_spacing, grid.dxf.row_spacing = 10, -10
        mirrored = d.msp.add_blockref("MARK", (120, 100), dxfattribs={"color": 6, "xscale": -2, "yscale": 2})
        dim = d.msp.add_linear_dim(base=(20, 40), p1=(20, 20), p2=(80, 20), dimstyle="EZDXF",
                                   override={"dimtxt": 3, "dimasz": 2, "dimclrd": 1, "dimclre": 1, "dimclrt": 5})
        dim.render()
        mesh = d.msp.add_polyface(dxfattribs={"color": 3})
        mesh.append_face([(100, 10, 0), (140, 10, 0), (140, 40, 0), (100, 40, 0)])
        p = d.picture()
        page = d.page
        self.assertGreater(p.count(page.box(17, 100, 23, 100, 0.3), near(RED)), 0)      # BYBLOCK: red
        self.assertGreater(p.count(page.box(18, 92, 26, 95), near(BLUE)), 0)            # its attribute
        self.assertEqual(p.count(page.box(10, 80, 30, 90), inked), 0)                  # no ATTDEF tag
        for col in range(3):
            for row in range(2):
                x, y = 60 + 10 * col + 3, 100 - 10 * row
                self.assertGreater(p.count(page.box(x, y, x, y, 0.4), near(GREEN)), 0, (col, row))
        self.assertGreater(p.count(page.box(126, 100, 126, 100, 0.4), near(MAGENTA)), 0)  # radius 6
        # The dimension's block: extension lines, the dimension line, and its text.
        self.assertGreater(p.count(page.box(20, 25, 20, 35, 0.3), near(RED)), 0)
        self.assertGreater(p.count(page.box(35, 40, 65, 40, 0.3), near(RED)), 0)
        self.assertGreater(p.count(page.box(40, 41, 60, 46), near(BLUE)), 0)
        # The polyface mesh's edges, not its middle.
        self.assertGreater(p.count(page.box(120, 10, 120, 10, 0.3), near(GREEN)), 0)
        self.assertEqual(p.count(page.box(120, 25, 120, 25, 3), inked), 0)

    def test_colours_layers_and_lineweights(self):
        d = Drawing(self)
        d.doc.header["$LWDISPLAY"] = 1
        d.doc.layers.add("OFF", color=1).off()
        d.doc.layers.add("FROZEN", color=1).freeze()
        d.doc.layers.add("TRUE", color=2).rgb = (10, 200, 30)
        d.msp.add_line((10, 100), (150, 100), dxfattribs={"true_color": ezdxf.rgb2int((255, 128, 0))})
        d.msp.add_line((10, 80), (150, 80), dxfattribs={"layer": "TRUE"})
        d.msp.add_line((10, 60), (150, 60), dxfattribs={"layer": "OFF"})
        d.msp.add_line((10, 40), (150, 40), dxfattribs={"layer": "FROZEN"})
        d.msp.add_line((10, 20), (150, 20), dxfattribs={"color": 5, "lineweight": 100})
        d.msp.add_line((10, 10), (150, 10), dxfattribs={"color": 5, "lineweight": 13})
        p = d.picture()
        page = d.page
        self.assertGreater(p.count(page.box(80, 100, 80, 100, 0.3), near((255, 128, 0))), 0)
        self.assertGreater(p.count(page.box(80, 80, 80, 80, 0.3), near((10, 200, 30))), 0)
        self.assertEqual(p.count(page.box(10, 35, 150, 65), inked), 0)
        # 1 mm at 96 pixels an inch: four pixels across; 0.13 mm: the thin line.
        x = page.at(80, 0)[0]
        thick = [y for y in range(page.at(0, 22)[1], page.at(0, 18)[1]) if near(BLUE, 0.5)(p.pixel(x, y))]
        thin = [y for y in range(page.at(0, 12)[1], page.at(0, 8)[1]) if near(BLUE, 0.5)(p.pixel(x, y))]
        self.assertGreaterEqual(len(thick), 3)
        self.assertLessEqual(len(thin), 2)


class AllTogether(unittest.TestCase):
    def test_every_entity_shows_in_its_box_and_nothing_shows_elsewhere(self):
        d = Drawing(self)
        msp = d.msp
        d.doc.styles.new("CN", dxfattribs={"font": "txt.shx", "bigfont": "gbcbig.shx"})
        made = [
            (msp.add_text("管道 DN100", dxfattribs={"height": 4, "style": "CN", "color": 1}), RED),
            (msp.add_mtext("多行\\P文字", dxfattribs={"char_height": 3, "color": 5}), BLUE),
            (msp.add_ellipse((100, 100), major_axis=(12, 4), ratio=0.5, dxfattribs={"color": 3}), GREEN),
            (msp.add_spline([(120, 60), (130, 75), (140, 60), (150, 75)], dxfattribs={"color": 6}), MAGENTA),
            (msp.add_solid([(10, 10), (30, 10), (10, 25), (30, 25)], dxfattribs={"color": 1}), RED),
            (msp.add_3dface([(40, 10, 0), (60, 10, 0), (60, 25, 0), (40, 25, 0)], dxfattribs={"color": 5}), BLUE),
            (msp.add_polyline3d([(70, 10, 0), (80, 25, 5), (90, 10, 0)], dxfattribs={"color": 3}), GREEN),
            (msp.add_circle((120, 20), 8, dxfattribs={"color": 6}), MAGENTA),
        ]
        made[0][0].set_placement((10, 100))
        made[1][0].set_location((10, 80))
        hatch = msp.add_hatch(color=1)
        hatch.paths.add_polyline_path([(60, 50), (90, 50), (90, 70), (60, 70)], is_closed=True)
        made.append((hatch, RED))
        p = d.picture()
        boxes = []
        for entity, colour in made:
            box = d.box_of(entity, grow=1.0)
            boxes.append(box)
            self.assertGreater(p.count(box, near(colour)), 0, entity.dxftype())
        # Nothing is drawn outside the entities' boxes (the frame is white).
        stray = 0
        for y in range(0, p.height, 2):
            for x in range(0, p.width, 2):
                if inked(p.pixel(x, y)) and not any(b[0] <= x <= b[2] and b[1] <= y <= b[3] for b in boxes):
                    stray += 1
        self.assertEqual(stray, 0)


if __name__ == "__main__":
    main()
