#include "tools/package/Console.h"

#include <unistd.h>

#include <cerrno>

namespace Peer {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void Say(std::string_view line) {
  std::string text(line);
  text += '\n';
  WriteAll(STDOUT_FILENO, text);
}

bool OptionValue(int argc, char** argv, std::string_view option, std::string& value, bool toEnd) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg(argv[i]);
    if (arg.substr(0, option.size()) != option) continue;
    value = arg.substr(option.size());
    if (toEnd)
      for (int k = i + 1; k < argc; ++k) value += std::string(" ") + argv[k];
    return true;
  }
  return false;
}

}  // namespace Peer
