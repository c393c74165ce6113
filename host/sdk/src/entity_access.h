// What the SDK's entity classes share to reach the values of their db kind: points
// across the boundary, the kind's struct inside an open entity, and the start of a change.
#pragma once

#include <cmath>
#include <numbers>

#include "db_impl.h"

namespace orv::sdk {

inline constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

inline db::Point3 toDb(const AcGePoint3d& p) { return {p.x, p.y, p.z}; }
inline db::Point3 toDb(const AcGeVector3d& v) { return {v.x, v.y, v.z}; }
inline AcGePoint3d fromDb(const db::Point3& p) { return {p.x, p.y, p.z}; }
inline AcGeVector3d vectorOf(const db::Point3& p) { return {p.x, p.y, p.z}; }
inline bool finite(const AcGePoint3d& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
inline bool finite(const AcGeVector3d& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The struct of kind T an open entity holds (its class guarantees the kind).
template <class T>
T& kindOf(AcDbEntity& e) {
  return *e.orvData().entity.as<T>();
}
template <class T>
const T& kindOf(const AcDbEntity& e) {
  return *e.orvData().entity.as<T>();
}

// eNotOpenForWrite for a resident entity opened for read; otherwise marks it changed.
inline Acad::ErrorStatus beginChange(AcDbEntity& e) {
  if (Acad::ErrorStatus es = e.orvCheckWritable(); es != Acad::eOk) return es;
  e.orvMarkChanged();
  return Acad::eOk;
}

// The database an entity's names are looked up in: its own, or the working one for an
// entity not yet appended (null when the host has no drawing).
inline AcDbDatabase* databaseFor(const AcDbEntity& e) {
  return e.isDatabaseResident() ? e.database() : workingDatabase();
}

}  // namespace orv::sdk
