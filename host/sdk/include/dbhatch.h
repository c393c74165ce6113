// Hatches (HATCH): an area bounded by closed loops, filled solid or with a pattern.
// Loop coordinates lie in the hatch's plane (its normal, at its elevation).
#pragma once

#include "dbmain.h"

class ORV_SDK_API AcDbHatch : public AcDbEntity {
 public:
  enum HatchPatternType { kUserDefined = 0, kPreDefined = 1, kCustomDefined = 2 };
  // Flags of a loop: kPolyline for a loop of vertices and bulges, without it a chain of edges.
  enum HatchLoopType {
    kDefault = 0, kExternal = 1, kPolyline = 2, kDerived = 4, kTextbox = 8, kOutermost = 0x10,
  };

  // A new hatch is a solid fill with no loop.
  AcDbHatch();

  // Valid until the hatch is changed or closed.
  const ACHAR* patternName() const;
  HatchPatternType patternType() const;
  // Only a solid fill is made here (SOLID, in any case): patterns come from the
  // drawing's commands. eInvalidInput for any other name.
  Acad::ErrorStatus setPattern(HatchPatternType type, const ACHAR* name);
  bool isSolidFill() const;
  double patternScale() const;
  // Greater than 0; the pattern's lines follow.
  Acad::ErrorStatus setPatternScale(double scale);
  double patternAngle() const;
  Acad::ErrorStatus setPatternAngle(double radians);
  bool associative() const;
  AcGeVector3d normal() const;
  double elevation() const;

  int numLoops() const;
  // The HatchLoopType flags of a loop; 0 for an index out of range.
  Adesk::Int32 loopTypeAt(int loopIndex) const;
  // A loop as vertices and bulges (one per vertex, or none when all are 0). A chain of
  // lines and arcs is given the same way; one with an elliptical or spline edge gives
  // eNotApplicable. eOutOfRange for an index out of range.
  Acad::ErrorStatus getLoopAt(int loopIndex, Adesk::Int32& loopType, AcGePoint2dArray& vertices,
                              AcGeDoubleArray& bulges) const;
  // Adds a closed loop of at least two vertices and bulges (one per vertex, or none).
  Acad::ErrorStatus appendLoop(Adesk::Int32 loopType, const AcGePoint2dArray& vertices,
                               const AcGeDoubleArray& bulges);

  static AcDbHatch* cast(AcDbObject* o) { return dynamic_cast<AcDbHatch*>(o); }
  static AcRxClass* desc();
};
