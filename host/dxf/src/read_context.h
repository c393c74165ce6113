// State shared by the section readers while one file is read: tags, the drawing, findings.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "entity_codecs.h"
#include "orv/db/database.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"
#include "text_codec.h"

namespace orv::dxf {

// Handles above this are refused: the next handle must stay representable.
inline constexpr db::Handle kMaxHandle = db::Handle{1} << 60;

// One entity as read, before it is placed in its block.
struct ReadEntity {
  db::Entity entity;
  db::Handle handle = 0;
  db::RawTags extras;
  std::string blockName;  // INSERT: the referenced block
  bool paperSpace = false;
  std::size_t line = 0;
  Tokenizer::Mark start{0, 0};
  bool geometryValid = false;  // checked where it was read: the database need not again
};

class ReadContext {
 public:
  explicit ReadContext(std::string_view bytes) : tok(bytes) {}

  Tokenizer tok;
  db::Database db;
  CodePage page = CodePage::undeclared;
  std::vector<Finding> findings;
  std::string error;
  std::size_t errorLine = 0;  // the line `error` is about (0: none)
  std::string errorReason;    // `error` without its line
  EntityBuilder builder;  // reused for every entity: no allocation per entity

  // A finding about the file; after many, only a count is kept.
  void note(std::size_t line, std::string message);
  // Records why the file cannot be read; returns false for `return ctx.fail(...)`.
  bool fail(std::size_t line, std::string message);
  // The next tag; false (with the error set) at a broken tag or the end of the input,
  // which inside `where` means the file was cut short.
  bool next(Tag& tag, std::string_view where) {
    const Tokenizer::Step step = tok.next(tag);
    return step == Tokenizer::Step::tag || stopped(where);
  }
  bool failed() const { return !error.empty(); }

  std::string text(std::string_view raw) const { return decodeText(raw, page); }
  // The value of a tag kept as read. A number is kept without the blanks around it (a
  // stray carriage return among them would be saved as an escape, and the number could
  // no longer be read); text is kept whole.
  std::string kept(const Tag& t) const;
  // An application data group (102 {NAME ... 102 }) still open where its object ends
  // is closed there, with a finding: saved open, it would take in the tags written
  // after it when the file is read again.
  void closeGroup(bool& inGroup, std::size_t line, std::string_view what, db::RawTags& extras) {
    if (!inGroup) return;
    note(line, std::string(what) + "：应用程序数据组没有结束，在此结束");
    extras.add(102, "}", slot::appData);
    inGroup = false;
  }
  // At most `most` characters of a value, decoded, to quote in a message. Cut after
  // decoding, so that a value reads the same quoted from the file and from an escape of
  // it (a control character saved as \U+0000, say).
  std::string shown(std::string_view raw, std::size_t most) const {
    std::string decoded = text(raw.substr(0, most * 8));  // an escape takes 7 bytes
    std::size_t at = 0;
    for (std::size_t count = 0; at < decoded.size() && count < most; ++count) {
      ++at;
      while (at < decoded.size() && (static_cast<unsigned char>(decoded[at]) & 0xC0) == 0x80) ++at;
    }
    decoded.resize(at);
    return decoded;
  }
  // Decoded and interned; the same bytes seen again cost one hash look-up, or less when
  // they were among the last few names (a drawing's entities name the same few layers).
  db::NameId name(std::string_view raw) {
    for (const RecentName& r : recentNames_)
      if (r.raw && *r.raw == raw) return r.id;
    return lookUpName(raw);
  }
  // Parses a handle; a bad or absurd one is noted and read as 0 (a new one is given).
  db::Handle handle(const Tag& tag);
  bool integer(const Tag& tag, std::int64_t& out, std::string_view what);
  bool real(const Tag& tag, double& out, std::string_view what);
  // Hex text of a 310 tag appended to bytes; false when it is not hex.
  static bool appendHex(std::string_view hex, std::vector<std::uint8_t>& bytes);

  // After next() found no tag: records why; always false.
  bool stopped(std::string_view where);

