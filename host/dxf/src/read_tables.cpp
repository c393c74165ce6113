// Reading the TABLES section: table heads, entries of the modeled tables, block records, kept tables.
#include <algorithm>
#include <optional>

#include "read_context.h"

namespace orv::dxf {

namespace {

// What every entry has, plus the tags of one entry that its table interprets.
struct EntryTags {
  db::SymbolRecord record;
  bool inXdata = false;
};

// The common part of an entry's tag; true when the tag was one of them. A dimension
// style's handle is its 105 alone: its 5 (in R12 files) names its arrow block.
bool takeEntryTag(ReadContext& ctx, EntryTags& e, const Tag& t, bool& inGroup, bool dimstyle) {
  if (t.code >= 1000) e.inXdata = true;
  if (e.inXdata) {
    e.record.extras.add(t.code, ctx.kept(t), slot::xdata);
    return true;
  }
  if (t.code == 102) {
    inGroup = !t.value.empty() && t.value.front() == '{';
    e.record.extras.add(t.code, ctx.kept(t), slot::appData);
    return true;
  }
  if (inGroup) {
    e.record.extras.add(t.code, ctx.kept(t), slot::appData);
    return true;
  }
  switch (t.code) {
    case 5:
      if (dimstyle) return false;
      e.record.handle = ctx.handle(t);
      return true;
    case 105: e.record.handle = ctx.handle(t); return true;
    case 330: case 100: return true;  // owner and markers are written anew
    case 2: e.record.name = ctx.text(t.value); return true;
    case 70: {
      std::int64_t n;
      if (!ctx.integer(t, n, "表项")) return true;
      e.record.flags = static_cast<std::int16_t>(n);
      return true;
    }
    default: return false;
  }
}

std::int16_t shortOf(std::int64_t n) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(n, -32768, 32767));
}

class TableReader {
 public:
  TableReader(ReadContext& ctx, std::string_view table) : ctx_(ctx), table_(table) {}

