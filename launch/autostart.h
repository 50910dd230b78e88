// The program's own log-on value: a value named after the product title under
// the Run key, holding the program's quoted path. It goes under
// HKEY_LOCAL_MACHINE where that can be written, else under HKEY_CURRENT_USER,
// which every user may write. Windows starts it only while its own switch
// ("StartupApproved", the startup apps list) leaves it on.
#pragma once

#include <string>
#include <vector>

#include "launch/startup_programs.h"
#include "platform/registry.h"

namespace zd {

// One place where the value stands with a non-blank text.
struct OwnLogOnValue {
  RunKeySource source = RunKeySource::kMachine;
  std::string command;
  bool switched_off = false;  // Windows' switch leaves it off
};
std::vector<OwnLogOnValue> FindAutoStart(Registry& registry, const std::string& name);
// Windows starts the program at log-on: the value stands somewhere and is on.
bool IsAutoStartSet(Registry& registry, const std::string& name);

struct AutoStartOutcome {
  bool ok = true;    // the registry now holds what was asked for
  bool set = false;  // what the registry holds afterwards: the box shows this
};
// The user's own tick. On: the path is written (and Windows' switch turned
// on) where the value stands under HKEY_LOCAL_MACHINE, else there anew; where
// that is refused, under HKEY_CURRENT_USER; a copy under HKEY_CURRENT_USER
// goes once the machine's value is right. Off: the value and its switch go
// from every key and view.
AutoStartOutcome SetAutoStart(Registry& registry, const std::string& name,
                              const std::string& program_path, bool on);

// At start: a standing value is brought to the running program's path,
// writing only what differs and asking nothing. A machine value that cannot
// be refreshed is carried by a copy under HKEY_CURRENT_USER. Returns what the
// box shows.
bool RefreshAutoStart(Registry& registry, const std::string& name, const std::string& program_path);

// The value's data: the path in double quotes, no arguments.
std::string AutoStartCommand(const std::string& program_path);
// The stored command starts this program (quoted, letters in any case).
bool IsCurrentAutoStartCommand(const std::string& stored, const std::string& program_path);

}  // namespace zd
