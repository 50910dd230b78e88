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
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (fail_all_reads_ || fail_reads_.count(path)) return std::nullopt;
  const auto it = files_.find(path);
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

bool FakeFiles::FileExists(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_); return files_.count(path) != 0; }

bool FakeFiles::DirectoryExists(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return !path.empty() && dirs_.count(DirKey(path)) != 0;
}

bool FakeFiles::CreateDirectories(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
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
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (fail_set_hidden_ || !DirectoryExists(path)) return false;
  hidden_.insert(DirKey(path));
  return true;
}

bool FakeFiles::WriteAtomic(const std::string& path, std::string_view data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  // The same steps as the real thing, each leaving the files a crash at that
  // point would leave.
  bool died = false;
  const auto step = [&](WriteStep s) {
    if (die_at_ && die_at_->first == path && die_at_->second == s) dead_ = true;
    const StepAction action = dead_ ? StepAction::kDie : Step(s);
    died = action == StepAction::kDie;
    return action == StepAction::kGo;
  };
  const std::string temp = TempPathFor(path);
  const std::string complete = CompletePathFor(path);
  const auto clean_up = [&] {
    if (died) return false;
    files_.erase(temp);
    if (files_.count(path)) files_.erase(complete);
    return false;
  };
  if (!step(WriteStep::kCreateTemp)) return false;
  const std::string parent = ParentOf(path);
  if (fail_all_writes_ || fail_writes_.count(path)) return false;
  if (!parent.empty() && !DirectoryExists(parent)) return false;
  RecoverInterruptedSave(*this, path);
  if (files_.count(complete)) return false;
  files_[temp].clear();
  const size_t half = data.size() / 2;
  if (!step(WriteStep::kWriteHalf)) return clean_up();
  files_[temp] = std::string(data.substr(0, half));
  if (!step(WriteStep::kWriteRest)) return clean_up();
  files_[temp] += data.substr(half);
  if (!step(WriteStep::kFlush) || !step(WriteStep::kMarkComplete)) return clean_up();
  files_[complete] = std::move(files_[temp]);
  files_.erase(temp);
  if (!step(WriteStep::kReplace)) return clean_up();
  const bool replaced = RetryWhileBusy(
      [&] {
        auto busy = busy_.find(path);
        if (busy == busy_.end() || busy->second <= 0) return Attempt::kDone;
        --busy->second;
        return Attempt::kBusy;
      },
      [this](int ms) { busy_waits_.push_back(ms); });
  if (!replaced) return clean_up();
  files_[path] = std::move(files_[complete]);
  files_.erase(complete);
  write_log_.push_back(path);
  return true;
}

bool FakeFiles::RenameReplacing(const std::string& from, const std::string& to) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const auto it = files_.find(from);
  if (it == files_.end() || fail_all_writes_ || fail_writes_.count(to)) return false;
  files_[to] = std::move(it->second);
  files_.erase(from);
  // The file keeps its owner and list.
  security_.erase(DirKey(to));
  if (const auto s = security_.extract(DirKey(from))) security_.emplace(DirKey(to), s.mapped());
  return true;
}

bool FakeFiles::RemoveFile(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_); return files_.erase(path) != 0; }

std::vector<std::string> FakeFiles::LogicalDrives() {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<std::string> roots;
  for (const auto& [root, kind] : drives_) roots.push_back(root);
  return roots;
}

DriveKind FakeFiles::DriveType(const std::string& root) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  for (const auto& [r, kind] : drives_) {
    if (r == root) return kind;
  }
  return DriveKind::kNoRoot;
}

void FakeFiles::AddDrive(const std::string& root, DriveKind kind) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  drives_.emplace_back(root, kind);
  dirs_.insert(DirKey(root));
  const auto away = detached_.find(root);
  if (away == detached_.end()) return;
  files_.insert(away->second.files.begin(), away->second.files.end());
  dirs_.insert(away->second.dirs.begin(), away->second.dirs.end());
  hidden_.insert(away->second.hidden.begin(), away->second.hidden.end());
  detached_.erase(away);
}

void FakeFiles::RemoveDrive(const std::string& root) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::erase_if(drives_, [&](const auto& drive) { return drive.first == root; });
  const std::string key = DirKey(root);
  const auto on_drive = [&](const std::string& path) {
    return DirKey(path).compare(0, key.size(), key) == 0;
  };
  Detached& away = detached_[root];
  away.usb = usb_.erase(root) != 0;
  for (auto it = files_.begin(); it != files_.end();) {
    if (on_drive(it->first)) {
      away.files.insert(*it);
      it = files_.erase(it);
    } else {
      ++it;
    }
  }
  for (auto* set : {&dirs_, &hidden_}) {
    for (auto it = set->begin(); it != set->end();) {
      if (on_drive(*it)) {
        (set == &dirs_ ? away.dirs : away.hidden).insert(*it);
        it = set->erase(it);
      } else {
        ++it;
      }
    }
  }
}

void FakeFiles::AddDirectory(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const bool saved = fail_create_dirs_;
  fail_create_dirs_ = false;
  CreateDirectories(path);
  fail_create_dirs_ = saved;
}

void FakeFiles::PutFile(const std::string& path, std::string data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  files_[path] = std::move(data);
}

bool FakeFiles::IsHidden(const std::string& dir) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_); return hidden_.count(DirKey(dir)) != 0; }

int FakeFiles::WriteCount(const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return static_cast<int>(std::count(write_log_.begin(), write_log_.end(), path));
}

}  // namespace zd

namespace zd {

Security FakeFiles::QuerySecurity(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!FileExists(path) && !DirectoryExists(path)) return {};
  const auto it = security_.find(DirKey(path));
  if (it != security_.end()) return it->second;
  return {Owner::kThisUser, true, true};
}

bool FakeFiles::CreatePrivateDirectory(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (DirectoryExists(path) || !CreateDirectories(path)) return false;
  security_[DirKey(path)] = {Owner::kThisUser, false, false};
  return true;
}

bool FakeFiles::MakePrivate(const std::string& path, bool take_ownership) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!DirectoryExists(path)) return false;
  Security security = QuerySecurity(path);
  if (security.owner != Owner::kThisUser) {
    if (!take_ownership || !can_take_ownership_ || security.owner != Owner::kAdministrators) {
      return false;
    }
    security.owner = Owner::kThisUser;
  }
  security.inherits = false;
  security.open = false;
  const std::string key = DirKey(path);
  security_[key] = security;
  security_changes_.push_back(key);
  // What inside inherits its list follows.
  for (auto& [inner, s] : security_) {
    if (inner.size() > key.size() && inner.compare(0, key.size(), key) == 0 &&
        inner[key.size()] == '\\' && s.inherits) {
      s.open = false;
    }
  }
  return true;
}

namespace {

class FakeLock : public FileLock {
 public:
  FakeLock(std::set<std::string>& held, std::recursive_mutex& mutex, std::string path)
      : held_(held), mutex_(mutex), path_(std::move(path)) {}
  ~FakeLock() override {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    held_.erase(path_);
  }

 private:
  std::set<std::string>& held_;
  std::recursive_mutex& mutex_;
  std::string path_;
};

}  // namespace

std::unique_ptr<FileLock> FakeFiles::HoldLockFile(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (fail_all_writes_ || held_locks_.count(path) || !DirectoryExists(ParentOf(path))) {
    return nullptr;
  }
  held_locks_.insert(path);
  return std::make_unique<FakeLock>(held_locks_, mutex_, path);
}

}  // namespace zd
