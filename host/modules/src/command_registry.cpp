// The command registry: lookup by typed name and removal by group.
#include "orv/modules/command_registry.h"

#include <algorithm>

namespace orv::modules {

namespace {
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

CommandRegistry::AddResult CommandRegistry::add(Command command) {
  if (command.group.empty() || command.globalName.empty() || !command.function)
    return AddResult::Invalid;
  if (command.localName.empty()) command.localName = command.globalName;
  for (const Command& c : commands_) {
    if (!equalsIgnoringCase(c.group, command.group)) continue;
    if (equalsIgnoringCase(c.globalName, command.globalName) ||
        equalsIgnoringCase(c.localName, command.localName))
      return AddResult::Duplicate;
  }
  commands_.push_back(std::move(command));
  return AddResult::Added;
}

bool CommandRegistry::remove(std::string_view group, std::string_view globalName) {
  auto it = std::find_if(commands_.begin(), commands_.end(), [&](const Command& c) {
    return equalsIgnoringCase(c.group, group) && equalsIgnoringCase(c.globalName, globalName);
  });
  if (it == commands_.end()) return false;
  commands_.erase(it);
  return true;
}

std::size_t CommandRegistry::removeGroup(std::string_view group) {
  return std::erase_if(commands_, [&](const Command& c) { return equalsIgnoringCase(c.group, group); });
}

std::size_t CommandRegistry::removeOwnedBy(const Module* owner) {
  return std::erase_if(commands_, [&](const Command& c) { return c.owner == owner; });
}

const Command* CommandRegistry::find(std::string_view typed) const {
  if (!typed.empty() && typed.front() == '_') typed.remove_prefix(1);
  if (typed.empty()) return nullptr;
  // Newest first, so that a later registration of a name in another group wins.
  for (auto it = commands_.rbegin(); it != commands_.rend(); ++it) {
    if (equalsIgnoringCase(it->globalName, typed) || equalsIgnoringCase(it->localName, typed))
      return &*it;
  }
  return nullptr;
}

}  // namespace orv::modules
