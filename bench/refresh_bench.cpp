// A refresh that registers 50 new documents (pages, folders and programs
// found open) into a history of 1,000, 10,000 and 100,000 records, with the
// settings file on the real disk: the time, and how often the settings file
// is written, side by side.
//
//   BM_PerDocumentWrites   each registration writes the file, as a refresh
//                          did before (AddMyDoc for each line found)
//   BM_OneWritePerRefresh  the refresh itself: one write at its end, on the
//                          interface thread
//   BM_RefreshInterfaceThread  the same refresh with the settings file
//                          written by its own thread, as the program runs it:
//                          what the interface thread waits for ("writer_ms":
//                          the writer thread's time after it, not counted)
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/sample_records.h"
#include "lang/lang_tables.h"
#include "platform/fake_icon_source.h"
#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "platform/files.h"
#include "platform/temp_dir_for_tests.h"
#include "store/config.h"
#include "store/doc_list.h"
#include "store/program_files.h"
#include "tracking/tracker.h"

namespace zd {
namespace {

constexpr int kNewDocuments = 50;

// Counts the settings file's writes on their way to the disk.
class CountingFiles : public Files {
 public:
  explicit CountingFiles(std::unique_ptr<Files> disk) : disk_(std::move(disk)) {}
  std::optional<std::string> ReadAll(const std::string& p) override { return disk_->ReadAll(p); }
  bool FileExists(const std::string& p) override { return disk_->FileExists(p); }
  bool DirectoryExists(const std::string& p) override { return disk_->DirectoryExists(p); }
  bool CreateDirectories(const std::string& p) override { return disk_->CreateDirectories(p); }
  bool SetHiddenAttribute(const std::string& p) override { return disk_->SetHiddenAttribute(p); }
  bool WriteAtomic(const std::string& p, std::string_view data) override {
    ++writes;
    return disk_->WriteAtomic(p, data);
  }
  bool RemoveFile(const std::string& p) override { return disk_->RemoveFile(p); }
  bool RenameReplacing(const std::string& from, const std::string& to) override {
    return disk_->RenameReplacing(from, to);
  }
  std::vector<std::string> LogicalDrives() override { return disk_->LogicalDrives(); }
  DriveKind DriveType(const std::string& root) override { return disk_->DriveType(root); }
  bool UsbAttached(const std::string& root) override { return disk_->UsbAttached(root); }
  std::string SystemDirectory() override { return disk_->SystemDirectory(); }
  Security QuerySecurity(const std::string& p) override { return disk_->QuerySecurity(p); }
  bool CreatePrivateDirectory(const std::string& p) override {
    return disk_->CreatePrivateDirectory(p);
  }
  bool MakePrivate(const std::string& p, bool take) override { return disk_->MakePrivate(p, take); }
  std::string AccountName() override { return disk_->AccountName(); }
  std::unique_ptr<FileLock> HoldLockFile(const std::string& p) override {
    return disk_->HoldLockFile(p);
  }

  int writes = 0;

 private:
  std::unique_ptr<Files> disk_;
};

// A run's state after `records` documents were registered.
class World {
 public:
  explicit World(size_t records) {
    lang::LoadLanguageTables(0, {}, lang::Texts());
    store.files = &files;
    store.codec = codec.get();
    store.ConfigDir = temp.path();
    OpenSettingsFile(store);
    TrackerHooks hooks;
    hooks.today = [] { return std::string("2024-05-06"); };
    tracker = std::make_unique<DocTracker>(store, TrackerTrees{&docs, {&doc, &app, &path}}, windows,
                                           shell, &icons, hooks);
    tracker->HistoryLoaded();
    SettingsFile::Hold hold(*store.settings);
    for (const DocRecord& d : bench::SampleRecords(records)) {
      tracker->AddMyDoc(AsFound(d), d.date);
      if (store.MyRecentList.size() > kMaxListLines) store.MyRecentList.Clear();
    }
  }

  // Fifty documents not seen yet, as the shell and the desktop show them.
  void OpenNewDocuments() {
    shell.Clear();
    windows.ClearWindows();
    for (int i = 0; i < kNewDocuments; ++i, ++next_) {
      const std::string n = std::to_string(next_);
      switch (i % 3) {
        case 0:
          shell.AddWindow("http://news.163.com/new/" + n + ".html", "新的报道 " + n);
          break;
        case 1:
          shell.AddWindow("file:///D:/工作/新目录 " + n);
          break;
        default:
          windows.AddWindow("报表 " + n + " - 新程序", "C:\\Program Files\\App " + n + "\\new.exe");
          break;
      }
    }
  }

