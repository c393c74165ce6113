// The measuring pass: every kind of entity grows the box by what it draws.
#include "extents.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "orv/geom/hatch.h"
#include "orv/geom/shapes.h"
#include "outline.h"
#include "painter.h"
#include "text_layout.h"
#include "walker.h"

namespace orv::render {

namespace {

class ExtentsPass {
 public:
  ExtentsPass(const db::Database& db) : db_(db), text_(db, TextEngine::forThisThread()) {}

  Box box;

  void operator()(const Placed& placed) {
    const Affine& m = placed.transform;
    const db::Entity& e = placed.entity;
    if (const auto* line = e.as<db::Line>()) {
      box.add(m.apply({line->start.x, line->start.y}));
      box.add(m.apply({line->end.x, line->end.y}));
    } else if (const auto* arc = e.as<db::Arc>()) {
      if (auto path = arcPath(*arc)) addArcBounds(box, m, *path);
    } else if (const auto* circle = e.as<db::Circle>()) {
      if (auto path = circlePath(*circle)) addArcBounds(box, m, *path);
    } else if (const auto* pl = e.as<db::Polyline>()) {
      addPolyline(*pl, m);
    } else if (const auto* point = e.as<db::Point>()) {
      box.add(m.apply({point->position.x, point->position.y}));
    } else if (placed.tags() || placed.kind != geom::KeptKind::other) {
      addKept(placed);
    }
  }

 private:
  void addPolyline(const db::Polyline& pl, const Affine& m) {
    Box own;
    double widest = 0.0;
    const std::size_t n = pl.size();
    for (std::size_t i = 0; i < n; ++i) own.add(m.apply(pl.point(i)));
    const std::size_t segments = segmentCount(pl);
    for (std::size_t i = 0; i < segments; ++i) {
      if (pl.hasVertexExtras()) {
        if (auto arc = bulgeArc(pl.point(i), pl.point((i + 1) % n), pl.bulge(i)))
          addArcBounds(own, m, *arc);
      }
      const SegmentWidths w = segmentWidths(pl, i);
      widest = std::max({widest, w.start, w.end});
    }
    own.inflate(widest / 2.0 * m.lengthScale());
    box.add(own);
  }

  void addKept(const Placed& placed) {
    using K = geom::KeptKind;
    const Affine& m = placed.transform;
    switch (placed.kind) {
      case K::text: case K::attrib: case K::attdef: case K::mtext: {
        if (placed.kind == K::attdef && placed.depth > 0) return;
        runs_.clear();
        if (placed.kind == K::mtext) {
          if (const db::MText* mt = placed.entity.as<db::MText>()) text_.layoutMText(*mt, true, runs_);
        } else if (const db::Text* t = placed.entity.as<db::Text>()) {
          text_.layoutText(*t, true, runs_);
        }
        for (const PlacedRun& r : runs_) {
          const Affine toWorld = m * r.toEntity;
          for (Point2 c : {Point2{0.0, -r.font->ascent()}, Point2{r.shaped.advance, -r.font->ascent()},
                           Point2{0.0, r.font->descent()}, Point2{r.shaped.advance, r.font->descent()}})
            box.add(toWorld.apply(c));
        }
        return;
      }
      case K::hatch: {
        const db::Hatch* h = placed.entity.as<db::Hatch>();
        if (!h) return;
        const Affine toWorld = m * geom::planOfOcs(h->extrusion, h->elevation.z);
        for (const geom::HatchLoop& loop : hatchLoopsFor(*h, 0.0))
          for (Point2 p : loop.points) box.add(toWorld.apply(p));
        return;
      }
      default: {
        BoxSink sink;
        if (writeKeptOutline(placed, db_, sink, m.lengthScale() * 8.0, true) != OutlineMode::none) box.add(sink.box);
        return;
      }
    }
  }

  const db::Database& db_;
  TextLayout text_;
  std::vector<PlacedRun> runs_;
};

}  // namespace

Box measureModelSpace(const db::Database& db, StyleTable& styles, std::uint64_t entityLimit) {
  // A large drawing is measured in two parts at once, each in a thread with its own
  // styles and text engine. Should the parts together reach the limit, it is measured
  // again in one go, so that the limit cuts where it always does.
  constexpr std::size_t kMeasuredInParts = 65536;
  const std::size_t n = db.block(db.modelSpace()).entities.size();
  if (n >= kMeasuredInParts) {
    Box second;
    std::uint64_t secondVisited = 0;
    bool secondTruncated = false;
    std::optional<std::thread> helper;
    try {
      helper.emplace([&] {
        StyleTable own(db);
        ExtentsPass pass(db);
        SceneWalker<ExtentsPass> walker(db, own, pass, entityLimit);
        walker.walkRange(n / 2, n, Affine{});
        second = pass.box;
        secondVisited = walker.visited();
        secondTruncated = walker.truncated();
      });
    } catch (const std::system_error&) {
      // No thread to be had: measured in one go below.
    }
    if (helper) {
      ExtentsPass pass(db);
      SceneWalker<ExtentsPass> walker(db, styles, pass, entityLimit);
      walker.walkRange(0, n / 2, Affine{});
      helper->join();
      if (!walker.truncated() && !secondTruncated && walker.visited() + secondVisited <= entityLimit) {
        pass.box.add(second);
        return pass.box;
      }
    }
  }
  ExtentsPass pass(db);
  SceneWalker<ExtentsPass> walker(db, styles, pass, entityLimit);
  walker.walk(Affine{});
  return pass.box;
}

}  // namespace orv::render
