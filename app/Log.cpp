#include "app/Log.h"

#include "platform/DebugOutput.h"

namespace Log {
namespace {

bool IsOpen(char c) { return c == '(' || c == '<' || c == '[' || c == '{'; }
bool IsClose(char c) { return c == ')' || c == '>' || c == ']' || c == '}'; }

// Index just past the bracket group opening at s[i].
std::size_t SkipGroup(std::string_view s, std::size_t i) {
  int depth = 0;
  for (; i < s.size(); ++i) {
    if (IsOpen(s[i])) ++depth;
    if (IsClose(s[i]) && --depth == 0) return i + 1;
  }
  return s.size();
}

}  // namespace

std::wstring QualifiedFunctionName(std::string_view s) {
  // GCC appends the template arguments as " [with T = ...]".
  if (const std::size_t with = s.rfind(" [with "); with != std::string_view::npos) s = s.substr(0, with);

  // The name starts after the last top-level blank before the parameter list;
  // what stands before it is the return type and specifiers.
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size();) {
    if (s[i] == ' ') {
      start = i + 1;
      ++i;
    } else if (s[i] == '(' && i > 0 && s[i - 1] != ' ' && s[i - 1] != ':') {
      break;  // the parameter list of the function
    } else if (IsOpen(s[i])) {
      i = SkipGroup(s, i);
    } else {
      ++i;
    }
  }

  std::string out;
  for (std::size_t i = start; i < s.size();) {
    const char c = s[i];
    if (c == ' ') {
      // Qualifiers of a member function: the name goes on when a nested scope
      // (a lambda inside it) follows them, else the name is complete.
      const std::size_t scope = s.find("::", i);
      if (scope == std::string_view::npos || s.substr(i, scope - i).find_first_of("(<") != std::string_view::npos)
        break;
      i = scope;
      continue;
    }
    if (IsOpen(c)) {
      const std::size_t end = SkipGroup(s, i);
      const std::string_view group = s.substr(i, end - i);
      if (group.starts_with("<lambda") || group.starts_with("(lambda") || group == "(anonymous class)") {
        out += "<lambda>";
      } else if (group == "{anonymous}" || group == "(anonymous namespace)") {
        out += "{anonymous}";
      } else if (group == "()" && out.ends_with("operator")) {
        out += "()";
      }
      i = end;
      continue;
    }
    out += c;
    ++i;
  }
  if (out.ends_with("<lambda>")) out += "::operator()";
  return std::wstring(out.begin(), out.end());
}

void Emit(const std::wstring& record) { Platform::OutputDebugString(record); }

}  // namespace Log
