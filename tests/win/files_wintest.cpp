// The Win32 side of Files and of the UTF-8 / UTF-16 helpers.
#include <windows.h>
// windows.h first
#include <gtest/gtest.h>
#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/files.h"
#include "platform/handles_win.h"
#include "platform/security_win.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/wide_win.h"
#include "store/config.h"
#include "store/doc_list.h"
#include "store/program_files.h"
#include "store/text_file.h"
#include "tests/win/helper_process.h"

namespace zd {
namespace {

TEST(WideTest, RoundTripsAndReplacesBadInput) {
  const std::string text = "C:\\文档\\Año 😀";
  EXPECT_EQ(Utf8ToWide(text), L"C:\\\x6587\x6863\\A\xF1o \xD83D\xDE00");
  EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
  EXPECT_EQ(Utf8ToWide(""), L"");
  EXPECT_EQ(WideToUtf8(L""), "");
  EXPECT_EQ(Utf8ToWide("a\xFF"
                       "b"),
            L"a\xFFFD"
            L"b");
  EXPECT_EQ(WideToUtf8(std::wstring(1, L'\xD800')), "\xEF\xBF\xBD");
}

TEST(WinFilesTest, DrivesAndTheSystemFolder) {
  const auto files = MakeSystemFiles();
  const std::vector<std::string> drives = files->LogicalDrives();
  ASSERT_FALSE(drives.empty());
  EXPECT_NE(std::find(drives.begin(), drives.end(), "C:\\"), drives.end());
  for (const std::string& root : drives) {
    EXPECT_EQ(root.size(), 3u) << root;
    EXPECT_EQ(root.substr(1), ":\\") << root;
  }
  EXPECT_EQ(files->DriveType("C:\\"), DriveKind::kFixed);
  EXPECT_EQ(files->DriveType("Q:\\"), DriveKind::kNoRoot);
  const std::string system = files->SystemDirectory();
  EXPECT_TRUE(files->DirectoryExists(system)) << system;
  EXPECT_NE(system.back(), '\\');
}

TEST(WinFilesTest, CreatedFolderCanBeHidden) {
  const auto files = MakeSystemFiles();
  TempDirForTests dir;
  const std::string folder = dir.File("Mrx") + "\\配置\\";
  ASSERT_TRUE(files->CreateDirectories(folder));
  ASSERT_TRUE(files->SetHiddenAttribute(folder));
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(dir.File("Mrx") + "\\配置").c_str());
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(files->SetHiddenAttribute(dir.File("none")));
}

DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(Utf8ToWide(path).c_str()); }

double SecondsSince(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A reader that lets go within the waiting time: the save goes through. One
// that holds on: the save fails, the old content and nothing else stays.
TEST(WinFilesTest, SaveWaitsForAReaderOfAnotherProgram) {
  struct Case {
    const char* what;
    int hold_ms;
    const wchar_t* share;
    bool saved;
  } const cases[] = {
      {"read sharing, lets go after 0.3 s", 300, L"read", true},
      {"no sharing, lets go after 0.3 s", 300, L"none", true},
      {"read sharing, holds on for 3 s", 3000, L"read", false},
  };
  const auto files = MakeSystemFiles();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDirForTests dir;
    const std::string path = dir.File("fav.dat");
    ASSERT_TRUE(files->WriteAtomic(path, "old"));
    FileHolder holder(path, c.hold_ms, c.share);
    ASSERT_TRUE(holder.holding());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(files->WriteAtomic(path, "new"), c.saved);
    std::printf("[ figure   ] %s: the save %s after %.2f s\n", c.what,
                c.saved ? "went through" : "gave up", SecondsSince(start));
    holder.Wait();
    EXPECT_EQ(files->ReadAll(path).value_or(""), c.saved ? "new" : "old");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"fav.dat"}) << "no temporary file left";
  }
}

TEST(WinFilesTest, LockedTargetFailsTheSaveAndLeavesNoTemp) {
  // A second handle of our own, without delete sharing, held throughout.
  const auto files = MakeSystemFiles();
  TempDirForTests dir;
  const std::string path = dir.File("rec.dat");
  ASSERT_TRUE(files->WriteAtomic(path, "old"));
  HANDLE holder = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files->WriteAtomic(path, "new"));
  CloseHandle(holder);
  EXPECT_EQ(files->ReadAll(path).value_or(""), "old");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"rec.dat"});
}

