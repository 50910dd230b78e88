// Removing documents from the history: chosen records with one rebuild, the
// whole history, and the wait for the start-up load.
#include "tracking/history_edit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tracking/doc_kinds.h"
#include "tracking/recording_tree_mirror_for_tests.h"
#include "tracking/tracker_harness_for_tests.h"

namespace zd {
namespace {

using testing_support::Outline;
using testing_support::TrackerTest;
using V = std::vector<std::string>;

struct Fields {
  std::string RootPath, path, name;
  bool selected;
  DocKind doctype;
  std::string date;
  bool operator==(const Fields&) const = default;
};
std::vector<Fields> AllFields(const DocArray& docs) {
  std::vector<Fields> out;
  for (const DocRecord& d : docs)
    out.push_back({d.RootPath, d.path, d.name, d.selected, d.doctype, d.date});
  return out;
}

class HistoryEditTest : public TrackerTest {
 protected:
  HistoryEditTest() { MakeEditor(); }

  void MakeEditor() {
    HistoryEditHooks hooks;
    hooks.refresh_timer = [this](bool on) {
      timer_events.push_back(on ? "timer on" : "timer off");
    };
    hooks.bulk_update = [this](bool on) { timer_events.push_back(on ? "bulk" : "draw"); };
    editor = std::make_unique<HistoryEditor>(
        store, *tracker, TrackerTrees{&tv_docs, {&tv_doc, &tv_app, &tv_path}}, hooks);
  }

  // Six records of every kind, with their own dates, some chosen for auto-run.
  void RegisterSample() {
    windows.AddExistingPath("C:\\Tools\\a.exe");
    windows.AddExistingPath("C:\\Tools\\b.exe");
    tracker->AddMyDoc(FoundDoc{"http://HOST/", "Home", "", DocKind::kWeb}, "2021-01-01");
    tracker->AddMyDoc(FoundDoc{"file:///D:/Work/Proj", "file:///D:/Work/Proj", "", DocKind::kWeb},
                      "2021-02-02");
    tracker->AddMyDoc(FoundDoc{"C:\\Tools\\a.exe", "工具 A", "C:\\Tools\\a.exe", DocKind::kProgram},
                      "2021-03-03");
    tracker->AddMyDoc(FoundDoc{"http://HOST/p.html", "页面", "", DocKind::kWeb}, "2021-04-04");
    tracker->AddMyDoc(FoundDoc{"file:///D:/Work", "file:///D:/Work", "", DocKind::kWeb},
                      "2021-05-05");
    tracker->AddMyDoc(FoundDoc{"C:\\Tools\\b.exe", "工具 B", "C:\\Tools\\b.exe", DocKind::kProgram},
                      "2021-06-06");
    ASSERT_EQ(store.docs.size(), 6u);
    for (size_t chosen : {1, 5}) {
      store.docs[chosen].selected = true;
      store.settings->WriteBool(kSectionDocs, "selected" + std::to_string(chosen), true);
    }
  }

