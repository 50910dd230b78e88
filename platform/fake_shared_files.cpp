#include "platform/fake_shared_files.h"

#include "platform/path_probe.h"

namespace zd {

std::optional<FileStamp> FakeSharedFiles::Stamp(const std::string& path) {
  ++stamp_calls_;
  const auto it = files_.find(path);
  if (it == files_.end()) return std::nullopt;
  return it->second.stamp;
}

std::optional<std::string> FakeSharedFiles::ReadShared(const std::string& path,
                                                       uint64_t max_bytes) {
  ++reads_[path];
  const auto it = files_.find(path);
  if (it == files_.end() || unreadable_.count(path) || it->second.data.size() > max_bytes) {
    return std::nullopt;
  }
  return it->second.data;
}

bool FakeSharedFiles::OnNetwork(const std::string& path) {
  return IsNetworkPath(path, [this](const std::string& root) {
    return remote_drives_.count(root) ? DriveKind::kRemote : DriveKind::kFixed;
  });
}

void FakeSharedFiles::Put(const std::string& path, std::string data) {
  File& file = files_[path];
  file.stamp = FileStamp{++clock_, data.size()};
  file.data = std::move(data);
}

void FakeSharedFiles::SetUnreadable(const std::string& path, bool unreadable) {
  if (unreadable) {
    unreadable_.insert(path);
  } else {
    unreadable_.erase(path);
  }
}

int FakeSharedFiles::ReadCount(const std::string& path) const {
  const auto it = reads_.find(path);
  return it == reads_.end() ? 0 : it->second;
}

}  // namespace zd
