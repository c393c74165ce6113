"""BLOCKICON end to end: a drawing another program made gets a preview icon in each
block, kept through saving and opening, so that it can serve as a part library drawing."""
import os
import struct
import unittest

import ezdxf

from dxfcheck import read_audited
from orvharness import COMMAND, Session, main, reply


def block_icons(path):
    """The bytes of each block record's preview icon (the 310 tags), by block name."""
    with open(path, "rb") as f:
        lines = f.read().decode("gbk").splitlines()
    icons, kind, name = {}, None, None
    for code, value in zip(lines[0::2], lines[1::2]):
        code = code.strip()
        if code == "0":
            kind, name = value, None
        elif kind == "BLOCK_RECORD" and code == "2":
            name = value
        elif kind == "BLOCK_RECORD" and code == "310" and name is not None:
            icons[name] = icons.get(name, b"") + bytes.fromhex(value)
    return icons


def made_by_ezdxf(path):
    doc = ezdxf.new("R2000")
    doc.encoding = "gbk"
    doc.layers.add("阀门", color=1)
    valve = doc.blocks.new("闸阀")
    valve.add_lwpolyline([(0, 0), (300, 219), (300, 0), (0, 219)], close=True)
    valve.add_line((150, 109.5), (150, 219), dxfattribs={"layer": "阀门"})
    doc.blocks.new("空块")
    doc.modelspace().add_blockref("闸阀", (0, 0))
    doc.saveas(path)


class BlockIcon(unittest.TestCase):
    def test_every_block_with_something_to_draw_gets_an_icon_that_stays(self):
        s = Session(self)
        source = os.path.join(s.dir, "闸阀.dxf")
        made_by_ezdxf(source)
        saved = os.path.join(s.dir, "lib.dxf")
        out, _, _ = s.run(["BLOCKICON", "SAVEAS", saved], args=[source])
        self.assertIn(reply(COMMAND, "BLOCKICON") +
                      "\n已为 1 个块存入预览图标。\n1 个块没有可画的内容，没有图标。", out)

        read_audited(self, saved)
        icons = block_icons(saved)
        self.assertEqual(set(icons), {"闸阀"})
        icon = icons["闸阀"]
        size, width, height, planes, bits, compression = struct.unpack("<IiiHHI", icon[:20])
        self.assertEqual((size, width, height, planes, bits, compression), (40, 48, 48, 1, 24, 0))
        self.assertEqual(len(icon), 40 + 48 * 48 * 3)
        pixels = icon[40:]
        self.assertIn(b"\xff\xff\xff", pixels, "a white page")
        self.assertTrue(any(max(pixels[i:i + 3]) < 100 for i in range(0, len(pixels), 3)),
                        "the valve drawn in black")
        self.assertTrue(any(pixels[i + 2] > pixels[i] + 60 and pixels[i + 2] > pixels[i + 1] + 60 for i in range(0, len(pixels), 3)),
                        "the stem drawn in the layer's red")

        # Opened again, the icon is there: nothing left to do, and saving keeps it.
        again = os.path.join(s.dir, "again.dxf")
        out, _, _ = s.run(["BLOCKICON", "SAVEAS", again], args=[saved])
        self.assertIn(reply(COMMAND, "BLOCKICON") + "\n没有存入新的预览图标。\n1 个块原有图标，没有改动。"
                      "\n1 个块没有可画的内容，没有图标。", out)
        self.assertEqual(block_icons(again), icons)

    def test_a_drawing_without_blocks_says_so(self):
        s = Session(self)
        out, _, _ = s.run(["BLOCKICON"])
        self.assertIn(reply(COMMAND, "BLOCKICON") + "\n图形中没有块。", out)


if __name__ == "__main__":
    main()
