// The entity kinds modules create and read: lines, circles, arcs, block references
// with their attributes, one-line text and points. Multi-line text, ellipses, splines,
// hatches, dimensions and leaders have headers of their own (dbmtext.h, dbelipse.h,
// dbspline.h, dbhatch.h, dbdim.h, dblead.h).
//
// Angles are in radians. A text value crosses the SDK as wide characters; what a
// getter returns stays valid until the entity is changed or closed.
#pragma once

#include <string>
#include <vector>

#include "dbmain.h"

namespace AcDb {
// Horizontal and vertical alignment of one-line text.
enum TextHorzMode { kTextLeft = 0, kTextCenter = 1, kTextRight = 2, kTextAlign = 3, kTextMid = 4, kTextFit = 5 };
enum TextVertMode { kTextBase = 0, kTextBottom = 1, kTextVertMid = 2, kTextTop = 3 };
}  // namespace AcDb

class AcDbAttribute;
class AcDbObjectIterator;

class ORV_SDK_API AcDbLine : public AcDbCurve {
 public:
  AcDbLine();
  AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end);
  AcGePoint3d startPoint() const;
  AcGePoint3d endPoint() const;
  Acad::ErrorStatus setStartPoint(const AcGePoint3d& p);
  Acad::ErrorStatus setEndPoint(const AcGePoint3d& p);
  Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
  static AcDbLine* cast(AcDbObject* o) { return dynamic_cast<AcDbLine*>(o); }
  static AcRxClass* desc();
};

class ORV_SDK_API AcDbCircle : public AcDbCurve {
 public:
  AcDbCircle();
  AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius);
  AcGePoint3d center() const;
  double radius() const;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
  static AcDbCircle* cast(AcDbObject* o) { return dynamic_cast<AcDbCircle*>(o); }
  static AcRxClass* desc();
};

// An arc counter-clockwise from startAngle to endAngle (radians, from +x) around
// center; the normal must be +z.
class ORV_SDK_API AcDbArc : public AcDbCurve {
 public:
  AcDbArc();
  AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius, double startAngle,
          double endAngle);
  AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle);
  AcGePoint3d center() const;
  double radius() const;
  double startAngle() const;
  double endAngle() const;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& p) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& p) const override;
  static AcDbArc* cast(AcDbObject* o) { return dynamic_cast<AcDbArc*>(o); }
  static AcRxClass* desc();
};

// A reference to a block table record, placed, scaled and rotated (radians).
class ORV_SDK_API AcDbBlockReference : public AcDbEntity {
 public:
  AcDbBlockReference();
  AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRecord);
  AcDbObjectId blockTableRecord() const;
  AcGePoint3d position() const;
  AcGeScale3d scaleFactors() const;
  double rotation() const;
  Acad::ErrorStatus setPosition(const AcGePoint3d& p);
  Acad::ErrorStatus setScaleFactors(const AcGeScale3d& scale);
  Acad::ErrorStatus setRotation(double radians);
  // An iterator over the attributes that follow this reference; the caller deletes it.
  AcDbObjectIterator* attributeIterator() const;
  static AcDbBlockReference* cast(AcDbObject* o) { return dynamic_cast<AcDbBlockReference*>(o); }
  static AcRxClass* desc();
};

// Walks a list of objects: the attributes of a block reference.
class ORV_SDK_API AcDbObjectIterator {
 public:
  ~AcDbObjectIterator();
  void start(bool atEnd = false);
  bool done() const;
  void step(bool backwards = false, bool skipErased = true);
  AcDbObjectId objectId() const;
  // Null: the objects walked are in the database; open them by id.
  AcDbEntity* entity() const { return nullptr; }

  // The host's side; not for modules.
  explicit AcDbObjectIterator(std::vector<AcDbObjectId> ids) : m_ids(std::move(ids)) {}

 private:
  std::vector<AcDbObjectId> m_ids;
  std::size_t m_pos = 0;
};

// One-line text (TEXT). It stands at position() when left/baseline aligned, else by
// alignmentPoint() (aligned and fit text runs from the one to the other).
class ORV_SDK_API AcDbText : public AcDbEntity {
 public:
  AcDbText();
  // The text is in style "Standard" (styles are given by name: setTextStyle; the
  // style id is not used); a height of 0 takes the style's.
  AcDbText(const AcGePoint3d& position, const ACHAR* text, AcDbObjectId style = AcDbObjectId::kNull,
           double height = 0.0, double rotation = 0.0);

