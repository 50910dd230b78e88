#include "store/config.h"

#include <gtest/gtest.h>

#include "platform/fake_files.h"
#include "store/AppParams.h"
#include "store/text_file.h"

namespace zd {
namespace {

TEST(ChooseConfigDirTest, LastFixedDriveWins) {
  FakeFiles files;
  files.AddDrive("C:\\", DriveKind::kFixed);
  files.AddDrive("D:\\", DriveKind::kCdRom);
  files.AddDrive("E:\\", DriveKind::kFixed);
  files.AddDrive("F:\\", DriveKind::kRemovable);
  files.AddDrive("G:\\", DriveKind::kRemote);
  const ConfigDirChoice choice = ChooseConfigDir(files);
  EXPECT_EQ(choice.dir, "E:\\MrxConfig\\");
  EXPECT_TRUE(choice.writable);
  EXPECT_TRUE(files.DirectoryExists("E:\\MrxConfig"));
  EXPECT_TRUE(files.IsHidden("E:\\MrxConfig\\"));
  EXPECT_TRUE(files.files().empty()) << "the probe file is removed again";
}

TEST(ChooseConfigDirTest, NoFixedDriveGivesC) {
  FakeFiles files;
  files.AddDrive("A:\\", DriveKind::kRemovable);
  files.AddDrive("D:\\", DriveKind::kCdRom);
  const ConfigDirChoice choice = ChooseConfigDir(files);
  EXPECT_EQ(choice.dir, "C:\\MrxConfig\\");
  FakeFiles none;
  EXPECT_EQ(ChooseConfigDir(none).dir, "C:\\MrxConfig\\");
}

TEST(ChooseConfigDirTest, FolderThatCannotBeCreatedIsNotWritable) {
  FakeFiles files;
  files.AddDrive("C:\\", DriveKind::kFixed);
  files.set_fail_create_directories(true);
  const ConfigDirChoice choice = ChooseConfigDir(files);
  EXPECT_EQ(choice.dir, "C:\\MrxConfig\\");
  EXPECT_FALSE(choice.writable);
  EXPECT_FALSE(files.DirectoryExists("C:\\MrxConfig\\"));
}

TEST(ChooseConfigDirTest, ExistingFolderIsHiddenAndProbed) {
  FakeFiles files;
  files.AddDrive("C:\\", DriveKind::kFixed);
  files.AddDirectory("C:\\MrxConfig");
  files.PutFile("C:\\MrxConfig\\fav.dat", "x*|*y\r\n");
  files.set_fail_create_directories(true);  // must not be needed
  const ConfigDirChoice choice = ChooseConfigDir(files);
  EXPECT_TRUE(choice.writable);
  EXPECT_TRUE(files.IsHidden("C:\\MrxConfig"));
  EXPECT_EQ(files.files().size(), 1u);
}

TEST(ChooseConfigDirTest, ReadOnlyFolderIsNotWritable) {
  FakeFiles files;
  files.AddDrive("C:\\", DriveKind::kFixed);
  files.set_fail_all_writes(true);
  const ConfigDirChoice choice = ChooseConfigDir(files);
  EXPECT_EQ(choice.dir, "C:\\MrxConfig\\");
  EXPECT_FALSE(choice.writable);
}

TEST(NormalizeDirPathTest, OneTrailingBackslashAndRunsCollapsed) {
  struct Case {
    const char* in;
    const char* out;
  };
  for (const Case& c :
       {Case{"C:\\Work", "C:\\Work\\"}, Case{"C:\\Work\\", "C:\\Work\\"},
        Case{"  C:\\Work  ", "C:\\Work\\"}, Case{"C:\\\\a\\\\\\b", "C:\\a\\b\\"},
        Case{"C:\\a\\\\\\\\b", "C:\\a\\b\\"}, Case{"\\\\server\\share", "\\server\\share\\"},
        // Two passes over the text, three then two: five become two.
        Case{"C:\\a\\\\\\\\\\b", "C:\\a\\\\b\\"}}) {
    std::string path = c.in;
    NormalizeDirPath(path);
    EXPECT_EQ(path, c.out) << "from \"" << c.in << "\"";
  }
  for (const char* blank : {"", "   ", "\t"}) {
    std::string path = blank;
    NormalizeDirPath(path);
    EXPECT_EQ(path, blank) << "a blank text is left alone";
  }
}

TEST(GetSystemDirTest, ComesFromTheFiles) {
  FakeFiles files;
  files.SetSystemDirectory("C:\\Windows\\system32");
  EXPECT_EQ(GetSystemDir(files), "C:\\Windows\\system32");
}

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(codec);
    files.AddDrive("C:\\", DriveKind::kFixed);
    files.AddDirectory("C:\\MrxConfig");
    store.files = &files;
    store.codec = codec.get();
    store.ConfigDir = "C:\\MrxConfig\\";
  }
  std::string Path(const char* name) const { return store.ConfigDir + name; }
  static TMyDoc Doc(std::string path, int32_t type, std::string root = "") {
    TMyDoc doc;
    doc.path = std::move(path);
    doc.doctype = type;
    doc.RootPath = std::move(root);
    doc.date = "2024-05-06";
    return doc;
  }

