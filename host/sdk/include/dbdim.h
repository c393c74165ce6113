// Dimensions (DIMENSION): a measurement drawn through its picture block. A dimension
// opened by id is of the class of its type. A new one (linear, aligned, radial,
// diametric, angular) is laid out in the drawing's current dimension style when it is
// appended, which makes its picture block: eInvalidInput when its points measure nothing.
// Changes made through an opened dimension lay its picture out again when it is closed.
//
// Text given as null or "" is the measurement alone; "<>" in it stands for the
// measurement. Dimension styles are the drawing's: the style id is not used.
#pragma once

#include "dbmain.h"

class ORV_SDK_API AcDbDimension : public AcDbEntity {
 public:
  // The text as written: "" for the measurement alone, "<>" stands for it. Valid until
  // the dimension is changed or closed.
  const ACHAR* dimensionText() const;
  Acad::ErrorStatus setDimensionText(const ACHAR* text);
  // The value measured from the definition points: a length, or an angle in radians.
  Acad::ErrorStatus measurement(double& value) const;
  // The picture block, and its name (valid until the dimension is closed).
  AcDbObjectId dimBlockId() const;
  const ACHAR* dimBlockName() const;
  AcGePoint3d dimBlockPosition() const;
  // Where the middle of the text is; setting it places the text by hand.
  AcGePoint3d textPosition() const;
  Acad::ErrorStatus setTextPosition(const AcGePoint3d& p);
  bool isUsingDefaultTextPosition() const;
  double textRotation() const;
  Acad::ErrorStatus setTextRotation(double radians);
  // The name of the dimension style (valid until the dimension is closed).
  const ACHAR* dimensionStyleName() const;
  AcGeVector3d normal() const;

  static AcDbDimension* cast(AcDbObject* o) { return dynamic_cast<AcDbDimension*>(o); }
  static AcRxClass* desc();

 protected:
  // A dimension of a type (db's group 70 value) with its text.
  explicit AcDbDimension(int type, const ACHAR* dimText = nullptr);
};

// A linear dimension measured along `rotation` (horizontal, vertical or any angle).
class ORV_SDK_API AcDbRotatedDimension : public AcDbDimension {
 public:
  AcDbRotatedDimension();
  AcDbRotatedDimension(double rotation, const AcGePoint3d& xLine1Point, const AcGePoint3d& xLine2Point,
                       const AcGePoint3d& dimLinePoint, const ACHAR* dimText = nullptr,
                       AcDbObjectId dimStyle = AcDbObjectId::kNull);
  AcGePoint3d xLine1Point() const;
  AcGePoint3d xLine2Point() const;
  AcGePoint3d dimLinePoint() const;
  Acad::ErrorStatus setXLine1Point(const AcGePoint3d& p);
  Acad::ErrorStatus setXLine2Point(const AcGePoint3d& p);
  Acad::ErrorStatus setDimLinePoint(const AcGePoint3d& p);
  double rotation() const;
  double oblique() const;
  static AcDbRotatedDimension* cast(AcDbObject* o) { return dynamic_cast<AcDbRotatedDimension*>(o); }
  static AcRxClass* desc();
};

// A linear dimension measured along the line between its two points.
class ORV_SDK_API AcDbAlignedDimension : public AcDbDimension {
 public:
  AcDbAlignedDimension();
  AcDbAlignedDimension(const AcGePoint3d& xLine1Point, const AcGePoint3d& xLine2Point,
                       const AcGePoint3d& dimLinePoint, const ACHAR* dimText = nullptr,
                       AcDbObjectId dimStyle = AcDbObjectId::kNull);
  AcGePoint3d xLine1Point() const;
  AcGePoint3d xLine2Point() const;
  AcGePoint3d dimLinePoint() const;
  Acad::ErrorStatus setXLine1Point(const AcGePoint3d& p);
  Acad::ErrorStatus setXLine2Point(const AcGePoint3d& p);
  Acad::ErrorStatus setDimLinePoint(const AcGePoint3d& p);
  double oblique() const;
  static AcDbAlignedDimension* cast(AcDbObject* o) { return dynamic_cast<AcDbAlignedDimension*>(o); }
  static AcRxClass* desc();
};

