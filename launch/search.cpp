#include "launch/search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <unordered_set>

#include "platform/errors.h"
#include "platform/utf8.h"
#include "store/program_files.h"
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

// Where byte `c` first occurs in `text` from `from` on (npos: nowhere),
// eight bytes at a time: the run-time library's search is a call per field,
// and on Windows a byte-by-byte one.
size_t FindByte(std::string_view text, size_t from, char c) {
  constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  const uint64_t pattern = kOnes * static_cast<unsigned char>(c);
  for (; from + 8 <= text.size(); from += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + from, 8);
    const uint64_t x = word ^ pattern;
    // The lowest byte of x that is zero sets the lowest bit here (little-endian).
    if (const uint64_t found = (x - kOnes) & ~x & kHighs) return from + std::countr_zero(found) / 8;
  }
  for (; from < text.size(); ++from) {
    if (text[from] == c) return from;
  }
  return std::string_view::npos;
}

// Where `unit` (its bytes) first occurs in `text` from `from` on.
size_t FindUnit(std::string_view text, size_t from, std::string_view unit) {
  for (; (from = FindByte(text, from, unit[0])) != std::string_view::npos; ++from) {
    if (text.substr(from, unit.size()) == unit) return from;
  }
  return std::string_view::npos;
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

// How many ranked rows a search puts in order at once: more than a list
// shows; the rest wait until the list is scrolled to them.
constexpr size_t kRowsOrderedAtOnce = 64;

// The record may hold the key: all of the key's pairs are its, and all of
// the key's classes are its path's or its name's.
bool MayHold(const SearchMask& record, const SearchMask& key) {
  return Covers(record.pairs[0], key.pairs[0]) && Covers(record.pairs[1], key.pairs[1]) &&
         (Covers(record.classes, key.classes) || Covers(record.name_classes, key.classes));
}

// One of 128 bits for two letters ('a' + a, 'a' + b) spelled one after the other.
unsigned LetterPairBit(unsigned a, unsigned b) { return ((a * 26 + b) * 0x9E3779B1u) >> 25; }

// The letter pairs a folded field can spell (see Index::Readings): a letter
// or a character one of whose readings begins with a letter, followed by
// another such; and the first two letters of each reading.
void AddLetterPairs(std::string_view field, uint64_t pairs[2]) {
  const auto add = [&](unsigned a, unsigned b) {
    const unsigned bit = LetterPairBit(a, b);
    pairs[bit >> 6] |= uint64_t{1} << (bit & 63);
  };
  uint32_t before = 0;  // the letters the last unit can stand for
  for (size_t pos = 0; pos < field.size();) {
    const SearchUnit unit = UnitAt(field, pos);
    uint32_t here = 0;
    if (unit.code >= 'a' && unit.code <= 'z') {
      here = uint32_t{1} << (unit.code - 'a');
    } else if (unit.code >= 0x80 && unit.code < kStrayUnit) {
      if (const uint16_t set = han::ReadingSetOf(unit.code)) {
        here = han::SetInitials(set);
        for (const uint16_t syllable : han::SetReadings(set)) {
          const std::string_view letters = han::Syllable(syllable);
          if (letters.size() >= 2) add(letters[0] - 'a', letters[1] - 'a');
        }
      }
    }
    for (uint32_t a = before; a != 0; a &= a - 1) {
      for (uint32_t b = here; b != 0; b &= b - 1) add(std::countr_zero(a), std::countr_zero(b));
    }
    before = here;
    pos += unit.size;
  }
}

void AppendLowered(std::string& out, std::string_view text) {
  const size_t at = out.size();
  out.append(text);
  for (size_t i = at; i < out.size(); ++i) out[i] = LowerAscii(out[i]);
}

}  // namespace

std::string SearchKey(std::string_view box_text) { return LowerAscii(Trim(box_text)); }

