#include "app/NumberText.h"

#include <charconv>
#include <cwctype>
#include <string>
#include <system_error>

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::size_t SkipBlanks(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::iswspace(text[i])) ++i;
  return i;
}

}  // namespace

ParsedNumber<int> ParseLeadingInt(std::wstring_view text) {
  std::size_t i = SkipBlanks(text);
  std::string digits;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    if (text[i] == L'-') digits += '-';
    ++i;
  }
  const std::size_t first = i;
  for (; i < text.size() && IsDigit(text[i]); ++i) digits += static_cast<char>(text[i]);
  if (i == first) return {};
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error == std::errc::result_out_of_range) return {NumberStatus::kOutOfRange, 0};
  return {NumberStatus::kOk, value};
}

ParsedNumber<double> ParseLeadingDouble(std::wstring_view text) {
  std::size_t i = SkipBlanks(text);
  std::string number;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    if (text[i] == L'-') number += '-';
    ++i;
  }
  std::size_t mantissaDigits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) number += static_cast<char>(text[i]);
  if (i < text.size() && text[i] == L'.') {
    number += '.';
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) number += static_cast<char>(text[i]);
  }
  if (mantissaDigits == 0) return {};
  // An exponent counts only when digits follow it.
  if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) exponent += static_cast<char>(text[j++]);
    const std::size_t firstDigit = j;
    for (; j < text.size() && IsDigit(text[j]); ++j) exponent += static_cast<char>(text[j]);
    if (j > firstDigit) number += exponent;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) return {NumberStatus::kOutOfRange, 0.0};
  if (error != std::errc()) return {};
  return {NumberStatus::kOk, value};
}
