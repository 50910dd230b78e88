#include "uninstall/uninstall_window_win.h"

#include <commctrl.h>

#include <algorithm>

#include "lang/lang_tables.h"
#include "platform/dll_search_win.h"
#include "platform/text_codec.h"
#include "platform/wide_win.h"
#include "store/program_files.h"
#include "uninstall/self_delete.h"

namespace zd {
namespace {

constexpr int kWidth = 440, kHeight = 200;
// The form's rule: left of and above the middle.
constexpr POINT kFromMiddle = {-50, -30};
thread_local HHOOK g_cursor_hook = nullptr;

// Moves the message box to the cursor as it is activated the first time.
LRESULT CALLBACK CursorHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_ACTIVATE) {
    POINT at{};
    GetCursorPos(&at);
    HWND box = reinterpret_cast<HWND>(wp);
    RECT rc{};
    GetWindowRect(box, &rc);
    // Kept on the cursor's monitor.
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &mi);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    const int x = std::max<int>(mi.rcWork.left, std::min<int>(at.x, mi.rcWork.right - w));
    const int y = std::max<int>(mi.rcWork.top, std::min<int>(at.y, mi.rcWork.bottom - h));
    SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HHOOK hook = g_cursor_hook;
    g_cursor_hook = nullptr;
    if (hook) UnhookWindowsHookEx(hook);
    return 0;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

int MessageBoxAtCursor(HWND owner, const std::string& text, const std::string& caption,
                       UINT flags) {
  g_cursor_hook = SetWindowsHookExW(WH_CBT, CursorHook, nullptr, GetCurrentThreadId());
  const int answer = ShowMessageBox(nullptr, owner, text, caption, flags);
  if (g_cursor_hook) {
    UnhookWindowsHookEx(g_cursor_hook);
    g_cursor_hook = nullptr;
  }
  return answer;
}

UninstallWindow::UninstallWindow(UninstallDeps deps)
    : deps_(std::move(deps)), texts_(lang::ServiceTextsFor(deps_.language_index)) {
  set_message_box(deps_.message_box ? deps_.message_box : MessageBoxFn(MessageBoxAtCursor));
}

POINT UninstallWindow::Placement(int screen_w, int screen_h, int window_w, int window_h) {
  return {(screen_w - window_w) / 2 + kFromMiddle.x, (screen_h - window_h) / 2 + kFromMiddle.y};
}

std::unique_ptr<UninstallWindow> UninstallWindow::Create(UninstallDeps deps) {
  std::unique_ptr<UninstallWindow> window(new UninstallWindow(std::move(deps)));
  CreateArgs args = CreateArgs::Dialog(
      kClassName,
      lang::FormatText(window->texts_.UninstallTitle, window->deps_.context.product_name), nullptr,
      kWidth, kHeight);
  // A window of its own (the program's only one in this mode), not a dialog.
  args.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  args.ex_style = WS_EX_CONTROLPARENT | WS_EX_COMPOSITED;
  args.centre_offset = kFromMiddle;
  return Made(std::move(window), args);
}

UninstallWindow::~UninstallWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void UninstallWindow::OnCreate() {
  constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
  ControlFactory& f = factory_;
  f.Make(Picture, L"STATIC", "", kShown | SS_ICON, hwnd_, 16, 16, 32, 32);
  SendMessageW(Picture.hwnd(), STM_SETICON,
               reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_QUESTION)), 0);
  f.Make(LblAdvice, L"STATIC", texts_.UninstallAdvice, kShown | SS_LEFT, hwnd_, 0, 0, 0, 0, 0,
         Fonts::kMessage);
  f.Make(LblLatest, L"STATIC", texts_.UninstallLatest, kShown | SS_LEFT | SS_NOTIFY, hwnd_, 0, 0, 0,
         0, 0, Fonts::kLink);
  f.Make(BtnStartUnstall, L"BUTTON", texts_.UninstallStart, kShown | WS_TABSTOP | BS_DEFPUSHBUTTON,
         hwnd_, 0, 0, 0, 0, 0, Fonts::kMessage);
  f.Make(BtnClose, L"BUTTON", texts_.UninstallClose, kShown | WS_TABSTOP | BS_PUSHBUTTON, hwnd_, 0,
         0, 0, 0, 0, Fonts::kMessage);
  f.Make(LblStatus, L"STATIC", "", kShown | SS_LEFT, hwnd_, 0, 0, 0, 0, 0, Fonts::kMessage);
  OnClick(BtnStartUnstall, [this] { BtnStartUnstallClick(); });
  OnClick(BtnClose, [this] { BtnCloseClick(); });
  OnClick(LblLatest, [this] { Label2MouseDown(); });
}

