// A Chromium browser's History database (SQLite; table urls: url, title,
// last_visit_time): the address a window title stands for. The browser keeps
// the file open and may hold a lock on it: the file is then read whole, with
// full sharing, and queried in memory, so the browser is never made to wait.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/shared_files.h"

namespace zd {

struct HistoryHit {
  std::string url;
  int64_t last_visit_time = 0;  // the browser's units (microseconds since 1601)
  bool operator==(const HistoryHit&) const = default;
};

enum class HistoryRead { kDirect, kCopy, kFailed };

struct HistoryLookup {
  HistoryRead read = HistoryRead::kFailed;
  // The most recently visited entry of each title found (ties: the newer row).
  std::map<std::string, HistoryHit> hits;
};

// One pass over the table for all `titles`. kFailed when neither the file
// nor a copy of it could be queried (not a database, no table urls, gone).
HistoryLookup LookUpTitles(const std::string& path, const std::vector<std::string>& titles,
                           SharedFiles& files);

}  // namespace zd
