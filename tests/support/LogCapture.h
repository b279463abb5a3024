// Captures diagnostic records for the lifetime of the object.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DebugOutput.h"

namespace TestSupport {

class LogCapture final : public Platform::DebugSink {
 public:
  LogCapture() { previous_ = Platform::SetDebugSink(this); }
  ~LogCapture() override { Platform::SetDebugSink(previous_); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  void Write(std::string_view record) override {
    std::lock_guard lock(mutex_);
    records_.emplace_back(record);
  }

  // Whole records, UTF-8.
  std::vector<std::string> Records() const {
    std::lock_guard lock(mutex_);
    return records_;
  }

  // The message part of each record (after the prefix's ": "), optionally only
  // those written by the given function.
  std::vector<std::string> Messages(std::string_view function = {}) const {
    std::vector<std::string> out;
    for (const std::string& r : Records()) {
      const std::size_t open = r.find(">(");
      const std::size_t close = r.find(")<", open);
      const std::size_t colon = r.find(">: ", close);
      if (open == std::string::npos || close == std::string::npos || colon == std::string::npos) continue;
      if (!function.empty() && std::string_view(r).substr(open + 2, close - open - 2) != function) continue;
      out.push_back(r.substr(colon + 3));
    }
    return out;
  }

  bool Contains(std::string_view message) const {
    for (const std::string& m : Messages())
      if (m == message) return true;
    return false;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> records_;
  Platform::DebugSink* previous_ = nullptr;
};

}  // namespace TestSupport
