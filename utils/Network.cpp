#include "utils/Network.h"

#include "app/Log.h"

namespace Utils {

std::uint32_t CheckNetwork() { return CheckNetwork(Platform::QueryNetworkStatus()); }

std::uint32_t CheckNetwork(const std::optional<Platform::NetworkStatus>& status) {
  if (!status) return 0;
  const std::uint32_t flags = status->connectivity & 0xFFFF;
  std::uint32_t state = 0;
  if (flags == 0) {
    LogRecord(L"GetConnectivity %d", static_cast<int>(flags));
    state = 1;
  } else if (!status->connectedToInternet) {
    LogRecord(L"get_IsConnectedToInternet:%d", 0);
    state = 2;
  }
  return (state << 16) | flags;
}

}  // namespace Utils
