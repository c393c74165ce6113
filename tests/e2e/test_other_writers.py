"""Files written the way other programs write them: opened, saved and audited by ezdxf
with no error and no fix, and pictured with what they hold."""
import os
import unittest

import ezdxf

from dxfcheck import read_audited
from orvharness import Session, main
from picture import Page, Picture, near


def tag_lines(text):
    lines = text.split("\n")
    return [(lines[i].strip(), lines[i + 1]) for i in range(0, len(lines) - 1, 2)]


def join_tags(pairs):
    return "".join(f"{c}\n{v}\n" for c, v in pairs)


class OtherWriters(unittest.TestCase):
    def open_save_export(self, dxf_text, name="other.dxf"):
        """(session, transcript, saved document, picture) of a file opened, saved and exported."""
        s = Session(self)
        source = os.path.join(s.dir, name)
        saved = os.path.join(s.dir, "saved.dxf")
        png = os.path.join(s.dir, "picture.png")
        with open(source, "w", encoding="latin-1", newline="") as f:
            f.write(dxf_text)
        out, _, _ = s.run(["OPEN", source], args=["--save", saved, "--export", png])
        return out, read_audited(self, saved), Picture(png)

    def test_a_reference_with_z_scale_zero_as_librecad_writes_it(self):
        doc = ezdxf.new("R2000")
        doc.units = 4
        doc.blocks.new("P").add_circle((0, 0), 10, dxfattribs={"color": 1})
        msp = doc.modelspace()
        Page().add_frame(msp)
        msp.add_blockref("P", (80, 60), dxfattribs={"xscale": 2, "yscale": 2})
        pairs = tag_lines(ezdxf_text(doc))
        # LibreCAD writes the z scale, 0 for a flat drawing.
        out = []
        for i, (c, v) in enumerate(pairs):
            out.append((c, v))
            if c == "42" and any(p == ("0", "INSERT") for p in pairs[max(0, i - 20):i]):
                out.append(("43", "0.0"))
        transcript, saved, p = self.open_save_export(join_tags(out))
        self.assertNotIn("注意", transcript)
        ref = saved.modelspace().query("INSERT")[0]
        self.assertEqual(ref.dxf.zscale, 0.0)
        page = Page()
        self.assertGreater(p.count(page.box(100, 60, 100, 60, 0.5), near((255, 0, 0))), 0)  # radius 20

    def test_a_header_that_old_dxflib_ends_early(self):
        doc = ezdxf.new("R2000")
        doc.units = 6  # metres, written after $HANDSEED
        doc.modelspace().add_line((0, 0), (100, 50), dxfattribs={"color": 5})
        text = ezdxf_text(doc)
        # dxflib: ENDSEC right after $HANDSEED, the rest of the variables after it.
        head, rest = text.split("$HANDSEED\n", 1)
        seed, rest = rest.split("\n", 2)[:2], rest.split("\n", 2)[2]
        self.assertIn("$INSUNITS", rest)
        text = head + "$HANDSEED\n" + "\n".join(seed) + "\n  0\nENDSEC\n" + rest
        transcript, saved, p = self.open_save_export(text)
        self.assertNotIn("无法打开", transcript)
        self.assertEqual(saved.header["$INSUNITS"], 6)
        self.assertEqual(len(saved.modelspace().query("LINE")), 1)

    def test_an_r12_drawing_with_dimensions_keeps_its_layouts_and_arrows(self):
        doc = ezdxf.new("R12", setup=True)
        msp = doc.modelspace()
        msp.add_line((0, 0), (100, 0))
        dim = msp.add_linear_dim(base=(0, 20), p1=(0, 0), p2=(100, 0), dimstyle="EZDXF",
                                 override={"dimblk": "ARCHTICK", "dimasz": 5})
        dim.render()
        transcript, saved, p = self.open_save_export(ezdxf_text(doc))
        names = [b.name for b in saved.blocks]
        self.assertNotIn("$MODEL_SPACE", [n.upper() for n in names])
        self.assertEqual(saved.dimstyles.get("EZDXF").dxf.dimblk, "_ARCHTICK")
        self.assertEqual(len(saved.modelspace().query("DIMENSION")), 1)
        self.assertIsNotNone(p.ink_box((0, 0, p.width - 1, p.height - 1), lambda c: sum(c) < 600))

    def test_broken_owners_and_undefined_styles_are_repaired_and_said(self):
        doc = ezdxf.new("R2000")
        msp = doc.modelspace()
        msp.add_text("T1", dxfattribs={"height": 2, "style": "NOSUCH"}).set_placement((0, 0))
        msp.add_mtext("M1", dxfattribs={"char_height": 2, "style": "OTHER"})
        doc.blocks.new("B").add_attdef("TAG", (0, 0))
        msp.add_blockref("B", (5, 5)).add_attrib("TAG", "V", (5, 5))
        msp.add_polyline3d([(0, 0, 0), (1, 1, 1)])
        orphan = doc.objects.add_xrecord(doc.rootdict.dxf.handle)
        orphan.reset([(1, "orphan")])
        orphan.dxf.owner = "ABCD"  # owned by nothing in the file
        pairs, kind = [], None
        for c, v in tag_lines(ezdxf_text(doc)):
            if c == "0":
                kind = v.strip()
            if c == "330" and kind in ("ATTRIB", "VERTEX", "TEXT"):
                v = "FFF0"
            pairs.append((c, v))
        transcript, saved, p = self.open_save_export(join_tags(pairs))
        self.assertIn("所有者句柄 FFF0 不对", transcript)
        self.assertIn("文字样式“NOSUCH”被使用但未定义", transcript)
        self.assertIn("另有 2 条", transcript)  # the owner given to the root dictionary among them
        self.assertEqual(len(saved.objects.query("XRECORD")), 1)
        self.assertIn("NOSUCH", [s.dxf.name for s in saved.styles])
        ref = saved.modelspace().query("INSERT")[0]
        self.assertEqual([a.dxf.text for a in ref.attribs], ["V"])

    def test_names_no_cad_program_accepts_are_changed_and_the_saved_file_audits_clean(self):
        doc = ezdxf.new("R2000")
        doc.add_xref_def("xr.dwg", "XR")
        msp = doc.modelspace()
        # Stand-ins, made what other programs write once the file is text.
        doc.layers.add("QQQ", color=3)
        doc.layers.add("W1A", color=4)
        doc.layers.add("W1B", color=5)
        doc.layers.add("XR|WALL", color=6)
        doc.linetypes.add("LTQ", [5.0, 3.0, -2.0])
        doc.layers.get("W1A").dxf.linetype = "LTQ"
        doc.styles.add("STQ", font="txt")
        doc.dimstyles.new("DSQ")
        doc.blocks.new("BKQ").add_circle((0, 0), 5, dxfattribs={"layer": "QQQ"})
        msp.add_line((0, 0), (100, 0), dxfattribs={"layer": "QQQ", "linetype": "LTQ"})
        msp.add_line((0, 10), (100, 10), dxfattribs={"layer": "W1A"})
        msp.add_line((0, 20), (100, 20), dxfattribs={"layer": "W1B"})
        msp.add_line((0, 30), (100, 30), dxfattribs={"layer": "XR|WALL"})
        msp.add_text("T", dxfattribs={"style": "STQ", "layer": "QQQ", "height": 5})
        msp.add_blockref("BKQ", (50, 50))
        msp.add_linear_dim(base=(0, 60), p1=(0, 40), p2=(100, 40), dimstyle="DSQ").render()
        text = ezdxf_text(doc)
        for stand_in, bad in (("QQQ", "???"), ("W1A", "W?1"), ("W1B", "W*1"), ("LTQ", "LT:Q"),
                              ("STQ", "ST/Q"), ("DSQ", "DS=Q"), ("BKQ", "BK|Q")):
            text = text.replace(f"\n{stand_in}\n", f"\n{bad}\n")
        out, saved, _ = self.open_save_export(text)
        # The first five changes are said, the rest counted.
        for old, new in (("???", "___"), ("W?1", "W_1"), ("W*1", "W_1_2"), ("LT:Q", "LT_Q"), ("ST/Q", "ST_Q")):
            self.assertIn(f"“{old}”含有 CAD 程序不接受的字符，已改为“{new}”", out)
        self.assertIn("注意：另有 2 条。", out)
        layers = {layer.dxf.name: layer.dxf.color for layer in saved.layers}
        self.assertEqual((layers["___"], layers["W_1"], layers["W_1_2"], layers["XR|WALL"]), (3, 4, 5, 6))
        self.assertEqual(saved.layers.get("W_1").dxf.linetype, "LT_Q")
        lines = saved.modelspace().query("LINE")
        self.assertEqual([(e.dxf.layer, e.dxf.linetype.upper()) for e in lines],
                         [("___", "LT_Q"), ("W_1", "BYLAYER"), ("W_1_2", "BYLAYER"), ("XR|WALL", "BYLAYER")])
        self.assertEqual(saved.modelspace().query("TEXT")[0].dxf.style, "ST_Q")
        self.assertEqual(saved.modelspace().query("INSERT")[0].dxf.name, "BK_Q")
        self.assertEqual([e.dxf.layer for e in saved.blocks.get("BK_Q")], ["___"])
        self.assertEqual(saved.modelspace().query("DIMENSION")[0].dxf.dimstyle, "DS_Q")


def ezdxf_text(doc):
    import io
    stream = io.StringIO()
    doc.write(stream)
    return stream.getvalue()


if __name__ == "__main__":
    main()
