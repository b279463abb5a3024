// Running processes, by executable name.
#pragma once

#include <string>

namespace Platform {

// The id of a running process whose executable's file name is exactly the
// given one (the last component of /proc/<pid>/exe, or of its argv[0] where
// exe cannot be read), or 0 when there is none.
int FindProcessByName(const std::wstring& executableName);

}  // namespace Platform
