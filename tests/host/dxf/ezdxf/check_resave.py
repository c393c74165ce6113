"""A drawing made by ezdxf, holding entities our model does not know, is read and saved by
our reader and writer; ezdxf must audit the result clean and find every entity unchanged.
Usage: check_resave.py TOOL WORKDIR"""
import os
import subprocess
import sys

import ezdxf


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def make_source(path, version):
    doc = ezdxf.new(version, setup=True)
    doc.encoding = "gbk"
    doc.layers.add("管道", color=1, linetype="DASHED")
    doc.appids.add("ORVPIPE")
    blk = doc.blocks.new("阀门")
    blk.add_lwpolyline([(0, 0), (300, 0)])
    blk.add_attdef("SIZE", (0, 0), dxfattribs={"height": 2.5})
    msp = doc.modelspace()
    line = msp.add_line((0, 0), (100, 0), dxfattribs={"layer": "管道", "lineweight": 35})
    line.set_xdata("ORVPIPE", [(1000, "centre line")])
    msp.add_text("管道 DN100", dxfattribs={"height": 2.5, "layer": "管道"}).set_placement((1, 2))
    msp.add_mtext("第一行\\P第二行", dxfattribs={"char_height": 3})
    msp.add_circle((5, 5), 2.5)
    msp.add_ellipse((0, 0), major_axis=(10, 0), ratio=0.5)
    msp.add_spline([(0, 0), (10, 10), (20, 0), (30, 10)])
    hatch = msp.add_hatch(color=3)
    hatch.paths.add_polyline_path([(0, 0), (10, 0), (10, 10)], is_closed=True)
    msp.add_point((7, 7))
    ref = msp.add_blockref("阀门", (50, 50), dxfattribs={"xscale": 2, "rotation": 30})
    ref.add_auto_attribs({"SIZE": "DN100"})
    msp.add_polyline3d([(0, 0, 0), (1, 1, 1), (2, 0, 2)])
    msp.add_arc((0, 0), 10, 30, 120, dxfattribs={"extrusion": (0, 0, -1)})
    doc.saveas(path)


def signature(doc):
    out = []
    for e in doc.modelspace():
        attribs = e.dxf.all_existing_dxf_attribs()
        attribs.pop("handle", None)
        attribs.pop("owner", None)
        if e.dxftype() == "ARC":
            attribs.pop("extrusion", None)  # written in world coordinates
            c = attribs["center"]
            attribs["center"] = (round(c[0], 9), round(c[1], 9), round(c[2], 9))
            attribs["start_angle"] = round(attribs["start_angle"], 9)
            attribs["end_angle"] = round(attribs["end_angle"], 9)
        out.append((e.dxftype(), sorted((k, str(v)) for k, v in attribs.items())))
        if e.dxftype() == "INSERT":
            out.append([a.dxf.text for a in e.attribs])
        if e.has_xdata("ORVPIPE"):
            out.append(list(e.get_xdata("ORVPIPE")))
    return out


def main():
    tool, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    for version in ("R2000", "R2013"):
        src = os.path.join(work, "ezdxf_%s.dxf" % version)
        dst = os.path.join(work, "resaved_%s.dxf" % version)
        make_source(src, version)
        subprocess.run([tool, "--resave", src, dst], check=True)
        out = ezdxf.readfile(dst)
        auditor = out.audit()
        if auditor.has_errors or auditor.has_fixes:
            for e in auditor.errors + auditor.fixes:
                print(" ", e)
            fail("%s: audit of the resaved file is not clean" % version)
        before, after = signature(ezdxf.readfile(src)), signature(out)
        arc_before = [s for s in before if s and s[0] == "ARC"]
        arc_after = [s for s in after if s and s[0] == "ARC"]
        before = [s for s in before if not (s and s[0] == "ARC")]
        after = [s for s in after if not (s and s[0] == "ARC")]
        if before != after:
            for b, a in zip(before, after):
                if b != a:
                    print("  before:", b)
                    print("  after: ", a)
            fail("%s: entities changed" % version)
        # The mirrored arc is the same curve in world coordinates.
        arc = [e for e in out.modelspace() if e.dxftype() == "ARC"][0]
        c = arc.dxf.center
        if (round(c.x, 9), round(arc.dxf.start_angle, 9), round(arc.dxf.end_angle, 9)) != (0, 60, 150):
            fail("%s: mirrored arc is %s" % (version, arc.dxf.all_existing_dxf_attribs()))
        if len(arc_before) != 1 or len(arc_after) != 1:
            fail("arc count")
        print("ok: %s resaved, audit clean, %d entities unchanged" % (version, len(before)))


main()
