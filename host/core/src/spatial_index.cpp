// The grid of entity boxes over model space, its upkeep through the document's
// changes, and the picks, windows and selections it answers.
#include "orv/core/spatial_index.h"

#include <algorithm>

#include "kept_tags.h"

namespace orv::core {

namespace {

constexpr int kMaxCellsPerEntity = 64;
constexpr int kMaxGridSide = 4096;
constexpr double kInf = std::numeric_limits<double>::infinity();

float down(double v) {
  float f = static_cast<float>(v);
  if (static_cast<double>(f) > v) f = std::nextafter(f, -std::numeric_limits<float>::infinity());
  return f;
}

float up(double v) {
  float f = static_cast<float>(v);
  if (static_cast<double>(f) < v) f = std::nextafter(f, std::numeric_limits<float>::infinity());
  return f;
}

// Whether any piece or region of an entity meets a rectangle.
struct MeetSink final : ShapeSink {
  Box2 rect;
  bool met = false;
  void piece(const Piece& p, bool) override {
    if (!met && meets(p, rect)) met = true;
  }
  void region(const std::array<Vec2, 4>& c) override {
    if (met) return;
    for (Vec2 p : c)
      if (rect.contains(p)) met = true;
    // A rectangle inside the region: its corner is inside.
    const Vec2 corner{rect.minX, rect.minY};
    int positive = 0, negative = 0;
    for (int i = 0; i < 4; ++i) {
      const double s = cross(c[(i + 1) % 4] - c[i], corner - c[i]);
      positive += s > 0, negative += s < 0;
    }
    if (positive == 0 || negative == 0) met = true;
    if (!met) ShapeSink::region(c);
  }
};

struct ExactBoxSink final : ShapeSink {
  Box2 box;
  void piece(const Piece& p, bool) override { box.add(boxOf(p)); }
  void region(const std::array<Vec2, 4>& c) override {
    for (Vec2 p : c) box.add(p);
  }
};

}  // namespace

SpatialIndex::SpatialIndex(Document& document) : doc_(&document), layers_(document.database()) {
  document.addObserver(this);
}

SpatialIndex::~SpatialIndex() { doc_->removeObserver(this); }

void SpatialIndex::attach(Document& document) {
  doc_->removeObserver(this);
  doc_ = &document;
  document.addObserver(this);
  layers_.rebind(document.database());
  slots_.clear();
  recent_.clear();
  grid_ = Grid{};
  built_ = false;
  stale_ = false;
}

// ---- groups

bool SpatialIndex::isFollowerType(const db::Database& d, const db::Entity& e) {
  if (const auto* t = e.as<db::Text>()) return t->type == db::Text::Type::attrib;
  const auto* u = e.as<db::UnknownEntity>();
  if (!u) return false;
  const std::string_view type = d.name(u->type);
  return type == "ATTRIB" || type == "VERTEX" || type == "SEQEND";
}

bool SpatialIndex::ownsFollowers(const db::Entity& e) const {
  if (e.as<db::BlockReference>()) return true;
  const auto* u = e.as<db::UnknownEntity>();
  if (!u) return false;
  const std::string_view type = database().name(u->type);
  return type == "INSERT" || type == "POLYLINE";
}

void SpatialIndex::grow(std::size_t n) {
  if (slots_.size() < n) slots_.resize(n);
}

void SpatialIndex::placeAppended(db::ObjectId id) {
  const db::Database& d = database();
  const auto& list = d.block(d.modelSpace()).entities;
  Slot& s = slots_[id.index];
  s.owner = id.index;
  const db::Entity* e = d.entity(id);
  if (!isFollowerType(d, *e) || list.size() < 2 || list.back() != id) return;
  const db::ObjectId prev = list[list.size() - 2];
  const std::uint32_t owner = slots_[prev.index].owner;
  if (owner == kNone) return;
  const db::Entity* prevEntity = d.entity(prev);
  const auto* prevKept = prevEntity->as<db::UnknownEntity>();
  if (prevKept && d.name(prevKept->type) == "SEQEND") return;
  if (ownsFollowers(*d.entity(db::ObjectId{owner}))) s.owner = owner;
}

std::vector<db::ObjectId> SpatialIndex::group(db::ObjectId owner) {
  ensureBuilt();
  std::vector<db::ObjectId> out{owner};
  if (owner.index >= slots_.size()) return out;
  for (std::uint32_t k = owner.index + 1; k < slots_.size() && slots_[k].owner == owner.index; ++k)
    out.push_back(db::ObjectId{k});
  return out;
}

db::ObjectId SpatialIndex::ownerOf(db::ObjectId id) {
  ensureBuilt();
  if (id.index >= slots_.size() || slots_[id.index].owner == kNone) return id;
  return db::ObjectId{slots_[id.index].owner};
}

Box2 SpatialIndex::groupBox(db::ObjectId owner) {
  ExactBoxSink sink;
  const ShapeOptions options{&layers_};
  for (db::ObjectId m : group(owner)) describeEntity(database(), m, sink, options);
  return sink.box;
}

void SpatialIndex::refreshBox(std::uint32_t owner) {
  const db::Entity* e = database().entity(db::ObjectId{owner});
  // An erased group keeps its box: queries leave it out, and undo brings it back as it was.
  if (!e || e->isErased()) return;
  ExactBoxSink sink;
  describeEntity(database(), db::ObjectId{owner}, sink);
  for (std::uint32_t k = owner + 1; k < slots_.size() && slots_[k].owner == owner; ++k)
    describeEntity(database(), db::ObjectId{k}, sink);
  Slot& s = slots_[owner];
  Slot fresh = s;
  if (sink.box.empty()) {
    fresh.x0 = 1, fresh.x1 = 0, fresh.y0 = 1, fresh.y1 = 0;
  } else {
    fresh.x0 = down(sink.box.minX), fresh.y0 = down(sink.box.minY);
    fresh.x1 = up(sink.box.maxX), fresh.y1 = up(sink.box.maxY);
  }
  if (fresh.x0 == s.x0 && fresh.y0 == s.y0 && fresh.x1 == s.x1 && fresh.y1 == s.y1) return;
  s = fresh;
  recent_.push_back(owner);
  recentInOrder_ = false;
}

// ---- building

void SpatialIndex::ensureBuilt() {
  const std::size_t limit = std::max<std::size_t>(1024, grid_.ids.size() / 4);
  if (!built_ || stale_ || recent_.size() > limit) build();
}

void SpatialIndex::build() {
  db::Database& d = doc_->database();
  slots_.assign(d.entitySlotCount(), Slot{});
  recent_.clear();
  layers_.forget();
  built_ = true;
  stale_ = false;

  // Groups, by the order of model space; erased entities too, so that undo finds them.
  std::uint32_t open = kNone;
  for (db::ObjectId id : d.block(d.modelSpace()).entities) {
    const db::Entity& e = *d.entity(id);
    Slot& s = slots_[id.index];
    const auto* kept = e.as<db::UnknownEntity>();
    if (open != kNone && isFollowerType(d, e)) {
      s.owner = open;
      if (kept && d.name(kept->type) == "SEQEND") open = kNone;
    } else {
      s.owner = id.index;
      open = ownsFollowers(e) ? id.index : kNone;
    }
    s.layer = kept ? d.intern(kept::layerName(d, e)).index : e.layer.index;
  }
  Box2 all;
  std::size_t boxed = 0;
  for (std::uint32_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].owner != i) continue;
    refreshBox(i);
    const Slot& s = slots_[i];
    if (s.x0 > s.x1 || d.entity(db::ObjectId{i})->isErased()) continue;
    all.add(Vec2{s.x0, s.y0});
    all.add(Vec2{s.x1, s.y1});
    ++boxed;
  }
  recent_.clear();

  grid_ = Grid{};
  if (boxed == 0) return;
  const double w = all.maxX - all.minX, h = all.maxY - all.minY;
  const double side = std::max(w, h);
  double cell = w > 0 && h > 0 ? std::sqrt(w * h / std::max<double>(1, boxed / 2.0))
                               : side / std::max(1.0, std::sqrt(static_cast<double>(boxed)));
  cell = std::max(cell, side / kMaxGridSide);
  if (!(cell > 0) || !std::isfinite(cell)) cell = 1;
  grid_.x0 = all.minX, grid_.y0 = all.minY, grid_.cell = cell;
  grid_.nx = std::clamp(static_cast<int>(w / cell) + 1, 1, kMaxGridSide);
  grid_.ny = std::clamp(static_cast<int>(h / cell) + 1, 1, kMaxGridSide);
  auto range = [&](const Slot& s, int& cx0, int& cy0, int& cx1, int& cy1) {
    cx0 = grid_.column(s.x0), cx1 = grid_.column(s.x1), cy0 = grid_.row(s.y0), cy1 = grid_.row(s.y1);
    return (cx1 - cx0 + 1) * (cy1 - cy0 + 1) <= kMaxCellsPerEntity;
  };
  grid_.start.assign(static_cast<std::size_t>(grid_.nx) * grid_.ny + 1, 0);
  auto each = [&](auto&& f) {
    for (std::uint32_t i = 0; i < slots_.size(); ++i) {
      const Slot& s = slots_[i];
      if (s.owner != i || s.x0 > s.x1) continue;
      f(i, s);
    }
  };
  each([&](std::uint32_t i, const Slot& s) {
    int cx0, cy0, cx1, cy1;
    if (!range(s, cx0, cy0, cx1, cy1)) {
      grid_.large.push_back(i);
      return;
    }
    for (int y = cy0; y <= cy1; ++y)
      for (int x = cx0; x <= cx1; ++x) ++grid_.start[static_cast<std::size_t>(y) * grid_.nx + x + 1];
  });
  for (std::size_t k = 1; k < grid_.start.size(); ++k) grid_.start[k] += grid_.start[k - 1];
  grid_.ids.resize(grid_.start.back());
  std::vector<std::uint32_t> fill(grid_.start.begin(), grid_.start.end() - 1);
  each([&](std::uint32_t i, const Slot& s) {
    int cx0, cy0, cx1, cy1;
    if (!range(s, cx0, cy0, cx1, cy1)) return;
    for (int y = cy0; y <= cy1; ++y)
      for (int x = cx0; x <= cx1; ++x) grid_.ids[fill[static_cast<std::size_t>(y) * grid_.nx + x]++] = i;
  });
}

