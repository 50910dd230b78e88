// Shared files in memory for tests: each file has content and a stamp that
// changes with every write, and can be made unreadable; reads are counted.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/shared_files.h"

namespace zd {

class FakeSharedFiles : public SharedFiles {
 public:
  std::optional<FileStamp> Stamp(const std::string& path) override;
  std::optional<std::string> ReadShared(const std::string& path, uint64_t max_bytes) override;
  // Paths on a server, and under the drives made remote here.
  bool OnNetwork(const std::string& path) override;
  void SetRemoteDrive(const std::string& root) { remote_drives_.insert(root); }

  // Writes a file: its stamp changes (the time moves on, the size follows).
  void Put(const std::string& path, std::string data);
  void Remove(const std::string& path) { files_.erase(path); }
  // Reads of this file fail while it stays listed (it keeps its stamp).
  void SetUnreadable(const std::string& path, bool unreadable);
  int ReadCount(const std::string& path) const;
  int StampCount() const { return stamp_calls_; }

 private:
  struct File {
    std::string data;
    FileStamp stamp;
  };
  std::map<std::string, File> files_;
  std::set<std::string> unreadable_;
  std::set<std::string> remote_drives_;
  std::map<std::string, int> reads_;
  int64_t clock_ = 0;
  int stamp_calls_ = 0;
};

}  // namespace zd
