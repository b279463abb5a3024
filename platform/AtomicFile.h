// Replacing a file's whole content so that a crash leaves either the old or
// the new file, never half of one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// Writes a temporary file beside the target, flushes it to disk and renames
// it over the target. Returns false (target untouched) on any failure.
bool WriteFileAtomically(const std::wstring& path, std::string_view content);

// The whole file, or nothing when it cannot be read. Files larger than
// maxBytes are refused.
std::optional<std::string> ReadWholeFile(const std::wstring& path, std::size_t maxBytes);

}  // namespace Platform
