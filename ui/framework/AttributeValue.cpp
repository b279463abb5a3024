#include "ui/framework/AttributeValue.h"

#include <cwchar>
#include <cwctype>
#include <string>

namespace SkinUI {
namespace {

// Reads up to `count` decimal numbers separated by one character each.
template <std::size_t N>
void ParseList(std::wstring_view value, int (&out)[N]) {
  const std::wstring text(value);
  const wchar_t* p = text.c_str();
  for (std::size_t i = 0; i < N; ++i) {
    wchar_t* end = nullptr;
    const long v = std::wcstol(p, &end, 10);
    out[i] = static_cast<int>(std::clamp<long>(v, -1000000, 1000000));
    if (*end == L'\0') break;
    p = end + 1;
  }
}

}  // namespace

std::uint32_t ParseColor(std::wstring_view value) {
  if (!value.empty() && value.front() == L'#') value.remove_prefix(1);
  const std::wstring text(value);
  return static_cast<std::uint32_t>(std::wcstoull(text.c_str(), nullptr, 16));
}

int ParseInt(std::wstring_view value) {
  int v[1] = {0};
  ParseList(value, v);
  return v[0];
}

Rect ParseRect(std::wstring_view value) {
  int v[4] = {0, 0, 0, 0};
  ParseList(value, v);
  return {v[0], v[1], v[2], v[3]};
}

Size ParseSize(std::wstring_view value) {
  int v[2] = {0, 0};
  ParseList(value, v);
  return {v[0], v[1]};
}

bool ParseBool(std::wstring_view value) { return value == L"true"; }

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
  return true;
}

}  // namespace SkinUI
