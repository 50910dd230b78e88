// Times the browsers' files under Wine, in the 32-bit program's own build
// (where the JSON parser has no 64-bit kernels): a changed 5 MB session file
// read; a window title looked up in a 50 MB History (a page visited lately,
// the same with the browser holding its lock, one never visited); a refresh
// with five unchanged profiles. Real files in a temporary folder; the median
// of several runs each.
#include <windows.h>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/browser_samples.h"
#include "platform/shared_files.h"
#include "platform/temp_dir_for_tests.h"
#include "tracking/browser_pages.h"
#include "tracking/history_db.h"
#include "tracking/session_file.h"

using namespace zd;

namespace {

double MedianMs(int runs, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

// One Firefox window and four Chrome windows; their programs exist.
class FiveWindows : public WindowSystem {
 public:
  std::vector<TopWindow> EnumerateTopWindows() override {
    std::vector<TopWindow> windows;
    for (WindowId id = 1; id <= 5; ++id) {
      windows.push_back(TopWindow{id, true, false, false,
                                  id == 1
                                      ? "Tab - Mozilla Firefox"
                                      : "Title " + std::to_string(id * 7) + " - Google Chrome"});
    }
    return windows;
  }
  std::optional<std::string> ProcessImagePath(WindowId id) override {
    return id == 1 ? "C:\\Program Files\\Mozilla Firefox\\firefox.exe"
                   : "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
  }
  bool PathExists(const std::string&) override { return true; }
};

void Write(const std::string& path, const std::string& data) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << data;
}

}  // namespace

int main() {
  std::unique_ptr<SharedFiles> files = MakeSystemSharedFiles();

  size_t json_bytes = 0;
  const std::string session = bench::LargeSession(5u << 20, &json_bytes);
  SessionParser parser;
  size_t tabs = 0;
  const double session_ms = MedianMs(15, [&] {
    std::optional<SessionText> text = DecodeMozLz4(session);
    tabs = text ? parser.Pages(*text).value_or(std::vector<SessionPage>()).size() : 0;
  });
  std::printf("session file %.1f MB (JSON %.1f MB, %zu tabs) read: %.2f ms\n",
              session.size() / 1048576.0, json_bytes / 1048576.0, tabs, session_ms);

  bench::LargeHistory history;
  const std::string recent =
      "Article " + std::to_string(history.rows() - 10) + " - a page title of ordinary length";
  const auto lookup = [&](const std::string& title) {
    return MedianMs(9, [&] { LookUpTitles(history.path(), {title}, *files); });
  };
  const double recent_ms = lookup(recent);
  const double missing_ms = lookup("A page whose title changed after it loaded");
  sqlite3* browser = nullptr;
  sqlite3_open(history.path().c_str(), &browser);
  sqlite3_exec(browser, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr,
               nullptr);
  const double locked_ms = lookup(recent);
  const HistoryRead locked_read = LookUpTitles(history.path(), {recent}, *files).read;
  sqlite3_close(browser);
  std::printf(
      "History %.1f MB, a title looked up: visited lately %.2f ms, the same while the "
      "browser holds its lock %.2f ms (read %d), never visited %.2f ms\n",
      files->Stamp(history.path())->size / 1048576.0, recent_ms, locked_ms,
      static_cast<int>(locked_read), missing_ms);

  TempDirForTests dir;
  const std::string roaming = dir.path() + "roaming", local = dir.path() + "local";
  const std::string firefox = roaming + "\\Mozilla\\Firefox";
  const std::string chrome = local + "\\Google\\Chrome\\User Data";
  Write(firefox + "\\profiles.ini",
        testing::ProfilesIni({"Profiles/a", "Profiles/b", "Profiles/c"}));
  for (const char* p : {"a", "b", "c"}) {
    std::vector<testing::TabSpec> spec;
    for (int t = 0; t < 30; ++t) {
      spec.push_back({{{"https://" + std::string(p) + std::to_string(t) + ".example/", "Tab"}}, 1});
    }
    Write(firefox + "\\Profiles\\" + p + "\\sessionstore-backups\\recovery.jsonlz4",
          testing::MozLz4(testing::SessionJson({spec})));
  }
  Write(chrome + "\\Local State", testing::LocalState({{"Default", ""}, {"Profile 1", "Work"}}));
  std::vector<testing::HistoryRow> rows;
  for (int i = 0; i < 2000; ++i) {
    rows.push_back(
        {"https://h" + std::to_string(i) + ".example/", "Title " + std::to_string(i), i});
  }
  std::filesystem::create_directories(chrome + "\\Default");
  std::filesystem::create_directories(chrome + "\\Profile 1");
  testing::WriteHistory(chrome + "\\Default\\History", rows);
  testing::WriteHistory(chrome + "\\Profile 1\\History", rows);
  FiveWindows windows;
  BrowserPages pages(windows, *files, UserFolders{roaming, local});
  size_t found = pages.Collect().size();
  const int reads = pages.file_reads();
  const double refresh_ms = MedianMs(201, [&] { found = pages.Collect().size(); });
  std::printf("refresh with five unchanged profiles: %.3f ms (%zu pages, %d files read again)\n",
              refresh_ms, found, pages.file_reads() - reads);
  return 0;
}
