// Opening addresses and starting programs for the user, detached from the
// installer: they keep running when it ends.
#pragma once

#include <string>

namespace Platform {

// Opens an address with the desktop's handler (xdg-open).
bool OpenAddress(const std::wstring& address);

// Starts a program in its own session, in the given working folder (empty:
// the installer's). Does not wait for it.
bool StartDetached(const std::wstring& program, const std::wstring& workingFolder);

}  // namespace Platform