  std::size_t droppedFindings = 0;
  // Entities placed at the end of the file (see placeEntity), in the order read,
  // and the blocks that have some.
  std::vector<std::pair<ReadEntity, db::BlockId>> deferred;
  std::unordered_set<std::uint32_t> deferredOwners;
  std::vector<std::string> tablesSeen;  // names of the tables read, in every TABLES section
  db::Handle fileSeed = 0;         // $HANDSEED of the file
  db::Handle highestKept = 0;      // highest handle in the sections kept as read
  std::size_t keptEntities = 0;    // entities read as kept tags
  std::size_t entitiesReadApart = 0;  // entities a second reader read and the drawing took
  std::size_t textEntities = 0;    // one-line text read (owners and styles of its own)

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, db::NameId, Hash, std::equal_to<>> rawNames_;
  struct RecentName {
    const std::string* raw = nullptr;  // a key of rawNames_
    db::NameId id;
  };
  std::array<RecentName, 4> recentNames_{};
  unsigned nextRecent_ = 0;
  db::NameId lookUpName(std::string_view raw);
};

// The reason a database refusal gives, for a finding.
inline std::string statusText(db::Status s) {
  switch (s) {
    case db::Status::ok: return "成功";
    case db::Status::invalidInput: return "有数值无效";
    case db::Status::notFound: return "所引用的对象不存在";
    case db::Status::duplicateName: return "名称已被占用";
    case db::Status::wasErased: return "对象已删除";
    case db::Status::selfReference: return "块引用了自身";
    case db::Status::nothingToUndo: return "没有可撤销的操作";
  }
  return "未知原因";
}

// Group codes whose values are whole numbers, and those whose values are reals.
inline bool isIntegerCode(int code) {
  return (code >= 60 && code <= 99) || (code >= 170 && code <= 179) ||
         (code >= 270 && code <= 289) || (code >= 370 && code <= 389) ||
         (code >= 400 && code <= 409) || (code >= 1060 && code <= 1071);
}
inline bool isRealCode(int code) {
  return (code >= 10 && code <= 59) || (code >= 110 && code <= 149) ||
         (code >= 210 && code <= 239) || (code >= 460 && code <= 469) ||
         (code >= 1010 && code <= 1059);
}

// Section readers. Each starts after `0 SECTION / 2 NAME` and consumes its `0 ENDSEC`.
bool readHeaderSection(ReadContext& ctx);
bool readKeptSection(ReadContext& ctx, db::RawTags& into, std::string_view name);
bool readThumbnailSection(ReadContext& ctx);
bool readTablesSection(ReadContext& ctx);
bool readBlocksSection(ReadContext& ctx);
bool readEntitiesSection(ReadContext& ctx);
// How a stretch of the ENTITIES section ended.
enum class StretchEnd {
  section,  // at the end of the section, consumed
  reached,  // at the entity that starts at the offset asked for, not read
  passed,   // past that offset without an entity starting there
  failed,   // with an error
};
// Reads entities up to the end of the section or up to offset `until`.
StretchEnd readEntitiesUntil(ReadContext& ctx, std::size_t until);
// The ENTITIES section of the file `bytes`, in two parts at once when `options` ask for it
// (read_split.cpp).
bool readEntitiesSection(ReadContext& ctx, std::string_view bytes, const ReadOptions& options);
// Skips a section this program does not keep.
bool skipSection(ReadContext& ctx, std::string_view name);
// The same without a finding, for a section the caller has noted itself.
bool skipSectionQuietly(ReadContext& ctx, std::string_view name);

// Reads one entity whose `0 TYPE` tag was just read (`start` is where that tag began);
// the entities read (several for an old-style polyline kept as read) go to `out`.
bool readEntity(ReadContext& ctx, const Tag& head, Tokenizer::Mark start, db::Handle ownerHandle,
                std::vector<ReadEntity>& out);
// Places read entities in a block. An INSERT of a block not defined yet waits
// in ctx.deferred for the end of the file, where a later section may have
// defined it, and so does every entity of its block after it, to keep their
// order. With `final`, an INSERT of an unknown block is kept as read.
void placeEntity(ReadContext& ctx, ReadEntity&& e, db::BlockId owner, bool final = false);

// A text's owner as read is kept to say so when it is not the one the text is written with
// (see repairOwners). A TEXT's or ATTDEF's that names the record of its block, `expected`,
// is right, and forgotten at once: most files name it, and most drawings' texts then keep
// no tags beside the model.
void forgetRightTextOwner(ReadEntity& e, db::Handle expected);

// After all sections: unique handles, required tables and entries, names entities use.
void finishDrawing(ReadContext& ctx);
// Last in finishDrawing, when every name in use is in its table: layers and text styles
// whose names no CAD program accepts are renamed, and what names them follows.
void renameUnacceptedNames(ReadContext& ctx);
// Within finishDrawing: owners of kept entities, the names they use, R12 arrow blocks
// (read_repairs.cpp). Each repair is a finding.
void repairReadDrawing(ReadContext& ctx);

}  // namespace orv::dxf
