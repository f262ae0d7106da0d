// Asynchronous requests through the network library, against the local service emulator.
#include "platform/RidOdo/TaskModule.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <thread>

#include "common/JsonText.h"
#include "common/ScopedWin.h"
#include "platform/RidOdo/RequestPool.h"
#include "tests/platform/RidOdo/RequestRecorder.h"
#include "tests/support/EmulatorClient.h"

namespace {

using vxtest::Delivery;
using vxtest::EmulatorOrigin;
using vxtest::ResourceRecorder;
using vxtest::WatchedArg;

std::string PatternBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

size_t ProcessThreadCount() {
  ScopedKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return 0;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  size_t count = 0;
  for (BOOL more = ::Thread32First(snapshot.Get(), &entry); more; more = ::Thread32Next(snapshot.Get(), &entry)) {
    count += entry.th32OwnerProcessID == ::GetCurrentProcessId() ? 1 : 0;
  }
  return count;
}

// A job that holds its worker until it is let go.
std::unique_ptr<ITaskSample> HeldJob(HANDLE started, HANDLE release) {
  return MakeTask([started, release] {
    ::ReleaseSemaphore(started, 1, nullptr);
    ::WaitForSingleObject(release, 20000);
  });
}

// A pool starts a worker only for a job that finds none idle: none for a process that asks
// for nothing (it goes at once, with nothing to join), one for requests one at a time, and
// never more than its size for a burst, whose queued jobs all run once workers come free.
TEST(RequestPoolTest, StartsWorkersOnlyWhenARequestFindsNoneIdle) {
  const size_t threadsBefore = ProcessThreadCount();
  { CRequestPool idle; }
  CRequestPool pool;
  EXPECT_EQ(pool.ThreadCount(), 0u);
  EXPECT_LE(ProcessThreadCount(), threadsBefore);  // the library's own idle workers may end meanwhile

  ScopedKernelHandle started(::CreateSemaphoreW(nullptr, 0, 100, nullptr));
  ScopedKernelHandle release(::CreateEventW(nullptr, TRUE, TRUE, nullptr));
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(pool.Post(HeldJob(started.Get(), release.Get())));
    ASSERT_EQ(::WaitForSingleObject(started.Get(), 10000), WAIT_OBJECT_0) << "job " << i << " never ran";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // its worker waits again
  }
  EXPECT_EQ(pool.ThreadCount(), 1u) << "requests one at a time need one worker";

  ::ResetEvent(release.Get());
  const int burst = CRequestPool::kWorkers + 3;
  for (int i = 0; i < burst; ++i) ASSERT_TRUE(pool.Post(HeldJob(started.Get(), release.Get())));
  for (int i = 0; i < CRequestPool::kWorkers; ++i) {
    ASSERT_EQ(::WaitForSingleObject(started.Get(), 10000), WAIT_OBJECT_0) << "a worker of the burst never came";
  }
  EXPECT_EQ(pool.ThreadCount(), static_cast<size_t>(CRequestPool::kWorkers));
  ::SetEvent(release.Get());
  for (int i = CRequestPool::kWorkers; i < burst; ++i) {
    ASSERT_EQ(::WaitForSingleObject(started.Get(), 10000), WAIT_OBJECT_0) << "a queued job of the burst never ran";
  }
}

// Workers end once no request has come for the pool's idle time, and the next request starts
// one again and is served as before.
TEST(RequestPoolTest, IdleWorkersEndAndTheNextRequestStartsOneAgain) {
  const size_t threadsBefore = ProcessThreadCount();
  CRequestPool pool(2, std::chrono::milliseconds(100));
  ScopedKernelHandle started(::CreateSemaphoreW(nullptr, 0, 100, nullptr));
  ScopedKernelHandle release(::CreateEventW(nullptr, TRUE, TRUE, nullptr));
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(pool.Post(HeldJob(started.Get(), release.Get())));
    ASSERT_TRUE(pool.Post(HeldJob(started.Get(), release.Get())));
    for (int i = 0; i < 2; ++i) ASSERT_EQ(::WaitForSingleObject(started.Get(), 10000), WAIT_OBJECT_0) << round;
    for (int wait = 0; wait < 100 && pool.ThreadCount() > 0; ++wait) ::Sleep(50);
    EXPECT_EQ(pool.ThreadCount(), 0u) << "round " << round << ": idle workers kept";
    for (int wait = 0; wait < 100 && ProcessThreadCount() > threadsBefore; ++wait) ::Sleep(50);
    EXPECT_LE(ProcessThreadCount(), threadsBefore) << "round " << round << ": an ended worker's thread is still there";
  }
}

class TaskModuleTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
    module.SetCallback(&recorder);
  }

  bool Get(const std::string& path, int id = 1000, unsigned timeoutMs = 0, const std::string& requestData = {}) {
    CResourceRequest request;
    request.url = EmulatorOrigin() + path;
    request.requestData = requestData;
    request.timeoutMs = timeoutMs;
    return module.GetRes(request, new CResourceArg(id));
  }

  ResourceRecorder recorder;
  CTaskModule module;
};

TEST_F(TaskModuleTest, SuccessfulRequestDeliversTheWholeBodyOnceOnALibraryThread) {
  ASSERT_TRUE(Get("/pictures/ok.jpg", 1325));
  const std::vector<Delivery> deliveries = recorder.WaitFor(1);
  ASSERT_EQ(deliveries.size(), 1u);
  EXPECT_EQ(deliveries[0].failed, 0);
  EXPECT_EQ(deliveries[0].id, 1325);
  EXPECT_EQ(deliveries[0].mode, 2);
  EXPECT_EQ(deliveries[0].status, 200u);
  EXPECT_EQ(deliveries[0].url, EmulatorOrigin() + "/pictures/ok.jpg");
  EXPECT_EQ(deliveries[0].body.size(), 5000u);
  EXPECT_TRUE(deliveries[0].body == PatternBytes(5000)) << "the body differs from what the server sent";
  EXPECT_NE(deliveries[0].threadId, ::GetCurrentThreadId());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(recorder.WaitFor(2, 0).size(), 1u) << "a second callback for one request";
}

TEST_F(TaskModuleTest, ErrorStatusesAndNoServerAreFailures) {
  ASSERT_TRUE(Get("/pictures/missing.jpg", 1));
  ASSERT_TRUE(Get("/pictures/error.jpg", 2));
  CResourceRequest closed;
  closed.url = "http://127.0.0.1:1/nothing-listens-here";
  ASSERT_TRUE(module.GetRes(closed, new CResourceArg(3)));
  const std::vector<Delivery> deliveries = recorder.WaitFor(3);
  ASSERT_EQ(deliveries.size(), 3u);
  for (const Delivery& delivery : deliveries) {
    EXPECT_NE(delivery.failed, 0) << delivery.id;
    EXPECT_TRUE(delivery.body.empty()) << delivery.id;
  }
}

TEST_F(TaskModuleTest, EmptySuccessAndLargeBodies) {
  ASSERT_TRUE(Get("/pictures/empty.jpg", 1));  // 204
  ASSERT_TRUE(Get("/pictures/big.jpg", 2));
  const std::vector<Delivery> deliveries = recorder.WaitFor(2);
  ASSERT_EQ(deliveries.size(), 2u);
  for (const Delivery& delivery : deliveries) {
    EXPECT_EQ(delivery.failed, 0) << delivery.id;
    EXPECT_EQ(delivery.body.size(), delivery.id == 1 ? 0u : 300000u) << delivery.id;
  }
}

TEST_F(TaskModuleTest, RequestDataTravelsAsQueryParameters) {
  ASSERT_TRUE(Get("/__emu/echo?x=1", 1, 0, "&ckuid=abc"));
  ASSERT_TRUE(Get("/__emu/echo", 2, 0, "auth=a%20b"));
  const std::vector<Delivery> deliveries = recorder.WaitFor(2);
  ASSERT_EQ(deliveries.size(), 2u);
  for (const Delivery& delivery : deliveries) {
    Json::Value echo;
    ASSERT_TRUE(ParseJsonText(delivery.body, echo)) << delivery.body;
    if (delivery.id == 1) {
      EXPECT_EQ(echo["query"]["x"].asString(), "1");
      EXPECT_EQ(echo["query"]["ckuid"].asString(), "abc");
    } else {
      EXPECT_EQ(echo["query"]["auth"].asString(), "a b");
    }
    // The address handed back is the one asked for, without the request data.
    EXPECT_EQ(delivery.url.find("ckuid"), std::string::npos);
  }
}

