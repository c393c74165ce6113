// The commands modules have registered, by group, in registration order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv::modules {

class Module;

struct Command {
  std::string group;       // UTF-8
  std::string globalName;  // language-independent name
  std::string localName;   // the name users type; may equal globalName
  std::int32_t flags = 0;
  void (*function)() = nullptr;
  const Module* owner = nullptr;  // the module that registered it; null for the host
};

class CommandRegistry {
 public:
  enum class AddResult { Added, Duplicate, Invalid };

  // A group may hold a global or local name once; the same name in another
  // group is allowed and the newer registration is found first.
  AddResult add(Command command);
  // Removes one command by group and global name (both case-insensitive).
  bool remove(std::string_view group, std::string_view globalName);
  std::size_t removeGroup(std::string_view group);
  // Removes whatever a module left registered; returns how many.
  std::size_t removeOwnedBy(const Module* owner);

  // The command a user typed: its local or global name in any case, with an
  // optional leading "_".
  const Command* find(std::string_view typed) const;

  // Every command in registration order.
  const std::vector<Command>& commands() const { return commands_; }

 private:
  std::vector<Command> commands_;
};

// ASCII case-insensitive equality; other bytes compare as they are.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace orv::modules
