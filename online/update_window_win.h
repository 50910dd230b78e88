// The update window. It shows the progress of the download,
// which runs on a worker thread; a setup that passed its checks is started
// after the program has saved and closed (at the end of the start-up load
// when that is running). Its cancel button, like closing it, cancels the
// download and keeps the setup from starting.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "lang/service_texts.h"
#include "online/background_job.h"
#include "online/update_check.h"
#include "platform/controls_win.h"
#include "platform/handles_win.h"
#include "platform/window_win.h"

namespace zd {

class UpdateWindow : public Window {
 public:
  enum class Outcome {
    kWaiting,
    kDownloading,
    kWaitingForClose,  // checked and held; the main window closes after its load
    kStarted,
    kFailed,
    kCancelled
  };

  struct Deps {
    HttpClient* http = nullptr;
    HeldFiles* held_files = nullptr;
    Processes* processes = nullptr;
    std::string target_path;  // where the setup is downloaded
    Ed25519PublicKey key{};
    const lang::ServiceTexts* texts = nullptr;
    MessageBoxFn message_box;
    std::function<MainWindowClose()> save_and_exit;
    int start_ms = 250;  // Timer1: the hint appears
    int wait_ms = 1000;  // then the download starts
    int timeout_ms = 30000;
    int deadline_ms = 5 * 60 * 1000;
  };

  static std::unique_ptr<UpdateWindow> Create(HWND owner, Deps deps);
  ~UpdateWindow() override;

  // Shows the window and starts the steps for `offer`.
  void Begin(const UpdateOffer& offer);
  // Begin, then a modal loop until the window is gone.
  void ShowModal(const UpdateOffer& offer, HWND owner);

  // The main window has saved and is going: a setup that waited for it starts.
  void MainWindowClosed();

  Label LblHint;
  ProgressBar Progress;
  Button BtnCancel;
  Outcome outcome() const { return outcome_; }
  // The last message shown (kNone: none).
  UpdateMessage message() const { return message_; }
  // The highest progress position shown, and the range it was shown in.
  std::pair<uint64_t, uint64_t> shown_progress() const { return {shown_done_, shown_total_}; }

 private:
  explicit UpdateWindow(Deps deps) : deps_(std::move(deps)) {}
  void OnCreate() override;
  void Layout() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Timer1Timer();
  void TimerWaitTimer();
  void OnProgress();
  void OnDone();
  void StartSetup();
  void Fail(UpdateMessage message);

  static constexpr UINT kJobMessage = WM_APP + 21;
  static constexpr UINT_PTR kTimer1 = 1, kTimerWait = 2;

  Deps deps_;
  UpdateOffer offer_;
  BackgroundJob<UpdateResult> job_;
  std::unique_ptr<HeldFile> setup_;  // checked, waiting for the main window to go
  Outcome outcome_ = Outcome::kWaiting;
  UpdateMessage message_ = UpdateMessage::kNone;
  uint64_t shown_done_ = 0, shown_total_ = 0;
};

}  // namespace zd
