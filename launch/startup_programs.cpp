#include "launch/startup_programs.h"

#include <algorithm>

#include "platform/utf8.h"
#include "store/doc.h"

namespace zd {
namespace {

constexpr char kApprovedRun[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// The state of the 32-bit view's entries; Run holds it on some systems.
constexpr char kApprovedRun32[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run32";

// The switch Windows writes for an entry that is on: state 2, no time.
const std::string kSwitchedOn("\x02\0\0\0\0\0\0\0\0\0\0\0", 12);

struct ApprovedKey {
  RegRoot root;
  const char* key;
  RegView view;
};

// Where the switches of a source's entries are kept, the one written first.
// The machine's switches sit in its 64-bit view, which 32-bit programs reach
// only when they name it.
std::vector<ApprovedKey> ApprovedKeys(RunKeySource source) {
  switch (source) {
    case RunKeySource::kMachine:
      return {{RegRoot::kLocalMachine, kApprovedRun, RegView::k64}};
    case RunKeySource::kMachine32:
      return {{RegRoot::kLocalMachine, kApprovedRun32, RegView::k64},
              {RegRoot::kLocalMachine, kApprovedRun, RegView::k64}};
    case RunKeySource::kUser:
      break;
  }
  return {{RegRoot::kCurrentUser, kApprovedRun, RegView::kDefault}};
}

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < bytes.size() && i < 16; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  if (bytes.size() > 16) text += " ...";
  return text;
}

std::string Tagged(const char* type, const std::string& content) {
  // Built by appending: GCC 12 warns falsely on assigning a literal here.
  std::string shown(type);
  shown += ' ';
  shown += content;
  return shown;
}

std::string Shown(const RegValue& value) {
  switch (value.type) {
    case RegType::kString:
      return value.text;
    case RegType::kExpandString:
      return Tagged("[REG_EXPAND_SZ]", value.text);
    case RegType::kMultiString:
      return Tagged("[REG_MULTI_SZ]", ReplaceAll(value.text, "\n", " | "));
    case RegType::kDword:
      if (value.bytes.size() == 4) {
        uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
          number = (number << 8) | static_cast<unsigned char>(value.bytes[i]);
        return Tagged("[REG_DWORD]", std::to_string(number));
      }
      return Tagged("[REG_DWORD]", Hex(value.bytes));
    case RegType::kBinary:
      return Tagged("[REG_BINARY]", Hex(value.bytes));
    case RegType::kOther:
      break;
  }
  return Tagged("[?]", Hex(value.bytes));
}

// Windows switches an entry off by setting the lowest bit of the first byte
// of its binary value in StartupApproved (02 on, 03 off).
std::optional<bool> ApprovedOff(const RegListing& approved, const std::string& name) {
  for (const RegValue& v : approved.values) {
    if (!EqualsIgnoringAsciiCase(v.name, name)) continue;
    if (v.type != RegType::kBinary || v.bytes.empty()) return std::nullopt;
    return (static_cast<unsigned char>(v.bytes[0]) & 1) != 0;
  }
  return std::nullopt;
}

}  // namespace

std::vector<RunKeyPlace> RunKeyPlaces(Registry& registry) {
  std::vector<RunKeyPlace> places;
  if (registry.HasSeparateViews()) {
    places.push_back({RunKeySource::kMachine, RegRoot::kLocalMachine, RegView::k64});
    places.push_back({RunKeySource::kMachine32, RegRoot::kLocalMachine, RegView::k32});
  } else {
    places.push_back({RunKeySource::kMachine, RegRoot::kLocalMachine, RegView::kDefault});
  }
  places.push_back({RunKeySource::kUser, RegRoot::kCurrentUser, RegView::kDefault});
  return places;
}

RunKeyPlace RunKeyPlaceOf(Registry& registry, RunKeySource source) {
  for (const RunKeyPlace& p : RunKeyPlaces(registry))
    if (p.source == source) return p;
  return {source, RegRoot::kLocalMachine, RegView::kDefault};
}

RunKeySource NewMachineEntrySource(Registry& registry) {
  return registry.HasSeparateViews() ? RunKeySource::kMachine32 : RunKeySource::kMachine;
}

bool WriteRunValue(Registry& registry, RunKeySource source, const RegValue& value) {
  const RunKeyPlace place = RunKeyPlaceOf(registry, source);
  return registry.WriteValue(place.root, kStartupRunKey, place.view, value);
}

bool StartupSwitchedOff(Registry& registry, RunKeySource source, const std::string& name) {
  for (const ApprovedKey& k : ApprovedKeys(source)) {
    if (const std::optional<bool> off =
            ApprovedOff(registry.ListValues(k.root, k.key, k.view), name))
      return *off;
  }
  return false;
}

bool SwitchStartupOn(Registry& registry, RunKeySource source, const std::string& name) {
  if (!StartupSwitchedOff(registry, source, name)) return true;
  const ApprovedKey k = ApprovedKeys(source).front();
  registry.WriteValue(k.root, k.key, k.view, RegValue{name, RegType::kBinary, {}, kSwitchedOn});
  return !StartupSwitchedOff(registry, source, name);
}

bool ForgetStartupSwitch(Registry& registry, RunKeySource source, const std::string& name) {
  bool gone = true;
  for (const ApprovedKey& k : ApprovedKeys(source)) {
    for (const RegValue& v : registry.ListValues(k.root, k.key, k.view).values) {
      if (EqualsIgnoringAsciiCase(v.name, name))
        gone = registry.DeleteValueIn(k.root, k.key, k.view, v.name) && gone;
    }
  }
  return gone;
}

StartupListing ListStartupEntries(Registry& registry) {
  StartupListing listing;
  for (const RunKeyPlace& place : RunKeyPlaces(registry)) {
    const RegListing key = registry.ListValues(place.root, kStartupRunKey, place.view);
    if (!key.readable) {
      listing.unreadable.push_back(place.source);
      continue;
    }
    std::vector<RegListing> approved;
    if (!key.values.empty()) {
      for (const ApprovedKey& k : ApprovedKeys(place.source))
        approved.push_back(registry.ListValues(k.root, k.key, k.view));
    }
    for (const RegValue& value : key.values) {
      StartupEntry entry{value.name, Shown(value), value.type, place.source, false};
      for (const RegListing& switches : approved) {
        if (const std::optional<bool> off = ApprovedOff(switches, value.name)) {
          entry.disabled = *off;
          break;
        }
      }
      listing.entries.push_back(std::move(entry));
    }
  }
  std::stable_sort(listing.entries.begin(), listing.entries.end(),
                   [](const StartupEntry& a, const StartupEntry& b) {
                     return LessIgnoringAsciiCase(a.name, b.name);
                   });
  return listing;
}

size_t ProgramPartLength(std::string_view command) {
  if (command.starts_with('"')) {
    const size_t close = command.find('"', 1);
    return close == std::string_view::npos ? command.size() : close + 1;
  }
  static constexpr std::string_view kExtensions[] = {".exe", ".com", ".bat",
                                                     ".cmd", ".scr", ".pif"};
  for (size_t end = 4; end <= command.size(); ++end) {
    if (end < command.size() && command[end] != ' ' && command[end] != '\t') continue;
    const std::string tail = LowerAscii(command.substr(end - 4, 4));
    for (std::string_view extension : kExtensions)
      if (tail == extension) return end;
  }
  return 0;
}

std::string ProgramOfCommand(std::string_view command) {
  std::string program(command.substr(0, ProgramPartLength(command)));
  std::erase(program, '"');
  return program;
}

std::string QuotedRunCommand(std::string_view command) {
  const std::string text = Trim(command);
  const size_t program = ProgramPartLength(text);
  if (program == 0 || text.front() == '"' || text.find_first_of(" \t") >= program) return text;
  std::string quoted(1, '"');
  quoted.append(text, 0, program).append(1, '"').append(text, program);
  return quoted;
}

StartupFieldCheck CheckStartupFields(const std::string& name, const std::string& path) {
  if (Trim(name).empty()) return StartupFieldCheck::kEmptyName;
  if (Trim(path).empty()) return StartupFieldCheck::kEmptyPath;
  return StartupFieldCheck::kOk;
}

const StartupEntry* FindStartupEntry(const StartupListing& listing, const std::string& name,
                                     RunKeySource source) {
  for (const StartupEntry& entry : listing.entries)
    if (entry.source == source && EqualsIgnoringAsciiCase(entry.name, name)) return &entry;
  return nullptr;
}

StartupWrite AddStartupEntry(Registry& registry, const StartupListing& listing,
                             const std::string& name, const std::string& path,
                             std::optional<RunKeySource> row_source) {
  const std::string trimmed_name = Trim(name);
  const RegValue value{trimmed_name, RegType::kString, QuotedRunCommand(path), {}};
  const StartupEntry* existing =
      row_source ? FindStartupEntry(listing, trimmed_name, *row_source) : nullptr;
  for (const StartupEntry& entry : listing.entries) {
    if (!existing && EqualsIgnoringAsciiCase(entry.name, trimmed_name)) existing = &entry;
  }
  if (existing) {
    // Another program's value of another type is never turned into a string.
    if (!existing->editable()) return {false, true, existing->source};
    return {WriteRunValue(registry, existing->source, value), false, existing->source};
  }
  const RunKeySource machine = NewMachineEntrySource(registry);
  if (WriteRunValue(registry, machine, value)) return {true, false, machine};
  return {WriteRunValue(registry, RunKeySource::kUser, value), false, RunKeySource::kUser};
}

bool DeleteStartupEntry(Registry& registry, const StartupEntry& entry) {
  const RunKeyPlace place = RunKeyPlaceOf(registry, entry.source);
  return registry.DeleteValueIn(place.root, kStartupRunKey, place.view, entry.name);
}

std::string TryOutCommand(const std::string& path,
                          const std::function<std::string(const std::string&)>& expand) {
  std::string command = path;
  std::erase(command, '"');
  return expand ? expand(command) : command;
}

}  // namespace zd
