#include "ui/framework/Progress.h"

#include <algorithm>

#include "ui/framework/AttributeTable.h"
#include "ui/framework/AttributeValue.h"

namespace SkinUI {
namespace {

const AttributeEntry<CProgressUI> kAttributes[] = {
    {L"hor", [](CProgressUI& c, std::wstring_view v) { c.SetHorizontal(ParseBool(v)); }},
    {L"min", [](CProgressUI& c, std::wstring_view v) { c.SetMinValue(ParseInt(v)); }},
    {L"max", [](CProgressUI& c, std::wstring_view v) { c.SetMaxValue(ParseInt(v)); }},
    {L"value", [](CProgressUI& c, std::wstring_view v) { c.SetValue(ParseInt(v)); }},
    {L"foreimage", [](CProgressUI& c, std::wstring_view v) { c.SetForeImage(v); }},
};

}  // namespace

CProgressUI::CProgressUI() {
  SetFixedHeight(kDefaultHeight);
  TextStyle s = GetTextStyle();
  s.h = TextStyle::HAlign::Center;
  SetTextStyle(s);
}

std::wstring_view CProgressUI::GetClass() const { return L"Progress"; }

void CProgressUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (!ApplyFromTable<CProgressUI>(kAttributes, *this, name, value)) CLabelUI::SetAttribute(name, value);
}

void CProgressUI::SetHorizontal(bool horizontal) {
  if (horizontal == horizontal_) return;
  horizontal_ = horizontal;
  Invalidate();
}

void CProgressUI::SetMinValue(int value) {
  min_ = value;
  SetValue(value_);
  Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
  max_ = value;
  SetValue(value_);
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  value = max_ > min_ ? std::clamp(value, min_, max_) : min_;
  if (value == value_) return;
  value_ = value;
  Invalidate();
}

void CProgressUI::SetForeImage(std::wstring_view image) {
  if (foreImage_.SetText(image)) Invalidate();
}

Rect CProgressUI::FilledRect() const {
  Rect rc = GetPos();
  if (max_ <= min_) return {};
  const long long span = static_cast<long long>(max_) - min_;
  const long long done = static_cast<long long>(value_) - min_;
  if (horizontal_) {
    rc.right = rc.left + static_cast<int>(rc.Width() * done / span);
  } else {
    rc.top = rc.bottom - static_cast<int>(rc.Height() * done / span);
  }
  return rc.IsEmpty() ? Rect{} : rc;
}

void CProgressUI::PaintStatusImage(cairo_t* cr) {
  const Rect filled = FilledRect();
  if (!filled.IsEmpty()) DrawImage(cr, foreImage_, &filled);
}

}  // namespace SkinUI
