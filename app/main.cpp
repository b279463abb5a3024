// The installer's entry point.
#include <cstdio>
#include <cstring>

#include "app/CommandLineMap.h"
#include "app/LaunchSettings.h"
#include "app/SilentInstall.h"
#include "platform/CommandLine.h"
#include "platform/InstanceLock.h"
#include "platform/Text.h"
#include "resources/VersionInfo.h"

namespace {

constexpr wchar_t kInstanceLockName[] = L"D1A547DB89C0BC61_Installer_Velmora";
constexpr int kExitNoWindow = 2;

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s\n", Platform::WideToUtf8(Resources::VersionText()).c_str());
      return 0;
    }
  }

  // A second installer ends at once, shows nothing and parses nothing.
  Platform::InstanceLock guard(kInstanceLockName);
  if (!guard.Acquire()) return -1;

  const std::vector<std::wstring> arguments = Platform::CommandLineToArgv(Platform::GetCommandLine());
  g_LaunchSettings.ParseCommandLine(arguments);
  const CommandLineMap options(arguments);
  if (options.Has(L"-silent") && options.Bool(L"-silent")) {
    std::optional<std::wstring> folder;
    if (options.Has(L"-instdir")) folder = options.String(L"-instdir");
    return RunSilentInstall(g_LaunchSettings, folder, stdout);
  }

  std::fprintf(stderr, "This build installs without a window only: run it with -silent=true.\n");
  return kExitNoWindow;
}
