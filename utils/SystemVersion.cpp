#include "utils/SystemVersion.h"

#include "platform/SystemInfo.h"
#include "platform/Text.h"

namespace Utils {

std::wstring SystemVersionName(unsigned major, unsigned minor, unsigned build, bool serverR2) {
  build &= 0xFFFF;
  if (major <= 4) return L"XP-";
  switch (major) {
    case 5:
      if (minor == 0) return L"2K";
      if (minor == 1) return L"XP";
      if (minor == 2) return serverR2 ? L"Server 2003 R2" : L"Server 2003";
      return L"XP+";
    case 6:
      if (minor == 0) return L"Vista";
      if (minor == 1) return L"7";
      if (minor == 2) return L"8";
      if (minor == 3) return L"8.1";
      return L"8.1+";
    case 10:
      return minor == 0 ? L"10" : L"10+";
    default:
      return std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(build);
  }
}

std::wstring GetSystemVersionName() { return L"Linux " + Platform::AnsiToWide(Platform::KernelRelease()); }

}  // namespace Utils
