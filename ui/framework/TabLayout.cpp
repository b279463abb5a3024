#include "ui/framework/TabLayout.h"

#include "ui/framework/AttributeTable.h"
#include "ui/framework/AttributeValue.h"

namespace SkinUI {
namespace {

const AttributeEntry<CTabLayoutUI> kAttributes[] = {
    {L"selectedid", [](CTabLayoutUI& c, std::wstring_view v) { c.SelectItem(ParseInt(v)); }},
};

}  // namespace

std::wstring_view CTabLayoutUI::GetClass() const { return L"TabLayout"; }

void CTabLayoutUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (!ApplyFromTable<CTabLayoutUI>(kAttributes, *this, name, value)) CContainerUI::SetAttribute(name, value);
}

CControlUI* CTabLayoutUI::AddAt(std::unique_ptr<CControlUI> child, int index) {
  const int before = GetCount();
  CControlUI* added = CContainerUI::AddAt(std::move(child), index);
  if (added == nullptr) return nullptr;
  if (before > 0 && index <= current_) ++current_;
  if (GetItemIndex(added) != current_) added->SetVisible(false);
  return added;
}

bool CTabLayoutUI::Remove(CControlUI* child) {
  const int index = GetItemIndex(child);
  if (index < 0) return false;
  const bool wasCurrent = index == current_;
  CContainerUI::Remove(child);
  if (index < current_) --current_;
  if (current_ >= GetCount()) current_ = std::max(0, GetCount() - 1);
  if (wasCurrent && GetCount() > 0) GetItemAt(current_)->SetVisible(true);
  return true;
}

bool CTabLayoutUI::SelectItem(int index, bool notify) {
  if (index < 0 || index >= GetCount() || index == current_) return false;
  const int old = current_;
  current_ = index;
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == current_);
  NeedUpdate();
  if (notify) Notify(NotifyType::kTabSelect, static_cast<std::uintptr_t>(current_), old);
  return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* page, bool notify) { return SelectItem(GetItemIndex(page), notify); }

void CTabLayoutUI::LayoutChildren(const Rect& rc) {
  if (CControlUI* page = GetItemAt(current_); page && page->IsVisible()) page->SetPos(rc.Deflate(page->GetPadding()));
}

}  // namespace SkinUI
