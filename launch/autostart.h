// The program's own log-on value: a value named after the product title under
// the Run key, holding the program's quoted path. It goes under
// HKEY_LOCAL_MACHINE where that can be written, else under HKEY_CURRENT_USER,
// which every user may write; it never stands in both.
#pragma once

#include <string>

#include "platform/registry.h"

namespace zd {

// Where the value stands now (with a non-blank text).
struct AutoStartPlaces {
  bool machine = false;
  bool user = false;
  bool any() const { return machine || user; }
};
AutoStartPlaces FindAutoStart(Registry& registry, const std::string& name);
bool IsAutoStartSet(Registry& registry, const std::string& name);

struct AutoStartOutcome {
  bool ok = true;    // the registry now holds what was asked for
  bool set = false;  // what the registry holds afterwards: the box shows this
};
// On: writes the quoted path where the value stands, else under
// HKEY_LOCAL_MACHINE, else under HKEY_CURRENT_USER. Off: removes the value
// wherever it stands.
AutoStartOutcome SetAutoStart(Registry& registry, const std::string& name,
                              const std::string& program_path, bool on);

// The value's data: the path in double quotes, no arguments.
std::string AutoStartCommand(const std::string& program_path);

}  // namespace zd
