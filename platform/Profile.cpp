#include "platform/Profile.h"

#include <cwctype>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace Platform {
namespace {

// Larger files are not settings files; they read as missing.
constexpr std::size_t kMaxProfileBytes = 16u << 20;

std::wstring_view Trim(std::wstring_view s) {
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\v' || c == L'\f'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  return true;
}

std::wstring DecodeFile(const std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
    return Utf16ToWide(std::string_view(bytes).substr(2));
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return Utf8ToWide(std::string_view(bytes).substr(3));
  return Utf8ToWide(bytes);
}

// The file's lines; nothing when it exists but cannot be read, so that a
// write never replaces content it could not see.
std::optional<std::vector<std::wstring>> ReadLines(const std::wstring& path) {
  std::vector<std::wstring> lines;
  const std::optional<std::string> bytes = ReadWholeFile(path, kMaxProfileBytes);
  if (!bytes) {
    if (PathExists(path)) return std::nullopt;
    return lines;
  }
  const std::wstring text = DecodeFile(*bytes);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// The section name of a "[name]" line.
std::optional<std::wstring_view> SectionOf(std::wstring_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != L'[') return std::nullopt;
  line.remove_prefix(1);
  const std::size_t close = line.find(L']');
  return Trim(close == std::wstring_view::npos ? line : line.substr(0, close));
}

struct Entry {
  std::wstring_view key;
  std::wstring_view value;
};

std::optional<Entry> EntryOf(std::wstring_view line) {
  const std::size_t eq = line.find(L'=');
  if (eq == std::wstring_view::npos) return std::nullopt;
  return Entry{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

struct Location {
  std::optional<std::size_t> sectionLine;  // the first matching section header
  std::optional<std::size_t> keyLine;      // the first matching key in it
  std::size_t sectionEnd = 0;              // one past the section's last non-blank line
};

Location Find(const std::vector<std::wstring>& lines, std::wstring_view section, std::wstring_view key) {
  Location at;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionOf(lines[i])) {
      if (at.sectionLine) break;
      if (EqualsNoCase(*name, Trim(section))) at.sectionLine = i, at.sectionEnd = i + 1;
      continue;
    }
    if (!at.sectionLine) continue;
    if (!Trim(lines[i]).empty()) at.sectionEnd = i + 1;
    if (auto entry = EntryOf(lines[i]); entry && !at.keyLine && EqualsNoCase(entry->key, Trim(key))) at.keyLine = i;
  }
  return at;
}

std::wstring Unquote(std::wstring_view value) {
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::wstring(value);
}

std::optional<std::wstring> ReadValue(const std::wstring& section, const std::wstring& key, const std::wstring& path) {
  const std::optional<std::vector<std::wstring>> lines = ReadLines(path);
  if (!lines) return std::nullopt;
  const Location at = Find(*lines, section, key);
  if (!at.keyLine) return std::nullopt;
  return Unquote(EntryOf((*lines)[*at.keyLine])->value);
}

}  // namespace

std::wstring GetPrivateProfileString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& defaultValue, const std::wstring& path,
                                     std::size_t bufferSize) {
  std::wstring value = ReadValue(section, key, path).value_or(defaultValue);
  const std::size_t limit = bufferSize == 0 ? 0 : bufferSize - 1;
  if (value.size() > limit) value.resize(limit);
  return value;
}

int GetPrivateProfileInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                         const std::wstring& path) {
  const std::optional<std::wstring> value = ReadValue(section, key, path);
  if (!value) return defaultValue;
  std::size_t i = 0;
  while (i < value->size() && std::iswspace((*value)[i])) ++i;
  bool negative = false;
  if (i < value->size() && ((*value)[i] == L'-' || (*value)[i] == L'+')) negative = (*value)[i++] == L'-';
  long long number = 0;
  for (; i < value->size() && (*value)[i] >= L'0' && (*value)[i] <= L'9'; ++i) {
    number = number * 10 + ((*value)[i] - L'0');
    if (number > 2147483648LL) return defaultValue;
  }
  if (negative) number = -number;
  if (number > 2147483647LL) return defaultValue;
  return static_cast<int>(number);
}

bool WritePrivateProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                               const std::wstring& path) {
  std::optional<std::vector<std::wstring>> read = ReadLines(path);
  if (!read) return false;
  std::vector<std::wstring>& lines = *read;
  const Location at = Find(lines, section, key);
  const std::wstring entry = key + L"=" + value;
  if (at.keyLine) {
    lines[*at.keyLine] = entry;
  } else if (at.sectionLine) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at.sectionEnd), entry);
  } else {
    lines.push_back(L"[" + section + L"]");
    lines.push_back(entry);
  }
  std::wstring text;
  for (const std::wstring& line : lines) text += line + L"\n";
  return WriteFileAtomically(path, WideToUtf8(text));
}

}  // namespace Platform
