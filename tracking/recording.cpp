#include "tracking/recording.h"

#include "store/AppParams.h"
#include "store/settings_keys.h"
#include "tracking/doc_kinds.h"

namespace zd {

Recording::Recording(DocStore& store, WindowSystem& windows, SharedFiles& files,
                     UserFolders folders, Registry* registry, std::function<void()> pages_read)
    : store_(store),
      windows_(windows),
      reader_(files, std::move(folders), std::move(pages_read)),
      gate_(registry) {
  // Until the file is read, nothing may be written over it, and nothing is
  // recorded (a close before the start-up load keeps no snapshot).
  rules_origin_.unreadable = true;
  gate_.SetRulesUnreadable(true);
}

void Recording::Load() {
  if (store_.settings) {
    gate_.SetPaused(store_.settings->ReadBool(setting::kPauseRecording.section,
                                              setting::kPauseRecording.name, false));
  }
  if (store_.files && store_.codec) {
    gate_.filter().SetRules(
        LoadPrivacyRules(*store_.files, *store_.codec, store_.ConfigDir, rules_origin_));
  }
  // Rules that exist but cannot be read may keep anything out: nothing is
  // recorded this run.
  gate_.SetRulesUnreadable(rules_origin_.unreadable);
}

void Recording::SetPaused(bool paused) {
  gate_.SetPaused(paused);
  if (store_.settings) {
    store_.settings->WriteBool(setting::kPauseRecording.section, setting::kPauseRecording.name,
                               paused);
  }
}

bool Recording::SaveRules(std::vector<PrivacyRule> rules) {
  const bool saved =
      store_.files && store_.codec &&
      SavePrivacyRules(*store_.files, *store_.codec, store_.ConfigDir, rules, rules_origin_);
  if (saved) rules_origin_.loaded = true;
  gate_.filter().SetRules(std::move(rules));
  return saved;
}

bool Recording::AddRule(const PrivacyRule& rule) {
  std::vector<PrivacyRule> rules = gate_.filter().rules();
  rules.push_back(rule);
  return SaveRules(std::move(rules));
}

bool Recording::DeleteRule(size_t index) {
  std::vector<PrivacyRule> rules = gate_.filter().rules();
  if (index >= rules.size()) return false;
  rules.erase(rules.begin() + static_cast<std::ptrdiff_t>(index));
  return SaveRules(std::move(rules));
}

std::string Recording::RulesPath() const { return store_.ConfigDir + kPrivacyRulesFileName; }

bool Recording::rules_unreadable() const { return rules_origin_.unreadable; }

void Recording::ReadBrowserPages() {
  if (gate_.State() == RecordingState::kOn) reader_.Request(FindRunningBrowsers(windows_));
}

void Recording::ReadBrowserPages(const WindowPass& pass) {
  if (gate_.State() == RecordingState::kOn) reader_.Request(FindRunningBrowsers(pass));
}

std::vector<FoundDoc> Recording::BrowserPagesFound() {
  std::vector<FoundDoc> found;
  std::optional<std::vector<OpenBrowserPage>> pages = reader_.Take();
  // A read asked for before a pause is dropped when it comes in.
  if (!pages || gate_.State() != RecordingState::kOn) return found;
  for (OpenBrowserPage& page : *pages) {
    if (page.kind != BrowserAddressKind::kWebPage) continue;
    found.push_back(
        FoundDoc{std::move(page.url), std::move(page.title), std::move(page.program), DocKind::kWeb});
  }
  return found;
}

}  // namespace zd
