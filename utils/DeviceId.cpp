#include "utils/DeviceId.h"

#include <fmt/xchar.h>

#include "platform/SystemInfo.h"

namespace Utils {

std::wstring FormatDeviceId(const std::array<std::uint8_t, 16>& g) {
  const std::uint32_t data1 = (std::uint32_t{g[0]} << 24) | (std::uint32_t{g[1]} << 16) | (g[2] << 8) | g[3];
  const unsigned data2 = (g[4] << 8) | g[5];
  const unsigned data3 = (g[6] << 8) | g[7];
  return fmt::format(L"{:08X}{:04X}{:04x}{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}", data1, data2, data3, g[8],
                     g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
}

std::wstring NewDeviceId() {
  std::array<std::uint8_t, 16> guid{};
  Platform::RandomBytes(guid.data(), guid.size());
  guid[6] = static_cast<std::uint8_t>((guid[6] & 0x0F) | 0x40);  // version 4
  guid[8] = static_cast<std::uint8_t>((guid[8] & 0x3F) | 0x80);  // RFC 4122 variant
  return FormatDeviceId(guid);
}

}  // namespace Utils
