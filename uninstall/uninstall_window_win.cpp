#include "uninstall/uninstall_window_win.h"

#include <commctrl.h>

#include <algorithm>

#include "lang/lang_tables.h"
#include "platform/text_codec.h"
#include "platform/window_class_win.h"
#include "store/AppParams.h"
#include "uninstall/self_delete.h"

namespace zd {
namespace {

constexpr int kWidth = 440, kHeight = 200;
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
  const int answer =
      MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), flags);
  if (g_cursor_hook) {
    UnhookWindowsHookEx(g_cursor_hook);
    g_cursor_hook = nullptr;
  }
  return answer;
}

TFrmUninstall::TFrmUninstall(UninstallDeps deps)
    : deps_(std::move(deps)), texts_(lang::ServiceTextsFor(deps_.language_index)) {}

POINT TFrmUninstall::Placement(int screen_w, int screen_h, int window_w, int window_h) {
  return {(screen_w - window_w) / 2 - 50, (screen_h - window_h) / 2 - 30};
}

std::unique_ptr<TFrmUninstall> TFrmUninstall::Create(HINSTANCE instance, UninstallDeps deps) {
  if (!RegisterWindowClassOnce(instance, kClassName, ObjectWindowProc<TFrmUninstall>,
                               GetSysColorBrush(COLOR_BTNFACE))) {
    return nullptr;
  }
  std::unique_ptr<TFrmUninstall> form(new TFrmUninstall(std::move(deps)));
  const int w = ScalePx(kWidth), h = ScalePx(kHeight);
  const POINT at = Placement(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), w, h);
  const std::string caption =
      lang::FormatText(form->texts_.UninstallTitle, form->deps_.context.product_name);
  CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_COMPOSITED, kClassName, Utf8ToWide(caption).c_str(),
                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, at.x, at.y, w, h, nullptr, nullptr,
                  instance, form.get());
  if (!form->hwnd_) return nullptr;
  return form;
}

TFrmUninstall::~TFrmUninstall() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void TFrmUninstall::FormCreate() {
  font_ = MessageFont();
  LOGFONTW lf{};
  GetObjectW(font_.get(), sizeof(lf), &lf);
  lf.lfUnderline = TRUE;
  link_font_.reset(CreateFontIndirectW(&lf));
  const int m = ScalePx(16), left = ScalePx(72);
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  HWND image = MakeControl(hwnd_, L"STATIC", "", WS_VISIBLE | SS_ICON, m, m, ScalePx(32),
                           ScalePx(32), kImage1, nullptr);
  SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_QUESTION)), 0);
  MakeControl(hwnd_, L"STATIC", texts_.UninstallAdvice, WS_VISIBLE | SS_LEFT, left, m,
              rc.right - left - m, ScalePx(40), kLabel1, font_.get());
  MakeControl(hwnd_, L"STATIC", texts_.UninstallLatest, WS_VISIBLE | SS_LEFT | SS_NOTIFY, left,
              m + ScalePx(48), rc.right - left - m, ScalePx(20), kLabel2, link_font_.get());
  const int bw = ScalePx(96), bh = ScalePx(28), by = rc.bottom - m - bh;
  MakeControl(hwnd_, L"BUTTON", texts_.UninstallStart, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
              rc.right - m - 2 * bw - ScalePx(8), by, bw, bh, kBtnStartUnstall, font_.get());
  MakeControl(hwnd_, L"BUTTON", texts_.UninstallClose, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
              rc.right - m - bw, by, bw, bh, kBtnClose, font_.get());
  // What the window is waiting for, while it waits.
  MakeControl(hwnd_, L"STATIC", "", WS_VISIBLE | SS_LEFT, m, by - ScalePx(28), rc.right - 2 * m,
              ScalePx(20), kLblStatus, font_.get());
}

