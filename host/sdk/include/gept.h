// Geometry values: points, vectors, scales and the tolerance of comparisons.
#pragma once

#include <cmath>

#include "acarray.h"
#include "adesk.h"

class AcGeTol {
 public:
  double equalPoint() const { return m_equalPoint; }
  double equalVector() const { return m_equalVector; }
  void setEqualPoint(double t) { m_equalPoint = t; }
  void setEqualVector(double t) { m_equalVector = t; }

 private:
  double m_equalPoint = 1e-10;
  double m_equalVector = 1e-12;
};

struct AcGeContext {
  // The host's global tolerance.
  ORV_SDK_API static AcGeTol gTol;
};

class AcGeVector2d {
 public:
  AcGeVector2d() = default;
  AcGeVector2d(double xx, double yy) : x(xx), y(yy) {}
  double length() const { return std::hypot(x, y); }
  // The angle from +x, counter-clockwise, in [0, 2*pi).
  ORV_SDK_API double angle() const;
  double x = 0, y = 0;
};

class AcGePoint2d {
 public:
  AcGePoint2d() = default;
  AcGePoint2d(double xx, double yy) : x(xx), y(yy) {}
  double distanceTo(const AcGePoint2d& p) const { return std::hypot(p.x - x, p.y - y); }
  AcGeVector2d operator-(const AcGePoint2d& p) const { return {x - p.x, y - p.y}; }
  bool isEqualTo(const AcGePoint2d& p, const AcGeTol& tol = AcGeContext::gTol) const {
    return distanceTo(p) <= tol.equalPoint();
  }
  bool operator==(const AcGePoint2d& p) const { return x == p.x && y == p.y; }
  double x = 0, y = 0;
};

class AcGeVector3d {
 public:
  AcGeVector3d() = default;
  AcGeVector3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  double length() const { return std::sqrt(x * x + y * y + z * z); }
  ORV_SDK_API static const AcGeVector3d kZAxis;
  double x = 0, y = 0, z = 0;
};

class AcGePoint3d {
 public:
  AcGePoint3d() = default;
  AcGePoint3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  double distanceTo(const AcGePoint3d& p) const {
    return std::sqrt((p.x - x) * (p.x - x) + (p.y - y) * (p.y - y) + (p.z - z) * (p.z - z));
  }
  bool isEqualTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const {
    return distanceTo(p) <= tol.equalPoint();
  }
  bool operator==(const AcGePoint3d& p) const { return x == p.x && y == p.y && z == p.z; }
  AcGePoint2d convert2d() const { return {x, y}; }
  ORV_SDK_API static const AcGePoint3d kOrigin;
  double x = 0, y = 0, z = 0;
};

class AcGeScale3d {
 public:
  AcGeScale3d() = default;
  AcGeScale3d(double f) : sx(f), sy(f), sz(f) {}
  AcGeScale3d(double x, double y, double z) : sx(x), sy(y), sz(z) {}
  double sx = 1, sy = 1, sz = 1;
};

// A transformation of 3-D space; the host's merge accepts the identity only.
class AcGeMatrix3d {
 public:
  AcGeMatrix3d() = default;
  bool isIdentity() const { return m_identity; }
  ORV_SDK_API static const AcGeMatrix3d kIdentity;

 private:
  bool m_identity = true;
};

typedef AcArray<AcGePoint2d> AcGePoint2dArray;
typedef AcArray<AcGePoint3d> AcGePoint3dArray;
typedef AcArray<double> AcGeDoubleArray;
