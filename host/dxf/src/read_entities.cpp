// Reading entities: the common codes, modeled types through their codecs, old-style polylines, and entities kept as read.
#include <algorithm>

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

// Re-reads an entity from its start as tags kept verbatim (an entity the model does not
// know, or one whose values it cannot hold).
bool readRaw(ReadContext& ctx, Tokenizer::Mark start, db::Handle ownerHandle, ReadEntity& out) {
  ctx.tok.seek(start);
  Tag t;
  if (!ctx.next(t, "an entity")) return false;
  out.line = t.line;
  out.start = start;
  db::UnknownEntity raw;
  raw.type = ctx.name(t.value);
  bool seenMarker = false, ownerSeen = false, ownerDropped = false, keptOutsideGroup = false;
  bool inGroup = false;  // in an application data group (102 {NAME ... 102 })
  while (ctx.next(t, "an entity")) {
    if (isEntityEnd(t)) {
      ctx.tok.pushBack();
      break;
    }
    if (t.code == 5 && out.handle == 0) {
      out.handle = ctx.handle(t);
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
  if (inGroup) {
    // Closed here, so that the owner written after it is not taken for group data.
    ctx.note(out.line, std::string(ctx.db.name(raw.type)) +
                           ": an application data group is not closed; it ends with the entity");
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
      if (!ctx.integer(t, n, "an entity")) return true;
      if (n < 0 || n > 256) {
        ctx.note(t.line, "colour " + std::to_string(n) + " is out of range; BYLAYER is used");
        n = 256;
      }
      e.entity.color = static_cast<std::int16_t>(n);
      return true;
    case 67:
      if (!ctx.integer(t, n, "an entity")) return true;
      e.paperSpace = n != 0;
      return true;
    default:
      if (!isCommonEntityCode(t.code)) return false;
      e.extras.add(t.code, ctx.kept(t), slot::common);
      return true;
  }
}

void noteStray(ReadContext& ctx, const Tag& t, std::string_view type) {
  ctx.note(t.line, std::string(type) + ": group code " + std::to_string(t.code) +
                       " before the first vertex is left out");
}

// An old-style POLYLINE with its VERTEX entities and SEQEND: a lightweight polyline when
// it is two-dimensional, else every part kept as read.
bool readOldPolyline(ReadContext& ctx, Tokenizer::Mark start, db::Handle ownerHandle,
                     ReadEntity& head, std::vector<ReadEntity>& out) {
  EntityBuilder& b = ctx.builder;
  std::int64_t flags = 0;
  bool inGroup = false, inXdata = false;
  Tag t;
  while (ctx.next(t, "a POLYLINE")) {
    if (isEntityEnd(t)) break;
    if (takeCommon(ctx, head, t, inGroup, inXdata)) continue;
    double v;
    switch (t.code) {
      case 70: if (!ctx.integer(t, flags, "POLYLINE")) return false; continue;
      case 30: if (!ctx.real(t, v, "POLYLINE")) return false; b.elevation = v; continue;
      case 40: if (!ctx.real(t, v, "POLYLINE")) return false; b.defaultStartWidth = v; continue;
      case 41: if (!ctx.real(t, v, "POLYLINE")) return false; b.defaultEndWidth = v; continue;
      case 10: case 20: case 66: continue;
      default: break;
    }
    Take take = takeTag(b, t.code, t.value);
    if (take == Take::badNumber) return badNumber(ctx, t, "POLYLINE");
    if (take == Take::stray) noteStray(ctx, t, "POLYLINE");
    if (take == Take::notMine) head.extras.add(t.code, ctx.kept(t), slot::subclass);
  }
  if (ctx.failed()) return false;
  ctx.closeGroup(inGroup, head.line, "POLYLINE", head.extras);
  // The vertices, up to SEQEND (or the first other entity of a damaged file).
  bool sawSeqend = false;
  while (t.code == 0 && t.value == "VERTEX") {
    db::Vertex vertex{{}, 0.0, b.defaultStartWidth, b.defaultEndWidth};
    std::int64_t vflags = 0;
    while (ctx.next(t, "a VERTEX") && !isEntityEnd(t)) {
      if (takeVertexTag(vertex, t.code, t.value, vflags) == Take::badNumber)
        return badNumber(ctx, t, "VERTEX");
    }
    if (ctx.failed()) return false;
    if ((vflags & 16) == 0) b.vertices.push_back(vertex);  // 16: spline frame point
  }
  if (t.code == 0 && t.value == "SEQEND") {
    sawSeqend = true;
    while (ctx.next(t, "a SEQEND") && !isEntityEnd(t)) {}
    if (ctx.failed()) return false;
  }
  ctx.tok.pushBack();
  if (!sawSeqend) ctx.note(head.line, "a POLYLINE has no SEQEND");

  const bool flat = (flags & (8 | 16 | 64)) == 0;
  std::optional<std::string> why;
  if (flat) {
    b.closed = (flags & 1) != 0;
    if (b.defaultStartWidth == b.defaultEndWidth && b.defaultStartWidth > 0) {
      b.constantWidth = b.defaultStartWidth;
      for (db::Vertex& v : b.vertices)
        if (v.startWidth == b.constantWidth && v.endWidth == b.constantWidth) v.startWidth = v.endWidth = 0;
    }
    why = finishGeometry(b, head.entity.geometry);
    if (!why) {
      out.push_back(std::move(head));
      return true;
    }
  }
  // Kept as read: the POLYLINE, each VERTEX and the SEQEND.
  if (why) ctx.note(head.line, "a POLYLINE: " + *why);
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
  ReadEntity e;
  e.line = head.line;
  e.start = start;
  const std::optional<db::EntityKind> kind = modeledKind(head.value);
  const bool oldPolyline = head.value == "POLYLINE";
  if (!kind && !oldPolyline) {
    if (!readRaw(ctx, start, ownerHandle, e)) return false;
    out.push_back(std::move(e));
    return true;
  }
  EntityBuilder& b = ctx.builder;
  b.reset(oldPolyline ? db::EntityKind::polyline : *kind);
  if (oldPolyline) return readOldPolyline(ctx, start, ownerHandle, e, out);

  bool inGroup = false, inXdata = false;
  Tag t;
  while (ctx.next(t, head.value)) {
    if (isEntityEnd(t)) {
      ctx.tok.pushBack();
      break;
    }
    if (takeCommon(ctx, e, t, inGroup, inXdata)) continue;
    const Take take = takeTag(b, t.code, t.value);
    if (take == Take::used) continue;
    if (take == Take::badNumber) return badNumber(ctx, t, head.value);
    if (take == Take::stray) {
      noteStray(ctx, t, head.value);
      continue;
    }
    e.extras.add(t.code, ctx.kept(t), slot::subclass);
  }
  if (ctx.failed()) return false;
  ctx.closeGroup(inGroup, e.line, head.value, e.extras);
  if (b.kind == db::EntityKind::polyline && b.declaredCount >= 0 &&
      static_cast<std::size_t>(b.declaredCount) != b.vertices.size())
    ctx.note(head.line, "an LWPOLYLINE declares " + std::to_string(b.declaredCount) +
                            " vertices and has " + std::to_string(b.vertices.size()));
  if (b.kind == db::EntityKind::blockReference) e.blockName = ctx.text(b.blockName);
  if (auto why = finishGeometry(b, e.entity.geometry)) {
    ctx.note(head.line, std::string(head.value) + ": " + *why);
    const Tokenizer::Mark after = ctx.tok.mark();
    ReadEntity raw;
    if (!readRaw(ctx, start, ownerHandle, raw)) return false;
    ctx.tok.seek(after);
    out.push_back(std::move(raw));
    return true;
  }
  out.push_back(std::move(e));
  return true;
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
      ctx.note(e.line, "INSERT of block \"" + e.blockName + "\", which the file does not define; kept as read");
    } else {
      ref->block = *target;
    }
    if (target) {
      auto placed = ctx.db.appendRead(e.entity, owner, e.handle, e.extras);
      if (placed) return;
      ctx.note(e.line, "INSERT of block \"" + e.blockName + "\": " + placed.error().message + "; kept as read");
    }
    // Keep the reference exactly as the file has it.
    const Tokenizer::Mark after = ctx.tok.mark();
    ReadEntity raw;
    if (!readRaw(ctx, e.start, ctx.db.block(owner).recordHandle, raw)) return;
    ctx.tok.seek(after);
    e = std::move(raw);
  }
  auto placed = ctx.db.appendRead(std::move(e.entity), owner, e.handle, std::move(e.extras));
  if (!placed) ctx.note(e.line, "an entity is left out: " + placed.error().message);
}

bool readEntitiesSection(ReadContext& ctx) {
  std::vector<ReadEntity> read;
  const db::Handle model = ctx.db.block(ctx.db.modelSpace()).recordHandle;
  Tag t;
  while (true) {
    const Tokenizer::Mark start = ctx.tok.mark();
    if (!ctx.next(t, "the ENTITIES section")) return false;
    if (t.code == 999) continue;
    if (t.code != 0) return ctx.fail(t.line, "an entity was expected, found group code " + std::to_string(t.code));
    if (t.value == "ENDSEC") return true;
    if (t.value == "SECTION" || t.value == "EOF") {
      ctx.note(t.line, "the ENTITIES section has no ENDSEC");
      ctx.tok.pushBack();
      return true;
    }
    read.clear();
    if (!readEntity(ctx, t, start, model, read)) return false;
    for (ReadEntity& e : read) {
      const db::BlockId owner = e.paperSpace ? ctx.db.paperSpace() : ctx.db.modelSpace();
      placeEntity(ctx, std::move(e), owner);
    }
  }
}

}  // namespace orv::dxf
