#include "ui/framework/Button.h"

#include "ui/framework/AttributeTable.h"
#include "ui/framework/AttributeValue.h"

namespace SkinUI {
namespace {

const AttributeEntry<CButtonUI> kAttributes[] = {
    {L"normalimage", [](CButtonUI& c, std::wstring_view v) { c.SetNormalImage(v); }},
    {L"hotimage", [](CButtonUI& c, std::wstring_view v) { c.SetHotImage(v); }},
    {L"pushedimage", [](CButtonUI& c, std::wstring_view v) { c.SetPushedImage(v); }},
    {L"focusedimage", [](CButtonUI& c, std::wstring_view v) { c.SetFocusedImage(v); }},
    {L"disabledimage", [](CButtonUI& c, std::wstring_view v) { c.SetDisabledImage(v); }},
    {L"hottextcolor", [](CButtonUI& c, std::wstring_view v) { c.SetHotTextColor(ParseColor(v)); }},
    {L"pushedtextcolor", [](CButtonUI& c, std::wstring_view v) { c.SetPushedTextColor(ParseColor(v)); }},
    {L"focusedtextcolor", [](CButtonUI& c, std::wstring_view v) { c.SetFocusedTextColor(ParseColor(v)); }},
    {L"hotbkcolor", [](CButtonUI& c, std::wstring_view v) { c.SetHotBkColor(ParseColor(v)); }},
    {L"pushedbkcolor", [](CButtonUI& c, std::wstring_view v) { c.SetPushedBkColor(ParseColor(v)); }},
    {L"disabledbkcolor", [](CButtonUI& c, std::wstring_view v) { c.SetDisabledBkColor(ParseColor(v)); }},
};

}  // namespace

CButtonUI::CButtonUI() {
  TextStyle s = GetTextStyle();
  s.h = TextStyle::HAlign::Center;
  SetTextStyle(s);
}

std::wstring_view CButtonUI::GetClass() const { return L"Button"; }

void CButtonUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (!ApplyFromTable<CButtonUI>(kAttributes, *this, name, value)) CLabelUI::SetAttribute(name, value);
}

bool CButtonUI::Activate() {
  if (!CLabelUI::Activate()) return false;
  Notify(NotifyType::kClick);
  return true;
}

void CButtonUI::SetEnabled(bool enabled) {
  if (!enabled) hot_ = pushed_ = captured_ = false;
  CLabelUI::SetEnabled(enabled);
}

bool CButtonUI::SetSlot(CImageSlot& slot, std::wstring_view image) {
  if (!slot.SetText(image)) return false;
  Invalidate();
  return true;
}

void CButtonUI::SetNormalImage(std::wstring_view image) { SetSlot(normalImage_, image); }
void CButtonUI::SetHotImage(std::wstring_view image) { SetSlot(hotImage_, image); }
void CButtonUI::SetPushedImage(std::wstring_view image) { SetSlot(pushedImage_, image); }
void CButtonUI::SetFocusedImage(std::wstring_view image) { SetSlot(focusedImage_, image); }
void CButtonUI::SetDisabledImage(std::wstring_view image) { SetSlot(disabledImage_, image); }

void CButtonUI::SetHotTextColor(std::uint32_t argb) {
  hotTextColor_ = argb;
  Invalidate();
}
void CButtonUI::SetPushedTextColor(std::uint32_t argb) {
  pushedTextColor_ = argb;
  Invalidate();
}
void CButtonUI::SetFocusedTextColor(std::uint32_t argb) {
  focusedTextColor_ = argb;
  Invalidate();
}
void CButtonUI::SetHotBkColor(std::uint32_t argb) {
  hotBkColor_ = argb;
  Invalidate();
}
void CButtonUI::SetPushedBkColor(std::uint32_t argb) {
  pushedBkColor_ = argb;
  Invalidate();
}
void CButtonUI::SetDisabledBkColor(std::uint32_t argb) {
  disabledBkColor_ = argb;
  Invalidate();
}

void CButtonUI::DoEvent(TEventUI& event) {
  if (!IsEnabled()) {
    CLabelUI::DoEvent(event);
    return;
  }
  switch (event.type) {
    case EventType::MouseEnter:
      hot_ = true;
      Invalidate();
      return;
    case EventType::MouseLeave:
      hot_ = false;
      Invalidate();
      return;
    case EventType::ButtonDown:
      captured_ = pushed_ = true;
      Invalidate();
      return;
    case EventType::MouseMove:
      if (captured_) {
        const bool inside = GetPos().Contains(event.mouse);
        if (inside != pushed_) {
          pushed_ = inside;
          Invalidate();
        }
      }
      return;
    case EventType::ButtonUp:
      if (captured_) {
        captured_ = pushed_ = false;
        Invalidate();
        if (GetPos().Contains(event.mouse)) Activate();
      }
      return;
    case EventType::KeyDown:
      if (event.wParam == Key::kSpace || event.wParam == Key::kReturn) Activate();
      return;
    default:
      CLabelUI::DoEvent(event);
  }
}

void CButtonUI::PaintStatusImage(cairo_t* cr) { PaintStateLayer(cr, true); }

void CButtonUI::PaintStateLayer(cairo_t* cr, bool allowPushed) {
  const CImageSlot* image = &normalImage_;
  std::uint32_t fill = 0;
  if (!IsEnabled()) {
    fill = disabledBkColor_;
    image = &disabledImage_;
  } else if (pushed_ && allowPushed) {
    fill = pushedBkColor_;
    image = &pushedImage_;
  } else if (hot_) {
    fill = hotBkColor_;
    image = &hotImage_;
  } else if (IsFocused()) {
    image = &focusedImage_;
  }
  Render::FillRect(cr, GetPos(), fill);
  if (!DrawImage(cr, *image) && image != &normalImage_) DrawImage(cr, normalImage_);
}

std::uint32_t CButtonUI::CurrentTextColor() const {
  if (IsEnabled()) {
    if (pushed_ && pushedTextColor_ != 0) return pushedTextColor_;
    if (hot_ && hotTextColor_ != 0) return hotTextColor_;
    if (IsFocused() && focusedTextColor_ != 0) return focusedTextColor_;
  }
  return CLabelUI::CurrentTextColor();
}

}  // namespace SkinUI
