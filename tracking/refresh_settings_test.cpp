// A refresh writes the settings file once, at its end, whatever happens while
// it serves messages; work waiting for the start-up load runs at its end.
#include <gtest/gtest.h>

#include "store/settings_file.h"
#include "tracking/doc_kinds.h"
#include "tracking/history_edit.h"
#include "tracking/tracker_harness_for_tests.h"

namespace zd {
namespace {

using testing_support::TrackerTest;
using V = std::vector<std::string>;

class RefreshSettingsTest : public TrackerTest {
 protected:
  int Writes() const { return files.WriteCount(SettingsPath()); }

  // What a fresh start would read back from the file on disk.
  std::vector<std::string> StoredPaths() {
    SettingsFile reread(files, *codec, SettingsPath());
    std::vector<std::string> paths;
    for (int i = 0;; ++i) {
      std::string path = reread.ReadString(kSectionDocs, "path" + std::to_string(i), "");
      if (path.empty()) break;
      paths.push_back(path);
    }
    return paths;
  }
};

TEST_F(RefreshSettingsTest, OneWritePerRefreshWhateverItRegisters) {
  struct Case {
    int pages;
    int writes;
  };
  const Case cases[] = {{0, 0}, {1, 1}, {7, 1}, {50, 1}};
  int base = 0;
  for (const Case& c : cases) {
    shell.Clear();
    for (int i = 0; i < c.pages; ++i) {
      shell.AddWindow("http://site" + std::to_string(base + i) + ".example/", "站点");
    }
    base += c.pages;
    const int before = Writes();
    tracker->CheckAllDocs();
    EXPECT_EQ(Writes() - before, c.writes) << c.pages << " new pages";
    EXPECT_EQ(StoredPaths().size(), store.docs.size());
  }
  // A page seen again registers nothing and writes nothing.
  const int before = Writes();
  tracker->CheckShellDocs();
  EXPECT_EQ(Writes(), before);
}

TEST_F(RefreshSettingsTest, RebuildDuringARefreshLeavesTheFileDescribingTheHistory) {
  HistoryEditor editor(store, *tracker, TrackerTrees{&tv_docs, {&tv_doc, &tv_app, &tv_path}}, {});
  for (int i = 0; i < 3; ++i) {
    tracker->AddMyDoc(
        FoundDoc{"http://old" + std::to_string(i) + ".example/", "旧", "", DocKind::kWeb},
        "2020-01-01");
  }
  for (int i = 0; i < 4; ++i) {
    shell.AddWindow("http://new" + std::to_string(i) + ".example/", "新");
  }
  // While the refresh serves messages after its second page, the user
  // deletes the first stored record.
  on_pump = [&] {
    if (pumps == 2) editor.DeleteSelectDocs({0});
  };
  const int before = Writes();
  tracker->CheckShellDocs();
  EXPECT_EQ(Writes() - before, 1);
  const V expected = {"http://old1.example/", "http://old2.example/", "http://new0.example/",
                      "http://new1.example/", "http://new2.example/", "http://new3.example/"};
  EXPECT_EQ(Paths(), expected);
  EXPECT_EQ(StoredPaths(), expected) << "every position as it is after the rebuild";
}

TEST_F(RefreshSettingsTest, WorkAfterTheLoadRunsAtItsEndBeforeTheWaitingRefresh) {
  history_loaded = false;
  MakeTracker();
  shell.AddWindow("http://site.example/", "站点");
  const auto count = [this] { return std::to_string(store.docs.size()); };
  V order;
  tracker->CheckShellDocs();  // waits for the load
  tracker->AfterHistoryLoad([&] { order.push_back("first, docs " + count()); });
  tracker->AfterHistoryLoad([&] {
    order.push_back("second");
    // Asked for from inside: the load has ended, so it runs at once.
    tracker->AfterHistoryLoad([&] { order.push_back("nested"); });
  });
  EXPECT_TRUE(order.empty());
  tracker->HistoryLoaded();
  order.push_back("after, docs " + count());
  EXPECT_EQ(order, V({"first, docs 0", "second", "nested", "after, docs 1"}));
  tracker->AfterHistoryLoad([&] { order.push_back("late"); });
  EXPECT_EQ(order.back(), "late");
}

}  // namespace
}  // namespace zd