void UninstallWindow::Layout() {
  const auto [w, h] = ClientSize();
  const int m = Px(16), left = Px(72);
  LblAdvice.Place(left, m, w - left - m, Px(40));
  LblLatest.Place(left, m + Px(48), w - left - m, Px(20));
  const int bw = Px(96), bh = Px(28), by = h - m - bh;
  BtnStartUnstall.Place(w - m - 2 * bw - Px(8), by, bw, bh);
  BtnClose.Place(w - m - bw, by, bw, bh);
  LblStatus.Place(m, by - Px(28), w - 2 * m, Px(20));
}

LRESULT UninstallWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL) BtnCloseClick();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) == LblLatest.hwnd()) {
        SetTextColor(reinterpret_cast<HDC>(wp), RGB(0, 70, 180));
        SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == LblLatest.hwnd()) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_TIMER:
      if (wp == kTimerCloseWait) TimerCloseWaitTimer();
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd_, kTimerCloseWait);
      PostQuitMessage(0);
      return 0;
  }
  return Window::OnMessage(msg, wp, lp);
}

int UninstallWindow::Message(const std::string& text, UINT flags) {
  return ShowMessage(text, lang::FormatText(texts_.UninstallTitle, deps_.context.product_name),
                     flags);
}

void UninstallWindow::BtnCloseClick() { DestroyWindow(hwnd_); }

void UninstallWindow::Label2MouseDown() {
  if (!deps_.home_page.empty()) deps_.processes->ShellOpen(deps_.home_page, "open", "");
}

HWND UninstallWindow::RunningProgram() const {
  if (deps_.main_window_class.empty()) return nullptr;
  HWND running = FindWindowW(deps_.main_window_class.c_str(), nullptr);
  DWORD pid = 0;
  if (running) GetWindowThreadProcessId(running, &pid);
  return pid == GetCurrentProcessId() ? nullptr : running;
}

bool UninstallWindow::AskRunningProgramToClose() {
  HWND running = RunningProgram();
  if (!running) return false;
  // The running copy saves as it does at every close; we wait for its
  // process to end, not only for its window.
  DWORD pid = 0;
  GetWindowThreadProcessId(running, &pid);
  waited_process_.reset(OpenProcess(SYNCHRONIZE, FALSE, pid));
  PostMessageW(running, WM_CLOSE, 0, 0);
  return true;
}

void UninstallWindow::SetBusy(bool busy) {
  busy_ = busy;
  EnableWindow(BtnStartUnstall.hwnd(), !busy);
}

void UninstallWindow::Exit() {
  if (deps_.exit_process) {
    deps_.exit_process();
  } else {
    // At once: the script waits for the executable to be free.
    ExitProcess(0);
  }
}

void UninstallWindow::BtnStartUnstallClick() {
  if (busy_) return;
  SetBusy(true);
  if (!AskRunningProgramToClose()) {
    Remove();
    return;
  }
  // Waited for on a timer: the window keeps answering, and its wait is bounded.
  outcome_ = Outcome::kWaitingForClose;
  wait_started_ = GetTickCount64();
  LblStatus.SetText(lang::FormatText(texts_.UninstallWaiting, deps_.context.product_name));
  SetTimer(hwnd_, kTimerCloseWait, kCloseWaitTickMs, nullptr);
}

void UninstallWindow::TimerCloseWaitTimer() {
  const bool process_gone =
      !waited_process_ || WaitForSingleObject(waited_process_.get(), 0) == WAIT_OBJECT_0;
  HWND running = RunningProgram();
  if (!running && process_gone) {
    KillTimer(hwnd_, kTimerCloseWait);
    waited_process_.reset();
    LblStatus.SetText("");
    Remove();
    return;
  }
  const ULONGLONG waited = GetTickCount64() - wait_started_;
  if (waited < static_cast<ULONGLONG>(deps_.close_wait_ms)) {
    // Asked again now and then: a close that arrived during its start-up
    // load is only kept for later, and a second copy may have come.
    if (running && waited % 1000 < kCloseWaitTickMs) PostMessageW(running, WM_CLOSE, 0, 0);
    return;
  }
  KillTimer(hwnd_, kTimerCloseWait);
  waited_process_.reset();
  LblStatus.SetText("");
  outcome_ = Outcome::kStillRunning;
  SetBusy(false);
  Message(lang::FormatText(texts_.UninstallStillRunning, deps_.context.product_name),
          MB_OK | MB_ICONWARNING);
}

