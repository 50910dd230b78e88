// Starting the real program: one copy at a time, and the uninstall start.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "lang/lang_tables.h"
#include "lang/service_texts.h"
#include "mainwin/main_window_win.h"
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

}  // namespace
}  // namespace zd
