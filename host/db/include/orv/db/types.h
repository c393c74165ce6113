// Basic value types of the drawing database: points, identifiers, status codes and results.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace orv::db {

struct Point2 {
  double x = 0.0;
  double y = 0.0;
  bool operator==(const Point2&) const = default;
};

struct Point3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  bool operator==(const Point3&) const = default;
};

inline bool isFinite(double v) { return std::isfinite(v); }
inline bool isFinite(Point2 p) { return isFinite(p.x) && isFinite(p.y); }
inline bool isFinite(Point3 p) { return isFinite(p.x) && isFinite(p.y) && isFinite(p.z); }

// A DXF handle: unique within one drawing, never 0 for a stored object.
using Handle = std::uint64_t;

// Identifies an entity of one database for the database's lifetime, also after it
// is erased. Ids are not meaningful in another database.
struct ObjectId {
  static constexpr std::uint32_t kNull = 0xFFFFFFFFu;
  std::uint32_t index = kNull;
  bool isNull() const { return index == kNull; }
  explicit operator bool() const { return !isNull(); }
  bool operator==(const ObjectId&) const = default;
};

// Identifies a block definition (model space and paper space included).
struct BlockId {
  static constexpr std::uint32_t kNull = 0xFFFFFFFFu;
  std::uint32_t index = kNull;
  bool isNull() const { return index == kNull; }
  bool operator==(const BlockId&) const = default;
};

// An interned name (layer, linetype, entity type) of one database.
struct NameId {
  std::uint32_t index = 0;
  bool operator==(const NameId&) const = default;
};

// Names every database interns first, in this order.
namespace names {
inline constexpr NameId layer0{0};      // "0"
inline constexpr NameId byLayer{1};     // "ByLayer"
inline constexpr NameId byBlock{2};     // "ByBlock"
inline constexpr NameId continuous{3};  // "Continuous"
}  // namespace names

// AutoCAD colour index values with a meaning of their own.
namespace color {
inline constexpr std::int16_t byBlock = 0;
inline constexpr std::int16_t byLayer = 256;
}  // namespace color

// Lineweights (DXF group 370) with a meaning of their own; others are hundredths of a mm.
namespace lineweight {
inline constexpr std::int16_t byLayer = -1;
inline constexpr std::int16_t byBlock = -2;
inline constexpr std::int16_t byDefault = -3;
}  // namespace lineweight

// The lineweights a drawing may give, in hundredths of a millimetre, thinnest first.
inline constexpr std::int16_t kStandardLineweights[] = {0,  5,  9,  13, 15, 18, 20,  25,  30,  35,  40,  50,
                                                        53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
inline constexpr bool isStandardLineweight(int value) {
  for (std::int16_t w : kStandardLineweights)
    if (w == value) return true;
  return false;
}

enum class Status {
  ok,
  invalidInput,   // a value that is not finite or out of its range
  notFound,       // no object, block, layer or linetype of that id or name
  duplicateName,  // a table already holds that name
  wasErased,      // the object is erased
  selfReference,  // a block would contain a reference to itself
  nothingToUndo,
};

const char* describe(Status status);

// An error: its status and a message for the user.
struct Error {
  Status status = Status::invalidInput;
  std::string message;
};

// A value or an error. A small stand-in for std::expected.
template <class T>
class Result {
 public:
  Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
  Result(Error error) : v_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const Error& error() const { return std::get<1>(v_); }
  Status status() const { return ok() ? Status::ok : error().status; }

 private:
  std::variant<T, Error> v_;
};

}  // namespace orv::db
