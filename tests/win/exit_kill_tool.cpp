// Ends the real program at random moments of its exit save, again and again,
// and checks after each end that every list and the settings are there,
// whole: none missing, none empty, none torn. A developer runs it with a
// count (zd_exit_kill.exe --count 200); the test run runs a few dozen.
//
//   zd_exit_kill.exe [--count N] [--seed S] [--favourites F] [--records R]
//
// It works in D:\MrxConfig\ of the Wine prefix it runs in (the test
// environment's data drive) with zapdock.exe beside it.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "mainwin/main_window_win.h"
#include "tests/win/helper_process.h"
#include "tests/win/ui_drive.h"

namespace zd {
namespace {

constexpr wchar_t kDir[] = L"D:\\MrxConfig\\";
const wchar_t* const kFiles[] = {L"fav.dat", L"rec.dat", L"run.dat", L"defualt.ini"};

struct Options {
  int count = 24;
  unsigned seed = 0;
  int favourites = 10000;
  int records = 1000;
};

std::string ReadBytes(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string data(GetFileSize(h, nullptr), '\0');
  DWORD got = 0;
  ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
  CloseHandle(h);
  data.resize(got);
  return data;
}

bool WriteBytes(const std::wstring& path, const std::string& data) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
                  written == data.size();
  CloseHandle(h);
  return ok;
}

size_t CountOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A history and lists of the given sizes, in the code page the program
// writes (ASCII here), as a previous run would have left them.
void Prepare(const Options& o) {
  CreateDirectoryW(kDir, nullptr);
  std::string fav, rec, run, ini = "[default]\r\nShowFavEdit=1\r\n[docs]\r\n";
  for (int i = 0; i < o.favourites; ++i) {
    fav += "C:\\Docs\\fav" + std::to_string(i) + ".txt*|*fav " + std::to_string(i) + "\r\n";
  }
  for (int i = 0; i < 200; ++i) rec += "http://r.example/" + std::to_string(i) + "*|*r\r\n";
  for (int i = 0; i < 20; ++i) run += "C:\\Run\\p" + std::to_string(i) + ".exe*|*p\r\n";
  for (int i = 0; i < o.records; ++i) {
    const std::string n = std::to_string(i);
    ini += "name" + n + "=page " + n + "\r\ndate" + n + "=2024-01-01\r\nRootPath" + n + "=h" +
           std::to_string(i % 50) + ".example\r\ndoctype" + n + "=1\r\npath" + n + "=http://h" +
           std::to_string(i % 50) + ".example/" + n + "\r\nselected" + n + "=0\r\n";
  }
  WriteBytes(std::wstring(kDir) + L"fav.dat", fav);
  WriteBytes(std::wstring(kDir) + L"rec.dat", rec);
  WriteBytes(std::wstring(kDir) + L"run.dat", run);
  WriteBytes(std::wstring(kDir) + L"defualt.ini", ini);
}

// Whether a save is under way: one of its temporary files is there.
bool SaveUnderWay() {
  WIN32_FIND_DATAW found;
  for (const wchar_t* pattern : {L"*.tmp", L"*.new"}) {
    HANDLE h = FindFirstFileW((std::wstring(kDir) + pattern).c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      FindClose(h);
      return true;
    }
  }
  return false;
}

// Waits, after the close was asked for, until the exit save starts or the
// program ends; true when the save started.
bool WaitForTheSave(const ChildProcess& program) {
  for (;;) {
    if (SaveUnderWay()) return true;
    if (program.WaitForExit(1)) return false;
  }
}

// The main window once its start-up load is over: the trees hold the
// history and a list box the favourites. Message boxes met on the way (a
// recovered file) are answered and counted.
HWND WaitUntilLoaded(const ChildProcess& program, const Options& o, int& boxes) {
  const HWND window = WaitForWindow(program.pid(), MainWindow::kClassName, 60000);
  if (!window || !WaitForRows(program, window, o.records, o.favourites, 120000, &boxes)) {
    return nullptr;
  }
  return window;
}

// What one end left: a list of faults, empty when every file is whole.
std::vector<std::string> Check(const std::map<std::wstring, std::string>& reference,
                               const Options& o) {
  std::vector<std::string> faults;
  for (const wchar_t* name : kFiles) {
    const std::string file = WideToUtf8(name);
    const std::string data = ReadBytes(std::wstring(kDir) + name);
    if (data == "<missing>") {
      faults.push_back(file + " missing");
      continue;
    }
    if (data.empty()) {
      faults.push_back(file + " empty");
      continue;
    }
    if (!data.ends_with("\r\n")) faults.push_back(file + " torn (no line end at its end)");
    const std::wstring key = name;
    if (key == L"fav.dat" || key == L"run.dat") {
      // Nothing in a run changes them: the same bytes after every save.
      if (data != reference.at(key)) faults.push_back(file + " differs from what was saved");
    } else if (key == L"defualt.ini") {
      if (CountOf(data, "\r\npath") < static_cast<size_t>(o.records)) {
        faults.push_back(file + " lost records");
      }
    } else if (CountOf(data, "\r\n") < CountOf(reference.at(key), "\r\n")) {
      faults.push_back(file + " lost lines");
    }
  }
  return faults;
}

int Run(const Options& o) {
  const std::wstring exe = BesideUs(L"zapdock.exe");
  // The update check stays on a dead local address.
  const std::wstring arguments = L"--servers=http://127.0.0.1:1/";
  Prepare(o);
  int boxes = 0;
  // A normal run first: its close gives the reference content and the time
  // its exit save takes, over which the ends are spread.
  DWORD save_ms = 0;
  {
    ChildProcess program(exe, arguments);
    const HWND window = WaitUntilLoaded(program, o, boxes);
    if (!window) {
      std::printf("the program did not load\n");
      return 2;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!WaitForTheSave(program)) {
      std::printf("the program closed without saving\n");
      return 2;
    }
    const DWORD start = GetTickCount();
    if (!program.WaitForExit(60000)) {
      std::printf("the program did not close\n");
      return 2;
    }
    save_ms = GetTickCount() - start;
  }
  std::map<std::wstring, std::string> reference;
  for (const wchar_t* name : kFiles) reference[name] = ReadBytes(std::wstring(kDir) + name);
  std::printf("a normal exit save took %lu ms; ending %d saves within it\n", save_ms, o.count);
  std::mt19937 random(o.seed ? o.seed : GetTickCount());
  std::uniform_int_distribution<DWORD> moment(0, save_ms + 1);
  int failed = 0, ended_running = 0;
  for (int i = 1; i <= o.count; ++i) {
    ChildProcess program(exe, arguments);
    const HWND window = WaitUntilLoaded(program, o, boxes);
    if (!window) {
      std::printf("run %d: the program did not load\n", i);
      ++failed;
      continue;
    }
    const DWORD at = moment(random);
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitForTheSave(program);
    Sleep(at);
    const bool running = !program.WaitForExit(0);
    program.Kill();
    ended_running += running;
    const std::vector<std::string> faults = Check(reference, o);
    std::printf("run %d: ended %lu ms into the exit save (%s)%s\n", i, at,
                running ? "still running" : "already gone", faults.empty() ? ", all whole" : "");
    for (const std::string& fault : faults) std::printf("  FAULT %s\n", fault.c_str());
    failed += !faults.empty();
  }
  for (const wchar_t* name : kFiles) DeleteFileW((std::wstring(kDir) + name).c_str());
  for (const wchar_t* name : {L"lr.dat", L"note.txt"}) {
    DeleteFileW((std::wstring(kDir) + name).c_str());
  }
  std::printf(
      "[ exit kill ] %d runs, %d ended while still running, %d messages at start, "
      "%d with faults\n",
      o.count, ended_running, boxes, failed);
  return failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zd

int wmain(int argc, wchar_t** argv) {
  zd::Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring flag = argv[i];
    const int value = _wtoi(argv[i + 1]);
    if (flag == L"--count") o.count = value;
    if (flag == L"--seed") o.seed = static_cast<unsigned>(value);
    if (flag == L"--favourites") o.favourites = value;
    if (flag == L"--records") o.records = value;
  }
  return zd::Run(o);
}
