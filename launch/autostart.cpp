#include "launch/autostart.h"

#include <algorithm>

#include "platform/utf8.h"
#include "store/doc.h"
#include "store/program_files.h"

namespace zd {
namespace {

bool IsString(RegType type) { return type == RegType::kString || type == RegType::kExpandString; }

bool IsMachine(RunKeySource source) { return source != RunKeySource::kUser; }

RegValue OwnValue(const std::string& name, const std::string& program_path) {
  return {name, RegType::kString, AutoStartCommand(program_path), {}};
}

// The value holds the running program's path and is on; writes only what differs.
bool MakeCurrent(Registry& registry, const OwnLogOnValue& value, const std::string& name,
                 const std::string& program_path) {
  const bool path_ok = IsCurrentAutoStartCommand(value.command, program_path) ||
                       WriteRunValue(registry, value.source, OwnValue(name, program_path));
  return path_ok && SwitchStartupOn(registry, value.source, name);
}

// A folder as compared: ASCII letters lowered, "/" as "\", no trailing "\".
std::string FolderKey(std::string folder) {
  folder = LowerAscii(Trim(folder));
  std::replace(folder.begin(), folder.end(), '/', '\\');
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

// May a start point the value holding `stored` at the running program?
bool MayRepoint(Registry& registry, const std::string& stored, const std::string& program_path,
                const ProgramExists& exists) {
  // Written by the setup (installer/zapdock.nsi).
  const std::optional<std::string> installed =
      registry.ReadString(RegRoot::kLocalMachine,
                          std::string(kUninstallKeyParent) + kSetupProductName, "InstallLocation");
  if (installed && !Trim(*installed).empty()) {
    const size_t cut = program_path.find_last_of("\\/");
    return cut != std::string::npos &&
           FolderKey(program_path.substr(0, cut)) == FolderKey(*installed);
  }
  const std::string named = ProgramOfCommand(Trim(stored));
  return !named.empty() && exists && !exists(named);
}

void RemoveFrom(Registry& registry, RunKeySource source, const std::string& name) {
  const RunKeyPlace place = RunKeyPlaceOf(registry, source);
  for (const RegValue& v : registry.ListValues(place.root, kStartupRunKey, place.view).values) {
    if (EqualsIgnoringAsciiCase(v.name, name))
      registry.DeleteValueIn(place.root, kStartupRunKey, place.view, v.name);
  }
  ForgetStartupSwitch(registry, source, name);
}

}  // namespace

std::string AutoStartCommand(const std::string& program_path) { return "\"" + program_path + "\""; }

bool IsCurrentAutoStartCommand(const std::string& stored, const std::string& program_path) {
  return EqualsIgnoringAsciiCase(Trim(stored), AutoStartCommand(program_path));
}

std::vector<OwnLogOnValue> FindAutoStart(Registry& registry, const std::string& name) {
  std::vector<OwnLogOnValue> found;
  for (const RunKeyPlace& place : RunKeyPlaces(registry)) {
    for (const RegValue& v : registry.ListValues(place.root, kStartupRunKey, place.view).values) {
      if (!EqualsIgnoringAsciiCase(v.name, name) || !IsString(v.type) || Trim(v.text).empty())
        continue;
      found.push_back({place.source, v.text, StartupSwitchedOff(registry, place.source, name)});
    }
  }
  return found;
}

bool IsAutoStartSet(Registry& registry, const std::string& name) {
  for (const OwnLogOnValue& v : FindAutoStart(registry, name))
    if (!v.switched_off) return true;
  return false;
}

AutoStartOutcome SetAutoStart(Registry& registry, const std::string& name,
                              const std::string& program_path, bool on) {
  const std::vector<OwnLogOnValue> before = FindAutoStart(registry, name);
  if (!on) {
    for (const RunKeyPlace& place : RunKeyPlaces(registry))
      RemoveFrom(registry, place.source, name);
    const bool still = IsAutoStartSet(registry, name);
    return {!still, still};
  }
  std::vector<OwnLogOnValue> machine, user;
  for (const OwnLogOnValue& v : before) (IsMachine(v.source) ? machine : user).push_back(v);
  bool machine_ok = false;
  if (!machine.empty()) {
    machine_ok = true;
    for (const OwnLogOnValue& v : machine)
      machine_ok = MakeCurrent(registry, v, name, program_path) && machine_ok;
  } else if (user.empty()) {
    // A new value may meet a switch left off by an earlier one.
    const RunKeySource source = NewMachineEntrySource(registry);
    machine_ok = WriteRunValue(registry, source, OwnValue(name, program_path)) &&
                 SwitchStartupOn(registry, source, name);
  }
  if (machine_ok) {
    // Never a second copy once the machine's value is right.
    for (const OwnLogOnValue& v : user) RemoveFrom(registry, v.source, name);
  } else if (!user.empty()) {
    for (const OwnLogOnValue& v : user) MakeCurrent(registry, v, name, program_path);
  } else {
    MakeCurrent(registry, {RunKeySource::kUser, "", false}, name, program_path);
  }
  const bool set = IsAutoStartSet(registry, name);
  return {set, set};
}

bool RefreshAutoStart(Registry& registry, const std::string& name, const std::string& program_path,
                      const ProgramExists& exists) {
  const std::vector<OwnLogOnValue> found = FindAutoStart(registry, name);
  bool machine_current = false, carry = false;
  std::vector<OwnLogOnValue> user;
  for (const OwnLogOnValue& v : found) {
    if (!IsMachine(v.source)) {
      user.push_back(v);
      continue;
    }
    if (IsCurrentAutoStartCommand(v.command, program_path)) {
      machine_current |= !v.switched_off;
      continue;
    }
    if (!MayRepoint(registry, v.command, program_path, exists)) continue;
    const bool current = WriteRunValue(registry, v.source, OwnValue(name, program_path));
    machine_current |= current && !v.switched_off;
    // A value Windows starts, which we may not change: the user's key
    // carries the new path. One the user switched off stays off.
    carry |= !current && !v.switched_off;
  }
  if (machine_current) {
    for (const OwnLogOnValue& v : user) RemoveFrom(registry, v.source, name);
  } else {
    for (const OwnLogOnValue& v : user) {
      if (!IsCurrentAutoStartCommand(v.command, program_path) &&
          MayRepoint(registry, v.command, program_path, exists))
        WriteRunValue(registry, v.source, OwnValue(name, program_path));
    }
    if (carry && user.empty())
      MakeCurrent(registry, {RunKeySource::kUser, "", false}, name, program_path);
  }
  return IsAutoStartSet(registry, name);
}

}  // namespace zd
