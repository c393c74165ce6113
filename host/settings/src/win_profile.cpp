// The Windows profile-file functions over the settings document and file layer.
#include "orv/settings/win_profile.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "orv/settings/profile_file.h"
#include "orv/text/encoding.h"

namespace orv::settings {
namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// A single string into the buffer, cut to size - 1 characters.
std::uint32_t copyString(std::wstring_view s, wchar_t* buffer, std::uint32_t size) {
  const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(s.size(), size - 1));
  std::copy_n(s.data(), n, buffer);
  buffer[n] = L'\0';
  return n;
}

// Names, each terminated, and a final terminator. Cut short, the list keeps as
// much as fits in size - 2 characters and ends with two terminators.
std::uint32_t copyList(const std::vector<std::string>& names, wchar_t* buffer, std::uint32_t size) {
  std::wstring list;
  for (const std::string& name : names) {
    list += text::widen(name);
    list.push_back(L'\0');
  }
  if (list.size() + 1 <= size) {
    std::copy(list.begin(), list.end(), buffer);
    buffer[list.size()] = L'\0';
    if (list.empty() && size > 1) buffer[1] = L'\0';
    return static_cast<std::uint32_t>(list.size());
  }
  if (size < 2) {
    buffer[0] = L'\0';
    return 0;
  }
  std::copy_n(list.data(), size - 2, buffer);
  buffer[size - 2] = L'\0';
  buffer[size - 1] = L'\0';
  return size - 2;
}

// Runs body, turning an exception (memory exhausted by a hostile file) into
// the fallback result and a problem message: nothing escapes to a module.
template <typename Result, typename Body>
Result guarded(const wchar_t* fileName, std::string* problem, Result fallback, Body body) {
  try {
    return body();
  } catch (const std::exception& e) {
    if (problem) {
      *problem = "处理设置文件 " + (fileName ? text::narrow(fileName) : std::string()) +
                 " 时出错（" + e.what() + "）";
    }
    return fallback;
  }
}

std::wstring trimmedDefault(const wchar_t* defaultValue) {
  std::wstring_view d = defaultValue ? std::wstring_view(defaultValue) : std::wstring_view();
  while (!d.empty() && isBlank(d.back())) d.remove_suffix(1);
  return std::wstring(d);
}

// The document to read: the file, or an empty one when it is missing or unusable.
std::shared_ptr<const ProfileDocument> readDocument(const wchar_t* fileName, std::string* problem) {
  if (problem) problem->clear();
  if (!fileName) return std::make_shared<const ProfileDocument>();
  std::shared_ptr<const LoadedProfile> loaded = loadProfileShared(text::narrow(fileName));
  if (problem) *problem = loaded->problem;
  return std::shared_ptr<const ProfileDocument>(loaded, &loaded->document);
}

}  // namespace

unsigned profileTextToInt(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
    base = 16;
    i += 2;
  }
  unsigned value = 0;  // unsigned arithmetic wraps, as the Windows parser does
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    unsigned digit;
    if (c >= L'0' && c <= L'9')
      digit = static_cast<unsigned>(c - L'0');
    else if (base == 16 && c >= L'a' && c <= L'f')
      digit = static_cast<unsigned>(c - L'a' + 10);
    else if (base == 16 && c >= L'A' && c <= L'F')
      digit = static_cast<unsigned>(c - L'A' + 10);
    else
      break;
    value = value * base + digit;
  }
  return negative ? 0u - value : value;
}

std::uint32_t getPrivateProfileString(const wchar_t* section, const wchar_t* key,
                                      const wchar_t* defaultValue, wchar_t* buffer,
                                      std::uint32_t size, const wchar_t* fileName,
                                      std::string* problem) {
  if (problem) problem->clear();
  if (!buffer || size == 0) return 0;
  buffer[0] = L'\0';
  return guarded<std::uint32_t>(fileName, problem, 0, [&]() -> std::uint32_t {
    const auto loaded = readDocument(fileName, problem);
    const ProfileDocument& doc = *loaded;
    if (!section) return copyList(doc.sectionNames(), buffer, size);
    const std::string sectionName = text::narrow(section);
    if (!key) {
      if (!doc.hasSection(sectionName))
        return copyString(trimmedDefault(defaultValue), buffer, size);
      return copyList(doc.keyNames(sectionName), buffer, size);
    }
    if (auto value = doc.value(sectionName, text::narrow(key)))
      return copyString(text::widen(*value), buffer, size);
    return copyString(trimmedDefault(defaultValue), buffer, size);
  });
}

unsigned getPrivateProfileInt(const wchar_t* section, const wchar_t* key, int defaultValue,
                              const wchar_t* fileName, std::string* problem) {
  const auto fallback = static_cast<unsigned>(defaultValue);
  return guarded<unsigned>(fileName, problem, fallback, [&] {
    const auto loaded = readDocument(fileName, problem);
    const ProfileDocument& doc = *loaded;
    if (!section || !key) return fallback;
    const auto value = doc.value(text::narrow(section), text::narrow(key));
    if (!value || value->empty()) return fallback;
    return profileTextToInt(text::widen(*value));
  });
}

bool writePrivateProfileString(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                               const wchar_t* fileName, std::string* problem) {
  if (problem) problem->clear();
  if (!section && !key && !value) return true;  // "flush the cache": there is none
  if (!section || !fileName) return false;
  return guarded<bool>(fileName, problem, false, [&] {
    const std::string path = text::narrow(fileName);
    const std::string sectionName = text::narrow(section);
    if (!key) return removeProfileSection(path, sectionName, problem);
    std::optional<std::string> newValue;
    if (value) newValue = text::narrow(value);
    return writeProfileValue(path, sectionName, text::narrow(key), newValue, problem);
  });
}

}  // namespace orv::settings
