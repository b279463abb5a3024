// A fresh random device identifier: 32 hexadecimal digits.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace Utils {

std::wstring NewDeviceId();

// Formats 16 bytes of a version 4 GUID: Data1 as 8 digits, Data2 as 4, Data3 as
// 4 in lower case, then the 8 bytes of Data4; all other digits upper case.
std::wstring FormatDeviceId(const std::array<std::uint8_t, 16>& guid);

}  // namespace Utils
