// The first load of a shown main window with stored records (mixed kinds,
// Chinese names) and three list files, on in-memory files: what the user
// waits for after a start. Run under Wine:
//   wine ./first_load_gui_bench_win.exe                 every size below
//   wine ./first_load_gui_bench_win.exe RECORDS LINES   one size: RECORDS
//       records, and LINES lines in each of the three lists (0: no lists)
//   wine ./first_load_gui_bench_win.exe RECORDS LINES FILES   and FILES file
//       records in files.dat (files opened in other programs)
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/fake_main_window_win.h"
#include "store/file_history.h"
#include "store/program_files.h"

namespace {

// Three list files of `lines` lines each, as the program writes them.
std::string ListFile(const char* prefix, int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += std::string(prefix) + std::to_string(i) + "\\文档 " + std::to_string(i) +
            ".txt*|*文档 " + std::to_string(i) + "\r\n";
  }
  return text;
}

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

// Files of Office-like documents over 20 drives' top folders and 400 folders.
std::string StoredFiles(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    const std::string name = "报告 " + n + (i % 3 == 0 ? ".docx" : i % 3 == 1 ? ".xlsx" : ".pdf");
    zd::FileRecord record{
        "C:\\资料" + std::to_string(i % 20) + "\\项目" + std::to_string(i % 400) + "\\" + name,
        name,
        "2026-01-01",
        "2026-02-01",
        "WINWORD.EXE",
        false};
    text += zd::MakeFileLine(record) + "\r\n";
  }
  return text;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return (to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

// The process's private bytes (Wine fills the commit charge, not PrivateUsage).
double Private(const PROCESS_MEMORY_COUNTERS_EX& counters) {
  return static_cast<double>(counters.PrivateUsage ? counters.PrivateUsage
                                                   : counters.PagefileUsage);
}

struct Size {
  int records;
  int lines;  // in each list; 0: no list files
  int files = 0;
};

void Measure(const zd::AnsiCodec& codec, Size size) {
  for (int round = 1; round <= 3; ++round) {
    zd::FakeFiles files;
    files.AddDrive("D:\\", zd::DriveKind::kFixed);
    files.AddDirectory("D:\\MrxConfig\\");
    files.PutFile("D:\\MrxConfig\\defualt.ini", *codec.FromUtf8(StoredHistory(size.records)));
    if (size.files > 0) {
      files.PutFile("D:\\MrxConfig\\" + std::string(zd::kFilesFileName),
                    *codec.FromUtf8(StoredFiles(size.files)));
    }
    if (size.lines > 0) {
      files.PutFile("D:\\MrxConfig\\fav.dat", *codec.FromUtf8(ListFile("C:\\Fav", size.lines)));
      files.PutFile("D:\\MrxConfig\\rec.dat", *codec.FromUtf8(ListFile("C:\\Rec", size.lines)));
      files.PutFile("D:\\MrxConfig\\run.dat", *codec.FromUtf8(ListFile("C:\\Run", size.lines)));
    }
    PROCESS_MEMORY_COUNTERS_EX before{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&before),
                         sizeof(before));
    zd::bench::FakeMainWindow fakes;
    auto form = fakes.Open(files, codec);
    if (!form) std::exit(1);
    form->SetActivePage(0);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    form->TimerFirstRunTimer();
    UpdateWindow(form->hwnd());
    QueryPerformanceCounter(&end);
    PROCESS_MEMORY_COUNTERS_EX after{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&after),
                         sizeof(after));
    std::printf(
        "round %d: first load of %zu records and lists of %zu/%zu/%zu lines with the window "
        "shown: %.1f ms; private memory %.1f MB (%.1f MB more than before the window), "
        "working set %.1f MB\n",
        round, form->store().docs.size(), form->store().MyLoveList.size(),
        form->store().MyRecentList.size(), form->store().MyRunList.size(), Milliseconds(start, end),
        Private(after) / 1048576.0, (Private(after) - Private(before)) / 1048576.0,
        after.WorkingSetSize / 1048576.0);
    std::fflush(stdout);
  }
}

}  // namespace

int main(int argc, char** argv) {
  zd::InitProgramValues();
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  auto codec = zd::MakeCodec(936);
  if (argc == 3 || argc == 4) {
    Measure(*codec, {std::atoi(argv[1]), std::atoi(argv[2]), argc == 4 ? std::atoi(argv[3]) : 0});
    return 0;
  }
  // The lists alone, and what they add to 1,000 records.
  for (Size size : {Size{1000, 0}, Size{10000, 0}, Size{0, 10000}, Size{1000, 10000}}) {
    Measure(*codec, size);
  }
  return 0;
}
