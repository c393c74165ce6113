// Settings files on disk: reading one into a document, and changing one by an
// atomic, locked read-modify-write that never loses another writer's keys and
// never damages the file. Text is UTF-8; paths are native paths.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "orv/settings/profile_document.h"

namespace orv::settings {

// Larger files are not read: no settings file is anywhere near this size.
inline constexpr std::size_t kMaxProfileBytes = 16u * 1024 * 1024;

struct LoadedProfile {
  enum class State {
    Missing,   // no file: every key is missing, and that is no problem
    Loaded,    // document holds the file
    Unusable,  // cannot be read, not text, or too large: problem says so
  };
  State state = State::Missing;
  ProfileDocument document;  // empty unless Loaded
  std::string problem;       // one line naming the file, in Chinese; empty unless Unusable
};

// Reads the file at path. Every call looks at the file; while the file keeps the
// identity it was last read under (device, inode, size, modification and change
// times), the document parsed then is given again instead of reading and parsing
// the file anew. A write, by this process or another, gives the file a new identity.
LoadedProfile loadProfile(const std::string& path);
// The same, shared rather than copied. The document must not be changed.
std::shared_ptr<const LoadedProfile> loadProfileShared(const std::string& path);

// Changes the file at path: under the directory's lock, reads it afresh, lets
// edit change the document, and when it made a change writes the result to a
// temporary file beside it, syncs it and renames it over the file (through a
// symbolic link to its target), keeping the file's permission bits. A file
// that is unusable is never rewritten. False with *problem set when the change
// could not be saved; the file is then as it was.
bool updateProfile(const std::string& path, const std::function<Change(ProfileDocument&)>& edit,
                   std::string* problem = nullptr);

// The value of key in section as a reader sees it; nullopt when the file, the
// section or the key is missing, or the file is unusable (then *problem says why).
std::optional<std::string> readProfileValue(const std::string& path, std::string_view section,
                                            std::string_view key, std::string* problem = nullptr);

// Sets key in section to value (a null value removes the key), creating the
// file and the section where missing.
bool writeProfileValue(const std::string& path, std::string_view section, std::string_view key,
                       std::optional<std::string_view> value, std::string* problem = nullptr);

// Removes the section with all its keys.
bool removeProfileSection(const std::string& path, std::string_view section,
                          std::string* problem = nullptr);

}  // namespace orv::settings
