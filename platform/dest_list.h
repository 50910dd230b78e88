// A jump list's "DestList" stream (in each *.automaticDestinations-ms file of
// the user's Recent folder): which of the file's numbered streams, each a
// shell link, was used when, and which are pinned. The layouts of Windows 7
// (version 1) and of Windows 10 and later (versions 2 to 4). The bytes come
// from a file any program may have written: every read is bounded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zd {

struct DestListEntry {
  uint32_t stream = 0;      // the numbered stream of its shell link (stream "1a" is 26)
  int64_t last_access = 0;  // seconds since 1970; 0 when the list has none
  bool pinned = false;
  std::string path;  // as the list names it, UTF-8 (unpaired surrogates as U+FFFD)
  bool operator==(const DestListEntry&) const = default;
};

inline constexpr size_t kDestListHeaderSize = 32;
// Entries of version 1 and of the later versions up to their path's length.
inline constexpr size_t kDestListFixedV1 = 114;
inline constexpr size_t kDestListFixedV2 = 130;
// More than any jump list holds: a count beyond it is a damaged stream.
inline constexpr uint32_t kMaxDestListEntries = 4096;

// The entries in the stream's order (the most recent first); nullopt for a
// stream of another kind or version, or one too short for its header. An
// entry cut short ends the list there: the ones before it are kept.
std::optional<std::vector<DestListEntry>> ParseDestList(std::string_view bytes);

// The numbered stream's name ("1a") for an entry, as the file names it.
std::string DestListStreamName(uint32_t stream);

// Seconds since 1970 of a FILETIME (100 ns since 1601); 0 for 0 and for
// times before 1970.
int64_t FileTimeToUnixSeconds(uint64_t filetime);

}  // namespace zd
