// Leaders (LEADER): a line from an arrowhead through its vertices to an annotation.
#pragma once

#include "dbmain.h"

class ORV_SDK_API AcDbLeader : public AcDbCurve {
 public:
  // A new leader has no vertex (it needs two to be appended) and an arrowhead.
  AcDbLeader();

  int numVertices() const;
  // The vertex of an index; the origin for an index out of range.
  AcGePoint3d vertexAt(int index) const;
  AcGePoint3d firstVertex() const { return vertexAt(0); }
  AcGePoint3d lastVertex() const { return vertexAt(numVertices() - 1); }
  // False (nothing changed) for an index out of range, a point not finite or a leader
  // not open for write.
  bool setVertexAt(int index, const AcGePoint3d& point);
  bool appendVertex(const AcGePoint3d& point);
  // Keeps at least two vertices.
  void removeLastVertex();
  bool hasArrowHead() const;
  void enableArrowHead();
  void disableArrowHead();
  bool isSplined() const;
  // The text, tolerance or block reference it points to; null when none.
  AcDbObjectId annotationObjId() const;
  AcGeVector3d normal() const;

  Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
  static AcDbLeader* cast(AcDbObject* o) { return dynamic_cast<AcDbLeader*>(o); }
  static AcRxClass* desc();
};
