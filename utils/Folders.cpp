#include "utils/Folders.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/Paths.h"
#include "platform/Text.h"

namespace Utils {
namespace {

constexpr std::size_t kMaxPath = 260;

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateIfMissing(const std::string& path) {
  if (IsFolder(path)) return true;
  return ::mkdir(path.c_str(), 0755) == 0 || (errno == EEXIST && IsFolder(path));
}

}  // namespace

std::wstring GetWorkFolder() {
  const std::wstring folder = Platform::TempPath() + L"~KestrixTemp.92482B06FB471E17/";
  return CreateIfMissing(Platform::WideToAnsi(folder)) ? folder : std::wstring();
}

bool CreateDirectoryTree(const std::wstring& path) {
  if (path.size() > kMaxPath) return false;
  const std::string narrow = Platform::WideToAnsi(path);
  for (std::size_t slash = narrow.find('/', 1); slash != std::string::npos; slash = narrow.find('/', slash + 1))
    if (!CreateIfMissing(narrow.substr(0, slash + 1))) return false;
  if (!narrow.empty() && narrow.back() != '/' && !CreateIfMissing(narrow)) return false;
  return true;
}

}  // namespace Utils
