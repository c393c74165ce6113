// dxflib_count: reads a DXF file with dxflib and prints how many entities of each kind its
// callbacks reported. A deliberately minimal reader: it keeps nothing, so the time it
// takes is dxflib's own parsing, the least any program built on dxflib spends.
//
//   dxflib_count FILE.dxf
#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <cstdio>

namespace {

class Counter : public DL_CreationAdapter {
 public:
  void addLine(const DL_LineData&) override { ++lines; }
  void addArc(const DL_ArcData&) override { ++arcs; }
  void addCircle(const DL_CircleData&) override { ++circles; }
  void addPolyline(const DL_PolylineData&) override { ++polylines; }
  void addVertex(const DL_VertexData&) override { ++vertices; }
  void addInsert(const DL_InsertData&) override { ++inserts; }
  void addBlock(const DL_BlockData&) override { ++blocks; }

  long lines = 0, arcs = 0, circles = 0, polylines = 0, vertices = 0, inserts = 0, blocks = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dxflib_count FILE.dxf\n");
    return 2;
  }
  Counter counter;
  DL_Dxf dxf;
  if (!dxf.in(argv[1], &counter)) {
    std::fprintf(stderr, "dxflib_count: cannot read %s\n", argv[1]);
    return 1;
  }
  std::printf("polylines %ld vertices %ld arcs %ld lines %ld circles %ld inserts %ld blocks %ld\n",
              counter.polylines, counter.vertices, counter.arcs, counter.lines, counter.circles,
              counter.inserts, counter.blocks);
  return 0;
}