// The radius of an arc or circle: from its centre to a point on it.
class ORV_SDK_API AcDbRadialDimension : public AcDbDimension {
 public:
  AcDbRadialDimension();
  // The text stands leaderLength beyond the chord point, away from the centre.
  AcDbRadialDimension(const AcGePoint3d& center, const AcGePoint3d& chordPoint, double leaderLength,
                      const ACHAR* dimText = nullptr, AcDbObjectId dimStyle = AcDbObjectId::kNull);
  AcGePoint3d center() const;
  AcGePoint3d chordPoint() const;
  double leaderLength() const;
  static AcDbRadialDimension* cast(AcDbObject* o) { return dynamic_cast<AcDbRadialDimension*>(o); }
  static AcRxClass* desc();
};

// The diameter of an arc or circle: between two opposite points on it.
class ORV_SDK_API AcDbDiametricDimension : public AcDbDimension {
 public:
  AcDbDiametricDimension();
  // The text stands leaderLength beyond the chord point, away from the far one.
  AcDbDiametricDimension(const AcGePoint3d& chordPoint, const AcGePoint3d& farChordPoint, double leaderLength,
                         const ACHAR* dimText = nullptr, AcDbObjectId dimStyle = AcDbObjectId::kNull);
  AcGePoint3d chordPoint() const;
  AcGePoint3d farChordPoint() const;
  double leaderLength() const;
  static AcDbDiametricDimension* cast(AcDbObject* o) { return dynamic_cast<AcDbDiametricDimension*>(o); }
  static AcRxClass* desc();
};

// The angle between two lines.
class ORV_SDK_API AcDb2LineAngularDimension : public AcDbDimension {
 public:
  AcDb2LineAngularDimension();
  AcDb2LineAngularDimension(const AcGePoint3d& xLine1Start, const AcGePoint3d& xLine1End,
                            const AcGePoint3d& xLine2Start, const AcGePoint3d& xLine2End,
                            const AcGePoint3d& arcPoint, const ACHAR* dimText = nullptr,
                            AcDbObjectId dimStyle = AcDbObjectId::kNull);
  AcGePoint3d xLine1Start() const;
  AcGePoint3d xLine1End() const;
  AcGePoint3d xLine2Start() const;
  AcGePoint3d xLine2End() const;
  AcGePoint3d arcPoint() const;
  static AcDb2LineAngularDimension* cast(AcDbObject* o) { return dynamic_cast<AcDb2LineAngularDimension*>(o); }
  static AcRxClass* desc();
};

// The angle at a vertex between two points.
class ORV_SDK_API AcDb3PointAngularDimension : public AcDbDimension {
 public:
  AcDb3PointAngularDimension();
  AcDb3PointAngularDimension(const AcGePoint3d& centerPoint, const AcGePoint3d& xLine1Point,
                             const AcGePoint3d& xLine2Point, const AcGePoint3d& arcPoint,
                             const ACHAR* dimText = nullptr, AcDbObjectId dimStyle = AcDbObjectId::kNull);
  AcGePoint3d centerPoint() const;
  AcGePoint3d xLine1Point() const;
  AcGePoint3d xLine2Point() const;
  AcGePoint3d arcPoint() const;
  static AcDb3PointAngularDimension* cast(AcDbObject* o) { return dynamic_cast<AcDb3PointAngularDimension*>(o); }
  static AcRxClass* desc();
};

// The x or y distance of a point from an origin.
class ORV_SDK_API AcDbOrdinateDimension : public AcDbDimension {
 public:
  // Read from drawings only: an ordinate dimension is not laid out by the host.
  AcDbOrdinateDimension();
  bool isUsingXAxis() const;
  bool isUsingYAxis() const { return !isUsingXAxis(); }
  AcGePoint3d origin() const;
  AcGePoint3d definingPoint() const;
  AcGePoint3d leaderEndPoint() const;
  static AcDbOrdinateDimension* cast(AcDbObject* o) { return dynamic_cast<AcDbOrdinateDimension*>(o); }
  static AcRxClass* desc();
};
