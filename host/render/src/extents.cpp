// The measuring pass: every kind of entity grows the box by what it draws.
#include "extents.h"

#include <algorithm>
#include <cmath>
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

// True when every point of a circle (centre c, radius r) placed by m, grown by `grow`, lies
// within `box` with room to spare: the circle's bounds under m are taken without
// trigonometry (|x' - m(c).x| <= r(|xx| + |xy|)), so an arc of it inside a box already
// measured costs no sines. A large drawing's arcs are mostly inside.
bool circleWithin(const Box& box, const Affine& m, Point2 c, double r, double grow) {
  if (box.empty()) return false;
  const Point2 p = m.apply(c);
  const double rx = r * (std::abs(m.xx) + std::abs(m.xy)) + grow;
  const double ry = r * (std::abs(m.yx) + std::abs(m.yy)) + grow;
  // Room for the rounding of the points an arc would add.
  const double spare = 1e-9 * (std::abs(p.x) + std::abs(p.y) + rx + ry);
  return p.x - rx - spare >= box.minX && p.x + rx + spare <= box.maxX && p.y - ry - spare >= box.minY &&
         p.y + ry + spare <= box.maxY;
}

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
      if (circleWithin(box, m, {arc->center.x, arc->center.y}, arc->radius, 0.0)) return;
      if (auto path = arcPath(*arc)) addArcBounds(box, m, *path);
    } else if (const auto* circle = e.as<db::Circle>()) {
      if (circleWithin(box, m, {circle->center.x, circle->center.y}, circle->radius, 0.0)) return;
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
      const SegmentWidths w = segmentWidths(pl, i);
      widest = std::max({widest, w.start, w.end});
    }
    const double grow = widest / 2.0 * m.lengthScale();
    if (pl.hasVertexExtras()) {
      for (std::size_t i = 0; i < segments; ++i) {
        const auto arc = bulgeArc(pl.point(i), pl.point((i + 1) % n), pl.bulge(i));
        if (arc && !circleWithin(box, m, arc->center, arc->radius, grow)) addArcBounds(own, m, *arc);
      }
    }
    own.inflate(grow);
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

// Measures a few lines, arcs and polylines spread over model space's list from `begin` to
// `end` first, in a walker of their own (so that the part's count of visits is its own):
// most of what the part holds then lies within the box already, and its arcs cost no sines
// (see circleWithin). Measuring one twice changes nothing. False when the part is too
// small to be worth it and nothing was measured.
bool measureSamples(const db::Database& db, StyleTable& styles, ExtentsPass& pass, std::uint64_t entityLimit,
                    std::size_t begin, std::size_t end) {
  constexpr std::size_t kSamples = 256;
  if (end - begin < 16 * kSamples) return false;
  const std::vector<db::ObjectId>& list = db.block(db.modelSpace()).entities;
  SceneWalker<ExtentsPass> samples(db, styles, pass, entityLimit);
  const std::size_t step = (end - begin) / kSamples;
  for (std::size_t i = begin + step / 2; i < end && i < list.size(); i += step) {
    const db::Entity* e = db.entity(list[i]);
    if (e == nullptr || e->isErased()) continue;
    const db::EntityKind k = e->kind();
    if (k == db::EntityKind::line || k == db::EntityKind::arc || k == db::EntityKind::circle ||
        k == db::EntityKind::polyline)
      samples.walkRange(i, i + 1, Affine{});
  }
  return true;
}

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
        measureSamples(db, own, pass, entityLimit, n / 2, n);
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
      measureSamples(db, styles, pass, entityLimit, 0, n / 2);
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
  const bool sampled = measureSamples(db, styles, pass, entityLimit, 0, n);
  SceneWalker<ExtentsPass> walker(db, styles, pass, entityLimit);
  walker.walk(Affine{});
  if (!sampled || !walker.truncated()) return pass.box;
  // Cut short by the limit: what the walk reached counts, not the samples beyond it.
  ExtentsPass reached(db);
  SceneWalker<ExtentsPass> again(db, styles, reached, entityLimit);
  again.walk(Affine{});
  return reached.box;
}

}  // namespace orv::render
