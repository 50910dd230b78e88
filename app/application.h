// The application without its window: it owns the document store and the
// services that work on it (the recording, the tracker, the opener, the
// history editor), and runs the start, the first load, the documents opened
// at start, the last session and the exit save. The window shows what it
// holds and passes the user's input on; what it must show or ask comes back
// through the hooks.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "launch/last_session.h"
#include "launch/open_docs.h"
#include "platform/recent_items.h"
#include "platform/shared_files.h"
#include "store/config.h"
#include "store/startup_load.h"
#include "tracking/history_edit.h"
#include "tracking/recording.h"
#include "tracking/tracker.h"

namespace zd {

// The system's parts the services use; the caller keeps them alive.
struct AppServices {
  WindowSystem* windows = nullptr;
  ShellWindows* shell = nullptr;
  SharedFiles* shared_files = nullptr;
  UserFolders user_folders;
  Registry* registry = nullptr;
  ShellLauncher* launcher = nullptr;
  // The shell's Recent items and jump lists, made on their reader's thread;
  // unset: no files are read.
  std::function<std::unique_ptr<RecentItems>()> recent_items;
};

// What the application asks of whoever shows it. Unset hooks do nothing.
struct AppHooks {
  // Pending window messages served, during a load or a refresh.
  std::function<void()> pump;
  std::function<void(int)> sleep_ms;
  std::function<void()> step_progress;
  std::function<void()> reset_progress;
  std::function<std::string()> today;
  // Called on the browsers' reader thread when a read has finished.
  std::function<void()> browser_pages_read;
  // Called on the Recent items' reader thread when a read has finished.
  std::function<void()> recent_files_read;
  // Before each read of the browsers' files (the privacy line follows
  // Windows' own setting).
  std::function<void()> before_browser_read;
  std::function<void(const std::string& text)> message;
  std::function<void(const std::string& path)> show_hint;
  // The refresh timer off (false) and on again (true), around an edit.
  std::function<void(bool)> refresh_timer;
  // Around a rebuild of the trees.
  std::function<void(bool)> bulk_update;
  // Records that left the history (every one with `all`).
  std::function<void(const std::set<std::string>& paths, bool all)> forgotten;
};

// What the start read before the window shows.
struct StartFiles {
  int hotkey = 0;
  std::optional<std::string> note;
};

// What the first load found, for the window to show.
struct FirstLoadResult {
  // The stored "default" keys, when the settings file could be opened.
  std::optional<DefaultSettings> stored;
  // The history was read to its end: `stored` goes into the controls.
  bool whole = false;
  // "退出" was chosen during the load: it stopped there and opens nothing.
  bool ended = false;
  // Files that exist but could not be read (never written back this run).
  std::vector<std::string> unread;
};

class Application {
 public:
  Application(Files* files, const AnsiCodec* codec);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  DocStore& store() { return store_; }
  const DocStore& store() const { return store_; }

  // The services, once the trees that show the history exist.
  void StartServices(TrackerTrees trees, IconSource* images, AppServices services, AppHooks hooks);
  bool started() const { return tracker_ != nullptr; }
  Recording& recording() { return *recording_; }
  DocTracker& tracker() { return *tracker_; }
  DocOpener& opener() { return *opener_; }
  HistoryEditor& history() { return *history_; }
  ShellLauncher& launcher() { return *services_.launcher; }

  // Before the window shows: the settings file (written in the background
  // from now on), the last session's list and the note.
  StartFiles ReadStartFiles();

  // The first load: the recording's state and rules, the favourites, the
  // history, the auto-run and recent lists. The settings file is written
  // once, at its end. Runs once.
  FirstLoadResult FirstLoad();
  bool loading() const { return loading_; }
  bool load_done() const { return load_done_; }
  bool settings_applied() const { return settings_applied_; }
  // "退出": during the load the load ends at its next step (true), and the
  // caller ends after it; otherwise false.
  bool ExitDuringLoad();
  bool exit_during_load() const { return exit_during_load_; }

  // After the first load: the documents chosen for opening at start (when
  // its settings were applied; `ask` is asked once when `query` is set),
  // then the refreshes that waited for the history run.
  void FinishStart(bool auto_run, bool query, const std::function<bool(const std::string&)>& ask);

  // What "恢复上次打开的文档" would open.
  std::vector<SessionDoc> LastSessionDocs(const std::string& exe_path) const;

  // The close request: what is open now is what the next start may reopen.
  void CollectOpenDocs();
  // The exit save, once per run; nullopt when it ran already.
  std::optional<ExitSaveResult> SaveAtExit(const WindowSettings& window);
  // The session's end: the open documents taken, everything saved and on
  // disk before Windows may end the process.
  void EndSession(const WindowSettings& window);

 private:
  DocStore store_;
  AppServices services_;
  AppHooks hooks_;
  std::unique_ptr<Recording> recording_;
  std::unique_ptr<DocTracker> tracker_;
  std::unique_ptr<DocOpener> opener_;
  std::unique_ptr<HistoryEditor> history_;
  bool loading_ = false;
  bool load_done_ = false;
  bool exit_during_load_ = false;
  bool settings_applied_ = false;
  bool saved_ = false;
};

}  // namespace zd
