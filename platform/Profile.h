// Profile (INI) files with the semantics of the Windows profile functions:
// case-insensitive section and key names, blanks around names and values
// ignored, a value in matching quotes loses them, strings cut to the buffer
// size less one, the first of repeated sections or keys wins. Files are read
// as UTF-8, or UTF-16LE when they start with its byte order mark; writes
// replace the whole file atomically in UTF-8.
#pragma once

#include <string>

namespace Platform {

constexpr std::size_t kProfileBufferSize = 260;

std::wstring GetPrivateProfileString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& defaultValue, const std::wstring& path,
                                     std::size_t bufferSize = kProfileBufferSize);

// The leading decimal integer of the value (blanks and one sign allowed), 0
// when the value starts with no digit, the default when the key is missing or
// the number does not fit.
int GetPrivateProfileInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                         const std::wstring& path);

// Sets the key, creating the file and the section as needed; every other
// line stays as it was.
bool WritePrivateProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                               const std::wstring& path);

}  // namespace Platform
