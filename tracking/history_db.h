// A Chromium browser's History database (SQLite; table urls: url, title,
// last_visit_time; table visits with its time index): the address a window
// title stands for. The file belongs to the browser, which may hold it
// locked and may have written anything into it: it is read in place with
// SQLite's own read-only access (without locks when the browser holds one,
// never copied), in defensive mode, with no trust in its schema, no memory
// mapping, and no statement running longer than a limit.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/shared_files.h"

namespace zd {

struct HistoryHit {
  std::string url;
  int64_t last_visit_time = 0;  // the browser's units (microseconds since 1601)
  bool operator==(const HistoryHit&) const = default;
};

// How the file was read: as a database is (the browser holds no lock), or
// without taking locks (it holds one, as Chromium does while it runs).
enum class HistoryRead { kDirect, kWithoutLocks, kFailed };

struct HistoryLimits {
  // The index is built from this many of the newest visits.
  int recent_visits = 10000;
  // Addresses and titles held, in bytes; beyond it, built again from the newest visits.
  size_t max_bytes = 16u << 20;
  // Any statement is ended after this long.
  int statement_ms = 200;
  // Rows of urls one statement of a pass over the whole table reads: a few
  // milliseconds' work, far below the time limit even on a slow machine.
  int64_t rows_per_statement = 20000;
  // An update reads again the visits this long before the newest one seen:
  // a page's title is set after its visit, when the page has loaded.
  int64_t look_back = int64_t{3600} * 1000000;
};

struct HistoryLookup {
  HistoryRead read = HistoryRead::kFailed;
  // The most recently visited entry with an address of each title found
  // (ties: the newer row).
  std::map<std::string, HistoryHit> hits;
};

class HistoryDatabase;

// One pass over the whole urls table for `titles`.
HistoryLookup LookUpTitles(const std::string& path, const std::vector<std::string>& titles,
                           const HistoryLimits& limits = {},
                           const std::atomic<bool>* cancel = nullptr);

// What one History file answers: a title-to-address index built from its
// newest visits and kept up to date from the visits made since, so that a
// window's title is answered from memory. A title the index lacks (a page
// visited long ago, or none) is looked up in the whole table, once per
// change of the file. The file is read again only when it or its -wal file changed (time
// or size); a read that failed is not tried again before that.
class HistoryIndex {
 public:
  explicit HistoryIndex(std::string path, HistoryLimits limits = {});

  std::map<std::string, HistoryHit> Answer(const std::vector<std::string>& titles,
                                           SharedFiles& files,
                                           const std::atomic<bool>* cancel = nullptr);

  // What was done, for tests and benchmarks.
  struct Work {
    int opens = 0;    // connections opened (each read of the file)
    int builds = 0;   // index built from the newest visits
    int updates = 0;  // index brought up to date from the visits since
    int scans = 0;    // passes over the whole table
    int ended = 0;    // statements ended by the time limit (or the cancel flag)
  };
  const Work& work() const { return work_; }
  HistoryRead last_read() const { return last_read_; }
  size_t entries() const { return by_title_.size(); }

 private:
  struct Entry {
    std::string url;
    int64_t last_visit_time = 0;
    int64_t row = 0;
    uint64_t checked = 0;  // the state of the file (generation) it was read or checked in
  };
  struct Stamps {
    FileStamp main;
    std::optional<FileStamp> wal;
    bool operator==(const Stamps&) const = default;
  };
  void Reset();
  // Drops the entry of `title` when it is `row`'s.
  void Drop(const std::string& title, int64_t row);
  // A row read: its title's entry, unless that one was visited later (or,
  // at the same time, is a later row). A row that carried another title
  // before is found out when that title is asked (Check).
  void Take(int64_t row, const std::string& title, std::string url, int64_t last_visit_time);
  bool Build(HistoryDatabase& db);
  bool Update(HistoryDatabase& db);
  // The entries of `titles` read before this state of the file are checked
  // against their rows: dropped when the row is gone or carries another title.
  bool Check(HistoryDatabase& db, const std::vector<std::string>& titles);

  std::string path_;
  HistoryLimits limits_;
  std::optional<Stamps> stamps_;
  uint64_t generation_ = 0;       // counts the states of the file seen
  uint64_t read_generation_ = 0;  // the state the index was last brought up to
  bool failed_ = false;           // a read of this state failed: not tried again
  bool built_ = false;
  std::optional<int64_t> latest_visit_;
  std::unordered_map<std::string, Entry> by_title_;
  size_t bytes_ = 0;
  // Looked up in the whole table in this state of the file (found or not).
  std::unordered_set<std::string> scanned_;
  HistoryRead last_read_ = HistoryRead::kFailed;
  Work work_;
};

}  // namespace zd
