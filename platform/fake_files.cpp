#include "platform/fake_files.h"

#include <algorithm>

namespace zd {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The folder part of a file path; empty when the path names no folder.
std::string ParentOf(const std::string& path) {
  const size_t sep = path.find_last_of("\\/");
  if (sep == std::string::npos) return {};
  return path.substr(0, sep + 1);
}

}  // namespace

std::string FakeFiles::DirKey(const std::string& path) {
  std::string key = path;
  for (char& c : key) {
    if (c == '/') c = '\\';
  }
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  return key;
}

std::optional<std::string> FakeFiles::ReadAll(const std::string& path) {
  if (fail_all_reads_ || fail_reads_.count(path)) return std::nullopt;
  const auto it = files_.find(path);
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

bool FakeFiles::FileExists(const std::string& path) { return files_.count(path) != 0; }

bool FakeFiles::DirectoryExists(const std::string& path) {
  return !path.empty() && dirs_.count(DirKey(path)) != 0;
}

bool FakeFiles::CreateDirectories(const std::string& path) {
  if (path.empty()) return false;
  if (DirectoryExists(path)) return true;
  if (fail_create_dirs_) return false;
  const std::string key = DirKey(path);
  for (size_t pos = 0; pos <= key.size(); ++pos) {
    if (pos == key.size() || (IsSeparator(key[pos]) && pos > 0)) dirs_.insert(key.substr(0, pos));
  }
  return true;
}

bool FakeFiles::SetHiddenAttribute(const std::string& path) {
  if (fail_set_hidden_ || !DirectoryExists(path)) return false;
  hidden_.insert(DirKey(path));
  return true;
}

bool FakeFiles::WriteAtomic(const std::string& path, std::string_view data) {
  for (WriteStep step : {WriteStep::kCreateTemp, WriteStep::kWriteHalf, WriteStep::kWriteRest,
                         WriteStep::kFlush, WriteStep::kReplace}) {
    if (step_hook && !step_hook(step)) return false;
    if (step == WriteStep::kCreateTemp) {
      const std::string parent = ParentOf(path);
      if (fail_all_writes_ || fail_writes_.count(path)) return false;
      if (!parent.empty() && !DirectoryExists(parent)) return false;
    }
  }
  const bool replaced = RetryWhileBusy(
      [&] {
        auto busy = busy_.find(path);
        if (busy == busy_.end() || busy->second <= 0) return Attempt::kDone;
        --busy->second;
        return Attempt::kBusy;
      },
      [this](int ms) { busy_waits_.push_back(ms); });
  if (!replaced) return false;
  files_[path] = std::string(data);
  write_log_.push_back(path);
  return true;
}

bool FakeFiles::RemoveFile(const std::string& path) { return files_.erase(path) != 0; }

std::vector<std::string> FakeFiles::LogicalDrives() {
  std::vector<std::string> roots;
  for (const auto& [root, kind] : drives_) roots.push_back(root);
  return roots;
}

DriveKind FakeFiles::DriveType(const std::string& root) {
  for (const auto& [r, kind] : drives_) {
    if (r == root) return kind;
  }
  return DriveKind::kNoRoot;
}

void FakeFiles::AddDrive(const std::string& root, DriveKind kind) {
  drives_.emplace_back(root, kind);
  dirs_.insert(DirKey(root));
}

void FakeFiles::AddDirectory(const std::string& path) {
  const bool saved = fail_create_dirs_;
  fail_create_dirs_ = false;
  CreateDirectories(path);
  fail_create_dirs_ = saved;
}

void FakeFiles::PutFile(const std::string& path, std::string data) {
  files_[path] = std::move(data);
}

bool FakeFiles::IsHidden(const std::string& dir) const { return hidden_.count(DirKey(dir)) != 0; }

int FakeFiles::WriteCount(const std::string& path) const {
  return static_cast<int>(std::count(write_log_.begin(), write_log_.end(), path));
}

}  // namespace zd
