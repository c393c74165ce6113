// Entities of a drawing: their geometry kinds and the properties every entity has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <variant>

#include "orv/db/dimension.h"
#include "orv/db/hatch.h"
#include "orv/db/heavy_polyline.h"
#include "orv/db/kinds.h"
#include "orv/db/leader.h"
#include "orv/db/mtext_kind.h"
#include "orv/db/raw_tags.h"
#include "orv/db/text_kinds.h"
#include "orv/db/spline.h"
#include "orv/db/types.h"

namespace orv::db {

struct Line {
  Point3 start;
  Point3 end;
  bool operator==(const Line&) const = default;
};

struct Circle {
  Point3 center;
  double radius = 0.0;
  bool operator==(const Circle&) const = default;
};

// Angles in degrees, counter-clockwise from +x, from start to end (as a DXF file holds them).
struct Arc {
  Point3 center;
  double radius = 0.0;
  double startAngle = 0.0;
  double endAngle = 0.0;
  bool operator==(const Arc&) const = default;
};

// A reference to a block definition of the same database. Rotation in degrees.
struct BlockReference {
  BlockId block;
  Point3 position;
  double xScale = 1.0;
  double yScale = 1.0;
  double zScale = 1.0;
  double rotation = 0.0;
  bool operator==(const BlockReference&) const = default;
};

// An entity read from a file that the model does not interpret: its type name and every
// tag after the type, kept so that it is written back unchanged.
struct UnknownEntity {
  NameId type;
  RawTags tags;
  bool operator==(const UnknownEntity&) const = default;
};

struct Vertex {
  Point2 point;
  double bulge = 0.0;
  double startWidth = 0.0;
  double endWidth = 0.0;
  bool operator==(const Vertex&) const = default;
};

// A lightweight polyline. Two vertices are held inline; bulges and widths take memory
// only once one of them is not zero. A width of 0 means the polyline's default width; a
// negative width given to a setter means the same and is stored as 0.
class Polyline {
 public:
  Polyline() = default;
  Polyline(const Polyline& other);
  Polyline(Polyline&& other) noexcept;
  Polyline& operator=(const Polyline& other);
  Polyline& operator=(Polyline&& other) noexcept;
  ~Polyline();

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  Point2 point(std::size_t i) const { return points()[i]; }
  double bulge(std::size_t i) const { return extras_ ? extras_[i].bulge : 0.0; }
  double startWidth(std::size_t i) const { return extras_ ? extras_[i].startWidth : 0.0; }
  double endWidth(std::size_t i) const { return extras_ ? extras_[i].endWidth : 0.0; }
  Vertex vertex(std::size_t i) const;
  // True when some vertex has a bulge or a width.
  bool hasVertexExtras() const { return extras_ != nullptr; }

  void reserve(std::size_t n);
  // Inserts a vertex before index (index == size() appends).
  Status addVertexAt(std::size_t index, Point2 point, double bulge = 0.0, double startWidth = 0.0,
                     double endWidth = 0.0);
  Status addVertex(Point2 point, double bulge = 0.0, double startWidth = 0.0,
                   double endWidth = 0.0) {
    return addVertexAt(size_, point, bulge, startWidth, endWidth);
  }
  Status setPoint(std::size_t i, Point2 point);
  Status setBulge(std::size_t i, double bulge);
  Status setWidths(std::size_t i, double startWidth, double endWidth);
  Status removeVertexAt(std::size_t i);

  bool closed() const { return closed_; }
  void setClosed(bool closed) { closed_ = closed; }
  double constantWidth() const { return constantWidth_; }
  Status setConstantWidth(double width);
  double elevation() const { return elevation_; }
  Status setElevation(double z);

  bool operator==(const Polyline& other) const;

 private:
  struct Extra {
    double bulge = 0.0;
    double startWidth = 0.0;
    double endWidth = 0.0;
  };
  static constexpr std::uint32_t kInline = 2;

  Point2* points() { return capacity_ > kInline ? heap_ : inline_; }
  const Point2* points() const { return capacity_ > kInline ? heap_ : inline_; }
  void grow(std::size_t minCapacity);
  Extra* extras();  // allocates on first use
  void copyFrom(const Polyline& other);
  void moveFrom(Polyline& other) noexcept;
  void release();