LRESULT TFrmUninstall::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kBtnStartUnstall:
          BtnStartUnstallClick();
          break;
        case kBtnClose:
        case IDCANCEL:
          BtnCloseClick();
          break;
        case kLabel2:
          if (HIWORD(wp) == STN_CLICKED) Label2MouseDown();
          break;
      }
      return 0;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lp)) == kLabel2) {
        SetTextColor(reinterpret_cast<HDC>(wp), RGB(0, 70, 180));
        SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == control(kLabel2)) {
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
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

int TFrmUninstall::Message(const std::string& text, UINT flags) {
  const std::string caption = lang::FormatText(texts_.UninstallTitle, deps_.context.product_name);
  if (deps_.message_box) return deps_.message_box(hwnd_, text, caption, flags);
  return MessageBoxAtCursor(hwnd_, text, caption, flags);
}

void TFrmUninstall::BtnCloseClick() { DestroyWindow(hwnd_); }

void TFrmUninstall::Label2MouseDown() {
  if (!deps_.home_page.empty()) deps_.processes->ShellOpen(deps_.home_page, "open", "");
}

HWND TFrmUninstall::RunningProgram() const {
  if (deps_.main_window_class.empty()) return nullptr;
  HWND running = FindWindowW(deps_.main_window_class.c_str(), nullptr);
  DWORD pid = 0;
  if (running) GetWindowThreadProcessId(running, &pid);
  return pid == GetCurrentProcessId() ? nullptr : running;
}

bool TFrmUninstall::AskRunningProgramToClose() {
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

void TFrmUninstall::SetBusy(bool busy) {
  busy_ = busy;
  EnableWindow(control(kBtnStartUnstall), !busy);
}

void TFrmUninstall::Exit() {
  if (deps_.exit_process) {
    deps_.exit_process();
  } else {
    // At once: the script waits for the executable to be free.
    ExitProcess(0);
  }
}

void TFrmUninstall::BtnStartUnstallClick() {
  if (busy_) return;
  SetBusy(true);
  if (!AskRunningProgramToClose()) {
    Remove();
    return;
  }
  // Waited for on a timer: the window keeps answering, and its wait is bounded.
  outcome_ = Outcome::kWaitingForClose;
  wait_started_ = GetTickCount64();
  SetTextUtf8(control(kLblStatus),
              lang::FormatText(texts_.UninstallWaiting, deps_.context.product_name));
  SetTimer(hwnd_, kTimerCloseWait, kCloseWaitTickMs, nullptr);
}

void TFrmUninstall::TimerCloseWaitTimer() {
  const bool process_gone =
      !waited_process_ || WaitForSingleObject(waited_process_.get(), 0) == WAIT_OBJECT_0;
  HWND running = RunningProgram();
  if (!running && process_gone) {
    KillTimer(hwnd_, kTimerCloseWait);
    waited_process_.reset();
    SetTextUtf8(control(kLblStatus), "");
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
  SetTextUtf8(control(kLblStatus), "");
  outcome_ = Outcome::kStillRunning;
  SetBusy(false);
  Message(lang::FormatText(texts_.UninstallStillRunning, deps_.context.product_name),
          MB_OK | MB_ICONWARNING);
}

void TFrmUninstall::Remove() {
  struct Done {
    TFrmUninstall& form;
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
  if (!plan || !StartSelfDelete(*plan, *deps_.files, *deps_.removal, *deps_.processes)) {
    outcome_ = Outcome::kNoScript;
    Message(lang::FormatText(texts_.UninstallNoScript, FolderOf(deps_.context.exe_path)),
            MB_OK | MB_ICONWARNING);
    return;
  }
  outcome_ = Outcome::kRemoved;
  Exit();
}

int RunUninstallMode(HINSTANCE instance, const std::vector<std::string>& args,
                     const std::string& exe_path, const std::wstring& main_window_class) {
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
  std::unique_ptr<TFrmUninstall> form = TFrmUninstall::Create(instance, deps);
  if (!form) return 1;
  ShowWindow(form->hwnd(), SW_SHOWNORMAL);
  if (deps.elevated_start) {
    PostMessageW(form->hwnd(), WM_COMMAND, TFrmUninstall::kBtnStartUnstall, 0);
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (form->hwnd() && IsDialogMessageW(form->hwnd(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace zd
