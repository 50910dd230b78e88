#include "store/config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "platform/fake_files.h"
#include "platform/fake_registry.h"
#include "platform/registry.h"
#include "store/program_files.h"
#include "store/text_file.h"

namespace zd {
namespace {

// Starts one after another on one machine, its drives coming and going
// between them; the folder in use is remembered in the registry between
// starts (an empty `remembered` before the first start: an older version
// remembered nothing). Each start's history must stay where it is.
TEST(ChooseConfigDirTest, TheFolderStaysWhereTheHistoryIsAcrossStarts) {
  struct Drive {
    const char* root;
    DriveKind kind;
    bool usb = false;
    bool has_folder = false;  // MrxConfig there before the first start
    bool at_first = true;     // there at the first start (else added by a later one)
  };
  struct Start {
    std::vector<const char*> added;    // drives that appeared before this start
    std::vector<const char*> removed;  // drives that went away before it
    const char* dir;                   // the folder this start uses
    const char* remembered;            // remembered after it
  };
  struct Case {
    const char* what;
    std::vector<Drive> drives;  // all the machine ever has
    const char* remembered;
    std::vector<Start> starts;
  };
  using K = DriveKind;
  const Case cases[] = {
      {"the last fixed drive, whatever else there is",
       {{"C:\\", K::kFixed},
        {"D:\\", K::kCdRom},
        {"E:\\", K::kFixed},
        {"F:\\", K::kRemovable},
        {"G:\\", K::kRemote}},
       "",
       {{{}, {}, "E:\\MrxConfig\\", "E:\\MrxConfig\\"}}},
      {"no fixed drive: C:, not remembered",
       {{"A:\\", K::kRemovable}, {"D:\\", K::kCdRom}},
       "",
       {{{}, {}, "C:\\MrxConfig\\", ""}}},
      {"a new fixed drive after the first start",
       {{"C:\\", K::kFixed}, {"D:\\", K::kFixed}, {"E:\\", K::kFixed, false, false, false}},
       "",
       {{{}, {}, "D:\\MrxConfig\\", "D:\\MrxConfig\\"},
        {{"E:\\"}, {}, "D:\\MrxConfig\\", "D:\\MrxConfig\\"}}},
      {"an older version's folder, then a new drive",
       {{"C:\\", K::kFixed}, {"D:\\", K::kFixed, false, true}, {"E:\\", K::kFixed}},
       "",
       {{{}, {}, "D:\\MrxConfig\\", "D:\\MrxConfig\\"}}},
      {"an existing folder on the last such drive",
       {{"C:\\", K::kFixed, false, true}, {"D:\\", K::kFixed, false, true}, {"E:\\", K::kFixed}},
       "",
       {{{}, {}, "D:\\MrxConfig\\", "D:\\MrxConfig\\"}}},
      {"never a new one on a USB disk while another fixed drive exists",
       {{"C:\\", K::kFixed}, {"E:\\", K::kFixed, true}},
       "",
       {{{}, {}, "C:\\MrxConfig\\", "C:\\MrxConfig\\"}}},
      {"a USB disk that is the only fixed drive",
       {{"A:\\", K::kRemovable}, {"E:\\", K::kFixed, true}},
       "",
       {{{}, {}, "E:\\MrxConfig\\", "E:\\MrxConfig\\"}}},
      {"a USB disk holding an existing folder",
       {{"C:\\", K::kFixed}, {"E:\\", K::kFixed, true, true}},
       "",
       {{{}, {}, "E:\\MrxConfig\\", "E:\\MrxConfig\\"}}},
      {"the remembered folder's disk is away, then back",
       {{"C:\\", K::kFixed}, {"D:\\", K::kFixed}, {"E:\\", K::kFixed, true, true}},
       "E:\\MrxConfig\\",
       {{{}, {}, "E:\\MrxConfig\\", "E:\\MrxConfig\\"},
        {{}, {"E:\\"}, "D:\\MrxConfig\\", "E:\\MrxConfig\\"},
        {{"E:\\"}, {}, "E:\\MrxConfig\\", "E:\\MrxConfig\\"}}},
      {"a remembered folder on a present drive was deleted",
       {{"C:\\", K::kFixed}, {"D:\\", K::kFixed}},
       "C:\\Old\\MrxConfig\\",
       {{{}, {}, "D:\\MrxConfig\\", "D:\\MrxConfig\\"}}},
      {"a remembered folder anywhere, spelled without its backslash",
       {{"C:\\", K::kFixed}, {"D:\\", K::kFixed}},
       "C:\\Users\\me\\Zd",
       {{{}, {}, "C:\\Users\\me\\Zd\\", "C:\\Users\\me\\Zd"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeFiles files;
    FakeRegistry registry;
    if (*c.remembered) {
      ASSERT_TRUE(registry.WriteString(RegRoot::kCurrentUser, ProgramKey(), kConfigFolderValue,
                                       c.remembered));
      files.AddDirectory("C:\\Users\\me\\Zd");
    }
    const auto add = [&](const Drive& d) {
      if (d.usb) {
        files.AddUsbDrive(d.root);
      } else {
        files.AddDrive(d.root, d.kind);
      }
    };
    for (const Drive& d : c.drives) {
      if (!d.at_first) continue;
      add(d);
      if (d.has_folder) files.AddDirectory(std::string(d.root) + "MrxConfig");
    }
    int n = 0;
    for (const Start& start : c.starts) {
      SCOPED_TRACE(++n);
      for (const char* root : start.removed) files.RemoveDrive(root);
      for (const char* root : start.added) {
        for (const Drive& d : c.drives) {
          if (std::string(root) == d.root) add(d);
        }
      }
      const ConfigDirChoice choice = ChooseConfigDir(files, &registry);
      EXPECT_EQ(choice.dir, start.dir);
      EXPECT_TRUE(choice.writable);
      EXPECT_TRUE(files.DirectoryExists(choice.dir));
      EXPECT_TRUE(files.IsHidden(choice.dir));
      EXPECT_EQ(
          registry.ReadString(RegRoot::kCurrentUser, ProgramKey(), kConfigFolderValue).value_or(""),
          start.remembered);
      // This start's history, which the next must find (unless its disk is away).
      files.PutFile(choice.dir + kFavFileName, "x*|*y\r\n");
    }
    EXPECT_EQ(std::count_if(files.files().begin(), files.files().end(),
                            [](const auto& f) { return f.first.ends_with("probe.tmp"); }),
              0)
        << "the probe file is removed again";
  }
}

// The folder is writable only where the probe file can be written; an
// existing folder is hidden and probed, never created; no probe file stays.
TEST(ChooseConfigDirTest, WritableOnlyWhereTheProbeCanBeWritten) {
  struct Case {
    const char* what;
    bool existing;  // a folder with a history there already
    bool fail_create;
    bool fail_writes;
    bool writable;
  } const cases[] = {
      {"a folder that cannot be created", false, true, false, false},
      {"an existing folder: nothing to create", true, true, false, true},
      {"a read-only folder", false, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeFiles files;
    files.AddDrive("C:\\", DriveKind::kFixed);
    if (c.existing) {
      files.AddDirectory("C:\\MrxConfig");
      files.PutFile("C:\\MrxConfig\\fav.dat", "x*|*y\r\n");
    }
    files.set_fail_create_directories(c.fail_create);
    files.set_fail_all_writes(c.fail_writes);
    const ConfigDirChoice choice = ChooseConfigDir(files);
    EXPECT_EQ(choice.dir, "C:\\MrxConfig\\");
    EXPECT_EQ(choice.writable, c.writable);
    EXPECT_EQ(files.DirectoryExists("C:\\MrxConfig\\"), c.existing || !c.fail_create);
    if (c.existing) {
      EXPECT_TRUE(files.IsHidden("C:\\MrxConfig"));
    }
    EXPECT_EQ(files.files().size(), c.existing ? 1u : 0u) << "no probe file is left";
  }
}

// Who owns the folder the history would be in, how its access list stands
// and how it was found decide which folder is used, what is made private,
// and what is never touched: someone else's folder is only looked at, and
// the user gets one of their own beside it (said at that start only).
TEST(ChooseConfigDirTest, OnlyAFolderOfThisUsersOwnIsUsed) {
  enum class Found { kRemembered, kOnDrive };
  const Security kProtected{Owner::kThisUser, false, false};
  const Security kInherited{Owner::kThisUser, true, false};
  const Security kOpen{Owner::kThisUser, true, true};
  const auto by = [](Security s, Owner owner) {
    s.owner = owner;
    return s;
  };
  const char* const kUsual = "D:\\MrxConfig\\";
  const char* const kBeside = "D:\\MrxConfig.me\\";
  struct Case {
    const char* what;
    Security folder;
    Found found;
    bool can_take = false;  // the process may take ownership (elevated)
    const char* used;       // kUsual or kBeside
    bool made_private;      // its list changed at this start
  } const cases[] = {
      {"mine, protected, remembered", kProtected, Found::kRemembered, false, kUsual, false},
      {"mine, protected, on a drive", kProtected, Found::kOnDrive, false, kUsual, false},
      {"mine, inherited, remembered", kInherited, Found::kRemembered, false, kUsual, true},
      {"mine, inherited, on a drive", kInherited, Found::kOnDrive, false, kUsual, true},
      {"mine, open to Users, remembered", kOpen, Found::kRemembered, false, kUsual, true},
      {"mine, open to Users, on a drive", kOpen, Found::kOnDrive, false, kUsual, true},
      {"another user's, protected, remembered", by(kProtected, Owner::kOtherAccount),
       Found::kRemembered, true, kBeside, false},
      {"another user's, inherited, on a drive", by(kInherited, Owner::kOtherAccount),
       Found::kOnDrive, true, kBeside, false},
      {"another user's, open, remembered", by(kOpen, Owner::kOtherAccount), Found::kRemembered,
       true, kBeside, false},
      {"another user's, open, on a drive", by(kOpen, Owner::kOtherAccount), Found::kOnDrive, true,
       kBeside, false},
      {"owner unknown (no access list)", by(kOpen, Owner::kUnknown), Found::kRemembered, true,
       kBeside, false},
      {"Administrators', open, remembered, taken over", by(kOpen, Owner::kAdministrators),
       Found::kRemembered, true, kUsual, true},
      {"Administrators', open, remembered, cannot take it", by(kOpen, Owner::kAdministrators),
       Found::kRemembered, false, kBeside, false},
      {"Administrators', protected, remembered, cannot take it: closed already",
       by(kProtected, Owner::kAdministrators), Found::kRemembered, false, kUsual, false},
      {"Administrators', inherited, remembered, taken over", by(kInherited, Owner::kAdministrators),
       Found::kRemembered, true, kUsual, true},
      {"Administrators', protected, on a drive: not this user's",
       by(kProtected, Owner::kAdministrators), Found::kOnDrive, true, kBeside, false},
      {"Administrators', open, on a drive", by(kOpen, Owner::kAdministrators), Found::kOnDrive,
       true, kBeside, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeFiles files;
    FakeRegistry registry;
    files.AddDrive("C:\\", DriveKind::kFixed);
    files.AddDrive("D:\\", DriveKind::kFixed);
    files.AddDirectory(kUsual);
    files.SetSecurity(kUsual, c.folder);
    files.set_can_take_ownership(c.can_take);
    // What its owner keeps there: opened at start, were it used.
    const std::string planted = std::string(kUsual) + kRunFileName;
    files.PutFile(planted, "D:\\tools\\x.bat*|*x\r\n");
    files.PutFile(std::string(kUsual) + CompletePathFor(kRecentFileName), "C:\\y.bat*|*y\r\n");
    files.SetSecurity(planted, {c.folder.owner, true, c.folder.open});
    if (c.found == Found::kRemembered) {
      registry.WriteString(RegRoot::kCurrentUser, ProgramKey(), kConfigFolderValue, kUsual);
    }
    for (int start = 1; start <= 2; ++start) {
      SCOPED_TRACE(start);
      const ConfigDirChoice choice = ChooseConfigDir(files, &registry);
      ASSERT_EQ(choice.dir, c.used);
      EXPECT_TRUE(choice.writable);
      EXPECT_FALSE(choice.in_use);
      EXPECT_EQ(choice.foreign, start == 1 && c.used == kBeside ? kUsual : "");
      const Security now = files.QuerySecurity(choice.dir);
      EXPECT_FALSE(now.open);
      if (c.made_private || c.used == kBeside) {
        EXPECT_FALSE(now.inherits);
      }
      EXPECT_EQ(
          registry.ReadString(RegRoot::kCurrentUser, ProgramKey(), kConfigFolderValue).value_or(""),
          c.used);
      EXPECT_TRUE(files.LockHeld(choice.dir + kLockFileName));
    }
    const std::vector<std::string> changed = files.security_changes();
    EXPECT_EQ(std::count(changed.begin(), changed.end(), "D:\\MrxConfig"), c.made_private ? 1 : 0)
        << "made private once, and only when it was this user's";
    if (c.used == kBeside) {
      EXPECT_FALSE(files.IsHidden(kUsual)) << "someone else's folder is never touched";
      EXPECT_EQ(files.files().at(planted), "D:\\tools\\x.bat*|*x\r\n");
      EXPECT_TRUE(files.FileExists(std::string(kUsual) + CompletePathFor(kRecentFileName)))
          << "not put in place: that would be a write";
      EXPECT_FALSE(files.LockHeld(std::string(kUsual) + kLockFileName));
    }
  }
}

// Files that another account put among the program's while the folder was
// open to it are renamed aside, never read, and named once; the program's
// own and the Administrators' stay. A folder of one's own at every place
// (beside, then in the profile) is sought only past someone else's.
TEST(ChooseConfigDirTest, WhatAnotherAccountPutThereIsSetAside) {
  FakeFiles files;
  FakeRegistry registry;
  files.AddDrive("D:\\", DriveKind::kFixed);
  files.AddDirectory("D:\\MrxConfig");
  const std::string dir = "D:\\MrxConfig\\";
  const Security theirs{Owner::kOtherAccount, true, true};
  struct Planted {
    std::string name;
    Owner owner;
    bool set_aside;
  } const planted[] = {
      {kRunFileName, Owner::kOtherAccount, true},
      {kLastRunFileName, Owner::kUnknown, true},
      {CompletePathFor(kFavFileName), Owner::kOtherAccount, true},
      {kSettingsFileName, Owner::kThisUser, false},
      {kNoteFileName, Owner::kAdministrators, false},
      {"tool.bat", Owner::kOtherAccount, false},  // never read by the program
  };
  for (const Planted& p : planted) {
    files.PutFile(dir + p.name, "from " + p.name);
    files.SetSecurity(dir + p.name, {p.owner, true, true});
  }
  files.PutFile(dir + kRunFileName + ".foreign", "set aside at an earlier start");
  std::vector<std::string> expected;
  for (const Planted& p : planted) {
    if (p.set_aside) {
      expected.push_back(dir + p.name + (p.name == kRunFileName ? ".foreign2" : ".foreign"));
    }
  }
  for (int start = 1; start <= 2; ++start) {
    SCOPED_TRACE(start);
    const ConfigDirChoice choice = ChooseConfigDir(files, &registry);
    ASSERT_EQ(choice.dir, dir);
    std::vector<std::string> moved = choice.set_aside;
    std::sort(moved.begin(), moved.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(moved, start == 1 ? expected : std::vector<std::string>{});
    EXPECT_TRUE(choice.recovered.empty()) << "another account's leftover is never put in place";
    for (const Planted& p : planted) {
      EXPECT_EQ(files.FileExists(dir + p.name), !p.set_aside) << p.name;
    }
    for (const std::string& aside : expected) EXPECT_TRUE(files.FileExists(aside)) << aside;
  }

  // Someone else's at the usual place and beside it: the profile's.
  FakeFiles squatted;
  squatted.AddDrive("D:\\", DriveKind::kFixed);
  squatted.set_account_name("Zhang San: \"x\"?.");
  for (const char* d : {"D:\\MrxConfig", "D:\\MrxConfig.Zhang San_ _x__"}) {
    squatted.AddDirectory(d);
    squatted.SetSecurity(d, theirs);
  }
  const ConfigDirChoice profile =
      ChooseConfigDir(squatted, &registry, "C:\\Users\\zs\\AppData\\Local");
  EXPECT_EQ(profile.dir, "C:\\Users\\zs\\AppData\\Local\\MrxConfig\\");
  EXPECT_EQ(profile.foreign, "D:\\MrxConfig\\");
  EXPECT_EQ(registry.ReadString(RegRoot::kCurrentUser, ProgramKey(), kConfigFolderValue),
            profile.dir);
  // And with no profile known: no folder at all, nothing read or written.
  const ConfigDirChoice none = ChooseConfigDir(squatted);
  EXPECT_EQ(none.dir, "");
  EXPECT_FALSE(none.writable);
  EXPECT_TRUE(squatted.security_changes().empty());
}

// One copy per folder: while a copy holds it, another (another session of
// the same account) is told it is in use and leaves everything as it is;
// once the first lets go, the next start takes it.
TEST(ChooseConfigDirTest, AFolderInUseIsLeftAlone) {
  FakeFiles files;
  FakeRegistry registry;
  files.AddDrive("D:\\", DriveKind::kFixed);
  const std::string dir = "D:\\MrxConfig\\";
  std::optional<ConfigDirChoice> first = ChooseConfigDir(files, &registry);
  ASSERT_EQ(first->dir, dir);
  ASSERT_FALSE(first->in_use);
  // The first copy's save in flight, which a clean-up would delete.
  files.PutFile(dir + CompletePathFor(kFavFileName), "the first copy's new favourites");
  files.PutFile(dir + TempPathFor(kRecentFileName), "half written by the first copy");
  int waits = 0;
  const ConfigDirChoice second =
      ChooseConfigDir(files, &registry, "", [&](int ms) { waits += ms; });
  EXPECT_TRUE(second.in_use);
  EXPECT_EQ(second.lock, nullptr);
  EXPECT_GE(waits, 500) << "a copy letting go at its exit is waited for";
  EXPECT_TRUE(files.FileExists(dir + CompletePathFor(kFavFileName)));
  EXPECT_TRUE(files.FileExists(dir + TempPathFor(kRecentFileName)));
  first.reset();
  const ConfigDirChoice third = ChooseConfigDir(files, &registry);
  EXPECT_FALSE(third.in_use);
  EXPECT_EQ(third.recovered, std::vector<std::string>{dir + kFavFileName});
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
  static DocRecord Doc(std::string path, DocKind type, std::string root = "") {
    DocRecord doc;
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
  store.docs.push_back(Doc("http://www.example.com/a", DocKind::kWeb, "www.example.com"));
  store.docs.push_back(Doc("C:\\Tools\\tool.exe", DocKind::kProgram));
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
  store.docs.push_back(Doc("C:\\Work", DocKind::kFolder, "C:\\Work"));
  store.docs.push_back(Doc("file:///C:/Other", DocKind::kFolder, "C:\\Other"));
  store.docs.push_back(Doc("D:\\not a folder record", DocKind::kProgram));
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
  store.docs.push_back(Doc("C:\\x", DocKind::kFolder));
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
  EXPECT_FALSE(LoadNote(store)) << "no note yet";
  ASSERT_TRUE(SaveSettings(store, window));
  EXPECT_EQ(files.WriteCount(Path(kSettingsFileName)), 1);
  EXPECT_EQ(files.files().at(Path(kSettingsFileName)),
            "[default]\r\nCheckDocInterval=300\r\nCbRefresh=1\r\nControlIndex=4\r\n"
            "ShowFavEdit=0\r\nneedRemoveAllStart=0\r\nneedremoveurl=0\r\nwidth=640\r\n"
            "height=0\r\n[docs]\r\npath0=x\r\n");
  EXPECT_EQ(LoadText(files, *codec, Path(kNoteFileName)).value_or(""),
            "第一行\r\nsecond\r\nthird\r\n");
  // Past 1,000 records too: the next load must not drop the web pages.
  store.docs.resize(1001);
  ASSERT_TRUE(SaveSettings(store, window));
  EXPECT_FALSE(store.settings->ReadBool(kSectionDefault, "needremoveurl", true));
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
  EXPECT_TRUE(store.note.loaded) << "a missing note may be written";
  files.PutFile(Path(kNoteFileName), "\xB1\xE3\xBC\xE3\r\n");
  EXPECT_EQ(LoadNote(store).value_or(""), "便笺\r\n");
  EXPECT_TRUE(store.note.loaded && !store.note.utf8 && !store.note.unreadable);
}

TEST_F(StoreTest, EraseDocEntriesFromTakesEveryKeyAtAndAboveTheCount) {
  files.PutFile(Path(kSettingsFileName),
                "[default]\r\npath5=not a record key\r\n[docs]\r\npath0=a\r\nname0=A\r\n"
                "path1=b\r\nNAME1=B\r\nselected1=0\r\npath2=c\r\nRootPath2=c\r\ndate2=x\r\n"
                "doctype2=1\r\npath10=k\r\npath1200=far\r\npath01=odd spelling\r\n"
                "pathx=other\r\npaths2=other\r\npath1=repeat\r\n");
  OpenSettingsFile(store);
  ASSERT_TRUE(EraseDocEntriesFrom(*store.settings, 1));
  EXPECT_EQ(files.WriteCount(Path(kSettingsFileName)), 1) << "one write";
  EXPECT_EQ(store.settings->Keys(kSectionDocs),
            (std::vector<std::string>{"path0", "name0", "path01", "pathx", "paths2"}));
  EXPECT_EQ(store.settings->ReadString(kSectionDefault, "path5", ""), "not a record key");
  EXPECT_TRUE(EraseDocEntriesFrom(*store.settings, 1));
  EXPECT_EQ(files.WriteCount(Path(kSettingsFileName)), 1)
      << "nothing left to erase, nothing written";
}

// Whether each file was read as UTF-8 reaches its save: a UTF-8 file stays
// UTF-8 (with a BOM from now on), a code-page file stays in the code page.
TEST_F(StoreTest, EveryFileIsWrittenBackInTheEncodingItWasReadIn) {
  const std::string bom(kUtf8Bom);
  const std::string gbk_line = "C:\\\xCE\xC4\xB5\xB5*|*\xCE\xC4\xB5\xB5\r\n";  // C:\文档*|*文档
  const std::string utf8_line = "C:\\文档*|*文档\r\n";
  for (const bool utf8 : {false, true}) {
    SCOPED_TRACE(utf8 ? "UTF-8 without BOM" : "code page");
    FakeFiles disk;
    disk.AddDirectory("C:\\MrxConfig");
    const std::string line = utf8 ? utf8_line : gbk_line;
    const std::string settings =
        utf8 ? "[docs]\r\nname0=文档\r\n" : "[docs]\r\nname0=\xCE\xC4\xB5\xB5\r\n";
    for (const char* name : {kFavFileName, kRecentFileName, kRunFileName, kNoteFileName}) {
      disk.PutFile(Path(name), line);
    }
    disk.PutFile(Path(kLastRunFileName), utf8 ? "C:\\文档\r\n" : "C:\\\xCE\xC4\xB5\xB5\r\n");
    disk.PutFile(Path(kSettingsFileName), settings);
    DocStore run;
    run.files = &disk;
    run.codec = codec.get();
    run.ConfigDir = store.ConfigDir;
    OpenSettingsFile(run);
    LoadLastRunList(run);
    WindowSettings window;
    window.note = LoadNote(run);
    ListFileLoad(run.MyLoveList, disk, *codec, Path(kFavFileName));
    ListFileLoad(run.MyRunList, disk, *codec, Path(kRunFileName));
    ListFileLoad(run.MyRecentList, disk, *codec, Path(kRecentFileName));
    ASSERT_EQ(run.MyLoveList.Lines(), std::vector<std::string>{"C:\\文档*|*文档"});
    ASSERT_EQ(run.settings->ReadString(kSectionDocs, "name0", ""), "文档");
    const ExitSaveResult result = RunExitSequence(run, window);
    EXPECT_TRUE(result.all());
    EXPECT_TRUE(result.unsaved.empty());
    for (const char* name : {kFavFileName, kRecentFileName, kRunFileName, kNoteFileName}) {
      EXPECT_EQ(disk.files().at(Path(name)), utf8 ? bom + utf8_line : gbk_line) << name;
    }
    EXPECT_EQ(disk.files().at(Path(kLastRunFileName)),
              utf8 ? bom + "C:\\文档\r\n" : "C:\\\xCE\xC4\xB5\xB5\r\n");
    const std::string& ini = disk.files().at(Path(kSettingsFileName));
    EXPECT_EQ(ini.starts_with(bom), utf8);
    EXPECT_NE(DecodeText(ini, *codec).find("\r\nname0=文档\r\n"), std::string::npos) << ini;
  }
}

TEST_F(StoreTest, ControlCharactersInLastRunLocationsBecomeBlanks) {
  LoadLastRunList(store);
  store.LastRunList = {"C:\\a\r\nb.exe", std::string("http://x/\tpage\0end", 18)};
  RunExitSequence(store, WindowSettings{});
  EXPECT_EQ(files.files().at(Path(kLastRunFileName)), "C:\\a  b.exe\r\nhttp://x/ page end\r\n");
}

// A file that exists but cannot be read at start is never written at exit,
// and is named once at start; a missing file is simply created.
TEST_F(StoreTest, FilesThatCouldNotBeReadAreNamedAndLeftAlone) {
  struct Case {
    const char* name;
    bool exists;
    bool readable;
  } const cases[] = {
      {kSettingsFileName, true, false}, {kNoteFileName, true, false},
      {kFavFileName, true, false},      {kRunFileName, true, true},
      {kRecentFileName, false, true},   {kLastRunFileName, true, false},
  };
  for (const Case& c : cases) {
    if (c.exists) files.PutFile(Path(c.name), std::string("old ") + c.name + "*|*x\r\n");
    if (!c.readable) files.FailReadsOf(Path(c.name));
  }
  OpenSettingsFile(store);
  LoadLastRunList(store);
  WindowSettings window;
  EXPECT_FALSE(LoadNote(store));
  window.note = "typed this run";
  ListFileLoad(store.MyLoveList, files, *codec, Path(kFavFileName));
  ListFileLoad(store.MyRunList, files, *codec, Path(kRunFileName));
  ListFileLoad(store.MyRecentList, files, *codec, Path(kRecentFileName));
  // "lr.dat" is not named: the close-time snapshot replaces it whole.
  EXPECT_EQ(
      FilesNotReadAtStart(store),
      (std::vector<std::string>{Path(kSettingsFileName), Path(kNoteFileName), Path(kFavFileName)}));
  AddMyLove(store.MyLoveList, "C:\\new", "new");
  AddMyRecent(store.MyRecentList, "C:\\new", "new");
  const ExitSaveResult result = RunExitSequence(store, window);
  EXPECT_TRUE(result.unsaved.empty()) << "nothing attempted failed";
  for (const Case& c : cases) {
    if (!c.exists) continue;
    const bool written = c.readable;
    EXPECT_EQ(files.WriteCount(Path(c.name)), written ? 1 : 0) << c.name;
    if (!written) {
      EXPECT_EQ(files.files().at(Path(c.name)), std::string("old ") + c.name + "*|*x\r\n");
    }
  }
  EXPECT_EQ(files.files().at(Path(kRecentFileName)), "C:\\new*|*new\r\n") << "created";
}

// Before anything is read: incomplete leftovers go, a complete one beside
// its target goes, a complete one without its target is put in place and
// named; files of other programs stay.
TEST_F(StoreTest, InterruptedSavesAreSettledWhenTheFolderIsChosen) {
  files.AddDrive("D:\\", DriveKind::kFixed);
  files.AddDirectory("D:\\MrxConfig");
  const std::string dir = "D:\\MrxConfig\\";
  const char* const names[] = {kSettingsFileName, kFavFileName,  kRecentFileName, kRunFileName,
                               kLastRunFileName,  kNoteFileName, kPicksFileName};
  std::vector<std::string> expected_recovered;
  int n = 0;
  for (const char* name : names) {
    const std::string path = dir + name;
    files.PutFile(TempPathFor(path), "half of a save");
    // Every other file lost its target between the two renames of a replace
    // that moves the old file away first.
    if (n++ % 2 == 0) {
      files.PutFile(path, "whole");
      files.PutFile(CompletePathFor(path), "newer, beside the target");
    } else {
      files.PutFile(CompletePathFor(path), std::string("new ") + name);
      expected_recovered.push_back(path);
    }
  }
  files.PutFile(dir + "mine.tmp", "not ours");
  files.PutFile(dir + "mine.new", "not ours");
  const ConfigDirChoice choice = ChooseConfigDir(files);
  ASSERT_EQ(choice.dir, dir);
  EXPECT_EQ(choice.recovered, expected_recovered);
  std::vector<std::string> left;
  for (const auto& [path, content] : files.files()) {
    if (path.starts_with(dir)) left.push_back(path.substr(dir.size()));
  }
  EXPECT_EQ(left,
            (std::vector<std::string>{"defualt.ini", "fav.dat", "lr.dat", "mine.new", "mine.tmp",
                                      "note.txt", "picks.dat", "rec.dat", "run.dat"}));
  n = 0;
  for (const char* name : names) {
    EXPECT_EQ(files.files().at(dir + name), n++ % 2 == 0 ? "whole" : std::string("new ") + name);
  }
  EXPECT_EQ(RecoverInterruptedSaves(files, dir), std::vector<std::string>{});
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

// The process dies before each step of the save of each file of the exit
// sequence, with every file there before and with none. The next start
// finds each file whole, old or new: the ones saved before it new, the ones
// after it old, and the cut one old, or new when it had no old content and
// its new content was already complete.
TEST_F(ExitSequenceTest, ADeathAtAnyStepOfTheExitSaveLeavesEveryFileWhole) {
  const char* const order[] = {kFavFileName,     kRecentFileName,   kRunFileName,
                               kLastRunFileName, kSettingsFileName, kNoteFileName};
  constexpr WriteStep kSteps[] = {WriteStep::kCreateTemp,   WriteStep::kWriteHalf,
                                  WriteStep::kWriteRest,    WriteStep::kFlush,
                                  WriteStep::kMarkComplete, WriteStep::kReplace};
  // One run: the files as the previous run left them (or none), its
  // changes, its exit save.
  const auto run = [](FakeFiles& disk, const AnsiCodec& codec, bool existed) {
    disk.AddDrive("C:\\", DriveKind::kFixed);
    const std::string dir = ChooseConfigDir(disk).dir;
    if (existed) {
      std::string many;
      for (int i = 0; i < 500; ++i) many += "C:\\old" + std::to_string(i) + "*|*旧\r\n";
      for (const char* name : {kFavFileName, kRecentFileName, kRunFileName}) {
        disk.PutFile(dir + name, many);
      }
      disk.PutFile(dir + kLastRunFileName, "C:\\old.exe\r\n");
      disk.PutFile(dir + kSettingsFileName, "[default]\r\nCbRefresh=0\r\n");
      disk.PutFile(dir + kNoteFileName, "old note\r\n");
    }
    DocStore store;
    store.files = &disk;
    store.codec = &codec;
    store.ConfigDir = dir;
    OpenSettingsFile(store);
    ListFileLoad(store.MyLoveList, disk, codec, dir + kFavFileName);
    ListFileLoad(store.MyRunList, disk, codec, dir + kRunFileName);
    ListFileLoad(store.MyRecentList, disk, codec, dir + kRecentFileName);
    LoadLastRunList(store);
    LoadNote(store);
    AddMyLove(store.MyLoveList, "C:\\fav", "收藏");
    AddMyRecent(store.MyRecentList, "C:\\rec", "rec");
    AddMyRun(store.MyRunList, "C:\\run", "run");
    store.LastRunList = {"C:\\a.exe", "file:///C:/Work"};
    WindowSettings window;
    window.refresh = true;
    window.note = "new note";
    RunExitSequence(store, window);
    return dir;
  };
  for (const bool existed : {true, false}) {
    // Each file as the exit save leaves it, and as it was before it.
    FakeFiles saved, unsaved;
    const std::string dir = run(saved, *codec, existed);
    unsaved.DieAt(dir + order[0], WriteStep::kCreateTemp);
    run(unsaved, *codec, existed);
    for (size_t cut = 0; cut < std::size(order); ++cut) {
      for (const WriteStep step : kSteps) {
        SCOPED_TRACE(testing::Message() << "existed " << existed << ", cut in " << order[cut]
                                        << " before step " << static_cast<int>(step));
        FakeFiles disk;
        disk.DieAt(dir + order[cut], step);
        run(disk, *codec, existed);
        disk.Revive();
        // The next start.
        const ConfigDirChoice next = ChooseConfigDir(disk);
        ASSERT_EQ(next.dir, dir);
        const bool cut_left_new = !existed && step == WriteStep::kReplace;
        EXPECT_EQ(next.recovered, cut_left_new ? std::vector<std::string>{dir + order[cut]}
                                               : std::vector<std::string>{});
        for (size_t i = 0; i < std::size(order); ++i) {
          SCOPED_TRACE(order[i]);
          const FakeFiles& expected = i < cut || (i == cut && cut_left_new) ? saved : unsaved;
          const auto want = expected.files().find(dir + order[i]);
          const auto found = disk.files().find(dir + order[i]);
          ASSERT_EQ(found == disk.files().end(), want == expected.files().end());
          if (want != expected.files().end()) {
            EXPECT_EQ(found->second, want->second);
          }
        }
        for (const auto& [path, content] : disk.files()) {
          EXPECT_FALSE(path.ends_with(".tmp") || path.ends_with(".new")) << path;
        }
      }
    }
  }
}

// A file that cannot be written costs only itself: it keeps its old content
// and is named; every other file is written.
class ExitFailureTest : public ExitSequenceTest,
                        public ::testing::WithParamInterface<const char*> {};

TEST_P(ExitFailureTest, AFileThatCannotBeWrittenCostsOnlyItself) {
  const std::string failing = GetParam();  // "": none
  LoadEverything();
  if (!failing.empty()) files.FailWritesTo(Path(failing.c_str()));
  const ExitSaveResult result = RunExitSequence(store, window_);
  const auto saved = [&](const char* name) { return failing != name; };
  EXPECT_EQ(result.fav, saved(kFavFileName));
  EXPECT_EQ(result.rec, saved(kRecentFileName));
  EXPECT_EQ(result.run, saved(kRunFileName));
  EXPECT_EQ(result.last_run, saved(kLastRunFileName));
  EXPECT_EQ(result.settings, saved(kSettingsFileName));
  EXPECT_EQ(result.all(), failing.empty());
  EXPECT_EQ(result.unsaved, failing.empty() ? std::vector<std::string>()
                                            : std::vector<std::string>{Path(failing.c_str())});
  const std::tuple<const char*, const char*, const char*> lists[] = {
      {kFavFileName, "C:\\fav*|*收藏\r\nold fav\r\n", "old fav\r\n"},
      {kRecentFileName, "C:\\rec*|*rec\r\nold rec\r\n", "old rec\r\n"},
      {kRunFileName, "C:\\run*|*run\r\nold run\r\n", "old run\r\n"},
      {kLastRunFileName, "C:\\a.exe\r\nfile:///C:/Work\r\n", "old lr\r\n"},
  };
  for (const auto& [name, written, old] : lists) {
    EXPECT_EQ(DecodeText(files.files().at(Path(name)), *codec), saved(name) ? written : old)
        << name;
  }
  EXPECT_EQ(files.FileExists(Path(kSettingsFileName)), saved(kSettingsFileName));
  if (saved(kSettingsFileName)) {
    EXPECT_TRUE(SettingsFile(files, *codec, Path(kSettingsFileName))
                    .ReadBool(kSectionDefault, "ShowFavEdit", false));
  }
}

INSTANTIATE_TEST_SUITE_P(EachFile, ExitFailureTest,
                         ::testing::Values("", kFavFileName, kRecentFileName, kRunFileName,
                                           kLastRunFileName, kSettingsFileName));

// Another program holding a file: the save waits for it about a second in
// all, then leaves the old content and names the file.
TEST_F(ExitSequenceTest, BusyFilesAreWaitedForThenNamed) {
  struct Case {
    int busy_attempts;
    bool saved;
  } const cases[] = {
      {0, true}, {1, true}, {kBusyRetries, true}, {kBusyRetries + 1, false}, {1000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.busy_attempts);
    FakeFiles disk;
    disk.AddDirectory("C:\\MrxConfig");
    DocStore run;
    run.files = &disk;
    run.codec = codec.get();
    run.ConfigDir = store.ConfigDir;
    disk.PutFile(Path(kFavFileName), "old fav\r\n");
    ListFileLoad(run.MyLoveList, disk, *codec, Path(kFavFileName));
    ListFileLoad(run.MyRunList, disk, *codec, Path(kRunFileName));
    AddMyLove(run.MyLoveList, "C:\\fav", "F");
    disk.BusyFor(Path(kFavFileName), c.busy_attempts);
    disk.BusyFor(Path(kSettingsFileName), c.busy_attempts);
    const ExitSaveResult result = RunExitSequence(run, window_);
    EXPECT_EQ(result.fav, c.saved);
    EXPECT_EQ(result.settings, c.saved);
    EXPECT_TRUE(result.run);
    const std::vector<std::string> named = {Path(kFavFileName), Path(kSettingsFileName)};
    EXPECT_EQ(result.unsaved, c.saved ? std::vector<std::string>() : named);
    EXPECT_EQ(disk.files().at(Path(kFavFileName)),
              c.saved ? "C:\\fav*|*F\r\nold fav\r\n" : "old fav\r\n");
    EXPECT_EQ(disk.FileExists(Path(kSettingsFileName)), c.saved);
    int waited = 0;
    for (int ms : disk.busy_waits()) waited += ms;
    const int attempts_per_file = std::min(c.busy_attempts, kBusyRetries);
    EXPECT_EQ(waited, 2 * attempts_per_file * kBusyRetryDelayMs);
    EXPECT_LE(waited / 2, 1000) << "about a second per file";
  }
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
