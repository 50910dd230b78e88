// The history part of the start-up load: section "docs" re-registered record
// by record.
#include <gtest/gtest.h>

#include "store/text_file.h"
#include "tracking/doc_kinds.h"
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
  tracker->LoadHistory(*store.settings, false);
  ASSERT_EQ(store.docs.size(), 4u);
  EXPECT_EQ(store.docs[0].date, "2021-01-01");
  EXPECT_EQ(store.docs[1].date, "2021-02-02");
  EXPECT_EQ(store.docs[2].date, "2021-03-03") << "trimmed";
  EXPECT_EQ(store.docs[3].date, testing_support::kToday) << "no stored date";
  EXPECT_EQ(store.docs[1].doctype, kDocProgram);
  EXPECT_EQ(store.docs[2].path, "C:\\Work\\Proj");
  EXPECT_EQ(store.docs[2].RootPath, "C:\\Work");
  EXPECT_EQ(Outline(tv_docs), V({"C:\\Work [0] #2", "  C:\\Work\\Proj [0] #2", "工具 [11] #1",
                                 "HOST [2] #0", "  页面 A [2] #3"}));
  EXPECT_EQ(pumps, 4) << "messages are served after each registration";
  EXPECT_EQ(DocKey("path", 2), "file:///C:\\Work\\Proj");
}

TEST_F(LoadHistoryTest, AutoRunChoicesComeBackAtTheirNewPositions) {
  // A dropped page moves the later records down; each keeps its own choice.
  StoreRecords({{"http://HOST/a.html", "A", 1, "2021-01-01", true},
                {"file:///C:\\Work\\One", "one", 3, "2021-01-01", true},
                {"file:///C:\\Work\\Two", "two", 3, "2021-01-01", false},
                {"file:///C:\\Work\\Three", "three", 3, "2021-01-01", true}});
  tracker->LoadHistory(*store.settings, /*need_remove_url=*/true);
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
  tracker->LoadHistory(*store.settings, false);
  EXPECT_EQ(writes_seen_during_load, 0);
  EXPECT_EQ(files.WriteCount(SettingsPath()) - writes_before, 1);
  EXPECT_EQ(store.docs.size(), 49u);
  EXPECT_FALSE(store.settings->dirty());
}

TEST_F(LoadHistoryTest, AtMostTheFirstThousandPositionsAreRead) {
  std::vector<Stored> records;
  for (int i = 0; i < 1200; ++i) {
    records.push_back({"http://h.example/" + std::to_string(i), "p", 1, "2022-01-01"});
  }
  StoreRecords(records);
  tracker->LoadHistory(*store.settings, false);
  ASSERT_EQ(store.docs.size(), 1000u);
  EXPECT_EQ(store.docs.back().path, "http://h.example/999");
}

TEST_F(LoadHistoryTest, WithNeedRemoveUrlNoPageIsLoadedAndTheRestMovesDown) {
  windows.AddExistingPath("C:\\Tools\\a.exe");
  StoreRecords({{"http://HOST/", "Home", 1, "2021-01-01"},
                {"C:\\Tools\\a.exe", "工具", 2, "2021-02-02"},
                {"http://HOST/b", "No kind stored: a page", 0, "2021-01-01"},
                {"file:///C:\\Work", "file:///C:/Work", 3, "2021-03-03"}});
  tracker->LoadHistory(*store.settings, true);
  EXPECT_EQ(Paths(), V({"C:\\Tools\\a.exe", "C:\\Work"}));
  EXPECT_EQ(DocKey("path", 0), "C:\\Tools\\a.exe");
  EXPECT_EQ(DocKey("date", 0), "2021-02-02");
  EXPECT_EQ(DocKey("path", 1), "file:///C:\\Work");
  EXPECT_EQ(DocKey("doctype", 1), "3");
  // Keys above the new end are gone: the dropped pages do not come back.
  EXPECT_EQ(DocKey("path", 3), "<none>");
  EXPECT_EQ(DocKey("path", 2), "<none>");
}