// ---- upkeep

void SpatialIndex::entityChanged(db::ObjectId id) {
  if (!built_) return;
  db::Database& d = doc_->database();
  const db::Entity* e = d.entity(id);
  if (!e) return;
  grow(d.entitySlotCount());
  if (e->owner() != d.modelSpace()) {
    // A block's contents: the references drawing it may have moved.
    stale_ = true;
    return;
  }
  Slot& s = slots_[id.index];
  if (s.owner == kNone) placeAppended(id);
  const auto* kept = e->as<db::UnknownEntity>();
  slots_[id.index].layer = kept ? d.intern(kept::layerName(d, *e)).index : e->layer.index;
  refreshBox(slots_[id.index].owner);
}

void SpatialIndex::tablesChanged() { layers_.forget(); }

// ---- questions

bool SpatialIndex::live(std::uint32_t i) const {
  if (i >= slots_.size() || slots_[i].owner != i) return false;
  const db::Entity* e = database().entity(db::ObjectId{i});
  return e && !e->isErased();
}

bool SpatialIndex::shown(std::uint32_t i) { return !layers_.hidden(db::NameId{slots_[i].layer}); }

bool SpatialIndex::selectable(db::ObjectId id) {
  ensureBuilt();
  return live(id.index) && shown(id.index);
}

