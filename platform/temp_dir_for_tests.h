// A fresh folder under the system's temporary folder, removed with its
// content at the end of a test. Its path is UTF-8 and ends with the native
// separator, so "dir.path() + name" is a file path on both systems.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace zd {

class TempDirForTests {
 public:
  TempDirForTests() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = std::filesystem::temp_directory_path() /
           ("zd_test_" + std::to_string(stamp) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(dir_);
    const std::u8string u8 = (dir_ / "").u8string();
    path_.assign(u8.begin(), u8.end());
  }
  ~TempDirForTests() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempDirForTests(const TempDirForTests&) = delete;
  TempDirForTests& operator=(const TempDirForTests&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }
  // Names of the entries in the folder, sorted.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      const std::u8string u8 = entry.path().filename().u8string();
      names.emplace_back(u8.begin(), u8.end());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path dir_;
  std::string path_;
};

}  // namespace zd
