#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/Paths.h"
#include "platform/Text.h"

namespace Platform {

bool InstanceLock::Acquire() {
  if (fd_ >= 0) return true;
  std::wstring folder = TempPath();
  if (auto runtime = GetEnvironmentVariable(L"XDG_RUNTIME_DIR"); runtime && !runtime->empty()) folder = *runtime + L"/";
  const std::string path = WideToAnsi(folder + name_ + L".lock");
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void InstanceLock::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace Platform
