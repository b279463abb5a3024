// Events of the orchestrator's workers, handed over to one consuming thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

// A copy of one event: the text of a callback is valid only during the call.
struct InstallEventRecord {
  int code = 0;
  double progress = 0.0;
  std::wstring text;
};

class InstallEventQueue {
 public:
  // From any thread.
  void Push(int code, double progress, const wchar_t* text) {
    {
      std::lock_guard lock(mutex_);
      events_.push_back({code, progress, text != nullptr ? text : L""});
    }
    arrived_.notify_one();
  }

  // The next event, or nothing when none arrives within the timeout.
  std::optional<InstallEventRecord> Pop(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, timeout, [&] { return !events_.empty(); })) return std::nullopt;
    InstallEventRecord event = std::move(events_.front());
    events_.pop_front();
    return event;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<InstallEventRecord> events_;
};
