// The search box over the history: the search rule, the result rows (for a
// list that draws only the rows it shows) and SuppressSearch, which keeps
// text the program puts into the box from starting a search.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "launch/han_search.h"
#include "launch/open_docs.h"
#include "launch/picks.h"
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

// How the search matches and orders. Without options it is the plain rule
// above, oldest first.
struct SearchOptions {
  // Script variants alike (the key and the records folded) and letters
  // standing for the readings of Chinese characters.
  bool han = false;
  // Rows ranked: pins to the key first, then by match quality, then by the
  // picks' scores, then oldest first; an empty key lists the most-picked
  // documents. Implies `han`.
  bool ranked = false;
  // Picks and pins, and the clock that ages them (seconds since 1970).
  const PickStore* picks = nullptr;
  std::function<int64_t()> now;
};

// An empty key lists at most this many most-picked documents (pins besides).
inline constexpr size_t kMostPickedRows = 30;

// The matching records of one search. Lowered (or folded) copies of every
// record are kept between searches and extended as the history grows; a key
// that extends the previous one searches only the previous matches.
class SearchModel {
 public:
  SearchModel() = default;
  // Stops the thread that makes copies ahead and waits for it: it reads
  // tables that end with the program.
  ~SearchModel();
  SearchModel(const SearchModel&) = delete;
  SearchModel& operator=(const SearchModel&) = delete;

  void SetOptions(SearchOptions options);
  const SearchOptions& options() const { return options_; }
  void Run(const DocStore& store, std::string_view box_text);
  // Makes the copies of the records a first search needs on a thread of its
  // own, so that the first keystroke does not wait for them (the search
  // takes them, or waits for the rest, when the history is still the same).
  // A thread that cannot be started throws, and the search makes its own.
  void PrepareAhead(const DocStore& store);
  // How that thread is started: the work given, on a thread of its own (a
  // test may make the start fail, or watch the work end).
  using ThreadStarter = std::function<std::thread(std::function<void()> work)>;
  void SetThreadStarter(ThreadStarter starter) { start_thread_ = std::move(starter); }
  void Clear();
  // The key of the last search, as it was compared (lowered, or folded).
  const std::string& key() const { return key_; }

  size_t RowCount() const { return Shown().size(); }
  // What row i shows: the record's path in lower case. Empty when the row is
  // gone or the history was rebuilt since the search.
  std::string RowText(size_t row) const;
  // What row i opens: the record's own path, whose letter case a web server
  // may care about.
  std::optional<std::string> RowPath(size_t row) const;
  std::optional<size_t> RowRecord(size_t row) const;
  // Ranked rows: how well the key matched, and whether the row is pinned to it.
  MatchQuality RowQuality(size_t row) const;
  bool RowPinned(size_t row) const;

  // The launcher's rows, as a launcher shows them (the history order keeps
  // RowText): the record's name (for a folder, whose record is named by its
  // path, the folder's own name), its path as stored, and the picture of
  // its kind, a program's own icon (an image of the trees' list).
  std::string RowName(size_t row) const;
  // What other programs read of a row: "name - path".
  std::string RowLabel(size_t row) const;
  int RowImage(size_t row) const;
  // The bytes of RowName and of the path that the launcher's key matched,
  // where it matched best; worked out when a row is drawn, never by the
  // search. None in the history order.
  struct RowMarks {
    std::optional<std::pair<size_t, size_t>> name;
    std::optional<std::pair<size_t, size_t>> path;
  };
  RowMarks RowMatches(size_t row) const;