  union {
    Point2 inline_[kInline] = {};
    Point2* heap_;
  };
  std::unique_ptr<Extra[]> extras_;  // null, or one per vertex slot (capacity_)
  double constantWidth_ = 0.0;
  double elevation_ = 0.0;
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ : 31 = kInline;
  std::uint32_t closed_ : 1 = 0;
};

// The kinds of kinds.h follow the first five; a kind larger than a polyline is boxed.
using Geometry = std::variant<Line, Arc, Circle, Polyline, BlockReference, UnknownEntity, Point,
                              Boxed<Solid>, Boxed<Ellipse>, Boxed<Hatch>, Boxed<Dimension>, Boxed<Text>,
                              Boxed<Spline>, Boxed<MText>, Boxed<Leader>, Boxed<HeavyPolyline>>;

enum class EntityKind {
  line, arc, circle, polyline, blockReference, unknown, point, solid, ellipse, hatch, dimension, text, spline,
  mtext, leader, heavyPolyline
};

// The struct of a described kind (kinds.h) and its description; nullptr for the others.
void* describedObject(Geometry& g);
const void* describedObject(const Geometry& g);
const KindDescription* describedKind(const Geometry& g);

// Checks that every coordinate, length and angle is finite and every size in range.
Status validate(const Geometry& geometry);

// An entity: geometry and the properties every entity has. Layer and linetype are names
// interned in the database the entity belongs to (see Database::intern).
class Entity {
 public:
  Entity() = default;
  Entity(Geometry g) : geometry(std::move(g)) {}
  // A solid, trace, face, ellipse or text (held in its box): made and appended as a line is.
  Entity(Solid s) : geometry(Boxed<Solid>(std::move(s))) {}
  Entity(Ellipse e) : geometry(Boxed<Ellipse>(std::move(e))) {}
  Entity(Hatch h) : geometry(Boxed<Hatch>(std::move(h))) {}
  Entity(Dimension d) : geometry(Boxed<Dimension>(std::move(d))) {}
  Entity(Text t) : geometry(Boxed<Text>(std::move(t))) {}
  Entity(Spline s) : geometry(Boxed<Spline>(std::move(s))) {}
  Entity(MText m) : geometry(Boxed<MText>(std::move(m))) {}
  Entity(Leader l) : geometry(Boxed<Leader>(std::move(l))) {}
  Entity(HeavyPolyline p) : geometry(Boxed<HeavyPolyline>(std::move(p))) {}

  EntityKind kind() const { return static_cast<EntityKind>(geometry.index()); }
  // The geometry of one kind, or nullptr (a boxed kind is asked for by its own type).
  template <class T>
  T* as() {
    if constexpr (std::is_same_v<T, Solid> || std::is_same_v<T, Ellipse> || std::is_same_v<T, Hatch> ||
                  std::is_same_v<T, Dimension> || std::is_same_v<T, Text> || std::is_same_v<T, Spline> ||
                  std::is_same_v<T, MText> || std::is_same_v<T, Leader> || std::is_same_v<T, HeavyPolyline>) {
      auto* b = std::get_if<Boxed<T>>(&geometry);
      return b ? b->get() : nullptr;
    } else {
      return std::get_if<T>(&geometry);
    }
  }
  template <class T>
  const T* as() const {
    return const_cast<Entity*>(this)->as<T>();
  }

  Handle handle() const { return handle_; }
  BlockId owner() const { return owner_; }
  bool isErased() const { return erased_; }

  // Members are interleaved with the private ones below so that an entity packs into
  // 96 bytes: the database holds hundreds of thousands of them.
  Geometry geometry;

 private:
  friend class Database;
  friend class EntityRun;
  Handle handle_ = 0;

 public:
  NameId layer = names::layer0;
  NameId linetype = names::byLayer;

 private:
  BlockId owner_;

 public:
  std::int16_t color = color::byLayer;  // 0 BYBLOCK, 1..255, 256 BYLAYER

 private:
  bool erased_ : 1 = false;
  bool hasExtras_ : 1 = false;  // the database keeps tags beside the model for it
};

static_assert(sizeof(Entity) <= 96, "the database holds hundreds of thousands of entities");

}  // namespace orv::db
