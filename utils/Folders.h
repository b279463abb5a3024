// The installer's folders.
#pragma once

#include <string>

namespace Utils {

// "~KestrixTemp.92482B06FB471E17/" in the temporary folder, created (one level)
// when missing; empty when it cannot be created. Ends with "/".
std::wstring GetWorkFolder();

// Creates every missing folder along the path. False at once for a path of
// more than 260 characters, and as soon as a creation fails.
bool CreateDirectoryTree(const std::wstring& path);

}  // namespace Utils
