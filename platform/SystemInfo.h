// Facts about the running process and machine.
#pragma once

#include <string>

namespace Platform {

struct LocalTime {
  int year, month, day, hour, minute, second, millisecond;
};

LocalTime LocalTimeNow();
int CurrentProcessId();
int CurrentThreadId();  // the kernel's thread id (gettid)

// uname's release, e.g. "6.1.0-18-amd64"; empty when unknown.
std::string KernelRelease();

// Fills the buffer with cryptographically random bytes; false on failure.
bool RandomBytes(void* buffer, std::size_t size);

}  // namespace Platform
