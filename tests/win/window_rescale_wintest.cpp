// Every window follows a change of DPI (moved to a monitor of another scale):
// its controls take their design sizes at the new scale, in fonts made for
// it, and come back when the window returns.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>

#include "launch/autorun_selection_window_win.h"
#include "launch/startup_programs_window_win.h"
#include "online/about_window_win.h"
#include "online/update_window_win.h"
#include "online/vendor_panel_win.h"
#include "platform/fake_file_removal.h"
#include "platform/fake_files.h"
#include "platform/fake_held_file.h"
#include "platform/fake_http_client.h"
#include "platform/fake_processes.h"
#include "platform/fake_registry_keys.h"
#include "platform/fake_shell_folders.h"
#include "platform/file_removal.h"
#include "platform/registry_keys.h"
#include "tests/win/main_window_fixture.h"
#include "uninstall/uninstall_window_win.h"

namespace zd {
namespace {

struct Look {
  int width, height, font_height;
};

Look LookOf(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  LOGFONTW font{};
  if (auto f = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0))) {
    GetObjectW(f, sizeof(font), &font);
  }
  return {r.right - r.left, r.bottom - r.top, std::abs(font.lfHeight)};
}

// What Windows sends a window moved from a monitor of `from` DPI to one of `dpi`.
void MoveToDpi(HWND window, int from, int dpi) {
  RECT r{};
  GetWindowRect(window, &r);
  RECT suggested = {r.left, r.top, r.left + MulDiv(r.right - r.left, dpi, from),
                    r.top + MulDiv(r.bottom - r.top, dpi, from)};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

class WindowRescale : public MainWindowFixture {};

TEST_F(WindowRescale, EveryWindowFollowsTheDpi) {
  MainWindow& main = OpenLoaded();
  lang::LoadLanguageTables(0, {}, lang::Texts());
  FakeHttpClient http;
  FakeProcesses processes;
  FakeHeldFiles held;
  FakeShellFolders folders;
  OnlineDeps online_deps;
  online_deps.http = &http;
  online_deps.processes = &processes;
  online_deps.held_files = &held;
  online_deps.folders = &folders;
  online_deps.servers = {"http://s1/"};
  online_deps.about_title = "关于";
  online_deps.message_box = [](HWND, const std::string&, const std::string&, UINT) { return IDNO; };
  std::unique_ptr<OnlineServices> online =
      OnlineServices::Create(GetModuleHandleW(nullptr), main.hwnd(), online_deps);
  ASSERT_NE(online, nullptr);
  main.AttachOnline(online.get());
  online->ShowAbout();
  StartupWindowDeps startup_deps;
  startup_deps.registry = &registry_;
  auto startup = StartupProgramsWindow::Create(nullptr, startup_deps);
  auto autorun = AutorunSelectionWindow::Create(nullptr, nullptr);
  UpdateWindow::Deps update_deps;
  update_deps.texts = &online->texts();
  auto update = UpdateWindow::Create(nullptr, update_deps);
  FakeRegistryKeys keys;
  FakeFileRemoval removal;
  UninstallDeps uninstall_deps;
  uninstall_deps.registry = &keys;
  uninstall_deps.removal = &removal;
  uninstall_deps.folders = &folders;
  uninstall_deps.files = &files_;
  uninstall_deps.processes = &processes;
  auto uninstall = UninstallWindow::Create(uninstall_deps);
  ASSERT_TRUE(startup && autorun && update && uninstall);

  // Each window with the top-level window that hears of the new DPI.
  struct Case {
    const char* window;
    HWND top;
    const Control& control;
  };
  const Case cases[] = {
      {"main window", main.hwnd(), main.launcher().BtnZDSearch},
      {"vendor panel", main.hwnd(), online->vendor_panel()->BtnExit},
      {"content page", main.hwnd(), online->demo_page()->BtnRefresh},
      {"about", online->about_window()->hwnd(), online->about_window()->BtnOk},
      {"update", update->hwnd(), update->BtnCancel},
      {"uninstall", uninstall->hwnd(), uninstall->BtnClose},
      {"startup programs", startup->hwnd(), startup->BtnClose},
      {"auto-run selection", autorun->hwnd(), autorun->BtnConfirm},
  };
  std::map<const char*, Look> before;
  for (const Case& c : cases) before[c.window] = LookOf(c.control.hwnd());
  int from = 96;
  for (const int dpi : {192, 96}) {
    std::map<HWND, bool> told;
    for (const Case& c : cases) {
      if (!told[c.top]) MoveToDpi(c.top, from, dpi);
      told[c.top] = true;
    }
    from = dpi;
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.window) + " at " + std::to_string(dpi));
      const Look was = before[c.window], now = LookOf(c.control.hwnd());
      ASSERT_GT(was.width, 0);
      ASSERT_GT(was.font_height, 0);
      // Design pixels at the new scale, give or take the rounding.
      EXPECT_NEAR(now.width, MulDiv(was.width, dpi, 96), 2);
      EXPECT_NEAR(now.height, MulDiv(was.height, dpi, 96), 2);
      EXPECT_NEAR(now.font_height, MulDiv(was.font_height, dpi, 96), 1);
      // Whole inside its parent: what holds it grew with it.
      RECT inner{}, outer{};
      GetWindowRect(c.control.hwnd(), &inner);
      const HWND parent = GetParent(c.control.hwnd());
      GetClientRect(parent, &outer);
      MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&outer), 2);
      EXPECT_TRUE(inner.left >= outer.left && inner.top >= outer.top &&
                  inner.right <= outer.right && inner.bottom <= outer.bottom);
    }
  }
  main.AttachOnline(nullptr);
}

}  // namespace
}  // namespace zd