  // Reads the tags of one entry (its `0 TYPE` just read) into the table.
  bool readEntry(const Tag& head) {
    EntryTags e;
    bool inGroup = false;
    db::Layer layer;
    db::Linetype lt;
    db::TextStyle style;
    std::vector<std::uint8_t> preview;
    bool badPreview = false;
    db::DashElement* element = nullptr;
    Tag t;
    while (ctx_.next(t, std::string(table_) + " 表")) {
      if (t.code == 0) {
        ctx_.tok.pushBack();
        ctx_.closeGroup(inGroup, t.line, table_, e.record.extras);
        break;
      }
      if (takeEntryTag(ctx_, e, t, inGroup, table_ == "DIMSTYLE")) continue;
      double v = 0.0;
      std::int64_t n = 0;
      if (table_ == "LAYER") {
        if (t.code == 62 && ctx_.integer(t, n, "LAYER")) { layer.color = shortOf(n); continue; }
        if (t.code == 6) { layer.linetype = ctx_.text(t.value); continue; }
        if (t.code == 370 && ctx_.integer(t, n, "LAYER")) { layer.lineweight = shortOf(n); continue; }
      } else if (table_ == "LTYPE") {
        if (t.code == 3) { lt.description = ctx_.text(t.value); continue; }
        if (t.code == 72 || t.code == 73) continue;
        if (t.code == 40 && ctx_.real(t, v, "LTYPE")) { lt.totalLength = v; continue; }
        if (t.code == 49 && ctx_.real(t, v, "LTYPE")) {
          element = &lt.elements.emplace_back(db::DashElement{v, {}});
          continue;
        }
        if (t.code == 74 || t.code == 75 || t.code == 340 || t.code == 46 || t.code == 50 ||
            t.code == 44 || t.code == 45 || t.code == 9) {
          // Kept with the entry, a dash's tag would be written after the last dash
          // and read back as part of it.
          if (element) {
            element->extras.add(t.code, ctx_.text(t.value));
          } else {
            ctx_.note(t.line, "线型第一个线段之前的组码 " + std::to_string(t.code) + " 未读入");
          }
          continue;
        }
      } else if (table_ == "STYLE") {
        switch (t.code) {
          case 40: if (ctx_.real(t, v, "STYLE")) style.height = v; continue;
          case 41: if (ctx_.real(t, v, "STYLE")) style.widthFactor = v; continue;
          case 50: if (ctx_.real(t, v, "STYLE")) style.obliqueAngle = v; continue;
          case 42: if (ctx_.real(t, v, "STYLE")) style.lastHeight = v; continue;
          case 71: if (ctx_.integer(t, n, "STYLE")) style.generationFlags = shortOf(n); continue;
          case 3: style.font = ctx_.text(t.value); continue;
          case 4: style.bigFont = ctx_.text(t.value); continue;
          default: break;
        }
      } else if (table_ == "BLOCK_RECORD") {
        if (t.code == 310) {
          if (!ReadContext::appendHex(t.value, preview)) badPreview = true;
          continue;
        }
        if (t.code == 280 || t.code == 281) continue;  // not part of an R2000 block record
      }
      if (ctx_.failed()) return false;
      e.record.extras.add(t.code, ctx_.text(t.value), slot::common);
    }
    if (ctx_.failed()) return false;
    if (head.value != table_) {
      ctx_.note(head.line, std::string(table_) + " 表中的 " + std::string(head.value) + " 项未读入");
      return true;
    }
    if (e.record.name.empty()) {
      ctx_.note(head.line, std::string(table_) + " 表中一个没有名称的项未读入");
      return true;
    }
    if (table_ == "BLOCK_RECORD") return addBlockRecord(head, std::move(e.record), std::move(preview), badPreview);
    bool added = true;
    if (table_ == "LAYER") {
      static_cast<db::SymbolRecord&>(layer) = std::move(e.record);
      added = ctx_.db.layers().add(std::move(layer)).has_value();
    } else if (table_ == "LTYPE") {
      static_cast<db::SymbolRecord&>(lt) = std::move(e.record);
      for (db::DashElement& d : lt.elements) {
        // "74 0" alone is a plain element: the writer adds it again.
        auto it = d.extras.begin();
        if (d.extras.size() == 1 && (*it).code == 74 && (*it).value == "0") d.extras.clear();
      }
      added = ctx_.db.linetypes().add(std::move(lt)).has_value();
    } else if (table_ == "STYLE") {
      static_cast<db::SymbolRecord&>(style) = std::move(e.record);
      added = ctx_.db.textStyles().add(std::move(style)).has_value();
    } else if (auto kept = keptTable()) {
      added = ctx_.db.keptTable(*kept).add(std::move(e.record)).has_value();
    }
    if (!added) ctx_.note(head.line, std::string(table_) + " 表中同名的第二项未读入");
    return true;
  }

  std::optional<db::KeptTable> keptTable() const {
    if (table_ == "VPORT") return db::KeptTable::vport;
    if (table_ == "VIEW") return db::KeptTable::view;
    if (table_ == "UCS") return db::KeptTable::ucs;
    if (table_ == "APPID") return db::KeptTable::appid;
    if (table_ == "DIMSTYLE") return db::KeptTable::dimstyle;
    return std::nullopt;
  }

 private:
  bool addBlockRecord(const Tag& head, db::SymbolRecord r, std::vector<std::uint8_t> preview,
                      bool badPreview) {
    std::optional<db::BlockId> id = ctx_.db.findBlock(r.name);
    if (id && (ctx_.db.block(*id).recordHandle != 0 || (id->index > 1))) {
      ctx_.note(head.line, "第二个块记录“" + r.name + "”未读入");
      return true;
    }
    if (!id) {
      auto added = ctx_.db.addBlock(r.name, {});
      if (!added) {
        ctx_.note(head.line, "块记录“" + r.name + "”：" + statusText(added.status()));
        return true;
      }
      id = *added;
      ctx_.db.editBlock(*id).beginHandle = 0;
      ctx_.db.editBlock(*id).endHandle = 0;
    }
    db::BlockDefinition& b = ctx_.db.editBlock(*id);
    b.recordHandle = r.handle;
    b.recordExtras = std::move(r.extras);
    if (badPreview) {
      ctx_.note(head.line, "块“" + r.name + "”的预览图不是十六进制数据，未保留");
    } else {
      b.preview = std::move(preview);
    }
    return true;
  }

