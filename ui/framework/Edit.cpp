#include "ui/framework/Edit.h"

#include "ui/framework/AttributeTable.h"
#include "ui/framework/AttributeValue.h"

namespace SkinUI {
namespace {

const AttributeEntry<CEditUI> kAttributes[] = {
    {L"maxchar", [](CEditUI& c, std::wstring_view v) { c.SetMaxChars(ParseInt(v)); }},
    {L"readonly", [](CEditUI& c, std::wstring_view v) { c.SetReadOnly(ParseBool(v)); }},
};

}  // namespace

std::wstring_view CEditUI::GetClass() const { return L"Edit"; }

void CEditUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (!ApplyFromTable<CEditUI>(kAttributes, *this, name, value)) CLabelUI::SetAttribute(name, value);
}

void CEditUI::SetText(std::wstring_view text) {
  CLabelUI::SetText(text.substr(0, static_cast<std::size_t>(maxChars_)));
}

void CEditUI::SetMaxChars(int count) {
  if (count <= 0) return;
  maxChars_ = count;
  if (GetRawText().size() > static_cast<std::size_t>(count)) SetText(GetRawText());
}

void CEditUI::DoEvent(TEventUI& event) {
  if (IsEnabled() && !readOnly_) {
    std::wstring text = GetRawText();
    if (event.type == EventType::Char && event.wParam >= L' ' && event.wParam != 0x7F &&
        text.size() < static_cast<std::size_t>(maxChars_)) {
      text += static_cast<wchar_t>(event.wParam);
      SetText(text);
      Notify(NotifyType::kTextChanged);
      return;
    }
    if (event.type == EventType::KeyDown && event.wParam == Key::kBack && !text.empty()) {
      text.pop_back();
      SetText(text);
      Notify(NotifyType::kTextChanged);
      return;
    }
  }
  CLabelUI::DoEvent(event);
}

}  // namespace SkinUI