bool SpatialIndex::boxMeets(const Slot& s, const Box2& r) const {
  return s.x0 <= s.x1 && s.x0 <= r.maxX && s.x1 >= r.minX && s.y0 <= r.maxY && s.y1 >= r.minY;
}

void SpatialIndex::candidates(const Box2& rect, std::vector<std::uint32_t>& out) {
  // What changed since the grid was built is taken from recent_ alone (its cells in the
  // grid may be those of its old box); the large ones are in no cell.
  if (!recentInOrder_) {
    std::sort(recent_.begin(), recent_.end());
    recent_.erase(std::unique(recent_.begin(), recent_.end()), recent_.end());
    recentInOrder_ = true;
  }
  auto changed = [&](std::uint32_t i) {
    return !recent_.empty() && std::binary_search(recent_.begin(), recent_.end(), i);
  };
  if (grid_.nx > 0) {
    const double gx1 = grid_.x0 + grid_.nx * grid_.cell, gy1 = grid_.y0 + grid_.ny * grid_.cell;
    if (rect.maxX >= grid_.x0 && rect.minX <= gx1 && rect.maxY >= grid_.y0 && rect.minY <= gy1) {
      const int x0 = grid_.column(rect.minX), x1 = grid_.column(rect.maxX);
      const int y0 = grid_.row(rect.minY), y1 = grid_.row(rect.maxY);
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
          const std::size_t c = static_cast<std::size_t>(y) * grid_.nx + x;
          for (std::uint32_t k = grid_.start[c]; k < grid_.start[c + 1]; ++k) {
            const std::uint32_t i = grid_.ids[k];
            // An entity in several cells is taken from one: the first of its cells
            // that the rectangle's cells hold.
            const Slot& s = slots_[i];
            if (x != std::max(grid_.column(s.x0), x0) || y != std::max(grid_.row(s.y0), y0)) continue;
            if (!changed(i)) out.push_back(i);
          }
        }
    }
  }
  for (std::uint32_t i : grid_.large)
    if (!changed(i)) out.push_back(i);
  out.insert(out.end(), recent_.begin(), recent_.end());
}