  FakeFiles files;
  std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
  DocStore store;
};

TEST_F(StoreTest, WriteDocEntryWritesSixKeysInOrderInOneWrite) {
  OpenSettingsFile(store);
  store.docs.push_back(Doc("http://www.example.com/a", 1, "www.example.com"));
  store.docs.push_back(Doc("C:\\Tools\\tool.exe", 2));
  store.docs[1].selected = true;
  ASSERT_TRUE(WriteDocEntry(*store.settings, store.docs, 0, "示例页面"));
  ASSERT_TRUE(WriteDocEntry(*store.settings, store.docs, 1, "tool"));
  EXPECT_EQ(files.WriteCount(Path(kSettingsFileName)), 2);
  SettingsFile disk(files, *codec, Path(kSettingsFileName));
  EXPECT_EQ(DecodeText(files.files().at(Path(kSettingsFileName)), *codec),
            "[docs]\r\nname0=示例页面\r\ndate0=2024-05-06\r\nRootPath0=www.example.com\r\n"
            "doctype0=1\r\npath0=http://www.example.com/a\r\nselected0=0\r\n"
            "name1=tool\r\ndate1=2024-05-06\r\nRootPath1=\r\ndoctype1=2\r\n"
            "path1=C:\\Tools\\tool.exe\r\nselected1=1\r\n");
}

TEST_F(StoreTest, FolderRecordPathGetsTheFilePrefixAndReadsBack) {
  OpenSettingsFile(store);
  store.docs.push_back(Doc("C:\\Work", 3, "C:\\Work"));
  store.docs.push_back(Doc("file:///C:/Other", 3, "C:\\Other"));
  store.docs.push_back(Doc("D:\\not a folder record", 2));
  const char* names[] = {"work", "other", "tool"};
  for (size_t i = 0; i < store.docs.size(); ++i) {
    ASSERT_TRUE(WriteDocEntry(*store.settings, store.docs, i, names[i]));
  }
  SettingsFile disk(files, *codec, Path(kSettingsFileName));
  EXPECT_EQ(disk.ReadString("docs", "path0", ""), "file:///C:\\Work") << "backslashes kept";
  EXPECT_EQ(disk.ReadString("docs", "path1", ""), "file:///C:/Other");
  EXPECT_EQ(disk.ReadString("docs", "path2", ""), "D:\\not a folder record");
  EXPECT_EQ(disk.ReadInteger("docs", "doctype0", 0), 3);
  // Read back the way the next start reads a path: the same folder.
  EXPECT_EQ(StripFilePrefix(disk.ReadString("docs", "path0", "")), store.docs[0].path);
}

TEST_F(StoreTest, WriteDocEntryWithoutNameWritesNothing) {
  OpenSettingsFile(store);
  store.docs.push_back(Doc("C:\\x", 3));
  EXPECT_TRUE(WriteDocEntry(*store.settings, store.docs, 0, ""));
  EXPECT_FALSE(WriteDocEntry(*store.settings, store.docs, 5, "beyond the end"));
  EXPECT_EQ(files.WriteCount(Path(kSettingsFileName)), 0);
  EXPECT_FALSE(files.FileExists(Path(kSettingsFileName)));
}

TEST_F(StoreTest, OpenSettingsFileOpensOnce) {
  files.PutFile(Path(kSettingsFileName), "[default]\r\nControlIndex=2\r\n");
  OpenSettingsFile(store);
  ASSERT_TRUE(store.settings);
  SettingsFile* first = store.settings.get();
  OpenSettingsFile(store);
  EXPECT_EQ(store.settings.get(), first);
  EXPECT_EQ(store.settings->path(), "C:\\MrxConfig\\defualt.ini");
  EXPECT_EQ(store.settings->ReadInteger(kSectionDefault, "ControlIndex", 0), 2);
}