TEST(WinFilesTest, ReadWaitsForAWriterThatSharesNothing) {
  const auto files = MakeSystemFiles();
  TempDirForTests dir;
  const std::string path = dir.File("note.txt");
  ASSERT_TRUE(files->WriteAtomic(path, "text"));
  {
    FileHolder holder(path, 300, L"none");
    ASSERT_TRUE(holder.holding());
    EXPECT_EQ(files->ReadAll(path).value_or("<unread>"), "text");
  }
  FileHolder holder(path, 3000, L"none");
  ASSERT_TRUE(holder.holding());
  EXPECT_FALSE(files->ReadAll(path)) << "still held after the waiting time";
  EXPECT_TRUE(files->FileExists(path));
}

// The replaced file's attributes stay, whichever way the save goes in.
TEST(WinFilesTest, HiddenAndSystemAttributesSurviveASave) {
  const DWORD cases[] = {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM};
  const auto files = MakeSystemFiles();
  for (const DWORD attributes : cases) {
    SCOPED_TRACE(attributes);
    TempDirForTests dir;
    const std::string path = dir.File("defualt.ini");
    ASSERT_TRUE(files->WriteAtomic(path, "old"));
    ASSERT_TRUE(SetFileAttributesW(Utf8ToWide(path).c_str(), attributes));
    ASSERT_TRUE(files->WriteAtomic(path, "new"));
    EXPECT_EQ(AttributesOf(path) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), attributes);
    {
      // Also after waiting for a reader.
      FileHolder holder(path, 300);
      ASSERT_TRUE(holder.holding());
      ASSERT_TRUE(files->WriteAtomic(path, "newer"));
    }
    EXPECT_EQ(AttributesOf(path) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), attributes);
    EXPECT_EQ(files->ReadAll(path).value_or(""), "newer");
    // A leftover temporary file of a crash, hidden like its target, does not block the save.
    ASSERT_TRUE(files->WriteAtomic(TempPathFor(path), "half"));
    ASSERT_TRUE(SetFileAttributesW(Utf8ToWide(TempPathFor(path)).c_str(), attributes));
    ASSERT_TRUE(files->WriteAtomic(path, "newest"));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"defualt.ini"});
    SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

// The exit save with a file another program holds: the others are saved,
// that one keeps its content and is named for the user.
TEST(WinFilesTest, ExitSaveNamesTheFileAReaderHeld) {
  const auto files = MakeSystemFiles();
  const auto codec = MakeSystemCodec();
  TempDirForTests dir;
  DocStore store;
  store.files = files.get();
  store.codec = codec.get();
  store.ConfigDir = dir.path();
  ASSERT_TRUE(files->WriteAtomic(dir.File(kFavFileName), "C:\\old*|*old\r\n"));
  ListFileLoad(store.MyLoveList, *files, *codec, dir.File(kFavFileName));
  ListFileLoad(store.MyRecentList, *files, *codec, dir.File(kRecentFileName));
  AddMyLove(store.MyLoveList, "C:\\新", "新");
  AddMyRecent(store.MyRecentList, "C:\\新", "新");
  FileHolder holder(dir.File(kFavFileName), 3000);
  ASSERT_TRUE(holder.holding());
  const ExitSaveResult result = RunExitSequence(store, WindowSettings{});
  EXPECT_EQ(result.unsaved, std::vector<std::string>{dir.File(kFavFileName)});
  holder.Wait();
  EXPECT_EQ(files->ReadAll(dir.File(kFavFileName)).value_or(""), "C:\\old*|*old\r\n");
  EXPECT_EQ(LoadText(*files, *codec, dir.File(kRecentFileName)).value_or(""), "C:\\新*|*新\r\n");
}

