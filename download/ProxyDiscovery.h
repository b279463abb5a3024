// The user's proxy for an address, as the desktop configures it (automatic
// configuration script or a fixed proxy, with its bypass list).
#pragma once

#include <string>

// A proxy address libcurl understands ("http://host:port", "socks5://..."),
// or "" when the address is reached directly or nothing is configured.
std::string DiscoverProxy(const std::string& address);
