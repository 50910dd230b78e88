#include "tracking/browser_reader.h"

#include "platform/errors.h"

namespace zd {

BrowserReader::BrowserReader(SharedFiles& files, UserFolders folders, std::function<void()> notify,
                             HistoryLimits limits)
    : pages_(files, std::move(folders), limits), notify_(std::move(notify)) {}

BrowserReader::~BrowserReader() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    cancel_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void BrowserReader::Request(std::vector<RunningBrowser> running) {
  {
    std::lock_guard lock(mutex_);
    waiting_ = std::move(running);
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  wake_.notify_one();
}

std::optional<std::vector<OpenBrowserPage>> BrowserReader::Take() {
  std::lock_guard lock(mutex_);
  std::optional<std::vector<OpenBrowserPage>> pages = std::move(finished_);
  finished_.reset();
  return pages;
}

void BrowserReader::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !reading_ && !waiting_; });
}

bool BrowserReader::busy() {
  std::lock_guard lock(mutex_);
  return reading_ || waiting_;
}

void BrowserReader::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || waiting_; });
    if (stop_) return;
    const std::vector<RunningBrowser> running = std::move(*waiting_);
    waiting_.reset();
    reading_ = true;
    lock.unlock();
    std::optional<std::vector<OpenBrowserPage>> pages;
    try {
      pages = pages_.Read(running, &cancel_);
    }
    ZD_CATCH_LOG("BrowserReader")
    lock.lock();
    reading_ = false;
    if (pages && !stop_) {
      finished_ = std::move(pages);
      // Under the lock: the destructor cannot have gone past it meanwhile.
      if (notify_) notify_();
    }
    if (!waiting_) idle_.notify_all();
  }
}

}  // namespace zd
