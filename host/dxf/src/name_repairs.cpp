// Names no CAD program accepts, mended once a file is read: layers, linetypes, text styles, dimension styles and blocks get accepted names, and everything that names them follows.
//
// AutoCAD's rules for the names of named objects (layers, blocks, styles and the rest):
// any character but control characters and < > / \ " : ; ? * | , = `, at most 255
// characters. A vertical bar stands in the names that a drawing's external references
// bring (XREF|NAME), so a name whose part before its first bar names an xref block of the
// drawing keeps its bars, as long as none comes first or last. Layers of AutoCAD's own
// (*ADSK_..., *ACMAP..., *TEMPORARY...) and blocks of AutoCAD's own (*Model_Space, *U12,
// ...) begin with an asterisk; the rest of their name follows the rules.
#include <cctype>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "read_context.h"

namespace orv::dxf {

namespace {

constexpr std::string_view kRefused = "<>/\\\":;?*|,=`";
constexpr std::size_t kMostCharacters = 255;

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

std::size_t characterCount(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

// The kinds of named objects, for the rules and the findings.
enum class Kind { layer, linetype, textStyle, dimensionStyle, block };

const char* kindWord(Kind k) {
  switch (k) {
    case Kind::layer: return "图层名";
    case Kind::linetype: return "线型名";
    case Kind::textStyle: return "文字样式名";
    case Kind::dimensionStyle: return "标注样式名";
    case Kind::block: return "块名";
  }
  return "名称";
}

class NameRules {
 public:
  explicit NameRules(const db::Database& d) {
    for (std::uint32_t b = 0; b < d.blockCount(); ++b) {
      const db::BlockDefinition& def = d.block(db::BlockId{b});
      if (!def.removed && (def.flags & 4) != 0) xrefs_.insert(db::foldName(def.name));
    }
  }

  // The part of a name the rules look at: without the asterisk of AutoCAD's own names.
  static std::string_view checked(std::string_view name, Kind kind) {
    if (name.empty() || name.front() != '*') return name;
    if (kind == Kind::block) return name.substr(1);
    if (kind == Kind::layer) {
      const std::string upper = db::foldName(name);
      for (std::string_view own : {"*ADSK_", "*ACMAP", "*TEMPORARY"})
        if (std::string_view(upper).starts_with(own)) return {};
    }
    return name;
  }

  // True when bars in the name are those of a name an xref brought.
  bool xrefDependent(std::string_view name) const {
    const std::size_t bar = name.find('|');
    if (bar == std::string_view::npos || bar == 0 || name.back() == '|') return false;
    return xrefs_.contains(db::foldName(name.substr(0, bar)));
  }

  // Empty when the name is accepted; else what is wrong with it.
  std::string fault(std::string_view name, Kind kind) const {
    const std::string_view rest = checked(name, kind);
    const bool bars = xrefDependent(rest);
    for (unsigned char c : rest) {
      if (isControl(c)) return "含有控制字符";
      if (kRefused.find(static_cast<char>(c)) != std::string_view::npos && !(c == '|' && bars))
        return "含有 CAD 程序不接受的字符";
    }
    if (characterCount(name) > kMostCharacters) return "超过 255 个字符";
    return {};
  }

  // The accepted form: each refused character an underscore, cut to leave room for a
  // number; the caller makes it unique.
  std::string mended(std::string_view name, Kind kind) const {
    const std::string_view rest = checked(name, kind);
    const bool bars = xrefDependent(rest);
    std::string out(name.substr(0, name.size() - rest.size()));
    std::size_t count = 0;
    for (std::size_t i = 0; i < rest.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(rest[i]);
      if ((c & 0xC0) != 0x80 && ++count > kMostCharacters - 8) break;
      const bool refused = isControl(c) || (kRefused.find(static_cast<char>(c)) != std::string_view::npos &&
                                            !(c == '|' && bars));
      out += refused ? '_' : static_cast<char>(c);
    }
    return out;
  }

 private:
  std::unordered_set<std::string> xrefs_;
};

// A name as a finding quotes it: control characters as \xNN.
std::string shownName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : name) {
    if (isControl(c)) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// Old names (folded) and their new ones, per kind.
class Renames {
 public:
  void add(Kind k, std::string_view old, std::string name) { maps_[index(k)][db::foldName(old)] = std::move(name); }
  bool empty() const {
    for (const auto& m : maps_)
      if (!m.empty()) return false;
    return true;
  }
  const std::string* find(Kind k, std::string_view name) const {
    const auto& m = maps_[index(k)];
    if (m.empty()) return nullptr;
    auto it = m.find(db::foldName(name));
    return it == m.end() ? nullptr : &it->second;
  }

 private:
  static std::size_t index(Kind k) { return static_cast<std::size_t>(k); }
  std::unordered_map<std::string, std::string> maps_[5];
};

// Renames each entry of a table the rules refuse; `taken` says whether a name is in use.
template <class Table, class Taken>
void renameEntries(ReadContext& ctx, const NameRules& rules, Kind kind, Table& table, Taken taken,
                   Renames& renames) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    const std::string old = table[i].name;
    const std::string why = rules.fault(old, kind);
    if (why.empty()) continue;
    const std::string base = rules.mended(old, kind);
    std::string name = base;
    for (int n = 2; name.empty() || taken(name); ++n) name = base + "_" + std::to_string(n);
    if (!table.rename(i, name)) continue;
    renames.add(kind, old, name);
    ctx.note(0, std::string(kindWord(kind)) + "“" + shownName(old) + "”" + why + "，已改为“" + name + "”");
  }
}

bool isTextType(std::string_view t) { return t == "TEXT" || t == "MTEXT" || t == "ATTRIB" || t == "ATTDEF"; }
bool usesDimensionStyle(std::string_view t) { return t == "DIMENSION" || t == "LEADER" || t == "TOLERANCE"; }
bool namesBlock(std::string_view t) { return t == "INSERT" || t == "DIMENSION"; }

// The tags of a kept entity (or table entry) with the names it uses changed; nullopt
// when none changed. `kindOf` says which kind of name a code holds (nullopt: none).
template <class KindOf>
std::optional<db::RawTags> renamedTags(const db::RawTags& tags, const Renames& renames, KindOf kindOf) {
  db::RawTags out;
  bool changed = false, inGroup = false;
  for (db::RawTag t : tags) {
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    const std::string* name = nullptr;
    if (!inGroup && t.code != 102 && t.slot != slot::xdata && t.code < 1000)
      if (const std::optional<Kind> k = kindOf(t.code)) name = renames.find(*k, t.value);
    out.add(t.code, name ? std::string_view(*name) : t.value, t.slot);
    changed = changed || name;
  }
  return changed ? std::optional<db::RawTags>(std::move(out)) : std::nullopt;
}

// Header variables kept as read that name a table entry or a block.
void renameInHeader(db::HeaderVariables& h, const Renames& renames) {
  static const std::unordered_map<std::string_view, std::pair<int, Kind>> kVariables = {
      {"$CELTYPE", {6, Kind::linetype}},   {"$TEXTSTYLE", {7, Kind::textStyle}},
      {"$DIMTXSTY", {7, Kind::textStyle}}, {"$DIMSTYLE", {2, Kind::dimensionStyle}},
      {"$DIMBLK", {1, Kind::block}},       {"$DIMBLK1", {1, Kind::block}},
      {"$DIMBLK2", {1, Kind::block}},      {"$DIMLDRBLK", {1, Kind::block}},
  };
  // The variable a value belongs to is the last 9 before it.
  int code = -1;  // the code of the current variable's name; -1: not one of those
  Kind kind = Kind::layer;
  db::RawTags out;
  bool changed = false;
  for (db::RawTag t : h.others) {
    if (t.code == 9) {
      auto it = kVariables.find(t.value);
      code = it == kVariables.end() ? -1 : it->second.first;
      if (it != kVariables.end()) kind = it->second.second;
    } else if (t.code == code) {
      if (const std::string* name = renames.find(kind, t.value)) {
        out.add(t.code, *name, t.slot);
        changed = true;
        continue;
      }
    }
    out.add(t.code, t.value, t.slot);
  }
  if (changed) h.others = std::move(out);
}

}  // namespace

