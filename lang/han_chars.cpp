#include "lang/han_chars.h"

#include <algorithm>
#include <vector>

#include "lang/han_data.h"

namespace zd::han {
namespace {

using namespace data;

// Index of `cp` in a plane-by-plane list (see han_data.h), or -1.
ptrdiff_t FindInPlanes(const uint16_t* low, const uint16_t* plane_start, char32_t cp) {
  const uint32_t plane = cp >> 16;
  if (plane > 16) return -1;
  const uint16_t* first = low + plane_start[plane];
  const uint16_t* last = low + plane_start[plane + 1];
  const auto wanted = static_cast<uint16_t>(cp & 0xFFFF);
  const uint16_t* at = std::lower_bound(first, last, wanted);
  return at != last && *at == wanted ? at - low : -1;
}

uint16_t SetOf(char32_t cp) {
  // The unified block and extension A, first of the dense ranges: most names.
  if (cp - kDenseRanges[0].first < kDenseRanges[0].end - kDenseRanges[0].first) {
    return kDenseSet[cp - kDenseRanges[0].first];
  }
  size_t offset = 0;
  for (size_t i = 0; i < kDenseRangeCount; ++i) {
    const DenseRange& range = kDenseRanges[i];
    if (cp >= range.first && cp < range.end) return kDenseSet[offset + (cp - range.first)];
    offset += range.end - range.first;
  }
  const ptrdiff_t at = FindInPlanes(kSparseLow, kSparsePlane, cp);
  return at < 0 ? 0 : kSparseSet[at];
}

// The characters of the first plane that fold, one bit each: most text
// folds to itself, and this says so without a search.
const std::vector<bool>& FoldsInFirstPlane() {
  static const std::vector<bool> folds = [] {
    std::vector<bool> bits(0x10000, false);
    for (uint16_t i = kFoldPlane[0]; i < kFoldPlane[1]; ++i) bits[kFoldLow[i]] = true;
    return bits;
  }();
  return folds;
}

}  // namespace

uint16_t ReadingSetOf(char32_t cp) {
  // Below the first CJK block nothing has a reading; most text is there.
  if (cp < 0x2E80) return 0;
  return SetOf(cp);
}

std::span<const uint16_t> SetReadings(uint16_t set) {
  if (set == 0 || set > kSetCount) return {};
  return {kSetPool + kSetStart[set - 1], kSetPool + kSetStart[set]};
}

std::span<const uint32_t> SetInitialsTable() {
  static const std::vector<uint32_t> initials = [] {
    std::vector<uint32_t> masks(kSetCount + 1, 0);
    for (uint16_t s = 1; s <= kSetCount; ++s) {
      for (const uint16_t syllable : SetReadings(s)) {
        masks[s] |= uint32_t{1} << (kSyllableText[kSyllableStart[syllable]] - 'a');
      }
    }
    return masks;
  }();
  return initials;
}

uint32_t SetInitials(uint16_t set) {
  const std::span<const uint32_t> table = SetInitialsTable();
  return set < table.size() ? table[set] : 0;
}

size_t SetCount() { return kSetCount; }

DirectTables Direct() {
  DirectTables tables;
  tables.first = kDenseRanges[0].first;
  tables.sets = {kDenseSet, kDenseRanges[0].end - kDenseRanges[0].first};
  tables.pool = kSetPool;
  tables.start = kSetStart;
  return tables;
}

std::span<const uint16_t> Readings(char32_t cp) { return SetReadings(ReadingSetOf(cp)); }

std::string_view Syllable(uint16_t syllable) {
  if (syllable >= kSyllableCount) return {};
  return {kSyllableText + kSyllableStart[syllable],
          static_cast<size_t>(kSyllableStart[syllable + 1] - kSyllableStart[syllable] - 1)};
}

size_t SyllableCount() { return kSyllableCount; }

char32_t Fold(char32_t cp) {
  if (cp < 0x2E80) return cp;
  if (cp < 0x10000 && !FoldsInFirstPlane()[cp]) return cp;
  const ptrdiff_t at = FindInPlanes(kFoldLow, kFoldPlane, cp);
  return at < 0 ? cp : kFoldTo[at];
}

TableStats Stats() {
  TableStats stats;
  size_t dense = 0;
  for (size_t i = 0; i < kDenseRangeCount; ++i)
    dense += kDenseRanges[i].end - kDenseRanges[i].first;
  const size_t sparse = kSparsePlane[17];
  const size_t folds = kFoldPlane[17];
  stats.bytes = kSyllableStart[kSyllableCount] + (kSyllableCount + 1) * sizeof(uint16_t) +
                kSetStart[kSetCount] * sizeof(uint16_t) + (kSetCount + 1) * sizeof(uint16_t) +
                kDenseRangeCount * sizeof(DenseRange) + dense * sizeof(uint16_t) +
                sparse * 2 * sizeof(uint16_t) + 2 * 18 * sizeof(uint16_t) +
                folds * (sizeof(uint16_t) + sizeof(uint32_t));
  stats.characters = kCharsWithReadings;
  stats.syllables = kSyllableCount;
  stats.reading_sets = kSetCount;
  stats.folds = folds;
  return stats;
}

}  // namespace zd::han
