// Program entry: normal start or uninstall mode, one running copy at a time.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "lang/lang_tables.h"
#include "lang/service_texts.h"
#include "mainwin/form_model.h"
#include "mainwin/main_window_win.h"
#include "online/online_services_win.h"
#include "platform/browser_host_win.h"
#include "platform/dll_search_win.h"
#include "platform/errors.h"
#include "platform/handles_win.h"
#include "platform/shared_files.h"
#include "platform/wide_win.h"
#include "platform/window_win.h"
#include "store/program_files.h"
#include "uninstall/uninstall_window_win.h"

namespace {

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.push_back(zd::WideToUtf8(argv[i]));
  LocalFree(argv);
  return args;
}

std::string ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got < path.size()) {
      path.resize(got);
      break;
    }
    path.resize(path.size() * 2);
  }
  return zd::WideToUtf8(path);
}

// Hands the start over to the copy already running: two copies would
// overwrite each other's lists at exit. A copy whose window is closing (its
// exit save runs) does not take it, nor does one too busy to answer.
bool ForwardToRunningInstance() {
  HWND running = FindWindowW(zd::MainWindow::kClassName, nullptr);
  if (!running) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(running, &pid);
  AllowSetForegroundWindow(pid);
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(running, zd::MainWindow::ShowRequestMessage(), 0, 0,
                           SMTO_ABORTIFHUNG | SMTO_BLOCK, 300, &answer)) {
    return false;
  }
  // An earlier version answers 0 and shows itself.
  return answer != zd::MainWindow::kClosingAnswer;
}

// Waits for the running copy's mutex: it is let go when that copy ends.
// The waiting window is served meanwhile.
bool WaitForMutex(HANDLE mutex, int ms) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(ms);
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= until) return false;
    const DWORD result =
        MsgWaitForMultipleObjects(1, &mutex, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0) return true;
    if (result != WAIT_OBJECT_0 + 1) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

