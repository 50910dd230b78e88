#include "online/update_window_win.h"

#include <commctrl.h>

#include <thread>

namespace zd {
namespace {

constexpr int kWidth = 420, kHeight = 170;

const std::string& MessageText(const lang::ServiceTexts& t, UpdateMessage message) {
  switch (message) {
    case UpdateMessage::kAddressFailed:
      return t.DownloadAddressFailed;
    case UpdateMessage::kCheckFailed:
      return t.UpdateCheckFailed;
    case UpdateMessage::kElevationDeclined:
      return t.UpdateElevationDeclined;
    case UpdateMessage::kStartFailed:
      return t.UpdateStartFailed;
    case UpdateMessage::kNone:
    case UpdateMessage::kDownloadFailed:
      break;
  }
  return t.DownloadFailed;
}

}  // namespace

std::unique_ptr<UpdateWindow> UpdateWindow::Create(HWND owner, Deps deps) {
  std::unique_ptr<UpdateWindow> window(new UpdateWindow(std::move(deps)));
  window->set_message_box(window->deps_.message_box);
  const std::string caption = window->deps_.texts->UpdateWindowCaption;
  return Made(std::move(window),
              CreateArgs::Dialog(L"ZapdockUpdateWindow", caption, owner, kWidth, kHeight));
}

UpdateWindow::~UpdateWindow() {
  job_.Stop(BackgroundJob<UpdateResult>::kStopWaitMs);
  // A checked setup that never got to run is not left behind.
  if (setup_) setup_->Discard();
  if (hwnd_) DestroyWindow(hwnd_);
}

void UpdateWindow::OnCreate() {
  constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
  ControlFactory& f = factory_;
  f.Make(LblHint, L"STATIC", "", kShown | SS_LEFT, hwnd_, 0, 0, 0, 0, 0, Fonts::kMessage);
  f.Make(Progress, PROGRESS_CLASSW, "", kShown | PBS_SMOOTH, hwnd_, 0, 0, 0, 0);
  f.Make(BtnCancel, L"BUTTON", deps_.texts->UpdateCancel, kShown | WS_TABSTOP | BS_PUSHBUTTON,
         hwnd_, 0, 0, 0, 0, 0, Fonts::kMessage);
  // The cancel button is the same as closing the window.
  OnClick(BtnCancel, [this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); });
}

void UpdateWindow::Layout() {
  const auto [w, h] = ClientSize();
  const int m = Px(16), bw = Px(88), bh = Px(26);
  LblHint.Place(m, m, w - 2 * m, Px(20));
  Progress.Place(m, m + Px(32), w - 2 * m, Px(20));
  BtnCancel.Place(w - m - bw, h - m - bh, bw, bh);
}

LRESULT UpdateWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      // Escape: the same as closing the window.
      if (LOWORD(wp) == IDCANCEL) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
      return 0;
    case WM_TIMER:
      if (wp == kTimer1) Timer1Timer();
      if (wp == kTimerWait) TimerWaitTimer();
      return 0;
    case kJobMessage:
      if (wp == static_cast<WPARAM>(JobEvent::kDone)) {
        OnDone();
      } else {
        OnProgress();
      }
      return 0;
    case WM_CLOSE:
      // Closing cancels the download: no setup starts after this.
      if (outcome_ == Outcome::kWaiting || outcome_ == Outcome::kDownloading) {
        outcome_ = Outcome::kCancelled;
      }
      job_.Stop(BackgroundJob<UpdateResult>::kStopWaitMs);
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd_, kTimer1);
      KillTimer(hwnd_, kTimerWait);
      job_.Stop(BackgroundJob<UpdateResult>::kStopWaitMs);
      return 0;
  }
  return Window::OnMessage(msg, wp, lp);
}

void UpdateWindow::Begin(const UpdateOffer& offer) {
  offer_ = offer;
  outcome_ = Outcome::kWaiting;
  shown_done_ = shown_total_ = 0;
  SendMessageW(Progress.hwnd(), PBM_SETRANGE32, 0, 100);
  Progress.SetPosition(0);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  SetTimer(hwnd_, kTimer1, static_cast<UINT>(deps_.start_ms), nullptr);
}

void UpdateWindow::ShowModal(const UpdateOffer& offer, HWND owner) {
  Begin(offer);
  RunModal(owner);
}

void UpdateWindow::Timer1Timer() {
  KillTimer(hwnd_, kTimer1);
  LblHint.SetText(deps_.texts->UpdateInProgress);
  // The wait keeps the window answering, unlike a sleep.
  SetTimer(hwnd_, kTimerWait, static_cast<UINT>(deps_.wait_ms), nullptr);
}

