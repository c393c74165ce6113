// Reading entities: the common codes, modeled types through their codecs, old-style polylines, and entities kept as read.
#include <algorithm>

#include "codec_heavy_polyline.h"
#include "read_context.h"

namespace orv::dxf {

namespace {

bool isEntityEnd(const Tag& t) { return t.code == 0; }

// Records the error for a value that should have been a number; returns false.
bool badNumber(ReadContext& ctx, const Tag& t, std::string_view what) {
  std::int64_t n;
  double v;
  return isIntegerCode(t.code) ? ctx.integer(t, n, what) : ctx.real(t, v, what);
}

// MTEXT's text in chunks (3 … 3, then 1), as the writer split it: a writer that split it
// inside a character of the code page or inside a \U+XXXX escape leaves pieces that
// mean nothing alone. Such text is decoded whole and split again where no character or
// escape is cut.
class TextChunks {
 public:
  bool pending() const { return !pieces_.empty(); }
  void add(const ReadContext& ctx, const Tag& t) {
    bytes_.append(t.value);
    pieces_.push_back({t.code, ctx.kept(t)});
  }
  void flush(const ReadContext& ctx, db::RawTags& into) {
    if (pieces_.empty()) return;
    std::string whole = ctx.text(bytes_), apart;
    for (const auto& p : pieces_) apart += p.second;
    if (whole == apart) {
      for (const auto& p : pieces_) into.add(p.first, p.second);
    } else {
      const int lastCode = pieces_.back().first;
      std::size_t at = 0;
      while (whole.size() - at > kChunk) {
        const std::size_t cut = cutBefore(whole, at + kChunk, at);
        into.add(3, std::string_view(whole).substr(at, cut - at));
        at = cut;
      }
      into.add(lastCode, std::string_view(whole).substr(at));
    }
    pieces_.clear();
    bytes_.clear();
  }

