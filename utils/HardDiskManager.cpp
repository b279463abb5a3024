#include "utils/HardDiskManager.h"

#include "app/Log.h"
#include "platform/Disk.h"

namespace Utils {

bool HardDiskManager::CheckFreeSpace(const std::wstring& directory) {
  Platform::DiskSpace space;
  int error = 0;
  if (!Platform::GetDiskFreeSpace(directory, space, error)) {
    LogRecord(L"HardDiskManager::CheckFreeSpace FAIL code=%ld\r\n", static_cast<long>(error));
    return false;
  }
  m_FreeBytesAvailable = space.freeToCaller;
  m_TotalBytes = space.total;
  m_TotalFreeBytes = space.totalFree;
  return true;
}

}  // namespace Utils
