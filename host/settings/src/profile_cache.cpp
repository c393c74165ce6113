// The process's cache of settings files read before.
#include "profile_cache.h"

#include <algorithm>

namespace orv::settings {

namespace {

bool before(timespec a, timespec b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

}  // namespace

ProfileCache& ProfileCache::instance() {
  static ProfileCache cache;
  return cache;
}

bool ProfileCache::settled(const io::FileIdentity& identity, timespec readStart) {
  // Whole-second times (a FAT or some network file system) may give a change made a
  // moment later the same time again.
  if (identity.modified.tv_nsec == 0 && identity.changed.tv_nsec == 0) readStart.tv_sec -= 2;
  return before(identity.modified, readStart) && before(identity.changed, readStart);
}

std::shared_ptr<const LoadedProfile> ProfileCache::find(const std::string& path,
                                                        const io::FileIdentity& now) {
  const std::lock_guard lock(mutex_);
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const Entry& e) { return e.path == path; });
  if (it == entries_.end()) return nullptr;
  if (!(it->identity == now)) {
    entries_.erase(it);
    return nullptr;
  }
  std::rotate(it, it + 1, entries_.end());
  return entries_.back().loaded;
}

void ProfileCache::keep(const std::string& path, const io::FileIdentity& identity,
                        std::shared_ptr<const LoadedProfile> loaded) {
  const std::lock_guard lock(mutex_);
  std::erase_if(entries_, [&](const Entry& e) { return e.path == path; });
  if (entries_.size() >= kCapacity) entries_.erase(entries_.begin());
  entries_.push_back(Entry{path, identity, std::move(loaded)});
}

void ProfileCache::forget(const std::string& path) {
  const std::lock_guard lock(mutex_);
  std::erase_if(entries_, [&](const Entry& e) { return e.path == path; });
}

}  // namespace orv::settings
