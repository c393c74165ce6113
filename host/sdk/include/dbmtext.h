// Multi-line text (MTEXT): paragraphs in a box hanging from its location. The contents
// keep their inline format codes (\P ends a paragraph).
#pragma once

#include "dbmain.h"

class ORV_SDK_API AcDbMText : public AcDbEntity {
 public:
  // Where the box hangs from its location.
  enum AttachmentPoint {
    kTopLeft = 1, kTopCenter = 2, kTopRight = 3,
    kMiddleLeft = 4, kMiddleCenter = 5, kMiddleRight = 6,
    kBottomLeft = 7, kBottomCenter = 8, kBottomRight = 9,
  };

  AcDbMText();
  AcGePoint3d location() const;
  Acad::ErrorStatus setLocation(const AcGePoint3d& p);
  // Valid until the text is changed or closed.
  const ACHAR* contents() const;
  Acad::ErrorStatus setContents(const ACHAR* text);
  double textHeight() const;
  // Greater than 0 (eInvalidInput otherwise).
  Acad::ErrorStatus setTextHeight(double height);
  // The width lines wrap at; 0: they are not wrapped.
  double width() const;
  Acad::ErrorStatus setWidth(double width);
  // The angle of the text's x axis seen from above, radians.
  double rotation() const;
  Acad::ErrorStatus setRotation(double radians);
  AttachmentPoint attachment() const;
  // One of the nine points (eInvalidInput otherwise).
  Acad::ErrorStatus setAttachment(AttachmentPoint attachment);
  // The name of the text style; setting one the drawing lacks gives eKeyNotFound.
  const ACHAR* textStyleName() const;
  Acad::ErrorStatus setTextStyle(const ACHAR* styleName);
  AcGeVector3d normal() const;

  static AcDbMText* cast(AcDbObject* o) { return dynamic_cast<AcDbMText*>(o); }
  static AcRxClass* desc();
};
