// Removing documents from the history: chosen records (with a rebuild of the
// trees and of section "docs") or the whole history. Both wait for the
// start-up load, which pumps messages while it reads section "docs".
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "store/config.h"
#include "tracking/tracker.h"
#include "tracking/tree_model.h"

namespace zd {

struct HistoryEditHooks {
  // Switches TimerCheckDocs off (false) and on again (true).
  std::function<void(bool)> refresh_timer;
  // Around a rebuild: the trees stop drawing (true) and draw once after (false).
  std::function<void(bool)> bulk_update;
  // After a deletion: the paths of the records that left the history (every
  // record with `all`), for what else keeps them (the search's picks).
  std::function<void(const std::set<std::string>& paths, bool all)> forgotten;
};

class HistoryEditor {
 public:
  HistoryEditor(DocStore& store, DocTracker& tracker, TrackerTrees trees, HistoryEditHooks hooks);
  HistoryEditor(const HistoryEditor&) = delete;
  HistoryEditor& operator=(const HistoryEditor&) = delete;

  // Removes the records at these positions (out-of-range ones are ignored) in
  // one rebuild: the trees are cleared and every other record is registered
  // again in order, keeping its date and its auto-run choice (`selected`).
  // The recent list keeps its order; the lines of removed records leave it,
  // and the last session's list; both files are written at once. Favourites
  // and the auto-run list are not touched.
  void DeleteSelectDocs(const std::vector<int32_t>& positions);
  // "删除所选": the records of the tree's selected nodes (the focused node
  // when none is marked), a group's with every record under it, all in one
  // rebuild. When that is more than one record, `confirm` is asked first
  // with their number (unset: yes); false leaves everything as it was.
  void DeleteSelectedDoc(const TreeModel& tree,
                         const std::function<bool(size_t count)>& confirm = {});
  // Empties the history, the trees, the recent list and the last session's
  // list (both files written at once) and erases section "docs"; the
  // refresh timer is switched on again even after a failure.
  void DeleteAllDocs();

  // True while a request waits for the start-up load to end.
  bool waiting() const { return wait_all_ || !wait_paths_.empty(); }
  int rebuilds() const { return rebuilds_; }

 private:
  void RunWaiting();
  void Rebuild(const std::set<std::string>& doomed_paths);
  void ClearAll();
  // The lists and files beyond the history that name forgotten records.
  void Forget(const std::set<std::string>& paths, bool all);

  DocStore& store_;
  DocTracker& tracker_;
  TrackerTrees trees_;
  HistoryEditHooks hooks_;
  // Requests made during the load, by path: positions change with a rebuild,
  // a path names its record for the whole run.
  std::set<std::string> wait_paths_;
  bool wait_all_ = false;
  bool wait_scheduled_ = false;
  int rebuilds_ = 0;
};

// The positions of the records behind a tree's selected nodes (the focused
// node when none is marked) and every node under them, each once, in tree order.
std::vector<int32_t> SelectedDocPositions(const TreeModel& tree);

}  // namespace zd
