// Kept entities under a map: a table per type of which group codes are points,
// vectors, lengths and angles, and the few types that need more (text that must stay
// readable, dimension measurements).
#include "kept_transform.h"

#include <algorithm>
#include <optional>

#include "kept_tags.h"

namespace orv::core::kept {

namespace {

enum class Role : std::uint8_t { none, point, vector, scaledVector, length, degrees, radians, bulge };
enum class Frame : std::uint8_t { world, object };

struct CodeRole {
  int code;
  Role role;
  Frame frame = Frame::world;
};

// ---- an editable copy of the tags

struct Entry {
  int code = 0;
  std::uint8_t slot = 0;
  std::string value;
  std::uint8_t where = 0;  // 0 the entity's own, 1 application data, 2 extended data
};

class Editable {
 public:
  explicit Editable(const db::RawTags& raw) {
    bool inGroup = false, inXdata = false;
    for (db::RawTag t : raw) {
      if (t.code >= 1000) inXdata = true;
      std::uint8_t where = inXdata ? 2 : inGroup ? 1 : 0;
      if (t.code == 102 && !inXdata) {
        inGroup = !t.value.empty() && t.value.front() == '{';
        where = 1;
      }
      entries.push_back({t.code, t.slot, std::string(t.value), where});
    }
  }
  db::RawTags raw() const {
    db::RawTags out;
    for (const Entry& e : entries) out.add(e.code, e.value, e.slot);
    return out;
  }
  std::optional<std::size_t> find(int code, std::size_t from = 0) const {
    for (std::size_t i = from; i < entries.size(); ++i)
      if (entries[i].code == code && entries[i].where == 0) return i;
    return std::nullopt;
  }
  std::optional<double> number(std::size_t i) const { return parseNumber(entries[i].value); }
  double number(int code, double fallback) const {
    const auto i = find(code);
    return i ? number(*i).value_or(fallback) : fallback;
  }
  // The index of a subclass marker, the n-th of that name (from 0).
  std::optional<std::size_t> marker(std::string_view name, int nth = 0) const {
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].code == 100 && entries[i].where == 0 && entries[i].value == name && nth-- == 0) return i;
    return std::nullopt;
  }
  // Where tags added to the entity's own go at the end: before extended data.
  std::size_t end() const {
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].where == 2) return i;
    return entries.size();
  }
  void set(std::size_t i, double v) {
    if (!std::isfinite(v)) overflowed = true;
    entries[i].value = formatNumber(v);
  }
  // Sets the first tag of a code, or adds it before `at`.
  void put(int code, double v, std::size_t at) {
    if (!std::isfinite(v)) overflowed = true;
    if (auto i = find(code)) return set(*i, v);
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), Entry{code, slotNear(at), formatNumber(v), 0});
  }
  void putInteger(int code, long v, std::size_t at) {
    if (auto i = find(code)) {
      entries[*i].value = std::to_string(v);
      return;
    }
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), Entry{code, slotNear(at), std::to_string(v), 0});
  }
  // A point's x, y (and z when there) at i, x code c.
  std::optional<std::array<double, 3>> pointAt(std::size_t i) const {
    if (i + 1 >= entries.size() || entries[i + 1].code != entries[i].code + 10) return std::nullopt;
    const auto x = number(i), y = number(i + 1);
    if (!x || !y) return std::nullopt;
    double z = 0;
    if (i + 2 < entries.size() && entries[i + 2].code == entries[i].code + 20) z = number(i + 2).value_or(0);
    return std::array<double, 3>{*x, *y, z};
  }
  void setPoint(std::size_t i, Vec2 p, std::optional<double> z = std::nullopt) {
    set(i, p.x);
    set(i + 1, p.y);
    if (z && i + 2 < entries.size() && entries[i + 2].code == entries[i].code + 20) set(i + 2, *z);
  }
  // Sets the point of x code c, or adds it (x, y, z) before `at`.
  void putPoint(int code, Vec2 p, double z, std::size_t at) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(z)) overflowed = true;
    if (auto i = find(code); i && pointAt(*i)) {
      setPoint(*i, p, z);
      return;
    }
    const std::uint8_t slot = slotNear(at);
    const Entry added[3] = {{code, slot, formatNumber(p.x), 0},
                            {code + 10, slot, formatNumber(p.y), 0},
                            {code + 20, slot, formatNumber(z), 0}};
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), std::begin(added), std::end(added));
  }

  std::vector<Entry> entries;
  bool overflowed = false;  // a value came out too large for a double

 private:
  std::uint8_t slotNear(std::size_t at) const {
    if (at < entries.size()) return entries[at].slot;
    return entries.empty() ? 0 : entries.back().slot;
  }
};

// ---- the generic pass

struct Maps {
  Affine2 world;
  Affine2 object;
  const Affine2& of(Frame f) const { return f == Frame::world ? world : object; }
};

