#include "common/WorkerThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <vector>

namespace {

// Records its number when it runs and, optionally, blocks until released.
class RecordingTask : public ITaskSample {
public:
  RecordingTask(int number, std::vector<int>& ran, std::mutex& lock, std::shared_future<void> gate = {},
                std::atomic<int>* destroyed = nullptr)
      : m_number(number), m_ran(ran), m_lock(lock), m_gate(std::move(gate)), m_destroyed(destroyed) {}
  ~RecordingTask() override {
    if (m_destroyed) ++*m_destroyed;
  }
  void Run() override {
    if (m_gate.valid()) m_gate.wait();
    std::lock_guard<std::mutex> guard(m_lock);
    m_ran.push_back(m_number);
  }

private:
  int m_number;
  std::vector<int>& m_ran;
  std::mutex& m_lock;
  std::shared_future<void> m_gate;
  std::atomic<int>* m_destroyed;
};

class Signal : public ITaskSample {
public:
  explicit Signal(std::promise<std::thread::id>& done) : m_done(done) {}
  void Run() override { m_done.set_value(std::this_thread::get_id()); }

private:
  std::promise<std::thread::id>& m_done;
};

TEST(WorkerThreadTest, TasksPostedBeforeStartRunInPostingOrderOnTheWorker) {
  std::vector<int> ran;
  std::mutex lock;
  CWorkerThread worker;
  for (int i = 1; i <= 3; ++i) worker.PostTask(new RecordingTask(i, ran, lock));
  std::promise<std::thread::id> done;
  worker.PostTask(new Signal(done));
  ASSERT_TRUE(worker.Start());
  EXPECT_FALSE(worker.Start());  // one thread only
  auto finished = done.get_future();
  ASSERT_EQ(finished.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(finished.get(), worker.ThreadId());
  EXPECT_NE(worker.ThreadId(), std::this_thread::get_id());
  std::lock_guard<std::mutex> guard(lock);
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

TEST(WorkerThreadTest, TaskPostedWhileAnotherRunsWaitsForIt) {
  std::vector<int> ran;
  std::mutex lock;
  std::promise<void> release;
  CWorkerThread worker;
  ASSERT_TRUE(worker.Start());
  worker.PostTask(new RecordingTask(1, ran, lock, release.get_future().share()));
  worker.PostTask(new RecordingTask(2, ran, lock));
  std::promise<std::thread::id> done;
  worker.PostTask(new Signal(done));
  release.set_value();
  ASSERT_EQ(done.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  std::lock_guard<std::mutex> guard(lock);
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST(WorkerThreadTest, DisabledQueueDiscardsPosts) {
  std::vector<int> ran;
  std::mutex lock;
  std::atomic<int> destroyed{0};
  CWorkThreadMessageQueue queue;
  queue.Disable();
  EXPECT_TRUE(queue.IsDisabled());
  queue.PostTask(new RecordingTask(1, ran, lock, {}, &destroyed));
  EXPECT_EQ(destroyed, 1);  // owned and freed at once, never run
  EXPECT_EQ(queue.PendingCount(), 0);
  queue.Enable();
  queue.PostTask(new RecordingTask(2, ran, lock, {}, &destroyed));
  EXPECT_EQ(queue.PendingCount(), 1);
  std::unique_ptr<ITaskSample> task(queue.PopTask());
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(queue.GetTask(), nullptr);
  queue.PostTask(nullptr);  // ignored
  EXPECT_EQ(queue.PendingCount(), 0);
}

TEST(WorkerThreadTest, QuitWithPendingTasksReturnsWithoutRunningThem) {
  std::vector<int> ran;
  std::mutex lock;
  std::atomic<int> destroyed{0};
  CWorkThreadMessageQueue queue;
  for (int i = 0; i < 3; ++i) queue.PostTask(new RecordingTask(i, ran, lock, {}, &destroyed));
  queue.Quit();
  EXPECT_EQ(destroyed, 3);
  queue.RunLoop();  // returns at once
  EXPECT_TRUE(ran.empty());
}

// A task handed over with its owner, and what it holds, is freed unrun when the queue will
// not run it.
TEST(WorkerThreadTest, AnOwnedTaskTheQueueRefusesIsFreedUnrun) {
  const auto held = std::make_shared<int>(0);
  CWorkThreadMessageQueue queue;
  queue.Disable();
  queue.PostTask(MakeTask([held] { ++*held; }));
  EXPECT_EQ(held.use_count(), 1);
  queue.Enable();
  queue.Quit();
  queue.PostTask(MakeTask([held] { ++*held; }));
  EXPECT_EQ(held.use_count(), 1);
  queue.RunLoop();  // returns at once
  EXPECT_EQ(*held, 0);
}

TEST(WorkerThreadTest, IdleWorkerEndsCleanlyWhenDestroyed) {
  {
    CWorkerThread worker;
    ASSERT_TRUE(worker.Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let it reach its wait
  }
  SUCCEED();
}

TEST(WorkerThreadTest, ManyPostersAllTasksRunOnce) {
  std::vector<int> ran;
  std::mutex lock;
  CWorkerThread worker;
  ASSERT_TRUE(worker.Start());
  std::vector<std::thread> posters;
  for (int p = 0; p < 4; ++p) {
    posters.emplace_back([&, p] {
      for (int i = 0; i < 250; ++i) worker.PostTask(new RecordingTask(p * 1000 + i, ran, lock));
    });
  }
  for (auto& poster : posters) poster.join();
  std::promise<std::thread::id> done;
  worker.PostTask(new Signal(done));
  ASSERT_EQ(done.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
  std::lock_guard<std::mutex> guard(lock);
  ASSERT_EQ(ran.size(), 1000u);
  // Each poster's own tasks keep their order.
  std::vector<int> last(4, -1);
  for (int number : ran) {
    EXPECT_GT(number % 1000, last[number / 1000]);
    last[number / 1000] = number % 1000;
  }
}

}  // namespace
