#include "platform/Paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/Text.h"

namespace Platform {
namespace {

std::wstring HomeFolder() {
  if (auto home = GetEnvironmentVariable(L"HOME"); home && !home->empty()) return *home;
  if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) return AnsiToWide(pw->pw_dir);
  return L"/";
}

std::wstring WithoutTrailingSlash(std::wstring path) {
  while (path.size() > 1 && path.back() == L'/') path.pop_back();
  return path;
}

}  // namespace

std::wstring ExecutablePath() {
  std::string buffer(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return {};
  buffer.resize(static_cast<std::size_t>(n));
  return AnsiToWide(buffer);
}

std::optional<std::wstring> GetEnvironmentVariable(const std::wstring& name) {
  const char* value = std::getenv(WideToAnsi(name).c_str());
  if (value == nullptr) return std::nullopt;
  return AnsiToWide(value);
}

std::wstring TempPath() {
  std::wstring path = L"/tmp/";
  if (auto tmp = GetEnvironmentVariable(L"TMPDIR"); tmp && !tmp->empty()) path = *tmp;
  if (path.back() != L'/') path += L'/';
  return path;
}

std::wstring AppDataFolder() {
  if (auto v = GetEnvironmentVariable(L"APPDATA"); v && !v->empty()) return WithoutTrailingSlash(*v);
  if (auto v = GetEnvironmentVariable(L"XDG_DATA_HOME"); v && !v->empty()) return WithoutTrailingSlash(*v);
  return WithoutTrailingSlash(HomeFolder()) + L"/.local/share";
}

std::wstring ConfigFolder() {
  if (auto v = GetEnvironmentVariable(L"XDG_CONFIG_HOME"); v && !v->empty()) return WithoutTrailingSlash(*v);
  return WithoutTrailingSlash(HomeFolder()) + L"/.config";
}

std::wstring ProgramFilesFolder() { return L"/opt"; }

std::wstring ParentFolder(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L'/');
  if (slash == std::wstring::npos) return {};
  if (slash == 0) return L"/";
  return path.substr(0, slash);
}

std::wstring FileNameOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L'/');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool PathExists(const std::wstring& path) {
  struct stat st {};
  return !path.empty() && ::stat(WideToAnsi(path).c_str(), &st) == 0;
}

}  // namespace Platform