void UninstallWindow::Remove() {
  struct Done {
    UninstallWindow& form;
    ~Done() {
      if (form.hwnd_) form.SetBusy(false);
    }
  } done{*this};
  const AccessProblems problems = CheckAccess(deps_.context, *deps_.registry, *deps_.removal);
  const bool elevated = deps_.processes->IsElevated();
  if (ChooseElevation(problems, elevated, deps_.elevated_start) ==
      ElevationChoice::kRelaunchElevated) {
    // This user's own shortcuts and keys first: the elevated copy may run
    // as an administrator of another name.
    RunRemoval(deps_.context, *deps_.registry, *deps_.removal, *deps_.folders,
               RemovalScope::kUserOnly);
    if (deps_.processes->ShellOpen(deps_.context.exe_path, "runas",
                                   std::string("uninstall ") + kElevatedOption) ==
        ShellStart::kStarted) {
      outcome_ = Outcome::kRelaunched;
      DestroyWindow(hwnd_);
      return;
    }
  }
  report_ = RunRemoval(deps_.context, *deps_.registry, *deps_.removal, *deps_.folders);
  if (!report_.AllRemoved()) {
    // Never "removed" for something that is still there; the program stays
    // so that the uninstall can be run again.
    std::string list;
    for (const StepOutcome& s : report_.Failures()) list += s.target + "\n";
    if (!report_.completed) list += "…\n";
    outcome_ = Outcome::kIncomplete;
    Message(lang::FormatText(texts_.UninstallIncomplete, list), MB_OK | MB_ICONWARNING);
    return;
  }
  Message(lang::FormatText(texts_.UninstallDone, deps_.context.product_name),
          MB_OK | MB_ICONINFORMATION);
  const std::unique_ptr<AnsiCodec> oem =
      MakeCodec(deps_.oem_code_page ? deps_.oem_code_page : static_cast<int>(GetOEMCP()));
  std::optional<ScriptPlan> plan;
  deps_.removal->MakeDeletable(deps_.context.exe_path);
  const std::string system_dir = deps_.files->SystemDirectory();
  if (oem) {
    plan = PlanSelfDelete(deps_.context.exe_path, system_dir, *deps_.folders, *deps_.removal, *oem,
                          elevated);
  }
  // Away from the program's folder, so that the folder is not held open.
  SetCurrentDirectoryW(Utf8ToWide(system_dir).c_str());
  if (!plan || !StartSelfDelete(*plan, *deps_.folders, *deps_.removal, *deps_.processes)) {
    outcome_ = Outcome::kNoScript;
    Message(lang::FormatText(texts_.UninstallNoScript, FolderOf(deps_.context.exe_path)),
            MB_OK | MB_ICONWARNING);
    return;
  }
  outcome_ = Outcome::kRemoved;
  Exit();
}

int RunUninstallMode(const std::vector<std::string>& args, const std::string& exe_path,
                     const std::wstring& main_window_class) {
  // The elevated copy runs from the program's folder: no DLL from there
  // (the entry has done so already; this start must not depend on it).
  RestrictDllSearchToSystemFolder();
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  std::unique_ptr<Files> files = MakeSystemFiles();
  std::unique_ptr<RegistryKeys> registry = MakeSystemRegistryKeys();
  std::unique_ptr<FileRemoval> removal = MakeSystemFileRemoval();
  std::unique_ptr<ShellFolders> folders = MakeSystemShellFolders();
  std::unique_ptr<Processes> processes = MakeSystemProcesses();
  UninstallDeps deps;
  deps.registry = registry.get();
  deps.removal = removal.get();
  deps.folders = folders.get();
  deps.files = files.get();
  deps.processes = processes.get();
  // In this mode the language tables are not loaded: the product keeps its
  // entry name.
  deps.context = {exe_path, ProductName, AppKey, OwnLogonValueName(lang::LanguageIndex)};
  deps.language_index = lang::LanguageIndex;
  deps.main_window_class = main_window_class;
  deps.elevated_start = HonoursElevatedStart(args, processes->IsElevated());
  deps.home_page = kVendorHomePage;
  std::unique_ptr<UninstallWindow> form = UninstallWindow::Create(deps);
  if (!form) return 1;
  ShowWindow(form->hwnd(), SW_SHOWNORMAL);
  // From the loop, as the user's click would come.
  if (deps.elevated_start) form->BtnStartUnstall.PostClick();
  form->RunModal(nullptr);
  return 0;
}

}  // namespace zd