 private:
  bool Current(size_t row) const;
  void Extend(const DocArray& docs);
  std::string_view PathOf(uint32_t record) const;
  std::string_view NameOf(uint32_t record) const;
  // The key compiled once per search.
  struct Key {
    std::string text;
    HanKey han;
    SearchMask mask;
    bool mask_decides = false;  // one letter or digit: the masks answer
  };
  // Whether the record holds the key as plain text.
  bool HoldsLiterally(uint32_t record, const Key& key) const;
  // Whether readings can take part in a match of the record at all.
  bool MayMatchWithReadings(uint32_t record, const Key& key) const;
  // A match in which readings may take part: its quality (kNone: none) and
  // where it begins (an offset from the record's start, plus one).
  struct Found {
    uint32_t start = 0;
    MatchQuality quality = MatchQuality::kNone;
    bool literal = false;  // the record also holds the key as plain text
  };
  // The best such match, or the first one no better than `enough` can be
  // bettered by; `hint` is where the last key's match began (0: unknown).
  Found FindWithReadings(uint32_t record, const Key& key, MatchQuality enough,
                         uint32_t hint) const;
  // How the record matches (kNone: not at all). `previous` is the record's
  // match of a key this one extends (none: not known).
  Found Test(uint32_t record, const Key& key, Found previous) const;
  // Which records have picks or pins, kept up with the picks and the history.
  void SyncPicked(const DocArray& docs);
  void Rank(const DocArray& docs);
  const std::vector<uint32_t>& Shown() const { return options_.ranked ? rows_ : matches_; }

  // What a search looks through: lowered (or folded) copies of the records'
  // paths and names and what is known of each, made once and extended as the
  // history grows.
  struct Index {
    bool han = false;  // folded rather than lowered
    // Lowered (or folded) path "\0" and name "\0" of each record, one after another.
    std::string text;
    std::vector<uint32_t> starts;     // record i spans starts[i] .. starts[i + 1]
    std::vector<uint32_t> path_ends;  // where record i's path ends
    std::vector<SearchMask> masks;
    std::vector<HanSignature> sigs;                 // with `han`
    std::vector<std::array<FieldShape, 2>> shapes;  // of the path and the name
    // The fewest units from an anchor to its field's end: a key of fewer
    // units can never match a whole name.
    std::vector<uint16_t> whole_units;
    // The characters with readings of record i (see AppendHanUnits, offsets
    // from the record's start): han_units[han_unit_starts[i] .. [i + 1]).
    std::vector<uint32_t> han_units;
    std::vector<uint32_t> han_unit_starts;

    size_t records() const { return starts.empty() ? 0 : starts.size() - 1; }
    void Append(std::string_view path, std::string_view name);
    std::string_view PathOf(uint32_t record) const;
    std::string_view NameOf(uint32_t record) const;
  };
  // The copies made ahead by a thread of their own (PrepareAhead).
  struct Ahead {
    const DocStore* store = nullptr;
    uint64_t generation = 0;
    bool han = false;
    std::mutex mutex;
    std::condition_variable done_cv;
    bool done = false;
    std::atomic<bool> stop{false};  // the model is going: the copies are not wanted
    Index index;
  };
  // Stops the thread of the last PrepareAhead, if any, and waits for it.
  void StopAhead();

  SearchOptions options_;
  const DocStore* store_ = nullptr;
  uint64_t generation_ = 0;
  Index ix_;
  std::shared_ptr<Ahead> ahead_;  // copies on their way, for the next search
  ThreadStarter start_thread_;
  std::thread ahead_thread_;
  std::shared_ptr<Ahead> ahead_of_thread_;  // what ahead_thread_ makes
  std::string key_;
  size_t searched_records_ = 0;   // records the last search looked at
  std::vector<uint32_t> matches_;  // record positions, oldest first
  std::vector<Found> match_found_;  // of each match, with readings
  // Ranked rows, and for each its quality; the first pinned_rows_ are pins.
  std::vector<uint32_t> rows_;
  std::vector<MatchQuality> qualities_;
  size_t pinned_rows_ = 0;
  // Records whose path has picks or pins, as of the picks' generation.
  std::vector<bool> picked_;
  std::unordered_map<std::string, std::vector<uint32_t>> records_of_path_;
  uint64_t picks_generation_ = 0;
  size_t picked_records_ = 0;  // records looked at for picks
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
  // Selects a row, the focus staying where it is.
  virtual void SelectRow(size_t /*row*/) {}
  // A row's document (or its folder) was just opened.
  virtual void RowOpened() {}
};

