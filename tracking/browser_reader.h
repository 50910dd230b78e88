// The browsers' files read on a thread of their own, so that the interface
// never waits for a session file to inflate or a History to answer. A
// refresh asks for a read and takes the latest finished one; one read runs
// at a time (a request made meanwhile is read next, the latest one winning),
// and `notify`, called on the reader's thread, only tells the interface
// thread that a read has finished.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "tracking/browser_pages.h"

namespace zd {

class BrowserReader {
 public:
  BrowserReader(SharedFiles& files, UserFolders folders, std::function<void()> notify,
                HistoryLimits limits = {});
  // Ends a read in progress at its next file or statement, and waits for it.
  ~BrowserReader();
  BrowserReader(const BrowserReader&) = delete;
  BrowserReader& operator=(const BrowserReader&) = delete;

  // Never waits.
  void Request(std::vector<RunningBrowser> running);
  // The pages of the latest read finished since the last Take; nullopt when
  // there is none.
  std::optional<std::vector<OpenBrowserPage>> Take();
  // Waits until no read runs or waits to run (the tests' way to see a read through).
  void WaitIdle();
  bool busy();

  // Work done by the reads (read these only while idle).
  const BrowserPages& pages() const { return pages_; }

 private:
  void Run();

  BrowserPages pages_;  // used by the reader's thread alone
  std::function<void()> notify_;
  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::optional<std::vector<RunningBrowser>> waiting_;
  std::optional<std::vector<OpenBrowserPage>> finished_;
  bool reading_ = false;
  bool stop_ = false;
  std::atomic<bool> cancel_{false};
  std::thread thread_;  // started at the first request
};

}  // namespace zd
