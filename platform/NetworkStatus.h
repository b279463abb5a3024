// The machine's connectivity as the network list manager reports it: a set of
// connectivity flags and whether the internet is reachable. On Linux the
// answer comes from NetworkManager over the system D-Bus.
#pragma once

#include <cstdint>
#include <optional>

namespace Platform {

constexpr std::uint32_t kConnectivityIpv4Internet = 0x40;
constexpr std::uint32_t kConnectivityIpv4LocalNetwork = 0x20;

struct NetworkStatus {
  std::uint32_t connectivity = 0;  // 0: no connectivity
  bool connectedToInternet = false;
};

// Nothing when NetworkManager cannot be reached.
std::optional<NetworkStatus> QueryNetworkStatus();

// NetworkManager's Connectivity property (0 unknown, 1 none, 2 portal,
// 3 limited, 4 full) and, for unknown, its State property.
NetworkStatus NetworkStatusFromNetworkManager(std::uint32_t connectivity, std::uint32_t state);

}  // namespace Platform
