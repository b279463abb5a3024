#include "ui/framework/VerticalLayout.h"

#include "ui/framework/StackLayout.h"

namespace SkinUI {

std::wstring_view CVerticalLayoutUI::GetClass() const { return L"VerticalLayout"; }

void CVerticalLayoutUI::LayoutChildren(const Rect& rc) { StackChildren(*this, rc, StackAxis::Vertical); }

}  // namespace SkinUI
