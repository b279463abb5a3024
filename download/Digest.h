// The package's expected digest, taken from its address, and the digest of a file.
#pragma once

#include <string>

// The last directory component of an address: ".../<md5>/<file>" gives
// "<md5>"; "" when the address has fewer than two slashes. The caller accepts
// it as a digest only when it has exactly 32 characters.
std::string GetUrlMd5(const std::string& address);

// 32 lower-case hexadecimal digits of the file's MD5; "" when the path is
// empty or the file cannot be read.
std::string GetFileMd5(const std::string& path);

// True when the text can stand for an MD5 digest (exactly 32 characters).
inline bool IsDigestText(const std::string& text) { return text.size() == 32; }
