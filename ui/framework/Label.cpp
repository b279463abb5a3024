#include "ui/framework/Label.h"

#include "ui/framework/AttributeTable.h"
#include "ui/framework/AttributeValue.h"
#include "ui/framework/Font.h"
#include "ui/framework/WindowManager.h"

namespace SkinUI {
namespace {

const AttributeEntry<CLabelUI> kAttributes[] = {
    {L"font", [](CLabelUI& c, std::wstring_view v) { c.SetFont(ParseInt(v)); }},
    {L"textcolor", [](CLabelUI& c, std::wstring_view v) { c.SetTextColor(ParseColor(v)); }},
    {L"disabledtextcolor", [](CLabelUI& c, std::wstring_view v) { c.SetDisabledTextColor(ParseColor(v)); }},
    {L"align", [](CLabelUI& c, std::wstring_view v) { c.SetAlign(v); }},
    {L"valign", [](CLabelUI& c, std::wstring_view v) { c.SetVAlign(v); }},
    {L"textpadding", [](CLabelUI& c, std::wstring_view v) { c.SetTextPadding(ParseRect(v)); }},
    {L"multiline", [](CLabelUI& c, std::wstring_view v) { c.SetMultiLine(ParseBool(v)); }},
};

}  // namespace

CLabelUI::CLabelUI() = default;

std::wstring_view CLabelUI::GetClass() const { return L"Label"; }

void CLabelUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (!ApplyFromTable<CLabelUI>(kAttributes, *this, name, value)) CControlUI::SetAttribute(name, value);
}

void CLabelUI::SetFont(int index) {
  if (index == font_) return;
  font_ = index;
  Invalidate();
}

void CLabelUI::SetTextColor(std::uint32_t argb) {
  if (argb == textColor_) return;
  textColor_ = argb;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(std::uint32_t argb) {
  if (argb == disabledTextColor_) return;
  disabledTextColor_ = argb;
  Invalidate();
}

void CLabelUI::SetTextPadding(const Rect& rc) {
  if (rc == textPadding_) return;
  textPadding_ = rc;
  Invalidate();
}

void CLabelUI::SetTextStyle(TextStyle style) {
  style_ = style;
  Invalidate();
}

void CLabelUI::SetAlign(std::wstring_view value) {
  TextStyle s = style_;
  if (value.find(L"left") != std::wstring_view::npos) s.h = TextStyle::HAlign::Left;
  if (value.find(L"center") != std::wstring_view::npos) s.h = TextStyle::HAlign::Center;
  if (value.find(L"right") != std::wstring_view::npos) s.h = TextStyle::HAlign::Right;
  SetTextStyle(s);
}

// "center" is not a vertical alignment; the text stays vertically centred.
void CLabelUI::SetVAlign(std::wstring_view value) {
  TextStyle s = style_;
  if (value.find(L"top") != std::wstring_view::npos) s.v = TextStyle::VAlign::Top;
  if (value.find(L"vcenter") != std::wstring_view::npos) s.v = TextStyle::VAlign::Center;
  if (value.find(L"bottom") != std::wstring_view::npos) s.v = TextStyle::VAlign::Bottom;
  SetTextStyle(s);
}

void CLabelUI::SetMultiLine(bool multiline) {
  TextStyle s = style_;
  s.multiline = multiline;
  SetTextStyle(s);
}

std::uint32_t CLabelUI::CurrentTextColor() const {
  CWindowManager* m = GetManager();
  if (!IsEnabled()) {
    if (disabledTextColor_ != 0) return disabledTextColor_;
    return m ? m->GetDefaultDisabledColor() : 0xFFA7A6AA;
  }
  if (textColor_ != 0) return textColor_;
  return m ? m->GetDefaultFontColor() : 0xFF000000;
}

Size CLabelUI::MeasureText() const {
  CWindowManager* m = GetManager();
  if (m == nullptr) return {};
  const Rect area = GetPos().Deflate(textPadding_);
  return Render::MeasureText(m->GetFont(font_), GetText(), style_, area.Width());
}

void CLabelUI::PaintText(cairo_t* cr) {
  CWindowManager* m = GetManager();
  if (m == nullptr) return;
  const std::wstring text = GetText();
  if (text.empty()) return;
  Render::DrawText(cr, m->GetFont(font_), GetPos().Deflate(textPadding_), text, CurrentTextColor(), style_);
}

}  // namespace SkinUI
