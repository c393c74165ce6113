// Reading a large ENTITIES section in two parts at once: a second reader, on a thread of its
// own, reads the second part into a run of entities while the first reads up to where that
// part begins; the run then joins the drawing, and the first reader reads on after it.
//
// The second reader only gets ahead of the first: whatever it meets that reading on one
// thread would tell the user about or treat otherwise (a finding, an error, a reference to
// a block not defined yet) makes it give up, and the first reader reads that part itself.
// So the drawing, its findings and errors and their line numbers are those of one reader.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>

#include "read_context.h"

namespace orv::dxf {

namespace {

// The line [at, its line feed) without the blanks around it; `next` is set to the start
// of the line after it (bytes.size() at the end).
std::string_view lineAt(std::string_view bytes, std::size_t at, std::size_t& next) {
  const void* feed = std::memchr(bytes.data() + at, '\n', bytes.size() - at);
  const std::size_t end = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - bytes.data()) : bytes.size();
  next = feed ? end + 1 : bytes.size();
  return trimBlanks(bytes.substr(at, end - at));
}

// An entity's type as a file spells it: capital letters, digits and underscores, a letter
// first. No value that follows a group code 0 of another kind is read as one.
bool isEntityType(std::string_view s) {
  if (s.empty() || s.size() > 64 || s.front() < 'A' || s.front() > 'Z') return false;
  for (char c : s)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return s != "ENDSEC" && s != "SECTION" && s != "EOF";
}

// The parts of an entity that follow it as entities of their own: no part begins there.
bool isPartOfEntity(std::string_view type) { return type == "VERTEX" || type == "SEQEND" || type == "ATTRIB"; }

// Where the first entity after `from` seems to begin: a line of group code 0 followed by a
// line naming an entity's type. A value line is followed by a group code, a number, so
// the two lines cannot be a value and a type; whether the place is truly where an entity
// begins is known only when the first reader gets there. npos when nothing is found
// within a few megabytes.
std::size_t entityStartAfter(std::string_view bytes, std::size_t from) {
  constexpr std::size_t kLookAtMost = std::size_t{4} << 20;
  const std::size_t limit = std::min(bytes.size(), from + kLookAtMost);
  const void* feed = std::memchr(bytes.data() + from, '\n', limit - from);
  if (!feed) return std::string_view::npos;
  std::size_t at = static_cast<std::size_t>(static_cast<const char*>(feed) - bytes.data()) + 1;
  while (at < limit) {
    std::size_t next = 0, after = 0;
    if (lineAt(bytes, at, next) == "0" && next < bytes.size()) {
      const std::string_view type = lineAt(bytes, next, after);
      if (isEntityType(type) && !isPartOfEntity(type)) return at;
    }
    at = next;
  }
  return std::string_view::npos;
}

// What the second reader read: its entities, and where it stopped.
struct SecondPart {
  db::EntityRun run;
  bool whole = false;           // read to the end of the section without a finding
  Tokenizer::Mark end{0, 0};    // the end of the section; lines counted from the part's start
  std::size_t keptEntities = 0;
  std::size_t textEntities = 0;
};

// Reads entities from where `part`'s tokenizer stands to the end of the section, placing
// each in `out.run` for the block of `drawing` it belongs to. Gives up (`whole` false) at
// anything reading on one thread would say or treat otherwise, or when told to stop.
void readSecondPart(ReadContext& part, const db::Database& drawing, const std::atomic<bool>& stop,
                    SecondPart& out) {
  const db::Handle model = drawing.block(drawing.modelSpace()).recordHandle;
  const db::Handle paper = drawing.block(drawing.paperSpace()).recordHandle;
  std::vector<ReadEntity> read;
  Tag t;
  while (!stop.load(std::memory_order_relaxed)) {
    const Tokenizer::Mark start = part.tok.mark();
    if (!part.next(t, "ENTITIES 段")) return;
    if (t.code == 999) continue;
    if (t.code != 0 || t.value == "SECTION" || t.value == "EOF") return;
    if (t.value == "ENDSEC") {
      out.end = start;
      out.whole = true;
      out.keptEntities = part.keptEntities;
      out.textEntities = part.textEntities;
      return;
    }
    read.clear();
    if (!readEntity(part, t, start, model, read) || !part.findings.empty()) return;
    for (ReadEntity& e : read) {
      // The first reader is reading entities meanwhile, never blocks: looking one up is safe.
      if (auto* ref = e.entity.as<db::BlockReference>()) {
        const std::optional<db::BlockId> target = drawing.findBlock(e.blockName);
        if (!target || *target == drawing.modelSpace() || *target == drawing.paperSpace()) return;
        ref->block = *target;
      }
      if (!e.geometryValid && db::validate(e.entity.geometry) != db::Status::ok) return;
      forgetRightTextOwner(e, e.paperSpace ? paper : model);
      out.run.add(std::move(e.entity), e.paperSpace ? drawing.paperSpace() : drawing.modelSpace(), e.handle,
                  std::move(e.extras));
    }
  }
}

// Moves the names of the second reader's entities to the drawing's. Its pool began as a
// copy of the drawing's: only names it met first need a walk over its entities.
void takeNames(ReadContext& ctx, const db::Database& partDb, std::size_t seeded, db::EntityRun& run) {
  if (partDb.nameCount() == seeded) return;
  std::vector<db::NameId> to(partDb.nameCount());
  for (std::uint32_t i = 0; i < to.size(); ++i)
    to[i] = i < seeded ? db::NameId{i} : ctx.db.intern(partDb.name(db::NameId{i}));
  for (std::size_t i = 0; i < run.size(); ++i)
    db::forEachNameId(run[i], [&](db::NameId& n, db::NameUse) { n = to[n.index]; });
}

}  // namespace

