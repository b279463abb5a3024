#include "utils/Thread.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include <fmt/format.h>

#include "platform/SystemInfo.h"
#include "tests/support/LogCapture.h"

namespace {

using TestSupport::LogCapture;

std::string CurrentThreadName() {
  char name[16] = {};
  prctl(PR_GET_NAME, name);
  return name;
}

TEST(ThreadTest, BodyRunsOnlyAfterStartAndWritesBeginAndEndFromTheWorker) {
  LogCapture log;
  std::atomic<int> runs{0};
  std::atomic<int> bodyThread{0};
  void* seenContext = nullptr;
  int context = 7;
  {
    Utils::Thread thread(&context, L"ABDEF", [&](void* c) {
      seenContext = c;
      bodyThread = Platform::CurrentThreadId();
      ++runs;
    });
    ASSERT_TRUE(thread.Valid());
    EXPECT_NE(thread.Id(), 0xFFFFFFFFu);
    EXPECT_EQ(runs.load(), 0);
    thread.Start();
    thread.Join();
    EXPECT_EQ(thread.Id(), 0xFFFFFFFFu);
    thread.Join();  // a second join does nothing
  }
  EXPECT_EQ(runs.load(), 1);
  EXPECT_EQ(seenContext, &context);
  const auto messages = log.Messages("Utils::Thread::CallBack");
  ASSERT_EQ(messages, (std::vector<std::string>{"THREAD BEGIN\r\n", "THREAD END\r\n"}));
  const std::string threadField = fmt::format("<T{:05d}>", bodyThread.load());
  for (const std::string& record : log.Records()) EXPECT_NE(record.find(threadField), std::string::npos) << record;
}

TEST(ThreadTest, NamesTheThreadOrFallsBackToTPlusItsId) {
  struct Case {
    std::wstring name;
    bool useId;
    std::string expected;
  } cases[] = {
      {L"UnInstaller", false, "UnInstaller"},
      {L"ABDEF", false, "ABDEF"},
      {L"", true, ""},
  };
  for (const Case& c : cases) {
    std::string seen;
    Utils::Thread thread(nullptr, c.name, [&](void*) { seen = CurrentThreadName(); });
    const std::string expected = c.useId ? "t" + std::to_string(thread.Id()) : c.expected;
    thread.Start();
    thread.Join();
    EXPECT_EQ(seen, expected.substr(0, 15));
  }
}

TEST(ThreadTest, DestroyingAnUnstartedThreadRunsNothingAndDoesNotHang) {
  std::atomic<bool> ran{false};
  { Utils::Thread thread(nullptr, L"x", [&](void*) { ran = true; }); }
  EXPECT_FALSE(ran.load());
}

// An owner restarting its work from a callback on the worker: the old thread
// object is destroyed from its own thread and must neither deadlock nor pull
// the running body out from under it.
TEST(ThreadTest, JoiningOrDestroyingFromTheThreadItselfDoesNotDeadlock) {
  struct Owner {
    std::unique_ptr<Utils::Thread> worker;
    std::mutex mutex;
    std::condition_variable done;
    int finished = 0;
    int generation = 0;
  } owner;

  std::function<void()> startNext;
  startNext = [&] {
    const int generation = owner.generation++;
    owner.worker = std::make_unique<Utils::Thread>(&owner, L"ABDEF", [&, generation](void*) {
      if (generation == 0) {
        owner.worker->Join();  // on itself: releases without waiting
        startNext();           // replaces (destroys) the current object
      }
      std::lock_guard lock(owner.mutex);
      ++owner.finished;
      owner.done.notify_all();
    });
    owner.worker->Start();
  };
  startNext();
  std::unique_lock lock(owner.mutex);
  ASSERT_TRUE(owner.done.wait_for(lock, std::chrono::seconds(10), [&] { return owner.finished == 2; }));
  lock.unlock();
  owner.worker.reset();
}

}  // namespace
