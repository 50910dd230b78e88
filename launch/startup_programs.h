// The programs Windows starts at log-on, as the startup programs window shows
// and edits them: the values of the Run keys of HKEY_LOCAL_MACHINE (both
// registry views where they differ) and HKEY_CURRENT_USER, with the state the
// user gave each one in Windows' own list of startup apps ("StartupApproved").
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace zd {

// The Run key as the window names it.
inline constexpr char kStartupRunKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

enum class RunKeySource { kMachine, kMachine32, kUser };

struct StartupEntry {
  std::string name;
  std::string command;  // the text of a string value; a readable form of any other
  RegType type = RegType::kString;
  RunKeySource source = RunKeySource::kMachine;
  bool disabled = false;  // switched off in Windows' list of startup apps
  bool operator==(const StartupEntry&) const = default;
};

struct StartupListing {
  std::vector<StartupEntry> entries;  // sorted by name, ignoring ASCII case
  // Keys that exist but could not be read: the list is then not the whole truth.
  std::vector<RunKeySource> unreadable;
};

StartupListing ListStartupEntries(Registry& registry);

// What the add button finds wrong with the fields, in the order it checks them.
enum class StartupFieldCheck { kOk, kEmptyName, kEmptyPath };
StartupFieldCheck CheckStartupFields(const std::string& name, const std::string& path);

struct StartupWrite {
  bool ok = false;
  RunKeySource source = RunKeySource::kMachine;  // where it went
};
// Writes the trimmed name and path. An existing value of that name is
// overwritten where it stands, keeping its type; a new one goes under
// HKEY_LOCAL_MACHINE, or HKEY_CURRENT_USER where the machine's key cannot be
// written.
StartupWrite AddStartupEntry(Registry& registry, const StartupListing& listing,
                             const std::string& name, const std::string& path);
// Deletes the value from the key it came from.
bool DeleteStartupEntry(Registry& registry, const StartupEntry& entry);

// The command "try out" opens: the path field without its double quotes, with
// environment strings expanded.
std::string TryOutCommand(const std::string& path,
                          const std::function<std::string(const std::string&)>& expand);

}  // namespace zd
