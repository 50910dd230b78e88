#include "tracking/recording_gate.h"

#include <pcre2.h>

#include "platform/utf8.h"
#include "tracking/doc_kinds.h"

namespace zd {
namespace {

constexpr auto kRegistryAskInterval = std::chrono::seconds(1);

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

struct RulePattern {
  using Code = std::unique_ptr<pcre2_code, void (*)(pcre2_code*)>;
  explicit RulePattern(Code code) : code(std::move(code)) {}

  // Titles and addresses are UTF-8: a letter's case is ignored for any
  // alphabet, a class or '.' takes a whole character, and a malformed byte
  // never stops a search (it matches nothing). '$' is the end of the text only.
  static std::shared_ptr<const RulePattern> Compile(const PrivacyRule& rule) {
    if (!rule.regex) return nullptr;
    int error = 0;
    PCRE2_SIZE offset = 0;
    Code code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(rule.pattern.data()), rule.pattern.size(),
                            PCRE2_CASELESS | PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF |
                                PCRE2_DOLLAR_ENDONLY,
                            &error, &offset, nullptr),
              pcre2_code_free);
    return code ? std::make_shared<const RulePattern>(std::move(code)) : nullptr;
  }

  bool Finds(const std::string& subject) const {
    const std::unique_ptr<pcre2_match_data, void (*)(pcre2_match_data*)> match(
        pcre2_match_data_create(1, nullptr), pcre2_match_data_free);
    // Any failure, a search that runs past PCRE2's limits included, is no match.
    return match && pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()),
                                subject.size(), 0, 0, match.get(), nullptr) > 0;
  }

  Code code;
};

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
  return !rule.regex || RulePattern::Compile(rule) != nullptr;
}

void PrivacyFilter::SetRules(std::vector<PrivacyRule> rules) {
  rules_ = std::move(rules);
  compiled_.clear();
  for (const PrivacyRule& rule : rules_) {
    compiled_.push_back(Compiled{RulePattern::Compile(rule), LowerAscii(rule.pattern)});
  }
}

bool PrivacyFilter::Matches(const PrivacyRule& rule, const Compiled& compiled,
                            const FoundDoc& found) const {
  const std::string& subject = rule.field == RuleField::kTitle     ? found.name
                               : rule.field == RuleField::kAddress ? found.address
                                                                   : found.program;
  if (!rule.regex) return Contains(LowerAscii(subject), compiled.lower_text);
  // A broken expression matches nothing; the settings page refuses to add one.
  return compiled.pattern && compiled.pattern->Finds(subject);
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
  kept.address = std::string(UrlScheme(address)) + "://" + root + "/";
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
