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

struct Place {
  RunKeySource source;
  RegRoot root;
  RegView view;
};

std::vector<Place> Places(Registry& registry) {
  std::vector<Place> places;
  if (registry.HasSeparateViews()) {
    places.push_back({RunKeySource::kMachine, RegRoot::kLocalMachine, RegView::k64});
    places.push_back({RunKeySource::kMachine32, RegRoot::kLocalMachine, RegView::k32});
  } else {
    places.push_back({RunKeySource::kMachine, RegRoot::kLocalMachine, RegView::kDefault});
  }
  places.push_back({RunKeySource::kUser, RegRoot::kCurrentUser, RegView::kDefault});
  return places;
}

Place PlaceOf(Registry& registry, RunKeySource source) {
  for (const Place& p : Places(registry))
    if (p.source == source) return p;
  return {source, RegRoot::kLocalMachine, RegView::kDefault};
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

std::string Shown(const RegValue& value) {
  // Built by appending: GCC 12 warns falsely on "literal" + string here.
  std::string shown;
  switch (value.type) {
    case RegType::kString:
    case RegType::kExpandString:
      return value.text;
    case RegType::kBinary:
      shown = "[REG_BINARY] ";
      break;
    case RegType::kDword:
      shown = "[REG_DWORD] ";
      break;
    case RegType::kOther:
      shown = "[?] ";
      break;
  }
  shown += Hex(value.bytes);
  return shown;
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

StartupListing ListStartupEntries(Registry& registry) {
  StartupListing listing;
  const RegListing approved_machine =
      registry.ListValues(RegRoot::kLocalMachine, kApprovedRun, RegView::k64);
  const RegListing approved_machine32 =
      registry.ListValues(RegRoot::kLocalMachine, kApprovedRun32, RegView::k64);
  const RegListing approved_user =
      registry.ListValues(RegRoot::kCurrentUser, kApprovedRun, RegView::kDefault);
  for (const Place& place : Places(registry)) {
    const RegListing key = registry.ListValues(place.root, kStartupRunKey, place.view);
    if (!key.readable) {
      listing.unreadable.push_back(place.source);
      continue;
    }
    for (const RegValue& value : key.values) {
      StartupEntry entry{value.name, Shown(value), value.type, place.source, false};
      std::optional<bool> off;
      switch (place.source) {
        case RunKeySource::kMachine:
          off = ApprovedOff(approved_machine, value.name);
          break;
        case RunKeySource::kMachine32:
          off = ApprovedOff(approved_machine32, value.name);
          if (!off) off = ApprovedOff(approved_machine, value.name);
          break;
        case RunKeySource::kUser:
          off = ApprovedOff(approved_user, value.name);
          break;
      }
      entry.disabled = off.value_or(false);
      listing.entries.push_back(std::move(entry));
    }
  }
  std::stable_sort(listing.entries.begin(), listing.entries.end(),
                   [](const StartupEntry& a, const StartupEntry& b) {
                     return LessIgnoringAsciiCase(a.name, b.name);
                   });
  return listing;
}

StartupFieldCheck CheckStartupFields(const std::string& name, const std::string& path) {
  if (Trim(name).empty()) return StartupFieldCheck::kEmptyName;
  if (Trim(path).empty()) return StartupFieldCheck::kEmptyPath;
  return StartupFieldCheck::kOk;
}

StartupWrite AddStartupEntry(Registry& registry, const StartupListing& listing,
                             const std::string& name, const std::string& path) {
  const std::string trimmed_name = Trim(name);
  RegValue value{trimmed_name, RegType::kString, Trim(path), {}};
  for (const StartupEntry& entry : listing.entries) {
    if (!EqualsIgnoringAsciiCase(entry.name, trimmed_name)) continue;
    // Overwritten where it stands; an expandable string stays expandable.
    if (entry.type == RegType::kExpandString) value.type = RegType::kExpandString;
    const Place place = PlaceOf(registry, entry.source);
    return {registry.WriteValue(place.root, kStartupRunKey, place.view, value), entry.source};
  }
  if (registry.WriteValue(RegRoot::kLocalMachine, kStartupRunKey, RegView::kDefault, value)) {
    return {true, registry.HasSeparateViews() ? RunKeySource::kMachine32 : RunKeySource::kMachine};
  }
  return {registry.WriteValue(RegRoot::kCurrentUser, kStartupRunKey, RegView::kDefault, value),
          RunKeySource::kUser};
}

bool DeleteStartupEntry(Registry& registry, const StartupEntry& entry) {
  const Place place = PlaceOf(registry, entry.source);
  return registry.DeleteValueIn(place.root, kStartupRunKey, place.view, entry.name);
}

std::string TryOutCommand(const std::string& path,
                          const std::function<std::string(const std::string&)>& expand) {
  std::string command = path;
  std::erase(command, '"');
  return expand ? expand(command) : command;
}

}  // namespace zd