TEST_F(TaskModuleTest, TimeOutIsHonouredAndZeroMeansTheDefault) {
  const DWORD start = ::GetTickCount();
  ASSERT_TRUE(Get("/__emu/delay?ms=6000&size=10", 1, 1000));
  ASSERT_TRUE(Get("/__emu/delay?ms=1500&size=10", 2, 0));
  const std::vector<Delivery> deliveries = recorder.WaitFor(2);
  ASSERT_EQ(deliveries.size(), 2u);
  for (const Delivery& delivery : deliveries) {
    if (delivery.id == 1) {
      EXPECT_NE(delivery.failed, 0) << "an answer later than the time-out counts as failed";
    } else {
      EXPECT_EQ(delivery.failed, 0);
      EXPECT_EQ(delivery.body.size(), 10u);
    }
  }
  std::printf("time-out request ended after %lu ms (time-out 1000, server delay 6000)\n",
              static_cast<unsigned long>(::GetTickCount() - start));
}

// More silent servers than the library has threads: each request fails at about its
// time-out on a pool thread, no transfer is left running on a thread of its own, and the
// pool serves the next request as before.
TEST_F(TaskModuleTest, SilentServersFailNearTheirTimeOutAndGiveTheThreadsBack) {
  ASSERT_TRUE(Get("/pictures/ok.jpg", 1));  // the pool is up from here on
  ASSERT_EQ(recorder.WaitFor(1).size(), 1u);
  const CRequestPool& pool = CRequestPool::GetInstance();
  // The pool grows to its full size under the burst below; every other thread stays.
  const size_t otherThreads = ProcessThreadCount() - pool.ThreadCount();
  ASSERT_GT(otherThreads, 0u);

  constexpr int kSilent = 2 * CRequestPool::kWorkers + 1;
  constexpr unsigned kTimeoutMs = 1000;
  const ULONGLONG start = ::GetTickCount64();
  for (int i = 0; i < kSilent; ++i) ASSERT_TRUE(Get("/__emu/delay?ms=30000&size=10", 100 + i, kTimeoutMs));
  const std::vector<Delivery> deliveries = recorder.WaitFor(1 + kSilent, 30000);
  const ULONGLONG elapsed = ::GetTickCount64() - start;
  ASSERT_EQ(deliveries.size(), 1u + kSilent);
  std::set<DWORD> threads;
  for (size_t i = 1; i < deliveries.size(); ++i) {
    EXPECT_NE(deliveries[i].failed, 0) << deliveries[i].id;
    threads.insert(deliveries[i].threadId);
  }
  // Three rounds of the pool's threads, each about one time-out.
  EXPECT_LT(elapsed, 3 * kTimeoutMs + 6000);
  EXPECT_LE(threads.size(), static_cast<size_t>(CRequestPool::kWorkers));
  const size_t poolThreads = pool.ThreadCount();  // before the process's count: workers may end, none start
  EXPECT_LE(poolThreads, static_cast<size_t>(CRequestPool::kWorkers));
  EXPECT_LE(ProcessThreadCount(), otherThreads + poolThreads) << "a transfer still runs on a thread of its own";
  std::printf("%d silent requests (time-out %u ms) all failed after %llu ms on %zu pool threads\n", kSilent,
              kTimeoutMs, elapsed, threads.size());

  ASSERT_TRUE(Get("/pictures/ok.jpg", 2));
  const std::vector<Delivery> after = recorder.WaitFor(2 + kSilent);
  ASSERT_EQ(after.size(), 2u + kSilent);
  EXPECT_EQ(after.back().id, 2);
  EXPECT_EQ(after.back().failed, 0);
  EXPECT_EQ(after.back().body.size(), 5000u);
}

TEST_F(TaskModuleTest, ManyRequestsAtOnceEachGetExactlyOneCallback) {
  constexpr int kRequests = 24;
  for (int i = 0; i < kRequests; ++i) {
    ASSERT_TRUE(Get(i % 3 == 0 ? "/pictures/missing.jpg" : "/pictures/exact1024.jpg", 5000 + i));
  }
  const std::vector<Delivery> deliveries = recorder.WaitFor(kRequests);
  ASSERT_EQ(deliveries.size(), static_cast<size_t>(kRequests));
  std::set<int> ids;
  for (const Delivery& delivery : deliveries) {
    ids.insert(delivery.id);
    EXPECT_EQ(delivery.failed != 0, (delivery.id - 5000) % 3 == 0) << delivery.id;
  }
  EXPECT_EQ(ids.size(), static_cast<size_t>(kRequests));
}

