#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/NAME/.

Seeds are small valid inputs and a few odd ones, one file each; the fuzzers
start from them and the normal test run replays them. The DXF seeds made here
come from ezdxf (Debian's python3-ezdxf, run with /usr/bin/python3); the two
public example drawings are copied in by hand. Run again after changing a seed
below; files not made here are left alone.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---- replies typed at a prompt

REPLIES = {
    "integer": "12", "negative-real": "-1.5", "leading-point": ".5", "trailing-point": "2.",
    "exponent": "1e-3", "signed-exponent": "+4E2", "blanks-around": " \t3 ",
    "hexadecimal": "0x10", "nan": "nan", "inf": "-inf", "overflow": "1e309",
    "underflow": "-1e-400", "negative-zero": "-0", "int-max": "32767", "int-past-max": "32768",
    "int-min": "-32768", "leading-zeros": "000012", "point-2d": "10,20",
    "point-3d": "10, 20 ,30", "relative": "@5,-5", "relative-polar": "@10<90",
    "polar": "5<45", "last-point": "@", "relative-blanks": " @ 3 , 4 ", "four-parts": "1,2,3,4",
    "two-angles": "1<2<3", "bare-exponent": "1e", "double-sign": "--1", "two-points": "1..2",
    "comma-and-angle": "1,2<3", "huge-polar": "@1e308<45", "long-digits": "0." + "0" * 400 + "1",
    "chinese": "\u7ba1\u5f84",
}


def reply_seeds():
    for name, text in REPLIES.items():
        put("reply_parser", name, text)


# ---- scripts
# A command's first character picks the request ('1' point, '2' pick point,
# '3' real, '4' integer, '5' text with blanks, '6' text up to a blank, '7'
# text of at most 3 characters), its second the flags (low bits 1 no Enter,
# 2 no zero, 4 no negative; bit 0x80 any reply as keyword), a third '-'
# arms no keywords.

SCRIPTS = {
    "every-request": "1\n10,20\n2\n@1,1\n3\n1.5\n4\n42\n5\nhello world\n6\nhello world\n7\nabcd\nabc\n",
    "keywords": "1\nu\n1\n_Close\n1\nx\n3\nlt\n4\n\u9000\u51fa\n1\nWIDTH\n3-\nu\n",
    "refusals-then-values": "3F\n0\n-1\nabc\n2\n4G\n\n0\n-5\n99999\n7\n",
    "cancel-and-comments": "# a comment\n1\n^C\n#not a command\n3\n^C\n",
    "crlf-and-bom": "\ufeff4\r\n12\r\n5\r\n two words \r\n",
    "ends-inside-a-command": "1\n",
    "no-final-line-break": "3\n2.5",
    "other-keyword": "3\x80\nanything at all\n4\x80\n1.5\n",
    "enter-everywhere": "1\n\n2\n\n3\n\n4\n\n5\n\n6\n\n",
    "blank-lines-at-no-enter": "1A\n\n \n\t\n5,5\n",
    "empty": "",
}


def script_seeds():
    for name, text in SCRIPTS.items():
        put("script_console", name, text)


# ---- settings files

DRAW_INI = ("[PIPE]\nDW=100.000000\nWTBJ=150.000000\n[SIDELINE]\nLINETYPE=Continuous\n"
            "LINECOLOR=1\n[MIDLINE]\nLINETYPE=CENTER\nLINECOLOR=4\n[DRAW]\nENDSTYLE=1\n"
            "[FM]\nFMNAME=\u95f8\u9600\nFMFILENAME=/opt/lib/FM/\u95f8\u9600.dxf\n")


def settings_seeds():
    put("settings_file", "draw-ini", DRAW_INI)
    put("settings_file", "crlf-with-bom", b"\xef\xbb\xbf" + DRAW_INI.replace("\n", "\r\n").encode())
    put("settings_file", "utf16le", b"\xff\xfe" + DRAW_INI.replace("\n", "\r\n").encode("utf-16-le"))
    put("settings_file", "gbk", DRAW_INI.replace("\n", "\r\n").encode("gbk"))
    put("settings_file", "odd-lines",
        "key=before any section\n; comment\n[ PIPE ]  trailing\n  DW = \"100\" \nDW=200\n"
        "noequals\n[pipe]\nWTBJ='5'\n[]\n=empty key\n[a]b]\nk=v\n[ZDY\nk2=v2\n\t[LAST]\n x = y")
    put("settings_file", "case-and-blanks", "[Pipe]\n dw\t= 1 \n[PIPE]\nDW=2\n[\u00c9t\u00e9]\nCl\u00e9=\u00e9\n")
    put("settings_file", "empty", b"")
    put("settings_file", "only-bom", b"\xef\xbb\xbf")
    put("settings_file", "utf16be", b"\xfe\xff\x00[\x00A\x00]")
    put("settings_file", "nul-byte", b"[A]\nk=\x00\n")
    put("settings_file", "not-text", b"[A]\nk=\xff\xfe\xfd\n")
    put("settings_file", "no-final-line-break", "[A]\r\nk=1")
    put("settings_file", "lone-cr", "[A]\rk=1\r[B]\nk=2\r")


# ---- device-independent bitmaps

def dib(width, height, bits, table=None, rows=None, colors_used=0, image_size=0,
        size=40, planes=1, compression=0):
    header = struct.pack("<IiiHHIIiiII", size, width, height, planes, bits, compression,
                         image_size, 2835, 2835, colors_used, 0)
    if table is None:
        entries = colors_used or ((1 << bits) if bits <= 8 else 0)
        table = b"".join(struct.pack("<BBBB", (i * 37) & 255, (i * 91) & 255, (i * 13) & 255, 0)
                         for i in range(entries))
    stride = (width * bits + 31) // 32 * 4
    if rows is None:
        rows = bytes((i * 7 + 3) & 255 for i in range(stride * abs(height)))
    return header + table + rows


def bitmap_seeds():
    put("preview_bitmap", "1-bit", dib(8, 4, 1))
    put("preview_bitmap", "4-bit", dib(5, 3, 4))
    put("preview_bitmap", "8-bit", dib(3, 3, 8))
    put("preview_bitmap", "8-bit-short-table", dib(4, 2, 8, colors_used=4))
    put("preview_bitmap", "24-bit", dib(3, 2, 24))
    put("preview_bitmap", "24-bit-with-table", dib(2, 2, 24, colors_used=2))
    put("preview_bitmap", "32-bit-top-down", dib(2, 3, 32, rows=bytes(range(24))).replace(
        struct.pack("<i", 3), struct.pack("<i", -3), 1))
    put("preview_bitmap", "image-size-given", dib(4, 4, 24, image_size=48))
    put("preview_bitmap", "rows-cut-short", dib(4, 4, 24)[:-5])
    put("preview_bitmap", "header-only", dib(4, 4, 24)[:40])
    put("preview_bitmap", "v5-header", dib(4, 4, 24, size=124))
    put("preview_bitmap", "compressed", dib(4, 4, 8, compression=1))
    put("preview_bitmap", "32x32-icon", dib(32, 32, 8))


# ---- DXF drawings from ezdxf

def tags(*pairs):
    return "".join(f"{code:>3}\n{value}\n" for code, value in pairs)


def hand_made_dxf_seeds():
    """Small files written tag by tag: the least a reader takes, and odd ones."""
    line = [(0, "LINE"), (8, "0"), (10, "0.0"), (20, "0.0"), (30, "0.0"), (11, "1.5"), (21, "-2"), (31, "0")]
    put("dxf_reader", "entities-only.dxf",
        tags((0, "SECTION"), (2, "ENTITIES"), *line, (0, "ENDSEC"), (0, "EOF")))
    put("dxf_reader", "no-eof.dxf", tags((999, "a comment"), (0, "SECTION"), (2, "ENTITIES"), *line, (0, "ENDSEC")))
    put("dxf_reader", "r12-polyline.dxf", tags(
        (0, "SECTION"), (2, "HEADER"), (9, "$ACADVER"), (1, "AC1009"), (9, "$DWGCODEPAGE"), (3, "ANSI_936"),
        (0, "ENDSEC"), (0, "SECTION"), (2, "BLOCKS"), (0, "BLOCK"), (8, "0"), (2, "B"), (70, "0"),
        (10, "0"), (20, "0"), (30, "0"), (0, "CIRCLE"), (8, "0"), (10, "1"), (20, "1"), (30, "0"), (40, "0.5"),
        (0, "ENDBLK"), (8, "0"), (0, "ENDSEC"), (0, "SECTION"), (2, "ENTITIES"),
        (0, "POLYLINE"), (8, "\xb9\xdc"), (66, "1"), (70, "1"),
        (0, "VERTEX"), (8, "0"), (10, "0"), (20, "0"), (42, "0.5"),
        (0, "VERTEX"), (8, "0"), (10, "5"), (20, "0"),
        (0, "VERTEX"), (8, "0"), (10, "5"), (20, "5"), (0, "SEQEND"),
        (0, "INSERT"), (8, "0"), (2, "B"), (10, "3"), (20, "4"), (41, "2"), (50, "90"),
        (0, "ARC"), (8, "0"), (10, "0"), (20, "0"), (40, "3"), (50, "350"), (51, "10"),
        (210, "0"), (220, "0"), (230, "-1"), (0, "ENDSEC"), (0, "EOF")).encode("latin-1"))
    put("dxf_reader", "unicode-escapes.dxf", tags(
        (0, "SECTION"), (2, "TABLES"), (0, "TABLE"), (2, "LAYER"), (70, "1"), (0, "LAYER"), (2, "\\U+7BA1\\U+9053"),
        (70, "0"), (62, "3"), (6, "CONTINUOUS"), (0, "ENDTAB"), (0, "ENDSEC"), (0, "SECTION"), (2, "ENTITIES"),
        (0, "LWPOLYLINE"), (5, "2A"), (8, "\\U+7BA1\\U+9053"), (90, "2"), (70, "0"), (43, "0.5"),
        (10, "0"), (20, "0"), (42, "-1"), (10, "10"), (20, "0"), (0, "ENDSEC"), (0, "EOF")))
    put("dxf_reader", "leader-kinds.dxf", tags(
        (0, "SECTION"), (2, "ENTITIES"),
        (0, "LEADER"), (8, "0"), (100, "AcDbLeader"), (3, "Standard"), (71, "1"), (72, "1"), (73, "0"), (76, "3"),
        (10, "0"), (20, "0"), (10, "5"), (20, "5"), (30, "0"), (10, "9"), (20, "5"), (340, "2F"),
        (211, "1"), (221, "0"), (231, "0"), (213, "-1"), (223, "0.5"), (233, "0"),
        (0, "LEADER"), (8, "0"), (100, "AcDbLeader"), (76, "4"), (10, "0"), (20, "0"), (10, "1"), (20, "1"),
        (0, "LEADER"), (8, "0"), (100, "AcDbLeader"), (20, "1"), (10, "0"), (10, "1"), (0, "ENDSEC"), (0, "EOF")))
    vertex = lambda h, flags, *rest, layer="0": [(0, "VERTEX"), (5, h), (100, "AcDbEntity"), (8, layer),
                                                 (100, "AcDbVertex"), *rest, (70, flags)]
    put("dxf_reader", "old-style-polylines.dxf", tags(
        (0, "SECTION"), (2, "ENTITIES"),
        # curve-fit, below its plane, a vertex with a tangent and one of its own layer and data
        (0, "POLYLINE"), (5, "A0"), (100, "AcDbEntity"), (8, "0"), (100, "AcDb2dPolyline"), (66, "1"),
        (10, "0"), (20, "0"), (30, "5"), (70, "3"), (40, "0.5"), (41, "0.5"), (210, "0"), (220, "0"), (230, "-1"),
        *vertex("A1", "2", (100, "AcDb2dVertex"), (10, "0"), (20, "0"), (30, "0"), (42, "0.25"), (50, "90")),
        *vertex("A2", "1", (100, "AcDb2dVertex"), (10, "3"), (20, "1"), (30, "0"), layer="P"),
        (1001, "ACAD"), (1000, "x"),
        (0, "SEQEND"), (5, "A3"), (100, "AcDbEntity"), (8, "0"),
        # a polyface with a hidden edge, a vertex handle taken twice
        (0, "POLYLINE"), (5, "B0"), (100, "AcDbEntity"), (8, "0"), (100, "AcDbPolyFaceMesh"), (66, "1"),
        (70, "64"), (71, "3"), (72, "1"),
        *vertex("B1", "192", (100, "AcDbPolyFaceMeshVertex"), (10, "0"), (20, "0"), (30, "1")),
        *vertex("A1", "192", (100, "AcDbPolyFaceMeshVertex"), (10, "4"), (20, "0"), (30, "1")),
        *vertex("B3", "192", (100, "AcDbPolyFaceMeshVertex"), (10, "4"), (20, "4"), (30, "1")),
        (0, "VERTEX"), (5, "B4"), (100, "AcDbEntity"), (8, "0"), (100, "AcDbFaceRecord"), (10, "0"), (20, "0"),
        (30, "0"), (70, "128"), (71, "1"), (72, "2"), (73, "-3"),
        (0, "SEQEND"), (5, "B5"), (100, "AcDbEntity"), (8, "0"),
        # a polygon mesh of 2 by 2, closed in N, without SEQEND
        (0, "POLYLINE"), (5, "C0"), (100, "AcDbEntity"), (8, "0"), (100, "AcDbPolygonMesh"), (66, "1"),
        (70, "48"), (71, "2"), (72, "2"),
        *vertex("C1", "64", (10, "0"), (20, "0"), (30, "0")), *vertex("C2", "64", (10, "1"), (20, "0"), (30, "1")),
        *vertex("C3", "64", (10, "0"), (20, "1"), (30, "0")), *vertex("C4", "64", (10, "1"), (20, "1"), (30, "1")),
        (0, "ENDSEC"), (0, "EOF")))
    put("dxf_reader", "binary-dxf.dxf", b"AutoCAD Binary DXF\r\n\x1a\x00" + bytes(range(64)))
    put("dxf_reader", "cut-short.dxf", tags((0, "SECTION"), (2, "ENTITIES"), (0, "LINE"), (10, "1"))[:-2])
    put("dxf_reader", "empty.dxf", b"")


def dxf_seeds():
    hand_made_dxf_seeds()
    sys.path.insert(0, "/usr/lib/python3/dist-packages")
    import ezdxf  # noqa: E402

    for version in ("R12", "R2000", "R2007", "R2018"):
        doc = ezdxf.new(version)
        doc.layers.add("\u7ba1\u9053", color=3)
        msp = doc.modelspace()
        msp.add_line((0, 0), (10, 0), dxfattribs={"layer": "\u7ba1\u9053"})
        msp.add_circle((5, 5), 2.5)
        msp.add_arc((0, 0), 4, 30, 200)
        if version == "R12":
            msp.add_polyline2d([(0, 0), (3, 0), (3, 3)], close=True)
        else:
            msp.add_lwpolyline([(0, 0, 0, 0, 0.5), (3, 0), (3, 3)], close=True)
        block = doc.blocks.new("\u9600")
        block.add_line((0, 0), (1, 1))
        block.add_circle((0.5, 0.5), 0.25)
        msp.add_blockref("\u9600", (20, 20), dxfattribs={"xscale": 2, "rotation": 30})
        msp.add_text("note", dxfattribs={"insert": (1, 1)})
        path = os.path.join(HERE, "corpus", "dxf_reader", "ezdxf-" + version.lower() + ".dxf")
        doc.saveas(path)
    kinds_seed(ezdxf)


def all_kinds(ezdxf):
    """A drawing with one of every kind that pictures draw from kept tags."""
    import math
    doc = ezdxf.new("R2010", setup=True)
    msp = doc.modelspace()
    doc.styles.new("CN", dxfattribs={"font": "txt.shx", "bigfont": "gbcbig.shx"})
    msp.add_text("\u7ba1 %%c50", dxfattribs={"height": 2, "style": "CN", "rotation": 30, "width": 0.8})
    msp.add_mtext("{\\C1;red}\\P\\S1/2;\\U+4E2D %%d", dxfattribs={"char_height": 2, "width": 20})
    solid = msp.add_hatch(color=1)
    solid.paths.add_polyline_path([(0, 0, 0.5), (10, 0), (10, 10), (0, 10)], is_closed=True, flags=1)
    solid.paths.add_polyline_path([(3, 3), (6, 3), (6, 6)], is_closed=True, flags=16)
    pattern = msp.add_hatch()
    pattern.set_pattern_fill("ANSI31", color=5, scale=0.5)
    edges = pattern.paths.add_edge_path(flags=1)
    edges.add_line((20, 0), (30, 0))
    edges.add_arc((30, 5), 5, -90, 90)
    edges.add_ellipse((25, 10), major_axis=(5, 0), ratio=0.5, start_angle=0, end_angle=180)
    edges.add_spline(control_points=[(20, 10), (18, 5), (20, 0)], knot_values=[0, 0, 0, 1, 1, 1], degree=2)
    msp.add_ellipse((40, 5), major_axis=(5, 2), ratio=0.5, start_param=0, end_param=math.pi)
    msp.add_spline([(50, 0), (55, 5), (60, 0)])
    msp.add_open_spline([(50, 10), (55, 15), (60, 10), (65, 15)])
    msp.add_point((70, 0))
    msp.add_solid([(70, 5), (75, 5), (70, 10)])
    msp.add_trace([(80, 5), (85, 5), (80, 10), (85, 10)])
    msp.add_3dface([(90, 0, 0), (95, 0, 1), (95, 5, 0)], dxfattribs={"invisible": 2})
    msp.add_polyline3d([(0, 20, 0), (5, 25, 5), (10, 20, 1)])
    face = msp.add_polyface()
    face.append_face([(20, 20, 0), (25, 20, 0), (25, 25, 1)])
    mesh = msp.add_polymesh((2, 2))
    for m in range(2):
        for n in range(2):
            mesh.set_mesh_vertex((m, n), (30 + 5 * m, 20 + 5 * n, m * n))
    dim = msp.add_linear_dim(base=(0, -10), p1=(0, -5), p2=(20, -5), dimstyle="EZDXF")
    dim.render()
    block = doc.blocks.new("TAGGED")
    block.add_circle((0, 0), 1)
    block.add_attdef("TAG", (0, -2))
    ref = msp.add_blockref("TAGGED", (40, 20), dxfattribs={"color": 3})
    ref.add_attrib("TAG", "V", (40, 18))
    grid = msp.add_blockref("TAGGED", (50, 20))
    grid.dxf.column_count, grid.dxf.row_count, grid.dxf.column_spacing, grid.dxf.row_spacing = 3, 2, 3, 3
    msp.add_leader([(60, 20), (65, 25), (70, 25)])
    return doc


def tag_text(entity):
    """The tags of one entity as "code\nvalue\n" lines, as the hatch target reads them."""
    from ezdxf.lldxf.tagwriter import TagCollector
    collector = TagCollector(dxfversion=entity.doc.dxfversion)
    entity.export_dxf(collector)
    return "".join(f"{t.code}\n{t.value}\n" for t in collector.tags[1:])


def kinds_seed(ezdxf):
    doc = all_kinds(ezdxf)
    doc.saveas(os.path.join(HERE, "corpus", "dxf_reader", "ezdxf-all-kinds.dxf"))
    for i, hatch in enumerate(doc.modelspace().query("HATCH")):
        put("hatch_boundary", f"ezdxf-hatch-{i}", tag_text(hatch))
    put("hatch_boundary", "nested-islands", "".join(f"{c}\n{v}\n" for c, v in [
        (70, 1), (91, 3), (92, 3), (72, 0), (73, 1), (93, 4), (10, 0), (20, 0), (10, 9), (20, 0), (10, 9), (20, 9),
        (10, 0), (20, 9), (97, 0), (92, 18), (72, 0), (73, 1), (93, 4), (10, 2), (20, 2), (10, 7), (20, 2), (10, 7),
        (20, 7), (10, 2), (20, 7), (97, 0), (92, 2), (72, 1), (73, 1), (93, 3), (10, 4), (20, 4), (42, 1), (10, 5),
        (20, 4), (10, 5), (20, 5), (97, 0), (75, 1), (76, 1), (98, 0)]))


def mtext_seeds():
    texts = {
        "plain": "plain text",
        "paragraphs": "one\\Ptwo\\Nthree\\Xfour^Jfive",
        "fonts-and-sizes": "{\\fArial|b1|i0|c0|p34;bold}{\\H2x;big}{\\H0.5;small}\\W2;wide\\Q15;slant\\T1.5;",
        "colours": "\\C1;red{\\C256;layer}\\c16711680;blue",
        "stacks": "\\S1/2;\\S+0.1^-0.2;\\S3#4;\\Sa\\;b^c;",
        "specials": "%%c50 %%d %%p %%% \\U+4E2D \\~ \\\\ \\{ \\}",
        "paragraph-codes": "\\pxqc;centre\\P\\pi-1,l2,t4;indent",
        "unterminated": "\\H2\\fArial",
        "deep-groups": "{" * 100 + "x" + "}" * 90,
        "chinese": "\u7ba1\u9053\\P\u5bbd\u5ea6",
        "lines": "\\Lunder\\l\\Oover\\o\\Kstrike\\k",
    }
    for name, text in texts.items():
        put("mtext_codes", name, text)


# ---- hatch patterns and hatch areas

def pattern_seeds():
    # The program's own patterns, one of each line form: solid, dashed, dots, negative offsets.
    with open(os.path.join(HERE, "..", "host", "app", "resources", "orvcad.pat"), encoding="utf-8") as f:
        blocks = f.read().split("\n\n")
    keep = [b for b in blocks if b.startswith(("*SOLID,", "*ANSI38,", "*DOTS,", "*CROSS,", "*AR-CONC,"))]
    put("pattern_file", "program-patterns", "\n\n".join(keep) + "\n")
    put("pattern_file", "bad-lines", "*A, bad\n0,0,x,0,1\n*a\n45,0,0,0,0\n*B\n0,0,0,0,1,-1,-2\n*SOLID\n\r\n"
        "*C\n0,0,0,0,1e999\n")
    put("pattern_file", "empty", "")


def hatch_area_seeds():
    # Four bytes place the point; seven make a segment (0), an arc (1) or a circle (2) on
    # a grid of half units (a byte b is (b % 32) / 2).
    def seg(x0, y0, x1, y1):
        return bytes([0, x0, y0, x1, y1, 0, 0])

    def circle(x, y, r):
        return bytes([2, x, y, 0, 0, r, 0])

    def arc(x, y, r, start):
        return bytes([1, x, y, 0, 0, r, start])

    rect = seg(2, 2, 20, 2) + seg(20, 2, 20, 20) + seg(20, 20, 2, 20) + seg(2, 20, 2, 2)
    put("hatch_area", "room-with-column", bytes([10, 0, 10, 0]) + rect + circle(12, 12, 4))
    put("hatch_area", "crossing-lines", bytes([8, 1, 8, 1]) + seg(0, 4, 30, 4) + seg(4, 0, 4, 30) +
        seg(30, 12, 0, 12) + seg(12, 30, 12, 0) + seg(8, 8, 28, 28))
    put("hatch_area", "arcs-and-gap", bytes([6, 0, 6, 0]) + arc(6, 6, 8, 3) + seg(0, 0, 12, 0) +
        circle(6, 6, 6) + seg(2, 2, 2, 9))


def main():
    pattern_seeds()
    hatch_area_seeds()
    reply_seeds()
    script_seeds()
    settings_seeds()
    bitmap_seeds()
    mtext_seeds()
    dxf_seeds()


if __name__ == "__main__":
    main()
