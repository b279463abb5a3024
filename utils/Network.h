// Whether the machine reaches the internet.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/NetworkStatus.h"

namespace Utils {

// Low 16 bits: the connectivity flags; high 16 bits: 0 connected to the
// internet, 1 no connectivity, 2 connectivity but no internet. The whole
// value is 0 when the network manager cannot be reached.
std::uint32_t CheckNetwork();

// The same from a given answer of the network manager (none: unreachable).
std::uint32_t CheckNetwork(const std::optional<Platform::NetworkStatus>& status);

}  // namespace Utils
