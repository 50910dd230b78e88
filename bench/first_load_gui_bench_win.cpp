// The first load of a shown main window with 1,000 stored records (mixed
// kinds, Chinese names), on in-memory files: what the user waits for after a
// start. Run under Wine: wine ./first_load_gui_bench_win.exe
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>

#include "mainwin/main_window_win.h"
#include "platform/fake_files.h"
#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "store/AppParams.h"

namespace {

std::string StoredHistory(int records) {
  std::string ini = "[docs]\r\n";
  for (int i = 0; i < records; ++i) {
    const std::string n = std::to_string(i);
    const int kind = i % 3 + 1;
    const std::string path =
        kind == 1   ? "http://host" + std::to_string(i % 50) + ".example.com/page" + n + ".html"
        : kind == 2 ? "C:\\Programs\\app" + n + "\\app" + n + ".exe"
                    : "file:///D:\\Work\\dir" + std::to_string(i % 40) + "\\sub" + n;
    ini += "name" + n + "=文档 " + n + "\r\ndate" + n + "=2026-01-01\r\nRootPath" + n +
           "=x\r\ndoctype" + n + "=" + std::to_string(kind) + "\r\npath" + n + "=" + path +
           "\r\nselected" + n + "=0\r\n";
  }
  return ini;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return (to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

}  // namespace

int main() {
  zd::InitAppParams();
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  auto codec = zd::MakeCodec(936);
  for (int round = 1; round <= 3; ++round) {
    zd::FakeFiles files;
    files.AddDrive("D:\\", zd::DriveKind::kFixed);
    files.AddDirectory("D:\\MrxConfig\\");
    files.PutFile("D:\\MrxConfig\\defualt.ini", *codec->FromUtf8(StoredHistory(1000)));
    zd::FakeRegistry registry;
    zd::FakeWindowSystem windows;
    zd::FakeShellWindows shell;
    zd::MainWindowDeps deps;
    deps.files = &files;
    deps.codec = codec.get();
    deps.registry = &registry;
    deps.windows = &windows;
    deps.shell = &shell;
    deps.post_quit_on_destroy = false;
    deps.add_tray_icon = false;
    auto form = zd::TFrmMain::Create(GetModuleHandleW(nullptr), deps);
    if (!form) return 1;
    ShowWindow(form->hwnd(), SW_SHOW);
    form->SetActivePage(0);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    form->TimerFirstRunTimer();
    UpdateWindow(form->hwnd());
    QueryPerformanceCounter(&end);
    std::printf("round %d: first load of %zu records with the window shown: %.1f ms\n", round,
                form->store().docs.size(), Milliseconds(start, end));
  }
  return 0;
}
