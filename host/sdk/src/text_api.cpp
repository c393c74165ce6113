// One-line text, attributes and attribute definitions, multi-line text and points over
// their db kinds.
#include <cwctype>

#include "dbents.h"
#include "dbmtext.h"
#include "entity_access.h"
#include "orv/text/encoding.h"

namespace db = orv::db;
using namespace orv::sdk;

namespace {

std::string utf8Of(const ACHAR* text) { return text ? orv::text::narrow(text) : std::string(); }

// A tag: not empty, no spaces.
bool soundTag(const ACHAR* tag) {
  if (!tag || !*tag) return false;
  for (const ACHAR* c = tag; *c; ++c)
    if (std::iswspace(static_cast<wint_t>(*c))) return false;
  return true;
}

// The drawing's spelling of a text style's name, or nullptr when it has none such.
const std::string* styleNamed(const AcDbEntity& e, const ACHAR* name) {
  AcDbDatabase* d = databaseFor(e);
  if (!d || !name || !*name) return nullptr;
  const db::TextStyle* style = databaseOf(d).textStyles().get(orv::text::narrow(name));
  return style ? &style->name : nullptr;
}

db::Text& text(AcDbEntity& e) { return kindOf<db::Text>(e); }
const db::Text& text(const AcDbEntity& e) { return kindOf<db::Text>(e); }

void makeText(AcDbEntity& e, db::Text::Type type, const AcGePoint3d& position, const ACHAR* value, double height,
              double rotation) {
  db::Text t;
  t.type = type;
  t.position = toDb(position);
  t.value = utf8Of(value);
  t.height = height;
  t.rotation = rotation * kDegreesPerRadian;
  e.orvData().entity = db::Entity(std::move(t));
}

}  // namespace

// ---- AcDbText

AcDbText::AcDbText() { makeText(*this, db::Text::Type::text, AcGePoint3d(), nullptr, 0.0, 0.0); }
AcDbText::AcDbText(const AcGePoint3d& position, const ACHAR* value, AcDbObjectId, double height, double rotation) {
  makeText(*this, db::Text::Type::text, position, value, height, rotation);
}

AcGePoint3d AcDbText::position() const { return fromDb(text(*this).position); }
Acad::ErrorStatus AcDbText::setPosition(const AcGePoint3d& p) {
  if (!finite(p)) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  text(*this).position = toDb(p);
  return Acad::eOk;
}
AcGePoint3d AcDbText::alignmentPoint() const {
  const db::Text& t = text(*this);
  return fromDb(t.hasAlignPoint ? t.alignPoint : t.position);
}
Acad::ErrorStatus AcDbText::setAlignmentPoint(const AcGePoint3d& p) {
  if (!finite(p)) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  text(*this).alignPoint = toDb(p);
  text(*this).hasAlignPoint = true;
  return Acad::eOk;
}
bool AcDbText::isDefaultAlignment() const { return !text(*this).placedByAlignPoint(); }

