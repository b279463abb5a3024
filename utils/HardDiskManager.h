// Free space on the disk that holds a folder.
#pragma once

#include <cstdint>
#include <string>

namespace Utils {

class HardDiskManager {
 public:
  virtual ~HardDiskManager() = default;

  // Fills the three fields and returns true; on failure writes a record with
  // the system's error code and leaves the fields as they were.
  bool CheckFreeSpace(const std::wstring& directory);

  std::uint64_t m_FreeBytesAvailable = 0;  // free and available to the caller
  std::uint64_t m_TotalBytes = 0;
  std::uint64_t m_TotalFreeBytes = 0;
};

}  // namespace Utils
