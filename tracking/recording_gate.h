// What decides, before anything is stored, whether a found document is
// recorded and how: the pause switch, Windows' own "track recently opened
// documents" setting, and the privacy rules.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "store/doc.h"
#include "store/privacy_rules.h"
#include "tracking/found_doc.h"

namespace zd {

// Where Windows keeps "track recently opened documents": 0 switches it off.
inline constexpr char kExplorerAdvancedKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr char kTrackDocsValue[] = "Start_TrackDocs";

// The setting as the registry holds it: off only for a DWORD 0.
bool WindowsTracksDocs(Registry& registry);

// Group Policy's "do not keep a history of recently opened documents", for
// the user or for the machine.
inline constexpr char kExplorerPoliciesKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr char kNoRecentDocsHistoryValue[] = "NoRecentDocsHistory";
// On for a DWORD other than 0 under either root.
bool PolicyForbidsHistory(Registry& registry);

enum class RecordingState {
  kOn,
  kPaused,           // the user's own switch
  kRulesUnreadable,  // the rules file exists but could not be read: nothing is safe to keep
  kPolicyOff,
  kWindowsOff,
};

// A regular expression the rules can use (Perl's syntax, letter case ignored,
// Unicode letters and classes).
bool IsValidRulePattern(const PrivacyRule& rule);

// Whether a rule is in force as written. A broken expression (one an
// earlier version took, say) matches everything of its field until it is
// mended or deleted; a line not understood is kept as it is and does nothing.
struct RuleStatus {
  bool understood = true;
  bool broken = false;
  std::string reason;  // why it is broken, in the expression library's words
};
RuleStatus StatusOf(const PrivacyRule& rule);

struct RulePattern;  // a rule's compiled expression

// The document as a matching rule leaves it: nullopt when it is dropped (or
// cannot be redacted); otherwise redacted by the first redact rule that
// matches. A drop rule wins over a redact rule wherever it stands.
class PrivacyFilter {
 public:
  void SetRules(std::vector<PrivacyRule> rules);
  const std::vector<PrivacyRule>& rules() const { return rules_; }
  // One per rule.
  const std::vector<RuleStatus>& statuses() const { return statuses_; }
  std::optional<FoundDoc> Apply(const FoundDoc& found) const;

 private:
  struct Compiled {
    std::shared_ptr<const RulePattern>
        pattern;  // empty for a plain-text rule or a broken expression
    std::string lower_text;
  };
  bool Matches(const PrivacyRule& rule, const Compiled& compiled, const FoundDoc& found) const;
  std::vector<PrivacyRule> rules_;
  std::vector<Compiled> compiled_;
  std::vector<RuleStatus> statuses_;
};

// A web page keeps its scheme, host and port ("https://host:8080/", named by
// the host; no user name or password, no path or query); a folder its top
// folder; a program its path, named by its file name. nullopt when there is
// no host or folder to keep.
std::optional<FoundDoc> Redacted(const FoundDoc& found);

// The drop rule that keeps a record's kind of thing out from now on: every
// page of its host, the program itself, the folder and what is below it.
PrivacyRule DropRuleFor(const DocRecord& doc);
// The positions of the stored records a drop rule keeps out, in order.
std::vector<int32_t> PositionsDroppedBy(const PrivacyRule& rule, const DocArray& docs);

class RecordingGate {
 public:
  // `registry` may be null (nothing to ask). `now` is the clock the
  // Windows setting is re-read by (at most once a second).
  explicit RecordingGate(Registry* registry,
                         std::function<std::chrono::steady_clock::time_point()> now = {});

  void SetPaused(bool paused) { paused_ = paused; }
  bool paused() const { return paused_; }
  // The rules could not be read: recording stays off for the run.
  void SetRulesUnreadable(bool unreadable) { rules_unreadable_ = unreadable; }
  RecordingState State();
  PrivacyFilter& filter() { return filter_; }
  const PrivacyFilter& filter() const { return filter_; }

  // What may be kept of `found` (by a refresh, the close-time snapshot, the
  // search's picks, the recent list), changed as the rules say; false:
  // nothing (recording is off, a private window, or a rule drops it).
  bool Admit(FoundDoc& found);

 private:
  Registry* registry_;
  std::function<std::chrono::steady_clock::time_point()> now_;
  std::optional<std::chrono::steady_clock::time_point> asked_;
  bool windows_tracks_ = true;
  bool policy_off_ = false;
  bool paused_ = false;
  bool rules_unreadable_ = false;
  PrivacyFilter filter_;
};

}  // namespace zd
