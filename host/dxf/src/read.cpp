// Reading a DXF file: the section loop, the header, kept sections, the thumbnail, and the final checks.
#include "orv/dxf/reader.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "orv/db/cores.h"
#include "read_context.h"

namespace orv::dxf {

// ---- the reading context

namespace {
constexpr std::size_t kMaxFindings = 200;
}

void ReadContext::note(std::size_t line, std::string message) {
  if (findings.size() < kMaxFindings) {
    findings.push_back(Finding{line, std::move(message)});
  } else {
    ++droppedFindings;
  }
}

bool ReadContext::fail(std::size_t line, std::string message) {
  if (!error.empty()) return false;
  error = line ? "第 " + std::to_string(line) + " 行：" + message : message;
  errorLine = line;
  errorReason = std::move(message);
  return false;
}

bool ReadContext::stopped(std::string_view where) {
  if (!tok.error().empty()) {
    if (error.empty()) {
      error = tok.error();
      errorLine = tok.errorLine();
      errorReason = tok.errorReason();
    }
    return false;
  }
  return fail(0, "文件在第 " + std::to_string(tok.line()) + " 行结束，" + std::string(where) +
                     "未完：文件不完整");
}

db::NameId ReadContext::lookUpName(std::string_view raw) {
  auto it = rawNames_.find(raw);
  if (it == rawNames_.end()) it = rawNames_.emplace(std::string(raw), db.intern(text(raw))).first;
  recentNames_[nextRecent_++ % recentNames_.size()] = RecentName{&it->first, it->second};
  return it->second;
}

db::Handle ReadContext::handle(const Tag& tag) {
  std::uint64_t h = 0;
  if (!parseHandle(tag.value, h) || h >= kMaxHandle) {
    note(tag.line, "句柄“" + shown(tag.value, 20) + "”无效，已换新句柄");
    return 0;
  }
  return h;
}

bool ReadContext::integer(const Tag& tag, std::int64_t& out, std::string_view what) {
  if (parseInt(tag.value, out)) return true;
  return fail(tag.line, "组码 " + std::to_string(tag.code) + "（" + std::string(what) +
                            "）需要整数，却是“" + shown(tag.value, 40) + "”");
}

bool ReadContext::real(const Tag& tag, double& out, std::string_view what) {
  if (parseDouble(tag.value, out)) return true;
  return fail(tag.line, "组码 " + std::to_string(tag.code) + "（" + std::string(what) +
                            "）需要数值，却是“" + shown(tag.value, 40) + "”");
}

std::string ReadContext::kept(const Tag& t) const {
  if (!isIntegerCode(t.code) && !isRealCode(t.code)) return text(t.value);
  return text(trimBlanks(t.value));
}

bool ReadContext::appendHex(std::string_view hex, std::vector<std::uint8_t>& bytes) {
  while (!hex.empty() && (hex.back() == ' ' || hex.back() == '\t')) hex.remove_suffix(1);
  if (hex.size() % 2 != 0) return false;
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    int hi = nibble(hex[i]), lo = nibble(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return true;
}

// ---- sections

bool readHeaderSection(ReadContext& ctx) {
  db::HeaderVariables& h = ctx.db.header;
  std::string_view variable;
  bool kept = false;  // the current variable goes to `others`
  std::string currentLayer;  // $CLAYER as read, decoded once the code page is known
  Tag t;
  while (ctx.next(t, "HEADER 段")) {
    if (t.code == 0) {
      if (t.value != "ENDSEC") {
        ctx.tok.pushBack();
        break;
      }
      // Old dxflib releases end the section after $HANDSEED and then write the rest of
      // the variables and a second ENDSEC: variables after an ENDSEC still belong here.
      Tag after;
      if (ctx.tok.next(after) != Tokenizer::Step::tag) break;
      ctx.tok.pushBack();
      if (after.code != 9) break;
      continue;
    }
    if (t.code == 9) {
      variable = t.value;
      static constexpr std::string_view kModeled[] = {
          "$ACADVER", "$DWGCODEPAGE", "$INSBASE", "$EXTMIN", "$EXTMAX",
          "$LTSCALE", "$INSUNITS", "$MEASUREMENT", "$HANDSEED", "$CLAYER"};
      kept = std::find(std::begin(kModeled), std::end(kModeled), variable) == std::end(kModeled);
      if (kept) h.others.add(9, ctx.text(variable));
      continue;
    }
    if (kept) {
      h.others.add(t.code, ctx.kept(t));
      continue;
    }
    double v = 0.0;
    std::int64_t n = 0;
    auto point = [&](db::Point3& p) {
      if (t.code != 10 && t.code != 20 && t.code != 30) return;
      if (!parseDouble(t.value, v) || !db::isFinite(v)) {
        ctx.note(t.line, std::string(variable) + " 不是有限数值，已忽略");
        return;
      }
      (t.code == 10 ? p.x : t.code == 20 ? p.y : p.z) = v;
    };
    if (variable == "$ACADVER") h.fileVersion = std::string(t.value);
    else if (variable == "$DWGCODEPAGE") h.codePage = std::string(t.value);
    else if (variable == "$INSBASE") point(h.insertionBase);
    else if (variable == "$EXTMIN") point(h.extentsMin);
    else if (variable == "$EXTMAX") point(h.extentsMax);
    else if (variable == "$LTSCALE" && parseDouble(t.value, v) && db::isFinite(v) && v > 0) h.linetypeScale = v;
    else if (variable == "$INSUNITS" && parseInt(t.value, n) && n >= 0 && n <= 24) h.insertionUnits = static_cast<std::int16_t>(n);
    else if (variable == "$MEASUREMENT" && parseInt(t.value, n) && (n == 0 || n == 1)) h.measurement = static_cast<std::int16_t>(n);
    else if (variable == "$CLAYER" && t.code == 8) currentLayer = std::string(t.value);
    else if (variable == "$HANDSEED") {
      if (db::Handle seed = ctx.handle(t); seed > 0) {
        ctx.fileSeed = seed;
        ctx.db.noteHandle(seed - 1);
      }
    }
  }
  ctx.page = codePageOf(h.codePage, h.fileVersion);
  if (!currentLayer.empty()) h.currentLayer = ctx.text(currentLayer);
  return !ctx.failed();
}

bool readKeptSection(ReadContext& ctx, db::RawTags& into, std::string_view name) {
  const std::string where = std::string(name) + " 段";
  Tag t;
  while (ctx.next(t, where)) {
    if (t.code == 0 && t.value == "ENDSEC") return true;
    if (t.code == 0 && (t.value == "SECTION" || t.value == "EOF")) {
      ctx.note(t.line, where + "没有 ENDSEC");
      ctx.tok.pushBack();
      return true;
    }
    if (t.code == 5 || t.code == 105) {
      std::uint64_t h;
      if (parseHandle(t.value, h) && h < kMaxHandle) {
        ctx.db.noteHandle(h);
        ctx.highestKept = std::max(ctx.highestKept, h);
      }
    }
    into.add(t.code, ctx.kept(t));
  }
  return false;
}

bool readThumbnailSection(ReadContext& ctx) {
  std::vector<std::uint8_t> bytes;
  std::int64_t declared = -1;
  bool bad = false;
  Tag t;
  while (ctx.next(t, "THUMBNAILIMAGE 段")) {
    if (t.code == 0) {
      if (t.value != "ENDSEC") ctx.tok.pushBack();
      break;
    }
    if (t.code == 90) parseInt(t.value, declared);
    if (t.code == 310 && !ReadContext::appendHex(t.value, bytes)) bad = true;
  }
  if (ctx.failed()) return false;
  if (bad || (declared >= 0 && static_cast<std::size_t>(declared) != bytes.size())) {
    ctx.note(t.line, "缩略图已损坏，未保留");
    return true;
  }
  ctx.db.thumbnail = std::move(bytes);
  return true;
}

bool skipSection(ReadContext& ctx, std::string_view name) {
  ctx.note(ctx.tok.line(), "本程序不保留 " + std::string(name) + " 段");
  return skipSectionQuietly(ctx, name);
}

bool skipSectionQuietly(ReadContext& ctx, std::string_view name) {
  Tag t;
  while (ctx.next(t, std::string(name) + " 段"))
    if (t.code == 0 && t.value == "ENDSEC") return true;
  return false;
}

// ---- the file

namespace {

// An ENTITIES section from this size on (judged by what is left of the file) is read on
// two threads: below it, starting a thread costs more than it saves.
constexpr std::size_t kTwoThreadsFrom = std::size_t{2} << 20;

bool readEntitiesOnTwoThreads(ReadContext& ctx, std::string_view bytes, const ReadOptions& options) {
  const std::size_t left = bytes.size() - ctx.tok.mark().offset;
  const bool two = options.threads == ReadOptions::Threads::two ||
                   (options.threads == ReadOptions::Threads::automatic && left >= kTwoThreadsFrom &&
                    db::aSecondCoreIsFree());
  if (!two) return readEntitiesSection(ctx, bytes, options);
  ctx.tok.startReadAhead(options.tagsPerHandOver);
  const bool ok = readEntitiesSection(ctx);
  ctx.tok.stopReadAhead();
  return ok;
}

}  // namespace

ReadResult readDxf(std::string_view bytes, const ReadOptions& options) {
  ReadResult result;
  if (bytes.substr(0, 18) == "AutoCAD Binary DXF") {
    result.error = result.errorReason = "不支持二进制 DXF 文件，请将图形另存为 ASCII DXF";
    return result;
  }
  ReadContext ctx(bytes);
  bool sawSection = false, sawEof = false;
  bool sawBlocks = false;
  std::vector<std::string> seenOnce;
  Tag t;
  while (!ctx.failed()) {
    const Tokenizer::Step step = ctx.tok.next(t);
    if (step == Tokenizer::Step::error) {
      ctx.fail(0, ctx.tok.error());
      break;
    }
    if (step == Tokenizer::Step::end) break;
    if (t.code == 999) continue;  // comment
    if (t.code == 0 && t.value == "EOF") {
      sawEof = true;
      break;
    }
    if (t.code != 0 || t.value != "SECTION") {
      ctx.fail(t.line, sawSection ? "此处应为段（SECTION），却是“" + ctx.shown(t.value, 40) + "”"
                                  : "这不是 DXF 文件");
      break;
    }
    if (!ctx.next(t, "段头")) break;
    if (t.code != 2) {
      ctx.fail(t.line, "此处应为段名（组码 2）");
      break;
    }
    sawSection = true;
    const std::string_view name = t.value;
    // Sections a drawing has once. A second one is left out: a second HEADER, say,
    // would change the code page half way through the file.
    const bool once = name == "HEADER" || name == "CLASSES" || name == "OBJECTS" ||
                      name == "THUMBNAILIMAGE";
    if (once && std::find(seenOnce.begin(), seenOnce.end(), name) != seenOnce.end()) {
      ctx.note(t.line, "第二个 " + std::string(name) + " 段未读入");
      skipSectionQuietly(ctx, name);
      continue;
    }
    if (once) seenOnce.emplace_back(name);
    if (name == "HEADER") readHeaderSection(ctx);
    else if (name == "CLASSES") readKeptSection(ctx, ctx.db.classes, name);
    else if (name == "TABLES") readTablesSection(ctx);
    else if (name == "BLOCKS") sawBlocks = readBlocksSection(ctx);
    else if (name == "ENTITIES") readEntitiesOnTwoThreads(ctx, bytes, options);
    else if (name == "OBJECTS") readKeptSection(ctx, ctx.db.objects, name);
    else if (name == "THUMBNAILIMAGE") readThumbnailSection(ctx);
    else skipSection(ctx, name);
  }
  (void)sawBlocks;
  if (!ctx.failed() && !sawSection) ctx.fail(0, "这不是 DXF 文件（没有任何段）");
  if (ctx.failed()) {
    result.error = ctx.error;
    result.errorLine = ctx.errorLine;
    result.errorReason = ctx.errorReason;
    return result;
  }
  if (!sawEof) ctx.note(ctx.tok.line(), "文件没有 EOF 结束标记，可能不完整");
  finishDrawing(ctx);
  // The current layer must be one the drawing has, in the table's spelling.
  db::HeaderVariables& h = ctx.db.header;
  if (const db::Layer* layer = ctx.db.layers().get(h.currentLayer)) {
    h.currentLayer = layer->name;
  } else {
    ctx.note(0, "当前图层“" + h.currentLayer + "”在文件中没有定义，已改用图层 0");
    h.currentLayer = "0";
  }
  if (ctx.droppedFindings)
    ctx.findings.push_back(
        Finding{0, "另有 " + std::to_string(ctx.droppedFindings) + " 条提示未列出"});
  result.findings = std::move(ctx.findings);
  result.entitiesReadApart = ctx.entitiesReadApart;
  result.drawing.emplace(std::move(ctx.db));
  return result;
}

}  // namespace orv::dxf
