#include "orv/db/header_values.h"

#include <charconv>

namespace orv::db {

namespace {

bool sameName(std::string_view a, std::string_view b) { return foldName(a) == foldName(b); }

std::string_view trimmed(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r')) t.remove_suffix(1);
  return t;
}

// A whole number as a header holds one; nullopt for anything else.
std::optional<int> wholeNumber(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  const std::string_view t = trimmed(*text);
  int n = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return n;
}

}  // namespace

HeaderTags headerTags(const HeaderVariables& h, std::string_view name) {
  HeaderTags tags;
  bool inside = false;
  for (RawTag t : h.others) {
    if (t.code == 9) {
      if (inside) break;
      inside = sameName(t.value, name);
      continue;
    }
    if (inside) tags.emplace_back(t.code, std::string(t.value));
  }
  return tags;
}

std::optional<std::string> headerValue(const HeaderVariables& h, std::string_view name) {
  HeaderTags tags = headerTags(h, name);
  if (tags.empty()) return std::nullopt;
  return std::move(tags.front().second);
}

void setHeaderTags(HeaderVariables& h, std::string_view name, const HeaderTags& tags) {
  RawTags kept;
  bool skipping = false, placed = false;
  for (RawTag t : h.others) {
    if (t.code == 9) {
      skipping = sameName(t.value, name);
      if (skipping && !placed && !tags.empty()) {  // where it stood, so that the header's order stays
        kept.add(9, name, t.slot);
        for (const auto& [code, value] : tags) kept.add(code, value, t.slot);
        placed = true;
      }
    }
    if (!skipping) kept.add(t.code, t.value, t.slot);
  }
  if (!placed && !tags.empty()) {
    kept.add(9, name);
    for (const auto& [code, value] : tags) kept.add(code, value);
  }
  h.others = std::move(kept);
}

void setHeaderValue(HeaderVariables& h, std::string_view name, int code, const std::string& value) {
  setHeaderTags(h, name, {{code, value}});
}

std::int16_t currentColor(const Database& d) {
  const auto n = wholeNumber(headerValue(d.header, "$CECOLOR"));
  return n && *n >= 0 && *n <= 256 ? static_cast<std::int16_t>(*n) : color::byLayer;
}

std::string currentLinetype(const Database& d) {
  const auto name = headerValue(d.header, "$CELTYPE");
  if (!name) return "ByLayer";
  const std::string_view t = trimmed(*name);
  if (sameName(t, "BYBLOCK")) return "ByBlock";
  if (const Linetype* lt = sameName(t, "BYLAYER") ? nullptr : d.linetypes().get(t)) return lt->name;
  return "ByLayer";
}

std::int16_t currentLineweight(const Database& d) {
  const auto n = wholeNumber(headerValue(d.header, "$CELWEIGHT"));
  if (!n) return lineweight::byLayer;
  const bool meaning = *n == lineweight::byBlock || *n == lineweight::byDefault;
  return meaning || isStandardLineweight(*n) ? static_cast<std::int16_t>(*n) : lineweight::byLayer;
}

void giveCurrentColorAndLinetype(Database& d, Entity& e) {
  e.color = currentColor(d);
  e.linetype = d.intern(currentLinetype(d));
}

bool giveCurrentLineweight(Database& d, ObjectId id) {
  const std::int16_t w = currentLineweight(d);
  return w == lineweight::byLayer || d.setLineweight(id, w) == Status::ok;
}

}  // namespace orv::db