// Says why the start waits: a small box in the middle of the screen, its
// text readable by other programs as the window's own.
zd::UniqueWindow ShowStartWaiting(HINSTANCE instance, const std::string& text) {
  const int width = 420, height = 90;
  HWND box = CreateWindowExW(
      WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME, L"STATIC",
      zd::Utf8ToWide(text).c_str(), WS_POPUP | WS_BORDER | SS_CENTER | SS_CENTERIMAGE,
      (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
      width, height, nullptr, nullptr, instance, nullptr);
  if (box) {
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    ShowWindow(box, SW_SHOWNOACTIVATE);
    UpdateWindow(box);
  }
  return zd::UniqueWindow(box);
}

void TellStart(const std::string& text, const std::wstring& title) {
  MessageBoxW(nullptr, zd::Utf8ToWide(text).c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
}

// The hidden window that owns the main window, so the main window gets no
// taskbar button.
HWND CreateApplicationWindow(HINSTANCE instance, const std::wstring& title) {
  constexpr wchar_t kClass[] = L"ZapdockApplication";
  zd::RegisterWindowClassOnce(instance, kClass, DefWindowProcW, nullptr);
  HWND app = CreateWindowExW(WS_EX_TOOLWINDOW, kClass, title.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, instance, nullptr);
  if (app) {
    ShowWindow(app, SW_HIDE);
    SetWindowLongPtrW(app, GWL_EXSTYLE, GetWindowLongPtrW(app, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  }
  return app;
}

}  // namespace

// What ends the program when an exception escapes everything: the library's
// own handler, which this replaces, writes the exception's type to a console
// a window program does not have, and with its name demangler weighs 50 KB.
// This one records the exception like any caught failure and ends the
// program the same way, by abort().
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  if (const std::exception_ptr escaped = std::current_exception()) {
    try {
      std::rethrow_exception(escaped);
    } catch (...) {
      zd::RecordCurrentException("terminate");
    }
  }
  std::abort();
}
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before anything loads a DLL: none from the program's own folder.
  zd::RestrictDllSearchToSystemFolder();
  zd::InitProgramValues();
  const std::vector<std::string> args = CommandLineArguments();
  if (zd::IsUninstallStart(args)) {
    return zd::RunUninstallMode(args, ModulePath(), zd::MainWindow::kClassName);
  }

  const std::wstring title = L"MRXZapdock";
  const zd::lang::ServiceTexts& service = zd::lang::ServiceTextsFor(zd::lang::LanguageIndex);
  // One copy a session. The running copy owns the mutex until its very end,
  // after its exit save: a start meanwhile waits for it.
  zd::UniqueHandle mutex(CreateMutexW(nullptr, TRUE, L"Local\\Zapdock.VAROV.SingleInstance"));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    zd::UniqueWindow waiting;
    zd::PreviousCopy previous;
    previous.hand_over = ForwardToRunningInstance;
    previous.wait_for_end = [&mutex](int ms) { return WaitForMutex(mutex.get(), ms); };
    previous.show_waiting = [&] {
      waiting = ShowStartWaiting(instance,
                                 zd::lang::FormatText(service.StartWaiting, zd::WideToUtf8(title)));
    };
    const zd::StartGate gate = zd::WaitForPreviousCopy(previous);
    waiting.reset();
    if (gate == zd::StartGate::kGaveUp) {
      TellStart(zd::lang::FormatText(service.StartGaveUp, zd::WideToUtf8(title)), title);
    }
    if (gate != zd::StartGate::kGoOn) return 0;
  }

  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  OleInitialize(nullptr);

  std::unique_ptr<zd::Files> files = zd::MakeSystemFiles();
  std::unique_ptr<zd::Registry> registry = zd::MakeSystemRegistry();
  // Before any window: a folder another session's copy uses is left alone.
  zd::ConfigDirChoice config =
      zd::ChooseConfigDir(*files, registry.get(), zd::SystemUserFolders().local,
                          [](int ms) { Sleep(static_cast<DWORD>(ms)); });
  if (config.in_use) {
    TellStart(zd::lang::FormatText(service.StartInUse, config.dir), title);
    return 0;
  }
  if (config.dir.empty()) {
    TellStart(zd::lang::FormatText(service.StartNoOwnFolder, config.foreign), title);
    return 0;
  }
  HWND app = CreateApplicationWindow(instance, title);
  std::unique_ptr<zd::AnsiCodec> codec = zd::MakeSystemCodec();
  std::unique_ptr<zd::WindowSystem> windows = zd::MakeSystemWindowSystem();
  std::unique_ptr<zd::ShellWindows> shell = zd::MakeSystemShellWindows();

  zd::MainWindowDeps deps;
  deps.config = &config;
  deps.files = files.get();
  deps.codec = codec.get();
  deps.registry = registry.get();
  deps.windows = windows.get();
  deps.shell = shell.get();
  deps.exe_path = ModulePath();
  deps.application_title = zd::WideToUtf8(title);
  deps.owner = app;
  std::unique_ptr<zd::MainWindow> form = zd::MainWindow::Create(deps);
  if (!form) return 1;

  // The update check; a test run may name its own servers ("--servers=a,b").
  zd::OnlineDeps online_deps;
  online_deps.servers = zd::ServersFromArguments(args);
  online_deps.app_key = zd::AppKey;
  online_deps.version = zd::ProductVersion;
  online_deps.product_title = zd::ProductName;
  // The vendor's pages in the hosted browser, where the system has an HTML engine.
  online_deps.page_views = zd::BrowserHost::MakePageView;
  const HWND main_window = form->hwnd();
  zd::MainWindow* main_form = form.get();
  online_deps.save_and_exit = [main_form] { return main_form->CloseForUpdate(); };
  std::unique_ptr<zd::OnlineServices> online =
      zd::OnlineServices::CreateOnSystem(instance, main_window, online_deps);
  // The content page on "我的主页" starts the server search a second later.
  form->AttachOnline(online.get());
  form->ShowAnimated();

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (form->hwnd() && form->FormShortCut(msg)) continue;
    if (IsDialogMessageW(form->hwnd() ? form->hwnd() : msg.hwnd, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  online.reset();
  form.reset();
  if (app) DestroyWindow(app);
  OleUninitialize();
  // Everything is saved: the folder, then the session's mutex, go to the
  // next start, in that order.
  config.lock.reset();
  if (mutex) ReleaseMutex(mutex.get());
  return 0;
}
