#include "platform/fake_file_removal.h"

#include "platform/utf8.h"

namespace zd {

std::string FakeFileRemoval::Key(const std::string& path) { return LowerAscii(path); }

bool FakeFileRemoval::Protected(const std::string& key) const {
  for (const std::string& p : protected_) {
    if (key.starts_with(p)) return true;
  }
  return false;
}

void FakeFileRemoval::AddFile(const std::string& path) { entries_.insert(Key(path)); }

void FakeFileRemoval::AddFolder(const std::string& path) {
  std::string key = Key(path);
  if (!key.ends_with('\\')) key += '\\';
  entries_.insert(key);
}

void FakeFileRemoval::Protect(const std::string& path) { protected_.insert(Key(path)); }

bool FakeFileRemoval::Exists(const std::string& path) const {
  std::string key = Key(path);
  if (entries_.count(key)) return true;
  if (!key.ends_with('\\')) key += '\\';
  return entries_.count(key) > 0;
}

void FakeFileRemoval::SetShortPath(const std::string& path, const std::string& short_path) {
  short_paths_.insert({Key(path), short_path});
}

Removal FakeFileRemoval::RemoveFile(const std::string& path) {
  const std::string key = Key(path);
  if (!entries_.count(key)) return Removal::kAbsent;
  if (Protected(key)) return Removal::kFailed;
  entries_.erase(key);
  return Removal::kRemoved;
}

Removal FakeFileRemoval::RemoveEmptyFolder(const std::string& path) {
  std::string key = Key(path);
  if (!key.ends_with('\\')) key += '\\';
  if (!entries_.count(key)) return Removal::kAbsent;
  for (const std::string& e : entries_) {
    if (e != key && e.starts_with(key)) return Removal::kNotEmpty;
  }
  if (Protected(key)) return Removal::kFailed;
  entries_.erase(key);
  return Removal::kRemoved;
}

bool FakeFileRemoval::CanWriteIn(const std::string& folder) {
  std::string key = Key(folder);
  if (!key.ends_with('\\')) key += '\\';
  return entries_.count(key) && !Protected(key);
}

bool FakeFileRemoval::MakeDeletable(const std::string& path) { return Exists(path); }

std::string FakeFileRemoval::ShortPath(const std::string& path) {
  for (const auto& [long_key, short_path] : short_paths_) {
    if (long_key == Key(path)) return short_path;
  }
  return path;
}

}  // namespace zd