  AcGePoint3d position() const;
  Acad::ErrorStatus setPosition(const AcGePoint3d& p);
  AcGePoint3d alignmentPoint() const;
  Acad::ErrorStatus setAlignmentPoint(const AcGePoint3d& p);
  bool isDefaultAlignment() const;
  double height() const;
  // Greater than 0 (eInvalidInput otherwise).
  Acad::ErrorStatus setHeight(double height);
  double rotation() const;
  Acad::ErrorStatus setRotation(double radians);
  double widthFactor() const;
  // Greater than 0.
  Acad::ErrorStatus setWidthFactor(double factor);
  double oblique() const;
  // The slant of the letters, within 85 degrees of upright either way.
  Acad::ErrorStatus setOblique(double radians);
  const ACHAR* textString() const;
  const ACHAR* textStringConst() const { return textString(); }
  Acad::ErrorStatus setTextString(const ACHAR* text);
  // The name of the text style; setting one the drawing lacks gives eKeyNotFound.
  const ACHAR* textStyleName() const;
  Acad::ErrorStatus setTextStyle(const ACHAR* styleName);
  AcDb::TextHorzMode horizontalMode() const;
  Acad::ErrorStatus setHorizontalMode(AcDb::TextHorzMode mode);
  AcDb::TextVertMode verticalMode() const;
  Acad::ErrorStatus setVerticalMode(AcDb::TextVertMode mode);
  AcGeVector3d normal() const;

  static AcDbText* cast(AcDbObject* o) { return dynamic_cast<AcDbText*>(o); }
  static AcRxClass* desc();
};

// An attribute definition (ATTDEF) of a block: its tag, the prompt asked when the
// block is inserted, and the default value (textString).
class ORV_SDK_API AcDbAttributeDefinition : public AcDbText {
 public:
  AcDbAttributeDefinition();
  AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag, const ACHAR* prompt,
                          AcDbObjectId style = AcDbObjectId::kNull);
  const ACHAR* tag() const;
  const ACHAR* tagConst() const { return tag(); }
  // Not empty, without spaces (eInvalidInput otherwise).
  Acad::ErrorStatus setTag(const ACHAR* tag);
  const ACHAR* prompt() const;
  const ACHAR* promptConst() const { return prompt(); }
  Acad::ErrorStatus setPrompt(const ACHAR* prompt);
  bool isInvisible() const;
  Acad::ErrorStatus setInvisible(bool invisible);
  bool isConstant() const;
  bool isVerifiable() const;
  bool isPreset() const;

  static AcDbAttributeDefinition* cast(AcDbObject* o) { return dynamic_cast<AcDbAttributeDefinition*>(o); }
  static AcRxClass* desc();
};

// An attribute (ATTRIB) of a block reference: its tag and value (textString). Opened
// through its reference's attributeIterator; one made with new cannot be appended (a
// block gives eInvalidContext): the host's INSERT gives a reference its attributes.
class ORV_SDK_API AcDbAttribute : public AcDbText {
 public:
  AcDbAttribute();
  AcDbAttribute(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                AcDbObjectId style = AcDbObjectId::kNull);
  const ACHAR* tag() const;
  const ACHAR* tagConst() const { return tag(); }
  // Not empty, without spaces (eInvalidInput otherwise).
  Acad::ErrorStatus setTag(const ACHAR* tag);
  bool isInvisible() const;
  Acad::ErrorStatus setInvisible(bool invisible);
  bool isConstant() const;

  static AcDbAttribute* cast(AcDbObject* o) { return dynamic_cast<AcDbAttribute*>(o); }
  static AcRxClass* desc();
};

// A point (POINT).
class ORV_SDK_API AcDbPoint : public AcDbEntity {
 public:
  AcDbPoint();
  explicit AcDbPoint(const AcGePoint3d& position);
  AcGePoint3d position() const;
  Acad::ErrorStatus setPosition(const AcGePoint3d& p);
  static AcDbPoint* cast(AcDbObject* o) { return dynamic_cast<AcDbPoint*>(o); }
  static AcRxClass* desc();
};
