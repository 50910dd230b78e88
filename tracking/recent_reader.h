// The shell's Recent items and the programs' jump lists, read on a thread of
// their own as the browsers' files are: a refresh asks for a read and takes
// the latest finished one. A read first compares the stamp of the Recent
// folder and the jump lists with the last read's, and reads nothing (and
// tells nothing) while they are unchanged.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/recent_items.h"

namespace zd {

struct RecentFile {
  std::string path;
  int64_t opened = 0;   // the newest time a source gives (seconds since 1970)
  bool folder = false;  // a folder, for the folders' kind
  bool pinned = false;  // pinned in some program's jump list
  bool operator==(const RecentFile&) const = default;
};

struct RecentLimits {
  size_t links = 500;  // the newest links of the Recent folder
  size_t lists = 50;   // the newest jump lists
};

// One entry per path (compared as Windows compares file names), the newest
// time of its links and jump-list entries, the newest first. Entries without
// a path, and shell places that are no path (a "::{...}" item), are left out;
// network paths stay, never asked about.
std::vector<RecentFile> MergeRecent(const std::vector<RecentLink>& links,
                                    const std::vector<JumpListItem>& items);

class RecentReader {
 public:
  // `make` is called on the reader's thread (the shell's objects belong to
  // it); `notify`, on the reader's thread, only passes the word on.
  RecentReader(std::function<std::unique_ptr<RecentItems>()> make, std::function<void()> notify,
               RecentLimits limits = {});
  ~RecentReader();
  RecentReader(const RecentReader&) = delete;
  RecentReader& operator=(const RecentReader&) = delete;

  // Never waits.
  void Request();
  // The files of the latest read finished since the last Take.
  std::optional<std::vector<RecentFile>> Take();
  // Until no read runs or waits (the tests' way to see a read through).
  void WaitIdle();
  // Reads that found the stamp changed and read the lists (for tests and the bench).
  int reads() const { return reads_; }

 private:
  void Run();

  std::function<std::unique_ptr<RecentItems>()> make_;
  std::function<void()> notify_;
  RecentLimits limits_;
  std::unique_ptr<RecentItems> items_;  // the reader's thread's alone
  std::string stamp_;                   // of the last read
  int reads_ = 0;
  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  bool waiting_ = false;
  bool reading_ = false;
  bool stop_ = false;
  std::optional<std::vector<RecentFile>> finished_;
  std::thread thread_;
};

}  // namespace zd
