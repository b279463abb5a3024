// Free space of the file system that holds a path.
#pragma once

#include <cstdint>
#include <string>

namespace Platform {

struct DiskSpace {
  std::uint64_t freeToCaller = 0;
  std::uint64_t total = 0;
  std::uint64_t totalFree = 0;
};

// Asks the file system of the path, or of its nearest existing ancestor when
// the path does not exist yet. On failure returns false and sets error to the
// errno value.
bool GetDiskFreeSpace(const std::wstring& path, DiskSpace& space, int& error);

}  // namespace Platform
