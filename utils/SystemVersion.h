// The name of the running system's version.
#pragma once

#include <string>

namespace Utils {

// The version table of the Windows releases, by their NT numbers.
std::wstring SystemVersionName(unsigned major, unsigned minor, unsigned build, bool serverR2);

// This system's name; on Linux "Linux " and the kernel release.
std::wstring GetSystemVersionName();

}  // namespace Utils
