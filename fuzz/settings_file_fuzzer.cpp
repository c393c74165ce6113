// Fuzz target: a settings file's bytes, read, queried, edited and written back.
//
// Reading must give back the very bytes it was given. Then a few writes of the
// kinds the profile functions make (change a key, add a key, add a section,
// remove a key, remove a section) are applied to names the file itself holds.
// After each one, every setting must read as before except the one written,
// and the bytes written must read back to the same settings.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "orv/settings/profile_document.h"
#include "orv/text/case_fold.h"

namespace {

using orv::settings::Change;
using orv::settings::ProfileDocument;

// Every setting a reader can see: (section, key) folded, and the value.
using Settings = std::map<std::pair<std::string, std::string>, std::string>;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Names match without regard to case and without the blanks around them.
std::pair<std::string, std::string> folded(std::string_view section, std::string_view key) {
  return {orv::text::foldCase(trimmed(section)), orv::text::foldCase(trimmed(key))};
}

Settings settingsOf(const ProfileDocument& doc) {
  Settings all;
  for (const std::string& section : doc.sectionNames()) {
    ORV_FUZZ_CHECK(doc.hasSection(section), section);
    for (const std::string& key : doc.keyNames(section)) {
      const auto value = doc.value(section, key);
      ORV_FUZZ_CHECK(value.has_value(), key);
      const bool fresh = all.emplace(folded(section, key), std::string(*value)).second;
      ORV_FUZZ_CHECK(fresh, "a section or key listed twice: " + section + " / " + key);
    }
  }
  return all;
}

// What a reader sees of a value written: blanks around it and one pair of
// enclosing quotes dropped.
std::string asRead(std::string_view v) {
  v = trimmed(v);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

// The document must read as expected, and so must the bytes it writes.
void expectSettings(const ProfileDocument& doc, const Settings& expected, std::string_view what) {
  const Settings now = settingsOf(doc);
  ORV_FUZZ_CHECK(now == expected, what);
  const std::string bytes = doc.serialize();
  std::string whyNot;
  const auto again = ProfileDocument::parse(bytes, &whyNot);
  ORV_FUZZ_CHECK(again.has_value(), std::string(what) + ": written bytes unreadable: " + whyNot);
  ORV_FUZZ_CHECK(settingsOf(*again) == expected,
                 std::string(what) + ": written bytes read differently");
  ORV_FUZZ_CHECK(again->serialize() == bytes, what);
}

void setValue(ProfileDocument& doc, Settings& expected, std::string_view section,
              std::string_view key, std::string_view value) {
  if (!ProfileDocument::checkWritable(section, &key, &value).empty()) return;
  doc.setValue(section, key, value);
  expected[folded(section, key)] = asRead(value);
  // Sections and keys with blanks around their names are found by their bare names.
  if (!doc.hasSection(section)) ORV_FUZZ_CHECK(false, "no section after a write");
  const auto read = doc.value(section, key);
  ORV_FUZZ_CHECK(read && *read == asRead(value), "the value written does not read back");
  expectSettings(doc, expected, "setValue");
  // Written once more, nothing changes.
  if (asRead(value) == value)
    ORV_FUZZ_CHECK(doc.setValue(section, key, value) == Change::None, "rewrite");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string whyNot;
  auto parsed = ProfileDocument::parse(bytes, &whyNot);
  if (!parsed) {
    ORV_FUZZ_CHECK(!whyNot.empty(), "refused without a reason");
    return 0;
  }
  ProfileDocument& doc = *parsed;
  ORV_FUZZ_CHECK(doc.serialize() == bytes, "read and written unchanged, the bytes differ");
  Settings expected = settingsOf(doc);
  expectSettings(doc, expected, "as read");

  const std::vector<std::string> sections = doc.sectionNames();
  const std::string first = sections.empty() ? "PIPE" : sections.front();
  const std::string last = sections.empty() ? "DRAW" : sections.back();
  const std::vector<std::string> keys = doc.keyNames(first);
  const std::string firstKey = keys.empty() ? "DW" : keys.front();
  const std::string lastKey = keys.empty() ? "WTBJ" : keys.back();
  // A value taken from the file: whatever it holds must be writable back.
  const std::string oldValue(
      doc.value(last, doc.keyNames(last).empty() ? "X" : doc.keyNames(last).back())
          .value_or(" \"quoted\" "));

  setValue(doc, expected, first, firstKey, "150.000000");
  setValue(doc, expected, last, "ZDYNAME", "\xE6\xB3\xB5");                // 泵: GBK has it
  setValue(doc, expected, "\xE6\x96\xB0\xE8\x8A\x82", lastKey, oldValue);  // 新节
  setValue(doc, expected, " " + first + " ", "NOTE", "\xF0\x9F\x98\x80");  // GBK lacks it

  if (doc.removeKey(first, firstKey) == Change::Made) {
    expected.erase(folded(first, firstKey));
    ORV_FUZZ_CHECK(!doc.value(first, firstKey), "a removed key still reads");
    expectSettings(doc, expected, "removeKey");
  }
  if (doc.removeSection(last) == Change::Made) {
    std::erase_if(expected,
                  [&](const auto& entry) { return entry.first.first == folded(last, "").first; });
    ORV_FUZZ_CHECK(!doc.hasSection(last), "a removed section is still there");
    expectSettings(doc, expected, "removeSection");
  }
  return 0;
}