  // What the refresh would register, in its order (programs first).
  std::vector<FoundDoc> Found() {
    tracker->ScanAppWindows();
    tracker->ScanShellWindows();
    std::vector<FoundDoc> found = tracker->AppWindowList();
    found.insert(found.end(), tracker->ShellWindowList().begin(), tracker->ShellWindowList().end());
    return found;
  }

  TempDirForTests temp;
  CountingFiles files{MakeSystemFiles()};
  std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
  DocStore store;
  TreeModel docs, doc, app, path;
  FakeWindowSystem windows;
  FakeShellWindows shell;
  FakeIconSource icons;
  std::unique_ptr<DocTracker> tracker;

 private:
  int next_ = 0;
};

// Each benchmark grows a history of its own, so both start from the same size.
World& WorldOf(size_t records, int which) {
  static std::map<std::pair<size_t, int>, std::unique_ptr<World>> worlds;
  auto& world = worlds[{records, which}];
  if (!world) world = std::make_unique<World>(records);
  return *world;
}

void Report(benchmark::State& state, World& world, size_t registered, int writes) {
  if (registered != static_cast<size_t>(kNewDocuments) * state.iterations()) {
    state.SkipWithError("not every new document was registered");
  }
  state.counters["settings_writes"] =
      static_cast<double>(writes) / static_cast<double>(state.iterations());
  state.counters["records"] = static_cast<double>(world.store.docs.size());
}

void BM_PerDocumentWrites(benchmark::State& state) {
  World& world = WorldOf(static_cast<size_t>(state.range(0)), 0);
  size_t registered = 0;
  int writes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    world.OpenNewDocuments();
    const auto found = world.Found();
    const size_t before = world.store.docs.size();
    const int writes_before = world.files.writes;
    state.ResumeTiming();
    for (const FoundDoc& doc : found) world.tracker->AddMyDoc(doc);
    state.PauseTiming();
    registered += world.store.docs.size() - before;
    writes += world.files.writes - writes_before;
    state.ResumeTiming();
  }
  Report(state, world, registered, writes);
}

void BM_OneWritePerRefresh(benchmark::State& state) {
  World& world = WorldOf(static_cast<size_t>(state.range(0)), 1);
  size_t registered = 0;
  int writes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    world.OpenNewDocuments();
    const size_t before = world.store.docs.size();
    const int writes_before = world.files.writes;
    state.ResumeTiming();
    world.tracker->CheckAllDocs();
    state.PauseTiming();
    registered += world.store.docs.size() - before;
    writes += world.files.writes - writes_before;
    state.ResumeTiming();
  }
  Report(state, world, registered, writes);
}

void BM_RefreshInterfaceThread(benchmark::State& state) {
  World& world = WorldOf(static_cast<size_t>(state.range(0)), 2);
  world.store.settings->WriteInBackground();
  size_t registered = 0;
  int writes = 0;
  double writer_ms = 0;
  for (auto _ : state) {
    state.PauseTiming();
    world.OpenNewDocuments();
    const size_t before = world.store.docs.size();
    const int writes_before = world.files.writes;
    state.ResumeTiming();
    world.tracker->CheckAllDocs();
    state.PauseTiming();
    const auto start = std::chrono::steady_clock::now();
    world.store.settings->WaitForWriterIdle();
    writer_ms +=
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    registered += world.store.docs.size() - before;
    writes += world.files.writes - writes_before;
    state.ResumeTiming();
  }
  Report(state, world, registered, writes);
  state.counters["writer_ms"] = writer_ms / static_cast<double>(state.iterations());
}

// Side by side for each history size; few refreshes, so that the history
// grows by at most a tenth while it is measured ("records" at the end).
BENCHMARK(BM_PerDocumentWrites)->Arg(1000)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneWritePerRefresh)->Arg(1000)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerDocumentWrites)->Arg(10000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneWritePerRefresh)->Arg(10000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerDocumentWrites)->Arg(100000)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneWritePerRefresh)->Arg(100000)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshInterfaceThread)->Arg(1000)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshInterfaceThread)->Arg(10000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshInterfaceThread)->Arg(100000)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zd
