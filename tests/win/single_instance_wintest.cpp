// Starting the real program: one copy at a time, and the uninstall start.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "lang/lang_tables.h"
#include "lang/service_texts.h"
#include "mainwin/main_window_win.h"
#include "platform/handles_win.h"
#include "tests/win/helper_process.h"
#include "tests/win/ui_drive.h"
#include "uninstall/uninstall_window_win.h"

namespace zd {
namespace {

// The update check asks only a local address where nothing listens.
constexpr wchar_t kOffline[] = L"--servers=http://127.0.0.1:1/";

HWND WaitForMainWindow(DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 100) {
    if (HWND hwnd = FindWindowW(MainWindow::kClassName, nullptr)) return hwnd;
    Sleep(100);
  }
  return nullptr;
}

BOOL CALLBACK CountMainWindow(HWND hwnd, LPARAM param) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (lstrcmpW(cls, MainWindow::kClassName) == 0) ++*reinterpret_cast<int*>(param);
  return TRUE;
}

int CountMainWindows() {
  int count = 0;
  EnumWindows(CountMainWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST(SingleInstance, UninstallStartCreatesNothing) {
  // Run where no configuration folder exists yet: the start must not make one.
  wchar_t probe[] = L"D:\\MrxConfig";
  bool existed = GetFileAttributesW(probe) != INVALID_FILE_ATTRIBUTES;
  ChildProcess started(BesideUs(L"zapdock.exe"), L"uninstall");
  ASSERT_TRUE(started.started());
  // The uninstall window only; its close button ends the program.
  const HWND window = WaitForWindow(started.pid(), UninstallWindow::kClassName, 20000);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(CountMainWindows(), 0);
  EXPECT_TRUE(PressButton(window, lang::ServiceTextsFor(lang::LanguageIndex).UninstallClose));
  EXPECT_TRUE(started.WaitForExit(20000));
  EXPECT_EQ(CountMainWindows(), 0);
  EXPECT_EQ(GetFileAttributesW(probe) != INVALID_FILE_ATTRIBUTES, existed);
}

TEST(SingleInstance, UninstallStartIsNotHandedToTheRunningCopy) {
  ChildProcess first(BesideUs(L"zapdock.exe"), kOffline);
  ASSERT_TRUE(first.started());
  ASSERT_NE(WaitForMainWindow(20000), nullptr);
  ChildProcess uninstall(BesideUs(L"zapdock.exe"), L"uninstall");
  ASSERT_TRUE(uninstall.started());
  const HWND window = WaitForWindow(uninstall.pid(), UninstallWindow::kClassName, 20000);
  EXPECT_NE(window, nullptr) << "the single-instance rule must not swallow it";
  EXPECT_TRUE(PressButton(window, lang::ServiceTextsFor(lang::LanguageIndex).UninstallClose));
  EXPECT_TRUE(uninstall.WaitForExit(20000));
  PostMessageW(WaitForMainWindow(1000), WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitForExit(20000));
}

TEST(SingleInstance, ASecondStartHandsOverAndEnds) {
  ASSERT_EQ(GetFileAttributesW(BesideUs(L"zapdock.exe").c_str()) != INVALID_FILE_ATTRIBUTES, true);
  ChildProcess first(BesideUs(L"zapdock.exe"), kOffline);
  ASSERT_TRUE(first.started());
  HWND window = WaitForMainWindow(20000);
  ASSERT_NE(window, nullptr);

  ChildProcess second(BesideUs(L"zapdock.exe"), kOffline);
  ASSERT_TRUE(second.started());
  DWORD code = 1;
  EXPECT_TRUE(second.WaitForExit(20000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(CountMainWindows(), 1);
  EXPECT_FALSE(first.WaitForExit(0));

  // Closing the window ends the first copy and leaves its files behind: here,
  // before the first load, the snapshot of what is open.
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitForExit(20000));
  EXPECT_NE(GetFileAttributesW(L"D:\\MrxConfig\\lr.dat"), INVALID_FILE_ATTRIBUTES);
  DWORD attributes = GetFileAttributesW(L"D:\\MrxConfig");
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
}

bool WriteBytes(const std::wstring& path, const std::string& data) {
  UniqueHandle h =
      FileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return h && WriteFile(h.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
         written == data.size();
}

// The program's folder on the test's data drive, holding what an earlier
// run left, and emptied again at the test's end.
class ConfigFolder {
 public:
  ConfigFolder() {
    CreateDirectoryW(kDir, nullptr);
    Clear();
  }
  ~ConfigFolder() { Clear(); }
  static constexpr wchar_t kDir[] = L"D:\\MrxConfig\\";

 private:
  static void Clear() {
    for (const wchar_t* name : {L"fav.dat", L"rec.dat", L"run.dat", L"lr.dat", L"defualt.ini",
                                L"note.txt", L"picks.dat", L"rules.dat", L"fav.dat.new"}) {
      DeleteFileW((std::wstring(kDir) + name).c_str());
    }
  }
};

// A start while the previous copy is still in its exit save (here held up by
// a file another program keeps open, which the save waits for and then names
// in a message box) waits for it, says why, and then starts with its window;
// it neither ends silently nor starts a second copy beside the saving one.
TEST(SingleInstance, AStartDuringTheLastCopysExitSaveWaitsAndThenStarts) {
  ConfigFolder folder;
  std::string favourites;
  for (int i = 0; i < 2000; ++i) favourites += "C:\\Docs\\f" + std::to_string(i) + ".txt*|*f\r\n";
  ASSERT_TRUE(WriteBytes(std::wstring(ConfigFolder::kDir) + L"fav.dat", favourites));
  ASSERT_TRUE(WriteBytes(std::wstring(ConfigFolder::kDir) + L"run.dat", "C:\\a.txt*|*a\r\n"));
  ChildProcess first(BesideUs(L"zapdock.exe"), kOffline);
  ASSERT_TRUE(first.started());
  const HWND window = WaitForWindow(first.pid(), MainWindow::kClassName, 20000);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitForRows(first, window, 0, 2000, 60000));
  FileHolder holder("D:\\MrxConfig\\run.dat", 6000);
  ASSERT_TRUE(holder.holding());
  PostMessageW(window, WM_CLOSE, 0, 0);
  // The save could not replace run.dat: the closing copy says so, and waits.
  const HWND unsaved = WaitForMessageBox(first.pid(), 30000);
  ASSERT_NE(unsaved, nullptr);

  ChildProcess second(BesideUs(L"zapdock.exe"), kOffline);
  ASSERT_TRUE(second.started());
  EXPECT_NE(WaitForWindow(second.pid(), L"Static", 10000), nullptr) << "it says why it waits";
  EXPECT_FALSE(second.WaitForExit(500)) << "it must not end while the last copy saves";
  EXPECT_EQ(WaitForWindow(second.pid(), MainWindow::kClassName, 0), nullptr)
      << "no second copy beside the saving one";

  // The other program lets go first: the new copy reads the file at its start.
  holder.Wait();
  PressButton(unsaved, IDOK);
  EXPECT_TRUE(first.WaitForExit(20000));
  const HWND next = WaitForWindow(second.pid(), MainWindow::kClassName, 30000);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(WaitForWindow(second.pid(), L"Static", 0), nullptr) << "the waiting box is gone";
  PostMessageW(next, WM_CLOSE, 0, 0);
  EXPECT_TRUE(second.WaitForExit(30000));
}

// A folder another process uses (another session's copy holds its lock):
// the start says so, names the folder, and ends without reading or changing
// anything there (a save in flight stays where it is).
TEST(SingleInstance, AFolderInUseElsewhereIsLeftAlone) {
  ConfigFolder folder;
  const std::wstring leftover = std::wstring(ConfigFolder::kDir) + L"fav.dat.new";
  ASSERT_TRUE(WriteBytes(leftover, "C:\\x.txt*|*x\r\n"));
  UniqueHandle lock =
      FileHandle(CreateFileW(L"D:\\MrxConfig\\zapdock.lock", GENERIC_READ | GENERIC_WRITE, 0,
                             nullptr, OPEN_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  ASSERT_TRUE(lock);
  ChildProcess start(BesideUs(L"zapdock.exe"), kOffline);
  ASSERT_TRUE(start.started());
  const HWND box = WaitForMessageBox(start.pid(), 30000);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find("D:\\MrxConfig\\"), std::string::npos) << MessageBoxText(box);
  EXPECT_EQ(CountMainWindows(), 0);
  PressButton(box, IDOK);
  DWORD code = 1;
  EXPECT_TRUE(start.WaitForExit(20000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(PathExists(leftover)) << "nothing is settled in a folder in use";
  EXPECT_FALSE(PathExists(L"D:\\MrxConfig\\fav.dat"));
}

// A rules file another program holds without sharing at the start: the
// privacy rules cannot be known, so the run records nothing (a window open
// and a refresh asked for), and the start says why, naming rules.dat.
TEST(SingleInstance, UnreadableRulesRecordNothingAndSaySo) {
  ConfigFolder folder;
  ASSERT_TRUE(WriteBytes(std::wstring(ConfigFolder::kDir) + L"rules.dat",
                         "drop*|*title*|*text*|*secret\r\n"));
  FileHolder holder("D:\\MrxConfig\\rules.dat", 10000, L"none");
  ASSERT_TRUE(holder.holding());
  HelperProcess helper({L"normal:季度报告 - 编辑器"});
  ASSERT_NE(helper.Window(L"季度报告 - 编辑器"), nullptr);
  ChildProcess program(BesideUs(L"zapdock.exe"), kOffline);
  ASSERT_TRUE(program.started());
  const HWND box = WaitForMessageBox(program.pid(), 30000);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find("D:\\MrxConfig\\rules.dat"), std::string::npos)
      << MessageBoxText(box);
  PressButton(box, IDOK);
  const HWND window = WaitForWindow(program.pid(), MainWindow::kClassName, 20000);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_KEYDOWN, VK_F5, 0);  // a refresh of the programs' page
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(30000));
  holder.Wait();
  UniqueHandle settings =
      FileHandle(CreateFileW(L"D:\\MrxConfig\\defualt.ini", GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr));
  std::string text(64 * 1024, '\0');
  DWORD got = 0;
  if (settings)
    ReadFile(settings.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
  text.resize(got);
  EXPECT_EQ(text.find("path0"), std::string::npos) << text;
  UniqueHandle last = FileHandle(CreateFileW(L"D:\\MrxConfig\\lr.dat", GENERIC_READ,
                                             FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(last && GetFileSize(last.get(), nullptr) == 0) << "the close keeps nothing it saw";
}

}  // namespace
}  // namespace zd
