// Search as you type over 1,000 and 100,000 history records (pages,
// programs and folders with Chinese names and paths): one RunSearch of the
// model without any list box, against the plain rule that lowers a copy of
// every path and name and looks for the key in it, in the same run.
//
//   BM_Baseline/<records>/<key>   the plain lower-case-copy-and-find walk
//   BM_Model/<records>/<key>      SearchModel, each search from scratch
//   BM_Typing/<records>           SearchModel, typing a 22-letter word letter by
//                                 letter as in the box (items: keystrokes)
//   BM_BaselineTyping/<records>   the plain walk for the same keystrokes
//   BM_FirstSearch/<records>      the first search after start, which makes
//                                 the lowered copies
//   BM_FirstSearchMadeAhead/<records>  the same once the copies were made
//                                 ahead after the history load (PrepareAhead)
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/sample_records.h"
#include "launch/search.h"
#include "store/config.h"

namespace zd {
namespace {

// Keys that match most records, a third, a few, one, or none.
const std::vector<std::string>& Keys() {
  static const std::vector<std::string> keys = {"e",           "baidu",     "报道",
                                                "子目录 9999", "app77.exe", "qqq"};
  return keys;
}

const DocStore& StoreOf(size_t records) {
  static DocStore small, large;
  DocStore& store = records <= 1000 ? small : large;
  if (store.docs.size() != records) store.docs = bench::SampleRecords(records);
  return store;
}

size_t BaselineSearch(const DocArray& docs, const std::string& text) {
  const std::string key = SearchKey(text);
  size_t rows = 0;
  for (const DocRecord& doc : docs) rows += MatchesSearch(doc, key) ? 1 : 0;
  return rows;
}

void BM_Baseline(benchmark::State& state) {
  const DocStore& store = StoreOf(static_cast<size_t>(state.range(0)));
  const std::string& key = Keys()[static_cast<size_t>(state.range(1))];
  size_t rows = 0;
  for (auto _ : state) rows = BaselineSearch(store.docs, key);
  state.counters["rows"] = static_cast<double>(rows);
  state.SetLabel(key);
}

void BM_Model(benchmark::State& state) {
  const DocStore& store = StoreOf(static_cast<size_t>(state.range(0)));
  const std::string& key = Keys()[static_cast<size_t>(state.range(1))];
  SearchModel model;
  model.Run(store, "warm up");  // the lowered copies exist from the first search on
  for (auto _ : state) {
    model.Clear();  // from scratch: no narrowing of an earlier key
    model.Run(store, key);
  }
  if (model.RowCount() != BaselineSearch(store.docs, key)) {
    state.SkipWithError("the model disagrees with the plain rule");
  }
  state.counters["rows"] = static_cast<double>(model.RowCount());
  state.SetLabel(key);
}

void Args(benchmark::internal::Benchmark* b) {
  for (int records : {1000, 100000}) {
    for (int key = 0; key < static_cast<int>(Keys().size()); ++key) b->Args({records, key});
  }
}
BENCHMARK(BM_Baseline)->Apply(Args)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Model)->Apply(Args)->Unit(benchmark::kMicrosecond);

// Typing "news.163.com/article/9" letter by letter; the time is per keystroke.
void BM_Typing(benchmark::State& state) {
  const DocStore& store = StoreOf(static_cast<size_t>(state.range(0)));
  const std::string word = "news.163.com/article/9";
  SearchModel model;
  model.Run(store, "warm up");
  for (auto _ : state) {
    for (size_t n = 1; n <= word.size(); ++n) model.Run(store, word.substr(0, n));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * word.size()));
}
BENCHMARK(BM_Typing)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_BaselineTyping(benchmark::State& state) {
  const DocStore& store = StoreOf(static_cast<size_t>(state.range(0)));
  const std::string word = "news.163.com/article/9";
  for (auto _ : state) {
    for (size_t n = 1; n <= word.size(); ++n) {
      benchmark::DoNotOptimize(BaselineSearch(store.docs, word.substr(0, n)));
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * word.size()));
}
BENCHMARK(BM_BaselineTyping)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_FirstSearch(benchmark::State& state) {
  const DocStore& store = StoreOf(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    SearchModel model;
    model.Run(store, "e");
    benchmark::DoNotOptimize(model.RowCount());
  }
}
BENCHMARK(BM_FirstSearch)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_FirstSearchMadeAhead(benchmark::State& state) {
  const DocStore& store = StoreOf(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto model = std::make_unique<SearchModel>();
    model->PrepareAhead(store);
    // As long as a user takes to reach the box; a copy not done by then is
    // waited for inside the timed search.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    state.ResumeTiming();
    model->Run(store, "e");
    benchmark::DoNotOptimize(model->RowCount());
    state.PauseTiming();
    model.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstSearchMadeAhead)
    ->Arg(1000)
    ->Arg(100000)
    ->Iterations(10)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zd
