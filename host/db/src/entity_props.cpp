// An entity's lineweight (370) and linetype scale (48): set in its tags, recorded for undo.
#include <algorithm>
#include <charconv>
#include <cmath>

#include "orv/db/database.h"

namespace orv::db {

namespace {

// Where a kept entity's tags hold its common part: from after its "100 AcDbEntity"
// marker (or, in a file without markers, from the start) to the next subclass marker or
// its extended data. Tags of application data groups inside it are not its own.
struct CommonPart {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::uint8_t slot = 0;
};

CommonPart commonPartOf(const RawTags& tags) {
  CommonPart part;
  std::size_t i = 0;
  bool inGroup = false, marked = false, found = false;
  for (RawTag t : tags) {
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    if (!inGroup && t.code != 102) {
      if (t.code >= 1000 || (t.code == 100 && marked)) {
        part.end = i;
        return part;
      }
      if (t.code == 100 && t.value == "AcDbEntity") {
        marked = true;
        part.begin = i + 1;
        part.slot = t.slot;
      }
      if (!found) part.slot = t.slot;
      found = true;
    }
    ++i;
  }
  part.end = i;
  return part;
}

// The tags with every own tag `code` of [begin, end) taken out and, unless `value` is
// empty, one `code value` put at `end`.
RawTags withTag(const RawTags& tags, std::size_t begin, std::size_t end, std::uint8_t slot, int code,
                const std::string& value, bool byGroup) {
  RawTags out;
  std::size_t i = 0;
  bool inGroup = false;
  for (RawTag t : tags) {
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    if (i == end && !value.empty()) out.add(code, value, slot);
    const bool own = byGroup ? !inGroup && t.code != 102 : t.slot == slot;
    if (!(i >= begin && i < end && own && t.code == code)) out.add(t.code, t.value, t.slot);
    ++i;
  }
  if (i <= end && !value.empty()) out.add(code, value, slot);
  return out;
}

std::string formatReal(double v) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
  return ec == std::errc{} ? std::string(buffer, end) : std::to_string(v);
}

}  // namespace

RawTags& Database::extrasFor(ObjectId id) {
  Entity& e = entities_[id.index];
  const auto it = std::lower_bound(extrasOwner_.begin(), extrasOwner_.end(), id.index);
  const auto at = static_cast<std::size_t>(it - extrasOwner_.begin());
  if (!e.hasExtras_) {
    extrasOwner_.insert(it, id.index);
    extras_.insert(extras_.begin() + static_cast<std::ptrdiff_t>(at), RawTags{});
    e.hasExtras_ = true;
  }
  return extras_[at];
}

Status Database::setCommonTag(ObjectId id, int code, const std::string& value) {
  if (id.index >= entities_.size()) return Status::notFound;
  Entity& e = entities_[id.index];
  if (e.erased_) return Status::wasErased;
  if (auto* kept = e.as<UnknownEntity>()) {
    const CommonPart part = commonPartOf(kept->tags);
    Entity changed = e;
    changed.as<UnknownEntity>()->tags = withTag(kept->tags, part.begin, part.end, part.slot, code, value, true);
    if (changed.geometry == e.geometry) return Status::ok;
    return replace(id, std::move(changed));
  }
  const RawTags* now = entityExtras(id);
  const RawTags before = now ? *now : RawTags{};
  std::size_t count = before.size();
  RawTags after = withTag(before, 0, count, kCommonSlot, code, value, false);
  if (after == before) return Status::ok;
  if (journal_.recording()) journal_.addModifyExtras(id.index, before);
  extrasFor(id) = std::move(after);
  changed(id);
  return Status::ok;
}

Status Database::setLineweight(ObjectId id, std::int16_t lineweight) {
  const bool meaning = lineweight == lineweight::byLayer || lineweight == lineweight::byBlock ||
                       lineweight == lineweight::byDefault;
  if (!meaning && !isStandardLineweight(lineweight)) return Status::invalidInput;
  return setCommonTag(id, 370, lineweight == lineweight::byLayer ? std::string() : std::to_string(lineweight));
}

Status Database::setLinetypeScale(ObjectId id, double scale) {
  if (!std::isfinite(scale) || scale <= 0.0) return Status::invalidInput;
  return setCommonTag(id, 48, scale == 1.0 ? std::string() : formatReal(scale));
}

}  // namespace orv::db