  std::unique_ptr<HistoryEditor> editor;
  V timer_events;
};

TEST_F(HistoryEditTest, KeptRecordsKeepOrderDatesAndAutoRunChoice) {
  struct Case {
    std::vector<int32_t> positions;
    std::set<size_t> gone;  // positions removed
  };
  const Case cases[] = {
      {{0}, {0}},     {{1}, {1}}, {{5, 0, 3}, {0, 3, 5}}, {{2, 2}, {2}}, {{6}, {}},
      {{-1, 99}, {}}, {{}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.positions));
    store.docs.clear();
    store.MyRecentList.Clear();
    for (TreeModel* t : {&tv_docs, &tv_doc, &tv_app, &tv_path}) t->Clear();
    store.settings->EraseSection(kSectionDocs);
    tracker->RebuildIndex();
    RegisterSample();
    const DocArray before = store.docs;
    const int rebuilds = editor->rebuilds();

    editor->DeleteSelectDocs(c.positions);

    DocArray expected;
    for (size_t i = 0; i < before.size(); ++i) {
      if (!c.gone.count(i)) expected.push_back(before[i]);
    }
    EXPECT_EQ(AllFields(store.docs), AllFields(expected));
    EXPECT_EQ(editor->rebuilds() - rebuilds, c.gone.empty() ? 0 : 1);
    // Section "docs" describes the records at their new positions.
    for (size_t i = 0; i < store.docs.size(); ++i) {
      EXPECT_EQ(DocKey("date", i), store.docs[i].date) << i;
      EXPECT_EQ(DocKey("selected", i), store.docs[i].selected ? "1" : "0") << i;
    }
    EXPECT_EQ(DocKey("path", store.docs.size()), "<none>");
  }
}

TEST_F(HistoryEditTest, RebuiltTreesAreTheTreesOfTheKeptRecords) {
  RegisterSample();
  editor->DeleteSelectDocs({0});
  // The reference: the same records registered into fresh trees.
  TreeModel docs, doc, app, path;
  DocStore other;
  DocTracker fresh(other, TrackerTrees{&docs, {&doc, &app, &path}}, windows, shell, &icons, {});
  fresh.HistoryLoaded();
  for (const DocRecord& d : store.docs) {
    fresh.AddMyDoc(FoundDoc{d.doctype == DocKind::kFolder ? "file:///" + d.path : d.path, d.name,
                            (d.doctype == DocKind::kProgram)
                                ? d.doctype == DocKind::kFolder ? "file:///" + d.path : d.path
                                : std::string(),
                            (d.doctype == DocKind::kProgram) ? DocKind::kProgram : DocKind::kWeb},
                   d.date);
  }
  auto captions = [](const TreeModel& tree) {
    V out;
    for (const std::string& line : Outline(tree)) out.push_back(line.substr(0, line.find(" [")));
    return out;
  };
  EXPECT_EQ(captions(tv_docs), captions(docs));
  EXPECT_EQ(Outline(tv_doc), Outline(doc));
  EXPECT_EQ(Outline(tv_path), Outline(path));
  EXPECT_EQ(captions(tv_app), captions(app));
}

TEST_F(HistoryEditTest, RecentListKeepsItsOrderAndLosesTheRemovedPaths) {
  RegisterSample();
  // As a run leaves it: opened documents on top, a folder recorded with its
  // trailing backslash and another with slashes, a kept record missing.
  store.MyRecentList.ReplaceAll({"D:\\Work\\Proj\\*|*opened folder", "http://HOST/*|*Home",
                                 "C:\\Other\\x.txt*|*x", "D:/Work/Proj*|*D:/Work/Proj",
                                 "C:\\Tools\\a.exe*|*工具 A", "D:\\Work*|*D:\\Work"});
  editor->DeleteSelectDocs({1, 0});
  EXPECT_EQ(store.MyRecentList.Lines(),
            V({"C:\\Other\\x.txt*|*x", "C:\\Tools\\a.exe*|*工具 A", "D:\\Work*|*D:\\Work"}));
}

// Deleting one record, a group or everything: the recent list and the last
// session's list lose the deleted records' lines in memory and on disk at
// once (a crash before the exit keeps the deletion), and whatever else keeps
// them (the search's picks) is told which paths went.
TEST_F(HistoryEditTest, ForgettingReachesEveryFileAtOnce) {
  const std::string recent_file = std::string(testing_support::kConfigDir) + kRecentFileName;
  const std::string last_run_file = std::string(testing_support::kConfigDir) + kLastRunFileName;
  struct Case {
    const char* what;
    std::vector<int32_t> positions;  // empty: "删除所有"
    V recent, last_run;              // what stays
    std::set<std::string> told;
  } const cases[] = {
      {"one folder",
       {1},
       {"http://HOST/*|*Home", "C:\\Tools\\a.exe*|*工具 A"},
       {"C:\\Tools\\a.exe", "http://HOST/p.html"},
       {"D:\\Work\\Proj"}},
      {"a host's pages",
       {0, 3},
       {"D:\\Work\\Proj\\*|*opened folder", "C:\\Tools\\a.exe*|*工具 A"},
       {"C:\\Tools\\a.exe", "file:///D:/Work/Proj"},
       {"http://HOST/", "http://HOST/p.html"}},
      {"a program",
       {2},
       {"D:\\Work\\Proj\\*|*opened folder", "http://HOST/*|*Home"},
       {"http://HOST/p.html", "file:///D:/Work/Proj"},
       {"C:\\Tools\\a.exe"}},
      {"everything", {}, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    store.docs.clear();
    for (TreeModel* t : {&tv_docs, &tv_doc, &tv_app, &tv_path}) t->Clear();
    store.settings->EraseSection(kSectionDocs);
    tracker->RebuildIndex();
    RegisterSample();
    // As the last run left them.
    files.PutFile(recent_file,
                  "D:\\Work\\Proj\\*|*opened folder\r\nhttp://HOST/*|*Home\r\n"
                  "C:\\Tools\\a.exe*|*工具 A\r\n");
    files.PutFile(last_run_file,
                  "C:\\Tools\\a.exe\r\nhttp://HOST/p.html\r\nfile:///D:/Work/Proj\r\n");
    ListFileLoad(store.MyRecentList, files, *codec, recent_file);
    LoadLastRunList(store);
    std::vector<std::pair<std::set<std::string>, bool>> told;
    HistoryEditHooks hooks;
    hooks.forgotten = [&](const std::set<std::string>& paths, bool all) {
      told.emplace_back(paths, all);
    };
    editor = std::make_unique<HistoryEditor>(
        store, *tracker, TrackerTrees{&tv_docs, {&tv_doc, &tv_app, &tv_path}}, hooks);
    if (c.positions.empty()) {
      editor->DeleteAllDocs();
    } else {
      editor->DeleteSelectDocs(c.positions);
    }
    EXPECT_EQ(store.MyRecentList.Lines(), c.recent);
    EXPECT_EQ(store.LastRunList, c.last_run);
    // On disk already, as the next start would read them.
    DocList recent_read;
    ListFileLoad(recent_read, files, *codec, recent_file);
    EXPECT_EQ(recent_read.Lines(), c.recent);
    DocStore next;
    next.files = &files;
    next.codec = codec.get();
    next.ConfigDir = testing_support::kConfigDir;
    LoadLastRunList(next);
    EXPECT_EQ(next.LastRunList, c.last_run);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].first, c.told);
    EXPECT_EQ(told[0].second, c.positions.empty());
  }
}

