// The machine's own file system for the native build. Paths are used as given;
// there are no drive letters and no system folder.
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/files.h"

namespace zd {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { Close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  bool Close() {
    if (fd_ < 0) return true;
    const int rc = close(fd_);
    fd_ = -1;
    return rc == 0;
  }

 private:
  int fd_;
};

bool WriteAllBytes(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string ParentDirectory(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A save's steps through POSIX calls; renames go through `files` (durable).
class PosixSave : public SavePrimitives {
 public:
  explicit PosixSave(Files& files) : files_(files) {}
  bool CreateTemp(const std::string& temp, const std::string&) override {
    fd_ = std::make_unique<FileDescriptor>(
        open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    return fd_->ok();
  }
  bool AppendTemp(std::string_view bytes) override { return WriteAllBytes(fd_->get(), bytes); }
  bool FlushTemp() override { return fsync(fd_->get()) == 0; }
  bool CloseTemp() override { return fd_->Close(); }
  bool Rename(const std::string& from, const std::string& to) override {
    return files_.RenameReplacing(from, to);
  }
  bool PutInPlace(const std::string& complete, const std::string& target) override {
    return files_.RenameReplacing(complete, target);
  }
  void Remove(const std::string& path) override { unlink(path.c_str()); }

 private:
  Files& files_;
  std::unique_ptr<FileDescriptor> fd_;
};

class PosixFiles : public Files {
 public:
  std::optional<std::string> ReadAll(const std::string& path) override {
    FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.ok()) return std::nullopt;
    struct stat st;
    if (fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::string data;
    data.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t n = read(fd.get(), buffer, sizeof buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        return std::nullopt;
      }
      if (n == 0) break;
      data.append(buffer, static_cast<size_t>(n));
    }
    return data;
  }

  bool FileExists(const std::string& path) override {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  bool DirectoryExists(const std::string& path) override {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  bool CreateDirectories(const std::string& path) override {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return DirectoryExists(path);
  }

  // POSIX has no hidden attribute; a folder that exists counts as done.
  bool SetHiddenAttribute(const std::string& path) override { return DirectoryExists(path); }

  bool WriteAtomic(const std::string& path, std::string_view data) override {
    PosixSave save(*this);
    return WriteAtomicWith(*this, save, path, data, [this](WriteStep s) { return Step(s); });
  }

  bool RenameReplacing(const std::string& from, const std::string& to) override {
    if (rename(from.c_str(), to.c_str()) != 0) return false;
    // Make the rename itself durable; the data is already in place, so a
    // failure here is not a failed rename.
    FileDescriptor dir(open(ParentDirectory(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.ok()) fsync(dir.get());
    return true;
  }

  bool RemoveFile(const std::string& path) override { return unlink(path.c_str()) == 0; }

  std::vector<std::string> LogicalDrives() override { return {}; }
  DriveKind DriveType(const std::string&) override { return DriveKind::kUnknown; }
  bool UsbAttached(const std::string&) override { return false; }
  std::string SystemDirectory() override { return {}; }

  // The mode bits stand in for an access list: the group's and others' bits
  // open it, and there is no inheritance to protect against.
  Security QuerySecurity(const std::string& path) override {
    Security security;
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return security;
    if (st.st_uid == geteuid()) {
      security.owner = Owner::kThisUser;
    } else {
      security.owner = st.st_uid == 0 ? Owner::kAdministrators : Owner::kOtherAccount;
    }
    security.open = (st.st_mode & 077) != 0;
    security.inherits = security.open;
    return security;
  }

  bool CreatePrivateDirectory(const std::string& path) override {
    std::string dir = path;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (DirectoryExists(dir)) return false;
    const std::string parent = ParentDirectory(dir);
    if (!DirectoryExists(parent) && !CreateDirectories(parent)) return false;
    return mkdir(dir.c_str(), 0700) == 0;
  }

  bool MakePrivate(const std::string& path, bool take_ownership) override {
    if (take_ownership && chown(path.c_str(), geteuid(), static_cast<gid_t>(-1)) != 0) return false;
    return chmod(path.c_str(), 0700) == 0;
  }

  std::string AccountName() override {
    const passwd* entry = getpwuid(geteuid());
    return entry && entry->pw_name ? entry->pw_name : "";
  }

  // The file stays behind: removing it would race with the next holder.
  std::unique_ptr<FileLock> HoldLockFile(const std::string& path) override {
    auto lock = std::make_unique<HeldLock>(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock->fd.ok() || flock(lock->fd.get(), LOCK_EX | LOCK_NB) != 0) return nullptr;
    return lock;
  }

 private:
  struct HeldLock : FileLock {
    explicit HeldLock(int descriptor) : fd(descriptor) {}
    FileDescriptor fd;
  };
};

}  // namespace

std::unique_ptr<Files> MakeSystemFiles() { return std::make_unique<PosixFiles>(); }

}  // namespace zd
