#include "app/application.h"

#include "lang/lang_tables.h"
#include "launch/autorun_selection.h"
#include "launch/hotkey.h"
#include "platform/errors.h"
#include "store/program_files.h"
#include "store/settings_file.h"

namespace zd {
namespace {

// A hook that may be unset.
template <typename F, typename... Args>
void Call(const F& f, Args&&... args) {
  if (f) f(std::forward<Args>(args)...);
}

}  // namespace

Application::Application(Files* files, const AnsiCodec* codec) {
  store_.files = files;
  store_.codec = codec;
}

Application::~Application() = default;

void Application::StartServices(TrackerTrees trees, IconSource* images, AppServices services,
                                AppHooks hooks) {
  services_ = std::move(services);
  hooks_ = std::move(hooks);
  recording_ = std::make_unique<Recording>(store_, *services_.windows, *services_.shared_files,
                                           services_.user_folders, services_.registry,
                                           hooks_.browser_pages_read, services_.recent_items,
                                           hooks_.recent_files_read);
  TrackerHooks tracker_hooks;
  tracker_hooks.admit = [this](FoundDoc& found) { return recording_->Admit(found); };
  tracker_hooks.read_browser_pages = [this](const WindowPass& pass) {
    Call(hooks_.before_browser_read);
    recording_->ReadBrowserPages(pass);
  };
  tracker_hooks.browser_pages = [this] { return recording_->BrowserPagesFound(); };
  tracker_hooks.read_recent_files = [this] { recording_->ReadRecentFiles(); };
  tracker_hooks.recent_files = [this] { return recording_->RecentFilesFound(); };
  tracker_hooks.file_of_window = [this](const FoundDoc& window) {
    return recording_->FileOfWindow(window);
  };
  tracker_hooks.pump = [this] { Call(hooks_.pump); };
  tracker_hooks.stop_load = [this] { return exit_during_load_; };
  tracker_hooks.sleep_ms = hooks_.sleep_ms;
  tracker_hooks.step_progress = [this] { Call(hooks_.step_progress); };
  tracker_hooks.reset_progress = [this] { Call(hooks_.reset_progress); };
  tracker_hooks.today = hooks_.today;
  tracker_ = std::make_unique<DocTracker>(store_, trees, *services_.windows, *services_.shell,
                                          images, tracker_hooks);

  OpenHooks open_hooks;
  open_hooks.message = [this](const std::string& text) { Call(hooks_.message, text); };
  open_hooks.show_hint = [this](const std::string& path) { Call(hooks_.show_hint, path); };
  open_hooks.admit = [this](FoundDoc& found) { return recording_->Admit(found); };
  opener_ = std::make_unique<DocOpener>(*services_.launcher, store_.MyRecentList, open_hooks);

  HistoryEditHooks history_hooks;
  history_hooks.refresh_timer = [this](bool on) { Call(hooks_.refresh_timer, on); };
  history_hooks.bulk_update = [this](bool frozen) { Call(hooks_.bulk_update, frozen); };
  history_hooks.forgotten = [this](const std::set<std::string>& paths, bool all) {
    Call(hooks_.forgotten, paths, all);
  };
  history_ = std::make_unique<HistoryEditor>(store_, *tracker_, trees, history_hooks);
}

StartFiles Application::ReadStartFiles() {
  StartFiles start;
  OpenSettingsFile(store_);
  // The interface thread never waits for the disk; the exit waits for it.
  if (store_.settings) store_.settings->WriteInBackground();
  start.hotkey = store_.settings ? ReadDefaultSettings(*store_.settings).hotkey
                                 : static_cast<int>(kDefaultHotkey);
  LoadLastRunList(store_);
  start.note = LoadNote(store_);
  return start;
}

FirstLoadResult Application::FirstLoad() {
  FirstLoadResult result;
  if (load_done_) return result;
  load_done_ = true;
  loading_ = true;
  {
    // The whole load writes the settings file once, at its end.
    std::optional<SettingsFile::Hold> hold;
    if (store_.settings) hold.emplace(*store_.settings);
    try {
      // The pause and the privacy rules first: what the history shows may
      // ask for the recording's state.
      recording_->Load();
      ListFileLoad(store_.MyLoveList, *store_.files, *store_.codec,
                   store_.ConfigDir + kFavFileName);
      if (store_.settings) {
        result.stored = ReadDefaultSettings(*store_.settings);
        for (TreeModel* tree : tracker_->trees().All()) {
          if (tree) tree->Clear();
        }
        tracker_->ResetImages();
        Call(hooks_.pump);
        Call(hooks_.bulk_update, true);
        result.whole = !exit_during_load_ && tracker_->LoadHistory(*store_.settings);
        Call(hooks_.bulk_update, false);
        settings_applied_ = result.whole;
      }
    }
    ZD_CATCH_LOG("FirstLoad")
    // Ended meanwhile: a list not read is not written back either.
    if (!exit_during_load_) {
      try {
        ListFileLoad(store_.MyRunList, *store_.files, *store_.codec,
                     store_.ConfigDir + kRunFileName);
        Call(hooks_.step_progress);
        ListFileLoad(store_.MyRecentList, *store_.files, *store_.codec,
                     store_.ConfigDir + kRecentFileName);
        Call(hooks_.step_progress);
        Call(hooks_.step_progress);
      }
      ZD_CATCH_LOG("FirstLoad")
    }
  }
  loading_ = false;
  result.ended = exit_during_load_;
  if (result.ended) return result;
  result.unread = FilesNotReadAtStart(store_);
  // The privacy rules too: recording stays off until they are read.
  if (recording_->rules_unreadable()) result.unread.push_back(recording_->RulesPath());
  return result;
}

bool Application::ExitDuringLoad() {
  if (!loading_) return false;
  exit_during_load_ = true;
  return true;
}

void Application::FinishStart(bool auto_run, bool query,
                              const std::function<bool(const std::string&)>& ask) {
  if (exit_during_load_ || !load_done_ || loading_) return;
  const std::vector<AutoRunDoc> docs = settings_applied_ && auto_run
                                           ? AutoRunDocs(store_.docs, store_.MyRunList)
                                           : std::vector<AutoRunDoc>{};
  if (!docs.empty()) {
    const lang::InterfaceTexts& texts = lang::Texts();
    if (!query ||
        (ask && ask(AutoRunQuestionText(docs, texts.AutoRunQuestion, texts.AutoRunMore)))) {
      OpenAutoRunDocs(docs, *opener_, *services_.launcher);
    }
  }
  // A refresh asked for during the load runs now; a close waits for its end.
  tracker_->HistoryLoaded();
}

std::vector<SessionDoc> Application::LastSessionDocs(const std::string& exe_path) const {
  return zd::LastSessionDocs(store_.LastRunList, exe_path, *services_.launcher, store_.docs);
}

void Application::CollectOpenDocs() { tracker_->CollectOpenDocs(); }

std::optional<ExitSaveResult> Application::SaveAtExit(const WindowSettings& window) {
  if (saved_) return std::nullopt;
  saved_ = true;
  WindowSettings w = window;
  w.shows_stored_settings = settings_applied_;
  try {
    return RunExitSequence(store_, w);
  }
  ZD_CATCH_LOG("SaveAtExit")
  return std::nullopt;
}

void Application::EndSession(const WindowSettings& window) {
  if (saved_) return;
  CollectOpenDocs();
  SaveAtExit(window);
  // Saved with the load still running (its held writes would come too late),
  // and on disk before Windows may end the process.
  if (store_.settings) store_.settings->WaitForWrites();
}

}  // namespace zd