// Applies a role to the tag at i (and the y and z after a point's x); returns the index
// after what it used, or nullopt when a number is not one.
std::optional<std::size_t> applyRole(Editable& t, std::size_t i, Role role, const Affine2& m) {
  switch (role) {
    case Role::none: return i + 1;
    case Role::point:
    case Role::vector:
    case Role::scaledVector: {
      const auto p = t.pointAt(i);
      if (!p) return std::nullopt;
      const Vec2 v{(*p)[0], (*p)[1]};
      if (role == Role::point) {
        t.setPoint(i, m.apply(v), m.applyZ((*p)[2]));
      } else {
        const Vec2 w = m.applyLinear(v);
        t.setPoint(i, role == Role::vector ? (1 / m.scale()) * w : w);
      }
      std::size_t next = i + 2;
      if (next < t.entries.size() && t.entries[next].code == t.entries[i].code + 20) ++next;
      return next;
    }
    default: break;
  }
  const auto v = t.number(i);
  if (!v) return std::nullopt;
  switch (role) {
    case Role::length: t.set(i, *v * m.scale()); break;
    case Role::degrees: t.set(i, m.mapDegrees(*v)); break;
    case Role::radians: t.set(i, m.mapDegrees(*v / kDegree) * kDegree); break;
    case Role::bulge: if (m.mirrors()) t.set(i, -*v); break;
    default: break;
  }
  return i + 1;
}

Role xdataRole(int code) {
  switch (code) {
    case 1011: return Role::point;
    case 1012: return Role::scaledVector;
    case 1013: return Role::vector;
    case 1041: case 1042: return Role::length;
    default: return Role::none;
  }
}

bool applyTable(Editable& t, const std::vector<CodeRole>& table, const Maps& maps) {
  std::size_t i = 0;
  while (i < t.entries.size()) {
    const Entry& e = t.entries[i];
    Role role = Role::none;
    Frame frame = Frame::world;
    if (e.where == 2) {
      role = xdataRole(e.code);
    } else if (e.where == 0) {
      for (const CodeRole& r : table)
        if (r.code == e.code) role = r.role, frame = r.frame;
    }
    const auto next = applyRole(t, i, role, maps.of(frame));
    if (!next) return false;
    i = *next;
  }
  return true;
}

// ---- the tables

// A value a kind may leave out (an angle of 0, a scale of 1) that the map can change:
// written after the tag of code `after` (0: at the end of the entity's own tags).
struct Omitted {
  int code;
  double value;
  Role role;
  Frame frame;
  int after;
};

struct KindTable {
  std::string_view type;
  std::vector<CodeRole> roles;
  bool objectFrame;  // some of its coordinates are in the object's plane
  std::vector<Omitted> omitted = {};
};

void putOmitted(Editable& t, const std::vector<Omitted>& omitted, const Maps& maps) {
  for (const Omitted& o : omitted) {
    if (t.find(o.code)) continue;
    const Affine2& m = maps.of(o.frame);
    double v = o.value;
    if (o.role == Role::degrees) v = m.mapDegrees(v);
    if (o.role == Role::radians) v = m.mapDegrees(v / kDegree) * kDegree;
    if (o.role == Role::length) v *= m.scale();
    if (v == o.value) continue;
    std::size_t at = t.end();
    if (o.after != 0)
      if (auto i = t.find(o.after)) {
        at = *i + 1;
        while (at < t.entries.size() && (t.entries[at].code == o.after + 10 || t.entries[at].code == o.after + 20)) ++at;
      }
    t.put(o.code, v, at);
  }
}

const std::vector<KindTable>& tables() {
  constexpr Frame W = Frame::world, O = Frame::object;
  static const std::vector<KindTable> kTables = {
      {"LINE", {{10, Role::point, W}, {11, Role::point, W}}, false},
      {"RAY", {{10, Role::point, W}, {11, Role::vector, W}}, false},
      {"XLINE", {{10, Role::point, W}, {11, Role::vector, W}}, false},
      {"CIRCLE", {{10, Role::point, O}, {40, Role::length}}, true},
      {"ARC", {{10, Role::point, O}, {40, Role::length}, {50, Role::degrees, O}, {51, Role::degrees, O}}, true},
      {"INSERT", {{10, Role::point, O}, {41, Role::length}, {42, Role::length}, {43, Role::length},
                  {44, Role::length}, {45, Role::length}, {50, Role::degrees, O}}, true,
       {{41, 1, Role::length, O, 10}, {42, 1, Role::length, O, 10}, {43, 1, Role::length, O, 10},
        {50, 0, Role::degrees, O, 10}}},
      {"SEQEND", {}, false},  // the end of a reference's attributes: nothing to map
  };
  return kTables;
}

}  // namespace

std::variant<db::RawTags, std::string> transformKept(std::string_view type, const db::RawTags& raw,
                                                     const Affine2& map) {
  const KindTable* table = nullptr;
  for (const KindTable& k : tables())
    if (k.type == type) table = &k;
  if (!table) return std::string("不知道其几何");
  if (!map.isSimilarity()) return std::string("只能均匀缩放");
  const Tags view(raw);
  const Plane plane = planeOf(view);
  const std::vector<CodeRole>& roles = table->roles;
  if (table->objectFrame && plane == Plane::tilted) return std::string("其所在平面与 XY 平面不平行");
  if (!table->objectFrame && plane == Plane::tilted && type != "LINE")
    return std::string("其所在平面与 XY 平面不平行");
  if (type == "INSERT" && map.mirrors()) return std::string("其块未定义，不能镜像");

  Maps maps{map, map};
  const Affine2 flip = objectToWorld(plane);
  maps.object = flip.after(map).after(flip);
  Editable t(raw);
  if (!applyTable(t, roles, maps)) return std::string("其数值无效");
  putOmitted(t, table->omitted, maps);
  if (map.mirrors()) {
    if (type == "ARC") {
      auto s = t.find(50), e = t.find(51);
      if (s && e) std::swap(t.entries[*s].value, t.entries[*e].value);
    }
  }
  if (t.overflowed) return std::string("变换后的数值无效");
  return t.raw();
}

}  // namespace orv::core::kept
