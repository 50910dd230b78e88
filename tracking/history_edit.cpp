#include "tracking/history_edit.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_set>

#include "platform/errors.h"
#include "store/doc.h"
#include "store/program_files.h"
#include "tracking/doc_kinds.h"

namespace zd {
namespace {

// Calls `hook`(first) now and `hook`(!first) when it goes, whatever
// happened in between.
class Bracket {
 public:
  Bracket(std::function<void(bool)> hook, bool first) : hook_(std::move(hook)), first_(first) {
    Call(first_);
  }
  ~Bracket() { Call(!first_); }
  Bracket(const Bracket&) = delete;
  Bracket& operator=(const Bracket&) = delete;

 private:
  void Call(bool value) noexcept {
    try {
      if (hook_) hook_(value);
    }
    ZD_CATCH_LOG("HistoryEditor")
  }
  std::function<void(bool)> hook_;
  bool first_;
};

std::string_view LinePath(std::string_view line) {
  const size_t sep = line.find(kLineSep);
  return sep == std::string_view::npos ? std::string_view() : line.substr(0, sep);
}

void ClearTrees(const TrackerTrees& trees) {
  for (TreeModel* tree : trees.All()) {
    if (tree) tree->Clear();
  }
}

}  // namespace

HistoryEditor::HistoryEditor(DocStore& store, DocTracker& tracker, TrackerTrees trees,
                             HistoryEditHooks hooks)
    : store_(store), tracker_(tracker), trees_(trees), hooks_(std::move(hooks)) {}

std::vector<int32_t> SelectedDocPositions(const TreeModel& tree) {
  std::vector<TreeNode*> nodes = tree.SelectedTopmost();
  std::vector<int32_t> positions;
  // A group node stands for its first record; the records of its children go with it.
  std::function<void(const TreeNode&)> add = [&](const TreeNode& node) {
    if (std::find(positions.begin(), positions.end(), node.data.index) == positions.end()) {
      positions.push_back(node.data.index);
    }
    for (const auto& child : node.children) add(*child);
  };
  for (const TreeNode* node : nodes) add(*node);
  return positions;
}

void HistoryEditor::DeleteSelectedDoc(const TreeModel& tree,
                                      const std::function<bool(size_t count)>& confirm) {
  const std::vector<int32_t> positions = SelectedDocPositions(tree);
  if (positions.empty()) return;
  if (positions.size() > 1 && confirm && !confirm(positions.size())) return;
  DeleteSelectDocs(positions);
}

void HistoryEditor::DeleteSelectDocs(const std::vector<int32_t>& positions) {
  std::set<std::string> paths;
  for (const int32_t position : positions) {
    if (position < 0 || static_cast<size_t>(position) >= store_.docs.size()) continue;
    paths.insert(store_.docs[static_cast<size_t>(position)].path);
  }
  if (paths.empty()) return;
  if (tracker_.history_loaded()) {
    Rebuild(paths);
    return;
  }
  // The load is still reading section "docs": erasing it now would lose
  // what it has not read yet.
  wait_paths_.insert(paths.begin(), paths.end());
  if (!wait_scheduled_) {
    wait_scheduled_ = true;
    tracker_.AfterHistoryLoad([this] { RunWaiting(); });
  }
}

void HistoryEditor::DeleteAllDocs() {
  if (tracker_.history_loaded()) {
    ClearAll();
    return;
  }
  wait_all_ = true;
  if (!wait_scheduled_) {
    wait_scheduled_ = true;
    tracker_.AfterHistoryLoad([this] { RunWaiting(); });
  }
}

void HistoryEditor::RunWaiting() {
  wait_scheduled_ = false;
  const bool all = wait_all_;
  const std::set<std::string> paths = std::move(wait_paths_);
  wait_all_ = false;
  wait_paths_.clear();
  // Clearing everything covers any choice made besides it.
  if (all) {
    ClearAll();
  } else if (!paths.empty()) {
    Rebuild(paths);
  }
}

void HistoryEditor::ClearAll() {
  Bracket timer(hooks_.refresh_timer, false);
  ClearTrees(trees_);
  tracker_.ResetImages();
  store_.MyRecentList.Clear();
  store_.docs.clear();
  ++store_.docs_generation;
  tracker_.RebuildIndex();
  if (store_.settings) store_.settings->EraseSection(kSectionDocs);
  store_.file_seen.clear();
  store_.files_changed = true;
  ++rebuilds_;
  Forget({}, true);
}

void HistoryEditor::Forget(const std::set<std::string>& paths, bool all) {
  std::unordered_set<std::string> keys;
  for (const std::string& path : paths) keys.insert(DocPathKey(path));
  std::erase_if(store_.LastRunList, [&](const std::string& location) {
    return all || keys.count(DocPathKey(RegistrationKey(location))) != 0;
  });
  // On disk now: a crash before the exit must not bring them back.
  if (store_.files && store_.codec) {
    if (store_.MyRecentList.loaded()) {
      ListFileSave(store_.MyRecentList, *store_.files, *store_.codec,
                   store_.ConfigDir + kRecentFileName);
    }
    if (store_.last_run_loaded) SaveLastRunList(store_);
    SaveFileHistory(store_);
  }
  if (hooks_.forgotten) hooks_.forgotten(paths, all);
}

void HistoryEditor::Rebuild(const std::set<std::string>& doomed_paths) {
  DocArray kept;
  std::vector<const DocRecord*> doomed;
  kept.reserve(store_.docs.size());
  for (const DocRecord& doc : store_.docs) {
    if (doomed_paths.count(doc.path)) {
      doomed.push_back(&doc);
    } else {
      kept.push_back(doc);
    }
  }
  if (doomed.empty()) return;
  for (const DocRecord* doc : doomed) {
    if (doc->doctype != DocKind::kFile) continue;
    store_.file_seen.erase(DocPathKey(doc->path));
    store_.files_changed = true;
  }

  // The recent list as it stands, without the lines of the removed records:
  // re-registering would otherwise put kept records missing from it on top.
  // A folder's line may hold it with "/" or "\", with or without the trailing
  // "\" that opening it gives, in any letter case: compared by DocPathKey.
  std::unordered_set<std::string> doomed_lines;
  for (const DocRecord* doc : doomed) doomed_lines.insert(DocPathKey(doc->path));
  std::vector<std::string> recent;
  recent.reserve(store_.MyRecentList.size());
  for (const std::string_view line : store_.MyRecentList.Lines()) {
    if (doomed_lines.count(DocPathKey(LinePath(line)))) continue;
    recent.emplace_back(line);
  }

  Bracket timer(hooks_.refresh_timer, false);
  Bracket drawing(hooks_.bulk_update, true);
  std::optional<SettingsFile::Hold> hold;
  if (store_.settings) hold.emplace(*store_.settings);

  ClearTrees(trees_);
  store_.docs.clear();
  ++store_.docs_generation;
  tracker_.RebuildIndex();
  if (store_.settings) store_.settings->EraseSection(kSectionDocs);

  for (const DocRecord& doc : kept) {
    // A program keeps the image it had: no icon is read again and no file
    // is asked about while the window waits.
    const bool program = doc.doctype == DocKind::kProgram;
    const std::optional<int> image =
        program ? std::optional<int>(doc.image >= 0 ? doc.image : kImageProgram) : std::nullopt;
    if (!tracker_.AddMyDoc(AsFound(doc), doc.date, image)) continue;
    // One whose icon was not read yet still waits for it.
    if (doc.image_pending) store_.docs.back().image_pending = true;
    if (doc.selected) {
      const size_t position = store_.docs.size() - 1;
      store_.docs[position].selected = true;
      if (store_.settings) WriteDocEntry(*store_.settings, store_.docs, position, Trim(doc.name));
    }
  }
  store_.MyRecentList.ReplaceAll(std::move(recent));
  ++rebuilds_;
  Forget(doomed_paths, false);
}

}  // namespace zd