TEST_F(HistoryEditTest, SeveralSelectedNodesGoInOneRebuildAndOneWrite) {
  RegisterSample();
  tv_docs.ExpandAll(true);
  // A root (record 0) with its own child (record 3), and the folder child.
  TreeNode* host = tv_docs.FindNodeByText("HOST", false);
  ASSERT_NE(host, nullptr);
  tv_docs.Select(host);
  tv_docs.Select(host->children[0].get(), true);
  tv_docs.Select(tv_docs.FindNodeByText("D:\\Work\\Proj", false), true);
  EXPECT_EQ(SelectedDocPositions(tv_docs), std::vector<int32_t>({1, 0, 3}));
  const int writes = files.WriteCount(SettingsPath());
  editor->DeleteSelectedDoc(tv_docs);
  EXPECT_EQ(Paths(), V({"C:\\Tools\\a.exe", "D:\\Work", "C:\\Tools\\b.exe"}));
  EXPECT_EQ(editor->rebuilds(), 1);
  EXPECT_EQ(files.WriteCount(SettingsPath()) - writes, 1);
  EXPECT_EQ(timer_events, V({"timer off", "bulk", "draw", "timer on"}));
}

TEST_F(HistoryEditTest, AGroupTakesEveryRecordUnderItAfterOneQuestionWithTheirNumber) {
  struct Case {
    std::string caption;  // the node chosen in TVDoc, or "" for none
    bool answer;
    std::vector<size_t> asked;  // the numbers the question named
    V paths;                    // the history afterwards
  };
  const V all = {"http://HOST/",       "D:\\Work\\Proj", "C:\\Tools\\a.exe",
                 "http://HOST/p.html", "D:\\Work",       "C:\\Tools\\b.exe"};
  const Case cases[] = {
      {"HOST", false, {2}, all},
      {"HOST", true, {2}, {"D:\\Work\\Proj", "C:\\Tools\\a.exe", "D:\\Work", "C:\\Tools\\b.exe"}},
      // One record: no question, as ever.
      {"页面",
       true,
       {},
       {"http://HOST/", "D:\\Work\\Proj", "C:\\Tools\\a.exe", "D:\\Work", "C:\\Tools\\b.exe"}},
      {"", true, {}, all},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption + (c.answer ? " yes" : " no"));
    store.docs.clear();
    for (TreeModel* t : {&tv_docs, &tv_doc, &tv_app, &tv_path}) t->Clear();
    store.settings->EraseSection(kSectionDocs);
    tracker->RebuildIndex();
    RegisterSample();
    if (!c.caption.empty()) tv_doc.Select(tv_doc.FindNodeByText(c.caption, true));
    std::vector<size_t> asked;
    editor->DeleteSelectedDoc(tv_doc, [&](size_t count) {
      asked.push_back(count);
      return c.answer;
    });
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(Paths(), c.paths);
  }
}

