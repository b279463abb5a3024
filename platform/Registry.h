// The current user's registry: one file per key path below
// $XDG_CONFIG_HOME/registry/HKEY_CURRENT_USER, holding the key's string
// values as a JSON object. Every write replaces the file atomically and keeps
// the key's other values.
#pragma once

#include <optional>
#include <string>

namespace Platform {

// keyPath uses "\" between its parts, as in "Software\KestrixSoft\Velmora".
// Nothing when the key or the value is missing, or the key's file is damaged.
std::optional<std::wstring> ReadUserRegistryValue(const std::wstring& keyPath, const std::wstring& valueName);

// Creates the key as needed. A damaged key file is set aside (".damaged")
// rather than overwritten, so nothing that was in it is lost.
bool WriteUserRegistryValue(const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& value);

// The file that holds a key, or empty for a key path that names none.
std::wstring UserRegistryKeyFile(const std::wstring& keyPath);

}  // namespace Platform
