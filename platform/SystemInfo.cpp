#include "platform/SystemInfo.h"

#include <sys/random.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>

namespace Platform {

LocalTime LocalTimeNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&seconds, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms)};
}

int CurrentProcessId() { return static_cast<int>(::getpid()); }

int CurrentThreadId() {
  thread_local const int id = static_cast<int>(::syscall(SYS_gettid));
  return id;
}

std::string KernelRelease() {
  utsname name{};
  if (::uname(&name) != 0) return {};
  return name.release;
}

bool RandomBytes(void* buffer, std::size_t size) {
  auto* p = static_cast<unsigned char*>(buffer);
  while (size > 0) {
    const ssize_t n = ::getrandom(p, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace Platform
