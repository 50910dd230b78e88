// The refresh cycle: scans what is open and registers each document not yet
// remembered (AddMyDoc), filling DocArray, the trees, the recent list and the
// settings; also the history part of the start-up load and the close-time
// snapshot. Runs on the interface thread; the pump hook serves window
// messages between items, so a refresh can be asked for while one runs: it is
// then remembered and run once the running one ends, never nested. A refresh
// writes the settings file once, at its end.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/icon_source.h"
#include "platform/shell_windows.h"
#include "platform/window_system.h"
#include "store/config.h"
#include "store/settings_file.h"
#include "tracking/discovery.h"
#include "tracking/doc_index.h"
#include "tracking/doc_kinds.h"
#include "tracking/found_doc.h"
#include "tracking/tree_model.h"

namespace zd {

struct TrackerHooks {
  std::function<void()> pump;  // serve pending window messages (may start another refresh!)
  std::function<void(int)> sleep_ms;
  std::function<void()> step_progress;
  std::function<void()> reset_progress;
  std::function<std::string()> today;  // "yyyy-mm-dd"; the local date when unset
  // What a refresh found, before it is registered: may change it (a rule
  // redacts it) or keep it out (false). Unset: everything is registered.
  std::function<bool(FoundDoc&)> admit;
  // Asks for the browsers' own files to be read again, the browsers found
  // in the refresh's pass over the windows; never waits: their pages come
  // through browser_pages once read.
  std::function<void(const WindowPass&)> read_browser_pages;
  // The pages of the browsers' latest finished read not taken before,
  // registered after the shell windows' lines (also when the shell scan
  // failed), and whenever a read finishes (BrowserPagesRead).
  std::function<std::vector<FoundDoc>()> browser_pages;
  // Asks for the shell's Recent items and jump lists to be read again; never
  // waits: the files come through recent_files once read.
  std::function<void()> read_recent_files;
  // The files (and folders) of the latest finished read not taken before,
  // each with the day it was opened in `opened`.
  std::function<std::vector<FoundDoc>()> recent_files;
  // The known file a program's window shows, from its title; nullopt for none.
  std::function<std::optional<FoundDoc>(const FoundDoc& window)> file_of_window;
  // True once the user has ended the program during the history load (the
  // pump served the exit): the load stops at its next record.
  std::function<bool()> stop_load;
};

struct TrackerTrees {
  TreeModel* docs = nullptr;  // TVDocs: every kind
  // Each kind's own tree (TVDoc, TVApp, TVPath), in the order of kKinds.
  std::array<TreeModel*, kKindCount> kinds{};
  TreeModel* Of(DocKind kind) const { return kinds[KindIndex(kind)]; }
  // TVDocs, then each kind's.
  std::vector<TreeModel*> All() const;
};

class DocTracker {
 public:
  DocTracker(DocStore& store, TrackerTrees trees, WindowSystem& windows, ShellWindows& shell,
             IconSource* icons, TrackerHooks hooks);
  DocTracker(const DocTracker&) = delete;
  DocTracker& operator=(const DocTracker&) = delete;

  // The trees it fills.
  const TrackerTrees& trees() const { return trees_; }

  // Registers one document; true when a record was appended to DocArray (it
  // then counts as registered even if a later step failed). Never throws.
  // `image`: the image a program had before (a rebuild of the trees), taken
  // as it is: no icon is read and its file is not asked about.
  // A document other than a program is a folder when its address is a
  // "file:///" one, else a web page. The date is today's when empty.
  bool AddMyDoc(const FoundDoc& found, const std::string& date = {},
                std::optional<int> image = std::nullopt) noexcept;
  // AddMyDoc with today's date unless the path is registered already.
  void AddAppDoc(const FoundDoc& found);

  // Refill the scan lists. ScanShellWindows answers whether the scan went
  // through to the end (a failure keeps the lines gathered before it).
  // ScanAppWindows takes a new pass over the windows, which the rest of the
  // running refresh reads.
  void ScanAppWindows();
  bool ScanShellWindows();

  // Refreshes. While one runs, a further request is remembered (one at a
  // time; differing requests widen to CheckAllDocs) and runs when it ends.
  void CheckAppDocs();
  void CheckShellDocs();
  void CheckAllDocs();
  // What a tree of one kind shows: web pages and folders come from the shell
  // windows, programs from the program windows; any other kind refreshes nothing.
  void CheckKindDocs(std::optional<DocKind> kind);

  // The browsers' reader has finished a read: its pages are registered now,
  // or at the end of the refresh that is running, or at the end of the
  // start-up load (never nested).
  void BrowserPagesRead();
  // The same for a read of the shell's Recent items and jump lists.
  void RecentFilesRead();

  // The close-time snapshot into store.LastRunList (which then counts as loaded).
  void CollectOpenDocs() noexcept;
  void AddLastRun(const std::string& text);

