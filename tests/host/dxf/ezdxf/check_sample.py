"""Writes the sample drawing with our writer, then reads it with ezdxf as an independent
reader: the audit must find no error and fix nothing, and every entity must read back as
written. Usage: check_sample.py WRITER OUT.dxf"""
import math
import subprocess
import sys

import ezdxf


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def near(a, b, tol=1e-9):
    return abs(a - b) <= tol * max(1.0, abs(a), abs(b))


def main():
    writer, path = sys.argv[1], sys.argv[2]
    subprocess.run([writer, path], check=True)
    with open(path, "rb") as f:
        raw = f.read()
    if b"\r\n" not in raw[:20]:
        fail("lines do not end with CRLF")
    if "管道".encode("gbk") not in raw:
        fail("the Chinese layer name is not stored as GBK bytes")

    doc = ezdxf.readfile(path)
    if doc.dxfversion != "AC1015":
        fail("version %s" % doc.dxfversion)
    auditor = doc.audit()
    if auditor.has_errors or auditor.has_fixes:
        for e in auditor.errors:
            print("error:", e)
        for e in auditor.fixes:
            print("fix:", e)
        fail("audit found %d errors and %d fixes" % (len(auditor.errors), len(auditor.fixes)))

    for name in ("CENTER", "DASHED", "HIDDEN", "PHANTOM", "DASHDOT", "DOT", "DIVIDE", "BORDER",
                 "Continuous", "ByLayer", "ByBlock"):
        if name not in doc.linetypes:
            fail("linetype %s missing" % name)
    layer = doc.layers.get("管道")
    if layer.color != 1 or layer.dxf.linetype != "CENTER":
        fail("layer 管道 is %r %r" % (layer.color, layer.dxf.linetype))
    if "Standard" not in doc.styles:
        fail("text style Standard missing")

    msp = list(doc.modelspace())
    kinds = [e.dxftype() for e in msp]
    expected = ["LINE", "ARC", "CIRCLE", "LWPOLYLINE", "LWPOLYLINE", "INSERT", "INSERT"]
    if kinds != expected:
        fail("model space holds %s" % kinds)
    line, arc, circle, bent, straight, ref, placed = msp
    if line.dxf.layer != "管道" or line.dxf.linetype != "DASHED" or line.dxf.color != 3:
        fail("line properties %s %s %s" % (line.dxf.layer, line.dxf.linetype, line.dxf.color))
    if tuple(line.dxf.end) != (1000.25, 0, 0):
        fail("line end %s" % (line.dxf.end,))
    if (arc.dxf.radius, arc.dxf.start_angle, arc.dxf.end_angle) != (75, 180, 270):
        fail("arc %s" % arc.dxf.all_existing_dxf_attribs())
    if circle.dxf.radius != 0.1 or circle.dxf.linetype != "HIDDEN":
        fail("circle %s" % circle.dxf.all_existing_dxf_attribs())
    pts = bent.get_points("xyseb")
    if not bent.closed or len(pts) != 3 or pts[0] != (0, 0, 1, 2, 0.41421356237309503) \
            or pts[2][4] != -1.0 or bent.dxf.linetype != "ByBlock":
        fail("bent polyline %s closed=%s" % (pts, bent.closed))
    sp = straight.get_points("xy")
    if sp != [(1e-7, -3.5e20), (0.1, 1.0 / 3.0)] or straight.dxf.color != 5:
        fail("straight polyline %s" % sp)
    if ref.dxf.name != "阀门" or placed.dxf.name != "阀门":
        fail("references name %s, %s" % (ref.dxf.name, placed.dxf.name))
    if (placed.dxf.xscale, placed.dxf.rotation) != (2, 90) or not near(placed.dxf.yscale, 100 / 219):
        fail("scaled reference %s" % placed.dxf.all_existing_dxf_attribs())

    valve = doc.blocks.get("阀门")
    inner = [e.dxftype() for e in valve]
    if inner != ["LWPOLYLINE", "INSERT"] or list(valve)[1].dxf.name != "手轮":
        fail("block 阀门 holds %s" % inner)
    wheel = list(doc.blocks.get("手轮"))
    if len(wheel) != 1 or wheel[0].dxf.color != 0:
        fail("nested block holds %s" % wheel)

    # The preview: ezdxf keeps no 310 data, so read the block record's tags directly.
    from ezdxf.lldxf.tagger import ascii_tags_loader
    with open(path, encoding="gbk") as f:
        tags = list(ascii_tags_loader(f))
    previews, in_record, name = {}, False, None
    for t in tags:
        if t.code == 0:
            in_record = t.value == "BLOCK_RECORD"
            name = None
        elif in_record and t.code == 2:
            name = t.value
        elif in_record and t.code == 310:
            if len(t.value) > 254:
                fail("a 310 line holds %d characters" % len(t.value))
            previews[name] = previews.get(name, "") + t.value
    if not previews.get("阀门", "").startswith("28000000"):
        fail("block 阀门 has no preview: %s" % previews)
    print("ok: audit clean, %d model-space entities as written" % len(msp))


main()
