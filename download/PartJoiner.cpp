#include "download/PartJoiner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace {

struct Fd {
  int fd;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

bool CopyAll(int from, int to) {
  constexpr std::size_t kBlock = 1 << 20;
  std::unique_ptr<char[]> block(new char[kBlock]);
  for (;;) {
    const ssize_t n = ::read(from, block.get(), kBlock);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(to, block.get() + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      done += w;
    }
  }
}

}  // namespace

bool JoinParts(const std::vector<std::string>& partPaths, const std::string& targetPath,
               std::int64_t expectedLength) {
  if (partPaths.empty()) return false;
  {
    Fd first(::open(partPaths[0].c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (first.fd < 0) return false;
    for (std::size_t i = 1; i < partPaths.size(); ++i) {
      Fd part(::open(partPaths[i].c_str(), O_RDONLY | O_CLOEXEC));
      if (part.fd < 0 || !CopyAll(part.fd, first.fd)) return false;
    }
    const int fd = first.fd;
    first.fd = -1;
    if (::close(fd) != 0) return false;
  }
  if (std::rename(partPaths[0].c_str(), targetPath.c_str()) != 0) return false;
  struct stat st {};
  return ::stat(targetPath.c_str(), &st) == 0 && st.st_size == expectedLength;
}
