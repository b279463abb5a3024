#include "ui/framework/HorizontalLayout.h"

#include "ui/framework/StackLayout.h"

namespace SkinUI {

std::wstring_view CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayout"; }

void CHorizontalLayoutUI::LayoutChildren(const Rect& rc) { StackChildren(*this, rc, StackAxis::Horizontal); }

}  // namespace SkinUI
