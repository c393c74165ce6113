// Erasing, transforming and copying a selection group by group; a group that cannot be
// changed whole is left as it was.
#include "orv/core/editor.h"

#include <algorithm>

#include "kept_tags.h"
#include "orv/core/dimension_block.h"

namespace orv::core {

std::string EditReport::refusalMessage(std::string_view verb) const {
  if (refused == 0) return {};
  std::string message = "\n有 " + std::to_string(refused) + " 个对象未能" + std::string(verb) + "：";
  for (std::size_t i = 0; i < reasons.size(); ++i) message += (i ? "；" : "") + reasons[i];
  return message + "。";
}

void Editor::refuse(EditReport& report, db::ObjectId owner, const std::string& why) {
  ++report.refused;
  const db::Entity* e = db_.entity(owner);
  const std::string reason = (e ? kindName(db_, *e) : std::string("对象")) + why;
  if (std::find(report.reasons.begin(), report.reasons.end(), reason) == report.reasons.end())
    report.reasons.push_back(reason);
}

bool Editor::plan(db::ObjectId owner, const Affine2& map, std::vector<Planned>& members,
                  std::vector<Planned>& blockContents, std::string& why) {
  members.clear();
  blockContents.clear();
  for (db::ObjectId m : index_.group(owner)) {
    const db::Entity* e = db_.entity(m);
    if (!e || e->isErased()) continue;
    auto r = transformEntity(db_, m, map, m == owner ? db::ObjectId{} : owner);
    if (auto* reason = std::get_if<std::string>(&r)) {
      why = (m == owner ? "" : "的" + kindName(db_, *e)) + "：" + *reason;
      return false;
    }
    members.push_back({m, std::get<db::Entity>(std::move(r))});
  }
  const db::Entity* head = db_.entity(owner);
  const auto* dim = head ? head->as<db::Dimension>() : nullptr;
  if (!dim) return true;
  const auto block = drawnBlock(db_, *head);
  if (!block) return true;
  // The picture is drawn at the dimension's point 12: its contents move by the map
  // seen from there.
  const Vec2 at = kept::objectToWorld(kept::planeOf(dim->extrusion)).apply({dim->insertion.x, dim->insertion.y});
  const Affine2 local = Affine2::translation({-at.x, -at.y}).after(map).after(Affine2::translation(at));
  bool ok = true;
  db_.forEachEntity(*block, [&](db::ObjectId id, const db::Entity& inner) {
    if (!ok) return;
    auto r = transformEntity(db_, id, local);
    if (auto* reason = std::get_if<std::string>(&r)) {
      why = "的" + kindName(db_, inner) + "：" + *reason;
      ok = false;
      return;
    }
    blockContents.push_back({id, std::get<db::Entity>(std::move(r))});
  });
  return ok;
}

std::vector<db::Entity> Editor::preview(const SelectionSet& set, const Affine2& map, std::size_t limit) {
  std::vector<db::Entity> out;
  std::vector<Planned> members, contents;
  std::string why;
  for (db::ObjectId owner : set.ids()) {
    if (out.size() >= limit) break;
    if (!plan(owner, map, members, contents, why)) continue;
    for (Planned& p : members) out.push_back(std::move(p.entity));
  }
  return out;
}

EditReport Editor::erase(const SelectionSet& set) {
  EditReport report;
  for (db::ObjectId owner : set.ids()) {
    bool any = false;
    for (db::ObjectId m : index_.group(owner))
      if (db_.erase(m) == db::Status::ok) any = true;
    if (any) ++report.done;
  }
  return report;
}

EditReport Editor::transform(const SelectionSet& set, const Affine2& map) {
  EditReport report;
  std::vector<Planned> members, contents;
  std::string why;
  for (db::ObjectId owner : set.ids()) {
    if (!plan(owner, map, members, contents, why)) {
      refuse(report, owner, why);
      continue;
    }
    for (Planned& p : contents) db_.replace(p.id, std::move(p.entity));
    bool ok = true;
    for (Planned& p : members)
      if (db_.replace(p.id, std::move(p.entity)) != db::Status::ok) ok = false;
    if (ok && (map.scale() != 1 || map.mirrors())) renewPicture(db_, owner);
    if (ok)
      ++report.done;
    else
      refuse(report, owner, "：变换后的数值无效");
  }
  return report;
}

std::optional<std::string> Editor::copyBlock(db::BlockId from, const std::vector<Planned>& contents) {
  const db::BlockDefinition source = db_.block(from);
  std::string name;
  for (std::size_t n = db_.blockCount();; ++n) {
    name = "*D" + std::to_string(n);
    if (!db_.findBlock(name)) break;
  }
  auto block = db_.addBlock(name, source.base);
  if (!block) return std::nullopt;
  db::BlockDefinition& made = db_.editBlock(*block);
  made.flags = source.flags;
  made.layer = source.layer;
  for (const Planned& p : contents) {
    db::Entity e = p.entity;
    const db::RawTags* extras = db_.entityExtras(p.id);
    if (auto* u = e.as<db::UnknownEntity>()) u->tags = tagsForCopy(u->tags);
    if (!db_.appendRead(std::move(e), *block, 0, extras ? tagsForCopy(*extras) : db::RawTags{})) return std::nullopt;
  }
  return name;
}

EditReport Editor::copy(const SelectionSet& set, const Affine2& map, std::vector<db::ObjectId>* made) {
  // A copy names the copies of what its original named (a leader its text) when they
  // are copied together, else nothing.
  const db::CopyScope copies(db_);
  EditReport report;
  std::vector<Planned> members, contents;
  std::string why;
  for (db::ObjectId owner : set.ids()) {
    if (!plan(owner, map, members, contents, why) || members.empty()) {
      refuse(report, owner, why);
      continue;
    }
    db::Handle ownerHandle = 0;
    db::ObjectId copied;
    bool ok = true;
    for (Planned& p : members) {
      db::Entity e = std::move(p.entity);
      const db::RawTags* extras = db_.entityExtras(p.id);
      if (auto* u = e.as<db::UnknownEntity>()) {
        u->tags = tagsForCopy(u->tags);
        if (ownerHandle != 0) u->tags = withOwner(u->tags, ownerHandle);
        if (p.id == owner && !contents.empty()) {
          const auto block = drawnBlock(db_, *db_.entity(owner));
          const auto name = block ? copyBlock(*block, contents) : std::nullopt;
          if (!name) {
            ok = false;
            break;
          }
          u->tags = withText(u->tags, 2, *name);
        }
      }
      if (auto* dim = e.as<db::Dimension>(); dim && p.id == owner && !contents.empty()) {
        const auto block = drawnBlock(db_, *db_.entity(owner));
        const auto name = block ? copyBlock(*block, contents) : std::nullopt;
        if (!name) {
          ok = false;
          break;
        }
        dim->block = *name;
      }
      auto added = db_.appendRead(std::move(e), db_.modelSpace(), 0, extras ? tagsForCopy(*extras) : db::RawTags{});
      if (!added) {
        ok = false;
        break;
      }
      if (p.id == owner) {
        copied = *added;
        ownerHandle = db_.entity(*added)->handle();
      }
    }
    if (!ok) {
      refuse(report, owner, "：无法复制");
      continue;
    }
    // A dimension scaled or mirrored is laid out anew: its measurement follows.
    if (!copied.isNull() && (map.scale() != 1 || map.mirrors())) renewPicture(db_, copied);
    ++report.done;
    if (made && !copied.isNull()) made->push_back(copied);
  }
  return report;
}

}  // namespace orv::core