// What an owner and an access list say, read by the system's own parser of
// security descriptors: only this user, SYSTEM and Administrators may be let
// in, and only entries that apply to the object itself count.
TEST(WinFilesTest, AccessListsThatLetOtherAccountsInAreOpen) {
  const std::wstring me = CurrentUserSidText();
  ASSERT_FALSE(me.empty());
  const std::wstring other = L"S-1-5-21-1-2-3-1001";
  struct Case {
    const char* what;
    std::wstring sddl;
    Owner owner;
    bool inherits, open;
  } const cases[] = {
      {"what the program makes",
       L"O:" + me + L"D:P(A;OICI;FA;;;" + me + L")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
       Owner::kThisUser, false, false},
      {"a data drive's: Authenticated Users may change",
       L"O:" + me + L"D:AI(A;OICIID;FA;;;" + me + L")(A;OICIID;0x1301bf;;;AU)(A;OICIID;FA;;;SY)",
       Owner::kThisUser, true, true},
      {"Users may read", L"O:" + me + L"D:P(A;;FA;;;" + me + L")(A;;FR;;;BU)", Owner::kThisUser,
       false, true},
      {"another user may write", L"O:" + me + L"D:P(A;;FA;;;" + me + L")(A;;FW;;;" + other + L")",
       Owner::kThisUser, false, true},
      {"for what is made inside only", L"O:" + me + L"D:(A;;FA;;;" + me + L")(A;OICIIO;FA;;;AU)",
       Owner::kThisUser, true, false},
      {"Everyone may see its attributes only",
       L"O:" + me + L"D:P(A;;FA;;;" + me + L")(A;;0x100080;;;WD)", Owner::kThisUser, false, false},
      {"Everyone denied", L"O:" + me + L"D:P(D;;FA;;;WD)(A;;FA;;;" + me + L")", Owner::kThisUser,
       false, false},
      {"the owner's rights", L"O:" + me + L"D:P(A;;FA;;;OW)", Owner::kThisUser, false, false},
      {"no list", L"O:" + me, Owner::kThisUser, true, true},
      {"the Administrators'", L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;" + me + L")",
       Owner::kAdministrators, false, false},
      {"SYSTEM's", L"O:SYD:P(A;OICI;FA;;;SY)", Owner::kAdministrators, false, false},
      {"another user's", L"O:" + other + L"D:P(A;OICI;FA;;;" + other + L")", Owner::kOtherAccount,
       false, true},
      {"Everyone's", L"O:WDD:P(A;;FA;;;" + me + L")", Owner::kOtherAccount, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        c.sddl.c_str(), SDDL_REVISION_1, &sd, nullptr));
    const Security security = DescribeSecurity(sd);
    LocalFree(sd);
    EXPECT_EQ(security.owner, c.owner);
    EXPECT_EQ(security.inherits, c.inherits);
    EXPECT_EQ(security.open, c.open);
  }
  // A list that is there but null lets everyone in (Wine's parser makes an
  // empty list of "NO_ACCESS_CONTROL", so it is made by hand).
  SECURITY_DESCRIPTOR bare;
  ASSERT_TRUE(InitializeSecurityDescriptor(&bare, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(SetSecurityDescriptorDacl(&bare, TRUE, nullptr, FALSE));
  PSID sid = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidW(me.c_str(), &sid));
  ASSERT_TRUE(SetSecurityDescriptorOwner(&bare, sid, FALSE));
  const Security open = DescribeSecurity(&bare);
  LocalFree(sid);
  EXPECT_EQ(open.owner, Owner::kThisUser);
  EXPECT_TRUE(open.open);
}

// The calls on a real disk are made and succeed (Wine keeps no access lists
// on files: what they change is checked through the fake), and the lock
// file admits one holder and goes with it.
TEST(WinFilesTest, AFolderOfOnesOwnAndItsLock) {
  const auto files = MakeSystemFiles();
  TempDirForTests dir;
  const std::string folder = dir.File("上级") + "\\配置\\";
  ASSERT_TRUE(files->CreatePrivateDirectory(folder));
  EXPECT_TRUE(files->DirectoryExists(folder));
  EXPECT_FALSE(files->CreatePrivateDirectory(folder)) << "it is there already";
  EXPECT_EQ(files->QuerySecurity(folder).owner, Owner::kThisUser);
  EXPECT_TRUE(files->MakePrivate(folder, false));
  EXPECT_EQ(files->QuerySecurity(dir.File("nothing")).owner, Owner::kUnknown);
  EXPECT_FALSE(files->AccountName().empty());
  const std::string lock_path = folder + kLockFileName;
  std::unique_ptr<FileLock> lock = files->HoldLockFile(lock_path);
  ASSERT_NE(lock, nullptr);
  EXPECT_EQ(files->HoldLockFile(lock_path), nullptr);
  lock.reset();
  EXPECT_FALSE(files->FileExists(lock_path));
  EXPECT_NE(files->HoldLockFile(lock_path), nullptr);
}

}  // namespace
}  // namespace zd
