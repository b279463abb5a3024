// The installation without a window, for administrators and scripts: the
// same checks, the same chain and the same percent figure as the window,
// reported as lines on standard output and an exit code.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

class LaunchSettings;

enum SilentExitCode : int {
  kSilentSuccess = 0,
  kSilentProductRunning = 10,    // the product or the uninstaller copy runs
  kSilentInvalidFolder = 11,     // the install folder cannot be created
  kSilentLowDiskSpace = 12,      // less than 1 GiB free
  kSilentPoorNetwork = 13,       // the network check found no internet
  kSilentRemovalFailed = 20,     // the installed copy could not be removed
  kSilentDownloadFailed = 21,    // the package could not be downloaded
  kSilentInstallFailed = 22,     // the package installer failed
};

// Installs into installFolder, or the default folder when none is given.
int RunSilentInstall(const LaunchSettings& settings, const std::optional<std::wstring>& installFolder,
                     std::FILE* out);
