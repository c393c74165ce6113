// Geometry constants and the angle of a vector.
#include "gept.h"

#include <numbers>

AcGeTol AcGeContext::gTol;
const AcGeVector3d AcGeVector3d::kZAxis(0, 0, 1);
const AcGePoint3d AcGePoint3d::kOrigin(0, 0, 0);

double AcGeVector2d::angle() const {
  double a = std::atan2(y, x);
  if (a < 0) a += 2 * std::numbers::pi;
  if (a >= 2 * std::numbers::pi) a = 0;
  return a;
}
