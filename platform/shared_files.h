// Files that other programs keep open and rewrite while they run (a
// browser's session file, its history database): read with full sharing so
// the owner is never kept from writing, and told apart by their time and size
// so that an unchanged file is not read again.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zd {

struct FileStamp {
  int64_t modified = 0;  // last write time, in the system's units
  uint64_t size = 0;
  bool operator==(const FileStamp&) const = default;
};

class SharedFiles {
 public:
  virtual ~SharedFiles() = default;
  // nullopt when the file does not exist (or is a folder).
  virtual std::optional<FileStamp> Stamp(const std::string& path) = 0;
  // The whole file, opened for reading while letting others read, write and
  // delete it; never waits. nullopt when it cannot be opened or read, or is
  // larger than `max_bytes` (nothing is allocated for it then).
  virtual std::optional<std::string> ReadShared(const std::string& path, uint64_t max_bytes) = 0;
  // A path on a server or on a network drive: its files are not read, since
  // an offline server keeps whoever reads them waiting.
  virtual bool OnNetwork(const std::string& path) = 0;
};

std::unique_ptr<SharedFiles> MakeSystemSharedFiles();

// The folders where programs keep their users' data.
struct UserFolders {
  std::string roaming;  // %APPDATA%, without a trailing separator
  std::string local;    // %LOCALAPPDATA%
};

// Empty folders when the system cannot say.
UserFolders SystemUserFolders();

}  // namespace zd
