"""Old-style polylines (a 3D polyline, a polyface mesh with hidden edges, a polygon mesh)
moved, turned and exploded by a script; each saved drawing read back with ezdxf, audit
clean, against coordinates worked out by hand. The vertices keep their handles through
the edits."""
import os
import unittest

import ezdxf

from dxfcheck import read_audited
from orvharness import Session, main


def n(v):
    return round(v, 6) + 0.0


def pt(p):
    return (n(p[0]), n(p[1]), n(p[2]))


def write_drawing(path):
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    msp.add_polyline3d([(0, 0, 0), (10, 0, 5), (10, 10, 0)], close=True)
    # Two triangles of a square at z 1; the diagonal hidden in both.
    faces = msp.add_polyface()
    faces.append_faces([[(0, 0, 1), (4, 0, 1), (4, 4, 1)], [(4, 4, 1), (0, 4, 1), (0, 0, 1)]])
    for v in faces.vertices:
        if v.dxf.flags & 128 and not v.dxf.flags & 64:
            v.dxf.vtx2 = -abs(v.dxf.vtx2)
    mesh = msp.add_polymesh((2, 2))
    for (i, j), p in {(0, 0): (20, 0, 0), (0, 1): (20, 3, 0), (1, 0): (23, 0, 2), (1, 1): (23, 3, 2)}.items():
        mesh.set_mesh_vertex((i, j), p)
    doc.saveas(path)


def handles(doc):
    """The handles of every polyline's vertices, by the polyline's."""
    return {e.dxf.handle: [v.dxf.handle for v in e.vertices] for e in doc.modelspace() if e.dxftype() == "POLYLINE"}


def turned(p):
    """Moved by (100, 50), then turned a quarter about the origin."""
    x, y, z = p[0] + 100, p[1] + 50, p[2]
    return (-y, x, z)


class OldStylePolylines(unittest.TestCase):
    def test_moved_turned_and_exploded(self):
        s = Session(self)
        source = os.path.join(s.dir, "before.dxf")
        write_drawing(source)
        moved, rotated, exploded = (os.path.join(s.dir, k + ".dxf") for k in ("moved", "rotated", "exploded"))
        transcript, _, _ = s.run(["MOVE", "ALL", "", "0,0", "100,50", "SAVEAS", moved,
                                  "ROTATE", "ALL", "", "0,0", "90", "SAVEAS", rotated,
                                  "EXPLODE", "ALL", "", "SAVEAS", exploded], args=[source])
        for refusal in ("无法", "不能", "未知命令"):
            self.assertNotIn(refusal, transcript)
        before = read_audited(self, source)

        for path, where in ((moved, "moved"), (rotated, "rotated")):
            doc = read_audited(self, path)
            self.assertEqual(handles(doc), handles(before), where + ": the vertices keep their handles")
        doc = read_audited(self, rotated)
        chain, faces, mesh = [e for e in doc.modelspace() if e.dxftype() == "POLYLINE"]
        self.assertTrue(chain.is_3d_polyline and chain.is_closed)
        self.assertEqual([pt(v.dxf.location) for v in chain.vertices],
                         [(-50, 100, 0), (-50, 110, 5), (-60, 110, 0)])
        self.assertTrue(faces.is_poly_face_mesh)
        self.assertEqual([pt(v.dxf.location) for v in faces.vertices if v.dxf.flags & 64],
                         [(-50, 100, 1), (-50, 104, 1), (-54, 104, 1), (-54, 100, 1)])
        self.assertEqual([(v.dxf.vtx0, v.dxf.vtx1, v.dxf.vtx2) for v in faces.vertices if not v.dxf.flags & 64],
                         [(1, 2, -3), (3, 4, -1)], "face records name the same vertices")
        self.assertTrue(mesh.is_polygon_mesh)
        self.assertEqual([pt(v.dxf.location) for v in mesh.vertices],
                         [pt(turned(p)) for p in ((20, 0, 0), (20, 3, 0), (23, 0, 2), (23, 3, 2))])

        doc = read_audited(self, exploded)
        kinds = sorted(e.dxftype() for e in doc.modelspace())
        self.assertEqual(kinds, ["3DFACE"] * 3 + ["LINE"] * 3)
        lines = sorted((pt(e.dxf.start), pt(e.dxf.end)) for e in doc.modelspace() if e.dxftype() == "LINE")
        self.assertEqual(lines, sorted([((-50, 100, 0), (-50, 110, 5)), ((-50, 110, 5), (-60, 110, 0)),
                                        ((-60, 110, 0), (-50, 100, 0))]))
        faces3d = sorted((tuple(pt(e.dxf.get(k)) for k in ("vtx0", "vtx1", "vtx2", "vtx3")), e.dxf.get("invisible", 0))
                         for e in doc.modelspace() if e.dxftype() == "3DFACE")
        quad = tuple(pt(turned(p)) for p in ((20, 0, 0), (20, 3, 0), (23, 3, 2), (23, 0, 2)))
        self.assertEqual(faces3d, sorted([
            (((-50, 100, 1), (-50, 104, 1), (-54, 104, 1), (-54, 104, 1)), 12),  # the edge back from 3 hidden
            (((-54, 104, 1), (-54, 100, 1), (-50, 100, 1), (-50, 100, 1)), 12),
            (quad, 0),
        ]))


if __name__ == "__main__":
    main()
