// The Han character tables as the build generates them from the Unihan
// database (scripts/gen_han_tables.py). Internal to lang/: readers go
// through lang/han_chars.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zd::han::data {

// Toneless syllables, each ended by a NUL, in alphabetical order; syllable i
// starts at kSyllableStart[i] (one entry more than there are syllables).
extern const char kSyllableText[];
extern const uint16_t kSyllableStart[];
extern const size_t kSyllableCount;

// Reading set s (from 1) is kSetPool[kSetStart[s - 1] .. kSetStart[s]):
// syllable numbers, the most common reading first.
extern const uint16_t kSetPool[];
extern const uint16_t kSetStart[];
extern const size_t kSetCount;

// Code points first .. end - 1 of each range have one kDenseSet entry each,
// the ranges one after another. Other characters with readings are listed
// plane by plane: those of plane p are kSparseLow[kSparsePlane[p] ..
// kSparsePlane[p + 1]) (their low 16 bits, ascending), their set in
// kSparseSet. Set 0: no readings.
struct DenseRange {
  uint32_t first, end;
};
extern const DenseRange kDenseRanges[];
extern const size_t kDenseRangeCount;
extern const uint16_t kDenseSet[];
extern const uint16_t kSparseLow[];
extern const uint16_t kSparsePlane[18];
extern const uint16_t kSparseSet[];

// Traditional-only characters, listed plane by plane as above, and the
// simplified form each folds to.
extern const uint16_t kFoldLow[];
extern const uint16_t kFoldPlane[18];
extern const uint32_t kFoldTo[];

extern const size_t kCharsWithReadings;

}  // namespace zd::han::data
