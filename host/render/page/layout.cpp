// Paper-space layouts read from a drawing: LAYOUT objects (kept as tags), their blocks and their VIEWPORT entities.
#include "orv/render/layout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>

namespace orv::render {

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::optional<double> real(std::string_view s) {
  s = trim(s);
  double v = 0.0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<db::Handle> handle(std::string_view s) {
  s = trim(s);
  db::Handle h = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), h, 16);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || h == 0) return std::nullopt;
  return h;
}

bool positive(double v) { return std::isfinite(v) && v > 0.0; }

// The first value of each group code of a tag list, as numbers where they read as such.
struct Values {
  std::map<int, double> reals;
  std::vector<std::string_view> frozen;  // 331
};

// A LAYOUT object's values, split at its subclass markers: the plot settings before
// "AcDbLayout", the layout after it.
struct LayoutObject {
  Values settings, layout;
  std::string name;
  std::optional<db::Handle> block;  // 330 after AcDbLayout
};

void note(Values& v, const db::RawTag& t) {
  if (v.reals.count(t.code)) return;
  if (auto r = real(t.value)) v.reals[t.code] = *r;
}

double valueOr(const Values& v, int code, double fallback) {
  const auto it = v.reals.find(code);
  return it == v.reals.end() ? fallback : it->second;
}

std::vector<LayoutObject> layoutObjects(const db::RawTags& objects) {
  std::vector<LayoutObject> out;
  bool inLayout = false, afterSubclass = false;
  for (db::RawTag t : objects) {
    if (t.code == 0) {
      inLayout = trim(t.value) == "LAYOUT";
      afterSubclass = false;
      if (inLayout) out.emplace_back();
      continue;
    }
    if (!inLayout) continue;
    LayoutObject& o = out.back();
    if (t.code == 100) {
      if (trim(t.value) == "AcDbLayout") afterSubclass = true;
      continue;
    }
    if (!afterSubclass) {
      note(o.settings, t);
      continue;
    }
    if (t.code == 1 && o.name.empty()) o.name = std::string(trim(t.value));
    else if (t.code == 330 && !o.block) o.block = handle(t.value);
    else note(o.layout, t);
  }
  return out;
}

// A VIEWPORT entity as a plot draws it; nullopt for the layout's own (id 1), one that is
// off, and those it cannot draw (a 3D view, a twist, no size).
std::optional<LayoutViewport> viewportOf(const db::Database& db, const db::Entity& viewport, const db::RawTags& tags,
                                        bool& leftOut) {
  Values v;
  for (db::RawTag t : tags) {
    if (t.code == 331) v.frozen.push_back(t.value);
    else note(v, t);
  }
  leftOut = false;
  if (valueOr(v, 69, 2.0) == 1.0) return std::nullopt;  // the paper space's own viewport
  if (valueOr(v, 68, 1.0) <= 0.0) return std::nullopt;  // off, or off the screen
  const double w = valueOr(v, 40, 0.0), h = valueOr(v, 41, 0.0), viewHeight = valueOr(v, 45, 0.0);
  const bool plan = valueOr(v, 16, 0.0) == 0.0 && valueOr(v, 26, 0.0) == 0.0 && valueOr(v, 36, 1.0) > 0.0;
  if (!positive(w) || !positive(h) || !positive(viewHeight) || !plan || valueOr(v, 51, 0.0) != 0.0) {
    leftOut = true;
    return std::nullopt;
  }
  LayoutViewport vp;
  const double cx = valueOr(v, 10, 0.0), cy = valueOr(v, 20, 0.0);
  vp.box = Extents{cx - w / 2.0, cy - h / 2.0, cx + w / 2.0, cy + h / 2.0};
  // The view centre is relative to the view's target point.
  vp.viewCentre = {valueOr(v, 12, 0.0) + valueOr(v, 17, 0.0), valueOr(v, 22, 0.0) + valueOr(v, 27, 0.0)};
  vp.viewHeight = viewHeight;
  if (!positive(vp.scale()) || vp.scale() > 1e9 || vp.scale() < 1e-9) {
    leftOut = true;
    return std::nullopt;
  }
  vp.clipBoundary = clipBoundaryOf(db, viewport);
  for (std::string_view f : v.frozen) {
    const auto h = handle(f);
    if (!h) continue;
    for (const db::Layer& layer : db.layers())
      if (layer.handle == *h) vp.frozenLayers.push_back(layer.name);
  }
  return vp;
}

// Whether an entity can bound a viewport's area: closed, and of a kind that encloses one.
bool enclosesAnArea(const db::Database& db, const db::Entity& e) {
  if (const auto* pl = e.as<db::Polyline>())
    return pl->size() >= 2 && (pl->closed() || (pl->size() >= 3 && pl->point(0) == pl->point(pl->size() - 1)));
  if (const auto* c = e.as<db::Circle>()) return positive(c->radius);
  if (const auto* el = e.as<db::Ellipse>()) return el->sweep() >= 2.0 * std::numbers::pi - 1e-9;
  if (const auto* sp = e.as<db::Spline>()) return sp->closed();
  if (const auto* hp = e.as<db::HeavyPolyline>()) return hp->isClosed() && !hp->isPolygonMesh() && !hp->isPolyface();
  const auto* kept = e.as<db::UnknownEntity>();
  if (!kept) return false;
  Values v;
  for (db::RawTag t : kept->tags) note(v, t);
  const std::string_view type = db.name(kept->type);
  const auto flags = static_cast<long long>(valueOr(v, 70, 0.0));
  if (type == "CIRCLE") return positive(valueOr(v, 40, 0.0));
  if (type == "LWPOLYLINE") return (flags & 1) != 0;
  return false;
}

}  // namespace