double AcDbText::height() const { return text(*this).height; }
Acad::ErrorStatus AcDbText::setHeight(double height) {
  if (!std::isfinite(height) || height <= 0.0) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  text(*this).height = height;
  return Acad::eOk;
}
double AcDbText::rotation() const { return text(*this).rotation / kDegreesPerRadian; }
Acad::ErrorStatus AcDbText::setRotation(double radians) {
  if (!std::isfinite(radians)) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  text(*this).rotation = radians * kDegreesPerRadian;
  return Acad::eOk;
}
double AcDbText::widthFactor() const { return text(*this).widthFactor; }
Acad::ErrorStatus AcDbText::setWidthFactor(double factor) {
  if (!std::isfinite(factor) || factor <= 0.0) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  text(*this).widthFactor = factor;
  return Acad::eOk;
}
double AcDbText::oblique() const { return text(*this).oblique / kDegreesPerRadian; }
Acad::ErrorStatus AcDbText::setOblique(double radians) {
  if (!std::isfinite(radians) || std::abs(radians * kDegreesPerRadian) > 85.0) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  text(*this).oblique = radians * kDegreesPerRadian;
  return Acad::eOk;
}
const ACHAR* AcDbText::textString() const { return handOut(orvData(), kValueText, text(*this).value); }
Acad::ErrorStatus AcDbText::setTextString(const ACHAR* value) {
  if (!value) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  text(*this).value = orv::text::narrow(value);
  return Acad::eOk;
}
const ACHAR* AcDbText::textStyleName() const { return handOut(orvData(), kStyleText, text(*this).style); }
Acad::ErrorStatus AcDbText::setTextStyle(const ACHAR* styleName) {
  if (!styleName || !*styleName) return Acad::eInvalidInput;
  const std::string* name = styleNamed(*this, styleName);
  if (!name) return Acad::eKeyNotFound;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  text(*this).style = *name;
  return Acad::eOk;
}
AcDb::TextHorzMode AcDbText::horizontalMode() const { return static_cast<AcDb::TextHorzMode>(text(*this).hAlign); }
Acad::ErrorStatus AcDbText::setHorizontalMode(AcDb::TextHorzMode mode) {
  if (mode < AcDb::kTextLeft || mode > AcDb::kTextFit) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  db::Text& t = text(*this);
  // Text that stood by its position stands by the same point as its alignment point.
  if (!t.hasAlignPoint) {
    t.alignPoint = t.position;
    t.hasAlignPoint = true;
  }
  t.hAlign = static_cast<db::TextHAlign>(mode);
  return Acad::eOk;
}
AcDb::TextVertMode AcDbText::verticalMode() const { return static_cast<AcDb::TextVertMode>(text(*this).vAlign); }
Acad::ErrorStatus AcDbText::setVerticalMode(AcDb::TextVertMode mode) {
  if (mode < AcDb::kTextBase || mode > AcDb::kTextTop) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  db::Text& t = text(*this);
  if (!t.hasAlignPoint) {
    t.alignPoint = t.position;
    t.hasAlignPoint = true;
  }
  t.vAlign = static_cast<db::TextVAlign>(mode);
  return Acad::eOk;
}
AcGeVector3d AcDbText::normal() const { return vectorOf(text(*this).extrusion); }

// ---- attributes

namespace {

Acad::ErrorStatus setTagOf(AcDbEntity& e, const ACHAR* tag) {
  if (!soundTag(tag)) return Acad::eInvalidInput;
  if (auto es = beginChange(e); es != Acad::eOk) return es;
  text(e).tag = orv::text::narrow(tag);
  return Acad::eOk;
}

Acad::ErrorStatus setFlag(AcDbEntity& e, std::int16_t flag, bool on) {
  if (auto es = beginChange(e); es != Acad::eOk) return es;
  std::int16_t& flags = text(e).flags;
  flags = static_cast<std::int16_t>(on ? flags | flag : flags & ~flag);
  return Acad::eOk;
}

}  // namespace

AcDbAttributeDefinition::AcDbAttributeDefinition() {
  makeText(*this, db::Text::Type::attdef, AcGePoint3d(), nullptr, 0.0, 0.0);
}
AcDbAttributeDefinition::AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* value, const ACHAR* tag,
                                                 const ACHAR* prompt, AcDbObjectId) {
  makeText(*this, db::Text::Type::attdef, position, value, 0.0, 0.0);
  text(*this).tag = utf8Of(tag);
  text(*this).prompt = utf8Of(prompt);
}
const ACHAR* AcDbAttributeDefinition::tag() const { return handOut(orvData(), kTagText, text(*this).tag); }
Acad::ErrorStatus AcDbAttributeDefinition::setTag(const ACHAR* tag) { return setTagOf(*this, tag); }
const ACHAR* AcDbAttributeDefinition::prompt() const {
  return handOut(orvData(), kPromptText, text(*this).prompt);
}
Acad::ErrorStatus AcDbAttributeDefinition::setPrompt(const ACHAR* prompt) {
  if (!prompt) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  text(*this).prompt = orv::text::narrow(prompt);
  return Acad::eOk;
}
bool AcDbAttributeDefinition::isInvisible() const { return (text(*this).flags & 1) != 0; }
Acad::ErrorStatus AcDbAttributeDefinition::setInvisible(bool invisible) { return setFlag(*this, 1, invisible); }
bool AcDbAttributeDefinition::isConstant() const { return (text(*this).flags & 2) != 0; }
bool AcDbAttributeDefinition::isVerifiable() const { return (text(*this).flags & 4) != 0; }
bool AcDbAttributeDefinition::isPreset() const { return (text(*this).flags & 8) != 0; }

