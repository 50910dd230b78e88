// The program's own log-on value: a value named after the product title under
// the Run key, holding the program's quoted path. It goes under
// HKEY_LOCAL_MACHINE where that can be written, else under HKEY_CURRENT_USER,
// which every user may write. Windows starts it only while its own switch
// ("StartupApproved", the startup apps list) leaves it on.
#pragma once

#include <functional>
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

// Whether a file exists (the program a value names).
using ProgramExists = std::function<bool(const std::string& path)>;

// At start: a standing value that names another program is brought to the
// running program's path only from the program's installed place, so that a
// copy run from elsewhere (Downloads, a USB stick) never decides what every
// user's log-on starts. The installed place is the folder the setup recorded
// (InstallLocation of its uninstall key under HKEY_LOCAL_MACHINE, which only
// an administrator writes): a program there takes the value over, a program
// anywhere else leaves it alone. Without a setup the installed place is the
// one the value names: it is repointed only when the program it names is
// missing (the unpacked program was moved). A missing value is never made
// (nobody asked); only what differs is written. A machine value that cannot be
// refreshed is carried, on the same terms, by a copy under HKEY_CURRENT_USER.
// Returns what the box shows.
bool RefreshAutoStart(Registry& registry, const std::string& name, const std::string& program_path,
                      const ProgramExists& exists);

// The value's data: the path in double quotes, no arguments.
std::string AutoStartCommand(const std::string& program_path);
// The stored command starts this program (quoted, letters in any case).
bool IsCurrentAutoStartCommand(const std::string& stored, const std::string& program_path);

}  // namespace zd
