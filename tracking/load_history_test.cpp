// The history part of the start-up load: section "docs" re-registered record
// by record.
#include <gtest/gtest.h>

#include <algorithm>

#include "store/text_file.h"
#include "tracking/doc_kinds.h"
#include "tracking/history_edit.h"
#include "tracking/tracker_harness_for_tests.h"

namespace zd {
namespace {

using testing_support::Outline;
using testing_support::TrackerTest;
using V = std::vector<std::string>;

struct Stored {
  std::string path;
  std::string name;
  int doctype;
  std::string date;
  bool selected = false;
};

class LoadHistoryTest : public TrackerTest {
 protected:
  // Writes a settings file holding the records and opens it, as a new start would.
  void StoreRecords(const std::vector<Stored>& records) {
    SettingsFile writer(files, *codec, SettingsPath());
    {
      SettingsFile::Hold hold(writer);
      for (size_t i = 0; i < records.size(); ++i) {
        const std::string n = std::to_string(i);
        writer.WriteString(kSectionDocs, "name" + n, records[i].name);
        writer.WriteString(kSectionDocs, "date" + n, records[i].date);
        writer.WriteString(kSectionDocs, "RootPath" + n, "ignored");
        if (records[i].doctype != 0) {
          writer.WriteInteger(kSectionDocs, "doctype" + n, records[i].doctype);
        }
        writer.WriteString(kSectionDocs, "path" + n, records[i].path);
        writer.WriteBool(kSectionDocs, "selected" + n, records[i].selected);
      }
    }
    store.settings.reset();
    OpenSettingsFile(store);
    MakeTracker();
    writes_before = files.WriteCount(SettingsPath());
  }