class SearchPresenter {
 public:
  SearchPresenter(const DocStore& store, DocOpener& opener, WebSearcher& web, ShellLauncher& shell,
                  SearchView& view);

  // EdtSearch: its text changed. A change the presenter did not make itself
  // (through SearchView::SetSearchText) is the user's and clears SuppressSearch.
  void EdtSearchChange(const std::string& text);
  // The launcher's search: readings and script variants, picks recorded
  // (in ConfigDir + kPicksFileName, read on first use) and, when `ranked`,
  // rows ranked by them; `now` gives seconds since 1970.
  void EnableLauncher(bool ranked, std::function<int64_t()> now);
  // The recording gate: a pick is recorded only when it lets the picked
  // document through unchanged. Unset: always.
  void SetAdmit(std::function<bool(FoundDoc&)> admit) { admit_ = std::move(admit); }
  void SetRanked(bool ranked);
  bool ranked() const { return model_.options().ranked; }
  const PickStore& picks() const { return picks_; }
  // The records of these paths left the history (every record with
  // `all`): their picks and pins go too, saved at once.
  void ForgetPicks(const std::set<std::string>& paths, bool all);
  // Reads the picks now; true when their file exists but cannot be read.
  bool PicksUnreadable();

  // EdtSearch: a key went down, with Ctrl held or not; `selected_row` is the
  // list's selected row.
  void EdtSearchKeyDown(int key, const std::string& text, std::optional<size_t> selected_row,
                        bool ctrl = false);
  // EdtSearch: the user typed, pasted or deleted text (WM_CHAR and the like):
  // searching by typing resumes.
  void EdtSearchTyped() noexcept;
  // BtnZDSearch.
  void BtnZDSearchClick(const std::string& text);

  // LbSearchResult, with the list's current row.
  void LbSearchResultMouseDown(std::optional<size_t> current_row);
  void LbSearchResultKeyDown(int key, std::optional<size_t> current_row, bool ctrl = false);
  // Pins the row to the key of the search, or unpins it (ranked rows); the
  // list is ranked again with the row kept selected, in the list when
  // `in_list`.
  void TogglePin(std::optional<size_t> row, bool in_list);

  // The trees: a key other than Enter, Space, Delete and F5 (the focused
  // node as the key arrived); a left press (the node under the pointer);
  // any click (OnClick) and InnerTabs taking the focus hide the list.
  void TreeKeyCaption(const TreeNode* focused);
  void TreeLeftPress(const TreeNode* node);
  void HideResults();
  // A tab of InnerTabs pressed or changed: the rows go.
  void ClearResults();

  bool suppress_search() const { return suppress_; }
  const SearchModel& results() const { return model_; }
  // The history is loaded: the copies a first search needs are made ahead.
  void PrepareAhead() { model_.PrepareAhead(store_); }

 private:
  // Opens the row's document, or with `containing` the folder that holds it;
  // the launcher records the pick.
  void OpenRow(std::optional<size_t> row, bool containing = false);
  void LoadPicks();
  // What Enter opens as a typed path: an absolute path (environment
  // variables expanded) that exists or lies on a server; nullopt otherwise.
  std::optional<std::string> TypedPath(const std::string& text);
  int64_t Now() const;
  void SetSearchText(const std::string& text);

  const DocStore& store_;
  std::function<bool(FoundDoc&)> admit_;
  DocOpener& opener_;
  WebSearcher& web_;
  ShellLauncher& shell_;
  SearchView& view_;
  SearchModel model_;
  bool suppress_ = false;      // SuppressSearch
  bool setting_text_ = false;  // the box's text changes by our own hand
  bool launcher_ = false;
  PickStore picks_;
  std::function<int64_t()> now_;
};

// Ctrl with this key pins the selected row to the key, or unpins it.
inline constexpr int kKeyPin = 'P';


}  // namespace zd
