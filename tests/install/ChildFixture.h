// What the launcher and runner tests share: files for the product's scripted
// programs, and a recorder of the events a runner
// reports from its worker.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iostream>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Text.h"
#include "tests/support/TempDir.h"

namespace TestSupport {

namespace fs = std::filesystem;

struct Event {
  int code;
  double progress;
  std::wstring text;

  bool operator==(const Event& other) const = default;
};

inline void PrintTo(const Event& e, std::ostream* os) {
  *os << "{" << e.code << ", " << e.progress << ", \"" << Platform::WideToUtf8(e.text) << "\"}";
}

// Collects events from any thread.
class EventRecorder {
 public:
  std::function<void(int, double, const wchar_t*)> Callback() {
    return [this](int code, double progress, const wchar_t* text) {
      std::lock_guard lock(mutex_);
      events_.push_back({code, progress, text});
      changed_.notify_all();
    };
  }

  std::vector<Event> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }

  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const Event& e : Events()) codes.push_back(e.code);
    return codes;
  }

  // Waits until at least count events have arrived.
  bool WaitFor(std::size_t count, std::chrono::seconds limit = std::chrono::seconds(30)) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return events_.size() >= count; });
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Event> events_;
};

inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The arguments a scripted program wrote with "args FILE".
inline std::vector<std::wstring> ReadArguments(const std::string& path) {
  std::vector<std::wstring> args;
  const std::string raw = ReadFile(path);
  std::size_t start = 0;
  for (std::size_t end; (end = raw.find('\0', start)) != std::string::npos; start = end + 1)
    args.push_back(Platform::Utf8ToWide(raw.substr(start, end - start)));
  return args;
}

// Copies a program, executable, to path.
inline void CopyProgram(const std::string& from, const std::string& to) {
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  fs::permissions(to, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

// Runs work on a helper thread; a run that outlasts the limit is a hang, and
// the test program ends at once rather than waiting for the test's time-out.
inline void FinishesWithin(std::chrono::seconds limit, const std::function<void()>& work) {
  std::packaged_task<void()> task(work);
  std::future<void> done = task.get_future();
  std::thread thread(std::move(task));
  if (done.wait_for(limit) != std::future_status::ready) {
    std::cerr << "hang: the work did not finish within " << limit.count() << " s\n";
    std::_Exit(EXIT_FAILURE);
  }
  thread.join();
  done.get();
}

// Makes a runner with a recorder's callback and the given arguments, lets
// configure set it up, starts it and waits for its worker to end.
template <typename Runner, typename... Args>
std::vector<Event> RunToEnd(const std::function<void(Runner&)>& configure, const Args&... args) {
  EventRecorder recorder;
  FinishesWithin(std::chrono::seconds(60), [&] {
    Runner runner(recorder.Callback(), args...);
    if (configure) configure(runner);
    runner.Start();
  });
  return recorder.Events();
}

}  // namespace TestSupport
