"""MOVE, ROTATE, SCALE, MIRROR and COPY on every kind of entity a drawing holds, each
saved drawing read back with ezdxf and compared entity by entity with what ezdxf's own
transforms make of the original; UNDO and REDO after each."""
import math
import os
import unittest

import ezdxf
from ezdxf import path as ezpath
from ezdxf.math import Matrix44, Vec3

from dxfcheck import read_audited
from orvharness import Session, main


def write_kinds(path):
    """A drawing of every kind: modeled ones and those the host keeps as read."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    doc.layers.add("PIPE", color=3)
    msp.add_line((0, 0), (30, 5), dxfattribs={"layer": "PIPE"})
    msp.add_circle((90, 120), 5)
    msp.add_arc((110, 120), 5, 30, 120)
    msp.add_lwpolyline([(60, 120, 0, 0, 0.5), (70, 120, 1, 1, 0), (80, 125, 0, 0, 0)], format="xyseb")
    msp.add_text("ABC", dxfattribs={"height": 2.5, "insert": (10, 10), "layer": "PIPE"})
    right = msp.add_text("RIGHT", dxfattribs={"height": 2})
    right.set_placement((30, 10), align=ezdxf.enums.TextEntityAlignment.MIDDLE_RIGHT)
    msp.add_mtext("Hello\\PWorld", dxfattribs={"char_height": 2, "insert": (50, 10)})
    msp.add_ellipse((0, 40), major_axis=(10, 0), ratio=0.5, start_param=0, end_param=1.5)
    msp.add_spline([(0, 60), (10, 70), (20, 60), (30, 70)])
    hatch = msp.add_hatch(color=2)
    hatch.paths.add_polyline_path([(60, 40), (80, 40), (80, 60), (60, 60)], is_closed=True)
    edges = hatch.paths.add_edge_path()
    edges.add_line((100, 40), (120, 40))
    edges.add_arc((110, 40), 10, 0, 180, ccw=True)
    msp.add_solid([(0, 80), (10, 80), (0, 90), (10, 90)])
    valve = doc.blocks.new("VALVE")
    valve.add_line((0, 0), (10, 0))
    valve.add_attdef("TAG", (0, 2), dxfattribs={"height": 1})
    ref = msp.add_blockref("VALVE", (40, 80), dxfattribs={"rotation": 15})
    ref.add_attrib("TAG", "V-101", (40, 82), dxfattribs={"height": 1})
    msp.add_linear_dim(base=(0, 100), p1=(0, 95), p2=(20, 95)).render()
    msp.add_polyline3d([(0, 120, 0), (10, 125, 5), (20, 120, 0)])
    msp.add_point((50, 120))
    doc.saveas(path)


def about(matrix, x, y):
    """The matrix applied about the point (x, y)."""
    return Matrix44.chain(Matrix44.translate(-x, -y, 0), matrix, Matrix44.translate(x, y, 0))


MIRROR_Y20 = about(Matrix44.scale(1, -1, 1), 0, -20)  # in the line y = -20

CASES = [
    ("MOVE", ["MOVE", "ALL", "", "10,20", "110,70"], Matrix44.translate(100, 50, 0)),
    ("ROTATE", ["ROTATE", "ALL", "", "10,20", "30"], about(Matrix44.z_rotate(math.radians(30)), 10, 20)),
    ("ROTATE by a point", ["RO", "ALL", "", "10,20", "10,30"], about(Matrix44.z_rotate(math.pi / 2), 10, 20)),
    ("SCALE", ["SCALE", "ALL", "", "10,20", "2"], about(Matrix44.scale(2, 2, 2), 10, 20)),
    ("SCALE by a point", ["SC", "ALL", "", "10,20", "10,20.5"], about(Matrix44.scale(0.5, 0.5, 0.5), 10, 20)),
    ("MIRROR", ["MIRROR", "ALL", "", "0,-20", "10,-20", "Y"], MIRROR_Y20),
]


def flattened(e):
    """Points along what an entity draws, world coordinates."""
    if e.dxftype() == "HATCH":
        paths = list(ezpath.from_hatch(e))
    else:
        paths = [ezpath.make_path(e)]
    return [Vec3(v) for p in paths for v in p.flattening(0.01)]


def far(a, b):
    """How far the farther of two polylines lies from the other (Hausdorff distance)."""
    def to_segment(u, p, q):
        d = q - p
        t = 0 if d.magnitude == 0 else max(0.0, min(1.0, (u - p).dot(d) / d.dot(d)))
        return u.distance(p + d * t)

    def one_way(p, q):
        if len(q) == 1:
            return max(u.distance(q[0]) for u in p)
        return max(min(to_segment(u, q[i], q[i + 1]) for i in range(len(q) - 1)) for u in p)
    return max(one_way(a, b), one_way(b, a))


PATHS = {"LINE", "CIRCLE", "ARC", "LWPOLYLINE", "ELLIPSE", "SPLINE", "HATCH", "SOLID", "POLYLINE"}


class Editing(unittest.TestCase):
    def assertClose(self, a, b, what, tol=1e-6):
        a, b = Vec3(a), Vec3(b)
        self.assertLess(a.distance(b), tol, f"{what}: {a} != {b}")

    def compare(self, got, want, mirrored, where):
        """One saved entity against ezdxf's transform of the original."""
        kind = want.dxftype()
        what = f"{where}: {kind} {got.dxf.handle}"
        self.assertEqual(got.dxftype(), kind, what)
        self.assertEqual(got.dxf.layer, want.dxf.layer, what)
        if kind in PATHS:
            self.assertLess(far(flattened(got), flattened(want)), 0.05, what)
        elif kind == "INSERT":
            for x, y in zip(got.matrix44(), want.matrix44()):
                self.assertAlmostEqual(x, y, places=6, msg=what)
            self.assertEqual([a.dxf.text for a in got.attribs], [a.dxf.text for a in want.attribs], what)
            for g, w in zip(got.attribs, want.attribs):
                self.compare(g, w, mirrored, where + " attribute")
        elif kind in ("TEXT", "ATTRIB"):
            # Under a mirror the text keeps reading as it did; compared below.
            if mirrored:
                return
            self.assertClose(got.dxf.insert, want.dxf.insert, what)
            self.assertAlmostEqual(got.dxf.rotation % 360, want.dxf.rotation % 360, places=6, msg=what)
            self.assertAlmostEqual(got.dxf.height, want.dxf.height, places=9, msg=what)
            self.assertEqual((got.dxf.halign, got.dxf.valign), (want.dxf.halign, want.dxf.valign), what)
            if want.dxf.halign or want.dxf.valign:
                self.assertClose(got.dxf.align_point, want.dxf.align_point, what)
        elif kind == "MTEXT":
            self.assertClose(got.dxf.insert, want.dxf.insert, what)
            self.assertAlmostEqual(got.dxf.char_height, want.dxf.char_height, places=9, msg=what)
            if not mirrored:
                self.assertAlmostEqual(got.get_rotation() % 360, want.get_rotation() % 360, places=6, msg=what)
        elif kind == "POINT":
            self.assertClose(got.dxf.location, want.dxf.location, what)
        elif kind == "DIMENSION":
            for name in ("defpoint", "defpoint2", "defpoint3"):
                self.assertClose(got.dxf.get(name), want.dxf.get(name), what + " " + name)
            block = got.doc.blocks.get(got.dxf.geometry)
            self.assertIsNotNone(block, what)
        else:
            self.fail(f"{what}: not compared")

    def compare_drawings(self, got_path, original, matrix, where, mirrored=False):
        got = read_audited(self, got_path)
        want = [e.copy() for e in original.modelspace()]
        for e in want:
            e.transform(matrix)  # an INSERT's attributes with it
        by_handle = {e.dxf.handle: e for e in got.modelspace()}
        for w, o in zip(want, original.modelspace()):
            self.assertIn(o.dxf.handle, by_handle, where)
            self.compare(by_handle[o.dxf.handle], w, mirrored, where)
        # A dimension's picture moves with it.
        for o in original.modelspace().query("DIMENSION"):
            line = [e for e in original.blocks.get(o.dxf.geometry) if e.dxftype() == "LINE"][0].copy()
            line.transform(matrix)
            moved = [e for e in got.blocks.get(by_handle[o.dxf.handle].dxf.geometry) if e.dxftype() == "LINE"][0]
            self.assertLess(far(flattened(moved), flattened(line)), 1e-6, where + ": dimension picture")
        return got

    def test_transforms_of_every_kind_then_undo_and_redo(self):
        for name, commands, matrix in CASES:
            with self.subTest(name):
                s = Session(self)
                source = os.path.join(s.dir, "kinds.dxf")
                write_kinds(source)
                original = ezdxf.readfile(source)
                out = {k: os.path.join(s.dir, k + ".dxf") for k in ("done", "undone", "redone")}
                script = commands + ["SAVEAS", out["done"], "UNDO", "SAVEAS", out["undone"],
                                     "REDO", "SAVEAS", out["redone"]]
                transcript, _, _ = s.run(script, args=[source])
                self.assertIn(f"找到 {len(original.modelspace())} 个", transcript)
                self.assertNotIn("未能", transcript)
                mirrored = name == "MIRROR"
                done = self.compare_drawings(out["done"], original, matrix, name, mirrored)
                self.compare_drawings(out["undone"], original, Matrix44(), name + ", undone")
                self.compare_drawings(out["redone"], original, matrix, name + ", redone", mirrored)
                if mirrored:
                    self.check_mirrored_text(done)

    def check_mirrored_text(self, doc):
        """In the line y = -20 text hangs below it, reading left to right, upright."""
        texts = {t.dxf.text: t for t in doc.modelspace().query("TEXT")}
        abc = texts["ABC"]  # left on its baseline at (10, 10): now top left at (10, -50)
        self.assertEqual((abc.dxf.halign, abc.dxf.valign, abc.dxf.rotation % 360), (0, 3, 0))
        self.assertClose(abc.dxf.align_point, (10, -50, 0), "ABC")
        right = texts["RIGHT"]  # middle right stays middle right
        self.assertEqual((right.dxf.halign, right.dxf.valign), (2, 2))
        self.assertClose(right.dxf.align_point, (30, -50, 0), "RIGHT")
        mtext = doc.modelspace().query("MTEXT")[0]  # hung from its top left: now its bottom left
        self.assertEqual(mtext.dxf.attachment_point, 7)
        self.assertClose(mtext.dxf.insert, (50, -50, 0), "MTEXT")
        attrib = doc.modelspace().query("INSERT")[0].attribs[0]  # at (40, 82): now hung at (40, -122)
        self.assertEqual((attrib.dxf.halign, attrib.dxf.valign, attrib.dxf.rotation % 360), (0, 3, 0))
        self.assertClose(attrib.dxf.align_point, (40, -122, 0), "ATTRIB")

    def test_copies_are_new_entities_with_their_attributes_and_dimension_pictures(self):
        s = Session(self)
        source = os.path.join(s.dir, "kinds.dxf")
        write_kinds(source)
        original = ezdxf.readfile(source)
        saved = os.path.join(s.dir, "copied.dxf")
        undone = os.path.join(s.dir, "undone.dxf")
        out, _, _ = s.run(["CO", "ALL", "", "0,0", "200,0", "0,300", "",
                           "SAVEAS", saved, "U", "SAVEAS", undone], args=[source])
        self.assertIn("\n指定第二个点或 <退出>: ", out)
        doc = read_audited(self, saved)
        n = len(original.modelspace())
        got = list(doc.modelspace())
        self.assertEqual(len(got), 3 * n)
        handles = {e.dxf.handle for e in got}
        self.assertEqual(len(handles), 3 * n, "every copy has a handle of its own")
        for k, (dx, dy) in enumerate([(200, 0), (0, 300)]):
            for o, g in zip(original.modelspace(), got[(k + 1) * n:(k + 2) * n]):
                want = o.copy()
                want.transform(Matrix44.translate(dx, dy, 0))
                self.compare(g, want, False, f"copy {k + 1}")
        # Each dimension draws through a picture block of its own, moved with it.
        dims = doc.modelspace().query("DIMENSION")
        blocks = [d.dxf.geometry for d in dims]
        self.assertEqual(len(set(blocks)), 3, blocks)
        first = [e for e in doc.blocks.get(blocks[0]) if e.dxftype() == "LINE"][0]
        moved = [e for e in doc.blocks.get(blocks[1]) if e.dxftype() == "LINE"][0]
        self.assertClose(moved.dxf.start, first.dxf.start + Vec3(200, 0, 0), "dimension picture")
        # One UNDO takes back both copies.
        self.assertEqual(len(read_audited(self, undone).modelspace()), n)

    def test_refusals_and_bad_replies_change_nothing(self):
        s = Session(self)
        source = os.path.join(s.dir, "kinds.dxf")
        write_kinds(source)
        saved = os.path.join(s.dir, "out.dxf")
        out, _, _ = s.run(["ROTATE", "ALL", "", "abc", "0,0", "xyz", "", "^C",
                           "SCALE", "L", "", "0,0", "0", "-2", "0,0", "^C",
                           "MIRROR", "L", "", "0,0", "0,0", "^C",
                           "MOVE", "ALL", "", "^C"], args=[source, "--save", saved])
        self.assertIn("\n指定基点: abc\n\n点无效。\n指定基点: ", out)
        self.assertIn("\n指定旋转角度: xyz\n\n需要数值或点。\n指定旋转角度: ", out)
        self.assertIn("\n指定比例因子: 0\n\n值不能为零。\n指定比例因子: -2\n\n值不能为负。", out)
        self.assertIn("\n指定比例因子: 0,0\n\n值不能为零。", out)
        self.assertIn("\n指定镜像线的第二点: 0,0\n\n镜像线的两点不能重合。", out)
        original = ezdxf.readfile(source)
        self.compare_drawings(saved, original, Matrix44(), "after cancels")


if __name__ == "__main__":
    main()
