// What the launcher's search adds for Chinese names: texts folded to one
// script, and keys matched with letters standing for the characters'
// readings ("bg", "baogao", "baog" and "bg2026" find 报告2026), by a
// bit-parallel automaton over the text's characters.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lang/han_chars.h"

namespace zd {

// A text as the launcher's search compares it: ASCII letters lowered, every
// well-formed character in its simplified form (報告 → 报告), every other
// byte as it is.
std::string FoldForSearch(std::string_view text);

// The characters of a folded text. A unit's code is its ASCII byte, its code
// point, or kStrayUnit + the byte for a byte that starts no character.
inline constexpr uint32_t kStrayUnit = 0x110000;
struct SearchUnit {
  uint32_t code = 0;
  uint32_t size = 1;  // bytes
};
// Anything but ASCII and Chinese text (three-byte sequences) is decoded out
// of line: the search steps through texts unit by unit.
SearchUnit DecodeUnitAt(std::string_view text, size_t pos);
inline SearchUnit UnitAt(std::string_view text, size_t pos) {
  const auto b = static_cast<unsigned char>(text[pos]);
  if (b < 0x80) return {b, 1};
  if (b >= 0xE1 && b <= 0xEC && pos + 2 < text.size()) {
    const auto c1 = static_cast<unsigned char>(text[pos + 1]);
    const auto c2 = static_cast<unsigned char>(text[pos + 2]);
    if ((c1 & 0xC0) == 0x80 && (c2 & 0xC0) == 0x80) {
      return {(uint32_t{b} & 0x0F) << 12 | (uint32_t{c1} & 0x3F) << 6 | (c2 & 0x3F), 3};
    }
  }
  return DecodeUnitAt(text, pos);
}

// How well a key matches a field (a name or a path), best first. The field's
// anchors are its start and the start of its last component (after the last
// "\" or "/", trailing ones left out); "whole" is a match from an anchor to
// the field's end. A word starts after a blank or punctuation, and where
// letters, digits and other characters meet.
enum class MatchQuality : uint8_t { kNone, kSubstring, kWordStart, kPrefix, kWhole };

struct FieldShape {
  size_t end = 0;        // the field without trailing "\" and "/"
  size_t component = 0;  // where its last component starts
};
FieldShape ShapeOf(std::string_view text);
// Where words start: letters, digits, separators (ASCII punctuation and
// blanks) and everything else. Inline, as the rest below: the search asks
// at every match.
enum class WordClass : uint8_t { kLetter, kDigit, kSeparator, kOther };
inline WordClass WordClassOf(uint32_t code) {
  if (code >= 0x80) return WordClass::kOther;
  const auto c = static_cast<char>(code);
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return WordClass::kLetter;
  if (c >= '0' && c <= '9') return WordClass::kDigit;
  return WordClass::kSeparator;
}
inline bool StartsWord(WordClass before, WordClass at) {
  return before == WordClass::kSeparator || (before != at && at != WordClass::kSeparator);
}
inline bool IsWordStartAt(std::string_view text, size_t pos) {
  if (pos == 0) return true;
  if (pos >= text.size()) return false;
  return StartsWord(WordClassOf(static_cast<unsigned char>(text[pos - 1])),
                    WordClassOf(static_cast<unsigned char>(text[pos])));
}
// The quality of the key's best occurrence as plain text (byte for byte).
MatchQuality LiteralQuality(std::string_view text, std::string_view key);
MatchQuality LiteralQuality(std::string_view text, const FieldShape& shape, std::string_view key);

// A key compiled for matching with readings. A text's character is matched
// by itself or by a leading part of one of its readings (at least its first
// letter), so a reading may be spelled out, cut short or given by its
// initial, character by character; everything else matches as itself.
class HanKey {
 public:
  // Keys of more units than this match as plain text only.
  static constexpr size_t kMaxUnits = 64;

  explicit HanKey(std::string_view folded_key);

  size_t units() const { return units_.size(); }
  uint32_t unit(size_t i) const { return units_[i]; }
  // Whether readings can take part: 1 to kMaxUnits units, one a letter.
  bool usable() const { return usable_; }

  // Whether the key occurs in the text, letters standing for readings.
  bool Matches(std::string_view text) const;
  // The best quality of its occurrences; kNone when there is none.
  MatchQuality Quality(std::string_view text) const;

  // The key's matches that begin at the unit at `pos` of a field: whether
  // there is one, and whether one ends where the field ends (`end`, as
  // ShapeOf gives it). Only the units it spans are read.
  struct From {
    bool match = false;
    bool to_end = false;
  };
  From MatchFrom(std::string_view field, size_t pos, size_t end) const;
  // As MatchFrom, with where the shortest of those matches ends (a byte
  // offset; 0 when there is none).
  struct Span {
    From from;
    size_t stop = 0;
  };
  Span SpanFrom(std::string_view field, size_t pos, size_t end) const;
  // Whether a character of reading set `set` can take the key's first unit
  // by a reading (its own code is looked for as plain text).
  bool ReadingMayStart(uint16_t set) const {
    return first_letter_ != 0 && set < set_initials_.size() && (first_letter_ & set_initials_[set]);
  }
  // The reading set of a character (0: none, or the key spells no reading).
  uint16_t ReadingSet(uint32_t code) const {
    if (tops_.empty() || code < 0x80 || code >= kStrayUnit) return 0;
    return code - tables_.first < tables_.sets.size() ? tables_.sets[code - tables_.first]
                                                      : han::ReadingSetOf(code);
  }
  // Whether a reading of set `set` (from ReadingSet) begins with key unit `unit`.
  bool Begins(uint16_t set, size_t unit) const {
    const uint32_t letter = units_[unit] - 'a';
    return letter < 26 && set < set_initials_.size() && ((set_initials_[set] >> letter) & 1);
  }
  // Whether key units [from, from + letters) spell the first letters of a
  // reading of set `set` (from ReadingSet).
  bool Spells(uint16_t set, size_t from, size_t letters) const {
    if (set == 0 || set >= set_moves_.size() || letters == 0 || letters > han::kMaxSyllableLength) {
      return false;
    }
    return (MovesOf(set).shift[letters - 1] >> from) & 1;
  }

