#include "platform/Processes.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "platform/Text.h"

namespace Platform {
namespace {

std::string LastComponent(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExecutableNameOf(const std::string& pid) {
  char target[4096];
  const ssize_t n = ::readlink(("/proc/" + pid + "/exe").c_str(), target, sizeof(target) - 1);
  if (n > 0) {
    std::string path(target, static_cast<std::size_t>(n));
    // A program replaced while it runs shows as "<path> (deleted)".
    static constexpr std::string_view kDeleted = " (deleted)";
    if (path.ends_with(kDeleted)) path.resize(path.size() - kDeleted.size());
    return LastComponent(path);
  }
  std::ifstream cmdline("/proc/" + pid + "/cmdline", std::ios::binary);
  std::string argv0;
  std::getline(cmdline, argv0, '\0');
  return LastComponent(argv0);
}

}  // namespace

int FindProcessByName(const std::wstring& executableName) {
  const std::string wanted = WideToAnsi(executableName);
  std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
  if (!proc) return 0;
  while (const dirent* entry = ::readdir(proc.get())) {
    const std::string pid = entry->d_name;
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    if (ExecutableNameOf(pid) == wanted) return std::atoi(pid.c_str());
  }
  return 0;
}

}  // namespace Platform
