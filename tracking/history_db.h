// A Chromium browser's History database (SQLite; table urls: url, title,
// last_visit_time): the address a window title stands for. The browser keeps
// the file open and may hold a lock on it: the file is then read whole, with
// full sharing, and queried in memory, so the browser is never made to wait.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/shared_files.h"

namespace zd {

struct HistoryHit {
  std::string url;
  int64_t last_visit_time = 0;  // the browser's units (microseconds since 1601)
  bool operator==(const HistoryHit&) const = default;
};

// How the file was read: as a database is (the browser holds no lock),
// without taking locks (it holds one), or as a copy in memory (the file
// changed under the read).
enum class HistoryRead { kDirect, kWithoutLocks, kCopy, kFailed };

struct HistoryLookup {
  HistoryRead read = HistoryRead::kFailed;
  // The most recently visited entry of each title found (ties: the newer row).
  std::map<std::string, HistoryHit> hits;
  // The latest visit's time, when the database has a table of visits.
  std::optional<int64_t> latest_visit;
  // Only the visits after `since` were looked at (see below): a title not
  // in `hits` keeps the answer the caller had.
  bool only_newer = false;
};

// The recently visited pages first (through the visits' time index), then
// one pass over the whole table for the titles not among them. kFailed when
// neither the file nor a copy of it could be queried (not a database, no
// table urls, gone).
// With `since` (the latest visit of an earlier lookup whose answers the
// caller keeps), and at most a window of recent visits made after it, only
// those are looked at: a title's answer can only have changed through them.
HistoryLookup LookUpTitles(const std::string& path, const std::vector<std::string>& titles,
                           SharedFiles& files, std::optional<int64_t> since = std::nullopt);

}  // namespace zd
