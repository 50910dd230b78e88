#include "tracking/recording_gate.h"

#include <pcre2.h>

#include <cctype>

#include "platform/utf8.h"
#include "tracking/browser_profiles.h"
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
  // `reason` gets the library's words when the expression does not compile.
  static std::shared_ptr<const RulePattern> Compile(const PrivacyRule& rule,
                                                    std::string* reason = nullptr) {
    if (!rule.regex) return nullptr;
    int error = 0;
    PCRE2_SIZE offset = 0;
    Code code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(rule.pattern.data()), rule.pattern.size(),
                            PCRE2_CASELESS | PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF |
                                PCRE2_DOLLAR_ENDONLY,
                            &error, &offset, nullptr),
              pcre2_code_free);
    if (!code && reason) {
      PCRE2_UCHAR text[256] = {};
      if (pcre2_get_error_message(error, text, 256) > 0) {
        *reason = reinterpret_cast<const char*>(text);
      }
      *reason += " (" + std::to_string(offset) + ")";
    }
    return code ? std::make_shared<const RulePattern>(std::move(code)) : nullptr;
  }

  bool Finds(const std::string& subject) const {
    const std::unique_ptr<pcre2_match_data, void (*)(pcre2_match_data*)> match(
        pcre2_match_data_create(1, nullptr), pcre2_match_data_free);
    const std::unique_ptr<pcre2_match_context, void (*)(pcre2_match_context*)> context(
        pcre2_match_context_create(nullptr), pcre2_match_context_free);
    if (!match || !context) return true;
    // A title the refresh meets must not hold the window up: a search that
    // backtracks this much is stopped.
    pcre2_set_match_limit(context.get(), kMatchLimit);
    // Only a search that ran to its end without a match is no match: one
    // stopped by the limits may have hidden one.
    return pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0,
                       0, match.get(), context.get()) != PCRE2_ERROR_NOMATCH;
  }
  static constexpr uint32_t kMatchLimit = 200000;

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

bool PolicyForbidsHistory(Registry& registry) {
  for (const RegRoot root : {RegRoot::kCurrentUser, RegRoot::kLocalMachine}) {
    const RegListing listing = registry.ListValues(root, kExplorerPoliciesKey, RegView::kDefault);
    for (const RegValue& value : listing.values) {
      if (!EqualsIgnoringAsciiCase(value.name, kNoRecentDocsHistoryValue)) continue;
      if (value.type == RegType::kDword &&
          value.bytes.find_first_not_of('\0') != std::string::npos) {
        return true;
      }
    }
  }
  return false;
}

bool IsValidRulePattern(const PrivacyRule& rule) {
  if (!rule.unparsed.empty() || Trim(rule.pattern).empty()) return false;
  return !rule.regex || RulePattern::Compile(rule) != nullptr;
}

RuleStatus StatusOf(const PrivacyRule& rule) {
  RuleStatus status;
  if (!rule.unparsed.empty()) {
    status.understood = false;
  } else if (rule.regex && !RulePattern::Compile(rule, &status.reason)) {
    status.broken = true;
  }
  return status;
}

void PrivacyFilter::SetRules(std::vector<PrivacyRule> rules) {
  rules_ = std::move(rules);
  compiled_.clear();
  statuses_.clear();
  for (const PrivacyRule& rule : rules_) {
    RuleStatus status;
    std::shared_ptr<const RulePattern> pattern;
    if (!rule.unparsed.empty()) {
      status.understood = false;
    } else {
      pattern = RulePattern::Compile(rule, &status.reason);
      status.broken = rule.regex && !pattern;
    }
    compiled_.push_back(Compiled{std::move(pattern), LowerAscii(rule.pattern)});
    statuses_.push_back(std::move(status));
  }
}

bool PrivacyFilter::Matches(const PrivacyRule& rule, const Compiled& compiled,
                            const FoundDoc& found) const {
  const std::string& subject = rule.field == RuleField::kTitle     ? found.name
                               : rule.field == RuleField::kAddress ? found.address
                                                                   : found.program;
  if (!rule.regex) return Contains(LowerAscii(subject), compiled.lower_text);
  // A broken expression stands for everything of its field: what the user
  // meant to keep out is never let in for want of it.
  return !compiled.pattern || compiled.pattern->Finds(subject);
}

