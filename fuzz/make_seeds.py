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


def main():
    reply_seeds()
    script_seeds()
    settings_seeds()
    bitmap_seeds()
    dxf_seeds()


if __name__ == "__main__":
    main()
