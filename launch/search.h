// The search box over the history: the search rule, the result rows (for a
// list that draws only the rows it shows) and SuppressSearch, which keeps
// text the program puts into the box from starting a search.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launch/open_docs.h"
#include "launch/web_search.h"
#include "platform/shell_launcher.h"
#include "store/config.h"
#include "tracking/tree_model.h"

namespace zd {

// The box's text without blanks and control characters at its ends, ASCII
// letters lowered; every other byte (Chinese text included) as it is.
std::string SearchKey(std::string_view box_text);
// The rule itself: the key occurs in the record's lowered path or name. An
// empty key matches nothing.
bool MatchesSearch(const TMyDoc& doc, std::string_view key);

// Which byte classes and which pairs of neighbouring bytes a text holds.
struct SearchMask {
  uint64_t classes = 0;       // of the path, or of the key
  uint64_t name_classes = 0;  // of the name
  uint64_t pairs[2] = {0, 0};
};

// The matching records of one search, oldest first. Lowered copies of every
// record are kept between searches and extended as the history grows; a key
// that extends the previous one searches only the previous matches.
class SearchModel {
 public:
  void Run(const DocStore& store, std::string_view box_text);
  void Clear();

  size_t RowCount() const { return rows_.size(); }
  // What row i shows: the record's path in lower case. Empty when the row is
  // gone or the history was rebuilt since the search.
  std::string RowText(size_t row) const;
  // What row i opens: the record's own path, whose letter case a web server
  // may care about.
  std::optional<std::string> RowPath(size_t row) const;
  std::optional<size_t> RowRecord(size_t row) const;

 private:
  bool Current(size_t row) const;
  void Extend(const DocArray& docs);

  const DocStore* store_ = nullptr;
  uint64_t generation_ = 0;
  // Lowered path "\0" lowered name "\0" of each record, one after another.
  std::string text_;
  std::vector<uint32_t> starts_;     // record i spans starts_[i] .. starts_[i + 1]
  std::vector<uint32_t> path_ends_;  // where record i's path ends
  std::vector<SearchMask> masks_;
  std::string key_;
  size_t searched_records_ = 0;  // records the last search looked at
  std::vector<uint32_t> rows_;   // record positions
};

// What the launcher page shows of the search. The page's list draws row i
// from SearchPresenter::results().RowText(i).
class SearchView {
 public:
  virtual ~SearchView() = default;
  // LbSearchResult placed under the box and shown with this many rows, none
  // selected.
  virtual void ShowResults(size_t rows) = 0;
  virtual void HideResults() = 0;
  virtual bool ResultsVisible() const = 0;
  // Removes the rows (the list stays as it is otherwise).
  virtual void ClearResults() = 0;
  // The focus to the list, with this row current and selected.
  virtual void FocusResults(size_t row) = 0;
  // Puts text into EdtSearch; its change arrives at EdtSearchChange.
  virtual void SetSearchText(const std::string& text) = 0;
};

class SearchPresenter {
 public:
  SearchPresenter(const DocStore& store, DocOpener& opener, WebSearcher& web, ShellLauncher& shell,
                  SearchView& view);

  // EdtSearch: its text changed. A change the presenter did not make itself
  // (through SearchView::SetSearchText) is the user's and clears SuppressSearch.
  void EdtSearchChange(const std::string& text) noexcept;
  // EdtSearch: a key went down; `selected_row` is the list's selected row.
  void EdtSearchKeyDown(int key, const std::string& text,
                        std::optional<size_t> selected_row) noexcept;
  // EdtSearch: the user typed, pasted or deleted text (WM_CHAR and the like):
  // searching by typing resumes.
  void EdtSearchTyped() noexcept;
  // BtnZDSearch.
  void BtnZDSearchClick(const std::string& text) noexcept;

  // LbSearchResult, with the list's current row.
  void LbSearchResultMouseDown(std::optional<size_t> current_row) noexcept;
  void LbSearchResultKeyDown(int key, std::optional<size_t> current_row) noexcept;

  // The trees: a key other than Enter, Space, Delete and F5 (the focused
  // node as the key arrived); a left press (the node under the pointer);
  // any click (OnClick) and TVControl taking the focus hide the list.
  void TreeKeyCaption(const TreeNode* focused) noexcept;
  void TreeLeftPress(const TreeNode* node) noexcept;
  void HideResults() noexcept;
  // A tab of TVControl pressed or changed: the rows go.
  void ClearResults() noexcept;

  bool suppress_search() const { return suppress_; }
  const SearchModel& results() const { return model_; }

 private:
  void OpenRow(std::optional<size_t> row);
  void SetSearchText(const std::string& text);

  const DocStore& store_;
  DocOpener& opener_;
  WebSearcher& web_;
  ShellLauncher& shell_;
  SearchView& view_;
  SearchModel model_;
  bool suppress_ = false;      // SuppressSearch
  bool setting_text_ = false;  // the box's text changes by our own hand
};

}  // namespace zd
