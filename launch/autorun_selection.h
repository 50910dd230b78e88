// The rules of the document selection window ("文档自动启动"): which history
// documents are meant for automatic start, and whether to ask first.
#pragma once

#include <string>
#include <vector>

#include "launch/open_docs.h"
#include "platform/shell_launcher.h"
#include "store/doc.h"
#include "store/doc_list.h"
#include "store/settings_file.h"

namespace zd {

class AutorunSelection {
 public:
  // Opening: one row per record in history order, preselected from the
  // records' flags. "不再跳出此提示框" shows the opposite of the ask-first
  // switch. Nothing is written by opening.
  void Open(const DocArray& docs, bool query_auto_run_doc);

  size_t row_count() const { return names_.size(); }
  const std::string& RowText(size_t row) const { return names_[row]; }
  const std::vector<bool>& selection() const { return selected_; }
  bool select_all() const { return select_all_; }
  bool not_query() const { return not_query_; }

  // "选择所有": ticked selects every row, cleared deselects every row.
  void SetSelectAll(bool ticked);
  // A click on a row, with the selection the list box made of it. It clears
  // "选择所有"; when that was ticked, clearing it deselects every row, the
  // clicked one included.
  void ClickRows(const std::vector<bool>& selection_after_click);
  void SetNotQuery(bool ticked) { not_query_ = ticked; }

  struct Confirmed {
    std::vector<size_t> changed;  // records whose flag changed: their keys are written again
    bool query_auto_run_doc = false;
  };
  // OK: each listed record's flag becomes its row's selection, and the
  // ask-first switch the opposite of "不再跳出此提示框". Cancel is simply
  // not calling this: it changes nothing.
  Confirmed Confirm(DocArray& docs) const;

 private:
  std::vector<std::string> names_;
  std::vector<bool> selected_;
  bool select_all_ = false;
  bool not_query_ = false;
};

// The "selected%d" keys of the given records, in one write: a record's
// position in the history is its position in section "docs".
bool SaveSelectedFlags(SettingsFile& settings, const DocArray& docs,
                       const std::vector<size_t>& positions);

struct AutoRunDoc {
  std::string path;
  std::string name;
  bool operator==(const AutoRunDoc&) const = default;
};

// What the start opens when "自动启动历史文档" is ticked: the flagged
// documents in history order, then the entries of the auto-run list ("我的启动"),
// each path once.
std::vector<AutoRunDoc> AutoRunDocs(const DocArray& docs, const DocList& run_list);

// The question asked before they open: `question` ("%s") with the first
// `kAutoRunNamesShown` names one per line, then `more` ("%d") with how many
// are left unnamed.
inline constexpr size_t kAutoRunNamesShown = 10;
std::string AutoRunQuestionText(const std::vector<AutoRunDoc>& docs, const std::string& question,
                                const std::string& more);

// Opens them through OpenAndRecordDoc. A file or folder that is gone is
// skipped without a message: nobody asked for it just now.
void OpenAutoRunDocs(const std::vector<AutoRunDoc>& docs, DocOpener& opener, ShellLauncher& shell);

}  // namespace zd
