#include "launch/han_search.h"

#include <algorithm>

#include "platform/utf8.h"

namespace zd {
namespace {

char32_t DecodeAt(std::string_view text, size_t pos, size_t len) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  switch (len) {
    case 2:
      return (char32_t{b(0)} & 0x1F) << 6 | (b(1) & 0x3F);
    case 3:
      return (char32_t{b(0)} & 0x0F) << 12 | (char32_t{b(1)} & 0x3F) << 6 | (b(2) & 0x3F);
    case 4:
      return (char32_t{b(0)} & 0x07) << 18 | (char32_t{b(1)} & 0x3F) << 12 |
             (char32_t{b(2)} & 0x3F) << 6 | (b(3) & 0x3F);
    default:
      return b(0);
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

std::span<const uint16_t> ReadingsOfUnit(uint32_t code) {
  if (code < 0x80 || code >= kStrayUnit) return {};
  return han::Readings(code);
}

}  // namespace

std::string FoldForSearch(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (b < 0x80) {
      out += LowerAscii(static_cast<char>(b));
      ++pos;
      continue;
    }
    const size_t len = Utf8SequenceLength(text, pos);
    if (len == 0) {
      out += static_cast<char>(b);
      ++pos;
      continue;
    }
    const char32_t cp = DecodeAt(text, pos, len);
    const char32_t folded = han::Fold(cp);
    if (folded == cp) {
      out.append(text.substr(pos, len));
    } else {
      AppendUtf8(out, folded);
    }
    pos += len;
  }
  return out;
}

SearchUnit DecodeUnitAt(std::string_view text, size_t pos) {
  const auto b = static_cast<unsigned char>(text[pos]);
  const size_t len = Utf8SequenceLength(text, pos);
  if (len == 0) return {kStrayUnit + b, 1};
  return {static_cast<uint32_t>(DecodeAt(text, pos, len)), static_cast<uint32_t>(len)};
}

FieldShape ShapeOf(std::string_view text) {
  FieldShape shape;
  shape.end = text.size();
  while (shape.end > 0 && IsPathSeparator(text[shape.end - 1])) --shape.end;
  shape.component = shape.end;
  while (shape.component > 0 && !IsPathSeparator(text[shape.component - 1])) --shape.component;
  return shape;
}

MatchQuality LiteralQuality(std::string_view text, std::string_view key) {
  return LiteralQuality(text, ShapeOf(text), key);
}

MatchQuality LiteralQuality(std::string_view text, const FieldShape& shape, std::string_view key) {
  if (key.empty() || key.size() > text.size()) return MatchQuality::kNone;
  MatchQuality best = MatchQuality::kNone;
  for (size_t p = text.find(key); p != std::string_view::npos; p = text.find(key, p + 1)) {
    MatchQuality quality = MatchQuality::kSubstring;
    if (p == 0 || p == shape.component) {
      if (p + key.size() == shape.end) return MatchQuality::kWhole;
      quality = MatchQuality::kPrefix;
    } else if (IsWordStartAt(text, p)) {
      quality = MatchQuality::kWordStart;
    }
    best = std::max(best, quality);
  }
  return best;
}

// ---- HanKey ----

HanKey::HanKey(std::string_view folded_key) {
  bool letters = false;
  for (size_t pos = 0; pos < folded_key.size();) {
    const SearchUnit unit = UnitAt(folded_key, pos);
    units_.push_back(unit.code);
    letters = letters || (unit.code >= 'a' && unit.code <= 'z');
    pos += unit.size;
  }
  if (units_.empty() || units_.size() > kMaxUnits) return;
  usable_ = letters;
  if (units_[0] >= 'a' && units_[0] <= 'z') first_letter_ = uint32_t{1} << (units_[0] - 'a');
  accept_ = uint64_t{1} << (units_.size() - 1);
  for (size_t j = 0; j < units_.size(); ++j) {
    const uint32_t code = units_[j];
    const uint64_t bit = uint64_t{1} << j;
    if (code < 0x80) {
      ascii_[code] |= bit;
      continue;
    }
    auto known = std::find_if(chars_.begin(), chars_.end(),
                              [code](const auto& entry) { return entry.first == code; });
    if (known == chars_.end()) {
      chars_.emplace_back(code, bit);
    } else {
      known->second |= bit;
    }
  }
  if (!usable_) return;
  set_initials_ = han::SetInitialsTable();
  tables_ = han::Direct();
  set_moves_.assign(han::SetCount() + 1, 0);
  // Where each syllable's first letters are spelled in the key.
  tops_.assign(han::SyllableCount(), 0);
  shifts_.assign(han::SyllableCount() * han::kMaxSyllableLength, 0);
  for (size_t s = 0; s < tops_.size(); ++s) {
    const std::string_view letters_of = han::Syllable(static_cast<uint16_t>(s));
    uint64_t run = 0;
    for (size_t k = 0; k < letters_of.size() && k < han::kMaxSyllableLength; ++k) {
      const uint64_t here = ascii_[static_cast<unsigned char>(letters_of[k]) & 0x7F] >> k;
      run = k == 0 ? here : run & here;
      if (run == 0) break;
      shifts_[s * han::kMaxSyllableLength + k] = run;
      tops_[s] = static_cast<uint8_t>(k + 1);
    }
  }
}

uint64_t HanKey::CharMask(uint32_t code) const {
  for (const auto& [known, mask] : chars_) {
    if (known == code) return mask;
  }
  return 0;
}

uint16_t HanKey::Learn(uint16_t set) const {
  SetMoves moves;
  const uint16_t* const first = tables_.pool + tables_.start[set - 1];
  const uint16_t* const last = tables_.pool + tables_.start[set];
  for (const uint16_t* s = first; s != last; ++s) {
    const uint64_t* shift = &shifts_[*s * han::kMaxSyllableLength];
    for (unsigned k = 0; k < tops_[*s]; ++k) moves.shift[k] |= shift[k];
    moves.top = std::max<unsigned>(moves.top, tops_[*s]);
  }
  moves_.push_back(moves);
  set_moves_[set] = static_cast<uint16_t>(moves_.size());
  return set_moves_[set];
}

uint64_t HanKey::Step(SearchUnit unit, uint64_t ready) const {
  if (ready == 0) return 0;
  const uint32_t code = unit.code;
  if (code < 0x80) return ready & ascii_[code];
  uint64_t reached = chars_.empty() ? 0 : ready & CharMask(code);
  const uint16_t set = ReadingSet(code);
  if (set == 0 || set >= set_moves_.size()) return reached;
  const SetMoves& moves = MovesOf(set);
  for (unsigned k = 0; k < moves.top; ++k) reached |= (ready & moves.shift[k]) << k;
  return reached;
}

bool HanKey::Matches(std::string_view text) const {
  if (accept_ == 0) return false;
  uint64_t reached = 0;
  for (size_t pos = 0; pos < text.size();) {
    const SearchUnit unit = UnitAt(text, pos);
    reached = Step(unit, reached << 1 | 1);
    if (reached & accept_) return true;
    pos += unit.size;
  }
  return false;
}

HanKey::From HanKey::MatchFrom(std::string_view field, size_t pos, size_t end) const {
  From result;
  if (accept_ == 0) return result;
  uint64_t ready = 1;
  while (pos < field.size()) {
    const SearchUnit unit = UnitAt(field, pos);
    const uint64_t reached = Step(unit, ready);
    if (reached == 0) break;
    pos += unit.size;
    if (reached & accept_) {
      result.match = true;
      if (pos == end) {
        result.to_end = true;
        break;
      }
    }
    ready = reached << 1;
  }
  return result;
}

HanKey::Span HanKey::SpanFrom(std::string_view field, size_t pos, size_t end) const {
  Span span;
  if (accept_ == 0) return span;
  uint64_t ready = 1;
  while (pos < field.size()) {
    const SearchUnit unit = UnitAt(field, pos);
    const uint64_t reached = Step(unit, ready);
    if (reached == 0) break;
    pos += unit.size;
    if (reached & accept_) {
      if (!span.from.match) span.stop = pos;
      span.from.match = true;
      if (pos == end) {
        span.from.to_end = true;
        break;
      }
    }
    ready = reached << 1;
  }
  return span;
}

std::optional<std::pair<size_t, size_t>> MatchedSpan(std::string_view text,
                                                     std::string_view folded_key) {
  if (folded_key.empty()) return std::nullopt;
  // The text folded character by character, with where each folded
  // character came from.
  std::string folded;
  std::vector<size_t> origin(1, 0);  // origin[folded offset] at character starts
  for (size_t pos = 0; pos < text.size();) {
    const size_t len = std::max<size_t>(1, Utf8SequenceLength(text, pos));
    folded += FoldForSearch(text.substr(pos, len));
    origin.resize(folded.size() + 1, pos);
    pos += len;
    origin[folded.size()] = pos;
  }
  const HanKey key(folded_key);
  const FieldShape shape = ShapeOf(folded);
  std::optional<std::pair<size_t, size_t>> best;
  MatchQuality best_quality = MatchQuality::kNone;
  if (key.units() > HanKey::kMaxUnits) {
    // Too long for readings: as plain text.
    const size_t at = folded.find(folded_key);
    if (at == std::string::npos) return std::nullopt;
    return std::make_pair(origin[at], origin[at + folded_key.size()]);
  }
  for (size_t pos = 0; pos < folded.size(); pos += UnitAt(folded, pos).size) {
    const HanKey::Span span = key.SpanFrom(folded, pos, shape.end);
    if (!span.from.match) continue;
    const MatchQuality quality = QualityAt(folded, shape, pos, span.from.to_end);
    if (quality <= best_quality) continue;
    best_quality = quality;
    best = std::make_pair(origin[pos], origin[span.from.to_end ? shape.end : span.stop]);
    if (quality == MatchQuality::kWhole) break;
  }
  return best;
}

MatchQuality HanKey::Quality(std::string_view text) const {
  if (accept_ == 0) return MatchQuality::kNone;
  const FieldShape shape = ShapeOf(text);
  // Three runs at once: matches starting anywhere, at word starts, at anchors.
  uint64_t any = 0, word = 0, anchor = 0;
  MatchQuality best = MatchQuality::kNone;
  WordClass before = WordClass::kSeparator;
  for (size_t pos = 0; pos < text.size();) {
    const SearchUnit unit = UnitAt(text, pos);
    const WordClass at = WordClassOf(unit.code);
    const uint64_t word_start = StartsWord(before, at) ? 1 : 0;
    const uint64_t anchored = pos == 0 || pos == shape.component ? 1 : 0;
    any = Step(unit, any << 1 | 1);
    word = Step(unit, word << 1 | word_start);
    anchor = Step(unit, anchor << 1 | anchored);
    const size_t next = pos + unit.size;
    if (anchor & accept_) {
      if (next == shape.end) return MatchQuality::kWhole;
      best = std::max(best, MatchQuality::kPrefix);
    } else if (word & accept_) {
      best = std::max(best, MatchQuality::kWordStart);
    } else if (any & accept_) {
      best = std::max(best, MatchQuality::kSubstring);
    }
    before = at;
    pos = next;
  }
  return best;
}

// ---- signatures ----

uint8_t UnitClass(uint32_t code) {
  if (code < 0x80) return kByteClass[code];
  return static_cast<uint8_t>(44 + (code * 2654435761u >> 16) % 20);
}

bool UnitClassIsExact(uint32_t code) {
  return (code >= 'a' && code <= 'z') || (code >= '0' && code <= '9');
}

namespace {

void AddField(HanSignature& sig, std::string_view text) {
  for (const char c : text) sig.letters |= uint64_t{1} << kByteClass[static_cast<unsigned char>(c)];
  const FieldShape shape = ShapeOf(text);
  WordClass before = WordClass::kSeparator;
  for (size_t pos = 0; pos < text.size();) {
    const SearchUnit unit = UnitAt(text, pos);
    uint64_t classes = uint64_t{1} << UnitClass(unit.code);
    for (const uint16_t s : ReadingsOfUnit(unit.code)) {
      sig.readings = true;
      const std::string_view letters = han::Syllable(s);
      sig.initials |= uint32_t{1} << (letters[0] - 'a');
      classes |= uint64_t{1} << kByteClass[static_cast<unsigned char>(letters[0])];
      for (const char c : letters) {
        sig.letters |= uint64_t{1} << kByteClass[static_cast<unsigned char>(c)];
      }
    }
    const WordClass at = WordClassOf(unit.code);
    const size_t next = pos + unit.size;
    if (pos == 0 || pos == shape.component) {
      sig.anchor_firsts |= classes;
      if (next == shape.end) sig.whole_firsts |= classes;
    }
    if (StartsWord(before, at)) sig.word_firsts |= classes;
    before = at;
    pos = next;
  }
}

}  // namespace

HanSignature SignatureOf(std::string_view folded_path, std::string_view folded_name) {
  HanSignature sig;
  AddField(sig, folded_path);
  sig.same_fields = folded_name == folded_path;
  if (!sig.same_fields) AddField(sig, folded_name);
  return sig;
}

void AppendHanUnits(std::string_view text, size_t base, std::vector<uint32_t>& out) {
  for (size_t pos = 0; pos < text.size();) {
    const SearchUnit unit = UnitAt(text, pos);
    if (unit.code >= 0x80 && unit.code < kStrayUnit) {
      if (const uint16_t set = han::ReadingSetOf(unit.code)) {
        if (base + pos > 0xFFFF) return;
        out.push_back(static_cast<uint32_t>(base + pos) << 16 | set);
      }
    }
    pos += unit.size;
  }
}

}  // namespace zd