AcDbAttribute::AcDbAttribute() { makeText(*this, db::Text::Type::attrib, AcGePoint3d(), nullptr, 0.0, 0.0); }
AcDbAttribute::AcDbAttribute(const AcGePoint3d& position, const ACHAR* value, const ACHAR* tag, AcDbObjectId) {
  makeText(*this, db::Text::Type::attrib, position, value, 0.0, 0.0);
  text(*this).tag = utf8Of(tag);
}
const ACHAR* AcDbAttribute::tag() const { return handOut(orvData(), kTagText, text(*this).tag); }
Acad::ErrorStatus AcDbAttribute::setTag(const ACHAR* tag) { return setTagOf(*this, tag); }
bool AcDbAttribute::isInvisible() const { return (text(*this).flags & 1) != 0; }
Acad::ErrorStatus AcDbAttribute::setInvisible(bool invisible) { return setFlag(*this, 1, invisible); }
bool AcDbAttribute::isConstant() const { return (text(*this).flags & 2) != 0; }

// ---- AcDbMText

namespace {
db::MText& mtext(AcDbEntity& e) { return kindOf<db::MText>(e); }
const db::MText& mtext(const AcDbEntity& e) { return kindOf<db::MText>(e); }
}  // namespace

AcDbMText::AcDbMText() { orvData().entity = db::Entity(db::MText{}); }
AcGePoint3d AcDbMText::location() const { return fromDb(mtext(*this).position); }
Acad::ErrorStatus AcDbMText::setLocation(const AcGePoint3d& p) {
  if (!finite(p)) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  mtext(*this).position = toDb(p);
  return Acad::eOk;
}
const ACHAR* AcDbMText::contents() const { return handOut(orvData(), kValueText, mtext(*this).content); }
Acad::ErrorStatus AcDbMText::setContents(const ACHAR* value) {
  if (!value) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  mtext(*this).content = orv::text::narrow(value);
  return Acad::eOk;
}
double AcDbMText::textHeight() const { return mtext(*this).height; }
Acad::ErrorStatus AcDbMText::setTextHeight(double height) {
  if (!std::isfinite(height) || height <= 0.0) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  mtext(*this).height = height;
  return Acad::eOk;
}
double AcDbMText::width() const { return mtext(*this).width; }
Acad::ErrorStatus AcDbMText::setWidth(double width) {
  if (!std::isfinite(width) || width < 0.0) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  mtext(*this).width = width;
  return Acad::eOk;
}
double AcDbMText::rotation() const { return mtext(*this).angle() / kDegreesPerRadian; }
Acad::ErrorStatus AcDbMText::setRotation(double radians) {
  if (!std::isfinite(radians)) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  mtext(*this).setAngle(radians * kDegreesPerRadian);
  return Acad::eOk;
}
AcDbMText::AttachmentPoint AcDbMText::attachment() const {
  return static_cast<AttachmentPoint>(mtext(*this).attachment);
}
Acad::ErrorStatus AcDbMText::setAttachment(AttachmentPoint attachment) {
  if (attachment < kTopLeft || attachment > kBottomRight) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  mtext(*this).attachment = static_cast<db::MTextAttachment>(attachment);
  return Acad::eOk;
}
const ACHAR* AcDbMText::textStyleName() const { return handOut(orvData(), kStyleText, mtext(*this).style); }
Acad::ErrorStatus AcDbMText::setTextStyle(const ACHAR* styleName) {
  if (!styleName || !*styleName) return Acad::eInvalidInput;
  const std::string* name = styleNamed(*this, styleName);
  if (!name) return Acad::eKeyNotFound;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  mtext(*this).style = *name;
  return Acad::eOk;
}
AcGeVector3d AcDbMText::normal() const { return vectorOf(mtext(*this).extrusion); }

// ---- AcDbPoint

AcDbPoint::AcDbPoint() { orvData().entity = db::Entity(db::Geometry(db::Point{})); }
AcDbPoint::AcDbPoint(const AcGePoint3d& position) {
  db::Point p;
  p.position = toDb(position);
  orvData().entity = db::Entity(db::Geometry(p));
}
AcGePoint3d AcDbPoint::position() const { return fromDb(kindOf<db::Point>(*this).position); }
Acad::ErrorStatus AcDbPoint::setPosition(const AcGePoint3d& p) {
  if (!finite(p)) return Acad::eInvalidInput;
  if (auto es = beginChange(*this); es != Acad::eOk) return es;
  kindOf<db::Point>(*this).position = toDb(p);
  return Acad::eOk;
}
