// The whole start of the real program, as a user waits for it: from the
// process start to the main window answering with the tree it shows filled
// from a stored history of 1,000 records. Run under Wine in the test environment
// (its data drive D:), with zapdock.exe one folder up:
//   (cd build/win/bench && wine ./start_to_ready_bench_win.exe [rounds] [records])
// It replaces D:\MrxConfig\ with its own history and removes it again.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "mainwin/main_window_win.h"
#include "tests/win/helper_process.h"
#include "tests/win/ui_drive.h"

namespace {

constexpr wchar_t kDir[] = L"D:\\MrxConfig\\";

bool WriteBytes(const std::wstring& path, const std::string& data) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(h);
  return written == data.size();
}

// Pages of 50 hosts, programs and folders, as a few weeks leave them.
std::string History(int records) {
  std::string ini = "[default]\r\nShowFavEdit=1\r\n[docs]\r\n";
  for (int i = 0; i < records; ++i) {
    const std::string n = std::to_string(i);
    const int kind = i % 3 + 1;
    const std::string path =
        kind == 1   ? "http://host" + std::to_string(i % 50) + ".example.com/page" + n + ".html"
        : kind == 2 ? "C:\\Programs\\app" + n + "\\app" + n + ".exe"
                    : "file:///C:\\Work\\dir" + std::to_string(i % 40) + "\\sub" + n;
    ini += "name" + n + "=page " + n + "\r\ndate" + n + "=2026-01-01\r\nRootPath" + n +
           "=x\r\ndoctype" + n + "=" + std::to_string(kind) + "\r\npath" + n + "=" + path +
           "\r\nselected" + n + "=0\r\n";
  }
  return ini;
}

// The rows the web pages' tree shows (the page a start shows first): a group
// per host and a node per page.
LRESULT WebTreeRows(int records) {
  LRESULT pages = 0;
  bool host_seen[50] = {};
  for (int i = 0; i < records; ++i) {
    if (i % 3 != 0) continue;
    ++pages;
    host_seen[i % 50] = true;
  }
  return pages + std::count(std::begin(host_seen), std::end(host_seen), true);
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? _wtoi(argv[1]) : 5;
  const int records = argc > 2 ? _wtoi(argv[2]) : 1000;
  const std::wstring own = zd::OwnExePath();
  const std::wstring folder = own.substr(0, own.find_last_of(L'\\'));
  const std::wstring exe = folder.substr(0, folder.find_last_of(L'\\') + 1) + L"zapdock.exe";
  CreateDirectoryW(kDir, nullptr);
  const std::string history = History(records);
  std::vector<double> figures;
  for (int round = 1; round <= rounds; ++round) {
    // The same history each time, whatever the last run wrote.
    if (!WriteBytes(std::wstring(kDir) + L"defualt.ini", history)) {
      std::printf("cannot write %ls\n", kDir);
      return 2;
    }
    LARGE_INTEGER start, ready;
    QueryPerformanceCounter(&start);
    zd::ChildProcess program(exe, L"--servers=http://127.0.0.1:1/");
    const HWND window = zd::WaitForWindow(program.pid(), zd::MainWindow::kClassName, 60000);
    // The tree on show (the web pages') holds every node of its records: the
    // moment the user can look for one.
    if (!window ||
        !zd::WaitForRows(program, window, WebTreeRows(records), 0, 60000, nullptr, true)) {
      std::printf("round %d: the program did not get ready\n", round);
      return 1;
    }
    QueryPerformanceCounter(&ready);
    figures.push_back(Seconds(start, ready));
    std::printf("round %d: ready after %.3f s\n", round, figures.back());
    PostMessageW(window, WM_CLOSE, 0, 0);
    program.WaitForExit(30000);
  }
  for (const wchar_t* name :
       {L"defualt.ini", L"fav.dat", L"rec.dat", L"run.dat", L"lr.dat", L"note.txt"}) {
    DeleteFileW((std::wstring(kDir) + name).c_str());
  }
  std::sort(figures.begin(), figures.end());
  std::printf("[ start to ready ] %d records: best %.3f s, median %.3f s, worst %.3f s\n", records,
              figures.front(), figures[figures.size() / 2], figures.back());
  return 0;
}
