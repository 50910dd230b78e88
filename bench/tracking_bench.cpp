// Registering one new document into a history of 1,000 and of 100,000
// records: the two index lookups, and the whole AddMyDoc without a settings
// file, with one on FakeFiles and with one on the real disk.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <tuple>
#include <utility>

#include "bench/sample_records.h"
#include "lang/lang_tables.h"
#include "platform/fake_files.h"
#include "platform/fake_icon_source.h"
#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "platform/temp_dir_for_tests.h"
#include "store/config.h"
#include "store/doc_list.h"
#include "store/program_files.h"
#include "tracking/tracker.h"
#include "tracking/tree_model.h"

namespace zd {
namespace {

enum class Settings { kNone, kFake, kDisk };
// Whether the recent list is kept full (10,000 lines) or emptied before each registration:
// its linear duplicate test and front insertion are the store's share of a
// registration, measured apart from the tracker's own work.
enum class Recent { kFull, kEmpty };

// A run's state after `records` documents were registered through AddMyDoc:
// the history, the four trees, the recent list (at most 10,000 lines, as a
// loaded "rec.dat" can hold) and, if asked for, the settings file.
class World {
 public:
  World(size_t records, Settings settings, Recent recent) {
    lang::LoadLanguageTables(0, {}, lang::Texts());
    store.codec = codec.get();
    if (settings == Settings::kFake) {
      fake_files.AddDrive("C:\\", DriveKind::kFixed);
      fake_files.AddDirectory("C:\\MrxConfig");
      store.files = &fake_files;
      store.ConfigDir = "C:\\MrxConfig\\";
    } else {
      disk_files = MakeSystemFiles();
      store.files = disk_files.get();
      store.ConfigDir = temp.path();
    }
    if (settings != Settings::kNone) OpenSettingsFile(store);
    TrackerHooks hooks;
    hooks.today = [] { return std::string("2024-05-06"); };
    tracker = std::make_unique<DocTracker>(store, TrackerTrees{&docs, {&doc, &app, &path}}, windows,
                                           shell, &icons, hooks);
    const DocArray sample = bench::SampleRecords(records);
    std::optional<SettingsFile::Hold> hold;
    if (store.settings) hold.emplace(*store.settings);
    for (const DocRecord& d : sample) {
      // Stored folders come back as addresses, as the start-up load gives them.
      tracker->AddMyDoc(AsFound(d), d.date);
      // Keeps the recent list at its loaded maximum without the quadratic cost.
      if (store.MyRecentList.size() > kMaxListLines) store.MyRecentList.Clear();
    }
    if (recent == Recent::kEmpty) store.MyRecentList.Clear();
  }

  // A document not seen yet: in turn a page of a known host (joins its
  // group), a folder under a known first-level folder, and a program.
  std::pair<std::string, std::string> NextNew(bool& is_program) {
    char address[256];
    char name[256];
    const size_t i = next_++;
    is_program = i % 3 == 2;
    switch (i % 3) {
      case 0:
        std::snprintf(address, sizeof address, "http://news.163.com/new/%zu.html", i);
        std::snprintf(name, sizeof name, "新的报道 %zu", i);
        break;
      case 1:
        std::snprintf(address, sizeof address, "file:///D:/工作/新目录 %zu", i);
        std::snprintf(name, sizeof name, "%s", address);
        break;
      default:
        std::snprintf(address, sizeof address, "C:\\Program Files\\新程序 %zu\\new.exe", i);
        std::snprintf(name, sizeof name, "新程序 %zu", i);
        break;
    }
    return {address, name};
  }

  std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
  FakeFiles fake_files;
  TempDirForTests temp;
  std::unique_ptr<Files> disk_files;
  DocStore store;
  TreeModel docs, doc, app, path;
  FakeWindowSystem windows;
  FakeShellWindows shell;
  FakeIconSource icons;
  std::unique_ptr<DocTracker> tracker;

