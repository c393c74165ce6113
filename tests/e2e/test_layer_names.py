"""LAYER R and LAYER D from a script on a drawing read from DXF: a renamed layer takes
every entity on it along (in model space and in a block), an unused layer is deleted,
what is in use is refused in Chinese, UNDO puts everything back; entities on a locked
layer are not chosen at "选择对象:". Each state saved and read back with ezdxf."""
import os
import unittest

import ezdxf

from dxfcheck import read_audited
from orvharness import Session, main


class LayerNames(unittest.TestCase):
    def test_rename_delete_undo_and_locked_layers_in_the_saved_drawing(self):
        s = Session(self)
        source = os.path.join(s.dir, "before.dxf")
        doc = ezdxf.new("R2000")
        doc.layers.add("PIPE", color=3)
        doc.layers.add("SPARE", color=4)
        doc.layers.add("HELD", color=5).lock()
        block = doc.blocks.new("VALVE")
        block.add_line((0, 0), (1, 0), dxfattribs={"layer": "PIPE"})
        m = doc.modelspace()
        m.add_line((0, 0), (10, 0), dxfattribs={"layer": "PIPE"})
        m.add_line((0, 10), (10, 10), dxfattribs={"layer": "HELD"})
        m.add_blockref("VALVE", (20, 0))
        doc.saveas(source)
        renamed, deleted, undone, erased = (os.path.join(s.dir, n + ".dxf")
                                            for n in ("renamed", "deleted", "undone", "erased"))
        out, _, _ = s.run([
            "LAYER R PIPE,管道", "SAVEAS", renamed,
            "LAYER D SPARE", "LAYER D 管道", "LAYER D 0", "LAYER R 0,ZERO", "LAYER R 管道,held",
            "SAVEAS", deleted,
            "UNDO", "UNDO", "SAVEAS", undone,
            "ERASE", "ALL", "", "SAVEAS", erased], args=[source])
        for said in ("图层“管道”上有对象，不能删除。", "不能删除图层“0”。", "不能重命名图层“0”。",
                     "图层“HELD”已存在。", "找到 3 个\n1 个在锁定的图层上。"):
            self.assertIn(said, out)

        def layers(d):
            return {l.dxf.name for l in d.layers} - {"0", "Defpoints"}

        def on(d):
            return (sorted(e.dxf.layer for e in d.modelspace().query("LINE")),
                    [e.dxf.layer for e in d.blocks.get("VALVE")])

        got = read_audited(self, renamed)
        self.assertEqual((layers(got), got.layers.get("管道").color), ({"管道", "SPARE", "HELD"}, 3))
        self.assertEqual(on(got), (["HELD", "管道"], ["管道"]))
        self.assertEqual(layers(read_audited(self, deleted)), {"管道", "HELD"})
        got = read_audited(self, undone)
        self.assertEqual((layers(got), on(got)), ({"HELD", "PIPE", "SPARE"}, (["HELD", "PIPE"], ["PIPE"])))
        got = read_audited(self, erased)
        self.assertEqual(on(got)[0], ["HELD"], "the line on the locked layer stays")
        self.assertEqual(len(got.modelspace().query("INSERT")), 0)


if __name__ == "__main__":
    main()
