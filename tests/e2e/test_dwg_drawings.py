"""DWG drawings end to end: real DWG files open (on the command line, with OPEN, in a part
library), save as DXF that ezdxf audits clean and that holds what the writing program's
own DXF of the drawing holds; damaged DWGs get a message; a DWG is never written over.

Needs the DWG samples (../shared/dwg-samples beside the project) and the converter
(Node.js with LibreDWG, installed by tools/install-deps.sh): skipped without them."""
import os
import shutil
import unittest
from collections import Counter

import ezdxf

from dxfcheck import read_audited
from orvharness import COMMAND, Session, main, reply
from test_part_libraries import QUESTION, make_part, slot_lines

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAMPLES = os.path.join(os.path.dirname(ROOT), "shared", "dwg-samples")
CONVERTER = os.path.join(os.path.dirname(os.path.dirname(os.path.realpath(os.environ["ORVCAD"]))),
                         "lib", "orvcad", "dwg")

# One or two of each release and of each kind of content, with the DXF the writing program
# made of the same drawing.
SAMPLES_WITH_REFERENCE = [
    "r14_Leader", "2000_entities-2d", "2000_entities-3d", "2000_PolyLine2D", "2000_TS1",
    "2004_Leader", "2004_material", "2007_Arc", "2007_Text", "2007_Polyline", "2010_Leader",
    "2010_gh209_1", "2018_Constraints",
]
# What LibreDWG's DXF writer leaves out: proxy entities of applications it does not know.
NOT_WRITTEN = {"ACAD_PROXY_ENTITY"}


def converter_ready():
    return (shutil.which("node") is not None and
            os.path.exists(os.path.join(CONVERTER, "node_modules", "@mlightcad", "libredwg-web", "package.json")))


def layers(doc):
    return {l.dxf.name: (abs(l.dxf.color), l.is_on(), l.is_frozen(), l.is_locked()) for l in doc.layers}


def texts(doc):
    return Counter(e.dxf.text for e in doc.modelspace() if e.dxftype() in ("TEXT", "MTEXT"))


