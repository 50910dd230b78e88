// Times the start-up load under Wine on realistic data: 1,000 stored history
// records (pages, programs and folders with Chinese names) and three
// 10,000-line list files, all in one process on the same files:
//   (a) our load: LoadHistory with its single settings write, then the three
//       list files through ListFileLoad;
//   (b) the same load with every re-registered record's six keys written at
//       once through WritePrivateProfileStringW (instead of our held write);
//   (c) the bare reading: the settings file and the three list files read
//       and parsed, the stored keys read, nothing registered.
// Each run starts from a fresh copy of the same files.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/sample_records.h"
#include "platform/files.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/text_codec.h"
#include "platform/wide_win.h"
#include "store/config.h"
#include "store/doc_list.h"
#include "store/program_files.h"
#include "store/settings_file.h"
#include "tracking/tracker.h"
#include "tracking/tree_model.h"

using namespace zd;

namespace {

constexpr size_t kRecords = 1000;
constexpr size_t kListLines = 10000;
constexpr size_t kSqueezeEvery = 100;
const char* const kListFiles[] = {kFavFileName, kRunFileName, kRecentFileName};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

class NoShellWindows : public ShellWindows {
 public:
  ShellWindowScan Scan() override { return {}; }
};

struct Setup {
  Files& files;
  const AnsiCodec& codec;
  std::string master;  // folder holding the original files
};

// Writes the history and the three list files once.
// With `repeats`, one record in a hundred repeats the one before: the load
// drops it and moves the later records down, so the settings really change.
// Without, the load writes every key with the value it already has.
bool WriteMaster(const Setup& setup, bool repeats) {
  DocArray docs = bench::SampleRecords(kRecords);
  for (size_t i = kSqueezeEvery / 2; repeats && i < docs.size(); i += kSqueezeEvery) {
    docs[i] = docs[i - 1];
  }
  {
    SettingsFile settings(setup.files, setup.codec, setup.master + kSettingsFileName);
    SettingsFile::Hold hold(settings);
    settings.WriteKeys(kSectionDefault, {{"CbRefresh", "1"}, {"CheckDocInterval", "120"}});
    for (size_t i = 0; i < docs.size(); ++i) {
      // As the program stores them: a folder's name is its address.
      const std::string name =
          docs[i].doctype == DocKind::kFolder ? "file:///" + docs[i].path : docs[i].name;
      if (!WriteDocEntry(settings, docs, i, name)) return false;
    }
  }
  const DocArray lines = bench::SampleRecords(kListLines);
  for (const char* file : kListFiles) {
    DocList list;
    std::vector<std::string> text;
    for (const DocRecord& doc : lines) text.push_back(MakeDocLine(doc.path, doc.name));
    list.ReplaceAll(std::move(text));
    if (!ListFileSave(list, setup.files, setup.codec, setup.master + file)) return false;
  }
  return true;
}

// A fresh copy of the master files in `dir`.
bool CopyMaster(const Setup& setup, const std::string& dir) {
  if (!setup.files.CreateDirectories(dir)) return false;
  for (const char* file : {kSettingsFileName, kFavFileName, kRunFileName, kRecentFileName}) {
    const std::optional<std::string> bytes = setup.files.ReadAll(setup.master + file);
    if (!bytes || !setup.files.WriteAtomic(dir + file, *bytes)) return false;
  }
  return true;
}

struct LoadResult {
  double seconds = 0;
  // Phases: settings file opened (read, decoded, parsed); stored records
  // read and re-registered; the settings written; the three list files.
  double open = 0, registration = 0, flush = 0, lists = 0;
  size_t records = 0;
  size_t list_lines = 0;
};

void PrintPhases(const char* what, const LoadResult& r) {
  std::printf("  %s phases: open %.4f, registration %.4f, write %.4f, lists %.4f s\n", what, r.open,
              r.registration, r.flush, r.lists);
}

// The start-up load into a fresh store on `dir`. With `after_each`, it is
// called after each registration (the pump of the load).
LoadResult RunLoad(const Setup& setup, const std::string& dir, bool our_settings_writes,
                   const std::function<void(DocStore&)>& after_each) {
  DocStore store;
  store.files = &setup.files;
  store.codec = &setup.codec;
  store.ConfigDir = dir;
  TreeModel docs, doc, app, path;
  // Program files are looked up on the disk as the program does it.
  const std::unique_ptr<WindowSystem> paths = MakeSystemWindowSystem();
  NoShellWindows shell;
  LoadResult result;
  const auto start = std::chrono::steady_clock::now();
  // Ours reads the file once into the store's settings object, which also
  // takes the writes; the other run reads it into one the store does not have.
  std::optional<SettingsFile> read_only;
  if (our_settings_writes) {
    OpenSettingsFile(store);
  } else {
    read_only.emplace(setup.files, setup.codec, dir + kSettingsFileName);
  }
  SettingsFile& settings = our_settings_writes ? *store.settings : *read_only;
  result.open = Seconds(start);
  {
    // An outer hold only splits the timing: the load's own hold ends inside
    // it, and the one write happens when this one ends.
    std::optional<SettingsFile::Hold> outer(std::in_place, settings);
    auto phase = std::chrono::steady_clock::now();
    TrackerHooks hooks;
    hooks.today = [] { return std::string("2024-05-06"); };
    DocStore* store_ptr = &store;
    if (after_each) hooks.pump = [&after_each, store_ptr] { after_each(*store_ptr); };
    DocTracker tracker(store, TrackerTrees{&docs, {&doc, &app, &path}}, *paths, shell, nullptr,
                       hooks);
    tracker.LoadHistory(settings);
    result.registration = Seconds(phase);
    phase = std::chrono::steady_clock::now();
    outer.reset();
    result.flush = Seconds(phase);
  }
  const auto lists = std::chrono::steady_clock::now();
  ListFileLoad(store.MyLoveList, setup.files, setup.codec, dir + kFavFileName);
  ListFileLoad(store.MyRunList, setup.files, setup.codec, dir + kRunFileName);
  ListFileLoad(store.MyRecentList, setup.files, setup.codec, dir + kRecentFileName);
  result.lists = Seconds(lists);
  result.seconds = Seconds(start);
  result.records = store.docs.size();
  result.list_lines = store.MyLoveList.size() + store.MyRunList.size() + store.MyRecentList.size();
  return result;
}

// Reading and parsing only: the settings file opened and the stored keys of
// every position read, the three list files loaded.
LoadResult RunBareRead(const Setup& setup, const std::string& dir) {
  LoadResult result;
  const auto start = std::chrono::steady_clock::now();
  SettingsFile settings(setup.files, setup.codec, dir + kSettingsFileName);
  result.open = Seconds(start);
  const auto phase = std::chrono::steady_clock::now();
  size_t chars = 0;
  for (size_t n = 0; n < kRecords; ++n) {
    const std::string suffix = std::to_string(n);
    const std::string path = settings.ReadString(kSectionDocs, "path" + suffix, "");
    if (path.empty()) break;
    chars += path.size() + settings.ReadString(kSectionDocs, "name" + suffix, "").size() +
             settings.ReadString(kSectionDocs, "date" + suffix, "").size();
    chars += static_cast<size_t>(settings.ReadInteger(kSectionDocs, "doctype" + suffix, 1));
    ++result.records;
  }
  result.registration = Seconds(phase);
  const auto lists = std::chrono::steady_clock::now();
  DocList fav, run, rec;
  ListFileLoad(fav, setup.files, setup.codec, dir + kFavFileName);
  ListFileLoad(run, setup.files, setup.codec, dir + kRunFileName);
  ListFileLoad(rec, setup.files, setup.codec, dir + kRecentFileName);
  result.lists = Seconds(lists);
  result.seconds = Seconds(start);
  result.list_lines = fav.size() + run.size() + rec.size() + (chars == 0 ? 1 : 0);
  return result;
}

// Runs the three loads on one data set; false when they did not load the same.
bool RunScenario(Files& files, const AnsiCodec& codec, const std::string& root, bool repeats) {
  const Setup setup{files, codec, root + "master\\"};
  if (!files.CreateDirectories(setup.master) || !WriteMaster(setup, repeats)) {
    std::printf("could not write the data files\n");
    return false;
  }
  const size_t ini_bytes = files.ReadAll(setup.master + kSettingsFileName).value_or("").size();
  const size_t loaded = repeats ? kRecords - kRecords / kSqueezeEvery : kRecords;
  std::printf(
      "\n== %s: %zu stored records (%zu bytes of settings), %zu registered; 3 list files of %zu "
      "lines\n",
      repeats ? "one record in 100 a repeat" : "no repeats (every key rewritten unchanged)",
      kRecords, ini_bytes, loaded, kListLines);

  // Each variant three times on fresh copies; the best run counts.
  constexpr int kRounds = 3;
  LoadResult ours, literal, bare;
  ours.seconds = literal.seconds = bare.seconds = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const std::string tag = std::to_string(round);
    const std::string a = root + "a" + tag + "\\";
    const std::string b = root + "b" + tag + "\\";
    const std::string c = root + "c" + tag + "\\";
    if (!CopyMaster(setup, a) || !CopyMaster(setup, b) || !CopyMaster(setup, c)) {
      std::printf("could not copy the data files\n");
      return false;
    }
    const LoadResult run_c = RunBareRead(setup, c);
    if (run_c.seconds < bare.seconds) bare = run_c;
    const LoadResult run_a = RunLoad(setup, a, true, {});
    if (run_a.seconds < ours.seconds) ours = run_a;
    // (b): each new record's six keys through the profile API, at once.
    const std::wstring api_file = Utf8ToWide(b + kSettingsFileName);
    size_t written = 0;
    bool api_ok = true;
    const LoadResult run_b = RunLoad(setup, b, false, [&](DocStore& store) {
      for (; written < store.docs.size(); ++written) {
        const DocRecord& doc = store.docs[written];
        const std::string name = doc.doctype == DocKind::kFolder ? "file:///" + doc.path : doc.name;
        const std::array<std::string, 6> values = StoredDocValues(doc, name);
        for (size_t k = 0; k < 6; ++k) {
          const std::wstring key = Utf8ToWide(kDocKeyNames[k] + std::to_string(written));
          api_ok = WritePrivateProfileStringW(L"docs", key.c_str(), Utf8ToWide(values[k]).c_str(),
                                              api_file.c_str()) &&
                   api_ok;
        }
      }
    });
    if (!api_ok) {
      std::printf("a profile API write failed\n");
      return false;
    }
    if (run_b.seconds < literal.seconds) literal = run_b;
    std::printf("round %d: (a) %.4f s  (b) %.4f s  (c) %.4f s\n", round + 1, run_a.seconds,
                run_b.seconds, run_c.seconds);
  }

