#include "platform/Launch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "platform/Text.h"

extern char** environ;

namespace Platform {
namespace {

// The program gets its own session, so it is not tied to the installer's
// terminal or process group; a detached waiter reaps it should it end while
// the installer still runs.
bool SpawnDetached(const std::vector<std::string>& argv, const std::string& folder) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int r = ::posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (r != 0) return false;
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace

bool OpenAddress(const std::wstring& address) { return SpawnDetached({"xdg-open", WideToUtf8(address)}, {}); }

bool StartDetached(const std::wstring& program, const std::wstring& workingFolder) {
  return SpawnDetached({WideToAnsi(program)}, WideToAnsi(workingFolder));
}

}  // namespace Platform