void renameUnacceptedNames(ReadContext& ctx) {
  db::Database& d = ctx.db;
  const NameRules rules(d);
  Renames renames;
  renameEntries(ctx, rules, Kind::layer, d.layers(), [&](const std::string& n) { return d.layers().find(n).has_value(); },
                renames);
  renameEntries(ctx, rules, Kind::linetype, d.linetypes(),
                [&](const std::string& n) { return d.hasLinetype(n); }, renames);
  renameEntries(ctx, rules, Kind::textStyle, d.textStyles(),
                [&](const std::string& n) { return d.textStyles().find(n).has_value(); }, renames);
  auto& dimensionStyles = d.keptTable(db::KeptTable::dimstyle);
  renameEntries(ctx, rules, Kind::dimensionStyle, dimensionStyles,
                [&](const std::string& n) { return dimensionStyles.find(n).has_value(); }, renames);
  for (std::uint32_t b = 2; b < d.blockCount(); ++b) {  // model and paper space keep theirs
    const db::BlockId id{b};
    if (d.block(id).removed) continue;
    const std::string old = d.block(id).name;
    const std::string why = rules.fault(old, Kind::block);
    if (why.empty()) continue;
    const std::string base = rules.mended(old, Kind::block);
    std::string name = base;
    for (int n = 2; name.empty() || name == "*" || d.findBlock(name); ++n) name = base + "_" + std::to_string(n);
    if (d.renameBlock(id, name) != db::Status::ok) continue;
    renames.add(Kind::block, old, name);
    ctx.note(0, std::string(kindWord(Kind::block)) + "“" + shownName(old) + "”" + why + "，已改为“" + name + "”");
  }
  if (renames.empty()) return;

  db::HeaderVariables& h = d.header;
  if (const std::string* name = renames.find(Kind::layer, h.currentLayer)) h.currentLayer = *name;
  renameInHeader(h, renames);
  for (std::size_t i = 0; i < d.layers().size(); ++i)
    if (const std::string* name = renames.find(Kind::linetype, d.layers()[i].linetype)) d.layers()[i].linetype = *name;
  for (std::uint32_t b = 0; b < d.blockCount(); ++b)
    if (const std::string* name = renames.find(Kind::layer, d.block(db::BlockId{b}).layer))
      d.editBlock(db::BlockId{b}).layer = *name;
  // Dimension styles of R12 files name their arrow blocks (5, 6, 7).
  for (std::size_t i = 0; i < dimensionStyles.size(); ++i) {
    auto tags = renamedTags(dimensionStyles[i].extras, renames, [](int code) -> std::optional<Kind> {
      if (code == 5 || code == 6 || code == 7) return Kind::block;
      return std::nullopt;
    });
    if (tags) dimensionStyles[i].extras = std::move(*tags);
  }

  for (std::uint32_t i = 0; i < d.entitySlotCount(); ++i) {
    const db::ObjectId id{i};
    const db::Entity& e = *d.entity(id);
    std::optional<db::Entity> copy;
    const std::string* layer = renames.find(Kind::layer, d.name(e.layer));
    const std::string* linetype = renames.find(Kind::linetype, d.name(e.linetype));
    if (layer || linetype) {
      copy = e;
      if (layer) copy->layer = d.intern(*layer);
      if (linetype) copy->linetype = d.intern(*linetype);
    }
    if (const auto* text = e.as<db::Text>()) {
      if (const std::string* style = renames.find(Kind::textStyle, text->style)) {
        if (!copy) copy = e;
        copy->as<db::Text>()->style = *style;
      }
    }
    if (const auto* mtext = e.as<db::MText>()) {
      if (const std::string* style = renames.find(Kind::textStyle, mtext->style)) {
        if (!copy) copy = e;
        copy->as<db::MText>()->style = *style;
      }
    }
    // Entities kept as tags name what they use there.
    if (const auto* kept = e.as<db::UnknownEntity>()) {
      const std::string_view type = d.name(kept->type);
      const bool text = isTextType(type), dimension = usesDimensionStyle(type), block = namesBlock(type);
      auto tags = renamedTags(kept->tags, renames, [&](int code) -> std::optional<Kind> {
        if (code == 8) return Kind::layer;
        if (code == 6) return Kind::linetype;
        if (code == 7 && text) return Kind::textStyle;
        if (code == 3 && dimension) return Kind::dimensionStyle;
        if (code == 2 && block) return Kind::block;
        return std::nullopt;
      });
      if (tags) {
        if (!copy) copy = e;
        copy->as<db::UnknownEntity>()->tags = std::move(*tags);
      }
    }
    if (const auto* dim = e.as<db::Dimension>()) {
      const std::string* block = renames.find(Kind::block, dim->block);
      const std::string* style = renames.find(Kind::dimensionStyle, dim->style);
      if (block || style) {
        if (!copy) copy = e;
        if (block) copy->as<db::Dimension>()->block = *block;
        if (style) copy->as<db::Dimension>()->style = *style;
      }
    }
    if (const auto* leader = e.as<db::Leader>()) {
      if (const std::string* style = renames.find(Kind::dimensionStyle, leader->style)) {
        if (!copy) copy = e;
        copy->as<db::Leader>()->style = *style;
      }
    }
    // An old-style polyline's vertices and SEQEND name their own layer and linetype.
    if (const auto* p = e.as<db::HeavyPolyline>()) {
      auto renamed = [&](const db::SubEntity& s) {
        return renames.find(Kind::layer, d.name(s.layer)) || renames.find(Kind::linetype, d.name(s.linetype));
      };
      bool any = renamed(p->seqend);
      for (const db::HeavyVertex& v : p->vertices) any = any || renamed(v.common);
      if (any) {
        if (!copy) copy = e;
        auto rename = [&](db::SubEntity& s) {
          if (const std::string* name = renames.find(Kind::layer, d.name(s.layer))) s.layer = d.intern(*name);
          if (const std::string* name = renames.find(Kind::linetype, d.name(s.linetype))) s.linetype = d.intern(*name);
        };
        db::HeavyPolyline& q = *copy->as<db::HeavyPolyline>();
        for (db::HeavyVertex& v : q.vertices) rename(v.common);
        rename(q.seqend);
      }
    }
    if (copy) d.replace(id, std::move(*copy));
  }
}

}  // namespace orv::dxf
