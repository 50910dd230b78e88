// The launcher's search (readings, one script, ranked by picks) against
// today's search (plain text, oldest first) in the same run, typing words
// letter by letter into the box over 100,000 history records (pages,
// programs and folders with Chinese names and paths).
//
//   BM_Typing/<mode>/<word>   mode 0 today's search, 1 the launcher's
//                             (ranked, 500 picks and 20 pins); the time is per
//                             keystroke, mean_ms and worst_ms (the slowest
//                             keystroke) in processor time
//   BM_FirstSearch/<mode>     the first search after start, which makes the
//                             folded copies (and the signatures)
//   BM_HanTables              the generated tables: their size in the program
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "bench/launcher_typing.h"
#include "bench/sample_records.h"
#include "lang/han_chars.h"
#include "launch/search.h"
#include "store/config.h"

namespace zd {
namespace {

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

const DocStore& Store() {
  static DocStore store;
  if (store.docs.empty()) store.docs = bench::SampleRecords(bench::kLauncherRecords);
  return store;
}

const PickStore& Picks() {
  static PickStore picks;
  if (picks.picks().empty()) bench::AddLauncherPicks(picks, Store().docs);
  return picks;
}

void SetUpModel(SearchModel& model, bool launcher) {
  if (launcher) {
    SearchOptions options;
    options.ranked = true;
    options.picks = &Picks();
    options.now = [] { return bench::kLauncherNow; };
    model.SetOptions(options);
  }
}

void BM_Typing(benchmark::State& state) {
  const bool launcher = state.range(0) != 0;
  const std::string& word = bench::LauncherWords()[static_cast<size_t>(state.range(1))];
  const std::vector<std::string> keys = bench::Keystrokes(word);
  const DocStore& store = Store();
  SearchModel model;
  SetUpModel(model, launcher);
  model.Run(store, "warm up");  // the copies exist from the first search on
  // Each keystroke's processor time: on a machine shared with other work
  // the time on the wall says more about the others.
  std::vector<double> seconds(keys.size(), 0.0);
  size_t keystrokes = 0;
  for (auto _ : state) {
    model.Run(store, "");
    for (size_t k = 0; k < keys.size(); ++k) {
      const double start = ThreadSeconds();
      model.Run(store, keys[k]);
      seconds[k] += ThreadSeconds() - start;
      ++keystrokes;
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(keystrokes));
  double total = 0;
  for (const double s : seconds) total += s;
  state.counters["mean_ms"] = total * 1000.0 / static_cast<double>(keystrokes);
  state.counters["worst_ms"] =
      *std::max_element(seconds.begin(), seconds.end()) * 1000.0 / state.iterations();
  state.counters["rows"] = static_cast<double>(model.RowCount());
  state.SetLabel((launcher ? "launcher " : "today ") + word);
}
void TypingArgs(benchmark::internal::Benchmark* b) {
  for (int word = 0; word < static_cast<int>(bench::LauncherWords().size()); ++word) {
    b->Args({0, word});
    b->Args({1, word});
  }
}
BENCHMARK(BM_Typing)->Apply(TypingArgs)->Unit(benchmark::kMicrosecond);

void BM_FirstSearch(benchmark::State& state) {
  const DocStore& store = Store();
  for (auto _ : state) {
    SearchModel model;
    SetUpModel(model, state.range(0) != 0);
    model.Run(store, "e");
    benchmark::DoNotOptimize(model.RowCount());
  }
  state.SetLabel(state.range(0) ? "launcher" : "today");
}
BENCHMARK(BM_FirstSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_HanTables(benchmark::State& state) {
  const han::TableStats stats = han::Stats();
  char32_t cp = 0x4E00;
  for (auto _ : state) {
    benchmark::DoNotOptimize(han::Readings(cp));
    cp = cp == 0x9FFF ? 0x4E00 : cp + 1;
  }
  state.counters["bytes"] = static_cast<double>(stats.bytes);
  state.counters["characters"] = static_cast<double>(stats.characters);
  state.counters["syllables"] = static_cast<double>(stats.syllables);
  state.counters["reading_sets"] = static_cast<double>(stats.reading_sets);
  state.counters["folds"] = static_cast<double>(stats.folds);
}
BENCHMARK(BM_HanTables);

}  // namespace
}  // namespace zd
