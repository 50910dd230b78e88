// The budgets of the browsers' own files: a refresh with five unchanged
// profiles (nothing read but their stamps); a changed session file read
// (its size on disk 5 MB); a window title looked up in a 50 MB History.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>

#include "bench/browser_samples.h"
#include "platform/fake_shared_files.h"
#include "platform/fake_window_system.h"
#include "platform/shared_files.h"
#include "platform/temp_dir_for_tests.h"
#include "tracking/browser_files_for_tests.h"
#include "tracking/browser_pages.h"
#include "tracking/history_db.h"
#include "tracking/session_file.h"

namespace zd {
namespace {

using bench::LargeHistory;
using bench::LargeSession;
using testing::HistoryRow;
using testing::TabSpec;

void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

void BM_ChangedSessionFileRead(benchmark::State& state) {
  size_t json_bytes = 0;
  const std::string file = LargeSession(5u << 20, &json_bytes);
  SessionParser parser;
  size_t pages = 0;
  for (auto _ : state) {
    std::optional<SessionText> text = DecodeMozLz4(file);
    std::optional<std::vector<SessionPage>> read = parser.Pages(*text);
    pages = read ? read->size() : 0;
    benchmark::DoNotOptimize(pages);
  }
  state.counters["file_MB"] = static_cast<double>(file.size()) / (1 << 20);
  state.counters["json_MB"] = static_cast<double>(json_bytes) / (1 << 20);
  state.counters["tabs"] = static_cast<double>(pages);
}
BENCHMARK(BM_ChangedSessionFileRead)->Unit(benchmark::kMillisecond);

// A 50 MB History (urls and visits, with Chromium's indexes): one window's
// title looked up: 2 a page visited lately (the usual case), 1 a page last
// visited long ago, 0 a title no entry has (a page whose title changed);
// 3 the same old page asked again after the History changed (a few visits
// since the last lookup), as every refresh after the first one asks;
// 4 a page visited lately while the browser holds its History locked (as
// Chromium does while it runs), and 5 the same read as a copy in memory.
void BM_TitleLookedUpIn50MBHistory(benchmark::State& state) {
  static LargeHistory history;
  std::unique_ptr<SharedFiles> files = MakeSystemSharedFiles();
  const char* title = state.range(0) >= 2   ? "Article %d - a page title of ordinary length"
                      : state.range(0) == 1 ? "Article 12345 - a page title of ordinary length"
                                            : "A page whose title changed after it loaded";
  char text[128];
  std::snprintf(text, sizeof text, title, state.range(0) == 3 ? 12345 : history.rows() - 10);
  const std::vector<std::string> titles = {text};
  std::optional<int64_t> since;
  if (state.range(0) == 3) since = *LookUpTitles(history.path(), titles, *files).latest_visit - 10;
  sqlite3* browser = nullptr;
  if (state.range(0) >= 4) {
    sqlite3_open(history.path().c_str(), &browser);
    sqlite3_exec(browser, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr,
                 nullptr);
  }
  // A copy is what is read when the file cannot be opened in place.
  FakeSharedFiles copies;
  if (state.range(0) == 5) copies.Put("copy", *files->ReadShared(history.path()));
  const std::string path = state.range(0) == 5 ? "copy" : history.path();
  SharedFiles& reader = state.range(0) == 5 ? static_cast<SharedFiles&>(copies) : *files;
  HistoryRead read = HistoryRead::kFailed;
  for (auto _ : state) {
    HistoryLookup lookup = LookUpTitles(path, titles, reader, since);
    read = lookup.read;
    benchmark::DoNotOptimize(lookup);
  }
  if (browser) sqlite3_close(browser);
  state.counters["read"] = static_cast<double>(read);
  state.counters["file_MB"] = static_cast<double>(files->Stamp(history.path())->size) / (1 << 20);
}
BENCHMARK(BM_TitleLookedUpIn50MBHistory)
    ->Arg(2)
    ->Arg(1)
    ->Arg(0)
    ->Arg(4)
    ->Arg(5)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond);

// Five profiles on disk, none changed since the last refresh: three of one
// Firefox, two of one Chrome (with a History each), and their windows.
void BM_RefreshWithFiveUnchangedProfiles(benchmark::State& state) {
  TempDirForTests dir;
  const std::string roaming = dir.path() + "roaming", local = dir.path() + "local";
  const std::string firefox = roaming + "/Mozilla/Firefox";
  const std::string chrome = local + "/Google/Chrome/User Data";
  for (const std::string& d :
       {firefox + "/Profiles/a/sessionstore-backups", firefox + "/Profiles/b/sessionstore-backups",
        firefox + "/Profiles/c/sessionstore-backups", chrome + "/Default", chrome + "/Profile 1"}) {
    std::filesystem::create_directories(d);
  }
  WriteFile(firefox + "/profiles.ini",
            testing::ProfilesIni({"Profiles/a", "Profiles/b", "Profiles/c"}));
  for (const char* p : {"a", "b", "c"}) {
    std::vector<TabSpec> tabs;
    for (int t = 0; t < 30; ++t) {
      tabs.push_back({{{"https://" + std::string(p) + std::to_string(t) + ".example/", "Tab"}}, 1});
    }
    WriteFile(firefox + "/Profiles/" + p + "/sessionstore-backups/recovery.jsonlz4",
              testing::MozLz4(testing::SessionJson({tabs})));
  }
  WriteFile(chrome + "/Local State",
            testing::LocalState({{"Default", "Me"}, {"Profile 1", "Work"}}));
  std::vector<HistoryRow> rows;
  for (int i = 0; i < 2000; ++i) {
    rows.push_back(
        {"https://h" + std::to_string(i) + ".example/", "Title " + std::to_string(i), i});
  }
  testing::WriteHistory(chrome + "/Default/History", rows);
  testing::WriteHistory(chrome + "/Profile 1/History", rows);

  FakeWindowSystem windows;
  windows.AddWindow("Tab - Mozilla Firefox", "C:\\Program Files\\Mozilla Firefox\\firefox.exe");
  for (int i = 0; i < 4; ++i) {
    windows.AddWindow(
        "Title " + std::to_string(i * 7) + " - Google Chrome - " + (i % 2 ? "Work" : "Me"),
        "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe");
  }
  for (int i = 0; i < 20; ++i) windows.AddWindow("Document " + std::to_string(i), "C:\\x\\app.exe");
  std::unique_ptr<SharedFiles> files = MakeSystemSharedFiles();
  BrowserPages pages(windows, *files, UserFolders{roaming, local});
  size_t found = pages.Collect().size();  // the first refresh reads everything
  const int reads = pages.file_reads(), queries = pages.history_queries();
  for (auto _ : state) {
    found = pages.Collect().size();
    benchmark::DoNotOptimize(found);
  }
  if (pages.file_reads() != reads || pages.history_queries() != queries) {
    state.SkipWithError("an unchanged file was read again");
  }
  state.counters["pages"] = static_cast<double>(found);
}
BENCHMARK(BM_RefreshWithFiveUnchangedProfiles)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zd