void UpdateWindow::TimerWaitTimer() {
  KillTimer(hwnd_, kTimerWait);
  UpdateJob job;
  job.offer = offer_;
  job.target_path = deps_.target_path;
  job.key = deps_.key;
  job.timeout_ms = deps_.timeout_ms;
  job.deadline_ms = deps_.deadline_ms;
  HttpClient* http = deps_.http;
  HeldFiles* files = deps_.held_files;
  Processes* processes = deps_.processes;
  const HWND target = hwnd_;
  outcome_ = Outcome::kDownloading;
  job_.Start(
      [job, http, files, processes](const BackgroundJob<UpdateResult>::Context& c) {
        return DownloadAndVerify(job, *http, *files, *processes, c.cancel, c.report, [](int ms) {
          std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        });
      },
      [target](JobEvent event) {
        PostMessageW(target, kJobMessage, static_cast<WPARAM>(event), 0);
      });
}

void UpdateWindow::OnProgress() {
  const auto [done, total] = job_.Progress();
  // The bar counts in 32-bit steps: large files are shown in KiB.
  const int shift = total > 0x7FFFFFFF ? 10 : 0;
  // A server that announces no length: the signed size is the whole.
  const uint64_t range = total ? total : std::max<uint64_t>(std::max(offer_.size, done), 1);
  SendMessageW(Progress.hwnd(), PBM_SETRANGE32, 0, static_cast<LPARAM>(range >> shift));
  Progress.SetPosition(static_cast<int>(done >> shift));
  shown_done_ = std::max(shown_done_, done);
  shown_total_ = range;
}

void UpdateWindow::Fail(UpdateMessage message) {
  outcome_ = Outcome::kFailed;
  message_ = message;
  // When the program has already closed for the setup, its quit request
  // would end the message box at once: the user must still read it.
  MSG quit{};
  const bool quitting = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
  if (deps_.message_box && message != UpdateMessage::kNone) {
    ShowMessage(MessageText(*deps_.texts, message), deps_.texts->UpdateWindowCaption,
                MB_OK | MB_ICONWARNING);
  }
  if (quitting) PostQuitMessage(static_cast<int>(quit.wParam));
  if (hwnd_) DestroyWindow(hwnd_);
}

void UpdateWindow::OnDone() {
  std::optional<UpdateResult> result = job_.Take();
  if (outcome_ != Outcome::kDownloading) return;
  if (!result || result->failure != UpdateFailure::kNone || !result->setup) {
    const UpdateMessage message =
        result ? MessageForFailure(result->failure, result->http) : UpdateMessage::kDownloadFailed;
    Fail(message == UpdateMessage::kNone ? UpdateMessage::kDownloadFailed : message);
    return;
  }
  OnProgress();
  setup_ = std::move(result->setup);
  // Everything is saved and the main window closed before the setup runs;
  // the setup holds no lock on a running copy of us.
  const MainWindowClose closed =
      deps_.save_and_exit ? deps_.save_and_exit() : MainWindowClose::kClosed;
  switch (closed) {
    case MainWindowClose::kClosed:
      StartSetup();
      return;
    case MainWindowClose::kAfterLoad:
      // The load runs below us on this thread: this window must go for it to
      // end; the checked setup stays held until the main window has gone.
      outcome_ = Outcome::kWaitingForClose;
      if (hwnd_) DestroyWindow(hwnd_);
      return;
    case MainWindowClose::kRefused:
      break;
  }
  setup_->Discard();
  setup_.reset();
  outcome_ = Outcome::kCancelled;
  if (hwnd_) DestroyWindow(hwnd_);
}

void UpdateWindow::MainWindowClosed() {
  if (outcome_ == Outcome::kWaitingForClose) StartSetup();
}

void UpdateWindow::StartSetup() {
  if (!setup_) return;
  // Started while we still hold the file against writers: what runs is
  // what was checked.
  const ShellStart started = deps_.processes->ShellOpen(setup_->path(), "open", "");
  if (started != ShellStart::kStarted) {
    setup_->Discard();
    setup_.reset();
    Fail(started == ShellStart::kDeclined ? UpdateMessage::kElevationDeclined
                                          : UpdateMessage::kStartFailed);
    return;
  }
  outcome_ = Outcome::kStarted;
  setup_.reset();
  if (hwnd_) DestroyWindow(hwnd_);
}

}  // namespace zd
