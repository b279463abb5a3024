// Input and timer events that the window manager delivers to one control.
#pragma once

#include <cstdint>

#include "ui/framework/Geometry.h"

namespace SkinUI {

enum class EventType {
  MouseEnter,
  MouseLeave,
  MouseMove,
  ButtonDown,
  ButtonUp,
  SetFocus,
  KillFocus,
  KeyDown,
  Char,
  Timer,
};

// Key codes keep the values of the virtual keys they stand for.
namespace Key {
inline constexpr unsigned kBack = 0x08;
inline constexpr unsigned kTab = 0x09;
inline constexpr unsigned kReturn = 0x0D;
inline constexpr unsigned kEscape = 0x1B;
inline constexpr unsigned kSpace = 0x20;
}  // namespace Key

struct TEventUI {
  EventType type;
  Point mouse;
  std::uint64_t timestamp = 0;
  std::uintptr_t wParam = 0;  // timer id for Timer, key code for KeyDown, character for Char
  std::intptr_t lParam = 0;
};

}  // namespace SkinUI
