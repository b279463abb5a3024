#include "ui/framework/Option.h"

#include "ui/framework/AttributeTable.h"
#include "ui/framework/AttributeValue.h"

namespace SkinUI {
namespace {

const AttributeEntry<COptionUI> kAttributes[] = {
    // The markup's initial state raises no notification: nobody listens yet.
    {L"selected", [](COptionUI& c, std::wstring_view v) { c.Selected(ParseBool(v), false); }},
    {L"selectedimage", [](COptionUI& c, std::wstring_view v) { c.SetSelectedImage(v); }},
    {L"selectedtextcolor", [](COptionUI& c, std::wstring_view v) { c.SetSelectedTextColor(ParseColor(v)); }},
};

}  // namespace

std::wstring_view COptionUI::GetClass() const { return L"Option"; }

void COptionUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (!ApplyFromTable<COptionUI>(kAttributes, *this, name, value)) CButtonUI::SetAttribute(name, value);
}

bool COptionUI::Activate() {
  if (!CButtonUI::Activate()) return false;
  Selected(!selected_);
  return true;
}

void COptionUI::Selected(bool selected, bool notify) {
  if (selected == selected_) return;
  selected_ = selected;
  Invalidate();
  if (notify) Notify(NotifyType::kSelectChanged);
}

void COptionUI::SetSelectedImage(std::wstring_view image) {
  if (selectedImage_.SetText(image)) Invalidate();
}

void COptionUI::SetSelectedTextColor(std::uint32_t argb) {
  selectedTextColor_ = argb;
  Invalidate();
}

void COptionUI::PaintStatusImage(cairo_t* cr) {
  if (selected_) {
    if (!DrawImage(cr, selectedImage_)) PaintStateLayer(cr, true);
    return;
  }
  PaintStateLayer(cr, false);
}

std::uint32_t COptionUI::CurrentTextColor() const {
  if (selected_ && IsEnabled() && selectedTextColor_ != 0) return selectedTextColor_;
  return CButtonUI::CurrentTextColor();
}

}  // namespace SkinUI