TEST_F(HistoryEditTest, DeleteKeyRemovesNodesOnlyAndTheyComeBackWithTheNextRebuild) {
  RegisterSample();
  const V outline = Outline(tv_doc);
  const DocArray before = store.docs;
  const std::string settings_before = files.files().at(SettingsPath());
  tv_doc.ExpandAll(true);
  tv_doc.Select(tv_doc.FindNodeByText("HOST", false));
  tv_doc.Select(tv_doc.FindNodeByText("页面", false), true);
  EXPECT_EQ(tv_doc.DeleteSelectedNodes(), 1u);
  EXPECT_TRUE(tv_doc.empty());
  EXPECT_EQ(AllFields(store.docs), AllFields(before));
  EXPECT_EQ(files.files().at(SettingsPath()), settings_before);
  editor->DeleteSelectDocs({5});  // another record
  EXPECT_EQ(Outline(tv_doc), outline);
}

TEST_F(HistoryEditTest, DeleteAllEmptiesHistoryTreesAndRecentButNotTheOtherLists) {
  RegisterSample();
  AddMyLove(store.MyLoveList, "C:\\fav.txt", "fav");
  AddMyRun(store.MyRunList, "C:\\run.exe", "run");
  ASSERT_GT(tracker->AppImageCounter(), 10);
  editor->DeleteAllDocs();
  EXPECT_TRUE(store.docs.empty());
  for (TreeModel* t : {&tv_docs, &tv_doc, &tv_app, &tv_path}) EXPECT_TRUE(t->empty());
  EXPECT_TRUE(store.MyRecentList.empty());
  EXPECT_EQ(DocKey("path", 0), "<none>");
  EXPECT_EQ(store.MyLoveList.size(), 1u);
  EXPECT_EQ(store.MyRunList.size(), 1u);
  EXPECT_EQ(tracker->AppImageCounter(), 10);
  EXPECT_EQ(timer_events, V({"timer off", "timer on"}));
  // The history fills again from position 0, the icons from 11.
  windows.AddExistingPath("C:\\Tools\\c.exe");
  tracker->AddMyDoc(FoundDoc{"C:\\Tools\\c.exe", "C", "C:\\Tools\\c.exe", DocKind::kProgram}, "");
  EXPECT_EQ(Outline(tv_app), V({"C [11] #0"}));
}

TEST_F(HistoryEditTest, RebuildsReadNoIconAskNoFileAndKeepEveryProgramsImage) {
  // 300 programs, then 50 rebuilds: the image list never grows, no icon is
  // read again and no program file is asked about.
  for (int i = 0; i < 300; ++i) {
    const std::string exe = "C:\\Tools\\p" + std::to_string(i) + ".exe";
    windows.AddExistingPath(exe);
    ASSERT_TRUE(
        tracker->AddMyDoc(FoundDoc{exe, "P" + std::to_string(i), exe, DocKind::kProgram}, ""));
  }
  ASSERT_EQ(icons.count(), 311);
  std::vector<std::pair<std::string, int>> images;  // each program's image as registered
  for (const DocRecord& doc : store.docs) images.emplace_back(doc.path, doc.image);
  const int icon_calls = icons.calls(), questions = windows.path_questions();
  for (int rebuild = 0; rebuild < 50; ++rebuild) {
    editor->DeleteSelectDocs({static_cast<int32_t>(rebuild * 5 % store.docs.size())});
  }
  EXPECT_EQ(editor->rebuilds(), 50);
  EXPECT_EQ(icons.count(), 311);
  EXPECT_EQ(icons.calls(), icon_calls);
  EXPECT_EQ(windows.path_questions(), questions);
  for (const DocRecord& doc : store.docs) {
    const auto kept = std::find_if(images.begin(), images.end(),
                                   [&](const auto& image) { return image.first == doc.path; });
    ASSERT_NE(kept, images.end());
    EXPECT_EQ(doc.image, kept->second) << doc.path;
    const TreeNode* node = tv_app.FindNodeByText(doc.name, false);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->image, kept->second) << doc.path;
  }
  // Emptying the history cuts the list back to its built-in pictures.
  editor->DeleteAllDocs();
  EXPECT_EQ(icons.count(), 11);
}