TEST_F(TaskModuleTest, RequestWithoutArgumentIsRefused) {
  CResourceRequest request;
  request.url = EmulatorOrigin() + "/pictures/ok.jpg";
  EXPECT_FALSE(module.GetRes(request, nullptr));
}

// With every library thread busy, requests still queued when Stop comes end as failures
// without being sent; requests of other addresses are untouched by StopUrl.
TEST_F(TaskModuleTest, StopEndsQueuedRequestsWithAFailure) {
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(Get("/__emu/delay?ms=1500&size=1", 100 + i));
  ASSERT_TRUE(Get("/pictures/exact1024.jpg?stop-me", 200));
  ASSERT_TRUE(Get("/pictures/exact1024.jpg?keep-me", 201));
  module.StopUrl(EmulatorOrigin() + "/pictures/exact1024.jpg?stop-me");
  ASSERT_TRUE(Get("/pictures/exact1024.jpg?stop-me", 202));  // asked again after the stop
  const std::vector<Delivery> deliveries = recorder.WaitFor(7);
  ASSERT_EQ(deliveries.size(), 7u);
  for (const Delivery& delivery : deliveries) {
    if (delivery.id == 200) {
      EXPECT_NE(delivery.failed, 0);
    }
    if (delivery.id == 201 || delivery.id == 202) {
      EXPECT_EQ(delivery.failed, 0) << delivery.id;
    }
  }

  ResourceRecorder second;
  CTaskModule other;
  other.SetCallback(&second);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(Get("/__emu/delay?ms=1500&size=1", 300 + i));
  CResourceRequest queued;
  queued.url = EmulatorOrigin() + "/pictures/ok.jpg";
  ASSERT_TRUE(module.GetRes(queued, new CResourceArg(400)));
  ASSERT_TRUE(other.GetRes(queued, new CResourceArg(401)));
  module.Stop();
  const std::vector<Delivery> afterStop = recorder.WaitFor(12);
  ASSERT_EQ(afterStop.size(), 12u);
  for (const Delivery& delivery : afterStop) {
    if (delivery.id == 400) {
      EXPECT_NE(delivery.failed, 0);
    }
  }
  const std::vector<Delivery> fromOther = second.WaitFor(1);
  ASSERT_EQ(fromOther.size(), 1u);
  EXPECT_EQ(fromOther[0].failed, 0) << "Stop of one module reached another";
}

// An argument handed over with its owner comes back to the callback, and the library frees one
// that no callback takes.
TEST_F(TaskModuleTest, AnOwnedArgumentReachesTheCallbackOrIsFreed) {
  CResourceRequest request;
  request.url = EmulatorOrigin() + "/pictures/ok.jpg";
  ASSERT_TRUE(module.GetRes(request, std::make_unique<CResourceArg>(7)));
  const std::vector<Delivery> deliveries = recorder.WaitFor(1);
  ASSERT_EQ(deliveries.size(), 1u);
  EXPECT_EQ(deliveries[0].id, 7);
  EXPECT_EQ(deliveries[0].failed, 0);

  ScopedKernelHandle released(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  {
    CTaskModule unheard;  // no callback: nobody takes the argument back
    ASSERT_TRUE(unheard.GetRes(request, std::make_unique<WatchedArg>(released.Get())));
  }
  EXPECT_EQ(::WaitForSingleObject(released.Get(), 20000), WAIT_OBJECT_0) << "the argument was never freed";
  EXPECT_FALSE(module.GetRes(request, std::unique_ptr<CResourceArg>()));
}

// A consumer that goes away while its request runs gets no late callback.
TEST_F(TaskModuleTest, DestroyedModuleDeliversNothingLater) {
  ResourceRecorder late;
  {
    CTaskModule shortLived;
    shortLived.SetCallback(&late);
    CResourceRequest request;
    request.url = EmulatorOrigin() + "/__emu/delay?ms=800&size=1";
    ASSERT_TRUE(shortLived.GetRes(request, new CResourceArg(1)));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_TRUE(late.WaitFor(1, 0).empty());
}

}  // namespace
