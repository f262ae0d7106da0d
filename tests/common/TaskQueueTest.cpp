// The queue's own rules; its order and discarding as the worker thread uses it are in
// WorkerThreadTest.
#include "common/TaskQueue.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A job's references to `token` tell whether the queue still holds it.
TEST(TaskQueueTest, QuitReleasesPendingJobsRefusesLaterOnesAndEndsServing) {
  const auto token = std::make_shared<int>(0);
  TaskQueue<std::shared_ptr<int>> queue;
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(queue.Push(token));
  EXPECT_EQ(token.use_count(), 4);
  queue.Quit();
  EXPECT_EQ(token.use_count(), 1);
  EXPECT_FALSE(queue.Push(token));
  EXPECT_EQ(token.use_count(), 1) << "a refused job is kept";
  bool ran = false;
  queue.Serve([&](std::shared_ptr<int>&) { ran = true; });  // returns at once
  EXPECT_FALSE(ran);
}

// Idle means nothing pending and nothing running: a job taken but not finished counts.
TEST(TaskQueueTest, WaitUntilIdleWaitsForTheRunningJob) {
  TaskQueue<int> queue;
  EXPECT_TRUE(queue.WaitUntilIdle(0ms));
  std::promise<void> started;
  std::promise<void> release;
  std::shared_future<void> gate = release.get_future().share();
  std::thread server([&] {
    queue.Serve([&](int) {
      started.set_value();
      gate.wait();
    });
  });
  queue.Push(1);
  started.get_future().wait();
  EXPECT_EQ(queue.PendingCount(), 0u);
  EXPECT_FALSE(queue.WaitUntilIdle(50ms));
  release.set_value();
  EXPECT_TRUE(queue.WaitUntilIdle(10s));
  queue.Quit();
  server.join();
}

// The servers are joined after the quit, which must wake every one of them.
TEST(TaskQueueTest, ManyServersRunEveryJobExactlyOnce) {
  constexpr int kJobs = 2000;
  TaskQueue<int> queue;
  std::mutex lock;
  std::multiset<int> ran;
  std::vector<std::thread> servers;
  for (int i = 0; i < 4; ++i) {
    servers.emplace_back([&] {
      queue.Serve([&](int job) {
        std::lock_guard<std::mutex> guard(lock);
        ran.insert(job);
      });
    });
  }
  std::thread poster([&] {
    for (int i = 1; i < kJobs; i += 2) queue.Push(i);
  });
  for (int i = 0; i < kJobs; i += 2) queue.Push(i);
  poster.join();
  ASSERT_TRUE(queue.WaitUntilIdle(30s));
  queue.Quit();
  for (auto& server : servers) server.join();
  ASSERT_EQ(ran.size(), static_cast<size_t>(kJobs));
  for (int i = 0; i < kJobs; ++i) EXPECT_EQ(ran.count(i), 1u) << i;
}

}  // namespace