TEST_F(HistoryEditTest, AProgramOnTheNetworkShowsThePlainPictureWithoutItsIconBeingRead) {
  windows.AnswerFor("\\\\srv\\tools\\net.exe", PathAnswer::kNotAsked);
  windows.AnswerFor("E:\\cd.exe", PathAnswer::kNotReady);
  EXPECT_EQ(tracker->GetAppImageIndex("\\\\srv\\tools\\net.exe", "Net"), kImageProgram);
  EXPECT_EQ(tracker->GetAppImageIndex("E:\\cd.exe", "CD"), kImageProgram);
  EXPECT_EQ(icons.calls(), 0);
}

// A tree whose control fails while it is cleared.
class FailingMirror : public testing_support::RecordingTreeMirror {
 public:
  void Cleared() override {
    if (armed) throw std::runtime_error("control gone");
  }
  bool armed = false;
};

TEST_F(HistoryEditTest, TheTimerComesBackOnEvenWhenClearingFails) {
  RegisterSample();
  FailingMirror mirror;
  tv_app.SetMirror(&mirror);
  mirror.armed = true;
  // The failure travels on to the window procedure, which records it.
  EXPECT_THROW(editor->DeleteAllDocs(), std::runtime_error);
  EXPECT_EQ(timer_events, V({"timer off", "timer on"}));
  timer_events.clear();
  EXPECT_THROW(editor->DeleteSelectDocs({0}), std::runtime_error);
  EXPECT_EQ(timer_events.back(), "timer on");
  mirror.armed = false;
  tv_app.SetMirror(nullptr);
}

class HistoryEditDuringLoadTest : public HistoryEditTest {
 protected:
  HistoryEditDuringLoadTest() {
    history_loaded = false;
    MakeTracker();
    MakeEditor();
  }
};

TEST_F(HistoryEditDuringLoadTest, DeletesWaitForTheLoadAndLoseNothingStored) {
  // Stored: five pages; while the load pumps after the second one, the user
  // deletes the first page and then (in another request) the second.
  {
    SettingsFile::Hold hold(*store.settings);
    for (int i = 0; i < 5; ++i) {
      store.docs.push_back({"h" + std::to_string(i) + ".example",
                            "http://h" + std::to_string(i) + ".example/", "page", false,
                            DocKind::kWeb, "2020-01-0" + std::to_string(i + 1)});
      WriteDocEntry(*store.settings, store.docs, i, "page");
    }
    store.docs.clear();
  }
  on_pump = [this] {
    if (pumps == 2) editor->DeleteSelectDocs({0});
    if (pumps == 3) editor->DeleteSelectDocs({1});
  };
  tracker->LoadHistory(*store.settings);
  EXPECT_TRUE(editor->waiting());
  EXPECT_EQ(store.docs.size(), 5u) << "nothing is removed while the load reads";
  EXPECT_EQ(editor->rebuilds(), 0);
  tracker->HistoryLoaded();
  EXPECT_FALSE(editor->waiting());
  EXPECT_EQ(editor->rebuilds(), 1) << "both requests in one rebuild";
  EXPECT_EQ(Paths(), V({"http://h2.example/", "http://h3.example/", "http://h4.example/"}));
  EXPECT_EQ(DocKey("path", 2), "http://h4.example/");
  EXPECT_EQ(DocKey("date", 0), "2020-01-03");
}

TEST_F(HistoryEditDuringLoadTest, DeleteAllDuringTheLoadRunsAfterItAndCoversOtherChoices) {
  tracker->AddMyDoc(FoundDoc{"http://a.example/", "a", "", DocKind::kWeb}, "");
  editor->DeleteSelectDocs({0});
  editor->DeleteAllDocs();
  EXPECT_EQ(store.docs.size(), 1u);
  EXPECT_TRUE(timer_events.empty());
  tracker->HistoryLoaded();
  EXPECT_TRUE(store.docs.empty());
  EXPECT_EQ(editor->rebuilds(), 1);
  // Later requests run at once.
  tracker->AddMyDoc(FoundDoc{"http://b.example/", "b", "", DocKind::kWeb}, "");
  editor->DeleteSelectDocs({0});
  EXPECT_TRUE(store.docs.empty());
}

}  // namespace
}  // namespace zd
