// The budgets of the browsers' own files: the interface thread's share of a
// refresh with five profiles (the files are read on the reader's thread); a
// read of five unchanged profiles there (nothing read but their stamps); a
// changed session file read (its size on disk 5 MB); a window title never
// seen before, in a 50 MB History, from the index against the table scan.
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
#include "tracking/browser_reader.h"
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
  size_t pages = 0;
  for (auto _ : state) {
    std::optional<SessionText> text = DecodeMozLz4(file);
    std::optional<std::vector<SessionPage>> read = ReadSessionPages(*text);
    pages = read ? read->size() : 0;
    benchmark::DoNotOptimize(pages);
  }
  state.counters["file_MB"] = static_cast<double>(file.size()) / (1 << 20);
  state.counters["json_MB"] = static_cast<double>(json_bytes) / (1 << 20);
  state.counters["tabs"] = static_cast<double>(pages);
}
BENCHMARK(BM_ChangedSessionFileRead)->Unit(benchmark::kMillisecond);

// A 50 MB History (urls and visits, with Chromium's indexes): a window's
// title never seen before, a page visited lately (the usual case): 0 from
// the index of the newest visits (built once before), a new title each time;
// 1 the same by one pass over the whole table, as every such title was
// looked up before; 2 the index built (once per History, on the reader's
// thread); 3 the index brought up to date after a few new visits.
void BM_TitleNeverSeenIn50MBHistory(benchmark::State& state) {
  static LargeHistory history;
  std::unique_ptr<SharedFiles> files = MakeSystemSharedFiles();
  const auto title = [&](int64_t n) {
    return "Article " + std::to_string(history.rows() - 1 - n % 5000) +
           " - a page title of ordinary length";
  };
  HistoryIndex index(history.path());
  index.Answer({title(0)}, *files);
  int64_t n = 1;
  size_t found = 0;
  for (auto _ : state) {
    const std::vector<std::string> titles = {title(n++)};
    switch (state.range(0)) {
      case 0:
        found = index.Answer(titles, *files).size();
        break;
      case 1:
        found = LookUpTitles(history.path(), titles).hits.size();
        break;
      case 2: {
        HistoryIndex fresh(history.path());
        found = fresh.Answer(titles, *files).size();
        break;
      }
      case 3: {
        state.PauseTiming();
        testing::WriteHistory(history.path(),
                              {{"https://new.example/" + std::to_string(n),
                                "New " + std::to_string(n), 13400000000000000 + n}});
        state.ResumeTiming();
        found = index.Answer({"New " + std::to_string(n)}, *files).size();
        break;
      }
    }
    if (found != 1) state.SkipWithError("the title was not found");
  }
  state.counters["file_MB"] = static_cast<double>(files->Stamp(history.path())->size) / (1 << 20);
  state.counters["index_entries"] = static_cast<double>(index.entries());
}
BENCHMARK(BM_TitleNeverSeenIn50MBHistory)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond);

// Five profiles on disk: three of one Firefox, two of one Chrome (with a
// History each), and their windows.
struct FiveProfiles {
  FiveProfiles();
  void ChangeSessions(int n);
  TempDirForTests dir;
  std::string roaming, local, firefox;
  FakeWindowSystem windows;
};

FiveProfiles::FiveProfiles() {
  roaming = dir.path() + "roaming";
  local = dir.path() + "local";
  firefox = roaming + "/Mozilla/Firefox";
  const std::string chrome = local + "/Google/Chrome/User Data";
  for (const std::string& d :
       {firefox + "/Profiles/a/sessionstore-backups", firefox + "/Profiles/b/sessionstore-backups",
        firefox + "/Profiles/c/sessionstore-backups", chrome + "/Default", chrome + "/Profile 1"}) {
    std::filesystem::create_directories(d);
  }
  WriteFile(firefox + "/profiles.ini",
            testing::ProfilesIni({"Profiles/a", "Profiles/b", "Profiles/c"}));
  ChangeSessions(0);
  WriteFile(chrome + "/Local State",
            testing::LocalState({{"Default", "Me"}, {"Profile 1", "Work"}}));
  std::vector<HistoryRow> rows;
  for (int i = 0; i < 2000; ++i) {
    rows.push_back(
        {"https://h" + std::to_string(i) + ".example/", "Title " + std::to_string(i), i});
  }
  testing::WriteHistory(chrome + "/Default/History", rows);
  testing::WriteHistory(chrome + "/Profile 1/History", rows);
  windows.AddWindow("Tab - Mozilla Firefox", "C:\\Program Files\\Mozilla Firefox\\firefox.exe");
  for (int i = 0; i < 4; ++i) {
    windows.AddWindow(
        "Title " + std::to_string(i * 7) + " - Google Chrome - " + (i % 2 ? "Work" : "Me"),
        "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe");
  }
  for (int i = 0; i < 20; ++i) windows.AddWindow("Document " + std::to_string(i), "C:\\x\\app.exe");
}

// Each session file written anew, its tabs numbered from `n`.
void FiveProfiles::ChangeSessions(int n) {
  for (const char* p : {"a", "b", "c"}) {
    std::vector<TabSpec> tabs;
    for (int t = 0; t < 30; ++t) {
      tabs.push_back(
          {{{"https://" + std::string(p) + std::to_string(n + t) + ".example/", "Tab"}}, 1});
    }
    WriteFile(firefox + "/Profiles/" + p + "/sessionstore-backups/recovery.jsonlz4",
              testing::MozLz4(testing::SessionJson({tabs})));
  }
}

// The reader's work when nothing changed since the last refresh.
void BM_RefreshWithFiveUnchangedProfiles(benchmark::State& state) {
  FiveProfiles profiles;
  std::unique_ptr<SharedFiles> files = MakeSystemSharedFiles();
  BrowserPages pages(*files, UserFolders{profiles.roaming, profiles.local});
  // The first refresh reads everything.
  size_t found = pages.Read(FindRunningBrowsers(profiles.windows)).size();
  const int reads = pages.file_reads(), queries = pages.history_queries();
  for (auto _ : state) {
    found = pages.Read(FindRunningBrowsers(profiles.windows)).size();
    benchmark::DoNotOptimize(found);
  }
  if (pages.file_reads() != reads || pages.history_queries() != queries) {
    state.SkipWithError("an unchanged file was read again");
  }
  state.counters["pages"] = static_cast<double>(found);
}
BENCHMARK(BM_RefreshWithFiveUnchangedProfiles)->Unit(benchmark::kMicrosecond);

// What a refresh costs the interface thread: which browsers run, asking for
// a read, taking the last one. The session files change before every
// refresh, so the reader's thread has a read to do each time.
void BM_InterfaceThreadShareOfARefresh(benchmark::State& state) {
  FiveProfiles profiles;
  std::unique_ptr<SharedFiles> files = MakeSystemSharedFiles();
  BrowserReader reader(*files, UserFolders{profiles.roaming, profiles.local}, nullptr);
  int n = 0;
  size_t taken = 0;
  for (auto _ : state) {
    state.PauseTiming();
    profiles.ChangeSessions(++n);
    state.ResumeTiming();
    reader.Request(FindRunningBrowsers(profiles.windows));
    if (std::optional<std::vector<OpenBrowserPage>> pages = reader.Take()) taken += pages->size();
  }
  reader.WaitIdle();
  state.counters["pages_taken"] = static_cast<double>(taken);
}
BENCHMARK(BM_InterfaceThreadShareOfARefresh)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zd
