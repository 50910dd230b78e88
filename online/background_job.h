// A job on a thread of its own. It works on copies of everything it needs and
// hands its result to the interface thread: `notify` (called on the worker
// thread) only posts a message there, and the interface thread takes the
// result with Take(). Stop() cancels the job; after it returns the job
// notifies no one, so a window may go right after stopping its job.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/errors.h"

namespace zd {

enum class JobEvent { kProgress, kDone };

template <typename Result>
class BackgroundJob {
 public:
  using Notify = std::function<void(JobEvent)>;
  // The job's view of the world: its cancel flag and its progress reports.
  struct Context {
    const std::atomic<bool>* cancel;
    std::function<void(uint64_t done, uint64_t total)> report;
  };
  using Work = std::function<Result(const Context&)>;

  BackgroundJob() = default;
  ~BackgroundJob() { Stop(kStopWaitMs); }
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  // A job already running keeps running; the new one is refused (false).
  bool Start(Work work, Notify notify) {
    if (state_ && !state_->finished()) return false;
    Stop(0);
    auto state = std::make_shared<State>();
    state->notify = std::move(notify);
    state_ = state;
    thread_ = std::thread([state, work = std::move(work)] {
      Result result{};
      try {
        Context context{&state->cancel,
                        [&state](uint64_t done, uint64_t total) { state->Report(done, total); }};
        result = work(context);
      } catch (...) {
        RecordCurrentException("BackgroundJob");
      }
      state->Finish(std::move(result));
    });
    return true;
  }

  bool running() const { return state_ && !state_->finished(); }

  // The result once the job has notified kDone; nullopt before, and after it was taken.
  std::optional<Result> Take() {
    if (!state_) return std::nullopt;
    std::lock_guard lock(state_->mutex);
    std::optional<Result> out = std::move(state_->result);
    state_->result.reset();
    return out;
  }

  // The last progress report: {done, total}.
  std::pair<uint64_t, uint64_t> Progress() const {
    if (!state_) return {0, 0};
    return {state_->done.load(), state_->total.load()};
  }

  // Cancels the job and waits up to `wait_ms` for its thread. A thread still
  // busy then (a request waiting for its timeout) finishes on its own and
  // drops its result.
  void Stop(int wait_ms) {
    if (!state_) return;
    {
      std::unique_lock lock(state_->mutex);
      state_->cancel = true;
      state_->notify = nullptr;
      state_->finished_signal.wait_for(lock, std::chrono::milliseconds(wait_ms),
                                       [this] { return state_->is_finished; });
    }
    if (thread_.joinable()) {
      if (state_->finished()) {
        thread_.join();
      } else {
        thread_.detach();
      }
    }
    state_.reset();
  }

  static constexpr int kStopWaitMs = 2000;

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable finished_signal;
    Notify notify;
    std::optional<Result> result;
    std::atomic<bool> cancel{false};
    std::atomic<uint64_t> done{0}, total{0};
    bool is_finished = false;

    bool finished() {
      std::lock_guard lock(mutex);
      return is_finished;
    }
    void Report(uint64_t d, uint64_t t) {
      done = d;
      total = t;
      std::lock_guard lock(mutex);
      if (notify) notify(JobEvent::kProgress);
    }
    void Finish(Result r) {
      std::lock_guard lock(mutex);
      is_finished = true;
      if (notify) {
        result = std::move(r);
        notify(JobEvent::kDone);
      }
      finished_signal.notify_all();
    }
  };

  std::shared_ptr<State> state_;
  std::thread thread_;
};

}  // namespace zd
