// The multi-part downloader's probe: one HEAD that follows redirects and
// learns the final address and the length of the file.
#pragma once

#include <cstdint>
#include <string>

struct ProbeAnswer {
  std::string effectiveUrl;  // empty when libcurl has none
  std::int64_t length = -1;  // -1 when unknown or the response code is outside 200..399
};

// False when no handle could be made, an option or the transfer failed.
bool ProbeDownload(const std::string& address, ProbeAnswer& answer);
