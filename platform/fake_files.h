// In-memory Files for tests: drives, folders and files kept in maps, with
// switches that make chosen operations fail.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace zd {

// Safe to use from several threads at once (the settings file has a writer
// thread), except that files() hands out the map itself.
class FakeFiles : public Files {
 public:
  // Files interface. Paths are compared exactly, except that "\" and "/" both
  // separate folders and a trailing separator does not matter for folders.
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDirectories(const std::string& path) override;
  bool SetHiddenAttribute(const std::string& path) override;
  // Fails when the file's folder does not exist, like the real thing.
  bool WriteAtomic(const std::string& path, std::string_view data) override;
  bool RemoveFile(const std::string& path) override;
  bool RenameReplacing(const std::string& from, const std::string& to) override;
  std::vector<std::string> LogicalDrives() override;
  DriveKind DriveType(const std::string& root) override;
  bool UsbAttached(const std::string& root) override {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    return usb_.count(root) != 0;
  }
  std::string SystemDirectory() override { return system_dir_; }
  // What was set with SetSecurity; else this user's, open, inherited (as on
  // a data drive Windows formatted). Unknown for what does not exist.
  Security QuerySecurity(const std::string& path) override;
  bool CreatePrivateDirectory(const std::string& path) override;
  // Refused for another account's folder, and for the Administrators' unless
  // set_can_take_ownership.
  bool MakePrivate(const std::string& path, bool take_ownership) override;
  std::string AccountName() override { return account_; }
  // Not among files(): the real one is hidden and goes with the lock.
  std::unique_ptr<FileLock> HoldLockFile(const std::string& path) override;

  // Set-up. A drive's root folder exists from the moment it is added.
  void AddDrive(const std::string& root, DriveKind kind);
  void AddUsbDrive(const std::string& root) {
    AddDrive(root, DriveKind::kFixed);
    usb_.insert(root);
  }
  // The drive and everything on it go away, as an unplugged disk does;
  // adding it again brings its content back.
  void RemoveDrive(const std::string& root);
  void SetSystemDirectory(std::string dir) { system_dir_ = std::move(dir); }
  void SetSecurity(const std::string& path, Security security) {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    security_[DirKey(path)] = security;
  }
  void set_can_take_ownership(bool can) { can_take_ownership_ = can; }
  void set_account_name(std::string name) { account_ = std::move(name); }
  // Every call that changed an access list or an owner, as "path" (for
  // checks that a folder was never touched).
  const std::vector<std::string>& security_changes() const { return security_changes_; }
  bool LockHeld(const std::string& path) const {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    return held_locks_.count(path) != 0;
  }
  void AddDirectory(const std::string& path);
  void PutFile(const std::string& path, std::string data);

  // Failure injection.
  void FailWritesTo(const std::string& path) {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    fail_writes_.insert(path);
  }
  void FailReadsOf(const std::string& path) {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    fail_reads_.insert(path);
  }
  void ClearFailures() {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    fail_writes_.clear();
    fail_reads_.clear();
  }
  void set_fail_all_writes(bool fail) {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    fail_all_writes_ = fail;
  }
  void set_fail_all_reads(bool fail) {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    fail_all_reads_ = fail;
  }
  void set_fail_create_directories(bool fail) {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    fail_create_dirs_ = fail;
  }
  void set_fail_set_hidden(bool fail) {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    fail_set_hidden_ = fail;
  }
  // Another program holds `path`: its next `attempts` replace attempts find
  // it busy (and are retried as the real thing retries them).
  void BusyFor(const std::string& path, int attempts) {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    busy_[path] = attempts;
  }
  // The process dies before `step` of the next save of `path`: that save and
  // every later one stop dead, leaving the files as a crash would, until
  // Revive (the next start).
  void DieAt(const std::string& path, WriteStep step) {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    die_at_.emplace(path, step);
  }
  void Revive() {
    const std::lock_guard<std::recursive_mutex> lock(mutex_);
    die_at_.reset();
    dead_ = false;
  }

  // Inspection.
  const std::map<std::string, std::string>& files() const { return files_; }
  bool IsHidden(const std::string& dir) const;
  // Successful atomic writes per path, and all of them in order.
  int WriteCount(const std::string& path) const;
  const std::vector<std::string>& write_log() const { return write_log_; }
  // The pauses between busy attempts, in milliseconds, in order.
  const std::vector<int>& busy_waits() const { return busy_waits_; }

 private:
  class Save;
  static std::string DirKey(const std::string& path);

  mutable std::recursive_mutex mutex_;
  std::vector<std::pair<std::string, DriveKind>> drives_;
  std::string system_dir_;
  std::map<std::string, std::string> files_;
  std::set<std::string> dirs_;
  std::set<std::string> hidden_;
  std::set<std::string> usb_;
  struct Detached {
    bool usb = false;
    std::map<std::string, std::string> files;
    std::set<std::string> dirs, hidden;
  };
  std::map<std::string, Detached> detached_;
  std::set<std::string> fail_writes_;
  std::set<std::string> fail_reads_;
  bool fail_all_writes_ = false;
  bool fail_all_reads_ = false;
  bool fail_create_dirs_ = false;
  bool fail_set_hidden_ = false;
  std::vector<std::string> write_log_;
  std::map<std::string, int> busy_;
  std::optional<std::pair<std::string, WriteStep>> die_at_;
  bool dead_ = false;
  std::vector<int> busy_waits_;
  std::map<std::string, Security> security_;  // by DirKey
  std::vector<std::string> security_changes_;
  bool can_take_ownership_ = false;
  std::string account_ = "me";
  std::set<std::string> held_locks_;
};

}  // namespace zd
