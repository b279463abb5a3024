// Conversions between wide text (UTF-32 wchar_t) and the narrow encodings at
// the system's borders: UTF-8, the locale's narrow encoding ("ANSI", code page
// 0) and numbered code pages of child programs' output.
#pragma once

#include <string>
#include <string_view>

namespace Platform {

constexpr unsigned kCodePageAnsi = 0;
constexpr unsigned kCodePageUtf8 = 65001;

// Invalid sequences become U+FFFD, or, when strict, the whole result is empty.
std::wstring Utf8ToWide(std::string_view utf8, bool strict = false);
std::string WideToUtf8(std::wstring_view text);

// The narrow encoding of the process's C locale (UTF-8 on supported systems).
std::wstring AnsiToWide(std::string_view bytes);
std::string WideToAnsi(std::wstring_view text);

// 0 = ANSI, 65001 = UTF-8, any other number through iconv as "CP<n>".
// A code page iconv does not know decodes to empty text. Undecodable bytes
// become U+FFFD.
std::wstring DecodeCodePage(unsigned codePage, std::string_view bytes);
std::string EncodeCodePage(unsigned codePage, std::wstring_view text);

// UTF-16 bytes (without their byte order mark); surrogate pairs are joined,
// unpaired surrogates and an odd last byte become U+FFFD.
std::wstring Utf16ToWide(std::string_view bytes, bool bigEndian = false);

}  // namespace Platform
