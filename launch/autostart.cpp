#include "launch/autostart.h"

#include "store/doc.h"

namespace zd {

AutoStartPlaces FindAutoStart(Registry& registry, const std::string& name) {
  auto holds = [&](RegRoot root) {
    const std::optional<std::string> text = registry.ReadString(root, kRunKey, name);
    return text && !Trim(*text).empty();
  };
  return {holds(RegRoot::kLocalMachine), holds(RegRoot::kCurrentUser)};
}

bool IsAutoStartSet(Registry& registry, const std::string& name) {
  return FindAutoStart(registry, name).any();
}

std::string AutoStartCommand(const std::string& program_path) { return "\"" + program_path + "\""; }

AutoStartOutcome SetAutoStart(Registry& registry, const std::string& name,
                              const std::string& program_path, bool on) {
  const AutoStartPlaces before = FindAutoStart(registry, name);
  const std::string command = AutoStartCommand(program_path);
  if (on) {
    bool written = false;
    if (before.machine) {
      // Refreshes the path where the value stands; never a second copy.
      written = registry.WriteString(RegRoot::kLocalMachine, kRunKey, name, command);
    } else if (before.user) {
      written = registry.WriteString(RegRoot::kCurrentUser, kRunKey, name, command);
    } else {
      written = registry.WriteString(RegRoot::kLocalMachine, kRunKey, name, command) ||
                registry.WriteString(RegRoot::kCurrentUser, kRunKey, name, command);
    }
    const AutoStartPlaces after = FindAutoStart(registry, name);
    if (after.machine && after.user) {
      registry.DeleteValue(RegRoot::kCurrentUser, kRunKey, name);
    }
    return {written, IsAutoStartSet(registry, name)};
  }
  if (before.machine) registry.DeleteValue(RegRoot::kLocalMachine, kRunKey, name);
  if (before.user) registry.DeleteValue(RegRoot::kCurrentUser, kRunKey, name);
  const bool still = IsAutoStartSet(registry, name);
  return {!still, still};
}

}  // namespace zd
