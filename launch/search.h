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
bool MatchesSearch(const DocRecord& doc, std::string_view key);

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
// that extends the previous one searches only the previous matches (with
// readings, only where they matched). Ranked rows are put in order only as
// far as they are looked at: a list shows a screenful of tens of thousands.
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

  size_t RowCount() const { return ShownCount(); }
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
  // The record shown at a row (ranked rows are put in order up to it first).
  uint32_t RecordAt(size_t row) const;
  void Extend(const DocArray& docs);
  std::string_view PathOf(uint32_t record) const;
  std::string_view NameOf(uint32_t record) const;
  // The key compiled once per search.
  struct Key {
    std::string text;
    HanKey han;
    SearchMask mask;
    bool mask_decides = false;  // one letter or digit: the masks answer
    // Its matches can be followed place by place: it is 1 to
    // HanKey::kMaxUnits well-formed characters (a stray byte may match
    // inside a character as plain text, which no place stands at).
    bool listable = false;
    std::string_view first;      // the bytes of its first unit
    uint64_t first_classes = 0;  // and their classes
    // The first letters of each reading set's readings, and the bit of the
    // key's first unit when it is a letter.
    std::span<const uint32_t> initials;
    uint32_t first_letter = 0;
    // The bit of its first two units among Readings::letter_pairs, when both
    // are letters (-1: none): a record without it cannot match.
    int letter_pair = -1;
  };
  // Whether the record holds the key as plain text.
  bool HoldsLiterally(uint32_t record, const Key& key) const;
  // Whether readings can take part in a match of the record at all.
  bool MayMatchWithReadings(uint32_t record, const Key& key) const;
  // Where a match of the key stands in a record (offsets from its start):
  // where it began, where the text after it begins, and, when the key's last
  // letters spelled the start of a reading of the character before that,
  // the character's reading set and how many letters were spelled. A letter
  // typed on moves each place on by one character instead of spelling the
  // key again from the start.
  struct Place {
    uint32_t start;
    uint32_t next;
    uint32_t set;  // 32 bits: 16 bytes a place, whose counting is a shift
    uint8_t spelled;
    // How well a match from `start` ranks: kPrefix from an anchor (kWhole
    // when it reaches the field's end), kWordStart or kSubstring.
    MatchQuality from;
    bool operator==(const Place&) const = default;
  };
  // Places are written in bulk, room made ahead and cut back after: an
  // allocator that leaves new room as it is saves clearing it first.
  template <typename T>
  struct Uncleared : std::allocator<T> {
    template <typename U>
    struct rebind {
      using other = Uncleared<U>;
    };
    Uncleared() = default;
    template <typename U>
    Uncleared(const Uncleared<U>&) {}
    template <typename U>
    void construct(U* at) noexcept {
      ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args) {
      ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
  };
  using Places = std::vector<Place, Uncleared<Place>>;
  // How a record matched a key, with readings: how well, and its places
  // (places_[first, first + count), by start) when the key is listable.
  struct Found {
    uint32_t first = 0;
    uint32_t count = 0;
    MatchQuality quality = MatchQuality::kNone;
    bool listed = false;
  };
  // A record's text as a search with readings reads it: path "\0" name,
  // places counted from its start.
  struct Fields {
    const char* text;
    uint32_t path_size;
    uint32_t size;  // up to the name's end
    const std::array<FieldShape, 2>* shapes;
    std::string_view path() const { return {text, path_size}; }
    std::string_view name() const { return {text + path_size + 1, size - path_size - 1}; }
  };
  Fields FieldsOf(uint32_t record) const;
  // A key of one letter or digit, over every record: the index's bits for
  // its class say which records to list the places of.
  void RunOneLetter(const Key& key, std::vector<uint32_t>& matches, std::vector<Found>& found,
                    Places& places) const;
  // A key of one unit: its places are where it stands, listed without
  // following anything (Search for such a key).
  MatchQuality List(const Fields& fields, uint32_t record, const Key& key, Places& places,
                    size_t& used, bool& listed) const;
  // The record looked at whole: its best match, and its places written at
  // places[used, ...) (`used` moved on), unless `listed` comes back false:
  // the key cannot be followed place by place, or a start has too many places.
  MatchQuality Search(uint32_t record, const Key& key, Places& places, size_t& used,
                      bool& listed) const;
  // A start's place after the key's first unit followed through the rest:
  // the places it leads to written as Search writes them, `best` raised to
  // how well they match; false when there are too many.
  static bool Enter(const Fields& fields, const Key& key, Place entered, Places& places,
                    size_t& used, MatchQuality& best);
  // The record looked at whole with the key's automaton and as plain text,
  // for a key that cannot be followed place by place: its best match.
  MatchQuality SearchWhole(uint32_t record, const Key& key) const;
  // The record's places for the shorter key (of `from_unit` units) moved on
  // by the rest of this one, written as Search writes them; false when a
  // start has too many places.
  static bool SearchFrom(const Fields& fields, const Key& key, size_t from_unit, const Place* from,
                         size_t count, Places& places, size_t& used, MatchQuality& best);
  // One start's places followed through the key's units [unit, units) into
  // `out` (room for kMaxPlaces places): how well they match (kNone: none
  // is left), nullopt when there are too many to follow.
  static std::optional<MatchQuality> Follow(const Fields& fields, const Key& key, size_t unit,
                                            const Place* in, size_t n, Place* out, size_t& count);
  // Every match of the last key followed on by this one: the matches that
  // stay, with their places.
  void Narrow(const Key& key, std::vector<uint32_t>& matches, std::vector<Found>& found,
              Places& places) const;
  // Puts the ranked rows in order for the new key: pins and picked records
  // sorted, the rest only counted (OrderRows lists them).
  void Rank(const DocArray& docs);
  // Ranked rows in order up to `rows` (or all there are).
  void OrderRows(size_t rows) const;
  size_t ShownCount() const { return options_.ranked ? ranking_.count : matches_.size(); }

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
    // With `han`: what readings may add to each record (see HanSignature).
    struct Readings {
      uint64_t letters = 0;
      uint32_t initials = 0;
      bool any = false;
      bool same_fields = false;
      // Two letters the record can spell one after the other (one of 128
      // bits each): of neighbouring characters, or a reading's first two.
      uint64_t letter_pairs[2] = {0, 0};
    };
    std::vector<Readings> readings;
    std::vector<std::array<FieldShape, 2>> shapes;  // of the path and the name
    // The characters with readings of record i (see AppendHanUnits, offsets
    // from the record's start): han_units[han_unit_starts[i] .. [i + 1]).
    std::vector<uint32_t> han_units;
    std::vector<uint32_t> han_unit_starts;
    // With `han`, for keys of one letter or digit (the 36 exact classes):
    // which records the key matches, bit r % 64 of word r / 64 for record r.
    // A first keystroke looks only at those records.
    static constexpr size_t kExactClasses = 36;
    std::array<std::vector<uint64_t>, kExactClasses> first_keys;

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

  // The picks and pins as the ranking reads them, made again when they
  // change: paths as numbered slots and keys as numbers, so that scoring a
  // key hashes no strings.
  struct PickIndex {
    uint64_t generation = 0;
    std::vector<std::string> keys;              // the distinct keys of picks and pins
    std::vector<uint32_t> pick_slot, pick_key;  // of each pick, in the store's order
    std::vector<int64_t> pick_when;
    std::vector<uint32_t> pin_slot, pin_key;  // of each pin, the latest first
    std::unordered_map<std::string, uint32_t> slot_of_path;
    std::vector<std::vector<uint32_t>> slot_records;  // the records of each slot's path
    std::vector<bool> picked;                         // of each record: its path has a slot
    std::unordered_map<uint32_t, uint32_t> slot_of_record;
    size_t records = 0;  // records looked at
    // The picks' weights at `weights_now`.
    std::vector<double> weights;
    int64_t weights_now = 0;
    bool weighed = false;
  };
  // Makes the pick index again when the picks changed or the history
  // shrank, and looks at the records registered since.
  void SyncPicked(const DocArray& docs);

  // The ranked rows of the last search.
  struct Ranking {
    size_t count = 0;  // rows in all
    // The rows in order as far as they were put in order, with their qualities.
    std::vector<uint32_t> rows;
    std::vector<MatchQuality> qualities;
    size_t pinned = 0;  // the first rows: pins to the key
    struct Picked {
      uint32_t record;
      MatchQuality quality;
      double score;
    };
    std::vector<Picked> picked;  // by quality, then score, then oldest first
    size_t next_picked = 0;
    // Of this search's slots: pinned (a place) or scored.
    std::vector<int32_t> slot_pin;
    std::vector<double> slot_score;
    // The quality being listed, how far its walk over the matches went, and
    // how many matches of each quality are still to be listed.
    int tier = -1;
    size_t walked = 0;
    std::array<size_t, 5> left{};
  };
  // Whether a match is listed among the pins or the picked rows instead of its tier.
  bool ListedApart(uint32_t record) const;

  SearchOptions options_;
  const DocStore* store_ = nullptr;
  uint64_t generation_ = 0;
  Index ix_;
  std::shared_ptr<Ahead> ahead_;  // copies on their way, for the next search
  ThreadStarter start_thread_;
  std::thread ahead_thread_;
  std::shared_ptr<Ahead> ahead_of_thread_;  // what ahead_thread_ makes
  std::string key_;
  size_t searched_records_ = 0;     // records the last search looked at
  std::vector<uint32_t> matches_;   // record positions, oldest first
  std::vector<Found> match_found_;  // of each match, with readings
  Places places_;                   // of every match, one match after another
  // The room of the search before, written again by the next.
  struct Spare {
    std::vector<uint32_t> matches;
    std::vector<Found> found;
    Places places;
  } spare_;
  size_t key_units_ = 0;  // of key_
  PickIndex pick_index_;
  mutable Ranking ranking_;  // put in order as the rows are looked at
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
