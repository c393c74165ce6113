// Entity kinds described by a table: their values, and for each DXF type its group codes,
// defaults and the geometric role of each field, which the file reader and writer and the
// transforms walk instead of code of their own per kind.
//
// A kind here is a plain struct. Its description lists its fields in the order a DXF
// file holds them; a field is a number or a point (x code, x + 10, x + 20). The role says
// what a map does to it: a point moves, a length scales, an angle turns; a point of the
// object frame lies in the plane of the kind's extrusion (its object coordinate system).
// What no table can say is a function of the kind (a solid's outline order, say).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "orv/db/types.h"

namespace orv::db {

// A value kept on the heap that copies as a value: large kinds stay out of every entity's
// own bytes. A moved-from box is empty and may only be assigned to or destroyed.
template <class T>
class Boxed {
 public:
  Boxed() : p_(std::make_unique<T>()) {}
  Boxed(T value) : p_(std::make_unique<T>(std::move(value))) {}
  Boxed(const Boxed& other) : p_(other.p_ ? std::make_unique<T>(*other.p_) : nullptr) {}
  Boxed(Boxed&&) noexcept = default;
  Boxed& operator=(const Boxed& other) {
    if (this != &other) p_ = other.p_ ? std::make_unique<T>(*other.p_) : nullptr;
    return *this;
  }
  Boxed& operator=(Boxed&&) noexcept = default;
  ~Boxed() = default;

  T* get() { return p_.get(); }
  const T* get() const { return p_.get(); }
  T& operator*() { return *p_; }
  const T& operator*() const { return *p_; }
  T* operator->() { return p_.get(); }
  const T* operator->() const { return p_.get(); }
  bool operator==(const Boxed& other) const {
    return p_ && other.p_ ? *p_ == *other.p_ : p_ == other.p_;
  }

 private:
  std::unique_ptr<T> p_;
};

// POINT: a position in world coordinates.
struct Point {
  Point3 position;                  // 10
  double thickness = 0.0;           // 39
  Point3 extrusion{0.0, 0.0, 1.0};  // 210
  double angle = 0.0;               // 50, degrees: the x axis of the point's symbol
  bool operator==(const Point&) const = default;
};

// SOLID and TRACE (filled, corners in the plane of the extrusion) and 3DFACE (its edges,
// corners in world coordinates). A triangle repeats its third corner as the fourth.
struct Solid {
  enum class Type : std::uint8_t { solid, trace, face };
  Type type = Type::solid;
  std::int16_t hiddenEdges = 0;     // 70, 3DFACE: 1, 2, 4, 8 hide the first to fourth edge
  std::array<Point3, 4> corners{};  // 10, 11, 12, 13
  double thickness = 0.0;           // 39, SOLID and TRACE
  Point3 extrusion{0.0, 0.0, 1.0};  // 210, SOLID and TRACE
  bool operator==(const Solid&) const = default;

  // A solid, trace or face through three or four corners (a triangle without the fourth),
  // in the order a file lists them.
  static Solid through(Type type, Point3 a, Point3 b, Point3 c, std::optional<Point3> d = std::nullopt) {
    Solid s;
    s.type = type;
    s.corners = {a, b, c, d.value_or(c)};
    return s;
  }

  bool filled() const { return type != Type::face; }
  // 3 when the last two corners are one.
  int cornerCount() const { return corners[2] == corners[3] ? 3 : 4; }
  // The corners in the order of the edges: SOLID and TRACE list their third and fourth
  // corners the other way round (10, 11, 13, 12). The first cornerCount() count.
  std::array<Point3, 4> outline() const;
};

// ELLIPSE: an ellipse or elliptical arc in world coordinates. The point of parameter t is
// center + cos t·majorAxis + sin t·minorAxis(), the minor axis being `ratio` times the
// major axis turned a quarter counter-clockwise about the extrusion. The arc runs from
// startParam to endParam counter-clockwise about the extrusion (radians; equal, or a whole
// turn apart, for a full ellipse).
struct Ellipse {
  Point3 center;                    // 10
  Point3 majorAxis{1.0, 0.0, 0.0};  // 11, from the centre
  Point3 extrusion{0.0, 0.0, 1.0};  // 210
  double ratio = 1.0;               // 40: minor to major, (0, 1]
  double startParam = 0.0;          // 41
  double endParam = 6.283185307179586;  // 42
  bool operator==(const Ellipse&) const = default;

  Point3 minorAxis() const;
  // The counter-clockwise sweep in radians: in (0, 2π].
  double sweep() const;
  // A mirror reverses the way the parameters run: the same arc, given the other way.
  void mirrorParameters();
};

// ---- the descriptions

enum class FieldType : std::uint8_t { real, point, int16 };
enum class Role : std::uint8_t {
  none,       // a flag or a count
  point,      // moves with the map
  vector,     // a direction and size: turns and scales with the map, does not move
  length,     // scales with it
  degrees,    // turns with it
  extrusion,  // the normal of the object frame: stays (maps are in the drawing plane)
};
enum class Frame : std::uint8_t { world, object };

struct FieldDescription {
  int code;  // a point's x code
  FieldType type;
  Role role;
  Frame frame;
  std::uint16_t offset;  // of the value in the kind's struct
  Point3 fallback;       // the default (a number's in x)
  bool always;           // written even when it holds the default
};

// Which alternative of db::Geometry holds a described kind.
enum class TableKind : std::uint8_t { point, solid, ellipse };

struct KindDescription {
  std::string_view type;      // DXF type name
  std::string_view subclass;  // the marker (100) of its own part
  TableKind kind;
  std::uint8_t variant;       // Solid::Type for a solid
  std::span<const FieldDescription> fields;
};

// Every described DXF type, and the one of a name (nullptr: not described).
std::span<const KindDescription> kindDescriptions();
const KindDescription* descriptionOf(std::string_view type);
const KindDescription& descriptionOf(const Point&);
const KindDescription& descriptionOf(const Solid&);
const KindDescription& descriptionOf(const Ellipse&);

// A field's value inside the struct at `object` (of the field's kind).
inline double& realField(void* object, const FieldDescription& f) {
  return *reinterpret_cast<double*>(static_cast<char*>(object) + f.offset);
}
inline Point3& pointField(void* object, const FieldDescription& f) {
  return *reinterpret_cast<Point3*>(static_cast<char*>(object) + f.offset);
}
inline std::int16_t& int16Field(void* object, const FieldDescription& f) {
  return *reinterpret_cast<std::int16_t*>(static_cast<char*>(object) + f.offset);
}
inline double realField(const void* object, const FieldDescription& f) {
  return realField(const_cast<void*>(object), f);
}
inline Point3 pointField(const void* object, const FieldDescription& f) {
  return pointField(const_cast<void*>(object), f);
}
inline std::int16_t int16Field(const void* object, const FieldDescription& f) {
  return int16Field(const_cast<void*>(object), f);
}

// The extrusion of a described kind's object (0, 0, 1 when it has none).
Point3 extrusionOf(const KindDescription& description, const void* object);
// True when every number of the object is finite.
bool fieldsFinite(const KindDescription& description, const void* object);

}  // namespace orv::db
