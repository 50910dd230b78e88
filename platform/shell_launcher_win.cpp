// The Windows shell behind ShellLauncher.
#include <windows.h>
// windows.h must come first
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "platform/com_ptr_win.h"
#include "platform/drives_win.h"
#include "platform/handles_win.h"
#include "platform/path_probe_win.h"
#include "platform/shell_launcher.h"
#include "platform/wide_win.h"
#include "platform/wow64_path_win.h"

namespace zd {
namespace {

void FreeIdList(LPITEMIDLIST list) { CoTaskMemFree(list); }
using UniqueIdList = UniqueAny<LPITEMIDLIST, FreeIdList>;

// An empty text is "no text" to the shell (a null pointer), not "".
const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

class WinShellLauncher : public ShellLauncher {
 public:
  explicit WinShellLauncher(WindowId owner) : owner_(reinterpret_cast<HWND>(owner)) {}

  bool Execute(const ShellExecuteRequest& request) override {
    const std::wstring verb = Utf8ToWide(request.verb);
    const std::wstring file = RealProgramPath(request.file);
    const std::wstring parameters = Utf8ToWide(request.parameters);
    // ShellExecute answers a value above 32 for success.
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(owner_, OrNull(verb), file.c_str(),
                                                                OrNull(parameters), nullptr,
                                                                static_cast<int>(request.show)));
    return result > 32;
  }

  bool OpenSpecialFolder(int csidl) override {
    LPITEMIDLIST raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &raw)) || !raw) return false;
    UniqueIdList list(raw);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_IDLIST | SEE_MASK_FLAG_DDEWAIT;
    info.lpVerb = L"open";
    info.lpIDList = list.get();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
  }

  bool MinimizeAll() override {
    // By its program identifier and late-bound, as a script would.
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"Shell.Application", &clsid))) return false;
    ComPtr<IDispatch> shell;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IDispatch, shell.PutVoid()))) {
      return false;
    }
    wchar_t name[] = L"MinimizeAll";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    if (FAILED(shell->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
    DISPPARAMS none{};
    return SUCCEEDED(shell->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none,
                                   nullptr, nullptr, nullptr));
  }

  bool StartCommandLine(const std::string& command_line, ShowMode show) override {
    // What WinExec does, without its 8-bit command line.
    std::wstring line = Utf8ToWide(command_line);
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      return false;
    }
    UniqueHandle thread(process.hThread);
    UniqueHandle handle(process.hProcess);
    return true;
  }

  bool FileExists(const std::string& path) override { return ProbePath(path) == PathAnswer::kFile; }

  bool DirectoryExists(const std::string& path) override {
    return ProbePath(path) == PathAnswer::kFolder;
  }

  PathAnswer QueryPath(const std::string& path) override { return ProbePath(path); }

  DriveKind DriveType(const std::string& root) override { return Win32DriveKind(root); }

  bool UsbAttached(const std::string& root) override { return Win32UsbAttached(root); }

  std::string ExpandEnvironment(const std::string& text) override {
    const std::wstring wide = Utf8ToWide(text);
    const DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (needed == 0) return text;
    std::wstring out(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(wide.c_str(), out.data(), needed);
    if (written == 0 || written > needed) return text;
    out.resize(written - 1);  // without the terminating zero
    return WideToUtf8(out);
  }

  std::string SystemDirectory() override {
    wchar_t buffer[MAX_PATH + 1];
    const UINT n = GetSystemDirectoryW(buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return WithoutTrailingBackslash(WideToUtf8(std::wstring_view(buffer, n)));
  }

  std::string WindowsDirectory() override {
    wchar_t buffer[MAX_PATH + 1];
    // The system-wide Windows folder, also on a terminal server.
    const UINT n = GetSystemWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return WithoutTrailingBackslash(WideToUtf8(std::wstring_view(buffer, n)));
  }

  void SetOwner(WindowId owner) override { owner_ = reinterpret_cast<HWND>(owner); }

 private:
  HWND owner_;
};

}  // namespace

std::unique_ptr<ShellLauncher> MakeSystemShellLauncher(WindowId owner) {
  return std::make_unique<WinShellLauncher>(owner);
}

}  // namespace zd
