#include "ui/framework/CheckBox.h"

namespace SkinUI {

std::wstring_view CCheckBoxUI::GetClass() const { return L"CheckBox"; }

}  // namespace SkinUI
