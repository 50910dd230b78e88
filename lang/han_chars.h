// Han characters as the search sees them: their Mandarin readings without
// tones, and their simplified form. The tables are generated at build time
// from the Unihan database (scripts/gen_han_tables.py).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace zd::han {

// The longest syllable ("zhuang").
inline constexpr size_t kMaxSyllableLength = 6;

// The readings of a character as syllable numbers, the most common first;
// empty for a character without readings.
std::span<const uint16_t> Readings(char32_t cp);
// Characters share their readings as numbered sets (0: no readings).
uint16_t ReadingSetOf(char32_t cp);
std::span<const uint16_t> SetReadings(uint16_t set);
// Bit i set when one of the set's readings starts with the letter 'a' + i.
uint32_t SetInitials(uint16_t set);
// The same for every set, indexed by set number.
std::span<const uint32_t> SetInitialsTable();
size_t SetCount();

// The tables themselves, for loops that look up a character at every step:
// the sets of the code points from `first` on (the unified ideographs among
// them), and set s's readings at pool[start[s - 1] .. start[s]).
struct DirectTables {
  char32_t first = 0;
  std::span<const uint16_t> sets;
  const uint16_t* pool = nullptr;
  const uint16_t* start = nullptr;
};
DirectTables Direct();
// The letters of a syllable ("bao"); "ü" is written "v".
std::string_view Syllable(uint16_t syllable);
size_t SyllableCount();

// The simplified form of a character written only in traditional script
// (報 → 报, 臺 → 台); every other character as it is. Folding twice changes
// nothing more.
char32_t Fold(char32_t cp);

// What the generated tables hold and the bytes they take in the program.
struct TableStats {
  size_t bytes = 0;
  size_t characters = 0;  // with readings
  size_t syllables = 0;
  size_t reading_sets = 0;  // distinct combinations of readings
  size_t folds = 0;         // traditional-only characters
};
TableStats Stats();

}  // namespace zd::han
