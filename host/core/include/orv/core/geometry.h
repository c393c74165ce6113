// Plane geometry the host's services share: vectors, boxes, affine maps and the pieces
// (segments, circular and elliptic arcs) every entity is drawn from, with the queries
// picks, windows and object snaps ask of them.
#pragma once

#include <cmath>
#include <limits>
#include <variant>
#include <vector>

namespace orv::core {

struct Vec2 {
  double x = 0.0;
  double y = 0.0;
  friend Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
  friend Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
  friend Vec2 operator*(double s, Vec2 a) { return {s * a.x, s * a.y}; }
  friend Vec2 operator*(Vec2 a, double s) { return {s * a.x, s * a.y}; }
  friend bool operator==(Vec2, Vec2) = default;
};

inline double dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline double cross(Vec2 a, Vec2 b) { return a.x * b.y - a.y * b.x; }
inline double length(Vec2 a) { return std::hypot(a.x, a.y); }
inline double distance(Vec2 a, Vec2 b) { return std::hypot(a.x - b.x, a.y - b.y); }
// The vector turned a quarter counter-clockwise.
inline Vec2 perp(Vec2 a) { return {-a.y, a.x}; }

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2 * kPi;
inline constexpr double kDegree = kPi / 180.0;

// An angle in [0, 2π).
double normalizeRadians(double a);
// An angle in [0, 360).
double normalizeDegrees(double a);
// The unit vector at an angle in degrees; exact at multiples of 90 degrees, so that a
// rotation by 90 maps (1, 0) to (0, 1) and not to (6e-17, 1).
Vec2 unitAtDegrees(double degrees);
// The unit vector at an angle in radians; exact where the angle is a multiple of π/2 as
// a double holds it.
Vec2 unitAtRadians(double radians);
// The angle of a vector in degrees, [0, 360); exact for the axis directions.
double degreesOf(Vec2 v);

// An axis-aligned rectangle; empty until something is added.
struct Box2 {
  double minX = std::numeric_limits<double>::infinity();
  double minY = std::numeric_limits<double>::infinity();
  double maxX = -std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();

  static Box2 of(Vec2 a, Vec2 b);  // the rectangle with these opposite corners
  bool empty() const { return !(minX <= maxX && minY <= maxY); }
  void add(Vec2 p);
  void add(const Box2& b);
  bool contains(Vec2 p) const { return p.x >= minX && p.x <= maxX && p.y >= minY && p.y <= maxY; }
  bool contains(const Box2& b) const {
    return !b.empty() && b.minX >= minX && b.maxX <= maxX && b.minY >= minY && b.maxY <= maxY;
  }
  bool meets(const Box2& b) const {
    return !empty() && !b.empty() && b.minX <= maxX && b.maxX >= minX && b.minY <= maxY &&
           b.maxY >= minY;
  }
  Box2 inflated(double d) const { return empty() ? *this : Box2{minX - d, minY - d, maxX + d, maxY + d}; }
  Vec2 center() const { return {(minX + maxX) / 2, (minY + maxY) / 2}; }
  friend bool operator==(const Box2&, const Box2&) = default;
};

// x' = a x + b y + tx, y' = c x + d y + ty. Heights (z) are mapped by z' = zs z + zt.
struct Affine2 {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
  double zs = 1, zt = 0;
  // The angle (degrees) the x axis is turned to, kept as given so that a rotation by 30
  // turns an angle of 0 into 30 and not 29.999999999999996; NaN: read it off the matrix.
  double turn = 0;

  static Affine2 translation(Vec2 by, double dz = 0);
  // Counter-clockwise by `degrees` about `about`.
  static Affine2 rotation(Vec2 about, double degrees);
  static Affine2 scaling(Vec2 about, double factor);
  // The reflection in the line through p and q (p != q).
  static Affine2 mirror(Vec2 p, Vec2 q);
  // The map of a block reference: block coordinates (about `base`) to its owner's.
  static Affine2 insert(Vec2 base, Vec2 position, double xScale, double yScale,
                        double rotationDegrees);

