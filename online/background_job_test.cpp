#include "online/background_job.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace zd {
namespace {

// What the interface thread would receive as posted messages.
struct Mailbox {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<JobEvent> events;
  void Post(JobEvent e) {
    std::lock_guard lock(mutex);
    events.push_back(e);
    arrived.notify_all();
  }
  bool WaitFor(JobEvent e) {
    std::unique_lock lock(mutex);
    return arrived.wait_for(lock, std::chrono::seconds(10), [&] {
      return std::find(events.begin(), events.end(), e) != events.end();
    });
  }
  size_t Count() {
    std::lock_guard lock(mutex);
    return events.size();
  }
};

TEST(BackgroundJob, ResultAndProgressReachTheOwner) {
  Mailbox box;
  BackgroundJob<int> job;
  ASSERT_TRUE(job.Start(
      [](const BackgroundJob<int>::Context& c) {
        c.report(5, 10);
        c.report(10, 10);
        return 42;
      },
      [&](JobEvent e) { box.Post(e); }));
  ASSERT_TRUE(box.WaitFor(JobEvent::kDone));
  EXPECT_EQ(job.Progress(), (std::pair<uint64_t, uint64_t>(10, 10)));
  EXPECT_EQ(job.Take(), 42);
  EXPECT_EQ(job.Take(), std::nullopt) << "taken once";
  EXPECT_EQ(box.events,
            (std::vector<JobEvent>{JobEvent::kProgress, JobEvent::kProgress, JobEvent::kDone}));
}

TEST(BackgroundJob, OneAtATimeAndNoNewsAfterStop) {
  Mailbox box;
  std::atomic<bool> release{false};
  BackgroundJob<int> job;
  auto slow = [&](const BackgroundJob<int>::Context& c) {
    while (!release && !c.cancel->load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    c.report(1, 1);
    return 1;
  };
  ASSERT_TRUE(job.Start(slow, [&](JobEvent e) { box.Post(e); }));
  EXPECT_TRUE(job.running());
  EXPECT_FALSE(job.Start(slow, [&](JobEvent e) { box.Post(e); }));
  job.Stop(5000);  // cancels: the job sees its flag and ends
  EXPECT_FALSE(job.running());
  EXPECT_EQ(box.Count(), 0u) << "a stopped job tells no one";

  // A job that ignores its flag is left behind after the wait, silently.
  std::atomic<bool> ended{false};
  BackgroundJob<int> stubborn;
  ASSERT_TRUE(stubborn.Start(
      [&](const BackgroundJob<int>::Context& c) {
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        c.report(1, 1);
        ended = true;
        return 2;
      },
      [&](JobEvent e) { box.Post(e); }));
  stubborn.Stop(10);
  release = true;
  while (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(box.Count(), 0u);
}

TEST(BackgroundJob, AFailureInsideIsCaughtAndRecorded) {
  Mailbox box;
  const uint64_t before = CaughtFailureCount();
  BackgroundJob<int> job;
  ASSERT_TRUE(
      job.Start([](const BackgroundJob<int>::Context&) -> int { throw std::runtime_error("boom"); },
                [&](JobEvent e) { box.Post(e); }));
  ASSERT_TRUE(box.WaitFor(JobEvent::kDone));
  EXPECT_EQ(job.Take(), 0) << "the default result";
  EXPECT_EQ(CaughtFailureCount(), before + 1);
  EXPECT_NE(LastCaughtFailure().find("boom"), std::string::npos);
}

}  // namespace
}  // namespace zd