@unittest.skipUnless(os.path.isdir(SAMPLES), "no DWG samples")
@unittest.skipUnless(converter_ready(), "no DWG converter (tools/install-deps.sh installs it)")
class DwgDrawings(unittest.TestCase):
    def setUp(self):
        self.s = Session(self)

    def sample(self, name, folder=None, as_name=None):
        """A copy of a sample in the session's folder (never the shared file itself)."""
        target = os.path.join(folder or self.s.dir, as_name or name + ".dwg")
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(SAMPLES, name + ".dwg"), target)
        return target

    def test_samples_open_and_save_holding_what_their_reference_holds(self):
        for name in SAMPLES_WITH_REFERENCE:
            with self.subTest(name):
                saved = os.path.join(self.s.dir, name + ".dxf")
                out, err, status = self.s.run([], args=["--save", saved, os.path.join(SAMPLES, name + ".dwg")],
                                              check=False)
                self.assertEqual(status, 0, err)
                doc = read_audited(self, saved)
                reference = ezdxf.readfile(os.path.join(SAMPLES, name + ".dxf"))
                expected = Counter(e.dxftype() for e in reference.modelspace() if e.dxftype() not in NOT_WRITTEN)
                self.assertEqual(Counter(e.dxftype() for e in doc.modelspace()), expected)
                got = layers(doc)
                for layer, state in layers(reference).items():
                    self.assertEqual(got.get(layer), state, f"layer {layer}")
                self.assertEqual(texts(doc), texts(reference))
                # The blocks placed, with as many entities each.
                for insert in reference.modelspace().query("INSERT"):
                    name = insert.dxf.name
                    self.assertEqual(len(doc.blocks.get(name)), len(reference.blocks.get(name)), name)

    def test_open_reads_a_dwg_and_save_offers_a_dxf_beside_it(self):
        plan = self.sample("2000_entities-2d", as_name="plan.dwg")
        with open(plan, "rb") as f:
            before = f.read()
        dxf = os.path.join(self.s.dir, "plan.dxf")
        out, _, _ = self.s.run(["OPEN", plan, "LINE", "0,0", "5,5", "", "SAVE", "", "LINE", "1,1", "2,2", "",
                                "SAVE"])
        self.assertIn(f"\n要打开的图形文件 (DWG 或 DXF): {plan}\n", out)
        self.assertIn(reply(f"\n保存图形为 (DXF) <{dxf}>: ", ""), out)
        # From then on the drawing is the DXF's: the second SAVE asks nothing.
        self.assertEqual(out.count("保存图形为"), 1)
        with open(plan, "rb") as f:
            self.assertEqual(f.read(), before)
        doc = read_audited(self, dxf)
        self.assertEqual(len(doc.modelspace().query("LINE")), 3)

    def test_damaged_dwgs_get_a_message_and_the_session_goes_on(self):
        whole = os.path.join(SAMPLES, "2000_entities-2d.dwg")
        with open(whole, "rb") as f:
            data = f.read()
        truncated = os.path.join(self.s.dir, "cut.dwg")
        with open(truncated, "wb") as f:
            f.write(data[:len(data) // 3])
        noise = os.path.join(self.s.dir, "noise.dwg")
        with open(noise, "wb") as f:
            f.write(b"AC1015" + os.urandom(20000))
        for damaged in (truncated, noise):
            with self.subTest(damaged):
                out, err, status = self.s.run([], args=[damaged], check=False)
                self.assertNotEqual(status, 0)
                self.assertIn(f"无法打开图形“{damaged}”：DWG 文件已损坏或不完整，无法读取", err)
                saved = os.path.join(self.s.dir, "after.dxf")
                out, err, status = self.s.run(["OPEN", damaged, "LINE", "0,0", "1,0", ""], args=["--save", saved])
                self.assertIn(f"\n无法打开图形“{damaged}”：DWG 文件已损坏或不完整", out)
                self.assertEqual(len(read_audited(self, saved).modelspace()), 1)

    def test_a_converter_that_is_not_there_is_named(self):
        env = dict(os.environ, ORVCAD_NODE=os.path.join(self.s.dir, "no-node"))
        plan = self.sample("2007_Line", as_name="gone.dwg")
        env["XDG_CACHE_HOME"] = os.path.join(self.s.dir, "empty-cache")
        _, err, status = self.s.run([], args=[plan], check=False, env=env)
        self.assertNotEqual(status, 0)
        self.assertIn("找不到读取 DWG 所需的 Node.js 程序或转换脚本", err)

    def test_insert_places_a_dwg_drawing_as_a_block_as_it_does_a_dxf(self):
        name = "2000_entities-2d"
        dwg = self.sample(name, as_name="plan.dwg")
        also = self.sample("2007_Line", as_name="wall.dwg")
        cut = os.path.join(self.s.dir, "cut.dwg")
        with open(dwg, "rb") as f, open(cut, "wb") as g:
            data = f.read()
            g.write(data[:len(data) // 3])
        saved = os.path.join(self.s.dir, "out.dxf")
        out, _, _ = self.s.run(["LINE", "0,0", "1,0", "",
                                "INSERT", cut,                                     # ends the command
                                "INSERT", dwg, "100,50", "2", "", "0", "V-9",      # its attribute asked
                                "INSERT", os.path.splitext(also)[0], "0,0", "", "", "",  # NAME: NAME.dwg
                                "INSERT", dwg, "0,0", "", "", "", ""],             # the block already there
                               args=["--save", saved])
        # A damaged DWG is named; nothing of it comes in and the session goes on.
        self.assertIn(f"无法打开图形“{cut}”：DWG 文件已损坏或不完整", out)
        self.assertIn("\nPROMPT <3>: V-9\n", out)
        self.assertIn("\n图形中已有块“plan”，插入它。", out)
        doc = read_audited(self, saved)
        reference = ezdxf.readfile(os.path.join(SAMPLES, name + ".dxf"))
        self.assertEqual([(e.dxf.name, tuple(e.dxf.insert), e.dxf.xscale) for e in doc.modelspace().query("INSERT")],
                         [("plan", (100, 50, 0), 2), ("wall", (0, 0, 0), 1), ("plan", (0, 0, 0), 1)])
        first = doc.modelspace().query("INSERT")[0]
        self.assertEqual([(a.dxf.tag, a.dxf.text) for a in first.attribs], [("ATTR1", "V-9")])
        self.assertNotIn("cut", [b.name for b in doc.blocks])
        # The block holds what the drawing's model space holds, as the writing program saw it.
        got = Counter(e.dxftype() for e in doc.blocks.get("plan"))
        want = Counter(e.dxftype() for e in reference.modelspace() if e.dxftype() not in NOT_WRITTEN)
        self.assertEqual(got, want)
        self.assertGreater(len(doc.blocks.get("wall")), 0)

    def test_a_dwg_part_is_offered_beside_dxf_parts_and_placed(self):
        fm = os.path.join(self.s.module_dir, "resource", "FM")
        make_part(fm, "Gate.dxf")
        self.sample("2000_entities-2d", folder=fm, as_name="BLOCK1.dwg")
        with open(os.path.join(fm, "Zcut.dwg"), "wb") as f:
            f.write(b"AC1018" + bytes(5000))
        saved = os.path.join(self.s.dir, "out.dxf")
        out, _, _ = self.s.run(["FM", "C", "1", "OK", "100", "0,0", "600,0"], args=["--save", saved])
        slots = slot_lines(out)
        self.assertEqual(slots[1][0], "BLOCK1")
        self.assertEqual(slots[2][0], "Gate")
        self.assertIn(QUESTION + "1\n", out)
        self.assertIn(f"无法打开图形“{fm}/Zcut.dwg”", out)
        doc = read_audited(self, saved)
        self.assertEqual([e.dxf.name for e in doc.modelspace().query("INSERT")], ["BLOCK1"])
        self.assertGreater(len(list(doc.blocks.get("BLOCK1"))), 0)
        self.assertTrue(out.endswith(COMMAND + "\n"))

    def test_unreadable_parts_are_left_out_and_named_and_the_rest_offered(self):
        # The broken ones come first in name order: they must not end the scan.
        fm = os.path.join(self.s.module_dir, "resource", "FM")
        whole = self.sample("2000_entities-2d", folder=fm, as_name="BLOCK1.dwg")
        with open(whole, "rb") as f, open(os.path.join(fm, "A_cut.dwg"), "wb") as g:
            g.write(f.read()[:20000])
        with open(os.path.join(fm, "B_junk.dxf"), "wb") as f:
            f.write(b"  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nten\n" + os.urandom(300))
        make_part(fm, "Gate.dxf")
        saved = os.path.join(self.s.dir, "out.dxf")
        out, _, _ = self.s.run(["FM", "C", "2", "OK", "100", "0,0", "600,0"], args=["--save", saved])
        slots = slot_lines(out)
        self.assertEqual([slots[i][0] for i in (1, 2, 3)], ["BLOCK1", "Gate", "FM3"])  # FM3: no part
        self.assertIn(f"无法打开图形“{fm}/A_cut.dwg”", out)
        for bad in ("A_cut.dwg", "B_junk.dxf"):
            self.assertEqual(out.count(f"部件图形“{bad}”无法读取，已略过."), 1, bad)
        doc = read_audited(self, saved)
        self.assertEqual([e.dxf.name for e in doc.modelspace().query("INSERT")], ["Gate"])
        self.assertTrue(out.endswith(COMMAND + "\n"))


if __name__ == "__main__":
    main()
