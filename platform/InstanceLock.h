// A named lock held by at most one process at a time: an exclusive flock on a
// file named after the lock in $XDG_RUNTIME_DIR (else the temporary folder).
// The kernel releases it when the process dies.
#pragma once

#include <string>

namespace Platform {

class InstanceLock {
 public:
  explicit InstanceLock(const std::wstring& name) : name_(name) {}
  ~InstanceLock() { Release(); }
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // True when this process now holds the lock; false when another holds it
  // or the lock file cannot be made.
  bool Acquire();
  void Release();
  bool Held() const { return fd_ >= 0; }

 private:
  std::wstring name_;
  int fd_ = -1;
};

}  // namespace Platform
