#include "platform/CommandLine.h"

#include <fstream>
#include <iterator>

#include "platform/Text.h"

namespace Platform {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::vector<std::wstring> CommandLineToArgv(std::wstring_view line) {
  std::vector<std::wstring> args;
  std::size_t i = 0;
  const std::size_t n = line.size();

  // The program name: up to the next quote when quoted, else to a blank;
  // backslashes are literal here.
  std::wstring program;
  if (i < n && line[i] == L'"') {
    ++i;
    while (i < n && line[i] != L'"') program += line[i++];
    if (i < n) ++i;
  } else {
    while (i < n && !IsBlank(line[i])) program += line[i++];
  }
  args.push_back(program);

  while (true) {
    while (i < n && IsBlank(line[i])) ++i;
    if (i >= n) break;
    std::wstring arg;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(line[i]))) {
      std::size_t slashes = 0;
      while (i < n && line[i] == L'\\') ++slashes, ++i;
      if (i < n && line[i] == L'"') {
        arg.append(slashes / 2, L'\\');
        if (slashes % 2 == 1) {
          arg += L'"';
          ++i;
        } else if (quoted && i + 1 < n && line[i + 1] == L'"') {
          arg += L'"';  // "" inside quotes is a literal quote
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg.append(slashes, L'\\');
        if (i < n && (quoted || !IsBlank(line[i]))) arg += line[i++];
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::wstring ArgvToCommandLine(const std::vector<std::wstring>& arguments) {
  std::wstring line;
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    const std::wstring& arg = arguments[k];
    if (k > 0) line += L' ';
    const bool plain = !arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos;
    if (plain) {
      line += arg;
      continue;
    }
    if (k == 0) {  // the program name knows no escapes
      line += L'"' + arg + L'"';
      continue;
    }
    line += L'"';
    std::size_t slashes = 0;
    for (wchar_t c : arg) {
      if (c == L'\\') {
        ++slashes;
        continue;
      }
      if (c == L'"') {
        line.append(slashes * 2 + 1, L'\\');
      } else {
        line.append(slashes, L'\\');
      }
      slashes = 0;
      line += c;
    }
    line.append(slashes * 2, L'\\');
    line += L'"';
  }
  return line;
}

std::wstring GetCommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::wstring> args;
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    args.push_back(AnsiToWide(std::string_view(raw).substr(start, end - start)));
    start = end + 1;
  }
  return ArgvToCommandLine(args);
}

}  // namespace Platform
