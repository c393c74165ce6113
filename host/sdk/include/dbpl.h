// The lightweight polyline: vertices in the x-y plane with bulges and widths.
#pragma once

#include "dbmain.h"

class ORV_SDK_API AcDbPolyline : public AcDbCurve {
 public:
  // numVerts only reserves room.
  explicit AcDbPolyline(unsigned int numVerts = 0);

  // Inserts a vertex before index (index == numVerts() appends). The bulge is
  // the tangent of a quarter of the included angle of the arc to the next
  // vertex; a width of -1 means the polyline's default width.
  Acad::ErrorStatus addVertexAt(unsigned int index, const AcGePoint2d& point, double bulge = 0.,
                                double startWidth = -1., double endWidth = -1.);
  unsigned int numVerts() const;
  Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint2d& point) const;
  Acad::ErrorStatus getBulgeAt(unsigned int index, double& bulge) const;
  Acad::ErrorStatus getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const;
  bool isClosed() const;
  void setClosed(bool closed);

  Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
  static AcDbPolyline* cast(AcDbObject* o) { return dynamic_cast<AcDbPolyline*>(o); }
  static AcRxClass* desc();
};
