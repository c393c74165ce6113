// Fuzz target: a DXF file's bytes, read into a drawing.
//
// Whatever the bytes, reading gives a drawing or an error, never a crash. A
// drawing that was read is then saved and the saved text read again: our own
// file must read without error or new doubts, and saving what was read from
// it must give the very same text (nothing is lost or changed on the second
// trip). Hatches go through their boundary builder, dimensions are measured,
// splines are followed along their curves, MTEXT's content through its inline codes,
// old-style polylines' edges are found and every handle (their vertices' among them) is
// unique, and the entities kept as tags go through the decoders that pictures draw them
// with, whose results must be finite.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/writer.h"
#include "orv/geom/curves.h"
#include "orv/geom/hatch.h"
#include "orv/geom/kept.h"
#include "orv/geom/mtext.h"
#include "orv/geom/shapes.h"
#include "orv/geom/text.h"

namespace {

bool finite(orv::db::Point3 p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Every kept entity through the decoder of its kind; every point, solid and ellipse finite;
// every spline's curve within its control points' box.
void decodeKept(const orv::db::Database& d) {
  using namespace orv::geom;
  std::set<orv::db::Handle> handles;
  for (std::uint32_t i = 0; i < d.entitySlotCount(); ++i) {
    const orv::db::Entity& e = *d.entity(orv::db::ObjectId{i});
    if (!e.isErased()) ORV_FUZZ_CHECK(handles.insert(e.handle()).second, "two entities of one handle");
    ORV_FUZZ_CHECK(e.handle() < d.handseed(), "an entity's handle not below the next one to give");
    if (const auto* p = e.as<orv::db::HeavyPolyline>()) {
      for (const orv::db::HeavyVertex& v : p->vertices)
        ORV_FUZZ_CHECK(v.common.handle < d.handseed(), "a vertex's handle not below the next one to give");
      ORV_FUZZ_CHECK(p->seqend.handle < d.handseed(), "a SEQEND's handle not below the next one to give");
      ORV_FUZZ_CHECK(orv::db::validate(e.geometry) == orv::db::Status::ok, "a polyline read with a value it cannot hold");
      for (const orv::db::HeavyVertex& v : p->vertices)
        ORV_FUZZ_CHECK(v.common.handle != 0 && handles.insert(v.common.handle).second, "a vertex without a handle of its own");
      ORV_FUZZ_CHECK(p->seqend.handle != 0 && handles.insert(p->seqend.handle).second, "a SEQEND without a handle of its own");
      for (const auto& edge : orv::db::meshEdges(*p))
        ORV_FUZZ_CHECK(finite(edge[0]) && finite(edge[1]), "a mesh edge not finite");
    }
    if (orv::db::describedKind(e.geometry))
      ORV_FUZZ_CHECK(orv::db::validate(e.geometry) == orv::db::Status::ok, "a kind read with a value it cannot hold");
    if (const auto* el = e.as<orv::db::Ellipse>()) ORV_FUZZ_CHECK(el->sweep() > 0.0, "an ellipse of no sweep");
    if (const auto* h = e.as<orv::db::Hatch>()) {
      ORV_FUZZ_CHECK(h->valid(), "a hatch read with a value it cannot hold");
      for (const HatchLoop& loop : hatchBoundary(*h, 0.01, 20000)) {
        ORV_FUZZ_CHECK(loop.points.size() >= 3, "a loop of fewer than three points");
        for (orv::db::Point2 p : loop.points)
          ORV_FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y), "a boundary point not finite");
      }
    }
    if (const auto* dim = e.as<orv::db::Dimension>()) {
      ORV_FUZZ_CHECK(orv::db::validate(e.geometry) == orv::db::Status::ok, "a dimension read with a value it cannot hold");
      const double measured = dim->measured();
      ORV_FUZZ_CHECK(std::isnan(measured) || measured >= 0.0, "a dimension measuring less than nothing");
    }
    if (const auto* leader = e.as<orv::db::Leader>()) {
      ORV_FUZZ_CHECK(orv::db::validate(e.geometry) == orv::db::Status::ok, "a leader read with a value it cannot hold");
      ORV_FUZZ_CHECK(leader->vertices.size() >= 2, "a leader of fewer than two vertices");
    }
    if (const auto* t = e.as<orv::db::Text>()) {
      ORV_FUZZ_CHECK(orv::db::validate(e.geometry) == orv::db::Status::ok, "a text read with a value it cannot hold");
      expandTextCodes(t->value);
    }
    if (const auto* s = e.as<orv::db::Spline>()) {
      ORV_FUZZ_CHECK(orv::db::validate(e.geometry) == orv::db::Status::ok, "a spline read with a value it cannot hold");
      // A B-spline with positive weights stays within its control points' box (where
      // its numbers do not overflow).
      Box hull;
      for (orv::db::Point3 c : s->controlPoints) hull.add(orv::db::Point2{c.x, c.y});
      const double slack = 1e-6 * (1.0 + std::max(std::abs(hull.minX) + std::abs(hull.maxX),
                                                   std::abs(hull.minY) + std::abs(hull.maxY)));
      for (orv::db::Point3 p : splinePoints(*s, 8, 5000)) {
        if (s->controlPoints.size() < 2 || !finite(p) || !std::isfinite(slack)) continue;
        ORV_FUZZ_CHECK(p.x >= hull.minX - slack && p.x <= hull.maxX + slack && p.y >= hull.minY - slack &&
                           p.y <= hull.maxY + slack,
                       "a spline leaves its control points' box");
      }
    }
    if (const auto* m = e.as<orv::db::MText>()) {
      ORV_FUZZ_CHECK(orv::db::validate(e.geometry) == orv::db::Status::ok, "an MTEXT read with a value it cannot hold");
      ORV_FUZZ_CHECK(std::isfinite(m->angle()), "an MTEXT of no direction");
      for (const MTextParagraph& p : parseMText(m->content, m->height))
        for (const MTextRun& r : p.runs)
          ORV_FUZZ_CHECK(std::isfinite(r.format.height) && r.format.height >= 0, "a run of no height");
    }
    const auto* kept = e.as<orv::db::UnknownEntity>();
    if (!kept) continue;
    keptKindOf(d.name(kept->type));
    decodeCommon(kept->tags);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  orv::dxf::ReadOptions oneThread;
  oneThread.split = orv::dxf::ReadOptions::Split::never;
  orv::dxf::ReadResult read = orv::dxf::readDxf(bytes, oneThread);
  // The entities read in two parts at once, the second from a place the input picks:
  // the same drawing, findings and error.
  orv::dxf::ReadOptions twoParts;
  twoParts.split = orv::dxf::ReadOptions::Split::always;
  twoParts.splitAt = static_cast<double>(size % 9 + 1) / 10;
  const orv::dxf::ReadResult split = orv::dxf::readDxf(bytes, twoParts);
  ORV_FUZZ_CHECK(split.error == read.error && split.errorLine == read.errorLine, "read in two parts: " + split.error);
  ORV_FUZZ_CHECK(split.findings.size() == read.findings.size(), "read in two parts: other findings");
  for (std::size_t i = 0; i < read.findings.size(); ++i)
    ORV_FUZZ_CHECK(split.findings[i].line == read.findings[i].line && split.findings[i].message == read.findings[i].message,
                   "read in two parts: " + split.findings[i].message);
  if (read.ok())
    ORV_FUZZ_CHECK(orv::dxf::writeDxfToString(*split.drawing) == orv::dxf::writeDxfToString(*read.drawing),
                   "read in two parts: another drawing");
  if (!read.ok()) {
    ORV_FUZZ_CHECK(!read.error.empty(), "refused without a reason");
    return 0;
  }
  ORV_FUZZ_CHECK(read.error.empty(), "a drawing and an error");

  const std::string saved = orv::dxf::writeDxfToString(*read.drawing);
  orv::dxf::ReadResult again = orv::dxf::readDxf(saved);
  ORV_FUZZ_CHECK(again.ok(), "our own file cannot be read: " + again.error);
  // What the reader doubted in our file it already doubted in the original
  // (an entity kept as read, say); saving must not add doubts of its own.
  std::set<std::string> doubted;
  for (const auto& finding : read.findings) doubted.insert(finding.message);
  // Past a few of a kind the reader only counts them ("另有 N …"), and past 200 it lists none.
  const bool allListed = read.findings.size() < 200 &&
                         std::none_of(read.findings.begin(), read.findings.end(),
                                      [](const auto& f) { return f.message.starts_with("另有 "); });
  for (const auto& finding : again.findings) {
    ORV_FUZZ_CHECK(
        !allListed || doubted.contains(finding.message),
        "our own file is suspect: line " + std::to_string(finding.line) + ": " + finding.message);
  }
  // Saving leaves out only the dimension pictures nothing draws.
  const auto held = [](const orv::db::Database& d) {
    const std::vector<bool> saved = d.savedBlocks();
    return std::count(saved.begin(), saved.end(), true);
  };
  ORV_FUZZ_CHECK(held(*again.drawing) == held(*read.drawing), "blocks lost or gained");
  const std::string savedAgain = orv::dxf::writeDxfToString(*again.drawing);
  ORV_FUZZ_CHECK(savedAgain == saved, "saving what was read from our own file changed it");
  decodeKept(*read.drawing);
  return 0;
}