db::ObjectId clipBoundaryOf(const db::Database& db, const db::Entity& viewport) {
  const auto* u = viewport.as<db::UnknownEntity>();
  if (!u || db.name(u->type) != "VIEWPORT") return {};
  std::optional<double> flags;
  std::optional<db::Handle> boundary;
  db::forEachDataTag(u->tags, [&](int code, std::string_view value) {
    if (code == 90 && !flags) flags = real(value);
    else if (code == 340 && !boundary) boundary = handle(value);
    return true;
  });
  constexpr long long kClippedByEntity = 0x10000;
  if (!flags || !boundary || *flags < 0.0 || *flags > 4294967295.0 ||
      (static_cast<long long>(*flags) & kClippedByEntity) == 0)
    return {};
  const db::BlockId owner = viewport.owner();
  if (owner.isNull() || owner.index >= db.blockCount()) return {};
  for (db::ObjectId id : db.block(owner).entities) {
    const db::Entity* e = db.entity(id);
    if (e && !e->isErased() && e->handle() == *boundary) return enclosesAnArea(db, *e) ? id : db::ObjectId{};
  }
  return {};
}

ViewTransform throughViewport(const ViewTransform& paper, const LayoutViewport& viewport) {
  const double s = viewport.scale();
  const double cx = viewport.box.minX * 0.5 + viewport.box.maxX * 0.5;
  const double cy = viewport.box.minY * 0.5 + viewport.box.maxY * 0.5;
  // device = paper.toDevice(centre + s·(p − viewCentre)).
  return ViewTransform{paper.scale * s, paper.offsetX + paper.scale * (cx - s * viewport.viewCentre.x),
                       paper.offsetY - paper.scale * (cy - s * viewport.viewCentre.y)};
}

std::vector<LayoutSheet> layoutsOf(const db::Database& db) {
  std::vector<std::pair<double, LayoutSheet>> found;
  for (const LayoutObject& o : layoutObjects(db.objects)) {
    if (o.name.empty() || !o.block) continue;
    std::optional<db::BlockId> block;
    for (std::uint32_t i = 0; i < db.blockCount(); ++i)
      if (db.block(db::BlockId{i}).recordHandle == *o.block && !db.block(db::BlockId{i}).removed) block = db::BlockId{i};
    if (!block || *block == db.modelSpace()) continue;
    LayoutSheet sheet;
    sheet.name = o.name;
    sheet.block = *block;
    sheet.unitMm = valueOr(o.settings, 72, 1.0) == 0.0 ? 25.4 : 1.0;
    double pw = valueOr(o.settings, 44, 0.0), ph = valueOr(o.settings, 45, 0.0);
    const double rotation = valueOr(o.settings, 73, 0.0);  // quarter turns
    if (rotation == 1.0 || rotation == 3.0) std::swap(pw, ph);
    if (positive(pw) && positive(ph) && pw <= 5000.0 && ph <= 5000.0) {
      sheet.paperWidthMm = pw;
      sheet.paperHeightMm = ph;
    }
    bool left = false;
    for (db::ObjectId id : db.block(*block).entities) {
      const db::Entity* e = db.entity(id);
      const auto* u = e && !e->isErased() ? e->as<db::UnknownEntity>() : nullptr;
      if (!u || db.name(u->type) != "VIEWPORT") continue;
      if (auto vp = viewportOf(db, *e, u->tags, left)) sheet.viewports.push_back(std::move(*vp));
      sheet.viewportsLeftOut += left ? 1 : 0;
    }
    const Extents limits{valueOr(o.layout, 10, 0.0), valueOr(o.layout, 20, 0.0), valueOr(o.layout, 11, 0.0),
                         valueOr(o.layout, 21, 0.0)};
    if (limits.maxX > limits.minX && limits.maxY > limits.minY) {
      sheet.area = limits;
    } else if (sheet.paperWidthMm > 0.0) {
      sheet.area = Extents{0.0, 0.0, sheet.paperWidthMm / sheet.unitMm, sheet.paperHeightMm / sheet.unitMm};
    } else if (!sheet.viewports.empty()) {
      sheet.area = sheet.viewports.front().box;
      for (const LayoutViewport& vp : sheet.viewports) {
        sheet.area.minX = std::min(sheet.area.minX, vp.box.minX);
        sheet.area.minY = std::min(sheet.area.minY, vp.box.minY);
        sheet.area.maxX = std::max(sheet.area.maxX, vp.box.maxX);
        sheet.area.maxY = std::max(sheet.area.maxY, vp.box.maxY);
      }
    }
    found.emplace_back(valueOr(o.layout, 71, 1e9), std::move(sheet));
  }
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<LayoutSheet> out;
  for (auto& f : found) out.push_back(std::move(f.second));
  return out;
}

}  // namespace orv::render
