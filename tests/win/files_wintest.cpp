// The Win32 side of Files and of the UTF-8 / UTF-16 helpers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/files.h"
#include "platform/handles_win.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/wide_win.h"
#include "store/AppParams.h"
#include "store/config.h"
#include "store/doc_list.h"
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

// Another program holding a file open: the test helper, in a process of its
// own, with read sharing only (no FILE_SHARE_DELETE) or no sharing at all.
class FileHolder {
 public:
  FileHolder(const std::string& path, int hold_ms, const wchar_t* share = L"read") {
    static int counter = 0;
    const std::wstring event_name = L"Local\\ZdFileHeld" + std::to_wstring(GetCurrentProcessId()) +
                                    L"_" + std::to_wstring(counter++);
    UniqueHandle held(CreateEventW(nullptr, TRUE, FALSE, event_name.c_str()));
    std::wstring command = L"\"" + HelperExePath() + L"\" hold \"" + Utf8ToWide(path) + L"\" " +
                           std::to_wstring(hold_ms) + L" " + share + L" " + event_name;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi_)) {
      return;
    }
    started_ = true;
    HANDLE either[] = {held.get(), pi_.hProcess};
    holding_ = WaitForMultipleObjects(2, either, FALSE, 20000) == WAIT_OBJECT_0;
  }
  ~FileHolder() { Wait(); }
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;

  bool holding() const { return holding_; }
  // Until the helper has let go and ended.
  void Wait() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 20000) != WAIT_OBJECT_0) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
    started_ = false;
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
  bool holding_ = false;
};

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

}  // namespace
}  // namespace zd
