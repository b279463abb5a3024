#include "tools/package/Script.h"

#include <dirent.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string_view>
#include <thread>

#include "platform/Text.h"
#include "tools/package/Console.h"

namespace Peer {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    switch (c) {
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case '0': out += '\0'; break;
      case 'x':
        if (i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
          out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
          i += 2;
        } else {
          out += "\\x";
        }
        break;
      default: out += c; break;
    }
  }
  return out;
}

void Flood(int fd, long long bytes) {
  std::string line(63, fd == STDERR_FILENO ? 'e' : 'o');
  line += '\n';
  while (bytes > 0) {
    const std::size_t n = bytes < static_cast<long long>(line.size()) ? static_cast<std::size_t>(bytes) : line.size();
    if (!WriteAll(fd, std::string_view(line).substr(line.size() - n))) return;
    bytes -= static_cast<long long>(n);
  }
}

// Waits until the pipe behind standard output is empty.
void SyncWithReader() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int pending = 0;
  while (::ioctl(STDOUT_FILENO, FIONREAD, &pending) == 0 && pending > 0 &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool WriteArguments(const std::string& path, int argc, char** argv) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (int i = 0; i < argc; ++i) out << argv[i] << '\0';
  return static_cast<bool>(out);
}

bool WriteDescriptors(const std::string& path) {
  std::string list;
  DIR* dir = ::opendir("/proc/self/fd");
  if (dir == nullptr) return false;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || std::atoi(name.c_str()) == ::dirfd(dir)) continue;
    char target[256] = {};
    const ssize_t n = ::readlink(("/proc/self/fd/" + name).c_str(), target, sizeof target - 1);
    list += name + " " + std::string(target, n > 0 ? static_cast<std::size_t>(n) : 0) + "\n";
  }
  ::closedir(dir);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << list;
  return static_cast<bool>(out);
}

[[noreturn]] void Crash() {
  const rlimit noCore{0, 0};
  ::setrlimit(RLIMIT_CORE, &noCore);
  ::signal(SIGSEGV, SIG_DFL);
  ::raise(SIGSEGV);
  std::abort();
}

}  // namespace

int RunScriptOr(const char* variable, int argc, char** argv, const std::function<int()>& run) {
  const char* path = std::getenv(variable);
  if (path == nullptr || *path == '\0') return run();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "cannot read script " << path << "\n";
    return 2;
  }
  int exitCode = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::size_t blank = line.find(' ');
    const std::string directive = line.substr(0, blank);
    const std::string argument = blank == std::string::npos ? std::string() : line.substr(blank + 1);

    if (directive == "out") {
      WriteAll(STDOUT_FILENO, Unescape(argument) + "\n");
    } else if (directive == "raw") {
      WriteAll(STDOUT_FILENO, Unescape(argument));
    } else if (directive == "err") {
      WriteAll(STDERR_FILENO, Unescape(argument) + "\n");
    } else if (directive == "gbk") {
      WriteAll(STDOUT_FILENO, Platform::EncodeCodePage(936, Platform::Utf8ToWide(Unescape(argument))) + "\n");
    } else if (directive == "sync") {
      SyncWithReader();
    } else if (directive == "sleep") {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(argument.c_str())));
    } else if (directive == "flood-out") {
      Flood(STDOUT_FILENO, std::atoll(argument.c_str()));
    } else if (directive == "flood-err") {
      Flood(STDERR_FILENO, std::atoll(argument.c_str()));
    } else if (directive == "args") {
      if (!WriteArguments(argument, argc, argv)) return 2;
    } else if (directive == "fds") {
      if (!WriteDescriptors(argument)) return 2;
    } else if (directive == "run") {
      exitCode = run();
    } else if (directive == "crash") {
      Crash();
    } else if (directive == "exit") {
      return std::atoi(argument.c_str());
    } else {
      std::cerr << "bad script line: " << line << "\n";
      return 2;
    }
  }
  return exitCode;
}

}  // namespace Peer