 private:
  // The key positions reached after `unit`, from the positions `ready` to
  // take their next key unit there.
  uint64_t Step(SearchUnit unit, uint64_t ready) const;
  uint64_t CharMask(uint32_t code) const;

  std::vector<uint32_t> units_;
  bool usable_ = false;
  uint32_t first_letter_ = 0;  // bit of the first unit when it is a letter
  uint64_t accept_ = 0;
  std::array<uint64_t, 128> ascii_{};
  std::vector<std::pair<uint32_t, uint64_t>> chars_;
  // For each syllable: bit j of its shift k is set when key units j .. j + k
  // spell its first k + 1 letters; tops_ says how many shifts are in use
  // (most syllables: none, and only that small table is read for them).
  std::vector<uint8_t> tops_;
  std::vector<uint64_t> shifts_;  // kMaxSyllableLength per syllable
  std::span<const uint32_t> set_initials_;
  han::DirectTables tables_;
  // What a character of a reading set does to the key's positions, its
  // syllables' shifts folded into one per length (bit j of shift[k]: key
  // units j .. j + k spell the first k + 1 letters of one of its readings).
  // Learnt on first use: most sets' readings are not spelled in the key.
  struct SetMoves {
    unsigned top = 0;  // lengths in use
    std::array<uint64_t, han::kMaxSyllableLength> shift{};
  };
  const SetMoves& MovesOf(uint16_t set) const {
    const uint16_t learnt = set_moves_[set];
    return moves_[(learnt != 0 ? learnt : Learn(set)) - 1];
  }
  uint16_t Learn(uint16_t set) const;
  // For each reading set: 0 not learnt yet, else its moves at index - 1.
  mutable std::vector<uint16_t> set_moves_;
  mutable std::vector<SetMoves> moves_;
};

// Where a folded key matches a text best, as the ranking judges a match
// (from an anchor to the end, from an anchor, at a word start, anywhere; the
// first of equals), letters standing for readings: the bytes of `text` as it
// is, not folded, that the match spans (for a match to the end, up to the
// end). nullopt when the key does not occur.
std::optional<std::pair<size_t, size_t>> MatchedSpan(std::string_view text,
                                                     std::string_view folded_key);

// What a record's folded path and name offer to keys with readings, for
// ruling records out before their text is read.
struct HanSignature {
  bool readings = false;     // some character has a reading
  bool same_fields = false;  // the name is the path (a folder's): one is enough
  uint64_t letters = 0;      // byte classes of the text and of every reading's letters
  uint32_t initials = 0;     // first letters of the readings (bit 0: 'a')
  // Unit classes that match a one-unit key at an anchor, at a word start,
  // and as a whole field or component.
  uint64_t anchor_firsts = 0, word_firsts = 0, whole_firsts = 0;
};
HanSignature SignatureOf(std::string_view folded_path, std::string_view folded_name);

// The characters with readings in a text, each as its byte offset (from
// `base` on) in the high 16 bits and its reading set in the low ones; texts
// beyond 64 KiB are cut there.
void AppendHanUnits(std::string_view text, size_t base, std::vector<uint32_t>& out);

// How a match that begins at byte `pos` of a field ranks: from an anchor,
// reaching the end or not; at a word start; anywhere else.
inline MatchQuality QualityAt(std::string_view field, const FieldShape& shape, size_t pos,
                              bool to_end) {
  if (pos == 0 || pos == shape.component) {
    return to_end ? MatchQuality::kWhole : MatchQuality::kPrefix;
  }
  return IsWordStartAt(field, pos) ? MatchQuality::kWordStart : MatchQuality::kSubstring;
}

// A byte's class among 64: the letters and digits one each, the rest
// shared. A record can only hold a key when it holds every class of the
// key's bytes, which rules out most records before their text is read.
inline constexpr std::array<uint8_t, 256> kByteClass = [] {
  std::array<uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    if (c >= 'a' && c <= 'z') {
      classes[c] = static_cast<uint8_t>(c - 'a');
    } else if (c >= 'A' && c <= 'Z') {
      classes[c] = static_cast<uint8_t>(c - 'A');
    } else if (c >= '0' && c <= '9') {
      classes[c] = static_cast<uint8_t>(26 + c - '0');
    } else if (c < 0x80) {
      classes[c] = static_cast<uint8_t>(36 + c % 8);
    } else {
      classes[c] = static_cast<uint8_t>(44 + c % 20);
    }
  }
  return classes;
}();
// A unit's class: an ASCII byte's own, other characters hashed among the
// classes of the bytes above 0x7F.
uint8_t UnitClass(uint32_t code);
bool UnitClassIsExact(uint32_t code);

}  // namespace zd
