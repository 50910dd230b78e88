// The programs Windows starts at log-on, as the startup programs window shows
// and edits them: the values of the Run keys of HKEY_LOCAL_MACHINE (both
// registry views where they differ) and HKEY_CURRENT_USER, with the state the
// user gave each one in Windows' own list of startup apps ("StartupApproved").
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace zd {

// The Run key as the window names it.
inline constexpr char kStartupRunKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

enum class RunKeySource { kMachine, kMachine32, kUser };

struct StartupEntry {
  std::string name;
  // The text of a plain string value; any other type is shown as such: its
  // type in brackets, then its content in a readable form.
  std::string command;
  RegType type = RegType::kString;
  RunKeySource source = RunKeySource::kMachine;
  bool disabled = false;  // switched off in Windows' list of startup apps
  // Only plain string values are edited here; the others are listed read-only.
  bool editable() const { return type == RegType::kString; }
  bool operator==(const StartupEntry&) const = default;
};

struct StartupListing {
  std::vector<StartupEntry> entries;  // sorted by name, ignoring ASCII case
  // Keys that exist but could not be read: the list is then not the whole truth.
  std::vector<RunKeySource> unreadable;
};

StartupListing ListStartupEntries(Registry& registry);

// Where a source's Run key is reached: its root and registry view.
struct RunKeyPlace {
  RunKeySource source;
  RegRoot root;
  RegView view;
};
// The places of this system, the machine's first.
std::vector<RunKeyPlace> RunKeyPlaces(Registry& registry);
RunKeyPlace RunKeyPlaceOf(Registry& registry, RunKeySource source);
// Where a new machine-wide entry goes: the program's own registry view.
RunKeySource NewMachineEntrySource(Registry& registry);
bool WriteRunValue(Registry& registry, RunKeySource source, const RegValue& value);

// Windows' own switch of an entry ("StartupApproved"): whether it is off.
bool StartupSwitchedOff(Registry& registry, RunKeySource source, const std::string& name);
// Switches it on (only when it is off); true when it is on afterwards.
bool SwitchStartupOn(Registry& registry, RunKeySource source, const std::string& name);
// Removes the switch; true when none is left.
bool ForgetStartupSwitch(Registry& registry, RunKeySource source, const std::string& name);

// What the add button finds wrong with the fields, in the order it checks them.
enum class StartupFieldCheck { kOk, kEmptyName, kEmptyPath };
StartupFieldCheck CheckStartupFields(const std::string& name, const std::string& path);

// The length of a command line's program part, as Windows should read it: a
// quoted first part up to its closing quote; else the first prefix ending in
// an executable's extension (".exe", ".com", ".bat", ".cmd", ".scr", ".pif",
// any letter case) before a blank or the end. 0 when there is none: where
// the program ends is then unknown.
size_t ProgramPartLength(std::string_view command);
// The program of a command line, without its quotes ("" when unknown).
std::string ProgramOfCommand(std::string_view command);
// A typed log-on command, trimmed, with its program part put in double quotes
// when it holds a blank and is not quoted yet: unquoted, "D:\My Tools\x.exe -q"
// makes Windows try "D:\My.exe" first, which any user may be able to create.
// The arguments stay as typed.
std::string QuotedRunCommand(std::string_view command);

struct StartupWrite {
  bool ok = false;
  // A value of that name and another type stands there: it was left alone.
  bool other_type = false;
  RunKeySource source = RunKeySource::kMachine;  // where it went
};
// Writes the trimmed name and the path (QuotedRunCommand) as a string value. An existing value of
// that name is overwritten where it stands (in `row_source` when it stands
// there too: the row the user chose), unless it is of another type; a new one
// goes under HKEY_LOCAL_MACHINE, or HKEY_CURRENT_USER where the machine's key
// cannot be written. `listing` must be fresh: it decides what is overwritten.
StartupWrite AddStartupEntry(Registry& registry, const StartupListing& listing,
                             const std::string& name, const std::string& path,
                             std::optional<RunKeySource> row_source = std::nullopt);
// The entry of that name and source in the listing, or null.
const StartupEntry* FindStartupEntry(const StartupListing& listing, const std::string& name,
                                     RunKeySource source);
// Deletes the value from the key it came from.
bool DeleteStartupEntry(Registry& registry, const StartupEntry& entry);

// The command "try out" opens: the path field without its double quotes, with
// environment strings expanded.
std::string TryOutCommand(const std::string& path,
                          const std::function<std::string(const std::string&)>& expand);

}  // namespace zd
