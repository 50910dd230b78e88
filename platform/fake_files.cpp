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
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return files_.count(path) != 0;
}

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

// The save's steps on the map of files; the order of the steps is the
// product's own (WriteAtomicWith).
class FakeFiles::Save : public SavePrimitives {
 public:
  explicit Save(FakeFiles& files) : f_(files) {}
  bool CreateTemp(const std::string& temp, const std::string&) override {
    temp_ = temp;
    f_.files_[temp].clear();
    return true;
  }
  bool AppendTemp(std::string_view bytes) override {
    f_.files_[temp_] += bytes;
    return true;
  }
  bool FlushTemp() override { return true; }
  bool CloseTemp() override { return true; }
  bool Rename(const std::string& from, const std::string& to) override {
    f_.files_[to] = std::move(f_.files_[from]);
    f_.files_.erase(from);
    return true;
  }
  bool PutInPlace(const std::string& complete, const std::string& target) override {
    const bool replaced = RetryWhileBusy(
        [&] {
          auto busy = f_.busy_.find(target);
          if (busy == f_.busy_.end() || busy->second <= 0) return Attempt::kDone;
          --busy->second;
          return Attempt::kBusy;
        },
        [this](int ms) { f_.busy_waits_.push_back(ms); });
    if (replaced) Rename(complete, target);
    return replaced;
  }
  void Remove(const std::string& path) override { f_.files_.erase(path); }

 private:
  FakeFiles& f_;
  std::string temp_;
};

bool FakeFiles::WriteAtomic(const std::string& path, std::string_view data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  // What the system would refuse before anything is written.
  const std::string parent = ParentOf(path);
  const auto refused = [&] {
    return fail_all_writes_ || fail_writes_.count(path) ||
           (!parent.empty() && !DirectoryExists(parent));
  };
  Save save(*this);
  const bool written = WriteAtomicWith(*this, save, path, data, [&](WriteStep s) {
    if (die_at_ && die_at_->first == path && die_at_->second == s) dead_ = true;
    if (dead_) return StepAction::kDie;
    if (s == WriteStep::kCreateTemp && refused()) return StepAction::kFail;
    return Step(s);
  });
  if (written) write_log_.push_back(path);
  return written;
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
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return files_.erase(path) != 0;
}

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
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return hidden_.count(DirKey(dir)) != 0;
}

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