// Whatever a load drops (pages under "needremoveurl", repeats, drive roots,
// records that do not register, positions past 1000 or past a hole),
// section "docs" afterwards holds exactly the six keys of each loaded record,
// written in the load's single write, and the next start loads the same.
TEST_F(LoadHistoryTest, SqueezedHistoryLeavesNoKeyAboveTheNewCount) {
  windows.AddExistingPath("C:\\Tools\\a.exe");
  std::vector<Stored> many;
  for (int i = 0; i < 1005; ++i)
    many.push_back({"http://h.example/" + std::to_string(i), "p", 1, "2022-01-01"});
  struct Case {
    const char* what;
    std::vector<Stored> records;
    bool need_remove_url;
    size_t loaded;
  } const cases[] = {
      {"pages dropped",
       {{"http://HOST/", "Home", 1, "2021-01-01"},
        {"C:\\Tools\\a.exe", "工具", 2, "2021-02-02"},
        {"http://HOST/b", "B", 1, "2021-01-01"},
        {"file:///C:\\Work", "file:///C:/Work", 3, "2021-03-03"}},
       true,
       2},
      {"repeats and a drive root",
       {{"http://HOST/a", "A", 1, ""},
        {"http://HOST/a", "A again", 1, ""},
        {"file:///C:\\", "file:///C:/", 3, ""},
        {"http://HOST/b", "B", 1, ""}},
       false,
       2},
      {"records that do not register",
       {{"http://HOST/a", "", 1, ""},
        {"res://x.dll/e.htm", "Error", 1, ""},
        {"http://HOST/c", "C", 1, ""}},
       false,
       1},
      {"a hole",
       {{"http://HOST/a", "A", 1, ""}, {"  ", "gap", 1, ""}, {"http://HOST/c", "C", 1, ""}},
       false,
       1},
      {"past a thousand", many, false, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    store.docs.clear();
    for (TreeModel* tree : {&tv_docs, &tv_doc, &tv_app, &tv_path}) tree->Clear();
    files.RemoveFile(SettingsPath());
    StoreRecords(c.records);
    tracker->LoadHistory(*store.settings, c.need_remove_url);
    ASSERT_EQ(store.docs.size(), c.loaded);
    EXPECT_EQ(files.WriteCount(SettingsPath()) - writes_before, 1);
    EXPECT_EQ(store.settings->Keys(kSectionDocs).size(), 6 * c.loaded);
    for (const std::string& key : SettingsFile(files, *codec, SettingsPath()).Keys(kSectionDocs)) {
      const size_t digits = key.find_first_of("0123456789");
      ASSERT_NE(digits, std::string::npos) << key;
      EXPECT_LT(std::stoul(key.substr(digits)), c.loaded) << key;
    }
    const V loaded = Paths();
    store.docs.clear();
    for (TreeModel* tree : {&tv_docs, &tv_doc, &tv_app, &tv_path}) tree->Clear();
    store.settings.reset();
    OpenSettingsFile(store);
    MakeTracker();
    tracker->LoadHistory(*store.settings, c.need_remove_url);
    EXPECT_EQ(Paths(), loaded) << "the next start";
  }
}

TEST_F(LoadHistoryTest, WithoutNeedRemoveUrlAMissingKindLoadsAsAPage) {
  StoreRecords({{"http://HOST/b", "B", 0, "2021-01-01"}});
  tracker->LoadHistory(*store.settings, false);
  ASSERT_EQ(store.docs.size(), 1u);
  EXPECT_EQ(store.docs[0].doctype, kDocWeb);
}

TEST_F(LoadHistoryTest, DuplicatesLoadOnceAndDriveRootsNever) {
  StoreRecords({{"http://HOST/a", "A", 1, "2021-01-01"},
                {"file:///C:\\", "file:///C:/", 3, "2021-01-01"},
                {"  http://HOST/a  ", "A again", 1, "2021-01-01"},
                {"http://HOST/b", "B", 1, "2021-01-01"}});
  tracker->LoadHistory(*store.settings, false);
  EXPECT_EQ(Paths(), V({"http://HOST/a", "http://HOST/b"}));
  EXPECT_EQ(DocKey("path", 1), "http://HOST/b");
  EXPECT_EQ(DocKey("name", 1), "B");
}

TEST_F(LoadHistoryTest, ALocalPathInAnotherCaseFoldsIntoTheFirstRecordWithTheNewestName) {
  windows.AddExistingPath("C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE");
  StoreRecords({{"C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE", "Notepad", 2, "2021-01-01"},
                {"http://Host/A", "Web A", 1, "2021-01-02"},
                {"file:///C:/Work/Proj", "file:///C:/Work/Proj", 3, "2021-01-03"},
                {"C:\\windows\\system32\\notepad.exe", "无标题 - 记事本", 2, "2021-02-01", true},
                {"http://host/a", "Web a", 1, "2021-02-02"},
                {"file:///c:/work/proj/", "file:///c:/work/proj/", 3, "2021-02-03"}});
  tracker->LoadHistory(*store.settings, false);
  EXPECT_EQ(Paths(), V({"C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE", "http://Host/A", "C:\\Work\\Proj",
                        "http://host/a"}))
      << "web addresses keep their case";
  EXPECT_EQ(store.docs[0].name, "无标题 - 记事本");
  EXPECT_EQ(store.docs[0].date, "2021-01-01");
  EXPECT_TRUE(store.docs[0].selected);
  EXPECT_EQ(DocKey("name", 0), "无标题 - 记事本");
  EXPECT_EQ(DocKey("path", 4), "<none>") << "the folded records leave no keys behind";
}

TEST_F(LoadHistoryTest, LoopStopsAtTheFirstEmptyPath) {
  StoreRecords(
      {{"http://HOST/a", "A", 1, ""}, {"   ", "blank", 1, ""}, {"http://HOST/c", "C", 1, ""}});
  tracker->LoadHistory(*store.settings, false);
  EXPECT_EQ(Paths(), V({"http://HOST/a"}));
}

TEST_F(LoadHistoryTest, RecordsThatDoNotRegisterAreSkippedOnly) {
  StoreRecords({{"http://HOST/a", "", 1, ""},
                {"res://x.dll/e.htm", "Error", 1, ""},
                {"http://HOST/c", "C", 1, ""}});
  tracker->LoadHistory(*store.settings, false);
  EXPECT_EQ(Paths(), V({"http://HOST/c"}));
  EXPECT_EQ(DocKey("path", 0), "http://HOST/c");
}

TEST_F(LoadHistoryTest, LoadsIntoARecentListThatTheFileThenReplaces) {
  StoreRecords({{"http://HOST/a", "A", 1, ""}, {"file:///C:\\Work", "file:///C:/Work", 3, ""}});
  tracker->LoadHistory(*store.settings, false);
  EXPECT_EQ(store.MyRecentList.Lines(), V({"C:\\Work*|*C:/Work", "http://HOST/a*|*A"}));
}

TEST_F(LoadHistoryTest, ReadsFromASettingsObjectOtherThanTheStoreOne) {
  StoreRecords({{"http://HOST/a", "A", 1, ""}, {"http://HOST/b", "B", 1, ""}});
  SettingsFile other(files, *codec, SettingsPath());
  store.settings->EraseSection(kSectionDocs);
  writes_before = files.WriteCount(SettingsPath());
  tracker->LoadHistory(other, false);
  EXPECT_EQ(Paths(), V({"http://HOST/a", "http://HOST/b"}));
  EXPECT_EQ(files.WriteCount(SettingsPath()) - writes_before, 1);
  EXPECT_EQ(DocKey("path", 1), "http://HOST/b");
}

TEST_F(LoadHistoryTest, RecordsHeldBeforeTheLoadDoNotCostStoredOnes) {
  StoreRecords({{"http://HOST/a", "A", 1, ""}, {"http://HOST/b", "B", 1, ""}});
  // A record already in the history: stored record 0 is appended at 1 and
  // writes its keys there before stored record 1 is registered.
  TMyDoc early;
  early.path = "http://EARLY/";
  early.name = "Early";
  early.RootPath = "EARLY";
  early.doctype = kDocWeb;
  store.docs.push_back(early);
  tracker->LoadHistory(*store.settings, false);
  EXPECT_EQ(Paths(), V({"http://EARLY/", "http://HOST/a", "http://HOST/b"}));
  EXPECT_EQ(DocKey("path", 1), "http://HOST/a");
  EXPECT_EQ(DocKey("path", 2), "http://HOST/b");
}

}  // namespace
}  // namespace zd