  std::printf("best of %d rounds:\n", kRounds);
  std::printf("  (a) our load:                %9.4f s  (%zu records, %zu list lines)\n",
              ours.seconds, ours.records, ours.list_lines);
  std::printf("  (b) keys written at once:    %9.4f s  (%zu records, %zu list lines)\n",
              literal.seconds, literal.records, literal.list_lines);
  std::printf("  (c) reading and parsing:     %9.4f s  (%zu records read, %zu list lines)\n",
              bare.seconds, bare.records, bare.list_lines);
  PrintPhases("(a)", ours);
  PrintPhases("(b)", literal);
  PrintPhases("(c)", bare);
  std::printf("  (b) / (a) = %.1f   (target: at least 100)\n", literal.seconds / ours.seconds);
  std::printf("  (a) / (c) = %.2f   (target: at most 2)\n", ours.seconds / bare.seconds);
  std::printf("  (b) / (c) = %.1f   (the most any load that reads these files could reach)\n",
              literal.seconds / bare.seconds);
  const bool same = ours.records == loaded && literal.records == loaded &&
                    bare.records == kRecords && ours.list_lines == 3 * kListLines &&
                    literal.list_lines == 3 * kListLines && bare.list_lines == 3 * kListLines;
  if (!same) std::printf("  MISMATCH: the three runs did not load the same data\n");
  return same;
}

}  // namespace

int main() {
  const UINT acp = GetACP();
  std::printf("code page %u%s\n", acp,
              acp == 936 ? "" : " (not 936: Chinese text goes to UTF-8 in our files)");
  const auto files = MakeSystemFiles();
  const auto codec = MakeSystemCodec();
  TempDirForTests dir;
  const bool unchanged = RunScenario(*files, *codec, dir.path() + "same\\", false);
  const bool repeats = RunScenario(*files, *codec, dir.path() + "repeats\\", true);
  return unchanged && repeats ? 0 : 1;
}
