// The test double of file_removal.h.
#pragma once

#include <set>
#include <string>
#include <utility>

#include "platform/file_removal.h"

namespace zd {

// In memory. Paths compare ignoring ASCII case; a folder is a path that ends
// with a backslash in what the test adds.
class FakeFileRemoval : public FileRemoval {
 public:
  void AddFile(const std::string& path);
  void AddFolder(const std::string& path);
  // Paths at or below this one cannot be changed.
  void Protect(const std::string& path);
  bool Exists(const std::string& path) const;
  std::set<std::string> Contents() const { return entries_; }
  // Short names to answer with, by long path.
  void SetShortPath(const std::string& path, const std::string& short_path);

  Removal RemoveFile(const std::string& path) override;
  Removal RemoveEmptyFolder(const std::string& path) override;
  bool CanWriteIn(const std::string& folder) override;
  std::string ShortPath(const std::string& path) override;
  bool MakeDeletable(const std::string& path) override;

 private:
  static std::string Key(const std::string& path);
  bool Protected(const std::string& key) const;
  std::set<std::string> entries_;  // keys: lower case, folders end with '\'
  std::set<std::string> protected_;
  std::set<std::pair<std::string, std::string>> short_paths_;
};

}  // namespace zd
