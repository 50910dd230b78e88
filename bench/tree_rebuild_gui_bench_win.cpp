// Rebuilds of the trees after deletions: 300 programs with icons of their own
// in the shown main window, then 50 deletions of one program each. Prints the
// image list's count and the process's private memory as the rebuilds go, and
// the time they take. (The rule itself is tested natively, in history_edit_test.)
// Run under Wine: wine ./tree_rebuild_gui_bench_win.exe
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/fake_main_window_win.h"
#include "store/program_files.h"

namespace {

double PrivateMb() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof(counters));
  // Wine fills the commit charge, not PrivateUsage.
  return static_cast<double>(counters.PrivateUsage ? counters.PrivateUsage
                                                   : counters.PagefileUsage) /
         1048576.0;
}

std::string Folder(UINT(WINAPI* get)(LPWSTR, UINT)) {
  wchar_t path[MAX_PATH] = {};
  get(path, MAX_PATH);
  char out[MAX_PATH * 3] = {};
  WideCharToMultiByte(CP_UTF8, 0, path, -1, out, sizeof(out), nullptr, nullptr);
  return out;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

int main() {
  zd::InitProgramValues();
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  OleInitialize(nullptr);
  auto codec = zd::MakeCodec(936);
  zd::FakeFiles files;
  files.AddDrive("D:\\", zd::DriveKind::kFixed);
  files.AddDirectory("D:\\MrxConfig\\");
  zd::bench::FakeMainWindow fakes;
  // Three real programs, each named in 100 spellings: 300 documents with icons.
  const std::string programs[] = {Folder(GetSystemDirectoryW) + "|notepad.exe",
                                  Folder(GetWindowsDirectoryW) + "|regedit.exe",
                                  Folder(GetSystemDirectoryW) + "|cmd.exe"};
  int n = 0;
  for (const std::string& program : programs) {
    const size_t bar = program.find('|');
    std::string dots;
    for (int i = 0; i < 100; ++i, dots += "\\.") {
      fakes.windows.AddWindow("Program " + std::to_string(n++),
                              program.substr(0, bar) + dots + "\\" + program.substr(bar + 1));
    }
  }
  auto form = fakes.Open(files, *codec);
  if (!form) return 1;
  form->TimerFirstRunTimer();
  form->tracker().CheckAllDocs();
  Pump();
  zd::LauncherPage& page = form->launcher();
  const HIMAGELIST images = page.tree_images()->handle();
  std::printf("%zu programs registered: %d images, %.2f MB private\n", form->store().docs.size(),
              ImageList_GetImageCount(images), PrivateMb());
  form->SetActivePage(1);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int rebuild = 1; rebuild <= 50; ++rebuild) {
    zd::TreeModel& tree = page.tv_app;
    tree.Select(tree.roots()[static_cast<size_t>(rebuild * 3) % tree.roots().size()].get());
    form->History().DeleteSelectedDoc(tree);
    Pump();
    if (rebuild % 10 == 0) {
      std::printf("after %2d rebuilds: %zu records, %d images, %.2f MB private\n", rebuild,
                  form->store().docs.size(), ImageList_GetImageCount(images), PrivateMb());
    }
  }
  QueryPerformanceCounter(&end);
  std::printf("50 rebuilds: %.1f ms\n",
              (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
  form.reset();
  OleUninitialize();
  return 0;
}
