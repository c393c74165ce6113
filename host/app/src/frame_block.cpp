// The GB frame blocks: edge, border and title block drawn in millimetres, fields as attribute definitions.
//
// Contents: names and margins; the title block's layout; making the block; inserting it
// with its attributes.
#include "frame_block.h"

#include <cstdio>
#include <vector>

namespace orv::app {

namespace {

constexpr double kTitleWidth = 180.0;
constexpr double kTitleHeight = 56.0;
constexpr std::int16_t kThin = 25;   // hundredths of a mm
constexpr std::int16_t kThick = 70;
constexpr double kLabelHeight = 3.5;

std::string real(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

// A cell of the title block, from its lower-left corner (mm from the title block's).
struct Cell {
  const char* label;
  double x, y, w, h;
  double labelWidth;
};

// GB/T 10609.1's division, in the 180 × 56 block: on the left 材料 over 设计, 校对,
// 审核, 日期; on the right 单位 over 图名 over 图号 and 比例.
constexpr Cell kCells[] = {
    {"图名", 100, 14, 80, 28, 20}, {"图号", 100, 0, 45, 14, 15}, {"比例", 145, 0, 35, 14, 12},
    {"材料", 0, 42, 100, 14, 20},  {"设计", 0, 31.5, 100, 10.5, 20}, {"校对", 0, 21, 100, 10.5, 20},
    {"审核", 0, 10.5, 100, 10.5, 20}, {"日期", 0, 0, 100, 10.5, 20}, {"单位", 100, 42, 80, 14, 20},
};

double valueHeight(const Cell& c) { return std::string_view(c.label) == "图名" ? 5.0 : kLabelHeight; }

struct SheetSize {
  double w, h;
};

SheetSize sheetSize(const render::Paper& p, render::Orientation o) {
  return o == render::Orientation::landscape ? SheetSize{p.longMm, p.shortMm} : SheetSize{p.shortMm, p.longMm};
}

// Where the title block's lower-left corner lies in the frame.
db::Point2 titleCorner(const render::Paper& paper, render::Orientation o) {
  const SheetSize s = sheetSize(paper, o);
  const double c = frameMargin(paper);
  return {s.w - c - kTitleWidth, c};
}

db::RawTags common(std::int16_t lineweight) {
  db::RawTags t;
  t.add(370, std::to_string(lineweight), 1);  // kept beside a modeled entity: its AcDbEntity part
  return t;
}

bool addLine(db::Database& d, db::BlockId block, db::Point2 a, db::Point2 b, std::int16_t weight) {
  db::Entity e(db::Line{{a.x, a.y, 0.0}, {b.x, b.y, 0.0}});
  return d.appendRead(std::move(e), block, 0, common(weight)).ok();
}

bool addRectangle(db::Database& d, db::BlockId block, double x0, double y0, double x1, double y1,
                  std::int16_t weight) {
  return addLine(d, block, {x0, y0}, {x1, y0}, weight) && addLine(d, block, {x1, y0}, {x1, y1}, weight) &&
         addLine(d, block, {x1, y1}, {x0, y1}, weight) && addLine(d, block, {x0, y1}, {x0, y0}, weight);
}

// A text of the frame: left/baseline at `at`, on `layer` (AcDbEntity's lineweight
// ByLayer, as the frame's text has always been written).
db::Entity frameText(db::Database& d, db::Text::Type type, const std::string& layer, db::Point2 at, double height,
                     const std::string& value) {
  // Ten significant digits, as the frame's numbers have always been written.
  auto rounded = [](double v) { return std::strtod(real(v).c_str(), nullptr); };
  db::Text t = db::makeText({rounded(at.x), rounded(at.y), 0.0}, rounded(height), value);
  t.type = type;
  t.hasAlignPoint = false;
  db::Entity e(std::move(t));
  e.layer = d.intern(layer);
  return e;
}

bool addText(db::Database& d, db::BlockId block, db::Entity e) {
  return d.appendRead(std::move(e), block, 0, {}).ok();
}

bool addKept(db::Database& d, db::BlockId block, const char* type, db::RawTags tags) {
  db::Entity e(db::UnknownEntity{d.intern(type), std::move(tags)});
  return d.appendRead(std::move(e), block, 0, {}).ok();
}

// Where a cell's value goes: after its label, on the label's baseline.
db::Point2 valueAt(const Cell& c, db::Point2 corner) {
  return {corner.x + c.x + c.labelWidth + 1.5, corner.y + c.y + (c.h - valueHeight(c)) / 2.0};
}

}  // namespace

std::string frameBlockName(const render::Paper& paper, render::Orientation orientation) {
  return "GB_TK_" + paper.name + (orientation == render::Orientation::landscape ? "_L" : "_P");
}

std::optional<FrameSheet> frameSheetOf(std::string_view name) {
  if (name.substr(0, 6) != "GB_TK_" || name.size() < 9) return std::nullopt;
  const std::string_view side = name.substr(name.size() - 2);
  if (side != "_L" && side != "_P") return std::nullopt;
  auto paper = render::paperNamed(name.substr(6, name.size() - 8));
  if (!paper) return std::nullopt;
  return FrameSheet{*paper, side == "_L" ? render::Orientation::landscape : render::Orientation::portrait};
}

double frameMargin(const render::Paper& paper) {
  // A lengthened sheet keeps the short side of its base: A3xN (420) is framed as A2,
  // A4xN (297) as A3.
  const bool lengthened = paper.name.size() > 2 && paper.name[0] == 'A' && paper.name[2] == 'x';
  if (lengthened) return paper.shortMm >= 420.0 ? 10.0 : 5.0;
  return paper.shortMm <= 297.0 ? 5.0 : 10.0;
}

db::Result<db::BlockId> ensureFrameBlock(db::Database& d, const render::Paper& paper, render::Orientation o) {
  const std::string name = frameBlockName(paper, o);
  if (auto existing = d.findBlock(name)) return *existing;
  auto made = d.addBlock(name, {0.0, 0.0, 0.0});
  if (!made) return made;
  const db::BlockId b = *made;
  const SheetSize s = sheetSize(paper, o);
  const double c = frameMargin(paper), binding = 25.0;
  bool ok = addRectangle(d, b, 0, 0, s.w, s.h, kThin) && addRectangle(d, b, binding, c, s.w - c, s.h - c, kThick);
  const db::Point2 t = titleCorner(paper, o);
  ok = ok && addRectangle(d, b, t.x, t.y, t.x + kTitleWidth, t.y + kTitleHeight, kThick);
  for (const Cell& cell : kCells) {
    if (!ok) break;
    const double x0 = t.x + cell.x, y0 = t.y + cell.y;
    ok = addRectangle(d, b, x0, y0, x0 + cell.w, y0 + cell.h, kThin) &&
         addLine(d, b, {x0 + cell.labelWidth, y0}, {x0 + cell.labelWidth, y0 + cell.h}, kThin);
    ok = ok && addText(d, b, frameText(d, db::Text::Type::text, "0", {x0 + 1.5, y0 + (cell.h - kLabelHeight) / 2.0},
                                       kLabelHeight, cell.label));
    db::Entity def = frameText(d, db::Text::Type::attdef, "0", valueAt(cell, t), valueHeight(cell), "");
    def.as<db::Text>()->prompt = cell.label;
    def.as<db::Text>()->tag = cell.label;
    ok = ok && addText(d, b, std::move(def));
  }
  if (!ok) return db::Error{db::Status::invalidInput, "图框块无法建立"};
  return b;
}

db::Result<db::ObjectId> insertFrame(db::Database& d, const render::Paper& paper, render::Orientation o,
                                     db::Point2 corner, double unitsPerMm, const std::string& scaleText) {
  auto block = ensureFrameBlock(d, paper, o);
  if (!block) return block.error();
  db::Entity ref(db::BlockReference{*block, {corner.x, corner.y, 0.0}, unitsPerMm, unitsPerMm, unitsPerMm, 0.0});
  const std::string layer = d.layers().find(d.header.currentLayer) ? d.header.currentLayer : std::string("0");
  ref.layer = d.intern(layer);
  db::RawTags follows;
  follows.add(66, "1", 2);  // attributes follow
  auto inserted = d.appendRead(std::move(ref), d.modelSpace(), 0, std::move(follows));
  if (!inserted) return inserted;
  char owner[24];
  std::snprintf(owner, sizeof owner, "%llX", static_cast<unsigned long long>(d.entity(*inserted)->handle()));
  const db::Point2 t = titleCorner(paper, o);
  for (const Cell& cell : kCells) {
    const db::Point2 local = valueAt(cell, t);
    db::Entity a = frameText(d, db::Text::Type::attrib, layer, {corner.x + local.x * unitsPerMm, corner.y + local.y * unitsPerMm},
                             valueHeight(cell) * unitsPerMm, std::string_view(cell.label) == "比例" ? scaleText : std::string());
    a.as<db::Text>()->tag = cell.label;
    if (!addText(d, d.modelSpace(), std::move(a))) return db::Error{db::Status::invalidInput, "图框属性无法建立"};
  }
  db::RawTags end;
  end.add(330, owner);
  end.add(100, "AcDbEntity");
  end.add(8, layer);
  if (!addKept(d, d.modelSpace(), "SEQEND", std::move(end))) return db::Error{db::Status::invalidInput, "图框无法建立"};
  return inserted;
}

}  // namespace orv::app
