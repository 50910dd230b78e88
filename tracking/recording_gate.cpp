#include "tracking/recording_gate.h"

#include "platform/utf8.h"
#include "tracking/doc_kinds.h"

namespace zd {
namespace {

constexpr auto kRegistryAskInterval = std::chrono::seconds(1);

std::optional<std::regex> Compile(const PrivacyRule& rule) {
  if (!rule.regex) return std::nullopt;
  try {
    return std::regex(rule.pattern, std::regex::ECMAScript | std::regex::icase);
  } catch (const std::regex_error&) {
    return std::nullopt;
  }
}

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

bool WindowsTracksDocs(Registry& registry) {
  const RegListing listing =
      registry.ListValues(RegRoot::kCurrentUser, kExplorerAdvancedKey, RegView::kDefault);
  for (const RegValue& value : listing.values) {
    if (!EqualsIgnoringAsciiCase(value.name, kTrackDocsValue)) continue;
    if (value.type != RegType::kDword || value.bytes.size() < 4) return true;
    return value.bytes.find_first_not_of('\0') != std::string::npos;
  }
  return true;
}

bool IsValidRulePattern(const PrivacyRule& rule) {
  if (Trim(rule.pattern).empty()) return false;
  return !rule.regex || Compile(rule).has_value();
}

void PrivacyFilter::SetRules(std::vector<PrivacyRule> rules) {
  rules_ = std::move(rules);
  compiled_.clear();
  for (const PrivacyRule& rule : rules_) {
    compiled_.push_back(Compiled{Compile(rule), LowerAscii(rule.pattern)});
  }
}

bool PrivacyFilter::Matches(const PrivacyRule& rule, const Compiled& compiled,
                            const FoundDoc& found) const {
  const std::string& subject = rule.field == RuleField::kTitle     ? found.name
                               : rule.field == RuleField::kAddress ? found.address
                                                                   : found.program;
  if (!rule.regex) return Contains(LowerAscii(subject), compiled.lower_text);
  // A broken expression matches nothing; the settings page refuses to add one.
  return compiled.regex && std::regex_search(subject, *compiled.regex);
}

std::optional<FoundDoc> PrivacyFilter::Apply(const FoundDoc& found) const {
  const PrivacyRule* redact = nullptr;
  for (size_t i = 0; i < rules_.size(); ++i) {
    if (!Matches(rules_[i], compiled_[i], found)) continue;
    if (rules_[i].action == RuleAction::kDrop) return std::nullopt;
    if (!redact) redact = &rules_[i];
  }
  if (!redact) return found;
  return Redacted(found);
}

std::optional<FoundDoc> Redacted(const FoundDoc& found) {
  FoundDoc kept = found;
  if (found.kind == kDocProgram) {
    kept.name = FileNameOf(found.address);
    return kept;
  }
  const std::string root = Trim(GetDocRoot(Trim(found.address)));
  if (root.empty()) return std::nullopt;
  if (found.kind == kDocFolder) {
    std::string address = "file:///" + root;
    for (char& c : address) {
      if (c == '\\') c = '/';
    }
    kept.address = kept.name = address;
    return kept;
  }
  const std::string address = Trim(found.address);
  kept.address = address.substr(0, address.find("://")) + "://" + root + "/";
  kept.name = root;
  return kept;
}

RecordingGate::RecordingGate(Registry* registry,
                             std::function<std::chrono::steady_clock::time_point()> now)
    : registry_(registry), now_(std::move(now)) {
  if (!now_) now_ = [] { return std::chrono::steady_clock::now(); };
}

RecordingState RecordingGate::State() {
  if (paused_) return RecordingState::kPaused;
  if (registry_) {
    const auto now = now_();
    if (!asked_ || now - *asked_ >= kRegistryAskInterval) {
      asked_ = now;
      windows_tracks_ = WindowsTracksDocs(*registry_);
    }
  }
  return windows_tracks_ ? RecordingState::kOn : RecordingState::kWindowsOff;
}

bool RecordingGate::Admit(FoundDoc& found) {
  if (State() != RecordingState::kOn) return false;
  std::optional<FoundDoc> kept = filter_.Apply(found);
  if (!kept) return false;
  found = std::move(*kept);
  return true;
}

}  // namespace zd