  Vec2 apply(Vec2 p) const { return {a * p.x + b * p.y + tx, c * p.x + d * p.y + ty}; }
  Vec2 applyLinear(Vec2 v) const { return {a * v.x + b * v.y, c * v.x + d * v.y}; }
  double applyZ(double z) const { return zs * z + zt; }
  // This map after `first`.
  Affine2 after(const Affine2& first) const;
  double det() const { return a * d - b * c; }
  bool mirrors() const { return det() < 0; }
  // Lengths are multiplied by one factor in every direction (rotation, uniform scale,
  // reflection, translation).
  bool isSimilarity() const;
  // The factor lengths are multiplied by (for a similarity; else the geometric mean).
  double scale() const { return std::sqrt(std::abs(det())); }
  // The angle (degrees) the map turns the x axis to.
  double rotationDegrees() const { return std::isfinite(turn) ? turn : degreesOf(applyLinear({1, 0})); }
  // Where a direction given as an angle in degrees points after the map (a similarity):
  // turned by the map's rotation, or reflected.
  double mapDegrees(double degrees) const {
    const double turn = rotationDegrees();
    return normalizeDegrees(mirrors() ? turn - degrees : turn + degrees);
  }
  bool isIdentity() const {
    return a == 1 && b == 0 && c == 0 && d == 1 && tx == 0 && ty == 0 && zs == 1 && zt == 0;
  }
};

// ---- pieces

struct Segment {
  Vec2 a, b;
};

// Counter-clockwise from `start` through `sweep` (radians, 0 < sweep <= 2π; 2π is the
// whole circle).
struct CircularArc {
  Vec2 center;
  double radius = 0;
  double start = 0;
  double sweep = kTwoPi;

  bool full() const { return sweep >= kTwoPi; }
  Vec2 at(double angle) const { return center + radius * unitAtRadians(angle); }
  Vec2 startPoint() const { return at(start); }
  Vec2 endPoint() const { return at(start + sweep); }
  // True when the direction `angle` (radians) lies on the arc.
  bool spans(double angle) const;
};

// center + u cos t + v sin t for t from t0 through t0 + sweep (a circle or an ellipse
// seen through any affine map; u and v need not be perpendicular).
struct EllipticArc {
  Vec2 center, u, v;
  double t0 = 0;
  double sweep = kTwoPi;

  bool full() const { return sweep >= kTwoPi; }
  Vec2 at(double t) const { return center + std::cos(t) * u + std::sin(t) * v; }
};

using Piece = std::variant<Segment, CircularArc, EllipticArc>;

// The segment or arc between two polyline vertices with a bulge (tan of a quarter of the
// included angle, negative clockwise).
Piece bulgePiece(Vec2 a, Vec2 b, double bulge);
// A piece under a map: an arc under a map that is no similarity becomes elliptic; an
// elliptic arc that comes out circular becomes a circular arc.
Piece transformed(const Piece& piece, const Affine2& map);

Vec2 startOf(const Piece& piece);
Vec2 endOf(const Piece& piece);
// The point halfway along (by angle for arcs, by parameter for elliptic arcs).
Vec2 middleOf(const Piece& piece);
bool isClosed(const Piece& piece);

Box2 boxOf(const Piece& piece);
// The point of the piece nearest to p.
Vec2 nearestOn(const Piece& piece, Vec2 p);
inline double distanceTo(const Piece& piece, Vec2 p) { return distance(nearestOn(piece, p), p); }
// True when some point of the piece lies in the rectangle (its edges included).
bool meets(const Piece& piece, const Box2& rect);
// The points where two pieces meet (tangent points included), appended to out. Exact
// for segments and circular arcs; elliptic arcs are followed closely, not exactly.
void intersections(const Piece& p, const Piece& q, std::vector<Vec2>& out);
// The feet of the perpendiculars from p onto the piece: on a segment's line (even
// beyond its ends), on an arc's circle, on an elliptic arc's curve.
void perpendicularFeet(const Piece& piece, Vec2 p, std::vector<Vec2>& out);
// The quadrant points (0, 90, 180, 270 degrees) that lie on an arc.
void quadrantPoints(const Piece& piece, std::vector<Vec2>& out);

}  // namespace orv::core
