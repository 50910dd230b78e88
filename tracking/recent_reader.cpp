#include "tracking/recent_reader.h"

#include <algorithm>
#include <unordered_map>

#include "platform/errors.h"
#include "store/doc.h"

namespace zd {

std::vector<RecentFile> MergeRecent(const std::vector<RecentLink>& links,
                                    const std::vector<JumpListItem>& items) {
  std::vector<RecentFile> files;
  std::unordered_map<std::string, size_t> index;
  auto add = [&](const std::string& raw, int64_t opened, bool folder, bool pinned) {
    const std::string path = Trim(raw);
    // A shell place ("::{CLSID}") or a bare name is nothing to reopen by path.
    if (path.size() < 3 || path.starts_with("::")) return;
    const bool drive = path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    if (!drive && !path.starts_with("\\\\")) return;
    const auto [it, fresh] = index.try_emplace(DocPathKey(path), files.size());
    if (fresh) {
      files.push_back(RecentFile{path, opened, folder, pinned});
      return;
    }
    RecentFile& known = files[it->second];
    known.opened = std::max(known.opened, opened);
    known.folder = known.folder || folder;
    known.pinned = known.pinned || pinned;
  };
  for (const RecentLink& link : links) add(link.target, link.opened, link.folder, false);
  for (const JumpListItem& item : items) add(item.target, item.opened, item.folder, item.pinned);
  std::stable_sort(files.begin(), files.end(),
                   [](const RecentFile& a, const RecentFile& b) { return a.opened > b.opened; });
  return files;
}

RecentReader::RecentReader(std::function<std::unique_ptr<RecentItems>()> make,
                           std::function<void()> notify, RecentLimits limits)
    : make_(std::move(make)), notify_(std::move(notify)), limits_(limits) {}

RecentReader::~RecentReader() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void RecentReader::Request() {
  {
    std::lock_guard lock(mutex_);
    waiting_ = true;
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  wake_.notify_one();
}

std::optional<std::vector<RecentFile>> RecentReader::Take() {
  std::lock_guard lock(mutex_);
  std::optional<std::vector<RecentFile>> files = std::move(finished_);
  finished_.reset();
  return files;
}

void RecentReader::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !reading_ && !waiting_; });
}

void RecentReader::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || waiting_; });
    if (stop_) break;
    waiting_ = false;
    reading_ = true;
    lock.unlock();
    std::optional<std::vector<RecentFile>> files;
    try {
      if (!items_ && make_) items_ = make_();
      if (items_) {
        std::string stamp = items_->Stamp();
        if (reads_ == 0 || stamp != stamp_) {
          files =
              MergeRecent(items_->RecentLinks(limits_.links), items_->JumpListItems(limits_.lists));
          stamp_ = std::move(stamp);
          ++reads_;
        }
      }
    }
    ZD_CATCH_LOG("RecentReader")
    lock.lock();
    reading_ = false;
    if (files && !stop_) {
      finished_ = std::move(files);
      if (notify_) notify_();
    }
    if (!waiting_) idle_.notify_all();
  }
  // The shell's objects go on the thread that made them.
  lock.unlock();
  items_.reset();
}

}  // namespace zd