  bool IsDocRegistered(const std::string& address) const;
  bool IsRootRegistered(const std::string& root) const;
  // The image of a program document: 1 when its file is missing, the special
  // places' images by name, else its icon put into the image list at the next
  // position from 11 up. -1 when the icon could not be inserted (the position
  // is then not used up). A file that could not be asked about (a network
  // path) gets the plain program picture, without reading its icon.
  int GetAppImageIndex(const std::string& executable, const std::string& name);
  // The trees were emptied: the image list holds only its built-in pictures
  // again, and the next icon goes to 11.
  void ResetImages();

  // The history part of the start-up load: every stored position of
  // section "docs", holes skipped, re-registered through AddMyDoc in order
  // (known paths skipped), so the section is rewritten from position 0. The
  // stored records are all read before the first registration, so nothing
  // registered meanwhile overwrites one not read yet. The keys of positions
  // at and above the new count are erased. Settings writes are held and
  // reach the file once, at the end. Pumps after each registration.
  // The caller clears the trees first. Programs get the plain program picture
  // and are marked image_pending: ResolvePendingImages gives them theirs.
  // Stopped by hooks.stop_load, it leaves the keys it has not rewritten as
  // they were (erasing none), so that the next start loads them all. False
  // when it was stopped.
  bool LoadHistory(SettingsFile& settings);
  // Gives pending programs their images (GetAppImageIndex) in history order,
  // with their nodes in the trees, at least one per call, and more while
  // `more` answers true. True when none is left.
  bool ResolvePendingImages(const std::function<bool()>& more);
  // After store.docs was changed other than by appending.
  void RebuildIndex();
  // Refreshes asked for before the start-up load has run wait for it: each
  // registration writes its keys at its position, over stored records not
  // read yet. The start-up load calls this at its end; the refresh asked for
  // meanwhile (the widest one) then runs once.
  void HistoryLoaded();
  bool history_loaded() const { return history_loaded_; }
  // Runs `work` now when the start-up load has ended, else at its end (in
  // the order asked, before the refresh that waited for it).
  void AfterHistoryLoad(std::function<void()> work);

  const std::vector<FoundDoc>& AppWindowList() const { return app_list_; }
  const std::vector<FoundDoc>& ShellWindowList() const { return shell_list_; }
  int AppImageCounter() const { return app_image_counter_; }
  void SetAppImageCounter(int value) { app_image_counter_ = value; }
  bool refreshing() const { return refreshing_; }

 private:
  enum class RefreshKind { kApp, kShell, kKind, kAll, kBrowserPages, kRecentFiles };
  struct Refresh {
    RefreshKind kind = RefreshKind::kAll;
    DocKind doctype = DocKind::kWeb;  // for kKind
    bool operator==(const Refresh&) const = default;
  };

  void Request(Refresh refresh);
  void Defer(const Refresh& refresh);
  void Run(const Refresh& refresh);
  void RunApp();
  // False when the scan failed and none of its lines was registered; the
  // browsers' pages come after the shell's unless only folders are asked for.
  bool RunShell(bool with_browser_pages = true);
  // Registers the pages of the browsers' latest finished read, after asking
  // for the next read when `read_again`.
  void RunBrowserPages(bool read_again);
  // Registers the files of the latest finished read of the shell's lists
  // (and notes when each known one was seen), after asking for the next read
  // when `read_again`.
  void RunRecentFiles(bool read_again);
  // A file found again: its last day seen and its program. Not registered.
  void NoteFileSeen(const FoundDoc& found, const std::string& date);
  // Registers the files of section-less storage (files.dat), after the
  // section's records. False when stopped.
  bool LoadFileHistory();
  bool Admit(FoundDoc& found);
  void RunAll();
  void RunKind(DocKind kind);

  void Pump();
  bool LoadStopped() const;
  void Sleep(int ms);
  void StepProgress();
  std::string Today();
  void FlushHeldRecent();

  DocStore& store_;
  TrackerTrees trees_;
  WindowSystem& windows_;
  ShellWindows& shell_;
  IconSource* icons_;
  TrackerHooks hooks_;
  // Kept in step with store_.docs lazily (see DocIndex::Sync).
  mutable DocIndex index_;
  // The running refresh's one pass over the windows (WindowPass()), taken
  // when first needed and dropped when the refresh ends.
  std::optional<WindowPass> window_pass_;
  const WindowPass& TheWindowPass();
  std::vector<FoundDoc> app_list_;
  std::vector<FoundDoc> shell_list_;
  int app_image_counter_ = 0;
  // ResolvePendingImages goes on from here; a history rebuilt (another
  // generation) is walked again from its start.
  size_t image_cursor_ = 0;
  uint64_t image_generation_ = 0;
  bool refreshing_ = false;
  bool history_loaded_ = false;
  std::optional<Refresh> pending_;
  // A read of the browsers' files finished while registration had to wait.
  bool browser_pages_waiting_ = false;
  bool recent_files_waiting_ = false;
  std::vector<std::function<void()>> after_load_;
  // During the history load, the recent list's additions (path, name).
  std::optional<std::vector<std::pair<std::string, std::string>>> held_recent_;
};

}  // namespace zd