bool MatchesSearch(const DocRecord& doc, std::string_view key) {
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
  places_.clear();
  ranking_ = Ranking{};
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
  if (!han) return;
  const auto r = static_cast<uint32_t>(i);
  const HanSignature sig = SignatureOf(PathOf(r), NameOf(r));
  Readings& known = readings.emplace_back();
  known = {sig.letters, sig.initials, sig.readings, sig.same_fields, {0, 0}};
  AddLetterPairs(PathOf(r), known.letter_pairs);
  if (!sig.same_fields) AddLetterPairs(NameOf(r), known.letter_pairs);
  shapes.push_back({ShapeOf(PathOf(r)), ShapeOf(NameOf(r))});
  AppendHanUnits(record.substr(0, record.size() - 1), 0, han_units);
  han_unit_starts.push_back(static_cast<uint32_t>(han_units.size()));
  // A letter or digit matches where it stands or (a letter) where a
  // reading starts with it.
  const size_t word = i / 64;
  const uint64_t bit = uint64_t{1} << (i % 64);
  for (std::vector<uint64_t>& bits : first_keys) bits.resize(word + 1, 0);
  const uint64_t plain = mask.classes | mask.name_classes;
  for (size_t c = 0; c < kExactClasses; ++c) {
    if (((plain >> c) & 1) || (c < 26 && ((sig.initials >> c) & 1))) first_keys[c][word] |= bit;
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
  for (const DocRecord& doc : store.docs) bytes += doc.path.size() + doc.name.size() + 2;
  block.reserve(bytes);
  for (const DocRecord& doc : store.docs) {
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
  const Index::Readings& readings = ix_.readings[record];
  if (!readings.any || !Covers(readings.letters, key.mask.classes)) return false;
  // One letter: some character's reading starts with it.
  return key.han.units() > 1 || ((readings.initials >> (key.han.unit(0) - 'a')) & 1);
}

void SearchModel::RunOneLetter(const Key& key, std::vector<uint32_t>& matches,
                               std::vector<Found>& found, Places& places) const {
  const size_t c = kByteClass[static_cast<unsigned char>(key.text[0])];
  const std::vector<uint64_t>& any = ix_.first_keys[c];
  size_t used = 0;
  for (size_t word = 0; word < any.size(); ++word) {
    for (uint64_t bits = any[word]; bits != 0; bits &= bits - 1) {
      const auto record = static_cast<uint32_t>(word * 64 + std::countr_zero(bits));
      const size_t first = used;
      bool listed = false;
      // The bits said it matches: no filter of Search's can say otherwise.
      const Fields fields = FieldsOf(record);
      const MatchQuality quality = key.listable && fields.size <= 0xFFFF
                                       ? List(fields, record, key, places, used, listed)
                                       : Search(record, key, places, used, listed);
      if (quality == MatchQuality::kNone) {
        used = first;
        continue;
      }
      matches.push_back(record);
      found.push_back(
          {static_cast<uint32_t>(first), static_cast<uint32_t>(used - first), quality, listed});
    }
  }
  places.resize(used);
}

SearchModel::Fields SearchModel::FieldsOf(uint32_t record) const {
  const uint32_t from = ix_.starts[record];
  return {ix_.text.data() + from, ix_.path_ends[record] - from, ix_.starts[record + 1] - from - 1,
          &ix_.shapes[record]};
}

namespace {

// The most places one start may have (a text that spells the key in more
// ways is looked at whole, as a key no place can follow is).
constexpr size_t kMaxPlaces = 16;

// Room for `count` more places at places[used, ...).
template <typename Places>
[[gnu::noinline]] void Grow(Places& places, size_t size) {
  places.resize(std::max(size, 2 * places.size()));
}
template <typename Places>
[[gnu::always_inline]] inline auto* Room(Places& places, size_t used, size_t count) {
  if (places.size() < used + count) [[unlikely]]
    Grow(places, used + count);
  return places.data() + used;
}

// One start's places (`in`, `n` of them) moved on by key unit `unit`: with
// the reading the last letters spelled, or by the next character of the
// field (`field`: the record's text up to the field's end), itself or one a
// reading of which the letter begins. Written to `out`, each once; false
// when there would be more than kMaxPlaces.
template <typename Place>
bool Step(const HanKey& han, size_t unit, std::string_view field, const Place* in, size_t n,
          Place* out, size_t& count) {
  count = 0;
  const auto add = [&](const Place& next) {
    for (size_t i = 0; i < count; ++i) {
      if (out[i] == next) return true;
    }
    if (count == kMaxPlaces) return false;
    out[count++] = next;
    return true;
  };
  const uint32_t code = han.unit(unit);
  for (const Place* place = in; place != in + n; ++place) {
    if (place->set != 0 && han.Spells(place->set, unit - place->spelled, place->spelled + 1u) &&
        !add({place->start, place->next, place->set, static_cast<uint8_t>(place->spelled + 1),
              place->from})) {
      return false;
    }
    if (place->next >= field.size()) continue;
    const SearchUnit next = UnitAt(field, place->next);
    if (next.code == code) {
      if (!add({place->start, place->next + next.size, 0, 0, place->from})) return false;
    } else if (const uint16_t set = han.ReadingSet(next.code); set != 0 && han.Begins(set, unit)) {
      if (!add({place->start, place->next + next.size, set, 1, place->from})) return false;
    }
  }
  return true;
}

// How well one start's places (`count` of them, all from one start) match:
// as their start allows, from an anchor to the field's end the best.
template <typename Fields, typename Place>
MatchQuality Judge(const Fields& fields, const Place* places, size_t count) {
  if (places[0].from != MatchQuality::kPrefix) return places[0].from;
  const bool in_name = places[0].start > fields.path_size;
  const uint32_t end = (*fields.shapes)[in_name].end + (in_name ? fields.path_size + 1 : 0);
  for (size_t i = 0; i < count; ++i) {
    if (places[i].next == end) return MatchQuality::kWhole;
  }
  return MatchQuality::kPrefix;
}

}  // namespace

std::optional<MatchQuality> SearchModel::Follow(const Fields& fields, const Key& key, size_t unit,
                                                const Place* in, size_t n, Place* out,
                                                size_t& count) {
  const bool in_name = in[0].start > fields.path_size;
  const std::string_view field(fields.text, in_name ? fields.size : fields.path_size);
  const size_t units = key.han.units();
  Place buffers[2][kMaxPlaces];
  count = 0;
  if (unit == units) {
    // The same key again: the places stay.
    if (n > kMaxPlaces) return std::nullopt;
    for (; count < n; ++count) out[count] = in[count];
  }
  for (int turn = 0; unit < units && n > 0; ++unit, turn ^= 1) {
    Place* const to = unit + 1 == units ? out : buffers[turn];
    if (!Step(key.han, unit, field, in, n, to, count)) return std::nullopt;
    in = to;
    n = count;
  }
  return count == 0 ? MatchQuality::kNone : Judge(fields, out, count);
}

bool SearchModel::Enter(const Fields& fields, const Key& key, Place entered, Places& places,
                        size_t& used, MatchQuality& best) {
  Place* const out = Room(places, used, kMaxPlaces);
  size_t count = 1;
  const size_t units = key.han.units();
  if (units == 1) {
    out[0] = entered;
  } else {
    const std::string_view field(fields.text,
                                 entered.start > fields.path_size ? fields.size : fields.path_size);
    Step(key.han, 1, field, &entered, 1, out, count);
    if (count > 0 && units > 2) {
      const Place second[2] = {out[0], out[count - 1]};
      if (!Follow(fields, key, 2, second, count, out, count)) return false;
    }
  }
  if (count == 0) return true;
  // Worked out only for the starts that lead somewhere.
  const bool in_name = entered.start > fields.path_size;
  const MatchQuality from =
      QualityAt(in_name ? fields.name() : fields.path(), (*fields.shapes)[in_name],
                in_name ? entered.start - fields.path_size - 1 : entered.start, false);
  for (size_t i = 0; i < count; ++i) out[i].from = from;
  best = std::max(best, Judge(fields, out, count));
  used += count;
  return true;
}

MatchQuality SearchModel::Search(uint32_t record, const Key& key, Places& places, size_t& used,
                                 bool& listed) const {
  listed = false;
  const Index::Readings& readings = ix_.readings[record];
  // Every byte of a match is the text's own or a reading's letter, a key's
  // first two letters a pair the record can spell, and a key without letters
  // plain text.
  if (!Covers(readings.letters, key.mask.classes) ||
      (key.letter_pair >= 0 &&
       !((readings.letter_pairs[key.letter_pair >> 6] >> (key.letter_pair & 63)) & 1)) ||
      (!key.han.usable() && !MayHold(ix_.masks[record], key.mask))) {
    listed = key.listable;
    return MatchQuality::kNone;
  }
  const Fields fields = FieldsOf(record);
  // Places are offsets of 32 bits, and characters with readings are listed
  // up to 64 KiB into a record: a longer one is searched whole.
  if (!key.listable || fields.size > 0xFFFF) return SearchWhole(record, key);
  if (key.han.units() == 1) return List(fields, record, key, places, used, listed);
  // A name that is the path matches as the path does.
  const bool both = !readings.same_fields;
  const size_t first_place = used;
  MatchQuality best = MatchQuality::kNone;
  bool followed = true;
  // Where the key's first unit can stand: characters one of whose readings
  // begins with it ...
  const uint32_t letter = key.first_letter;
  if (letter != 0 && (readings.initials & letter) && key.han.usable()) {
    const uint32_t* entry = ix_.han_units.data() + ix_.han_unit_starts[record];
    const uint32_t* const last = ix_.han_units.data() + ix_.han_unit_starts[record + 1];
    for (; entry != last && followed; ++entry) {
      const uint32_t offset = *entry >> 16;
      if (!both && offset > fields.path_size) break;
      const auto set = static_cast<uint16_t>(*entry & 0xFFFF);
      if (!(key.initials[set] & letter)) continue;
      // A character with readings is three bytes long, four beyond the first plane.
      const uint32_t size = static_cast<unsigned char>(fields.text[offset]) >= 0xF0 ? 4 : 3;
      followed = Enter(fields, key, {offset, offset + size, set, 1, MatchQuality::kNone}, places,
                       used, best);
    }
  }
  // ... and the unit itself as plain text.
  const SearchMask& mask = ix_.masks[record];
  const auto size = static_cast<uint32_t>(key.first.size());
  if (followed && Covers(mask.classes, key.first_classes)) {
    const std::string_view path = fields.path();
    for (size_t p = FindUnit(path, 0, key.first); p != std::string_view::npos && followed;
         p = FindUnit(path, p + 1, key.first)) {
      const auto offset = static_cast<uint32_t>(p);
      followed = Enter(fields, key, {offset, offset + size, 0, 0, MatchQuality::kNone}, places,
                       used, best);
    }
  }
  if (followed && both && Covers(mask.name_classes, key.first_classes)) {
    const std::string_view name = fields.name();
    for (size_t p = FindUnit(name, 0, key.first); p != std::string_view::npos && followed;
         p = FindUnit(name, p + 1, key.first)) {
      const auto offset = static_cast<uint32_t>(fields.path_size + 1 + p);
      followed = Enter(fields, key, {offset, offset + size, 0, 0, MatchQuality::kNone}, places,
                       used, best);
    }
  }
  if (followed) {
    listed = true;
    return best;
  }
  // Too many places for a start: the key's automaton decides.
  used = first_place;
  return SearchWhole(record, key);
}

MatchQuality SearchModel::List(const Fields& fields, uint32_t record, const Key& key,
                               Places& places, size_t& used, bool& listed) const {
  const Index::Readings& readings = ix_.readings[record];
  const bool both = !readings.same_fields;
  const std::array<FieldShape, 2>& shapes = *fields.shapes;
  const std::string_view path = fields.path(), name = fields.name();
  const uint32_t path_end = shapes[0].end, name_end = fields.path_size + 1 + shapes[1].end;
  MatchQuality best = MatchQuality::kNone;
  // Characters one of whose readings begins with the letter ...
  const uint32_t letter = key.first_letter;
  const uint32_t* entry = ix_.han_units.data() + ix_.han_unit_starts[record];
  const uint32_t* const last = ix_.han_units.data() + ix_.han_unit_starts[record + 1];
  Place* out = Room(places, used, last - entry);
  if (letter != 0 && (readings.initials & letter)) {
    for (; entry != last; ++entry) {
      const uint32_t offset = *entry >> 16;
      const bool in_name = offset > fields.path_size;
      if (in_name && !both) break;
      const uint32_t set = *entry & 0xFFFF;
      if (!(key.initials[set] & letter)) continue;
      // Three bytes long, four beyond the first plane.
      const uint32_t next =
          offset + (static_cast<unsigned char>(fields.text[offset]) >= 0xF0 ? 4 : 3);
      const MatchQuality from =
          in_name ? QualityAt(name, shapes[1], offset - fields.path_size - 1, false)
                  : QualityAt(path, shapes[0], offset, false);
      *out++ = {offset, next, set, 1, from};
      best = std::max(best, from == MatchQuality::kPrefix && next == (in_name ? name_end : path_end)
                                ? MatchQuality::kWhole
                                : from);
    }
  }
  used = out - places.data();
  // ... and the unit itself.
  const SearchMask& mask = ix_.masks[record];
  const auto size = static_cast<uint32_t>(key.first.size());
  for (const bool in_name : {false, true}) {
    if (in_name ? !(both && Covers(mask.name_classes, key.first_classes))
                : !Covers(mask.classes, key.first_classes)) {
      continue;
    }
    const std::string_view field = in_name ? name : path;
    const uint32_t base = in_name ? fields.path_size + 1 : 0;
    const uint32_t end = in_name ? name_end : path_end;
    for (size_t p = FindUnit(field, 0, key.first); p != std::string_view::npos;
         p = FindUnit(field, p + 1, key.first)) {
      const auto offset = static_cast<uint32_t>(base + p);
      const MatchQuality from = QualityAt(field, shapes[in_name], p, false);
      *Room(places, used, 1) = {offset, offset + size, 0, 0, from};
      ++used;
      best = std::max(best, from == MatchQuality::kPrefix && offset + size == end
                                ? MatchQuality::kWhole
                                : from);
    }
  }
  listed = true;
  return best;
}

MatchQuality SearchModel::SearchWhole(uint32_t record, const Key& key) const {
  const Fields fields = FieldsOf(record);
  const std::string_view path = fields.path(), name = fields.name();
  const bool both = !ix_.readings[record].same_fields;
  MatchQuality best = MatchQuality::kNone;
  const auto try_at = [&](size_t offset) {
    const bool in_name = offset > fields.path_size;
    const std::string_view field = in_name ? name : path;
    const size_t pos = in_name ? offset - fields.path_size - 1 : offset;
    const FieldShape& shape = (*fields.shapes)[in_name];
    const HanKey::From from = key.han.MatchFrom(field, pos, shape.end);
    if (from.match) best = std::max(best, QualityAt(field, shape, pos, from.to_end));
  };
  if (MayMatchWithReadings(record, key)) {
    const uint32_t* entry = ix_.han_units.data() + ix_.han_unit_starts[record];
    const uint32_t* const last = ix_.han_units.data() + ix_.han_unit_starts[record + 1];
    for (; entry != last; ++entry) {
      if (!both && (*entry >> 16) > fields.path_size) break;
      if (key.han.ReadingMayStart(static_cast<uint16_t>(*entry & 0xFFFF))) try_at(*entry >> 16);
    }
  }
  for (size_t p = FindUnit(path, 0, key.first); p != std::string_view::npos;
       p = FindUnit(path, p + 1, key.first)) {
    try_at(p);
  }
  if (both) {
    for (size_t p = FindUnit(name, 0, key.first); p != std::string_view::npos;
         p = FindUnit(name, p + 1, key.first)) {
      try_at(fields.path_size + 1 + p);
    }
  }
  // A key the automaton does not follow through (too long, or a stray byte)
  // may still be held as plain text.
  if (best < MatchQuality::kWhole && HoldsLiterally(record, key)) {
    best = std::max(best, LiteralQuality(path, (*fields.shapes)[0], key.text));
    if (both) best = std::max(best, LiteralQuality(name, (*fields.shapes)[1], key.text));
  }
  return best;
}

bool SearchModel::SearchFrom(const Fields& fields, const Key& key, size_t from_unit,
                             const Place* from, size_t count, Places& places, size_t& used,
                             MatchQuality& best) {
  best = MatchQuality::kNone;
  // Start by start: they were listed together.
  for (size_t i = 0; i < count;) {
    size_t end = i + 1;
    while (end < count && from[end].start == from[i].start) ++end;
    size_t followed = 0;
    const std::optional<MatchQuality> quality =
        Follow(fields, key, from_unit, from + i, end - i, Room(places, used, kMaxPlaces), followed);
    if (!quality) return false;
    used += followed;
    best = std::max(best, *quality);
    i = end;
  }
  return true;
}

void SearchModel::Narrow(const Key& key, std::vector<uint32_t>& matches, std::vector<Found>& found,
                         Places& places) const {
  // One unit typed on, the usual keystroke: each place moves on by one
  // character at most, written straight out (each place leads to two at most).
  const bool one_more = key.listable && key.han.units() == key_units_ + 1;
  const HanKey& han = key.han;
  const uint32_t code = one_more ? han.unit(key_units_) : 0;
  size_t used = 0;
  matches.reserve(matches_.size());
  found.reserve(match_found_.size());
  places.resize(2 * places_.size() + kMaxPlaces);
  for (size_t i = 0; i < matches_.size(); ++i) {
    // The texts of the records ahead are fetched while this one is tested:
    // the matches lie apart in memory, and waiting for each would cost more
    // than the test itself.
    // The text's address is itself fetched: where it starts, a round
    // further ahead.
    if (i + 2 * kFetchAhead < matches_.size()) {
      const uint32_t further = matches_[i + 2 * kFetchAhead];
      __builtin_prefetch(&ix_.starts[further]);
      __builtin_prefetch(&places_[match_found_[i + 2 * kFetchAhead].first]);
    }
    if (i + kFetchAhead < matches_.size()) {
      const uint32_t ahead = matches_[i + kFetchAhead];
      const Found& next = match_found_[i + kFetchAhead];
      __builtin_prefetch(&ix_.path_ends[ahead]);
      __builtin_prefetch(&ix_.shapes[ahead]);
      __builtin_prefetch(ix_.text.data() + ix_.starts[ahead] +
                         (next.count > 0 ? places_[next.first].next : 0));
      if (!next.listed) {
        __builtin_prefetch(&ix_.readings[ahead]);
        __builtin_prefetch(&ix_.masks[ahead]);
        __builtin_prefetch(&ix_.han_units[ix_.han_unit_starts[ahead]]);
      }
    }
    const uint32_t record = matches_[i];
    const Found& previous = match_found_[i];
    const size_t first = used;
    MatchQuality best = MatchQuality::kNone;
    bool listed = previous.listed && key.listable;
    if (listed && one_more) {
      const Fields fields = FieldsOf(record);
      Place* const out = Room(places, used, 2 * previous.count);
      size_t n = 0;
      const Place* place = places_.data() + previous.first;
      const Place* const last = place + previous.count;
      while (place != last && listed) {
        // One start's places.
        const uint32_t start = place->start;
        const size_t group = n;
        const std::string_view field(fields.text,
                                     start > fields.path_size ? fields.size : fields.path_size);
        const auto add = [&](const Place& next) {
          for (size_t j = group; j < n; ++j) {
            if (out[j] == next) return;
          }
          out[n++] = next;
        };
        for (; place != last && place->start == start; ++place) {
          if (place->set != 0 &&
              han.Spells(place->set, key_units_ - place->spelled, place->spelled + 1u)) {
            add({start, place->next, place->set, static_cast<uint8_t>(place->spelled + 1),
                 place->from});
          }
          if (place->next >= field.size()) continue;
          const SearchUnit next = UnitAt(field, place->next);
          if (next.code == code) {
            add({start, place->next + next.size, 0, 0, place->from});
          } else if (const uint16_t set = han.ReadingSet(next.code);
                     set != 0 && han.Begins(set, key_units_)) {
            add({start, place->next + next.size, set, 1, place->from});
          }
        }
        listed = n - group <= kMaxPlaces;
        if (n > group) best = std::max(best, Judge(fields, out + group, n - group));
      }
      used += n;
    } else if (listed) {
      listed = SearchFrom(FieldsOf(record), key, key_units_, places_.data() + previous.first,
                          previous.count, places, used, best);
    }
    if (!listed) {
      used = first;
      best = Search(record, key, places, used, listed);
    }
    if (best == MatchQuality::kNone) {
      used = first;
      continue;
    }
    matches.push_back(record);
    found.push_back(
        {static_cast<uint32_t>(first), static_cast<uint32_t>(used - first), best, listed});
  }
  places.resize(used);
}

void SearchModel::SyncPicked(const DocArray& docs) {
  const PickStore* picks = options_.picks;
  PickIndex& pi = pick_index_;
  if (!picks) {
    pi = PickIndex{};
    return;
  }
  if (pi.generation != picks->generation() || pi.records > docs.size()) {
    pi = PickIndex{};
    pi.generation = picks->generation();
    std::unordered_map<std::string, uint32_t> key_numbers;
    const auto number = [&](const std::string& key) {
      const auto [it, added] = key_numbers.emplace(key, static_cast<uint32_t>(pi.keys.size()));
      if (added) pi.keys.push_back(key);
      return it->second;
    };
    const auto slot = [&](const std::string& path) {
      const auto [it, added] =
          pi.slot_of_path.emplace(path, static_cast<uint32_t>(pi.slot_records.size()));
      if (added) pi.slot_records.emplace_back();
      return it->second;
    };
    for (const Pick& pick : picks->picks()) {
      pi.pick_slot.push_back(slot(pick.path));
      pi.pick_key.push_back(number(pick.key));
      pi.pick_when.push_back(pick.when);
    }
    for (auto it = picks->pins().rbegin(); it != picks->pins().rend(); ++it) {
      pi.pin_slot.push_back(slot(it->path));
      pi.pin_key.push_back(number(it->key));
    }
  }
  pi.picked.resize(docs.size(), false);
  if (pi.slot_of_path.empty()) {
    pi.records = docs.size();
    return;
  }
  for (; pi.records < docs.size(); ++pi.records) {
    const auto it = pi.slot_of_path.find(docs[pi.records].path);
    if (it == pi.slot_of_path.end()) continue;
    const auto record = static_cast<uint32_t>(pi.records);
    pi.picked[record] = true;
    pi.slot_of_record.emplace(record, it->second);
    pi.slot_records[it->second].push_back(record);
  }
}

bool SearchModel::ListedApart(uint32_t record) const {
  const PickIndex& pi = pick_index_;
  if (record >= pi.picked.size() || !pi.picked[record]) return false;
  const uint32_t slot = pi.slot_of_record.at(record);
  return ranking_.slot_pin[slot] >= 0 || ranking_.slot_score[slot] > 0;
}

void SearchModel::Rank(const DocArray& docs) {
  SyncPicked(docs);
  Ranking& r = ranking_;
  r = Ranking{};
  PickIndex& pi = pick_index_;
  const size_t slots = pi.slot_records.size();
  r.slot_pin.assign(slots, -1);
  r.slot_score.assign(slots, 0.0);
  if (slots > 0) {
    // Scores as PickStore::Scores adds them up, pick by pick.
    const int64_t now = options_.now ? options_.now() : 0;
    if (!pi.weighed || pi.weights_now != now) {
      pi.weights.clear();
      for (const int64_t when : pi.pick_when) pi.weights.push_back(PickWeight(now - when));
      pi.weights_now = now;
      pi.weighed = true;
    }
    std::vector<bool> this_key(pi.keys.size());
    for (size_t k = 0; k < pi.keys.size(); ++k) this_key[k] = pi.keys[k] == key_;
    for (size_t i = 0; i < pi.pick_slot.size(); ++i) {
      r.slot_score[pi.pick_slot[i]] +=
          pi.weights[i] * (this_key[pi.pick_key[i]] ? kSameKeyPickWeight : 1.0);
    }
    int32_t place = 0;
    for (size_t i = 0; i < pi.pin_slot.size(); ++i) {
      if (this_key[pi.pin_key[i]] && r.slot_pin[pi.pin_slot[i]] < 0) {
        r.slot_pin[pi.pin_slot[i]] = place++;
      }
    }
  }
  std::vector<std::pair<uint32_t, MatchQuality>> pinned;
  if (key_.empty()) {
    // The most-picked documents.
    for (uint32_t slot = 0; slot < slots; ++slot) {
      for (const uint32_t record : pi.slot_records[slot]) {
        if (r.slot_pin[slot] >= 0) {
          pinned.emplace_back(record, MatchQuality::kNone);
        } else if (r.slot_score[slot] > 0) {
          r.picked.push_back({record, MatchQuality::kNone, r.slot_score[slot]});
        }
      }
    }
  } else {
    // Counted in registers: an increment in memory waits for the one before.
    size_t counts[5] = {0, 0, 0, 0, 0};
    for (const Found& found : match_found_) {
      const auto q = static_cast<size_t>(found.quality);
      for (size_t t = 0; t < 5; ++t) counts[t] += q == t;
    }
    for (size_t t = 0; t < 5; ++t) r.left[t] = counts[t];
    // The few records with picks or pins among the matches (oldest first,
    // as the matches are) are listed apart from their tier.
    for (uint32_t slot = 0; slot < slots; ++slot) {
      if (r.slot_pin[slot] < 0 && !(r.slot_score[slot] > 0)) continue;
      for (const uint32_t record : pi.slot_records[slot]) {
        // Halved without branches: which half follows is a coin toss.
        const uint32_t* at = matches_.data();
        for (size_t n = matches_.size(); n > 1; n -= n / 2) {
          at = at[n / 2 - 1] < record ? at + n / 2 : at;
        }
        if (matches_.empty() || *at != record) continue;
        const MatchQuality quality = match_found_[at - matches_.data()].quality;
        --r.left[static_cast<size_t>(quality)];
        if (r.slot_pin[slot] >= 0) {
          pinned.emplace_back(record, quality);
        } else {
          r.picked.push_back({record, quality, r.slot_score[slot]});
        }
      }
    }
  }
  // Pins in their order (the latest first); records sharing a path by quality.
  std::sort(pinned.begin(), pinned.end(), [&](const auto& a, const auto& b) {
    const int32_t pa = r.slot_pin[pi.slot_of_record.at(a.first)];
    const int32_t pb = r.slot_pin[pi.slot_of_record.at(b.first)];
    if (pa != pb) return pa < pb;
    if (a.second != b.second) return a.second > b.second;
    return a.first < b.first;
  });
  for (const auto& [record, quality] : pinned) {
    r.rows.push_back(record);
    r.qualities.push_back(quality);
  }
  r.pinned = r.rows.size();
  std::sort(r.picked.begin(), r.picked.end(),
            [](const Ranking::Picked& a, const Ranking::Picked& b) {
              if (a.quality != b.quality) return a.quality > b.quality;
              if (a.score != b.score) return a.score > b.score;
              return a.record < b.record;
            });
  if (key_.empty() && r.picked.size() > kMostPickedRows) r.picked.resize(kMostPickedRows);
  r.count = r.rows.size() + r.picked.size();
  for (const size_t left : r.left) r.count += left;
  r.tier = static_cast<int>(MatchQuality::kWhole);
  // The first screenful now; the rest when the list is scrolled to it.
  OrderRows(kRowsOrderedAtOnce);
}

void SearchModel::OrderRows(size_t rows) const {
  Ranking& r = ranking_;
  rows = std::min(rows, r.count);
  while (r.rows.size() < rows && r.tier >= 0) {
    const auto tier = static_cast<MatchQuality>(r.tier);
    for (; r.next_picked < r.picked.size() && r.picked[r.next_picked].quality == tier &&
           r.rows.size() < rows;
         ++r.next_picked) {
      r.rows.push_back(r.picked[r.next_picked].record);
      r.qualities.push_back(tier);
    }
    if (r.rows.size() >= rows) break;
    size_t& left = r.left[static_cast<size_t>(tier)];
    for (; left > 0 && r.rows.size() < rows && r.walked < matches_.size(); ++r.walked) {
      const uint32_t record = matches_[r.walked];
      if (match_found_[r.walked].quality != tier || ListedApart(record)) continue;
      r.rows.push_back(record);
      r.qualities.push_back(tier);
      --left;
    }
    if (r.walked == matches_.size()) left = 0;
    if (left == 0 &&
        (r.next_picked == r.picked.size() || r.picked[r.next_picked].quality != tier)) {
      --r.tier;
      r.walked = 0;
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
    pick_index_ = PickIndex{};
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
  Key key{key_text,
          HanKey(options_.han ? std::string_view(key_text) : std::string_view()),
          MaskOf(key_text),
          key_text.size() == 1 && ClassIsExact(static_cast<unsigned char>(key_text[0])),
          false,
          {},
          0,
          {},
          0,
          -1};
  if (options_.han) {
    const size_t units = key.han.units();
    key.listable = units > 0 && units <= HanKey::kMaxUnits;
    for (size_t i = 0; i < units; ++i) key.listable = key.listable && key.han.unit(i) < kStrayUnit;
    key.first = std::string_view(key.text).substr(0, UnitAt(key.text, 0).size);
    key.first_classes = MaskOf(key.first).classes;
    key.initials = han::SetInitialsTable();
    if (key.text[0] >= 'a' && key.text[0] <= 'z') key.first_letter = 1u << (key.text[0] - 'a');
    if (key.first_letter != 0 && key.text.size() > 1 && key.text[1] >= 'a' && key.text[1] <= 'z') {
      key.letter_pair = static_cast<int>(LetterPairBit(key.text[0] - 'a', key.text[1] - 'a'));
    }
  }
  // Typing on narrows the last search: only its matches can still match,
  // besides the records registered since. With readings only a key typed
  // on at its end does: a key's middle need not start a reading.
  const bool narrowing = !key_.empty() && (options_.han ? key_text.starts_with(key_)
                                                        : key_text.find(key_) != std::string::npos);
  // The last search's room is written again: fresh room for tens of
  // thousands of matches costs more in page faults than the search itself.
  std::vector<uint32_t> matches = std::move(spare_.matches);
  std::vector<Found> found = std::move(spare_.found);
  Places places = std::move(spare_.places);
  matches.clear();
  found.clear();
  places.clear();
  size_t first_new = 0;  // records not looked at by the last search
  if (!options_.han) {
    if (narrowing) {
      matches.reserve(matches_.size());
      for (size_t i = 0; i < matches_.size(); ++i) {
        // The texts of the records ahead are fetched while this one is
        // tested: the matches lie apart in memory, and waiting for each
        // would cost more than the test itself.
        if (i + kFetchAhead < matches_.size()) {
          const uint32_t ahead = matches_[i + kFetchAhead];
          __builtin_prefetch(&ix_.masks[ahead]);
          __builtin_prefetch(ix_.text.data() + ix_.starts[ahead]);
        }
        if (HoldsLiterally(matches_[i], key)) matches.push_back(matches_[i]);
      }
      first_new = searched_records_;
    } else {
      matches.reserve(docs.size() / 8);
    }
    for (size_t record = first_new; record < docs.size(); ++record) {
      if (HoldsLiterally(static_cast<uint32_t>(record), key)) {
        matches.push_back(static_cast<uint32_t>(record));
      }
    }
  } else if (key.mask_decides) {
    // One letter or digit: the index's bits say which records hold it.
    RunOneLetter(key, matches, found, places);
  } else {
    if (narrowing) {
      Narrow(key, matches, found, places);
      first_new = searched_records_;
    }
    size_t used = places.size();
    for (size_t record = first_new; record < docs.size(); ++record) {
      const size_t first = used;
      bool listed = false;
      const MatchQuality quality = Search(static_cast<uint32_t>(record), key, places, used, listed);
      if (quality == MatchQuality::kNone) {
        used = first;
        continue;
      }
      matches.push_back(static_cast<uint32_t>(record));
      found.push_back(
          {static_cast<uint32_t>(first), static_cast<uint32_t>(used - first), quality, listed});
    }
    places.resize(used);
  }
  std::swap(matches_, matches);
  std::swap(match_found_, found);
  std::swap(places_, places);
  spare_ = {std::move(matches), std::move(found), std::move(places)};
  key_ = std::move(key_text);
  key_units_ = key.han.units();
  searched_records_ = docs.size();
  if (options_.ranked) Rank(docs);
}

uint32_t SearchModel::RecordAt(size_t row) const {
  if (!options_.ranked) return matches_[row];
  OrderRows(row + 1);
  return ranking_.rows[row];
}

bool SearchModel::Current(size_t row) const {
  return row < ShownCount() && store_ && generation_ == store_->docs_generation &&
         RecordAt(row) < store_->docs.size();
}

std::string SearchModel::RowText(size_t row) const {
  if (!Current(row)) return {};
  return LowerAscii(store_->docs[RecordAt(row)].path);
}

std::optional<std::string> SearchModel::RowPath(size_t row) const {
  if (!Current(row)) return std::nullopt;
  return store_->docs[RecordAt(row)].path;
}

std::optional<size_t> SearchModel::RowRecord(size_t row) const {
  if (!Current(row)) return std::nullopt;
  return RecordAt(row);
}

MatchQuality SearchModel::RowQuality(size_t row) const {
  if (!Current(row) || !options_.ranked) return MatchQuality::kNone;
  return ranking_.qualities[row];
}

bool SearchModel::RowPinned(size_t row) const {
  return Current(row) && options_.ranked && row < ranking_.pinned;
}

std::string SearchModel::RowName(size_t row) const {
  if (!Current(row)) return {};
  const DocRecord& doc = store_->docs[RecordAt(row)];
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
  const DocRecord& doc = store_->docs[RecordAt(row)];
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
  const DocRecord& doc = store_.docs[*record];
  FoundDoc picked{doc.path, doc.name, doc.doctype == DocKind::kProgram ? doc.path : "",
                  doc.doctype};
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
