// The shell behind the open operations, against the real Windows calls: the
// path questions agree with GetFileAttributes and GetDriveType, and what the
// open operations hand to the shell really starts.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "lang/lang_tables.h"
#include "launch/favourites.h"
#include "launch/open_docs.h"
#include "platform/files.h"
#include "platform/shell_launcher.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/wide_win.h"
#include "platform/window_system.h"
#include "platform/wow64_path_win.h"
#include "store/doc_list.h"

namespace zd {
namespace {

bool WaitForFile(const std::string& path) {
  const auto files = MakeSystemFiles();
  for (int i = 0; i < 200; ++i) {
    if (files->FileExists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// The oracle: the Windows calls themselves.
PathAnswer Expected(const std::string& path) {
  const DWORD a = GetFileAttributesW(Utf8ToWide(path).c_str());
  if (a != INVALID_FILE_ATTRIBUTES) {
    return (a & FILE_ATTRIBUTE_DIRECTORY) ? PathAnswer::kFolder : PathAnswer::kFile;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PathAnswer::kNotFound;
  return error == ERROR_NOT_READY ? PathAnswer::kNotReady : PathAnswer::kOtherError;
}

TEST(SystemShellLauncher, PathQuestionsAgreeWithTheFileSystem) {
  TempDirForTests dir;
  const std::string file = dir.File("文档 a.txt");
  const std::string folder = dir.File("文件夹");
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr));
  const auto files = MakeSystemFiles();
  ASSERT_TRUE(files->WriteAtomic(file, "x"));

  const auto shell = MakeSystemShellLauncher(0);
  const std::string paths[] = {
      file, folder, folder + "\\", dir.File("none"), dir.File("none\\deeper\\x"), "C:\\", "D:\\"};
  for (const std::string& path : paths) {
    const PathAnswer expected =
        Expected(path.size() > 3 && path.back() == '\\' ? path.substr(0, path.size() - 1) : path);
    EXPECT_EQ(shell->QueryPath(path), expected) << path;
    EXPECT_EQ(shell->FileExists(path), expected == PathAnswer::kFile) << path;
    EXPECT_EQ(shell->DirectoryExists(path), expected == PathAnswer::kFolder) << path;
  }
  EXPECT_FALSE(shell->DirectoryExists(""));
  for (const char* root : {"C:\\", "D:\\", "Q:\\", "Z:\\"}) {
    EXPECT_EQ(shell->DriveType(root), files->DriveType(root)) << root;
  }
}

TEST(SystemShellLauncher, SystemFoldersHoldTheProgramsWeStart) {
  const auto shell = MakeSystemShellLauncher(0);
  const auto files = MakeSystemFiles();
  const std::string system = shell->SystemDirectory();
  const std::string windows = shell->WindowsDirectory();
  ASSERT_FALSE(system.empty());
  ASSERT_FALSE(windows.empty());
  EXPECT_NE(system.back(), '\\');
  EXPECT_NE(windows.back(), '\\');
  EXPECT_TRUE(files->FileExists(system + "\\rundll32.exe"));
  EXPECT_TRUE(files->FileExists(windows + "\\explorer.exe"));
  EXPECT_EQ(system, files->SystemDirectory());
}

TEST(SystemShellLauncher, CommandLinesAndExecutedFilesRun) {
  TempDirForTests dir;
  const auto shell = MakeSystemShellLauncher(0);
  const std::string cmd = shell->SystemDirectory() + "\\cmd.exe";
  const std::string by_command = dir.File("by_command.txt");
  ASSERT_TRUE(shell->StartCommandLine("\"" + cmd + "\" /c echo x> \"" + by_command + "\"",
                                      ShowMode::kRestore));
  EXPECT_TRUE(WaitForFile(by_command));

  const std::string by_execute = dir.File("by_execute.txt");
  EXPECT_TRUE(
      shell->Execute({"open", cmd, "/c echo y> \"" + by_execute + "\"", ShowMode::kNormal}));
  EXPECT_TRUE(WaitForFile(by_execute));

  EXPECT_FALSE(shell->StartCommandLine("\"" + dir.File("missing.exe") + "\"", ShowMode::kNormal));
  EXPECT_FALSE(shell->Execute({"open", dir.File("missing.exe"), "", ShowMode::kNormal}));
}

// A 64-bit Windows as a 32-bit process sees it, stood in for by a folder of
// our own: a program that lives only in the 64-bit System32 (reachable as
// Sysnative) is found by every check and starts when opened.
TEST(SystemShellLauncher, ProgramsOfThe64BitSystem32AreFoundAndStartThroughSysnative) {
  TempDirForTests dir;
  const std::string windows = dir.File("Win");
  for (const char* folder : {"", "\\System32", "\\Sysnative"}) {
    ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(windows + folder).c_str(), nullptr)) << folder;
  }
  const auto shell = MakeSystemShellLauncher(0);
  const std::string program = windows + "\\Sysnative\\zdtool64.exe";
  ASSERT_TRUE(CopyFileW(Utf8ToWide(shell->SystemDirectory() + "\\cmd.exe").c_str(),
                        Utf8ToWide(program).c_str(), FALSE));
  struct Wow64 {
    explicit Wow64(const std::string& windows_dir) { SimulateWow64ForTests(windows_dir); }
    ~Wow64() { SimulateWow64ForTests(""); }
  } wow64(windows);

  const std::string seen = windows + "\\System32\\ZDTOOL64.EXE";  // as a 64-bit process names it
  EXPECT_EQ(shell->QueryPath(seen), PathAnswer::kFile);
  EXPECT_TRUE(shell->FileExists(seen));
  EXPECT_TRUE(MakeSystemWindowSystem()->PathExists(seen));
  EXPECT_EQ(CheckFavouritePath(seen, *shell), FavPathCheck::kPresent) << "never pruned";
  const std::string marker = dir.File("sysnative.txt");
  EXPECT_TRUE(shell->Execute({"open", seen, "/c echo z> \"" + marker + "\"", ShowMode::kNormal}));
  EXPECT_TRUE(WaitForFile(marker));
}

// A server's path is never asked about from the interface thread: an offline
// server would keep the window waiting.
TEST(SystemShellLauncher, NetworkPathsAreNotAskedAbout) {
  const auto shell = MakeSystemShellLauncher(0);
  for (const char* path : {"\\\\zd-no-such-server\\share\\a.txt", "//zd-no-such-server/share"}) {
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(shell->QueryPath(path), PathAnswer::kNotAsked) << path;
    EXPECT_FALSE(shell->FileExists(path)) << path;
    EXPECT_FALSE(shell->DirectoryExists(path)) << path;
    EXPECT_TRUE(MakeSystemWindowSystem()->PathExists(path)) << "a running program's file is there";
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << path;
  }
}

// A document opened from a tree or the favourites reaches the shell with the
// right text: a batch file that writes a marker when it runs, then is recorded.
TEST(SystemShellLauncher, OpenAndRecordDocStartsTheDocument) {
  lang::LoadLanguageTables(0, {}, lang::Texts());
  TempDirForTests dir;
  const std::string marker = dir.File("opened.txt");
  const std::string batch = dir.File("开 open.cmd");
  const auto files = MakeSystemFiles();
  ASSERT_TRUE(files->WriteAtomic(batch, "@echo opened> \"" + marker + "\"\r\n"));
  const auto shell = MakeSystemShellLauncher(0);
  MemoryMirror box;
  DocList recent(&box);
  std::vector<std::string> messages;
  DocOpener opener(*shell, recent, {[&](const std::string& m) { messages.push_back(m); }, {}});
  opener.OpenAndRecordDoc(batch, "批处理");
  EXPECT_TRUE(WaitForFile(marker));
  EXPECT_TRUE(messages.empty());
  ASSERT_EQ(recent.size(), 1u);
  EXPECT_EQ(recent.Lines()[0], batch + "*|*批处理");

  // A folder that is gone says so and opens nothing.
  opener.OpenAndRecordDoc(dir.File("gone"), "gone");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(dir.File("gone")), std::string::npos);
  EXPECT_EQ(recent.size(), 1u);
}

}  // namespace
}  // namespace zd
