#include "install/ConsoleLines.h"

#include <locale.h>
#include <wchar.h>

#include <cstring>

#include "platform/Text.h"

namespace Utils {
namespace {

bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

std::wstring_view ValueOf(std::wstring_view line, std::wstring_view key) {
  return line.size() >= key.size() ? line.substr(key.size()) : std::wstring_view();
}

std::size_t SkipSpace(std::wstring_view text, std::size_t i) {
  while (i < text.size() && IsSpace(text[i])) ++i;
  return i;
}

// "%d" at text[i]: an optional sign and at least one digit, kept modulo 2^32.
bool ScanIntAt(std::wstring_view text, std::size_t& i, std::int32_t& value) {
  std::size_t k = SkipSpace(text, i);
  bool negative = false;
  if (k < text.size() && (text[k] == L'+' || text[k] == L'-')) negative = text[k++] == L'-';
  if (k >= text.size() || text[k] < L'0' || text[k] > L'9') return false;
  std::uint32_t bits = 0;
  for (; k < text.size() && text[k] >= L'0' && text[k] <= L'9'; ++k)
    bits = bits * 10u + static_cast<std::uint32_t>(text[k] - L'0');
  if (negative) bits = 0u - bits;
  value = static_cast<std::int32_t>(bits);
  i = k;
  return true;
}

// Numbers are written by the child in the C conventions, whatever locale
// this process has been given.
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

void LineAssembler::Feed(std::string_view chunk, const LineHandler& onLine) {
  for (const char c : chunk) {
    if (c == '\n') {
      if (state_ != State::Overlong) onLine(line_);
      line_.clear();
      state_ = State::Collecting;
      continue;
    }
    if (state_ != State::Collecting) continue;
    if (c == '\0') {
      state_ = State::AfterZero;
      continue;
    }
    line_ += c;
    if (line_.size() == kMaxLineBytes) {
      onLine(line_);
      line_.clear();
      state_ = State::Overlong;
    }
  }
}

void LineAssembler::Finish(const LineHandler& onLine) {
  if (state_ != State::Overlong && !line_.empty()) onLine(line_);
  line_.clear();
  state_ = State::Collecting;
}

ExitStatus ReadLinesUntilExit(ConsoleProcess& child, const LineAssembler::LineHandler& onLine) {
  LineAssembler lines;
  child.ReadUntilExit([&](std::string_view chunk) { lines.Feed(chunk, onLine); });
  lines.Finish(onLine);
  return child.Wait();
}

std::wstring DecodeLine(std::int32_t codePage, std::string_view bytes) {
  return Platform::DecodeCodePage(static_cast<unsigned>(codePage), bytes);
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool HasKey(std::wstring_view line, std::wstring_view key) { return line.substr(0, key.size()) == key; }

double ScanDouble(std::wstring_view line, std::wstring_view key, double fallback) {
  const std::wstring value(ValueOf(line, key));
  wchar_t* end = nullptr;
  const double number = wcstod_l(value.c_str(), &end, CLocale());
  return end == value.c_str() ? fallback : number;
}

std::int32_t ScanInt(std::wstring_view line, std::wstring_view key, std::int32_t fallback) {
  std::size_t i = 0;
  std::int32_t value = fallback;
  ScanIntAt(ValueOf(line, key), i, value);
  return value;
}

void ScanVersion(std::wstring_view line, std::wstring_view key, std::int32_t (&fields)[3]) {
  const std::wstring_view value = ValueOf(line, key);
  std::size_t i = 0;
  for (std::size_t f = 0; f < 3; ++f) {
    if (f > 0) {
      if (i >= value.size() || value[i] != L'.') return;
      ++i;
    }
    if (!ScanIntAt(value, i, fields[f])) return;
  }
}

std::wstring ScanText(std::wstring_view line, std::wstring_view key) {
  return std::wstring(ValueOf(line, key).substr(0, kMaxTextValue));
}

std::wstring_view Trimmed(std::wstring_view value) {
  std::size_t begin = 0, end = value.size();
  while (begin < end && IsSpace(value[begin])) ++begin;
  while (end > begin && IsSpace(value[end - 1])) --end;
  return value.substr(begin, end - begin);
}

bool TrimmedEquals(std::wstring_view value, std::wstring_view literal) { return Trimmed(value) == literal; }

std::int32_t ParseDecimal(std::wstring_view value) {
  std::size_t k = SkipSpace(value, 0);
  bool negative = false;
  if (k < value.size() && (value[k] == L'+' || value[k] == L'-')) negative = value[k++] == L'-';
  std::int64_t number = 0;
  bool digits = false;
  for (; k < value.size() && value[k] >= L'0' && value[k] <= L'9'; ++k) {
    digits = true;
    number = number * 10 + (value[k] - L'0');
    if (number > 2147483648LL) return 0;
  }
  if (!digits) return 0;
  if (negative) number = -number;
  if (number > 2147483647LL) return 0;
  return static_cast<std::int32_t>(number);
}

}  // namespace Utils