TEST_F(StoreTest, SaveSettingsWritesTheDefaultGroupAndTheNote) {
  files.PutFile(Path(kSettingsFileName),
                "[default]\r\nCheckDocInterval=300\r\n[docs]\r\npath0=x\r\n");
  OpenSettingsFile(store);
  store.docs.resize(1000);
  WindowSettings window;
  window.refresh = true;
  window.control_index = 4;
  window.show_fav_edit = false;
  window.width = 640;
  window.height = -3;
  window.note = "第一行\r\nsecond\nthird";
  ASSERT_TRUE(SaveSettings(store, window));
  EXPECT_EQ(files.WriteCount(Path(kSettingsFileName)), 1);
  EXPECT_EQ(files.files().at(Path(kSettingsFileName)),
            "[default]\r\nCheckDocInterval=300\r\nCbRefresh=1\r\nControlIndex=4\r\n"
            "ShowFavEdit=0\r\nneedRemoveAllStart=0\r\nneedremoveurl=0\r\nwidth=640\r\n"
            "height=0\r\n[docs]\r\npath0=x\r\n");
  EXPECT_EQ(LoadText(files, *codec, Path(kNoteFileName)).value_or(""),
            "第一行\r\nsecond\r\nthird\r\n");
  store.docs.resize(1001);
  ASSERT_TRUE(SaveSettings(store, window));
  EXPECT_TRUE(store.settings->ReadBool(kSectionDefault, "needremoveurl", false));
}

TEST_F(StoreTest, SaveSettingsWithoutMemoLeavesTheNoteAlone) {
  files.PutFile(Path(kNoteFileName), "keep\r\n");
  ASSERT_TRUE(SaveSettings(store, WindowSettings{}));
  EXPECT_EQ(files.files().at(Path(kNoteFileName)), "keep\r\n");
  EXPECT_TRUE(store.settings) << "opened on demand";
}

TEST_F(StoreTest, LastRunListIsTrimmedWithoutBlanksOrDuplicates) {
  files.PutFile(Path(kLastRunFileName),
                " C:\\a.exe \r\n\r\nfile:///C:/Work\r\nC:\\a.exe\r\n  \r\nhttp://x/\r\n");
  LoadLastRunList(store);
  EXPECT_TRUE(store.last_run_loaded);
  EXPECT_EQ(store.LastRunList,
            (std::vector<std::string>{"C:\\a.exe", "file:///C:/Work", "http://x/"}));
}

TEST_F(StoreTest, LoadNoteReadsTheMemoText) {
  EXPECT_FALSE(LoadNote(store));
  files.PutFile(Path(kNoteFileName), "\xB1\xE3\xBC\xE3\r\n");
  EXPECT_EQ(LoadNote(store).value_or(""), "便笺\r\n");
}

class ExitSequenceTest : public StoreTest {
 protected:
  void LoadEverything() {
    files.PutFile(Path(kFavFileName), "old fav\r\n");
    files.PutFile(Path(kRecentFileName), "old rec\r\n");
    files.PutFile(Path(kRunFileName), "old run\r\n");
    files.PutFile(Path(kLastRunFileName), "old lr\r\n");
    OpenSettingsFile(store);
    ListFileLoad(store.MyLoveList, files, *codec, Path(kFavFileName));
    ListFileLoad(store.MyRunList, files, *codec, Path(kRunFileName));
    ListFileLoad(store.MyRecentList, files, *codec, Path(kRecentFileName));
    LoadLastRunList(store);
    AddMyLove(store.MyLoveList, "C:\\fav", "收藏");
    AddMyRecent(store.MyRecentList, "C:\\rec", "rec");
    AddMyRun(store.MyRunList, "C:\\run", "run");
    store.LastRunList = {"C:\\a.exe", "file:///C:/Work"};
  }
  WindowSettings window_;
};

TEST_F(ExitSequenceTest, WritesEveryFile) {
  LoadEverything();
  const ExitSaveResult result = RunExitSequence(store, window_);
  EXPECT_TRUE(result.all());
  EXPECT_EQ(DecodeText(files.files().at(Path(kFavFileName)), *codec),
            "C:\\fav*|*收藏\r\nold fav\r\n");
  EXPECT_EQ(files.files().at(Path(kRecentFileName)), "C:\\rec*|*rec\r\nold rec\r\n");
  EXPECT_EQ(files.files().at(Path(kRunFileName)), "C:\\run*|*run\r\nold run\r\n");
  EXPECT_EQ(files.files().at(Path(kLastRunFileName)), "C:\\a.exe\r\nfile:///C:/Work\r\n");
  EXPECT_TRUE(files.FileExists(Path(kSettingsFileName)));
}

