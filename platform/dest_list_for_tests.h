// A DestList stream as Windows writes one, for the tests and the fuzz seeds:
// the header, then each entry at the documented offsets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dest_list.h"

namespace zd::testing {

inline void PutU32(std::string& out, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// `paths` as UTF-16 code units, so that a test can give unpaired surrogates.
struct RawEntry {
  uint32_t stream;
  uint64_t filetime;
  bool pinned;
  std::u16string path;
};

inline std::string DestListBytes(uint32_t version, const std::vector<RawEntry>& entries) {
  std::string out(kDestListHeaderSize, '\0');
  PutU32(out, 0, version);
  PutU32(out, 4, static_cast<uint32_t>(entries.size()));
  uint32_t pinned = 0;
  for (const RawEntry& e : entries) pinned += e.pinned ? 1 : 0;
  PutU32(out, 8, pinned);
  const size_t fixed = version == 1 ? kDestListFixedV1 : kDestListFixedV2;
  for (const RawEntry& e : entries) {
    std::string entry(fixed, '\0');
    entry.replace(72, 9, "my-laptop");  // the host name, as the list keeps it
    PutU32(entry, 88, e.stream);
    PutU32(entry, 100, static_cast<uint32_t>(e.filetime));
    PutU32(entry, 104, static_cast<uint32_t>(e.filetime >> 32));
    PutU32(entry, 108, e.pinned ? 0 : 0xFFFFFFFFu);
    entry[fixed - 2] = static_cast<char>(e.path.size() & 0xFF);
    entry[fixed - 1] = static_cast<char>(e.path.size() >> 8);
    for (const char16_t unit : e.path) {
      entry += static_cast<char>(unit & 0xFF);
      entry += static_cast<char>(unit >> 8);
    }
    if (version != 1) entry.append(4, '\0');
    out += entry;
  }
  return out;
}

// A FILETIME of so many seconds since 1970.
constexpr uint64_t FileTimeOf(int64_t unix_seconds) {
  return (static_cast<uint64_t>(unix_seconds) + 11644473600ull) * 10000000ull;
}

}  // namespace zd::testing
