// Layer styles and linetype patterns by name, resolved once per name.
#include "style.h"

#include <algorithm>
#include <cmath>

#include "orv/db/header_values.h"

namespace orv::render {

bool makeDashPattern(const std::vector<db::DashElement>& elements, DashPattern& out) {
  out = DashPattern{};
  for (const db::DashElement& e : elements)
    if (!std::isfinite(e.length)) return false;
  // Leading gaps move to the end; the entity starts where they began.
  std::size_t first = 0;
  double leadingGap = 0.0;
  while (first < elements.size() && elements[first].length < 0.0)
    leadingGap += -elements[first++].length;
  bool hasGap = leadingGap > 0.0;
  auto append = [&](double length) {
    const bool dash = length >= 0.0;
    const double len = std::abs(length);
    if (!dash && len > 0.0) hasGap = true;
    if (dash == (out.lengths.size() % 2 == 0)) {
      out.lengths.push_back(len);
    } else {
      out.lengths.back() += len;  // two dashes or two gaps in a row are one
    }
  };
  for (std::size_t i = first; i < elements.size(); ++i) append(elements[i].length);
  for (std::size_t i = 0; i < first; ++i) append(elements[i].length);
  if (!hasGap || out.lengths.empty()) {
    out = DashPattern{};
    return false;
  }
  if (out.lengths.size() % 2 == 1) out.lengths.push_back(0.0);  // ends with a dash
  for (std::size_t i = 0; i < out.lengths.size(); ++i) {
    out.total += out.lengths[i];
    if (i % 2 == 0 && out.lengths[i] == 0.0) ++out.dots;
  }
  out.offset = leadingGap > 0.0 ? out.total - leadingGap : 0.0;
  return true;
}

StyleTable::StyleTable(const db::Database& db) : db_(db) {
  const auto& table = db.linetypes();
  patternOfTableEntry_.reserve(table.size());
  for (const db::Linetype& lt : table) {
    DashPattern p;
    if (makeDashPattern(lt.elements, p)) {
      patternOfTableEntry_.push_back(static_cast<std::int32_t>(patterns_.size()));
      patterns_.push_back(std::move(p));
    } else {
      patternOfTableEntry_.push_back(kContinuous);
    }
  }
  const double scale = db.header.linetypeScale;
  linetypeScale_ = std::isfinite(scale) && scale > 0.0 ? scale : 1.0;
  std::int64_t n = 0;
  if (geom::parseInteger(db::headerValue(db.header, "$LWDISPLAY").value_or(""), n)) display_.lineweights = n != 0;
  if (geom::parseInteger(db::headerValue(db.header, "$LWDEFAULT").value_or(""), n) && n >= 0 && n <= 211)
    display_.defaultLineweight = static_cast<std::int16_t>(n);
  if (geom::parseInteger(db::headerValue(db.header, "$FILLMODE").value_or(""), n)) display_.fill = n != 0;
}

std::int32_t StyleTable::linetypeByName(std::string_view name) const {
  const std::string folded = db::foldName(name);
  if (folded == "BYLAYER") return kByLayer;
  if (folded == "BYBLOCK") return kByBlock;
  auto index = db_.linetypes().find(name);
  if (!index || *index >= patternOfTableEntry_.size()) return kContinuous;
  return patternOfTableEntry_[*index];
}

std::int32_t StyleTable::linetype(db::NameId name) {
  const std::size_t i = name.index;
  if (i >= linetypeKnown_.size()) {
    linetypeKnown_.resize(i + 1, 0);
    linetypes_.resize(i + 1, kContinuous);
  }
  if (!linetypeKnown_[i]) {
    linetypes_[i] = linetypeByName(db_.name(name));
    linetypeKnown_[i] = 1;
  }
  return linetypes_[i];
}

std::int32_t StyleTable::linetype(std::string_view name) {
  auto it = linetypesByText_.find(name);
  if (it == linetypesByText_.end()) it = linetypesByText_.emplace(std::string(name), linetypeByName(name)).first;
  return it->second;
}

LayerStyle StyleTable::layerByName(std::string_view name) const {
  LayerStyle s;
  if (const db::Layer* layer = db_.layers().get(name)) {
    const int c = layer->color;
    s.off = c < 0;
    s.color = indexInk(c == 0 || std::abs(c) > 255 ? 7 : std::abs(c));
    const geom::CommonProps extra = geom::decodeCommon(layer->extras);
    if (extra.trueColor >= 0) s.color = trueInk(static_cast<std::uint32_t>(extra.trueColor));
    s.frozen = (layer->flags & 1) != 0;
    s.lineweight = layer->lineweight;
    for (db::RawTag t : layer->extras)
      if (t.code == 290 && t.value.find_first_not_of(" ") != std::string_view::npos) {
        std::int64_t v = 1;
        if (geom::parseInteger(t.value, v)) s.plots = v != 0;
      }
    const std::int32_t lt = linetypeByName(layer->linetype);
    s.linetype = lt >= 0 ? lt : kContinuous;
  }
  // DEFPOINTS holds what measures and bounds (definition points, viewports' borders):
  // never plotted.
  if (db::foldName(name) == "DEFPOINTS") s.plots = false;
  if (frozenHere_)
    for (const std::string& frozen : *frozenHere_)
      if (frozen.size() == name.size() &&
          std::equal(frozen.begin(), frozen.end(), name.begin(), [](char a, char b) {
            return (a >= 'A' && a <= 'Z' ? a + 32 : a) == (b >= 'A' && b <= 'Z' ? b + 32 : b);
          }))
        s.frozen = true;
  return s;
}

LayerStyle StyleTable::layer(db::NameId name) {
  const std::size_t i = name.index;
  if (i >= layerKnown_.size()) {
    layerKnown_.resize(i + 1, 0);
    layers_.resize(i + 1);
  }
  if (!layerKnown_[i]) {
    layers_[i] = layerByName(db_.name(name));
    layerKnown_[i] = 1;
  }
  return layers_[i];
}

LayerStyle StyleTable::layer(std::string_view name) {
  auto it = layersByText_.find(name);
  if (it == layersByText_.end()) it = layersByText_.emplace(std::string(name), layerByName(name)).first;
  return it->second;
}

geom::KeptKind StyleTable::keptKind(db::NameId type) {
  const std::size_t i = type.index;
  if (i >= kindKnown_.size()) {
    kindKnown_.resize(i + 1, 0);
    kinds_.resize(i + 1, geom::KeptKind::other);
  }
  if (!kindKnown_[i]) {
    kinds_[i] = geom::keptKindOf(db_.name(type));
    kindKnown_[i] = 1;
  }
  return kinds_[i];
}

}  // namespace orv::render