std::optional<FoundDoc> PrivacyFilter::Apply(const FoundDoc& found) const {
  const PrivacyRule* redact = nullptr;
  for (size_t i = 0; i < rules_.size(); ++i) {
    if (!statuses_[i].understood) continue;
    if (!Matches(rules_[i], compiled_[i], found)) continue;
    if (rules_[i].action == RuleAction::kDrop) return std::nullopt;
    if (!redact) redact = &rules_[i];
  }
  if (!redact) return found;
  return Redacted(found);
}

std::optional<FoundDoc> Redacted(const FoundDoc& found) {
  FoundDoc kept = found;
  if (found.kind == DocKind::kProgram) {
    kept.name = FileNameOf(found.address);
    return kept;
  }
  const std::string root = Trim(GetDocRoot(Trim(found.address)));
  if (root.empty()) return std::nullopt;
  if (found.kind == DocKind::kFolder) {
    std::string address = "file:///" + root;
    for (char& c : address) {
      if (c == '\\') c = '/';
    }
    kept.address = kept.name = address;
    return kept;
  }
  // Only the host and its port: no user name or password, nothing after them.
  std::string host = root.substr(0, root.find_first_of("/?#\\"));
  host = host.substr(host.find('@') == std::string::npos ? 0 : host.rfind('@') + 1);
  if (host.empty()) return std::nullopt;
  const std::string address = Trim(found.address);
  kept.address = std::string(UrlScheme(address)) + "://" + host + "/";
  kept.name = host;
  return kept;
}

namespace {

// Each character as itself in an expression.
std::string Literal(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80 && !std::isalnum(u)) out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

PrivacyRule DropRuleFor(const DocRecord& doc) {
  PrivacyRule rule{RuleAction::kDrop, RuleField::kAddress, true, ""};
  if (doc.doctype == DocKind::kProgram) {
    rule.field = RuleField::kProgram;
    rule.pattern = "^" + Literal(doc.path) + "$";
  } else if (doc.doctype == DocKind::kFolder) {
    // Either separator, as the shell and the record spell it.
    constexpr std::string_view kSeparator = "[/\\\\]";
    std::string path;
    for (const char c : doc.path) {
      path += c == '\\' || c == '/' ? std::string(kSeparator) : Literal(std::string_view(&c, 1));
    }
    while (path.ends_with(kSeparator)) path.resize(path.size() - kSeparator.size());
    rule.pattern = "^file:///" + path + "(" + std::string(kSeparator) + "|$)";
  } else {
    // Any scheme, a user name before the host, any port after it.
    const std::string host = doc.RootPath.substr(0, doc.RootPath.find(':'));
    rule.pattern = "^[a-z][a-z0-9+.-]*://([^/?#@]*@)?" + Literal(host) + "(:[0-9]+)?([/?#]|$)";
  }
  return rule;
}

std::vector<int32_t> PositionsDroppedBy(const PrivacyRule& rule, const DocArray& docs) {
  std::vector<int32_t> positions;
  if (rule.action != RuleAction::kDrop) return positions;
  PrivacyFilter filter;
  filter.SetRules({rule});
  for (size_t i = 0; i < docs.size(); ++i) {
    if (!filter.Apply(AsFound(docs[i]))) positions.push_back(static_cast<int32_t>(i));
  }
  return positions;
}

RecordingGate::RecordingGate(Registry* registry,
                             std::function<std::chrono::steady_clock::time_point()> now)
    : registry_(registry), now_(std::move(now)) {
  if (!now_) now_ = [] { return std::chrono::steady_clock::now(); };
}

RecordingState RecordingGate::State() {
  if (paused_) return RecordingState::kPaused;
  if (rules_unreadable_) return RecordingState::kRulesUnreadable;
  if (registry_) {
    const auto now = now_();
    if (!asked_ || now - *asked_ >= kRegistryAskInterval) {
      asked_ = now;
      windows_tracks_ = WindowsTracksDocs(*registry_);
      policy_off_ = PolicyForbidsHistory(*registry_);
    }
  }
  if (policy_off_) return RecordingState::kPolicyOff;
  return windows_tracks_ ? RecordingState::kOn : RecordingState::kWindowsOff;
}

bool RecordingGate::Admit(FoundDoc& found) {
  if (State() != RecordingState::kOn) return false;
  // Whatever a private window shows, by any scan, is never kept.
  if (IsPrivateWindowTitle(found.name, found.program)) return false;
  std::optional<FoundDoc> kept = filter_.Apply(found);
  if (!kept) return false;
  found = std::move(*kept);
  return true;
}

}  // namespace zd
