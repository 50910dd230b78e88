#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include "platform/handles_win.h"
#include "platform/processes.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

std::string ImagePath(DWORD pid) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return {};
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return {};
  path.resize(size);
  return WideToUtf8(path);
}

class Win32Processes : public Processes {
 public:
  std::vector<ProcessEntry> List() override {
    std::vector<ProcessEntry> out;
    HANDLE raw = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (raw == INVALID_HANDLE_VALUE) return out;
    UniqueHandle snapshot(raw);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
      out.push_back({entry.th32ProcessID, ImagePath(entry.th32ProcessID)});
    }
    return out;
  }

  bool Terminate(uint32_t pid, uint32_t exit_code) override {
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!process || !TerminateProcess(process.get(), exit_code)) return false;
    // The file stays locked until the process is really gone.
    return WaitForSingleObject(process.get(), 5000) == WAIT_OBJECT_0;
  }

  uint32_t CurrentProcessId() override { return GetCurrentProcessId(); }

  ShellStart ShellOpen(const std::string& file, const std::string& verb,
                       const std::string& parameters) override {
    const std::wstring wfile = Utf8ToWide(file), wverb = Utf8ToWide(verb),
                       wparams = Utf8ToWide(parameters);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = wverb.empty() ? nullptr : wverb.c_str();
    info.lpFile = wfile.c_str();
    info.lpParameters = wparams.empty() ? nullptr : wparams.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info)) return ShellStart::kStarted;
    return GetLastError() == ERROR_CANCELLED ? ShellStart::kDeclined : ShellStart::kFailed;
  }

  std::string LongPath(const std::string& path) override {
    const std::wstring wide = Utf8ToWide(path);
    const DWORD needed = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0) return path;
    std::wstring out(needed, L'\0');
    const DWORD got = GetLongPathNameW(wide.c_str(), out.data(), needed);
    if (got == 0 || got >= needed) return path;
    out.resize(got);
    return WideToUtf8(out);
  }

  bool StartHidden(const std::string& application, const std::string& command_line,
                   const std::string& directory) override {
    const std::wstring app = Utf8ToWide(application), dir = Utf8ToWide(directory);
    std::wstring command = Utf8ToWide(command_line);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(app.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
      return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
  }

  bool IsElevated() override {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    UniqueHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = sizeof(elevation);
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, size, &size)) return false;
    return elevation.TokenIsElevated != 0;
  }
};

}  // namespace

std::unique_ptr<Processes> MakeSystemProcesses() { return std::make_unique<Win32Processes>(); }

}  // namespace zd
