#include "platform/Disk.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <filesystem>

#include "platform/Text.h"

namespace Platform {

bool GetDiskFreeSpace(const std::wstring& path, DiskSpace& space, int& error) {
  if (path.empty()) {
    error = ENOENT;
    return false;
  }
  std::filesystem::path probe(WideToAnsi(path));
  struct stat st {};
  // Walk up to the nearest existing ancestor; any error but "missing" is final.
  while (::stat(probe.c_str(), &st) != 0) {
    if (errno != ENOENT) {
      error = errno;
      return false;
    }
    std::filesystem::path parent = probe.has_relative_path() ? probe.parent_path() : probe;
    if (parent.empty()) parent = ".";
    if (parent == probe) {
      error = ENOENT;
      return false;
    }
    probe = std::move(parent);
  }
  struct statvfs vfs {};
  if (::statvfs(probe.c_str(), &vfs) != 0) {
    error = errno;
    return false;
  }
  space.freeToCaller = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  space.total = static_cast<std::uint64_t>(vfs.f_blocks) * vfs.f_frsize;
  space.totalFree = static_cast<std::uint64_t>(vfs.f_bfree) * vfs.f_frsize;
  return true;
}

}  // namespace Platform