  ReadContext& ctx_;
  std::string_view table_;
};

// The table head after `0 TABLE`: name, handle and kept tags.
bool readTableHead(ReadContext& ctx, std::string_view& name, db::Handle& handle, db::RawTags& extras) {
  bool inGroup = false;
  Tag t;
  while (ctx.next(t, "表头")) {
    if (t.code == 0) {
      ctx.tok.pushBack();
      ctx.closeGroup(inGroup, t.line, "表头", extras);
      return true;
    }
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    if (t.code == 102 || inGroup) {
      extras.add(t.code, ctx.kept(t), slot::appData);
    } else if (t.code == 2) {
      name = t.value;
    } else if (t.code == 5) {
      handle = ctx.handle(t);
    } else if (t.code != 330 && t.code != 100 && t.code != 70) {
      extras.add(t.code, ctx.kept(t), slot::common);
    }
  }
  return false;
}

}  // namespace

bool readTablesSection(ReadContext& ctx) {
  Tag t;
  while (ctx.next(t, "TABLES 段")) {
    if (t.code == 999) continue;
    if (t.code != 0) return ctx.fail(t.line, "TABLES 段中此处应为 TABLE");
    if (t.value == "ENDSEC") return true;
    if (t.value != "TABLE") return ctx.fail(t.line, "此处应为 TABLE，却是“" + ctx.shown(t.value, 40) + "”");
    std::string_view name;
    db::Handle handle = 0;
    db::RawTags extras;
    if (!readTableHead(ctx, name, handle, extras)) return false;
    TableReader reader(ctx, name);
    // A second table of a name is left out: its head would replace the first one's,
    // and its entries would name the other head as their owner.
    const bool again = std::find(ctx.tablesSeen.begin(), ctx.tablesSeen.end(), name) != ctx.tablesSeen.end();
    if (!again) ctx.tablesSeen.emplace_back(name);
    const bool known = !again && (name == "LAYER" || name == "LTYPE" || name == "STYLE" ||
                                  name == "BLOCK_RECORD" || reader.keptTable().has_value());
    if (again) ctx.note(t.line, "第二个 " + std::string(name) + " 表未读入");
    else if (!known) ctx.note(t.line, "本程序不保留 " + std::string(name) + " 表");
    if (!known) {
      // Nothing of it is kept.
    } else if (name == "LAYER") { ctx.db.layers().handle = handle; ctx.db.layers().headExtras = std::move(extras); }
    else if (name == "LTYPE") { ctx.db.linetypes().handle = handle; ctx.db.linetypes().headExtras = std::move(extras); }
    else if (name == "STYLE") { ctx.db.textStyles().handle = handle; ctx.db.textStyles().headExtras = std::move(extras); }
    else if (name == "BLOCK_RECORD") { ctx.db.blockRecordTableHandle = handle; ctx.db.blockRecordTableExtras = std::move(extras); }
    else if (auto kept = reader.keptTable()) {
      ctx.db.keptTable(*kept).handle = handle;
      ctx.db.keptTable(*kept).headExtras = std::move(extras);
    }
    while (ctx.next(t, std::string(name) + " 表")) {
      if (t.code != 0) return ctx.fail(t.line, std::string(name) + " 表中此处应为表项");
      if (t.value == "ENDTAB") break;
      if (t.value == "TABLE" || t.value == "ENDSEC") {
        ctx.note(t.line, std::string(name) + " 表没有 ENDTAB");
        ctx.tok.pushBack();
        break;
      }
      if (!known) {
        Tag skip;
        while (ctx.next(skip, std::string(name) + " 表") && skip.code != 0) {}
        if (ctx.failed()) return false;
        ctx.tok.pushBack();
        continue;
      }
      if (!reader.readEntry(t)) return false;
    }
    if (ctx.failed()) return false;
  }
  return false;
}

}  // namespace orv::dxf