 private:
  static constexpr std::size_t kChunk = 250;
  static std::size_t cutBefore(const std::string& s, std::size_t limit, std::size_t from) {
    return mtextChunkCut(s, limit, from);
  }
  std::vector<std::pair<int, std::string>> pieces_;
  std::string bytes_;
};

// Re-reads an entity from its start as tags kept verbatim (an entity the model does not
// know, or one whose values it cannot hold).
bool readRaw(ReadContext& ctx, Tokenizer::Mark start, db::Handle ownerHandle, ReadEntity& out) {
  ctx.tok.seek(start);
  Tag t;
  if (!ctx.next(t, "实体")) return false;
  out.line = t.line;
  out.start = start;
  db::UnknownEntity raw;
  raw.type = ctx.name(t.value);
  ++ctx.keptEntities;
  bool chunked = t.value == "MTEXT";  // until extended data or embedded objects
  TextChunks chunks;
  bool seenMarker = false, ownerSeen = false, ownerDropped = false, keptOutsideGroup = false;
  bool inGroup = false;  // in an application data group (102 {NAME ... 102 })
  while (ctx.next(t, "实体")) {
    if (isEntityEnd(t)) {
      ctx.tok.pushBack();
      break;
    }
    if (chunked && !inGroup && (t.code == 3 || t.code == 1)) {
      chunks.add(ctx, t);
      if (t.code == 1) chunks.flush(ctx, raw.tags);
      continue;
    }
    chunks.flush(ctx, raw.tags);
    if (t.code >= 1000 || t.code == 101) chunked = false;
    if (t.code == 5 && out.handle == 0) {
      out.handle = ctx.handle(t);
      continue;
    }
    if (t.code == 102 && !inGroup && (t.value.empty() || t.value.front() != '{')) {
      // The end of a group that never began: saved, it would hide the owner's place.
      ctx.note(t.line, std::string(ctx.db.name(raw.type)) + "：多余的应用程序数据组结束标记，已去掉");
      continue;
    }
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    if (t.code == 100 && !inGroup) seenMarker = true;
    if (t.code == 330 && !seenMarker && !ownerSeen && !inGroup) {
      ownerSeen = true;
      db::Handle h = 0;
      if (parseHandle(t.value, h) && h == ownerHandle) {  // written anew
        ownerDropped = true;
        continue;
      }
    }
    if (t.code == 67 && !inGroup && t.value.find('1') != std::string_view::npos)
      out.paperSpace = true;
    const bool outsideGroup = !inGroup && t.code != 102;
    // A kept 330 first of all is taken for the entity's own owner when it is saved.
    // One that follows the owner left out would become that: the owner stays before it.
    if (outsideGroup && !keptOutsideGroup && ownerDropped && t.code == 330)
      raw.tags.add(330, formatHandle(ownerHandle));
    keptOutsideGroup = keptOutsideGroup || outsideGroup;
    raw.tags.add(t.code, ctx.kept(t));
  }
  if (ctx.failed()) return false;
  chunks.flush(ctx, raw.tags);
  if (inGroup) {
    // Closed here, so that the owner written after it is not taken for group data.
    ctx.note(out.line, std::string(ctx.db.name(raw.type)) + "：应用程序数据组没有结束，在实体末尾结束");
    raw.tags.add(102, "}");
  }
  out.entity = db::Entity(std::move(raw));
  return true;
}

// Common codes of a modeled entity; false when the tag belongs to the type.
bool takeCommon(ReadContext& ctx, ReadEntity& e, const Tag& t, bool& inGroup, bool& inXdata) {
  if (t.code >= 1000) inXdata = true;
  if (inXdata) {
    e.extras.add(t.code, ctx.kept(t), slot::xdata);
    return true;
  }
  if (t.code == 102) {
    inGroup = !t.value.empty() && t.value.front() == '{';
    e.extras.add(t.code, ctx.kept(t), slot::appData);
    return true;
  }
  if (inGroup) {
    e.extras.add(t.code, ctx.kept(t), slot::appData);
    return true;
  }
  std::int64_t n;
  switch (t.code) {
    case 5: e.handle = ctx.handle(t); return true;
    case 330: case 100: return true;
    case 8: e.entity.layer = ctx.name(t.value); return true;
    case 6: e.entity.linetype = ctx.name(t.value); return true;
    case 62:
      if (!ctx.integer(t, n, "实体")) return true;
      if (n < 0 || n > 256) {
        ctx.note(t.line, "颜色 " + std::to_string(n) + " 超出范围，改用随层");
        n = 256;
      }
      e.entity.color = static_cast<std::int16_t>(n);
      return true;
    case 67:
      if (!ctx.integer(t, n, "实体")) return true;
      e.paperSpace = n != 0;
      return true;
    default:
      if (!isCommonEntityCode(t.code)) return false;
      e.extras.add(t.code, ctx.kept(t), slot::common);
      return true;
  }
}

void noteStray(ReadContext& ctx, const Tag& t, std::string_view type) {
  ctx.note(t.line, std::string(type) + "：第一个顶点之前的组码 " + std::to_string(t.code) + " 未读入");
}

// Common codes that MTEXT's own part never uses (48, 420, 430 and 440 it does: column
// width and background colours).
bool isMTextStrayCommon(int code) {
  switch (code) {
    case 6: case 8: case 60: case 62: case 67: case 284: case 347: case 370: case 380: case 390:
      return true;
    default:
      return false;
  }
}

// A subclass marker of an entity's own part (not in application data or extended data).
bool isOwnMarker(const Tag& t, bool inGroup, bool inXdata) {
  return t.code == 100 && !inGroup && !inXdata && t.value != "AcDbEntity";
}

// The common part of a vertex or SEQEND read into a ReadEntity, for the polyline.
db::SubEntity subEntityOf(ReadEntity&& e) {
  db::SubEntity s;
  s.handle = e.handle;
  s.layer = e.entity.layer;
  s.linetype = e.entity.linetype;
  s.color = e.entity.color;
  s.extras = std::move(e.extras);
  return s;
}

// The tags of `extras` outside one slot.
db::RawTags withoutSlot(const db::RawTags& extras, std::uint8_t slot) {
  db::RawTags out;
  for (db::RawTag t : extras)
    if (t.slot != slot) out.add(t.code, t.value, t.slot);
  return out;
}

// A 2D polyline that a lightweight one holds as it is: no curve or spline fitting, no
// vertex of a kind of its own or with a tangent.
bool fitsLightweight(const db::HeavyPolyline& p) {
  if (!p.isPlanar() || (p.flags & (db::HeavyPolyline::curveFit | db::HeavyPolyline::splineFit))) return false;
  for (const db::HeavyVertex& v : p.vertices)
    if (v.flags != 0 || (v.given & db::given::tangent)) return false;
  return true;
}

// An old-style POLYLINE with its VERTEX entities and SEQEND: a lightweight polyline when
// one holds it, else one old-style polyline of the database (the POLYLINE's own values,
// each vertex and the SEQEND with their handles and properties); when the model cannot
// hold its values, every part kept as read, with a finding.
bool readOldPolyline(ReadContext& ctx, Tokenizer::Mark start, db::Handle ownerHandle,
                     ReadEntity& head, std::vector<ReadEntity>& out) {
  EntityBuilder& b = ctx.builder;
  db::HeavyPolyline& heavy = b.heavy;
  db::RawTags heavyOwn;  // the POLYLINE's own tags the model does not hold, and its marker
  bool unread = false;   // a value that is no number (or out of its group's range)
  std::int64_t flags = 0;
  bool inGroup = false, inXdata = false;
  Tag t;
  while (ctx.next(t, "POLYLINE")) {
    if (isEntityEnd(t)) break;
    if (isOwnMarker(t, inGroup, inXdata)) heavyOwn.add(100, ctx.kept(t), slot::subclassHead);
    if (takeCommon(ctx, head, t, inGroup, inXdata)) continue;
    const Take own = takeHeavyHeadTag(heavy, t.code, t.value);
    if (own == Take::badNumber) unread = true;
    if (own == Take::notMine) heavyOwn.add(t.code, ctx.kept(t), slot::subclass);
    // The same tag for the lightweight polyline it may become.
    double v;
    switch (t.code) {
      case 70: if (!parseInt(t.value, flags)) unread = true; continue;
      case 30: if (parseDouble(t.value, v)) b.elevation = v; continue;
      case 40: if (parseDouble(t.value, v)) b.defaultStartWidth = v; continue;
      case 41: if (parseDouble(t.value, v)) b.defaultEndWidth = v; continue;
      case 10: case 20: case 66: case 71: case 72: case 73: case 74: case 75: continue;
      default: break;
    }
    Take take = takeTag(b, t.code, t.value);
    if (take == Take::badNumber) unread = true;
    if (take == Take::stray) noteStray(ctx, t, "POLYLINE");
    if (take == Take::notMine) head.extras.add(t.code, ctx.kept(t), slot::subclass);
  }
  if (ctx.failed()) return false;
  ctx.closeGroup(inGroup, head.line, "POLYLINE", head.extras);
  // The vertices, up to SEQEND (or the first other entity of a damaged file).
  bool sawSeqend = false;
  std::vector<std::string> wrongOwners;  // what is said of vertices' owners
  while (t.code == 0 && t.value == "VERTEX") {
    db::Vertex vertex{{}, 0.0, b.defaultStartWidth, b.defaultEndWidth};
    db::HeavyVertex hv;
    ReadEntity part;
    std::int64_t vflags = 0;
    bool vGroup = false, vXdata = false, vMarker = false;
    std::optional<db::Handle> owner;  // the owner the vertex names
    while (ctx.next(t, "VERTEX") && !isEntityEnd(t)) {
      if (t.code == 330 && !vGroup && !vXdata && !vMarker && !owner) {
        db::Handle h = 0;
        owner = parseHandle(t.value, h) ? h : 0;
      }
      vMarker = vMarker || (t.code == 100 && !vGroup && !vXdata);
      if (isOwnMarker(t, vGroup, vXdata)) part.extras.add(100, ctx.kept(t), slot::subclassHead);
      if (takeCommon(ctx, part, t, vGroup, vXdata)) continue;
      const Take own = takeHeavyVertexTag(hv, t.code, t.value);
      if (own == Take::badNumber) unread = true;
      if (own == Take::notMine) part.extras.add(t.code, ctx.kept(t), slot::subclass);
      if (takeVertexTag(vertex, t.code, t.value, vflags) == Take::badNumber) unread = true;
    }
    if (ctx.failed()) return false;
    ctx.closeGroup(vGroup, head.line, "VERTEX", part.extras);
    // Saved, a vertex is owned by its POLYLINE: another owner read is set right, and said
    // once the POLYLINE is read into its kind (kept as read, its vertices' owners are
    // checked with the kept entities', against the handle it keeps).
    if (owner && head.handle != 0 && *owner != head.handle)
      wrongOwners.push_back("VERTEX（句柄 " + formatHandle(part.handle) + "）的所有者句柄 " + formatHandle(*owner) +
                            " 不对，已改为 " + formatHandle(head.handle));
    if ((vflags & 16) == 0) b.vertices.push_back(vertex);  // 16: spline frame point
    hv.common = subEntityOf(std::move(part));
    heavy.vertices.push_back(std::move(hv));
  }
  if (t.code == 0 && t.value == "SEQEND") {
    sawSeqend = true;
    ReadEntity part;
    bool sGroup = false, sXdata = false;
    while (ctx.next(t, "SEQEND") && !isEntityEnd(t)) {
      if (takeCommon(ctx, part, t, sGroup, sXdata)) continue;
      part.extras.add(t.code, ctx.kept(t), slot::subclass);
    }
    if (ctx.failed()) return false;
    ctx.closeGroup(sGroup, head.line, "SEQEND", part.extras);
    heavy.seqend = subEntityOf(std::move(part));
  } else {
    heavy.seqend.layer = head.entity.layer;  // written with a new handle
  }
  ctx.tok.pushBack();
  auto sayWhatWasRead = [&](bool intoItsKind) {
    if (intoItsKind)
      for (const std::string& w : wrongOwners) ctx.note(head.line, w);
    if (!sawSeqend) ctx.note(head.line, "POLYLINE 没有 SEQEND");
  };

  std::optional<std::string> why;
  if (unread) why = "有数值无法读出，按原样保留";
  if (!why && fitsLightweight(heavy)) {
    b.closed = (flags & 1) != 0;
    if (b.defaultStartWidth == b.defaultEndWidth && b.defaultStartWidth > 0) {
      b.constantWidth = b.defaultStartWidth;
      for (db::Vertex& v : b.vertices)
        if (v.startWidth == b.constantWidth && v.endWidth == b.constantWidth) v.startWidth = v.endWidth = 0;
    }
    if (!finishGeometry(b, head.entity.geometry)) {
      sayWhatWasRead(true);
      out.push_back(std::move(head));
      return true;
    }
  }
  if (!why)
    if (const char* fault = db::heavyPolylineFault(heavy)) why = std::string(fault) + "，按原样保留";
  if (!why) {
    db::RawTags extras = withoutSlot(head.extras, slot::subclass);
    extras.append(heavyOwn);
    head.extras = std::move(extras);
    head.entity.geometry = db::Boxed<db::HeavyPolyline>(std::move(heavy));
    heavy = {};
    sayWhatWasRead(true);
    out.push_back(std::move(head));
    return true;
  }
  // Kept as read: the POLYLINE, each VERTEX and the SEQEND.
  sayWhatWasRead(false);
  ctx.note(head.line, "POLYLINE：" + *why);
  const Tokenizer::Mark end = ctx.tok.mark();
  ctx.tok.seek(start);
  while (ctx.tok.mark().offset < end.offset) {
    ReadEntity part;
    if (!readRaw(ctx, ctx.tok.mark(), ownerHandle, part)) return false;
    out.push_back(std::move(part));
  }
  return true;
}

}  // namespace

bool readEntity(ReadContext& ctx, const Tag& head, Tokenizer::Mark start, db::Handle ownerHandle,
                std::vector<ReadEntity>& out) {
  const std::optional<db::EntityKind> kind = modeledKind(head.value);
  EntityBuilder& b = ctx.builder;
  if (head.value == "POLYLINE") {  // with its vertices, each an entity of the file
    ReadEntity e;
    e.line = head.line;
    e.start = start;
    b.reset(db::EntityKind::polyline, head.value);
    return readOldPolyline(ctx, start, ownerHandle, e, out);
  }
  // Made where it is kept: an entity is not moved once more on its way to the drawing.
  ReadEntity& e = out.emplace_back();
  e.line = head.line;
  e.start = start;
  if (!kind) return readRaw(ctx, start, ownerHandle, e);
  b.reset(*kind, head.value);

  bool inGroup = false, inXdata = false;
  TextChunks chunks;  // MTEXT's content
  db::RawTags pieces;
  auto takeChunks = [&] {
    chunks.flush(ctx, pieces);
    for (db::RawTag p : pieces) {
      b.mtextContent += p.value;
      e.extras.add(p.code, std::to_string(p.value.size()), slot::mtextChunk);
    }
    pieces.clear();
  };
  // The kinds whose tags need more than the common codes and their own fields.
  const bool special = b.kind == db::EntityKind::mtext || b.kind == db::EntityKind::hatch ||
                       b.kind == db::EntityKind::dimension || b.kind == db::EntityKind::leader ||
                       b.kind == db::EntityKind::text;
  Tag t;
  while (ctx.next(t, head.value)) {
    if (isEntityEnd(t)) {
      ctx.tok.pushBack();
      break;
    }
    if (special) {
      // MTEXT's own part: its content in chunks, its other tags kept in their order (codes
      // such as 48 there are its own, not the entity's), to an embedded object's end.
      if (b.kind == db::EntityKind::mtext && !inGroup && !inXdata && t.code < 1000 && t.code != 102) {
        if (!b.mtextEmbedded && (t.code == 3 || t.code == 1)) {
          chunks.add(ctx, t);
          if (t.code == 1) takeChunks();
          continue;
        }
        takeChunks();
        if (t.code == 100 && t.value != "AcDbEntity") b.mtextOwn = true;
        if (t.code == 101) b.mtextEmbedded = true;
        if (b.mtextOwn) {
          // Some writers put the entity's layer, linetype, colour and the like after the
          // MTEXT marker: those codes mean nothing else there and are the entity's.
          if (isMTextStrayCommon(t.code) && takeCommon(ctx, e, t, inGroup, inXdata)) continue;
          e.extras.add(t.code, ctx.kept(t), slot::subclass);
          continue;
        }
      }
      if (b.kind == db::EntityKind::mtext) takeChunks();
      // A hatch's own part has repeated groups whose codes others use in common (92, 330):
      // its codec takes all of it, up to the extended data.
      if (b.inHatch && t.code < 1000) {
        b.hatchTags.emplace_back(t.code, ctx.kept(t));
        continue;
      }
      if (b.kind == db::EntityKind::hatch && t.code == 100 && t.value == "AcDbHatch" && !inGroup) {
        b.inHatch = true;
        continue;
      }
      // A dimension keeps the markers of its own parts, in their place.
      if ((b.kind == db::EntityKind::dimension || b.kind == db::EntityKind::leader) && t.code == 100 && !inGroup &&
          !inXdata && t.value != "AcDbEntity") {
        e.extras.add(t.code, ctx.kept(t), slot::subclass);
        continue;
      }
      if (t.code == 100 && !inGroup && !inXdata && noteTextMarker(b, t.value)) {
        e.extras.add(100, ctx.kept(t), keptSlot(b));
        continue;
      }
      if (t.code == 330 && !inGroup && !inXdata && b.kind == db::EntityKind::text &&
          !e.extras.hasSlot(slot::readOwner))
        e.extras.add(330, ctx.kept(t), slot::readOwner);
    }
    if (takeCommon(ctx, e, t, inGroup, inXdata)) continue;
    const Take take = takeTag(b, t.code, t.value);
    if (take == Take::used) continue;
    if (take == Take::badNumber) return badNumber(ctx, t, head.value);
    if (take == Take::stray) {
      noteStray(ctx, t, head.value);
      continue;
    }
    e.extras.add(t.code, ctx.kept(t), keptSlot(b));
  }
  if (ctx.failed()) return false;
  if (b.kind == db::EntityKind::mtext) takeChunks();
  ctx.closeGroup(inGroup, e.line, head.value, e.extras);
  if (b.kind == db::EntityKind::polyline && b.declaredCount >= 0 &&
      static_cast<std::size_t>(b.declaredCount) != b.vertices.size())
    ctx.note(head.line, "LWPOLYLINE 声明了 " + std::to_string(b.declaredCount) + " 个顶点，实有 " +
                            std::to_string(b.vertices.size()) + " 个");
  if (b.kind == db::EntityKind::blockReference) e.blockName = ctx.text(b.blockName);
  if (b.kind == db::EntityKind::text) {
    finishTextStrings(b, ctx.page);
    ++ctx.textEntities;
  }
  if (b.kind == db::EntityKind::mtext) ++ctx.textEntities;
  if (auto why = b.kind == db::EntityKind::dimension ? finishDimension(e.extras, e.entity.geometry)
                 : b.kind == db::EntityKind::mtext   ? finishMText(e.extras, std::move(b.mtextContent), e.entity.geometry)
                 : b.kind == db::EntityKind::leader  ? finishLeader(e.extras, e.entity.geometry)
                                                     : finishGeometry(b, e.entity.geometry)) {
    ctx.note(head.line, std::string(head.value) + "：" + *why);
    const Tokenizer::Mark after = ctx.tok.mark();
    ReadEntity raw;
    if (!readRaw(ctx, start, ownerHandle, raw)) return false;
    ctx.tok.seek(after);
    e = std::move(raw);
    return true;
  }
  keepGivenDefaults(b, e.extras);
  e.geometryValid = true;  // each kind's finishing validates what it made
  return true;
}

void forgetRightTextOwner(ReadEntity& e, db::Handle expected) {
  if (expected == 0 || !e.extras.hasSlot(slot::readOwner)) return;
  const auto* text = e.entity.as<db::Text>();
  if (!text || text->type == db::Text::Type::attrib) return;  // owned by its reference
  db::RawTags others;
  for (db::RawTag t : e.extras) {
    db::Handle read = 0;
    if (t.slot == slot::readOwner) {
      if (!parseHandle(t.value, read) || read != expected) return;
      continue;
    }
    others.add(t.code, t.value, t.slot);
  }
  e.extras = std::move(others);
}

void placeEntity(ReadContext& ctx, ReadEntity&& e, db::BlockId owner, bool final) {
  if (!final) {
    const bool unresolved = e.entity.as<db::BlockReference>() && !ctx.db.findBlock(e.blockName);
    if (unresolved || (!ctx.deferredOwners.empty() && ctx.deferredOwners.contains(owner.index))) {
      ctx.deferredOwners.insert(owner.index);
      ctx.deferred.emplace_back(std::move(e), owner);
      return;
    }
  }
  if (auto* ref = e.entity.as<db::BlockReference>()) {
    auto target = ctx.db.findBlock(e.blockName);
    if (!target) {
      ctx.note(e.line, "INSERT 引用的块“" + e.blockName + "”在文件中没有定义，按原样保留");
    } else {
      ref->block = *target;
    }
    if (target) {
      auto placed = ctx.db.appendRead(e.entity, owner, e.handle, e.extras, e.geometryValid);
      if (placed) return;
      ctx.note(e.line, "INSERT 引用块“" + e.blockName + "”：" + statusText(placed.status()) + "，按原样保留");
    }
    // Keep the reference exactly as the file has it.
    const Tokenizer::Mark after = ctx.tok.mark();
    ReadEntity raw;
    if (!readRaw(ctx, e.start, ctx.db.block(owner).recordHandle, raw)) return;
    ctx.tok.seek(after);
    e = std::move(raw);
  }
  forgetRightTextOwner(e, ctx.db.block(owner).recordHandle);
  auto placed = ctx.db.appendRead(std::move(e.entity), owner, e.handle, std::move(e.extras), e.geometryValid);
  if (!placed) ctx.note(e.line, "一个实体未读入：" + statusText(placed.status()));
}

bool readEntitiesSection(ReadContext& ctx) {
  return readEntitiesUntil(ctx, std::string_view::npos) != StretchEnd::failed;
}

StretchEnd readEntitiesUntil(ReadContext& ctx, std::size_t until) {
  std::vector<ReadEntity> read;
  const db::Handle model = ctx.db.block(ctx.db.modelSpace()).recordHandle;
  Tag t;
  while (true) {
    const Tokenizer::Mark start = ctx.tok.mark();
    if (start.offset >= until) return start.offset == until ? StretchEnd::reached : StretchEnd::passed;
    if (!ctx.next(t, "ENTITIES 段")) return StretchEnd::failed;
    if (t.code == 999) continue;
    if (t.code != 0) {
      ctx.fail(t.line, "此处应为实体，却是组码 " + std::to_string(t.code));
      return StretchEnd::failed;
    }
    if (t.value == "ENDSEC") return StretchEnd::section;
    if (t.value == "SECTION" || t.value == "EOF") {
      ctx.note(t.line, "ENTITIES 段没有 ENDSEC");
      ctx.tok.pushBack();
      return StretchEnd::section;
    }
    read.clear();
    if (!readEntity(ctx, t, start, model, read)) return StretchEnd::failed;
    for (ReadEntity& e : read) {
      const db::BlockId owner = e.paperSpace ? ctx.db.paperSpace() : ctx.db.modelSpace();
      placeEntity(ctx, std::move(e), owner);
    }
  }
}

}  // namespace orv::dxf
