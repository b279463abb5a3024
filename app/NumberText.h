// Reading numbers at the start of a text, as the settings sources write them.
#pragma once

#include <string_view>

enum class NumberStatus {
  kOk,
  kNoNumber,    // the text starts with no number at all
  kOutOfRange,  // a number, but too large (or too small) for its type
};

template <typename T>
struct ParsedNumber {
  NumberStatus status = NumberStatus::kNoNumber;
  T value{};
};

// Leading blanks, one sign, then decimal digits up to the first other character.
ParsedNumber<int> ParseLeadingInt(std::wstring_view text);

// Leading blanks, then the longest prefix in plain decimal notation: optional
// sign, digits, optional point and fraction, optional exponent. "inf", "nan"
// and hexadecimal forms are no numbers.
ParsedNumber<double> ParseLeadingDouble(std::wstring_view text);
