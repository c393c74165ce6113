"""The sample part libraries read by ezdxf, a reader independent of ours.

Usage: check_libraries.py BUILT_RESOURCE_DIR SOURCE_RESOURCE_DIR

For every part source LIB/NAME.part the built drawing LIB/NAME.dxf must load in
ezdxf, audit with no error and no fix, keep its Chinese names (GBK under
ANSI_936), hold block NAME with its base point at the origin, and hold exactly one
entity in model space: a reference to NAME. ezdxf's own bounding box of every
valve block must be the valve convention's 300 by 219 from the base point.
"""
import os
import sys
import unittest

import ezdxf
from ezdxf import bbox

BUILT, SOURCES = sys.argv[1], sys.argv[2]
del sys.argv[1:]


def part_names(library):
    folder = os.path.join(SOURCES, library)
    return sorted(f[:-len(".part")] for f in os.listdir(folder) if f.endswith(".part"))


class SampleLibraries(unittest.TestCase):
    def read(self, library, name):
        path = os.path.join(BUILT, library, name + ".dxf")
        doc = ezdxf.readfile(path)
        auditor = doc.audit()
        self.assertEqual([str(e.message) for e in auditor.errors], [], f"audit errors in {path}")
        self.assertEqual([str(f.message) for f in auditor.fixes], [], f"audit fixes in {path}")
        self.assertEqual(doc.dxfversion, "AC1015")
        self.assertEqual(doc.encoding, "gbk")
        return doc

    def check_library(self, library):
        names = part_names(library)
        self.assertTrue(names, f"no part sources in {library}")
        docs = {}
        for name in names:
            with self.subTest(part=f"{library}/{name}"):
                doc = self.read(library, name)
                self.assertIn(name, doc.blocks)
                block = doc.blocks[name]
                self.assertEqual(tuple(block.block.dxf.base_point), (0, 0, 0))
                self.assertGreater(len(block), 0)
                msp = list(doc.modelspace())
                self.assertEqual([(e.dxftype(), e.dxf.name) for e in msp], [("INSERT", name)])
                docs[name] = doc
        return docs

    def test_every_valve_reads_and_measures_300_by_219(self):
        for name, doc in self.check_library("FM").items():
            with self.subTest(valve=name):
                box = bbox.extents(doc.blocks[name])
                self.assertTrue(box.has_data)
                for got, want in zip(list(box.extmin)[:2] + list(box.extmax)[:2], [0, -109.5, 300, 109.5]):
                    self.assertAlmostEqual(got, want, places=6)

    def test_every_custom_part_reads(self):
        for name, doc in self.check_library("ZDY").items():
            with self.subTest(part=name):
                box = bbox.extents(doc.blocks[name])
                self.assertTrue(box.has_data)
                self.assertTrue(box.inside((0, 0, 0)), f"base point outside {box}")


if __name__ == "__main__":
    unittest.main()
