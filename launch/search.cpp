#include "launch/search.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_set>

#include "platform/errors.h"
#include "platform/utf8.h"
#include "store/AppParams.h"
#include "tracking/doc_kinds.h"
#include "tracking/tree_input.h"

namespace zd {
namespace {

// A flag that is set while it lives and cleared when it goes, whatever
// happened in between.
class FlagWhile {
 public:
  explicit FlagWhile(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagWhile() { flag_ = false; }
  FlagWhile(const FlagWhile&) = delete;
  FlagWhile& operator=(const FlagWhile&) = delete;

 private:
  bool& flag_;
};

// Whether a byte has a class of its own (letters and digits): a one-byte
// key of such a class needs no look at the text.
bool ClassIsExact(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// One of 128 bits for a pair of neighbouring bytes. A key's pairs must all
// be among a record's, which rules out nearly every record that does not
// hold a key of two bytes or more (Chinese text included).
unsigned PairBit(unsigned char a, unsigned char b) {
  return ((static_cast<uint32_t>(a) << 8 | b) * 0x9E3779B1u) >> 25;
}

// Whether `text` holds `key` (of two bytes or more). A plain loop: the
// run-time library's memchr is a call per record, and on Windows a
// byte-by-byte one, which costs more than the short texts it scans.
bool Holds(std::string_view text, std::string_view key) {
  if (key.size() == 1) return text.find(key[0]) != std::string_view::npos;
  if (key.size() > text.size()) return false;
  const char first = key[0];
  const char second = key[1];
  const char* p = text.data();
  const char* const last = p + (text.size() - key.size());
  for (; p <= last; ++p) {
    if (p[0] != first || p[1] != second) continue;
    size_t i = 2;
    while (i < key.size() && p[i] == key[i]) ++i;
    if (i == key.size()) return true;
  }
  return false;
}

SearchMask MaskOf(std::string_view text) {
  SearchMask mask;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    mask.classes |= uint64_t{1} << kByteClass[c];
    if (i + 1 < text.size()) {
      const unsigned bit = PairBit(c, static_cast<unsigned char>(text[i + 1]));
      mask.pairs[bit >> 6] |= uint64_t{1} << (bit & 63);
    }
  }
  return mask;
}

bool Covers(uint64_t have, uint64_t need) { return (have & need) == need; }

// How many matches ahead a narrowing search fetches the records' data.
constexpr size_t kFetchAhead = 8;

// The record may hold the key: all of the key's pairs are its, and all of
// the key's classes are its path's or its name's.
bool MayHold(const SearchMask& record, const SearchMask& key) {
  return Covers(record.pairs[0], key.pairs[0]) && Covers(record.pairs[1], key.pairs[1]) &&
         (Covers(record.classes, key.classes) || Covers(record.name_classes, key.classes));
}

void AppendLowered(std::string& out, std::string_view text) {
  const size_t at = out.size();
  out.append(text);
  for (size_t i = at; i < out.size(); ++i) out[i] = LowerAscii(out[i]);
}

}  // namespace

std::string SearchKey(std::string_view box_text) { return LowerAscii(Trim(box_text)); }

bool MatchesSearch(const TMyDoc& doc, std::string_view key) {
  if (key.empty()) return false;
  return LowerAscii(doc.path).find(key) != std::string::npos ||
         LowerAscii(doc.name).find(key) != std::string::npos;
}

// ---- SearchModel ----

void SearchModel::SetOptions(SearchOptions options) {
  if (options.ranked) options.han = true;
  const bool refold = options.han != options_.han;
  options_ = std::move(options);
  // Folded copies are not lowered ones: everything is made again.
  if (refold) {
    store_ = nullptr;
    ix_.han = options_.han;
  }
  Clear();
}

void SearchModel::Clear() {
  matches_.clear();
  match_found_.clear();
  rows_.clear();
  qualities_.clear();
  pinned_rows_ = 0;
  key_.clear();
}

void SearchModel::Index::Append(std::string_view path, std::string_view name) {
  if (starts.empty()) {
    starts.push_back(0);
    han_unit_starts.push_back(0);
  }
  const size_t i = starts.size() - 1;
  if (han) {
    text += FoldForSearch(path);
  } else {
    AppendLowered(text, path);
  }
  path_ends.push_back(static_cast<uint32_t>(text.size()));
  text += '\0';
  if (han) {
    text += FoldForSearch(name);
  } else {
    AppendLowered(text, name);
  }
  text += '\0';
  // Pairs that span the NUL between path and name are harmless: a key
  // holds no NUL, so none of its pairs is one of them.
  const std::string_view record = std::string_view(text).substr(starts.back());
  SearchMask mask = MaskOf(record);
  const size_t path_size = path_ends.back() - starts.back();
  mask.classes = MaskOf(record.substr(0, path_size)).classes;
  mask.name_classes = MaskOf(record.substr(path_size + 1)).classes;
  masks.push_back(mask);
  starts.push_back(static_cast<uint32_t>(text.size()));
  if (han) {
    const auto r = static_cast<uint32_t>(i);
    sigs.push_back(SignatureOf(PathOf(r), NameOf(r)));
    shapes.push_back({ShapeOf(PathOf(r)), ShapeOf(NameOf(r))});
    size_t fewest = 0xFFFF;
    for (const bool in_name : {false, true}) {
      const std::string_view field = in_name ? NameOf(r) : PathOf(r);
      const FieldShape& shape = shapes.back()[in_name];
      size_t units = 0;
      for (size_t pos = shape.component; pos < shape.end; pos += UnitAt(field, pos).size) ++units;
      fewest = std::min(fewest, units);
    }
    whole_units.push_back(static_cast<uint16_t>(std::max<size_t>(fewest, 1)));
    AppendHanUnits(record.substr(0, record.size() - 1), 0, han_units);
    han_unit_starts.push_back(static_cast<uint32_t>(han_units.size()));
  }
}

std::string_view SearchModel::Index::PathOf(uint32_t record) const {
  return std::string_view(text).substr(starts[record], path_ends[record] - starts[record]);
}

std::string_view SearchModel::Index::NameOf(uint32_t record) const {
  const size_t from = path_ends[record] + 1;
  return std::string_view(text).substr(from, starts[record + 1] - from - 1);
}

SearchModel::~SearchModel() { StopAhead(); }

void SearchModel::StopAhead() {
  if (ahead_of_thread_) ahead_of_thread_->stop = true;
  if (ahead_thread_.joinable()) ahead_thread_.join();
  ahead_of_thread_.reset();
}

void SearchModel::PrepareAhead(const DocStore& store) {
  if (store_ == &store && generation_ == store.docs_generation) return;  // made already
  StopAhead();
  ahead_.reset();
  auto ahead = std::make_shared<Ahead>();
  ahead->store = &store;
  ahead->generation = store.docs_generation;
  ahead->han = options_.han;
  // One block of the records' paths and names, copied here: the history may
  // grow meanwhile, and the thread must not read it.
  std::string block;
  size_t bytes = 0;
  for (const TMyDoc& doc : store.docs) bytes += doc.path.size() + doc.name.size() + 2;
  block.reserve(bytes);
  for (const TMyDoc& doc : store.docs) {
    block.append(doc.path).push_back('\0');
    block.append(doc.name).push_back('\0');
  }
  std::function<void()> work = [ahead, block = std::move(block)] {
    Index index;
    index.han = ahead->han;
    try {
      for (size_t at = 0; at < block.size() && !ahead->stop.load(std::memory_order_relaxed);) {
        const size_t path_end = block.find('\0', at);
        const size_t name_end = block.find('\0', path_end + 1);
        index.Append(std::string_view(block).substr(at, path_end - at),
                     std::string_view(block).substr(path_end + 1, name_end - path_end - 1));
        at = name_end + 1;
      }
    } catch (...) {
      RecordCurrentException("SearchModel::PrepareAhead");
      index = Index{};  // the search makes its own copies
    }
    std::lock_guard<std::mutex> lock(ahead->mutex);
    ahead->index = std::move(index);
    ahead->done = true;
    ahead->done_cv.notify_all();
  };
  // The search waits for these copies only once their thread runs: one that
  // could not start would leave it waiting for ever.
  ahead_thread_ = start_thread_ ? start_thread_(std::move(work)) : std::thread(std::move(work));
  ahead_of_thread_ = ahead;
  ahead_ = std::move(ahead);
}

void SearchModel::Extend(const DocArray& docs) {
  for (size_t i = ix_.records(); i < docs.size(); ++i) ix_.Append(docs[i].path, docs[i].name);
}

std::string_view SearchModel::PathOf(uint32_t record) const { return ix_.PathOf(record); }

std::string_view SearchModel::NameOf(uint32_t record) const { return ix_.NameOf(record); }

bool SearchModel::HoldsLiterally(uint32_t record, const Key& key) const {
  const SearchMask& mask = ix_.masks[record];
  if (!MayHold(mask, key.mask)) return false;
  if (key.mask_decides) return true;
  // Only the fields that hold all of the key's bytes are read.
  return (Covers(mask.classes, key.mask.classes) && Holds(PathOf(record), key.text)) ||
         (Covers(mask.name_classes, key.mask.classes) && Holds(NameOf(record), key.text));
}

bool SearchModel::MayMatchWithReadings(uint32_t record, const Key& key) const {
  if (!key.han.usable()) return false;
  const HanSignature& sig = ix_.sigs[record];
  if (!sig.readings || !Covers(sig.letters, key.mask.classes)) return false;
  // One letter: some character's reading starts with it.
  return key.han.units() > 1 || ((sig.initials >> (key.han.unit(0) - 'a')) & 1);
}

SearchModel::Found SearchModel::FindWithReadings(uint32_t record, const Key& key,
                                                 MatchQuality enough, uint32_t hint) const {
  const std::string_view path = PathOf(record), name = NameOf(record);
  const std::array<FieldShape, 2>& shapes = ix_.shapes[record];
  Found found;
  // Tries a match from a record offset; true when nothing better can come.
  const auto try_at = [&](size_t offset) {
    const bool in_name = offset > path.size();
    const std::string_view field = in_name ? name : path;
    const size_t pos = in_name ? offset - path.size() - 1 : offset;
    const FieldShape& shape = shapes[in_name];
    if (found.quality != MatchQuality::kNone &&
        QualityAt(field, shape, pos, true) <= found.quality) {
      return false;
    }
    const HanKey::From from = key.han.MatchFrom(field, pos, shape.end);
    if (!from.match) return false;
    const MatchQuality quality = QualityAt(field, shape, pos, from.to_end);
    if (quality > found.quality) found = {static_cast<uint32_t>(offset + 1), quality, false};
    return found.quality >= enough;
  };
  if (hint != 0 && try_at(hint - 1)) return found;
  // Only where the key's first unit can stand: characters one of whose
  // readings begins with it, and the unit itself as plain text.
  // A name that is the path matches as the path does.
  const bool both = !ix_.sigs[record].same_fields;
  for (uint32_t i = ix_.han_unit_starts[record]; i < ix_.han_unit_starts[record + 1]; ++i) {
    const uint32_t entry = ix_.han_units[i];
    if (!both && (entry >> 16) > path.size()) break;
    if (key.han.ReadingMayStart(static_cast<uint16_t>(entry & 0xFFFF)) && try_at(entry >> 16)) {
      return found;
    }
  }
  const std::string_view first = std::string_view(key.text).substr(0, UnitAt(key.text, 0).size);
  for (size_t p = path.find(first); p != std::string_view::npos; p = path.find(first, p + 1)) {
    if (try_at(p)) return found;
  }
  if (!both) return found;
  for (size_t p = name.find(first); p != std::string_view::npos; p = name.find(first, p + 1)) {
    if (try_at(path.size() + 1 + p)) return found;
  }
  return found;
}

SearchModel::Found SearchModel::Test(uint32_t record, const Key& key, Found previous) const {
  // Typing on, most records match again where they matched, and the
  // quality stays as it was: a word start or less, or a prefix too short
  // to be the whole name.
  if (previous.start != 0 && !previous.literal && key.han.usable() &&
      (!options_.ranked || previous.quality <= MatchQuality::kWordStart ||
       (previous.quality == MatchQuality::kPrefix && key.han.units() < ix_.whole_units[record]))) {
    const size_t offset = previous.start - 1;
    const std::string_view path = PathOf(record);
    const bool in_name = offset > path.size();
    const HanKey::From from =
        in_name ? key.han.MatchFrom(NameOf(record), offset - path.size() - 1, std::string_view::npos)
                : key.han.MatchFrom(path, offset, std::string_view::npos);
    if (from.match) return previous;
  }
  // A record that did not hold the shorter key as plain text cannot hold
  // this one.
  const bool literal = (previous.quality == MatchQuality::kNone || previous.literal) &&
                       HoldsLiterally(record, key);
  const bool readings = MayMatchWithReadings(record, key);
  if (!literal && !readings) return {};
  if (!options_.ranked) {
    if (literal) return {0, MatchQuality::kSubstring, true};
    if (key.han.units() == 1) return {0, MatchQuality::kSubstring, false};
    return FindWithReadings(record, key, MatchQuality::kSubstring, previous.start);
  }
  const HanSignature& sig = ix_.sigs[record];
  if (key.han.units() == 1 && UnitClassIsExact(key.han.unit(0))) {
    // One letter or digit: the signature knows where it can stand.
    const uint64_t bit = uint64_t{1} << UnitClass(key.han.unit(0));
    const MatchQuality quality = (sig.whole_firsts & bit)    ? MatchQuality::kWhole
                                 : (sig.anchor_firsts & bit) ? MatchQuality::kPrefix
                                 : (sig.word_firsts & bit)   ? MatchQuality::kWordStart
                                                             : MatchQuality::kSubstring;
    return {0, quality, literal};
  }
  // The best a match can be: where the key's first unit can stand, and
  // where the shorter key's matches began (a longer key may reach the end
  // from the same anchor, nothing more).
  const uint64_t first = uint64_t{1} << UnitClass(key.han.unit(0));
  MatchQuality best = (sig.anchor_firsts & first) ? MatchQuality::kWhole
                      : (sig.word_firsts & first) ? MatchQuality::kWordStart
                                                  : MatchQuality::kSubstring;
  if (previous.quality != MatchQuality::kNone && previous.quality < MatchQuality::kPrefix) {
    best = std::min(best, previous.quality);
  }
  // Every unit from an anchor to the end takes one of the key's at least.
  if (best == MatchQuality::kWhole && key.han.units() < ix_.whole_units[record]) {
    best = MatchQuality::kPrefix;
  }
  Found found;
  found.literal = literal;
  if (literal) {
    found.quality = MatchQuality::kSubstring;
    if (best > found.quality) {
      const std::array<FieldShape, 2>& shapes = ix_.shapes[record];
      found.quality = std::max(found.quality, LiteralQuality(PathOf(record), shapes[0], key.text));
      if (!sig.same_fields && found.quality < best) {
        found.quality = std::max(found.quality, LiteralQuality(NameOf(record), shapes[1], key.text));
      }
    }
  }
  if (!readings || found.quality >= best) return found;
  Found with_readings = FindWithReadings(record, key, best, previous.start);
  if (with_readings.quality <= found.quality) return found;
  with_readings.literal = literal;
  return with_readings;
}

void SearchModel::SyncPicked(const DocArray& docs) {
  const PickStore* picks = options_.picks;
  if (!picks || picks->generation() != picks_generation_ || picked_records_ > docs.size()) {
    picked_.clear();
    records_of_path_.clear();
    picked_records_ = 0;
    picks_generation_ = picks ? picks->generation() : 0;
  }
  if (!picks) return;
  const auto& paths = picks->Paths();
  picked_.resize(docs.size(), false);
  for (; picked_records_ < docs.size(); ++picked_records_) {
    if (paths.empty()) continue;
    const std::string& path = docs[picked_records_].path;
    if (paths.count(path) == 0) continue;
    picked_[picked_records_] = true;
    records_of_path_[path].push_back(static_cast<uint32_t>(picked_records_));
  }
}

void SearchModel::Rank(const DocArray& docs) {
  SyncPicked(docs);
  rows_.clear();
  qualities_.clear();
  pinned_rows_ = 0;
  // Scores and pins of the records with picks, for this key.
  std::unordered_map<uint32_t, double> scores;
  std::unordered_map<uint32_t, size_t> pins;  // record: its path's place among the pins
  if (const PickStore* picks = options_.picks) {
    const int64_t now = options_.now ? options_.now() : 0;
    for (const auto& [path, score] : picks->Scores(key_, now)) {
      auto it = records_of_path_.find(path);
      if (it == records_of_path_.end()) continue;
      for (const uint32_t record : it->second) scores[record] = score;
    }
    const std::vector<std::string> pinned_paths = picks->Pins(key_);
    for (size_t place = 0; place < pinned_paths.size(); ++place) {
      auto it = records_of_path_.find(pinned_paths[place]);
      if (it == records_of_path_.end()) continue;
      for (const uint32_t record : it->second) pins.emplace(record, place);
    }
  }
  struct Picked {
    uint32_t record;
    MatchQuality quality;
    double score;
  };
  std::vector<Picked> picked;
  std::array<std::vector<uint32_t>, 5> tiers;
  std::vector<std::pair<uint32_t, MatchQuality>> pinned_matches;
  if (key_.empty()) {
    // The most-picked documents.
    for (const auto& [record, place] : pins) {
      pinned_matches.emplace_back(record, MatchQuality::kNone);
    }
    for (const auto& [record, score] : scores) {
      if (score > 0 && !pins.contains(record)) picked.push_back({record, MatchQuality::kNone, score});
    }
  } else {
    for (size_t i = 0; i < matches_.size(); ++i) {
      const uint32_t record = matches_[i];
      const MatchQuality quality = match_found_[i].quality;
      if (record < picked_.size() && picked_[record]) {
        if (pins.contains(record)) {
          pinned_matches.emplace_back(record, quality);
          continue;
        }
        auto it = scores.find(record);
        if (it != scores.end() && it->second > 0) {
          picked.push_back({record, quality, it->second});
          continue;
        }
      }
      tiers[static_cast<size_t>(quality)].push_back(record);
    }
  }
  // Pins in their order (the latest first); records sharing a path by quality.
  std::sort(pinned_matches.begin(), pinned_matches.end(), [&](const auto& a, const auto& b) {
    const size_t pa = pins.at(a.first), pb = pins.at(b.first);
    if (pa != pb) return pa < pb;
    if (a.second != b.second) return a.second > b.second;
    return a.first < b.first;
  });
  for (const auto& [record, quality] : pinned_matches) {
    rows_.push_back(record);
    qualities_.push_back(quality);
  }
  pinned_rows_ = rows_.size();
  std::sort(picked.begin(), picked.end(), [](const Picked& a, const Picked& b) {
    if (a.quality != b.quality) return a.quality > b.quality;
    if (a.score != b.score) return a.score > b.score;
    return a.record < b.record;
  });
  if (key_.empty() && picked.size() > kMostPickedRows) picked.resize(kMostPickedRows);
  size_t next_picked = 0;
  for (int quality = static_cast<int>(MatchQuality::kWhole); quality >= 0; --quality) {
    const auto q = static_cast<MatchQuality>(quality);
    for (; next_picked < picked.size() && picked[next_picked].quality == q; ++next_picked) {
      rows_.push_back(picked[next_picked].record);
      qualities_.push_back(q);
    }
    for (const uint32_t record : tiers[static_cast<size_t>(quality)]) {
      rows_.push_back(record);
      qualities_.push_back(q);
    }
  }
}

void SearchModel::Run(const DocStore& store, std::string_view box_text) {
  const DocArray& docs = store.docs;
  const bool stale = store_ != &store || generation_ != store.docs_generation ||
                     (!ix_.starts.empty() && docs.size() < ix_.starts.size() - 1);
  if (stale) {
    ix_ = Index{};
    ix_.han = options_.han;
    // The copies made ahead, when they are of this history as it is now.
    if (ahead_ && ahead_->store == &store && ahead_->generation == store.docs_generation &&
        ahead_->han == options_.han) {
      std::unique_lock<std::mutex> lock(ahead_->mutex);
      ahead_->done_cv.wait(lock, [this] { return ahead_->done; });
      if (ahead_->index.records() <= docs.size()) ix_ = std::move(ahead_->index);
    }
    ahead_.reset();
    picked_.clear();
    records_of_path_.clear();
    picked_records_ = 0;
    Clear();
    searched_records_ = 0;
    store_ = &store;
    generation_ = store.docs_generation;
  }
  Extend(docs);

  std::string key_text = options_.han ? FoldForSearch(Trim(box_text)) : SearchKey(box_text);
  // No record text holds a NUL, and the key must not span the separators.
  if (key_text.empty() || key_text.find('\0') != std::string::npos) {
    Clear();
    key_ = std::move(key_text);
    searched_records_ = docs.size();
    if (options_.ranked && key_.empty()) Rank(docs);
    return;
  }
  const Key key{key_text, HanKey(options_.han ? std::string_view(key_text) : std::string_view()),
                MaskOf(key_text),
                key_text.size() == 1 && ClassIsExact(static_cast<unsigned char>(key_text[0]))};
  std::vector<uint32_t> matches;
  std::vector<Found> found;
  auto test = [&](uint32_t record, Found previous) {
    if (!options_.han) {
      if (HoldsLiterally(record, key)) matches.push_back(record);
      return;
    }
    const Found how = Test(record, key, previous);
    if (how.quality == MatchQuality::kNone) return;
    matches.push_back(record);
    found.push_back(how);
  };
  // Typing on narrows the last search: only its matches can still match,
  // besides the records registered since. With readings only a key typed
  // on at its end does: a key's middle need not start a reading.
  const bool narrowing =
      !key_.empty() && (options_.han ? key_text.starts_with(key_)
                                     : key_text.find(key_) != std::string::npos);
  size_t first_new = 0;
  if (narrowing) {
    matches.reserve(matches_.size());
    found.reserve(match_found_.size());
    for (size_t i = 0; i < matches_.size(); ++i) {
      // The texts of the records ahead are fetched while this one is tested:
      // the matches lie apart in memory, and waiting for each would cost
      // more than the test itself.
      if (i + kFetchAhead < matches_.size()) {
        const uint32_t ahead = matches_[i + kFetchAhead];
        const uint32_t start = i + kFetchAhead < match_found_.size()
                                   ? match_found_[i + kFetchAhead].start
                                   : 0;
        __builtin_prefetch(ix_.text.data() + ix_.starts[ahead] + (start ? start - 1 : 0));
        __builtin_prefetch(&ix_.masks[ahead]);
        if (!ix_.sigs.empty()) {
          __builtin_prefetch(&ix_.sigs[ahead]);
          if (start == 0) {
            // No place to look first: the name and the characters with readings.
            __builtin_prefetch(ix_.text.data() + ix_.path_ends[ahead]);
            __builtin_prefetch(&ix_.han_units[ix_.han_unit_starts[ahead]]);
            __builtin_prefetch(&ix_.shapes[ahead]);
          }
        }
      }
      test(matches_[i], i < match_found_.size() ? match_found_[i] : Found{});
    }
    first_new = searched_records_;
  } else {
    matches.reserve(docs.size() / 8);
  }
  for (size_t record = first_new; record < docs.size(); ++record) {
    test(static_cast<uint32_t>(record), Found{});
  }
  matches_ = std::move(matches);
  match_found_ = std::move(found);
  key_ = std::move(key_text);
  searched_records_ = docs.size();
  if (options_.ranked) Rank(docs);
}

bool SearchModel::Current(size_t row) const {
  return row < Shown().size() && store_ && generation_ == store_->docs_generation &&
         Shown()[row] < store_->docs.size();
}

std::string SearchModel::RowText(size_t row) const {
  if (!Current(row)) return {};
  return LowerAscii(store_->docs[Shown()[row]].path);
}

std::optional<std::string> SearchModel::RowPath(size_t row) const {
  if (!Current(row)) return std::nullopt;
  return store_->docs[Shown()[row]].path;
}

std::optional<size_t> SearchModel::RowRecord(size_t row) const {
  if (!Current(row)) return std::nullopt;
  return Shown()[row];
}

MatchQuality SearchModel::RowQuality(size_t row) const {
  if (!Current(row) || !options_.ranked || row >= qualities_.size()) return MatchQuality::kNone;
  return qualities_[row];
}

bool SearchModel::RowPinned(size_t row) const { return Current(row) && row < pinned_rows_; }

std::string SearchModel::RowName(size_t row) const {
  if (!Current(row)) return {};
  const TMyDoc& doc = store_->docs[Shown()[row]];
  const std::string name = Trim(doc.name);
  if (!name.empty() && DocPathKey(name) != DocPathKey(doc.path)) return name;
  // A folder's record is named by its path: the folder's own name says it.
  std::string_view path = doc.path;
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string_view::npos || IsWebAddress(path)) return doc.path;
  return std::string(path.substr(slash + 1));
}

std::string SearchModel::RowLabel(size_t row) const {
  const std::optional<std::string> path = RowPath(row);
  if (!path) return {};
  const std::string name = RowName(row);
  return name == *path ? name : name + " - " + *path;
}

int SearchModel::RowImage(size_t row) const {
  if (!Current(row)) return kImageWeb;
  const TMyDoc& doc = store_->docs[Shown()[row]];
  if (doc.image >= 0) return doc.image;
  return doc.doctype == DocKind::kFolder    ? kImageFolder
         : doc.doctype == DocKind::kProgram ? kImageProgram
                                      : kImageWeb;
}

SearchModel::RowMarks SearchModel::RowMatches(size_t row) const {
  RowMarks marks;
  const std::optional<std::string> path = RowPath(row);
  // The key is folded only for the launcher's search.
  if (!path || key_.empty() || !options_.han) return marks;
  marks.name = MatchedSpan(RowName(row), key_);
  marks.path = MatchedSpan(*path, key_);
  return marks;
}

// ---- SearchPresenter ----

SearchPresenter::SearchPresenter(const DocStore& store, DocOpener& opener, WebSearcher& web,
                                 ShellLauncher& shell, SearchView& view)
    : store_(store), opener_(opener), web_(web), shell_(shell), view_(view) {}

void SearchPresenter::EnableLauncher(bool ranked, std::function<int64_t()> now) {
  launcher_ = true;
  now_ = std::move(now);
  SetRanked(ranked);
}

void SearchPresenter::SetRanked(bool ranked) {
  SearchOptions options;
  options.han = launcher_;
  options.ranked = launcher_ && ranked;
  options.picks = launcher_ ? &picks_ : nullptr;
  options.now = [this] { return Now(); };
  model_.SetOptions(std::move(options));
}

int64_t SearchPresenter::Now() const {
  if (now_) return now_();
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void SearchPresenter::LoadPicks() {
  if (!launcher_ || picks_.loaded() || !store_.files || !store_.codec || store_.ConfigDir.empty()) {
    return;
  }
  picks_.Load(*store_.files, *store_.codec, store_.ConfigDir + kPicksFileName);
}

void SearchPresenter::ForgetPicks(const std::set<std::string>& paths, bool all) {
  LoadPicks();
  std::unordered_set<std::string> keys;
  for (const std::string& path : paths) keys.insert(DocPathKey(path));
  picks_.Forget([&](const std::string& path) { return all || keys.count(DocPathKey(path)) != 0; });
}

bool SearchPresenter::PicksUnreadable() {
  LoadPicks();
  return picks_.unreadable();
}

void SearchPresenter::EdtSearchChange(const std::string& text) {
  // Text the program did not put there (typed, an IME's result, pasted,
  // dropped, undone) is the user's: searching by typing resumes.
  if (!setting_text_) suppress_ = false;
  if (suppress_) return;
  LoadPicks();
  model_.Run(store_, text);
  view_.ShowResults(model_.RowCount());
  // The best row is the one Enter opens.
  if (ranked() && model_.RowCount() > 0) view_.SelectRow(0);
}

void SearchPresenter::EdtSearchTyped() noexcept { suppress_ = false; }

void SearchPresenter::EdtSearchKeyDown(int key, const std::string& text,
                                       std::optional<size_t> selected_row, bool ctrl) {
  const bool row_chosen = model_.RowCount() > 0 && selected_row.has_value();
  switch (key) {
    case kKeyEnter:
      // Hidden first: a web search serves window messages while it waits.
      view_.HideResults();
      if (launcher_ && ctrl && row_chosen) {
        OpenRow(selected_row, /*containing=*/true);
      } else if (!row_chosen || ranked()) {
        // Ranked, the selected row opens unless the text names a file or
        // folder; otherwise a selected row opens from the list itself.
        if (const std::optional<std::string> path = TypedPath(text)) {
          opener_.OpenDocPath(*path, false);
        } else if (row_chosen) {
          OpenRow(selected_row);
        } else {
          web_.WebSearch(text);
        }
      }
      break;
    case kKeyEscape:
      view_.HideResults();
      break;
    case kKeyDown:
      if (!view_.ResultsVisible()) break;
      view_.FocusResults(0);
      suppress_ = true;
      break;
    case kKeyDelete:
      EdtSearchTyped();  // deleting is typing too; it sends no character
      break;
    case kKeyPin:
      if (ctrl) TogglePin(selected_row, /*in_list=*/false);
      break;
    default:
      break;
  }
}

std::optional<std::string> SearchPresenter::TypedPath(const std::string& text) {
  // Only an absolute path: a relative text would be looked for in the
  // process's current folder (System32 when Windows started the program),
  // which the user never named. "drivers" is a search, not that folder.
  const std::string path =
      text.find('%') == std::string::npos ? text : shell_.ExpandEnvironment(text);
  if (!IsAbsolutePath(path)) return std::nullopt;
  const PathAnswer answer = shell_.QueryPath(path);
  if (answer == PathAnswer::kFile || answer == PathAnswer::kFolder ||
      answer == PathAnswer::kNotAsked) {  // a server's path: the shell asks it
    return path;
  }
  return std::nullopt;
}

void SearchPresenter::BtnZDSearchClick(const std::string& text) {
  view_.HideResults();
  web_.WebSearch(text);
}

void SearchPresenter::OpenRow(std::optional<size_t> row, bool containing) {
  if (!row) return;
  const std::optional<size_t> record = model_.RowRecord(*row);
  if (!record) return;
  const TMyDoc& doc = store_.docs[*record];
  FoundDoc picked{doc.path, doc.name, doc.doctype == DocKind::kProgram ? doc.path : "", doc.doctype};
  // Kept only as it is: a pick the rules would change is left out.
  if (launcher_ &&
      (!admit_ || (admit_(picked) && picked.address == doc.path && picked.name == doc.name))) {
    LoadPicks();
    picks_.AddPick(doc.path, model_.key(), Now());
  }
  if (!containing) {
    // A remembered document: once opened it stands at the top of the recent list.
    opener_.OpenRememberedDoc(doc.path, doc.name, false);
  } else if (!IsWebAddress(doc.path)) {
    // A folder's containing folder is its parent, as for a file.
    std::string folder = doc.path;
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    folder = ContainingFolder(folder);
    if (!folder.empty()) opener_.OpenDocPath(folder, false);
  }
  view_.RowOpened();
}

void SearchPresenter::SetSearchText(const std::string& text) {
  // The change this makes is the program's own, not the user's typing.
  FlagWhile setting(setting_text_);
  view_.SetSearchText(text);
}

void SearchPresenter::LbSearchResultMouseDown(std::optional<size_t> current_row) {
  if (!current_row) return;
  OpenRow(current_row);
  view_.HideResults();
  suppress_ = false;
}

void SearchPresenter::LbSearchResultKeyDown(int key, std::optional<size_t> current_row, bool ctrl) {
  suppress_ = true;
  switch (key) {
    case kKeyEnter:
    case kKeySpace:
      OpenRow(current_row, launcher_ && ctrl && key == kKeyEnter);
      view_.HideResults();
      suppress_ = false;
      break;
    case kKeyEscape:
      view_.HideResults();
      suppress_ = false;
      break;
    default:
      if (ctrl && key == kKeyPin && ranked()) {
        TogglePin(current_row, /*in_list=*/true);
        break;
      }
      // The row current as the key arrived; the list moves afterwards.
      if (current_row) SetSearchText(model_.RowText(*current_row));
      break;
  }
}

void SearchPresenter::TogglePin(std::optional<size_t> row, bool in_list) {
  if (!row || !ranked()) return;
  const std::optional<size_t> record = model_.RowRecord(*row);
  const std::optional<std::string> path = model_.RowPath(*row);
  if (!record || !path) return;
  LoadPicks();
  picks_.TogglePin(*path, model_.key(), Now());
  // Ranked again for the same key; the row follows its record.
  const std::string key = model_.key();
  model_.Clear();
  model_.Run(store_, key);
  size_t moved = 0;
  while (moved < model_.RowCount() && model_.RowRecord(moved) != record) ++moved;
  view_.ShowResults(model_.RowCount());
  if (moved == model_.RowCount()) return;
  if (in_list) {
    view_.FocusResults(moved);
  } else {
    view_.SelectRow(moved);
  }
}

void SearchPresenter::TreeKeyCaption(const TreeNode* focused) {
  suppress_ = true;
  if (focused) SetSearchText(focused->caption);
}

void SearchPresenter::TreeLeftPress(const TreeNode* node) {
  FlagWhile suppress(suppress_);
  if (node) SetSearchText(node->caption);
}

void SearchPresenter::HideResults() { view_.HideResults(); }

void SearchPresenter::ClearResults() {
  model_.Clear();
  view_.ClearResults();
}

}  // namespace zd
