#include "tracking/recording.h"

#include "store/program_files.h"
#include "store/settings_keys.h"
#include "tracking/doc_kinds.h"

namespace zd {

Recording::Recording(DocStore& store, WindowSystem& windows, SharedFiles& files,
                     UserFolders folders, Registry* registry, std::function<void()> pages_read,
                     std::function<std::unique_ptr<RecentItems>()> make_recent,
                     std::function<void()> files_read)
    : store_(store),
      windows_(windows),
      reader_(files, std::move(folders), std::move(pages_read)),
      recent_(std::move(make_recent), std::move(files_read)),
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
    if (page.kind == BrowserAddressKind::kLocalFile && !page.local_path.empty()) {
      // A local file a browser shows (a PDF, say) is a file document.
      std::string name = FileNameOfPath(page.local_path);
      found.push_back(FoundDoc{std::move(page.local_path), std::move(name), std::move(page.program),
                               DocKind::kFile});
      continue;
    }
    if (page.kind != BrowserAddressKind::kWebPage) continue;
    found.push_back(FoundDoc{std::move(page.url), std::move(page.title), std::move(page.program),
                             DocKind::kWeb});
  }
  return found;
}

void Recording::ReadRecentFiles() {
  if (gate_.State() == RecordingState::kOn) recent_.Request();
}

std::vector<FoundDoc> Recording::RecentFilesFound() {
  std::vector<FoundDoc> found;
  std::optional<std::vector<RecentFile>> files = recent_.Take();
  // Windows' switch off (or a pause) since the read was asked for: dropped.
  if (!files || gate_.State() != RecordingState::kOn) return found;
  title_files_.Clear();
  // The oldest first, so that the newest ends on top of the recent list.
  for (auto it = files->rbegin(); it != files->rend(); ++it) {
    RecentFile& file = *it;
    if (file.folder) {
      // A link to a folder belongs to the folders' kind, in the shell's form.
      std::string address = "file:///" + file.path;
      for (char& c : address) {
        if (c == '\\') c = '/';
      }
      found.push_back(FoundDoc{address, address, "explorer.exe", DocKind::kFolder});
      continue;
    }
    title_files_.Add(file.path, file.opened);
    FoundDoc doc{file.path, FileNameOfPath(file.path), "", DocKind::kFile};
    doc.opened = file.opened;
    found.push_back(std::move(doc));
  }
  return found;
}

std::optional<FoundDoc> Recording::FileOfWindow(const FoundDoc& window) const {
  if (window.kind != DocKind::kProgram || title_files_.empty()) return std::nullopt;
  std::optional<std::string> path = title_files_.FileOf(window.name);
  if (!path) return std::nullopt;
  std::string name = FileNameOfPath(*path);
  return FoundDoc{std::move(*path), std::move(name), window.program, DocKind::kFile};
}

}  // namespace zd