TEST_F(ExitSequenceTest, FailingFavouritesDoNotCostTheOthers) {
  LoadEverything();
  files.FailWritesTo(Path(kFavFileName));
  const ExitSaveResult result = RunExitSequence(store, window_);
  EXPECT_FALSE(result.fav);
  EXPECT_TRUE(result.rec && result.run && result.last_run && result.settings);
  EXPECT_FALSE(result.all());
  EXPECT_EQ(files.files().at(Path(kFavFileName)), "old fav\r\n");
  EXPECT_EQ(files.files().at(Path(kRecentFileName)), "C:\\rec*|*rec\r\nold rec\r\n");
  EXPECT_EQ(files.files().at(Path(kRunFileName)), "C:\\run*|*run\r\nold run\r\n");
  EXPECT_EQ(files.files().at(Path(kLastRunFileName)), "C:\\a.exe\r\nfile:///C:/Work\r\n");
  EXPECT_TRUE(SettingsFile(files, *codec, Path(kSettingsFileName))
                  .ReadBool(kSectionDefault, "ShowFavEdit", false));
}

TEST_F(ExitSequenceTest, FailingSettingsAreReportedAlone) {
  LoadEverything();
  files.FailWritesTo(Path(kSettingsFileName));
  const ExitSaveResult result = RunExitSequence(store, window_);
  EXPECT_FALSE(result.settings);
  EXPECT_TRUE(result.fav && result.rec && result.run && result.last_run);
}

TEST_F(ExitSequenceTest, EarlyExitLeavesUnreadFilesUntouched) {
  files.PutFile(Path(kFavFileName), "fav line*|*f\r\n");
  files.PutFile(Path(kRecentFileName), "rec line*|*r\r\n");
  files.PutFile(Path(kRunFileName), "run line*|*u\r\n");
  files.PutFile(Path(kLastRunFileName), "C:\\x.exe\r\n");
  // Closed before the start-up load: the lists were never read.
  AddMyRecent(store.MyRecentList, "C:\\seen", "seen");
  const ExitSaveResult result = RunExitSequence(store, window_);
  EXPECT_TRUE(result.all());
  EXPECT_EQ(files.files().at(Path(kFavFileName)), "fav line*|*f\r\n");
  EXPECT_EQ(files.files().at(Path(kRecentFileName)), "rec line*|*r\r\n");
  EXPECT_EQ(files.files().at(Path(kRunFileName)), "run line*|*u\r\n");
  EXPECT_EQ(files.files().at(Path(kLastRunFileName)), "C:\\x.exe\r\n");
  EXPECT_EQ(files.WriteCount(Path(kFavFileName)) + files.WriteCount(Path(kRecentFileName)) +
                files.WriteCount(Path(kRunFileName)) + files.WriteCount(Path(kLastRunFileName)),
            0);
}

TEST_F(ExitSequenceTest, MissingListFilesAreCreatedAtExit) {
  OpenSettingsFile(store);
  ListFileLoad(store.MyLoveList, files, *codec, Path(kFavFileName));
  LoadLastRunList(store);
  AddMyLove(store.MyLoveList, "C:\\f", "F");
  const ExitSaveResult result = RunExitSequence(store, window_);
  EXPECT_TRUE(result.all());
  EXPECT_EQ(files.files().at(Path(kFavFileName)), "C:\\f*|*F\r\n");
  EXPECT_EQ(files.files().at(Path(kLastRunFileName)), "");
  EXPECT_FALSE(files.FileExists(Path(kRecentFileName))) << "never loaded, never written";
}

TEST_F(ExitSequenceTest, OverlongListIsRewrittenWithWhatWasKept) {
  std::string text;
  for (int i = 0; i <= 10000; ++i) text += "C:\\d" + std::to_string(i) + "*|*d\r\n";
  files.PutFile(Path(kRecentFileName), text);
  ListFileLoad(store.MyRecentList, files, *codec, Path(kRecentFileName));
  RunExitSequence(store, window_);
  const std::vector<std::string> lines = SplitLines(files.files().at(Path(kRecentFileName)));
  ASSERT_EQ(lines.size(), 10000u);
  EXPECT_EQ(lines.back(), "C:\\d9999*|*d");
}

}  // namespace
}  // namespace zd