  int writes_before = 0;
};

TEST_F(LoadHistoryTest, RecordsComeBackWithTheirDatesAndNodes) {
  windows.AddExistingPath("C:\\Tools\\a.exe");
  StoreRecords({{"http://HOST/", "Home", 1, "2021-01-01"},
                {"C:\\Tools\\a.exe", "工具", 2, "2021-02-02"},
                {"file:///C:\\Work\\Proj", "file:///C:/Work/Proj", 3, " 2021-03-03 "},
                {"http://HOST/a.html", "页面 A", 1, ""}});
  tracker->LoadHistory(*store.settings);
  EXPECT_TRUE(tracker->ResolvePendingImages([] { return true; }));
  ASSERT_EQ(store.docs.size(), 4u);
  EXPECT_EQ(store.docs[0].date, "2021-01-01");
  EXPECT_EQ(store.docs[1].date, "2021-02-02");
  EXPECT_EQ(store.docs[2].date, "2021-03-03") << "trimmed";
  EXPECT_EQ(store.docs[3].date, testing_support::kToday) << "no stored date";
  EXPECT_EQ(store.docs[1].doctype, DocKind::kProgram);
  EXPECT_EQ(store.docs[2].path, "C:\\Work\\Proj");
  EXPECT_EQ(store.docs[2].RootPath, "C:\\Work");
  EXPECT_EQ(Outline(tv_docs), V({"C:\\Work [0] #2", "  C:\\Work\\Proj [0] #2", "工具 [11] #1",
                                 "HOST [2] #0", "  Home [2] #0", "  页面 A [2] #3"}));
  EXPECT_EQ(pumps, 4) << "messages are served after each registration";
  EXPECT_EQ(DocKey("path", 2), "file:///C:\\Work\\Proj");
}

TEST_F(LoadHistoryTest, AutoRunChoicesComeBackAtTheirNewPositions) {
  // A dropped record moves the later ones down; each keeps its own choice.
  StoreRecords({{"http://HOST/a.html", "", 1, "2021-01-01", true},
                {"file:///C:\\Work\\One", "one", 3, "2021-01-01", true},
                {"file:///C:\\Work\\Two", "two", 3, "2021-01-01", false},
                {"file:///C:\\Work\\Three", "three", 3, "2021-01-01", true}});
  tracker->LoadHistory(*store.settings);
  ASSERT_EQ(store.docs.size(), 3u);
  std::vector<bool> flags, keys;
  for (size_t i = 0; i < store.docs.size(); ++i) {
    flags.push_back(store.docs[i].selected);
    keys.push_back(DocKey("selected", i) == "1");
  }
  EXPECT_EQ(flags, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(keys, flags) << "the keys follow the records to their positions";
}

TEST_F(LoadHistoryTest, SettingsFileIsWrittenOnceForTheWholeLoad) {
  std::vector<Stored> records;
  for (int i = 0; i < 50; ++i) {
    std::string site = "http://site";
    site += std::to_string(i);
    site += ".example/";
    records.push_back({site, "站点", 1, "2022-01-01"});
  }
  StoreRecords(records);
  // A load that changes keys (a record squeezed out moves the others down).
  records.erase(records.begin() + 10);
  records.insert(records.begin() + 10, {"http://site3.example/", "dup", 1, "2022-01-01"});
  StoreRecords(records);
  int writes_seen_during_load = -1;
  on_pump = [&] { writes_seen_during_load = files.WriteCount(SettingsPath()) - writes_before; };
  tracker->LoadHistory(*store.settings);
  EXPECT_EQ(writes_seen_during_load, 0);
  EXPECT_EQ(files.WriteCount(SettingsPath()) - writes_before, 1);
  EXPECT_EQ(store.docs.size(), 49u);
  EXPECT_FALSE(store.settings->dirty());
}

// A history of any size, with or without holes and with the "needremoveurl"
// an older version stored past 1,000 records, comes back whole; a refresh
// then registers one more document, the exit saves the settings, and two
// restarts later every record is still there, the newest last.
TEST_F(LoadHistoryTest, EveryStoredRecordComesBackThroughRefreshesAndRestarts) {
  struct Case {
    size_t records;
    std::vector<size_t> holes;  // positions whose path is blank, or (500) that have no keys
  } const cases[] = {
      {0, {}},  {999, {}}, {1000, {}}, {1001, {}}, {1200, {}}, {10000, {}}, {1200, {0, 500, 1100}},
      {3, {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.records << " records, " << c.holes.size() << " holes");
    store.docs.clear();
    for (TreeModel* tree : {&tv_docs, &tv_doc, &tv_app, &tv_path}) tree->Clear();
    files.RemoveFile(SettingsPath());
    std::vector<Stored> records;
    V expected;
    for (size_t i = 0; i < c.records; ++i) {
      const std::string page = "http://h.example/" + std::to_string(i);
      const bool hole = std::find(c.holes.begin(), c.holes.end(), i) != c.holes.end();
      records.push_back({hole ? (i % 2 ? "  " : "") : page, "p", 1, "2022-01-01"});
      if (!hole) expected.push_back(page);
    }
    StoreRecords(records);
    {
      SettingsFile::Hold hold(*store.settings);
      store.settings->WriteBool(kSectionDefault, "needremoveurl", c.records >= 1001);
      if (std::find(c.holes.begin(), c.holes.end(), 500) != c.holes.end()) {
        store.settings->EraseKeys(kSectionDocs, [](std::string_view key) {
          return key == "path500" || key == "name500" || key == "date500";
        });
      }
    }
    tracker->LoadHistory(*store.settings);
    EXPECT_EQ(Paths(), expected);
    tracker->HistoryLoaded();
    shell.AddWindow("http://new.example/", "New");
    tracker->CheckAllDocs();
    shell.Clear();
    expected.push_back("http://new.example/");
    ASSERT_TRUE(SaveSettings(store, WindowSettings{}));
    for (int restart = 1; restart <= 2; ++restart) {
      SCOPED_TRACE(restart);
      store.docs.clear();
      for (TreeModel* tree : {&tv_docs, &tv_doc, &tv_app, &tv_path}) tree->Clear();
      store.settings.reset();
      OpenSettingsFile(store);
      MakeTracker();
      tracker->LoadHistory(*store.settings);
      EXPECT_EQ(Paths(), expected);
      EXPECT_EQ(store.settings->Keys(kSectionDocs).size(), 6 * expected.size());
    }
  }
}

// The user ends the program during the load: it stops after the record it
// is at, erases nothing, and the next start loads every stored record (and
// its choice for automatic start), as a load never stopped does.
TEST_F(LoadHistoryTest, ALoadStoppedAnywhereLeavesEveryRecordForTheNextStart) {
  std::vector<Stored> records = {{"http://HOST/a", "A", 1, "", true},
                                 {"   ", "blank", 1, ""},
                                 {"http://HOST/b", "B", 1, ""},
                                 {"http://HOST/a", "A again", 1, ""}};
  for (int i = 0; i < 30; ++i)
    records.push_back({"http://h/" + std::to_string(i), "p", 1, "", i % 7 == 0});
  const auto loaded = [&] {
    V docs;
    for (const DocRecord& doc : store.docs)
      docs.push_back(doc.path + (doc.selected ? " chosen" : ""));
    return docs;
  };
  StoreRecords(records);
  tracker->LoadHistory(*store.settings);
  const V whole = loaded();  // the reference: the same file loaded without a stop
  for (const size_t stop_after : {size_t{0}, size_t{1}, size_t{2}, size_t{20}}) {
    SCOPED_TRACE(stop_after);
    for (const bool stopped : {true, false}) {
      store.docs.clear();
      for (TreeModel* tree : {&tv_docs, &tv_doc, &tv_app, &tv_path}) tree->Clear();
      if (stopped) StoreRecords(records);
      stop_load = [&] { return stopped && store.docs.size() > stop_after; };
      EXPECT_EQ(tracker->LoadHistory(*store.settings), !stopped);
      const V now = loaded();
      EXPECT_EQ(now, stopped ? V(whole.begin(), whole.begin() + stop_after + 1) : whole);
      ASSERT_TRUE(SaveSettings(store, WindowSettings{}));
      store.settings.reset();  // the next start
      OpenSettingsFile(store);
      MakeTracker();
    }
  }
}

// Whatever a load drops (repeats, drive roots, records that do not
// register, blank positions), the others come back in order, and section
// "docs" afterwards holds exactly the six keys of each loaded record at its
// new position, written in the load's single write; the next start loads the
// same. A missing kind loads as a page.
TEST_F(LoadHistoryTest, ALoadKeepsWhatRegistersAndExactlyItsKeys) {
  windows.AddExistingPath("C:\\Tools\\a.exe");
  std::vector<Stored> many;
  V many_paths;
  for (int i = 0; i < 1005; ++i) {
    many.push_back({"http://h.example/" + std::to_string(i), "p", 1, "2022-01-01"});
    many_paths.push_back(many.back().path);
  }
  struct Case {
    const char* what;
    std::vector<Stored> records;
    V paths;
  } const cases[] = {
      {"nothing dropped",
       {{"http://HOST/", "Home", 1, "2021-01-01"},
        {"C:\\Tools\\a.exe", "工具", 2, "2021-02-02"},
        {"http://HOST/b", "B", 1, "2021-01-01"},
        {"file:///C:\\Work", "file:///C:/Work", 3, "2021-03-03"}},
       {"http://HOST/", "C:\\Tools\\a.exe", "http://HOST/b", "C:\\Work"}},
      {"repeats and a drive root",
       {{"http://HOST/a", "A", 1, ""},
        {"http://HOST/a", "A again", 1, ""},
        {"file:///C:\\", "file:///C:/", 3, ""},
        {"http://HOST/b", "B", 1, ""}},
       {"http://HOST/a", "http://HOST/b"}},
      {"a repeat with blanks around it",
       {{"http://HOST/a", "A", 1, "2021-01-01"},
        {"file:///C:\\", "file:///C:/", 3, "2021-01-01"},
        {"  http://HOST/a  ", "A again", 1, "2021-01-01"},
        {"http://HOST/b", "B", 1, "2021-01-01"}},
       {"http://HOST/a", "http://HOST/b"}},
      {"records that do not register",
       {{"http://HOST/a", "", 1, ""},
        {"res://x.dll/e.htm", "Error", 1, ""},
        {"http://HOST/c", "C", 1, ""}},
       {"http://HOST/c"}},
      {"a blank position",
       {{"http://HOST/a", "A", 1, ""}, {"   ", "blank", 1, ""}, {"http://HOST/c", "C", 1, ""}},
       {"http://HOST/a", "http://HOST/c"}},
      {"a missing kind", {{"http://HOST/b", "B", 0, "2021-01-01"}}, {"http://HOST/b"}},
      {"past a thousand", many, many_paths},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    store.docs.clear();
    for (TreeModel* tree : {&tv_docs, &tv_doc, &tv_app, &tv_path}) tree->Clear();
    files.RemoveFile(SettingsPath());
    StoreRecords(c.records);
    tracker->LoadHistory(*store.settings);
    ASSERT_EQ(Paths(), c.paths);
    EXPECT_EQ(files.WriteCount(SettingsPath()) - writes_before, 1);
    EXPECT_EQ(store.settings->Keys(kSectionDocs).size(), 6 * c.paths.size());
    for (const std::string& key : SettingsFile(files, *codec, SettingsPath()).Keys(kSectionDocs)) {
      const size_t digits = key.find_first_of("0123456789");
      ASSERT_NE(digits, std::string::npos) << key;
      EXPECT_LT(std::stoul(key.substr(digits)), c.paths.size()) << key;
    }
    for (size_t i = 0; i < store.docs.size(); ++i) {
      const DocRecord& doc = store.docs[i];
      if (doc.doctype != DocKind::kWeb) continue;
      EXPECT_EQ(DocKey("path", i), doc.path) << i;
      EXPECT_EQ(DocKey("name", i), doc.name) << i;
    }
    store.docs.clear();
    for (TreeModel* tree : {&tv_docs, &tv_doc, &tv_app, &tv_path}) tree->Clear();
    store.settings.reset();
    OpenSettingsFile(store);
    MakeTracker();
    tracker->LoadHistory(*store.settings);
    EXPECT_EQ(Paths(), c.paths) << "the next start";
    // The last record keeps its stored kind; a missing kind loads as a page.
    const int kind = c.records.back().doctype;
    EXPECT_EQ(store.docs.back().doctype, DocKindOfStored(kind));
  }
}

TEST_F(LoadHistoryTest, ALocalPathInAnotherCaseFoldsIntoTheFirstRecordWithTheNewestName) {
  windows.AddExistingPath("C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE");
  StoreRecords({{"C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE", "Notepad", 2, "2021-01-01"},
                {"http://Host/A", "Web A", 1, "2021-01-02"},
                {"file:///C:/Work/Proj", "file:///C:/Work/Proj", 3, "2021-01-03"},
                {"C:\\windows\\system32\\notepad.exe", "无标题 - 记事本", 2, "2021-02-01", true},
                {"http://host/a", "Web a", 1, "2021-02-02"},
                {"file:///c:/work/proj/", "file:///c:/work/proj/", 3, "2021-02-03"}});
  tracker->LoadHistory(*store.settings);
  EXPECT_EQ(Paths(), V({"C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE", "http://Host/A", "C:\\Work\\Proj",
                        "http://host/a"}))
      << "web addresses keep their case";
  EXPECT_EQ(store.docs[0].name, "无标题 - 记事本");
  EXPECT_EQ(store.docs[0].date, "2021-01-01");
  EXPECT_TRUE(store.docs[0].selected);
  EXPECT_EQ(DocKey("name", 0), "无标题 - 记事本");
  EXPECT_EQ(DocKey("path", 4), "<none>") << "the folded records leave no keys behind";
}

TEST_F(LoadHistoryTest, LoadsIntoARecentListThatTheFileThenReplaces) {
  StoreRecords({{"http://HOST/a", "A", 1, ""}, {"file:///C:\\Work", "file:///C:/Work", 3, ""}});
  tracker->LoadHistory(*store.settings);
  EXPECT_EQ(store.MyRecentList.Lines(), V({"C:\\Work*|*C:/Work", "http://HOST/a*|*A"}));
  // The load's lines go in at its end; a registration after it, at once.
  tracker->AddMyDoc(FoundDoc{"http://HOST/b", "B", "", DocKind::kWeb}, "");
  EXPECT_EQ(store.MyRecentList.Lines().front(), "http://HOST/b*|*B");
}

TEST_F(LoadHistoryTest, ReadsFromASettingsObjectOtherThanTheStoreOne) {
  StoreRecords({{"http://HOST/a", "A", 1, ""}, {"http://HOST/b", "B", 1, ""}});
  SettingsFile other(files, *codec, SettingsPath());
  store.settings->EraseSection(kSectionDocs);
  writes_before = files.WriteCount(SettingsPath());
  tracker->LoadHistory(other);
  EXPECT_EQ(Paths(), V({"http://HOST/a", "http://HOST/b"}));
  EXPECT_EQ(files.WriteCount(SettingsPath()) - writes_before, 1);
  EXPECT_EQ(DocKey("path", 1), "http://HOST/b");
}

TEST_F(LoadHistoryTest, RecordsHeldBeforeTheLoadDoNotCostStoredOnes) {
  StoreRecords({{"http://HOST/a", "A", 1, ""}, {"http://HOST/b", "B", 1, ""}});
  // A record already in the history: stored record 0 is appended at 1 and
  // writes its keys there before stored record 1 is registered.
  DocRecord early;
  early.path = "http://EARLY/";
  early.name = "Early";
  early.RootPath = "EARLY";
  early.doctype = DocKind::kWeb;
  store.docs.push_back(early);
  tracker->LoadHistory(*store.settings);
  EXPECT_EQ(Paths(), V({"http://EARLY/", "http://HOST/a", "http://HOST/b"}));
  EXPECT_EQ(DocKey("path", 1), "http://HOST/a");
  EXPECT_EQ(DocKey("path", 2), "http://HOST/b");
}

// A program's file is asked about, and its icon read, only after the load,
// a slice at a time: the trees and images end as a load that did it all at
// once left them (the oracle: the same records registered one by one).
TEST_F(LoadHistoryTest, ProgramImagesComeAfterTheLoadAsDuringIt) {
  const std::vector<Stored> records = {
      {"http://HOST/", "Home", 1, "2021-01-01"},
      {"C:\\Tools\\a.exe", "工具", 2, "2021-01-02"},
      {"C:\\Gone\\b.exe", "Gone", 2, "2021-01-03"},
      {"file:///C:\\Work\\Proj", "file:///C:/Work/Proj", 3, "2021-01-04"},
      {"\\\\srv\\tools\\net.exe", "Net", 2, "2021-01-05"},
      {"C:\\WINDOWS\\explorer.exe", "我的电脑", 2, "2021-01-06"},
      {"C:\\Tools\\bad.exe", "Bad icon", 2, "2021-01-07"},
      {"C:\\Tools\\c.exe", "C", 2, "2021-01-08"},
      {"http://HOST/a.html", "页面 A", 1, "2021-01-09"}};
  const auto prepare = [this] {
    for (const char* path : {"C:\\Tools\\a.exe", "C:\\WINDOWS\\explorer.exe", "C:\\Tools\\bad.exe",
                             "C:\\Tools\\c.exe"}) {
      windows.AddExistingPath(path);
    }
    windows.AnswerFor("\\\\srv\\tools\\net.exe", PathAnswer::kNotAsked);
    icons.FailFor("C:\\Tools\\bad.exe");
  };
  struct Case {
    int per_call;            // programs resolved per call
    int delete_after_calls;  // the history edited (record 2 removed) after so many calls; -1 never
  };
  for (const Case& c : {Case{1, -1}, Case{2, -1}, Case{100, -1}, Case{1, 2}, Case{2, 1}}) {
    SCOPED_TRACE("per call " + std::to_string(c.per_call) + ", delete after " +
                 std::to_string(c.delete_after_calls));
    // The oracle: each record registered with its image at once.
    StoreRecords({});
    prepare();
    for (const Stored& r : records) {
      const std::string address = r.path;
      tracker->AddMyDoc(
          FoundDoc{address, r.name,
                   (DocKindOfStored(r.doctype) == DocKind::kProgram) ? address : std::string(),
                   (DocKindOfStored(r.doctype) == DocKind::kProgram) ? DocKind::kProgram
                                                                     : DocKind::kWeb},
          r.date);
    }
    if (c.delete_after_calls >= 0) {
      HistoryEditor editor(store, *tracker, TrackerTrees{&tv_docs, {&tv_doc, &tv_app, &tv_path}},
                           {});
      editor.DeleteSelectDocs({2});
    }
    const V docs_expected = Outline(tv_docs), apps_expected = Outline(tv_app);
    std::vector<int> images_expected;
    for (const DocRecord& doc : store.docs) images_expected.push_back(doc.image);
    for (TreeModel* t : {&tv_docs, &tv_doc, &tv_app, &tv_path}) t->Clear();
    store.docs.clear();

    icons = FakeIconSource();
    windows = FakeWindowSystem();
    StoreRecords(records);
    prepare();
    tracker->LoadHistory(*store.settings);
    EXPECT_EQ(windows.path_questions(), 0) << "no file asked about during the load";
    EXPECT_EQ(icons.calls(), 0) << "no icon read during the load";
    for (const DocRecord& doc : store.docs) {
      EXPECT_EQ(doc.image_pending, doc.doctype == DocKind::kProgram) << doc.path;
      if (doc.doctype == DocKind::kProgram) EXPECT_EQ(doc.image, kImageProgram) << doc.path;
    }
    int calls = 0;
    for (bool done = false; !done;) {
      if (calls == c.delete_after_calls) {
        HistoryEditor editor(store, *tracker, TrackerTrees{&tv_docs, {&tv_doc, &tv_app, &tv_path}},
                             {});
        editor.DeleteSelectDocs({2});
      }
      int allowed = c.per_call;
      done = tracker->ResolvePendingImages([&allowed] { return --allowed > 0; });
      ASSERT_LT(++calls, 50);
    }
    EXPECT_EQ(Outline(tv_docs), docs_expected);
    EXPECT_EQ(Outline(tv_app), apps_expected);
    std::vector<int> images;
    for (const DocRecord& doc : store.docs) {
      images.push_back(doc.image);
      EXPECT_FALSE(doc.image_pending) << doc.path;
    }
    EXPECT_EQ(images, images_expected);
    EXPECT_TRUE(testing_support::SelectedImagesMatch(tv_docs));
    EXPECT_TRUE(testing_support::SelectedImagesMatch(tv_app));
    if (c.delete_after_calls < 0) {
      EXPECT_EQ(calls, (6 + c.per_call - 1) / c.per_call) << "six programs, so many per call";
    }
    EXPECT_TRUE(tracker->ResolvePendingImages([] { return true; })) << "nothing left";
    for (TreeModel* t : {&tv_docs, &tv_doc, &tv_app, &tv_path}) t->Clear();
    store.docs.clear();
    icons = FakeIconSource();
    windows = FakeWindowSystem();
  }
}

}  // namespace
}  // namespace zd
