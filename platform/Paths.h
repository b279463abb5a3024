// Where things are: the executable, the environment and the known folders.
#pragma once

#include <optional>
#include <string>

namespace Platform {

// Full path of the running executable.
std::wstring ExecutablePath();

// The value of an environment variable, or nothing when it is not set.
std::optional<std::wstring> GetEnvironmentVariable(const std::wstring& name);

// $TMPDIR, else "/tmp/"; always ends with "/".
std::wstring TempPath();

// Per-user application data: $APPDATA, else $XDG_DATA_HOME, else ~/.local/share.
std::wstring AppDataFolder();

// Per-user configuration: $XDG_CONFIG_HOME, else ~/.config.
std::wstring ConfigFolder();

// Where programs are installed ("/opt").
std::wstring ProgramFilesFolder();

// The folder part of a path (without the trailing "/"), empty when there is none.
std::wstring ParentFolder(const std::wstring& path);
// The last component of a path.
std::wstring FileNameOf(const std::wstring& path);

bool PathExists(const std::wstring& path);

}  // namespace Platform
