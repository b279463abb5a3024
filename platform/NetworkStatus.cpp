#include "platform/NetworkStatus.h"

#include <systemd/sd-bus.h>

namespace Platform {
namespace {

constexpr char kService[] = "org.freedesktop.NetworkManager";
constexpr char kPath[] = "/org/freedesktop/NetworkManager";
// A probe must not hold its caller for long when the bus is slow.
constexpr std::uint64_t kCallTimeoutUsec = 5'000'000;

enum : std::uint32_t { kUnknown = 0, kNone = 1, kPortal = 2, kLimited = 3, kFull = 4 };
enum : std::uint32_t { kStateConnectedLocal = 50, kStateConnectedSite = 60, kStateConnectedGlobal = 70 };

std::optional<std::uint32_t> ReadProperty(sd_bus* bus, const char* name) {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  std::uint32_t value = 0;
  const int r = sd_bus_get_property_trivial(bus, kService, kPath, kService, name, &error, 'u', &value);
  sd_bus_error_free(&error);
  if (r < 0) return std::nullopt;
  return value;
}

}  // namespace

NetworkStatus NetworkStatusFromNetworkManager(std::uint32_t connectivity, std::uint32_t state) {
  if (connectivity == kUnknown) {
    // Connectivity checking is off: judge by the connection state.
    if (state == kStateConnectedGlobal) connectivity = kFull;
    else if (state == kStateConnectedSite || state == kStateConnectedLocal) connectivity = kLimited;
    else connectivity = kNone;
  }
  switch (connectivity) {
    case kFull:
      return {kConnectivityIpv4Internet, true};
    case kPortal:
    case kLimited:
      return {kConnectivityIpv4LocalNetwork, false};
    default:
      return {0, false};
  }
}

std::optional<NetworkStatus> QueryNetworkStatus() {
  sd_bus* bus = nullptr;
  if (sd_bus_open_system(&bus) < 0) return std::nullopt;
  sd_bus_set_method_call_timeout(bus, kCallTimeoutUsec);
  std::optional<NetworkStatus> status;
  if (const auto connectivity = ReadProperty(bus, "Connectivity")) {
    const std::uint32_t state = *connectivity == kUnknown ? ReadProperty(bus, "State").value_or(0) : 0;
    status = NetworkStatusFromNetworkManager(*connectivity, state);
  }
  sd_bus_flush_close_unref(bus);
  return status;
}

}  // namespace Platform
