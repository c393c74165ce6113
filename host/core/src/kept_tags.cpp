// Tags of kept entities: lookups by code, numbers, layer names, the object coordinate
// system, and the structure of a HATCH.
#include "kept_tags.h"

#include <charconv>

namespace orv::core::kept {

Tags::Tags(const db::RawTags& raw) {
  tags_.reserve(raw.size());
  grouped_.reserve(raw.size());
  db::DataTagWalk walk;
  for (db::RawTag t : raw) {
    const bool grouped = walk.next(t) != db::DataTagWalk::Place::data;
    tags_.push_back({t.code, t.slot, t.value});
    grouped_.push_back(grouped ? 1 : 0);
  }
}

std::optional<std::size_t> Tags::find(int code) const {
  for (std::size_t i = 0; i < tags_.size(); ++i)
    if (tags_[i].code == code && !grouped_[i]) return i;
  return std::nullopt;
}

std::optional<double> Tags::number(int code) const {
  const auto i = find(code);
  return i ? parseNumber(tags_[*i].value) : std::nullopt;
}

std::optional<Vec2> Tags::point(int code) const {
  const auto i = find(code);
  return i ? pointAt(*i) : std::nullopt;
}

std::optional<Vec2> Tags::pointAt(std::size_t i) const {
  if (i + 1 >= tags_.size() || tags_[i + 1].code != tags_[i].code + 10) return std::nullopt;
  const auto x = parseNumber(tags_[i].value), y = parseNumber(tags_[i + 1].value);
  if (!x || !y) return std::nullopt;
  return Vec2{*x, *y};
}

std::string_view Tags::text(int code) const {
  const auto i = find(code);
  return i ? tags_[*i].value : std::string_view{};
}

std::optional<double> parseNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string formatNumber(double v) {
  if (v == 0) v = 0;  // no "-0"
  char buffer[32];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  std::string s(buffer, r.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string_view layerName(const db::Database& d, const db::Entity& e) {
  if (const auto* u = e.as<db::UnknownEntity>()) {
    std::string_view layer = "0";
    db::forEachDataTag(u->tags, [&](int code, std::string_view v) {
      if (code == 8) layer = v;
      return code != 8;
    });
    return layer;
  }
  return d.name(e.layer);
}

Plane planeOf(const Tags& tags) {
  const auto i = tags.find(210);
  if (!i) return Plane::world;
  const double x = parseNumber(tags[*i].value).value_or(0);
  double y = 0, z = 1;
  if (*i + 1 < tags.size() && tags[*i + 1].code == 220) y = parseNumber(tags[*i + 1].value).value_or(0);
  if (*i + 2 < tags.size() && tags[*i + 2].code == 230) z = parseNumber(tags[*i + 2].value).value_or(1);
  return planeOf(db::Point3{x, y, z});
}

Plane planeOf(db::Point3 n) {
  const double x = n.x, y = n.y, z = n.z;
  const double len = std::sqrt(x * x + y * y + z * z);
  if (len == 0) return Plane::world;
  // The arbitrary axis algorithm keeps world axes for normals within 1/64 of Z.
  if (std::abs(x / len) < 1e-12 && std::abs(y / len) < 1e-12) return z > 0 ? Plane::world : Plane::flipped;
  return Plane::tilted;
}

Affine2 objectToWorld(Plane plane) {
  Affine2 m;
  if (plane == Plane::flipped) m.a = -1, m.turn = 180;
  return m;
}

// ---- HATCH

namespace {

class HatchReader {
 public:
  HatchReader(const Tags& tags, std::vector<HatchTag>& out) : t_(tags), out_(out) {}

  bool read() {
    out_.assign(t_.size(), HatchTag{});
    std::size_t start = 0;
    for (std::size_t k = 0; k < t_.size(); ++k)
      if (t_[k].code == 100 && t_[k].value == "AcDbHatch") start = k + 1;
    i_ = start;
    // Up to the count of boundary paths: the elevation point and the fill's name.
    while (i_ < t_.size() && t_[i_].code != 91) {
      if (t_[i_].code == 10 || t_[i_].code == 20 || t_[i_].code == 30) mark(HatchRole::elevation);
      if (t_[i_].code == 71) mark(HatchRole::associative);
      ++i_;
    }
    long paths = 0;
    if (!count(91, paths)) return false;
    for (long p = 0; p < paths; ++p)
      if (!path()) return false;
    return pattern();
  }

 private:
  bool at(int code) const { return i_ < t_.size() && t_[i_].code == code && !t_.inGroup(i_); }
  void mark(HatchRole role, std::uint8_t edgeType = 0) {
    out_[i_] = HatchTag{role, edge_, edgeType};
  }
  bool count(int code, long& n) {
    if (!at(code)) return false;
    const auto v = parseNumber(t_[i_].value);
    if (!v || *v < 0 || *v > 1e7) return false;
    n = static_cast<long>(*v);
    ++i_;
    return true;
  }
  // x (role) then y; z is not written in a boundary.
  bool point(int code, HatchRole role, std::uint8_t edgeType) {
    if (!at(code)) return false;
    mark(role, edgeType);
    ++i_;
    if (!at(code + 10)) return false;
    ++i_;
    return true;
  }
  bool value(int code, HatchRole role, std::uint8_t edgeType = 0) {
    if (!at(code)) return false;
    mark(role, edgeType);
    ++i_;
    return true;
  }
  void optional(int code, HatchRole role, std::uint8_t edgeType = 0) {
    if (at(code)) value(code, role, edgeType);
  }

  bool path() {
    long flags = 0;
    if (!count(92, flags)) return false;
    ++edge_;
    if (flags & 2) {
      long hasBulge = 0, closed = 0, n = 0;
      if (!count(72, hasBulge) || !count(73, closed) || !count(93, n)) return false;
      for (long k = 0; k < n; ++k) {
        if (!point(10, HatchRole::vertex, 0)) return false;
        optional(42, HatchRole::bulge);
      }
    } else {
      long edges = 0;
      if (!count(93, edges)) return false;
      for (long k = 0; k < edges; ++k) {
        ++edge_;
        if (!edgeOf()) return false;
      }
    }
    long sources = 0;
    if (at(97)) {
      mark(HatchRole::sourceCount);
      if (!count(97, sources)) return false;
      for (long k = 0; k < sources; ++k)
        if (!value(330, HatchRole::sourceHandle)) return false;
    }
    return true;
  }

  bool edgeOf() {
    long type = 0;
    if (!count(72, type)) return false;
    const auto et = static_cast<std::uint8_t>(type);
    switch (type) {
      case 1:
        return point(10, HatchRole::lineStart, et) && point(11, HatchRole::lineEnd, et);
      case 2:
        return point(10, HatchRole::arcCenter, et) && value(40, HatchRole::radius, et) &&
               value(50, HatchRole::startAngle, et) && value(51, HatchRole::endAngle, et) &&
               value(73, HatchRole::ccw, et);
      case 3:
        return point(10, HatchRole::arcCenter, et) && point(11, HatchRole::majorAxis, et) &&
               value(40, HatchRole::ratio, et) && value(50, HatchRole::startAngle, et) &&
               value(51, HatchRole::endAngle, et) && value(73, HatchRole::ccw, et);
      case 4: {
        long degree = 0, rational = 0, periodic = 0, knots = 0, controls = 0;
        if (!count(94, degree) || !count(73, rational) || !count(74, periodic) || !count(95, knots) ||
            !count(96, controls))
          return false;
        for (long k = 0; k < knots; ++k)
          if (!value(40, HatchRole::other, et)) return false;
        for (long k = 0; k < controls; ++k) {
          if (!point(10, HatchRole::control, et)) return false;
          optional(42, HatchRole::other, et);  // a weight
        }
        // Fit data (newer files): a count, the points, the two tangents.
        const bool fitData = at(97) && i_ + 1 < t_.size() &&
                             (t_[i_ + 1].code == 11 || t_[i_ + 1].code == 12);
        if (fitData) {
          long fits = 0;
          if (!count(97, fits)) return false;
          for (long k = 0; k < fits; ++k)
            if (!point(11, HatchRole::fit, et)) return false;
          if (at(12) && !point(12, HatchRole::tangent, et)) return false;
          if (at(13) && !point(13, HatchRole::tangent, et)) return false;
        }
        return true;
      }
      default:
        return false;
    }
  }

  bool pattern() {
    edge_ = 0;
    bool seeds = false;
    while (i_ < t_.size()) {
      if (t_.inGroup(i_)) {
        ++i_;
        continue;
      }
      switch (t_[i_].code) {
        case 52: case 53: mark(HatchRole::patternAngle); break;
        case 41: mark(HatchRole::patternScale); break;
        case 43: mark(HatchRole::patternBase); break;
        case 45: mark(HatchRole::patternOffset); break;
        case 49: mark(HatchRole::dash); break;
        case 98: seeds = true; break;
        case 10: if (seeds) mark(HatchRole::seed); break;
        case 450: seeds = false; break;
        default: break;
      }
      ++i_;
    }
    return true;
  }

  const Tags& t_;
  std::vector<HatchTag>& out_;
  std::size_t i_ = 0;
  std::uint16_t edge_ = 0;
};

}  // namespace

std::vector<HatchTag> classifyHatch(const Tags& tags) {
  std::vector<HatchTag> out;
  if (!HatchReader(tags, out).read()) out.clear();
  return out;
}

}  // namespace orv::core::kept