 private:
  size_t next_ = 0;
};

World& WorldOf(size_t records, Settings settings, Recent recent = Recent::kFull) {
  static std::map<std::tuple<size_t, Settings, Recent>, std::unique_ptr<World>> worlds;
  auto& world = worlds[{records, settings, recent}];
  if (!world) world = std::make_unique<World>(records, settings, recent);
  return *world;
}

void BM_IsDocRegistered(benchmark::State& state) {
  World& world = WorldOf(static_cast<size_t>(state.range(0)), Settings::kNone);
  const std::string known = world.store.docs[world.store.docs.size() / 2].path;
  const std::string folder = "file:///D:/工作/子目录 " + std::to_string(world.store.docs.size());
  const std::string unknown = "http://news.163.com/never/seen.html";
  for (auto _ : state) {
    benchmark::DoNotOptimize(world.tracker->IsDocRegistered(known));
    benchmark::DoNotOptimize(world.tracker->IsDocRegistered(folder));
    benchmark::DoNotOptimize(world.tracker->IsDocRegistered(unknown));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 3);
}
BENCHMARK(BM_IsDocRegistered)->Arg(1000)->Arg(100000);

void BM_IsRootRegistered(benchmark::State& state) {
  World& world = WorldOf(static_cast<size_t>(state.range(0)), Settings::kNone);
  for (auto _ : state) {
    benchmark::DoNotOptimize(world.tracker->IsRootRegistered("news.163.com"));
    benchmark::DoNotOptimize(world.tracker->IsRootRegistered("D:\\工作"));
    benchmark::DoNotOptimize(world.tracker->IsRootRegistered("unknown.example"));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 3);
}
BENCHMARK(BM_IsRootRegistered)->Arg(1000)->Arg(100000);

// Each iteration registers one new document, so the history grows by the
// iteration count (kept small against the record count).
void AddMyDocBench(benchmark::State& state, Settings settings, Recent recent = Recent::kFull) {
  World& world = WorldOf(static_cast<size_t>(state.range(0)), settings, recent);
  size_t added = 0;
  for (auto _ : state) {
    bool is_program = false;
    state.PauseTiming();
    const auto [address, name] = world.NextNew(is_program);
    if (recent == Recent::kEmpty) world.store.MyRecentList.Clear();
    state.ResumeTiming();
    added += world.tracker->AddMyDoc(FoundDoc{address, name, (is_program) ? address : std::string(),
                                              (is_program) ? DocKind::kProgram : DocKind::kWeb},
                                     "")
                 ? 1
                 : 0;
  }
  if (added != static_cast<size_t>(state.iterations()))
    state.SkipWithError("a new document was not registered");
  state.counters["records"] = static_cast<double>(world.store.docs.size());
}

void BM_AddMyDoc_NoSettings(benchmark::State& state) { AddMyDocBench(state, Settings::kNone); }
BENCHMARK(BM_AddMyDoc_NoSettings)->Arg(1000)->Arg(100000)->Iterations(3000);

void BM_AddMyDoc_NoSettingsEmptyRecent(benchmark::State& state) {
  AddMyDocBench(state, Settings::kNone, Recent::kEmpty);
}
BENCHMARK(BM_AddMyDoc_NoSettingsEmptyRecent)->Arg(1000)->Arg(100000)->Iterations(3000);

void BM_AddMyDoc_SettingsOnFakeFiles(benchmark::State& state) {
  AddMyDocBench(state, Settings::kFake);
}
BENCHMARK(BM_AddMyDoc_SettingsOnFakeFiles)->Arg(1000)->Iterations(300);
BENCHMARK(BM_AddMyDoc_SettingsOnFakeFiles)->Arg(100000)->Iterations(30);

void BM_AddMyDoc_SettingsOnDisk(benchmark::State& state) { AddMyDocBench(state, Settings::kDisk); }
BENCHMARK(BM_AddMyDoc_SettingsOnDisk)->Arg(1000)->Iterations(300);
BENCHMARK(BM_AddMyDoc_SettingsOnDisk)->Arg(100000)->Iterations(30);

}  // namespace
}  // namespace zd
