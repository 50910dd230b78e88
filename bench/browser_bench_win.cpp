// Times the browsers' files under Wine, in the 32-bit program's own build
// (where the JSON parser has no 64-bit kernels): a changed 5 MB session file
// read; a window title never seen before in a 50 MB History (from the index
// of its newest visits, against one pass over the whole table, and that pass
// with the browser holding its lock; the index built); a read of five
// unchanged profiles, and the interface thread's share of a refresh with
// them. Real files in a temporary folder; the median of several runs each.
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
#include "tracking/browser_reader.h"
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
  size_t tabs = 0;
  const double session_ms = MedianMs(15, [&] {
    std::optional<SessionText> text = DecodeMozLz4(session);
    tabs = text ? ReadSessionPages(*text).value_or(std::vector<SessionPage>()).size() : 0;
  });
  std::printf("session file %.1f MB (JSON %.1f MB, %zu tabs) read: %.2f ms\n",
              session.size() / 1048576.0, json_bytes / 1048576.0, tabs, session_ms);

  bench::LargeHistory history;
  int n = 0;
  const auto next_title = [&] {
    return "Article " + std::to_string(history.rows() - 1 - n++ % 5000) +
           " - a page title of ordinary length";
  };
  HistoryIndex index(history.path());
  const double build_ms = MedianMs(1, [&] { index.Answer({next_title()}, *files); });
  const double index_ms = MedianMs(201, [&] { index.Answer({next_title()}, *files); });
  const double scan_ms = MedianMs(9, [&] { LookUpTitles(history.path(), {next_title()}); });
  sqlite3* browser = nullptr;
  sqlite3_open(history.path().c_str(), &browser);
  sqlite3_exec(browser, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr,
               nullptr);
  const double locked_ms = MedianMs(9, [&] { LookUpTitles(history.path(), {next_title()}); });
  const HistoryRead locked_read = LookUpTitles(history.path(), {next_title()}).read;
  sqlite3_close(browser);
  std::printf(
      "History %.1f MB, a title never seen: from the index %.3f ms (built once in %.1f ms, "
      "%zu entries), by the table scan %.2f ms, the same while the browser holds its lock "
      "%.2f ms (read %d)\n",
      files->Stamp(history.path())->size / 1048576.0, index_ms, build_ms, index.entries(), scan_ms,
      locked_ms, static_cast<int>(locked_read));

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
  BrowserPages pages(*files, UserFolders{roaming, local});
  size_t found = pages.Read(FindRunningBrowsers(windows)).size();
  const int reads = pages.file_reads();
  const double refresh_ms =
      MedianMs(201, [&] { found = pages.Read(FindRunningBrowsers(windows)).size(); });
  std::printf("read of five unchanged profiles: %.3f ms (%zu pages, %d files read again)\n",
              refresh_ms, found, pages.file_reads() - reads);
  BrowserReader reader(*files, UserFolders{roaming, local}, nullptr);
  const double share_ms = MedianMs(201, [&] {
    reader.Request(FindRunningBrowsers(windows));
    reader.Take();
  });
  reader.WaitIdle();
  std::printf("the interface thread's share of a refresh with them: %.3f ms\n", share_ms);
  return 0;
}
