// The desktop's windows through the real Win32 calls: a helper program opens
// windows of each kind, and the window system and the program-window scan
// must see them as they are.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/wide_win.h"
#include "platform/window_system.h"
#include "tests/win/helper_process.h"
#include "tracking/discovery.h"
#include "tracking/scan_lines_for_tests.h"

namespace zd {
namespace {

const std::wstring kNormalTitle = L"Zapdock test window 一";
const std::wstring kExeNameTitle = L"ZD_WINDOW_HELPER";
const std::wstring kOwnedTitle = L"Zapdock owned dialog";
const std::wstring kToolTitle = L"Zapdock tool palette";
const std::wstring kHiddenTitle = L"Zapdock hidden window";
// Longer than the 128 characters a title is read with.
const std::wstring kLongTitle = L"Zapdock long title " + std::wstring(150, L'x');

std::optional<TopWindow> RowOf(const std::vector<TopWindow>& rows, HWND hwnd) {
  const auto id = reinterpret_cast<WindowId>(hwnd);
  const auto count =
      std::count_if(rows.begin(), rows.end(), [id](const TopWindow& row) { return row.id == id; });
  EXPECT_EQ(count, 1) << "every window is offered exactly once";
  for (const TopWindow& row : rows) {
    if (row.id == id) return row;
  }
  return std::nullopt;
}

class HelperWindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    helper_ = new HelperProcess({L"normal:" + kNormalTitle, L"normal:" + kExeNameTitle,
                                 L"owned:" + kOwnedTitle, L"tool:" + kToolTitle,
                                 L"hidden:" + kHiddenTitle, L"normal:" + kLongTitle});
  }
  static void TearDownTestSuite() {
    delete helper_;
    helper_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(helper_->started()) << "cannot start " << WideToUtf8(HelperExePath());
    // The first window asked for is the one whose closing ends the helper.
    for (const std::wstring* title :
         {&kNormalTitle, &kExeNameTitle, &kOwnedTitle, &kToolTitle, &kHiddenTitle, &kLongTitle}) {
      HWND hwnd = helper_->Window(*title);
      ASSERT_NE(hwnd, nullptr) << WideToUtf8(*title);
      windows_.push_back(hwnd);
    }
  }
  HWND normal() const { return windows_[0]; }
  HWND exe_named() const { return windows_[1]; }
  HWND owned() const { return windows_[2]; }
  HWND tool() const { return windows_[3]; }
  HWND hidden() const { return windows_[4]; }
  HWND long_titled() const { return windows_[5]; }

  static HelperProcess* helper_;
  std::vector<HWND> windows_;
  std::unique_ptr<WindowSystem> system_ = MakeSystemWindowSystem();
};
HelperProcess* HelperWindowsTest::helper_ = nullptr;

TEST_F(HelperWindowsTest, EnumerationReportsEachWindowsKind) {
  // Unset: not a property of that kind of window.
  struct Case {
    const char* what;
    HWND hwnd;
    std::optional<bool> visible, owned, tool_window;
    std::optional<std::string> title;
  };
  const Case cases[] = {
      {"normal", normal(), true, false, false, WideToUtf8(kNormalTitle)},
      {"titled with the program's name", exe_named(), true, false, false, "ZD_WINDOW_HELPER"},
      {"owned", owned(), true, true, false, {}},
      {"tool", tool(), true, false, true, {}},
      {"hidden", hidden(), false, false, {}, {}},
      {"long title", long_titled(), {}, {}, {}, WideToUtf8(kLongTitle.substr(0, 128))},
  };
  const std::vector<TopWindow> rows = system_->EnumerateTopWindows();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<TopWindow> row = RowOf(rows, c.hwnd);
    ASSERT_TRUE(row);
    if (c.visible) EXPECT_EQ(row->visible, *c.visible);
    if (c.owned) EXPECT_EQ(row->owned, *c.owned);
    if (c.tool_window) EXPECT_EQ(row->tool_window, *c.tool_window);
    if (c.title) EXPECT_EQ(row->title, *c.title);
  }
}

TEST_F(HelperWindowsTest, ProcessPathIsTheHelpersExecutable) {
  for (HWND hwnd : windows_) {
    std::optional<std::string> path = system_->ProcessImagePath(reinterpret_cast<WindowId>(hwnd));
    ASSERT_TRUE(path);
    EXPECT_TRUE(SamePath(*path, HelperExePath())) << *path;
    EXPECT_TRUE(system_->PathExists(*path));
  }
}

