// Starting the real program: one copy at a time, and the uninstall start.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "lang/lang_tables.h"
#include "lang/service_texts.h"
#include "mainwin/main_window_win.h"
#include "tests/win/ui_drive.h"
#include "uninstall/uninstall_window_win.h"

namespace zd {
namespace {

std::wstring ProgramPath() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"zapdock.exe";
}

// The update check asks only a local address where nothing listens.
constexpr wchar_t kOffline[] = L"--servers=http://127.0.0.1:1/";

struct Started {
  PROCESS_INFORMATION pi{};
  bool ok = false;
  ~Started() {
    if (!ok) return;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
};

void Start(Started& started, const std::wstring& arguments) {
  std::wstring command = L"\"" + ProgramPath() + L"\" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  started.ok = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &si, &started.pi) != FALSE;
}

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
  Started started;
  Start(started, L"uninstall");
  ASSERT_TRUE(started.ok);
  // The uninstall window only; its close button ends the program.
  const HWND window = WaitForWindow(started.pi.dwProcessId, UninstallWindow::kClassName, 20000);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(CountMainWindows(), 0);
  EXPECT_TRUE(PressButton(window, lang::ServiceTextsFor(lang::LanguageIndex).UninstallClose));
  EXPECT_EQ(WaitForSingleObject(started.pi.hProcess, 20000), WAIT_OBJECT_0);
  if (WaitForSingleObject(started.pi.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(started.pi.hProcess, 1);
  }
  EXPECT_EQ(CountMainWindows(), 0);
  EXPECT_EQ(GetFileAttributesW(probe) != INVALID_FILE_ATTRIBUTES, existed);
}

TEST(SingleInstance, UninstallStartIsNotHandedToTheRunningCopy) {
  Started first;
  Start(first, kOffline);
  ASSERT_TRUE(first.ok);
  ASSERT_NE(WaitForMainWindow(20000), nullptr);
  Started uninstall;
  Start(uninstall, L"uninstall");
  ASSERT_TRUE(uninstall.ok);
  const HWND window = WaitForWindow(uninstall.pi.dwProcessId, UninstallWindow::kClassName, 20000);
  EXPECT_NE(window, nullptr) << "the single-instance rule must not swallow it";
  EXPECT_TRUE(PressButton(window, lang::ServiceTextsFor(lang::LanguageIndex).UninstallClose));
  EXPECT_EQ(WaitForSingleObject(uninstall.pi.hProcess, 20000), WAIT_OBJECT_0);
  PostMessageW(WaitForMainWindow(1000), WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(first.pi.hProcess, 20000), WAIT_OBJECT_0);
  for (Started* s : {&first, &uninstall}) {
    if (WaitForSingleObject(s->pi.hProcess, 0) != WAIT_OBJECT_0)
      TerminateProcess(s->pi.hProcess, 1);
  }
}

TEST(SingleInstance, ASecondStartHandsOverAndEnds) {
  ASSERT_EQ(GetFileAttributesW(ProgramPath().c_str()) != INVALID_FILE_ATTRIBUTES, true);
  Started first;
  Start(first, kOffline);
  ASSERT_TRUE(first.ok);
  HWND window = WaitForMainWindow(20000);
  ASSERT_NE(window, nullptr);

  Started second;
  Start(second, kOffline);
  ASSERT_TRUE(second.ok);
  EXPECT_EQ(WaitForSingleObject(second.pi.hProcess, 20000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(second.pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(CountMainWindows(), 1);
  EXPECT_EQ(WaitForSingleObject(first.pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  // Closing the window ends the first copy and leaves its files behind: here,
  // before the first load, the snapshot of what is open.
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(first.pi.hProcess, 20000), WAIT_OBJECT_0);
  EXPECT_NE(GetFileAttributesW(L"D:\\MrxConfig\\lr.dat"), INVALID_FILE_ATTRIBUTES);
  DWORD attributes = GetFileAttributesW(L"D:\\MrxConfig");
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace
}  // namespace zd
