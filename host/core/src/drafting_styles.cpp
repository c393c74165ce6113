// Header values, dimension style values and the undoable changes of both.
#include "orv/core/drafting_styles.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace orv::core {

namespace {

// Where the DXF writer puts a table record's own tags (after its name and flags).
constexpr std::uint8_t kRecordSlot = 1;

std::optional<double> number(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  const std::string s(text);
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

// The group codes of the values a DIMSTYLE record holds, and their header names.
struct StyleCode {
  int code;
  const char* header;
};
constexpr StyleCode kTextHeight{140, "$DIMTXT"}, kArrowSize{41, "$DIMASZ"}, kOffset{42, "$DIMEXO"},
    kBeyond{44, "$DIMEXE"}, kGap{147, "$DIMGAP"}, kDecimals{271, "$DIMDEC"}, kScale{40, "$DIMSCALE"};

std::optional<std::string_view> recordValue(const db::SymbolRecord& r, int code) {
  for (db::RawTag t : r.extras)
    if (t.slot == kRecordSlot && t.code == code) return t.value;
  return std::nullopt;
}

// The record's own value, else the header's, else nullopt.
std::optional<double> styleNumber(const db::Database& d, const db::SymbolRecord* r, StyleCode c) {
  if (r)
    if (const auto v = recordValue(*r, c.code))
      if (const auto n = number(*v)) return n;
  return headerNumber(d.header, c.header);
}

// The block record handle of an arrow block, or 0.
db::Handle arrowBlockHandle(const db::Database& d, ArrowKind kind) {
  if (kind == ArrowKind::closedFilled) return 0;
  const auto id = d.findBlock(arrowBlockName(kind));
  return id ? d.block(*id).recordHandle : 0;
}

ArrowKind arrowOfName(std::string_view name) {
  const std::string n = db::foldName(name);
  if (n == "_ARCHTICK" || n == "ARCHTICK" || n == "_OBLIQUE" || n == "OBLIQUE") return ArrowKind::tick;
  if (n == "_DOT" || n == "DOT" || n == "_DOTSMALL" || n == "_DOTBLANK") return ArrowKind::dot;
  return ArrowKind::closedFilled;
}

std::string handleText(db::Handle h) {
  char buf[20];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, h, 16);
  std::string s(buf, end);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Adds the block an arrow kind is drawn with, one arrow size wide (CAD programs scale it
// by DIMASZ): a tick is a thick stroke at 45 degrees, a dot a filled disc.
bool ensureArrowBlock(db::Database& d, ArrowKind kind) {
  if (kind == ArrowKind::closedFilled || d.findBlock(arrowBlockName(kind))) return true;
  auto block = d.addBlock(std::string(arrowBlockName(kind)), {});
  if (!block) return false;
  db::Polyline shape;
  if (kind == ArrowKind::tick) {
    shape.addVertex({-0.5, -0.5});
    shape.addVertex({0.5, 0.5});
    shape.setConstantWidth(0.15);
  } else {
    shape.addVertex({-0.125, 0}, 1.0);
    shape.addVertex({0.125, 0}, 1.0);
    shape.setClosed(true);
    shape.setConstantWidth(0.25);
  }
  db::Entity e(std::move(shape));
  e.color = 0;  // ByBlock, as the dimension's colour
  return static_cast<bool>(d.append(std::move(e), *block));
}

}  // namespace

// ---- header values

std::optional<double> headerNumber(const db::HeaderVariables& h, std::string_view name) {
  const auto v = headerValue(h, name);
  return v ? number(*v) : std::nullopt;
}

std::string dxfNumber(double v) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, end);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

// ---- dimension styles

std::string_view arrowBlockName(ArrowKind kind) {
  switch (kind) {
    case ArrowKind::tick: return "_ARCHTICK";
    case ArrowKind::dot: return "_DOT";
    case ArrowKind::closedFilled: break;
  }
  return "";
}

DimensionStyle currentDimensionStyle(const db::Database& d) {
  return dimensionStyleNamed(d, headerValue(d.header, "$DIMSTYLE").value_or("Standard"));
}

DimensionStyle dimensionStyleNamed(const db::Database& d, const std::string& wanted) {
  DimensionStyle s;
  const auto& table = d.keptTable(db::KeptTable::dimstyle);
  const db::SymbolRecord* r = table.get(wanted);
  if (!r) r = table.get("Standard");
  if (!r && table.size() > 0) r = &table[0];
  if (r) s.name = r->name;
  auto positive = [&](StyleCode c, double& out) {
    if (const auto v = styleNumber(d, r, c); v && *v > 0) out = *v;
  };
  positive(kTextHeight, s.textHeight);
  positive(kArrowSize, s.arrowSize);
  positive(kScale, s.scale);
  if (const auto v = styleNumber(d, r, kOffset); v && *v >= 0) s.extensionOffset = *v;
  if (const auto v = styleNumber(d, r, kBeyond); v && *v >= 0) s.extensionBeyond = *v;
  if (const auto v = styleNumber(d, r, kGap)) s.textGap = std::abs(*v);
  if (const auto v = styleNumber(d, r, kDecimals); v && *v >= 0 && *v <= 8) s.decimals = static_cast<int>(*v);
  // The arrow: a block record pointer (342) in the record, else the header's name.
  std::optional<ArrowKind> arrow;
  if (r)
    if (const auto h = recordValue(*r, 342)) {
      arrow = ArrowKind::closedFilled;
      const db::Handle handle = std::strtoull(std::string(*h).c_str(), nullptr, 16);
      for (std::size_t i = 0; handle != 0 && i < d.blockCount(); ++i)
        if (!d.block(db::BlockId{static_cast<std::uint32_t>(i)}).removed &&
            d.block(db::BlockId{static_cast<std::uint32_t>(i)}).recordHandle == handle)
          arrow = arrowOfName(d.block(db::BlockId{static_cast<std::uint32_t>(i)}).name);
    }
  if (!arrow && r)  // an older file names the block
    if (const auto n = recordValue(*r, 5)) arrow = arrowOfName(*n);
  if (!arrow)
    if (const auto n = headerValue(d.header, "$DIMBLK")) arrow = arrowOfName(*n);
  s.arrow = arrow.value_or(ArrowKind::closedFilled);
  return s;
}

bool dimensionStyleStored(const db::Database& d, const std::string& name) {
  const db::SymbolRecord* r = d.keptTable(db::KeptTable::dimstyle).get(name);
  if (!r) return false;
  for (const StyleCode c : {kScale, kArrowSize, kOffset, kBeyond, kTextHeight, kGap, kDecimals})
    if (!recordValue(*r, c.code)) return false;
  return true;
}

bool storeDimensionStyle(db::Database& d, const DimensionStyle& style) {
  if (!ensureArrowBlock(d, style.arrow)) return false;
  auto& table = d.keptTable(db::KeptTable::dimstyle);
  auto index = table.find(style.name);
  if (!index) {
    db::SymbolRecord r;
    r.name = style.name;
    r.handle = d.newHandle();
    index = table.add(std::move(r));
    if (!index) return false;
  }
  db::SymbolRecord& r = table[*index];
  const std::pair<int, std::string> values[] = {
      {kScale.code, dxfNumber(style.scale)},
      {kArrowSize.code, dxfNumber(style.arrowSize)},
      {kOffset.code, dxfNumber(style.extensionOffset)},
      {kBeyond.code, dxfNumber(style.extensionBeyond)},
      {kTextHeight.code, dxfNumber(style.textHeight)},
      {kGap.code, dxfNumber(style.textGap)},
      {kDecimals.code, std::to_string(style.decimals)},
  };
  const db::Handle arrowHandle = arrowBlockHandle(d, style.arrow);
  db::RawTags kept;
  for (db::RawTag t : r.extras) {
    if (t.slot == kRecordSlot) {
      bool replaced = t.code == 342 || t.code == 5;
      for (const auto& [code, v] : values) replaced = replaced || t.code == code;
      if (replaced) continue;
    }
    kept.add(t.code, t.value, t.slot);
  }
  for (const auto& [code, v] : values) kept.add(code, v, kRecordSlot);
  if (arrowHandle != 0) kept.add(342, handleText(arrowHandle), kRecordSlot);
  r.extras = std::move(kept);

  db::HeaderVariables& h = d.header;
  setHeaderValue(h, "$DIMSTYLE", 2, style.name);
  setHeaderValue(h, kScale.header, 40, dxfNumber(style.scale));
  setHeaderValue(h, kArrowSize.header, 40, dxfNumber(style.arrowSize));
  setHeaderValue(h, kOffset.header, 40, dxfNumber(style.extensionOffset));
  setHeaderValue(h, kBeyond.header, 40, dxfNumber(style.extensionBeyond));
  setHeaderValue(h, kTextHeight.header, 40, dxfNumber(style.textHeight));
  setHeaderValue(h, kGap.header, 40, dxfNumber(style.textGap));
  setHeaderValue(h, kDecimals.header, 70, std::to_string(style.decimals));
  setHeaderValue(h, "$DIMBLK", 1, std::string(arrowBlockName(style.arrow)));
  return true;
}

// ---- changes UNDO takes back

namespace {

// What a settings change may touch, as it stood at one moment.
struct SettingsState {
  std::vector<std::pair<std::string, db::HeaderTags>> variables;
  double linetypeScale = 1.0;
  db::SymbolTable<db::TextStyle> textStyles;
  db::SymbolTable<db::SymbolRecord> dimensionStyles;
};

SettingsState capture(const db::Database& d, const std::vector<std::string>& names) {
  SettingsState s;
  for (const std::string& name : names) {
    s.variables.emplace_back(name, db::headerTags(d.header, name));
  }
  s.linetypeScale = d.header.linetypeScale;
  s.textStyles = d.textStyles();
  s.dimensionStyles = d.keptTable(db::KeptTable::dimstyle);
  return s;
}

void restore(db::Database& d, const SettingsState& s) {
  for (const auto& [name, tags] : s.variables) db::setHeaderTags(d.header, name, tags);
  d.header.linetypeScale = s.linetypeScale;
  d.textStyles() = s.textStyles;
  d.keptTable(db::KeptTable::dimstyle) = s.dimensionStyles;
}

}  // namespace

bool changeSettings(Document& doc, const std::string& name, const std::vector<std::string>& headerNames,
                    const std::function<bool(db::Database&)>& change) {
  db::Database& d = doc.database();
  auto before = std::make_shared<SettingsState>(capture(d, headerNames));
  doc.beginStep(name);
  const bool changed = change(d);
  if (changed) {
    auto after = std::make_shared<SettingsState>(capture(d, headerNames));
    doc.recordChange([before](db::Database& db) { restore(db, *before); },
                     [after](db::Database& db) { restore(db, *after); });
  }
  doc.endStep();
  return changed;
}

}  // namespace orv::core
