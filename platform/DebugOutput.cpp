#include "platform/DebugOutput.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/Text.h"

namespace Platform {
namespace {

class StderrSink final : public DebugSink {
 public:
  void Write(std::string_view record) override {
    const char* p = record.data();
    std::size_t left = record.size();
    // One write for the whole record; loop only for a pipe that takes less.
    while (left > 0) {
      const ssize_t n = ::write(STDERR_FILENO, p, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;
      p += n;
      left -= static_cast<std::size_t>(n);
    }
  }
};

StderrSink g_stderrSink;
std::atomic<DebugSink*> g_sink{nullptr};

}  // namespace

void OutputDebugString(std::wstring_view record) {
  const std::string bytes = WideToUtf8(record);
  DebugSink* sink = g_sink.load(std::memory_order_acquire);
  (sink != nullptr ? *sink : static_cast<DebugSink&>(g_stderrSink)).Write(bytes);
}

DebugSink* SetDebugSink(DebugSink* sink) { return g_sink.exchange(sink, std::memory_order_acq_rel); }

}  // namespace Platform
