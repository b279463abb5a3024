// Notifications: how controls report to their window.
#pragma once

#include <cstdint>
#include <string>

#include "ui/framework/Geometry.h"

namespace SkinUI {

class CControlUI;

// Notification types the framework sends.
namespace NotifyType {
inline constexpr wchar_t kClick[] = L"click";
inline constexpr wchar_t kSelectChanged[] = L"selectchanged";
inline constexpr wchar_t kTabSelect[] = L"tabselect";
inline constexpr wchar_t kTimer[] = L"timer";
inline constexpr wchar_t kWindowInit[] = L"windowinit";
inline constexpr wchar_t kSetFocus[] = L"setfocus";
inline constexpr wchar_t kKillFocus[] = L"killfocus";
inline constexpr wchar_t kTextChanged[] = L"textchanged";
}  // namespace NotifyType

struct NotifyMsg {
  std::wstring type;
  std::wstring virtualWnd;
  CControlUI* sender = nullptr;
  std::uint64_t timestamp = 0;  // milliseconds since system start, set when sent
  Point mouse;                  // last known mouse position in client coordinates
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(NotifyMsg& msg) = 0;
};

}  // namespace SkinUI
