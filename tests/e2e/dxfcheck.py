"""Reading saved drawings back with ezdxf, the independent reader."""
import ezdxf


def read_audited(testcase, path):
    """The document, after checking that ezdxf audits it with no error and no fix."""
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    testcase.assertEqual([str(e.message) for e in auditor.errors], [], f"audit errors in {path}")
    testcase.assertEqual([str(f.message) for f in auditor.fixes], [], f"audit fixes in {path}")
    return doc


def entities(doc):
    """Model space as (type, main values) in creation order."""
    out = []
    for e in doc.modelspace():
        t = e.dxftype()
        if t == "LINE":
            out.append((t, tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2]))
        elif t == "LWPOLYLINE":
            out.append((t, [tuple(p) for p in e.get_points("xyb")]))
        elif t == "ARC":
            out.append((t, tuple(e.dxf.center)[:2], e.dxf.radius, e.dxf.start_angle, e.dxf.end_angle))
        elif t == "INSERT":
            out.append((t, e.dxf.name, tuple(e.dxf.insert), e.dxf.xscale, e.dxf.yscale, e.dxf.rotation))
        else:
            out.append((t,))
    return out