bool readEntitiesSection(ReadContext& ctx, std::string_view bytes, const ReadOptions& options) {
  const std::size_t here = ctx.tok.mark().offset;
  const std::size_t left = bytes.size() - here;
  const bool split = options.split == ReadOptions::Split::always ||
                     (options.split == ReadOptions::Split::automatic && left >= options.splitFrom &&
                      std::thread::hardware_concurrency() > 1);
  const std::size_t from =
      split ? entityStartAfter(bytes, here + static_cast<std::size_t>(static_cast<double>(left) *
                                                                       std::clamp(options.splitAt, 0.0, 1.0)))
            : std::string_view::npos;
  if (from == std::string_view::npos || from >= bytes.size()) return readEntitiesSection(ctx);

  // The names the entities will use most, those of the tables, are given ids before the
  // second reader's pool is copied from the drawing's, so that its entities keep theirs.
  for (std::size_t i = 0; i < ctx.db.layers().size(); ++i) ctx.db.intern(ctx.db.layers()[i].name);
  for (std::size_t i = 0; i < ctx.db.linetypes().size(); ++i) ctx.db.intern(ctx.db.linetypes()[i].name);
  ReadContext part(bytes);
  part.page = ctx.page;
  for (std::uint32_t i = static_cast<std::uint32_t>(part.db.nameCount()); i < ctx.db.nameCount(); ++i)
    part.db.intern(ctx.db.name(db::NameId{i}));
  const std::size_t seeded = part.db.nameCount();
  part.tok.seek(Tokenizer::Mark{from, 0});

  SecondPart second;
  std::atomic<bool> stop{false};
  // Stopped and waited for on every way out, an exception of the first reader's included:
  // it reads `part` and `second`.
  struct Joined {
    std::thread thread;
    std::atomic<bool>& stop;
    ~Joined() {
      stop.store(true, std::memory_order_relaxed);
      if (thread.joinable()) thread.join();
    }
  } reader{{}, stop};
  try {
    reader.thread = std::thread([&] {
      try {
        readSecondPart(part, ctx.db, stop, second);
      } catch (...) {
        second.whole = false;  // out of memory, say: the first reader reads the part itself
      }
    });
  } catch (const std::system_error&) {
    return readEntitiesSection(ctx);  // no thread to be had: read on here
  }
  const StretchEnd end = readEntitiesUntil(ctx, from);
  if (end != StretchEnd::reached) stop.store(true, std::memory_order_relaxed);
  reader.thread.join();
  switch (end) {
    case StretchEnd::failed: return false;
    case StretchEnd::section: return true;
    case StretchEnd::passed: return readEntitiesSection(ctx);
    case StretchEnd::reached: break;
  }
  // Entities waiting for a block keep every later entity of their block behind them.
  if (!second.whole || !ctx.deferredOwners.empty()) return readEntitiesSection(ctx);
  const std::size_t line = ctx.tok.mark().line;
  takeNames(ctx, part.db, seeded, second.run);
  const std::size_t apart = second.run.size();
  const std::size_t leftOut = ctx.db.appendRun(std::move(second.run));
  if (leftOut) ctx.note(0, std::to_string(leftOut) + " 个实体未读入");
  ctx.entitiesReadApart += apart - leftOut;
  ctx.keptEntities += second.keptEntities;
  ctx.textEntities += second.textEntities;
  ctx.tok.seek(Tokenizer::Mark{second.end.offset, line + second.end.line});
  return readEntitiesSection(ctx);
}

}  // namespace orv::dxf
