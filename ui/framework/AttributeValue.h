// Conversions of markup attribute text into values. Malformed numbers read as
// far as they are numeric; what cannot be read at all is 0.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/framework/Geometry.h"

namespace SkinUI {

// 0xAARRGGBB from "#AARRGGBB", "0xAARRGGBB" or plain hexadecimal digits.
std::uint32_t ParseColor(std::wstring_view value);
int ParseInt(std::wstring_view value);
// Decimal numbers separated by single characters: "l,t,r,b"; missing ones are 0.
Rect ParseRect(std::wstring_view value);
Size ParseSize(std::wstring_view value);
// Only the exact word "true" is true.
bool ParseBool(std::wstring_view value);

// Element and entry names match ignoring letter case.
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

// True when a colour is drawn at all (its alpha is not 0).
inline bool IsVisibleColor(std::uint32_t argb) { return (argb >> 24) != 0; }

}  // namespace SkinUI
