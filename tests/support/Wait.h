// Waiting on a condition with a deadline, never on luck.
#pragma once

#include <chrono>
#include <thread>

namespace TestSupport {

// Polls the condition until it holds or the limit has passed.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace TestSupport