std::vector<db::ObjectId> SpatialIndex::query(const Box2& rect, bool selectableOnly) {
  ensureBuilt();
  std::vector<db::ObjectId> out;
  if (rect.empty()) return out;
  auto keep = [&](std::uint32_t i) {
    return live(i) && boxMeets(slots_[i], rect) && (!selectableOnly || shown(i));
  };
  const double gx1 = grid_.x0 + grid_.nx * grid_.cell, gy1 = grid_.y0 + grid_.ny * grid_.cell;
  if (rect.minX <= grid_.x0 && rect.minY <= grid_.y0 && rect.maxX >= gx1 && rect.maxY >= gy1) {
    // Most of the drawing: a walk in order is cheaper than gathering and sorting.
    for (std::uint32_t i = 0; i < slots_.size(); ++i)
      if (slots_[i].owner == i && keep(i)) out.push_back(db::ObjectId{i});
    return out;
  }
  std::vector<std::uint32_t> found;
  candidates(rect, found);
  std::sort(found.begin(), found.end());
  for (std::uint32_t i : found)
    if (keep(i)) out.push_back(db::ObjectId{i});
  return out;
}

Box2 SpatialIndex::extents() {
  ensureBuilt();
  Box2 box;
  for (std::uint32_t i = 0; i < slots_.size(); ++i) {
    const Slot& s = slots_[i];
    if (s.owner != i || s.x0 > s.x1 || !live(i) || !shown(i)) continue;
    box.add(Vec2{s.x0, s.y0});
    box.add(Vec2{s.x1, s.y1});
  }
  return box;
}

double SpatialIndex::groupDistance(std::uint32_t owner, Vec2 p) {
  double best = kInf;
  best = std::min(best, distanceToEntity(database(), db::ObjectId{owner}, p, &layers_));
  for (std::uint32_t k = owner + 1; k < slots_.size() && slots_[k].owner == owner; ++k)
    best = std::min(best, distanceToEntity(database(), db::ObjectId{k}, p, &layers_));
  return best;
}

std::vector<db::ObjectId> SpatialIndex::near(Vec2 p, double maxDistance) {
  ensureBuilt();
  std::vector<db::ObjectId> out;
  if (!(maxDistance >= 0) || !std::isfinite(p.x) || !std::isfinite(p.y)) return out;
  const Box2 around{p.x - maxDistance, p.y - maxDistance, p.x + maxDistance, p.y + maxDistance};
  std::vector<std::uint32_t> found;
  candidates(around, found);
  std::vector<std::pair<double, std::uint32_t>> hits;
  for (std::uint32_t i : found) {
    if (!live(i) || !shown(i) || !boxMeets(slots_[i], around)) continue;
    const double dist = groupDistance(i, p);
    if (dist <= maxDistance) hits.push_back({dist, i});
  }
  std::sort(hits.begin(), hits.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second > b.second;
  });
  for (const auto& h : hits) out.push_back(db::ObjectId{h.second});
  return out;
}

db::ObjectId SpatialIndex::pick(Vec2 p, double maxDistance) {
  const auto hits = near(p, maxDistance);
  return hits.empty() ? db::ObjectId{} : hits.front();
}

std::vector<db::ObjectId> SpatialIndex::inside(const Box2& rect) {
  std::vector<db::ObjectId> out;
  for (db::ObjectId id : query(rect)) {
    const Box2 box = groupBox(id);
    if (rect.contains(box)) out.push_back(id);
  }
  return out;
}

std::vector<db::ObjectId> SpatialIndex::crossing(const Box2& rect) {
  std::vector<db::ObjectId> out;
  const ShapeOptions options{&layers_};
  for (db::ObjectId id : query(rect)) {
    MeetSink sink;
    sink.rect = rect;
    for (db::ObjectId m : group(id)) {
      describeEntity(database(), m, sink, options);
      if (sink.met) break;
    }
    if (sink.met) out.push_back(id);
  }
  return out;
}

std::vector<db::ObjectId> SpatialIndex::all() {
  ensureBuilt();
  std::vector<db::ObjectId> out;
  const db::Database& d = database();
  for (db::ObjectId id : d.block(d.modelSpace()).entities)
    if (live(id.index) && shown(id.index)) out.push_back(id);
  return out;
}

db::ObjectId SpatialIndex::newest() {
  ensureBuilt();
  const db::Database& d = database();
  const auto& list = d.block(d.modelSpace()).entities;
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    const std::uint32_t owner = slots_[it->index].owner;
    if (owner != kNone && live(owner) && shown(owner)) return db::ObjectId{owner};
  }
  return db::ObjectId{};
}

}  // namespace orv::core