TEST_F(HelperWindowsTest, ProgramScanListsOnlyTheHelpersOrdinaryWindows) {
  const std::string path = *system_->ProcessImagePath(reinterpret_cast<WindowId>(normal()));
  const ScanResult scan = ScanAppWindows(*system_);
  EXPECT_TRUE(scan.complete);
  std::vector<std::string> helper_lines;
  for (const std::string& line : testing_support::ScanLines(scan.found)) {
    if (line.rfind(path + "*|*", 0) == 0) helper_lines.push_back(line);
  }
  // Not the window titled with the program's own name, nor the owned, tool or
  // hidden ones; the long title as far as it was read.
  std::vector<std::string> expected = {
      path + "*|*" + WideToUtf8(kNormalTitle) + "*2*2",
      path + "*|*" + WideToUtf8(kLongTitle.substr(0, 128)) + "*2*2"};
  std::sort(helper_lines.begin(), helper_lines.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(helper_lines, expected);
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND MakeWindow(const wchar_t* title, bool visible) {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZdWindowSystemTest";
    return RegisterClassW(&wc);
  }();
  if (!atom) return nullptr;
  return CreateWindowExW(0, L"ZdWindowSystemTest", title,
                         WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0, 0, 200, 100, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST(SystemWindowSystem, ProcessPathOfOurOwnWindowAndOfNoWindow) {
  auto system = MakeSystemWindowSystem();
  HWND own = MakeWindow(L"Zapdock own window", false);
  ASSERT_NE(own, nullptr);
  std::optional<std::string> path = system->ProcessImagePath(reinterpret_cast<WindowId>(own));
  ASSERT_TRUE(path);
  EXPECT_TRUE(SamePath(*path, OwnExePath())) << *path;
  DestroyWindow(own);
  // A window that is gone has no process.
  EXPECT_EQ(system->ProcessImagePath(reinterpret_cast<WindowId>(own)), std::nullopt);
  EXPECT_EQ(system->ProcessImagePath(0), std::nullopt);
}

TEST(SystemWindowSystem, PathExistsForFilesAndFoldersAndWhatIsNotAsked) {
  auto system = MakeSystemWindowSystem();
  TempDirForTests dir;
  const std::string folder = dir.File("程序");
  const std::string exe = folder + "\\a.exe";
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr));
  ASSERT_TRUE(MakeSystemFiles()->WriteAtomic(exe, "MZ"));
  EXPECT_TRUE(system->PathExists(exe));
  EXPECT_TRUE(system->PathExists(folder));
  EXPECT_TRUE(system->PathExists(folder + "\\"));
  wchar_t system_dir[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryW(system_dir, MAX_PATH), 0u);
  EXPECT_TRUE(system->PathExists(WideToUtf8(system_dir) + "\\kernel32.dll"));
  EXPECT_FALSE(system->PathExists(exe + ".missing"));
  EXPECT_FALSE(system->PathExists(folder + "\\no such folder\\x.exe"));
  EXPECT_FALSE(system->PathExists(""));
  EXPECT_EQ(system->QueryPath(exe + ".missing"), PathAnswer::kNotFound);
  // A network drive (the test prefix's Z:) is not asked about: a program
  // found running there counts as present.
  const std::string own = WideToUtf8(OwnExePath());
  if (MakeSystemFiles()->DriveType(own.substr(0, 3)) == DriveKind::kRemote) {
    EXPECT_EQ(system->QueryPath(own + ".missing"), PathAnswer::kNotAsked);
    EXPECT_TRUE(system->PathExists(own + ".missing"));
  }
}

// A program that does not answer must not hold up the enumeration: its
// window is listed without a title, and the windows after it as usual.
TEST(SystemWindowSystem, ABusyProgramsWindowIsListedWithoutItsTitle) {
  const std::wstring owner_title = L"Zapdock answering window";
  const std::wstring busy_title = L"Zapdock busy window";
  HelperProcess helper({L"normal:" + owner_title, L"busy:" + busy_title});
  ASSERT_TRUE(helper.started());
  HWND owner = helper.Window(owner_title);
  HWND busy = helper.Window(busy_title);
  ASSERT_NE(owner, nullptr);
  ASSERT_NE(busy, nullptr);
  // Its thread shows it right after making it.
  for (int waited = 0; waited < 10000 && !IsWindowVisible(busy); waited += 20) Sleep(20);

  auto system = MakeSystemWindowSystem();
  for (int pass = 0; pass < 2; ++pass) {
    const std::vector<TopWindow> rows = system->EnumerateTopWindows();
    std::optional<TopWindow> row = RowOf(rows, busy);
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->visible);
    EXPECT_EQ(row->title, "");
    row = RowOf(rows, owner);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->title, WideToUtf8(owner_title));
  }
}

// A window of another thread of our own process is read without a message,
// even while that thread is busy.
TEST(SystemWindowSystem, OurOwnBusyThreadsWindowKeepsItsTitle) {
  HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND busy = nullptr;
  std::thread owner([&] {
    busy = MakeWindow(L"Zapdock own busy window", true);
    SetEvent(created);
    // Busy: no messages served until released (10 s at most).
    WaitForSingleObject(release, 10000);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (busy) DestroyWindow(busy);
  });
  WaitForSingleObject(created, INFINITE);
  std::optional<TopWindow> row;
  if (busy) {
    auto system = MakeSystemWindowSystem();
    row = RowOf(system->EnumerateTopWindows(), busy);
  }
  SetEvent(release);
  owner.join();
  CloseHandle(created);
  CloseHandle(release);
  ASSERT_NE(busy, nullptr);
  ASSERT_TRUE(row);
  EXPECT_TRUE(row->visible);
  EXPECT_EQ(row->title, "Zapdock own busy window");
}

}  // namespace
}  // namespace zd
