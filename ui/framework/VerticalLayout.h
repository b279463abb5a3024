// Stacks its visible children top to bottom.
#pragma once

#include "ui/framework/Container.h"

namespace SkinUI {

class CVerticalLayoutUI : public CContainerUI {
 public:
  std::wstring_view GetClass() const override;

 protected:
  void LayoutChildren(const Rect& rc) override;
};

}  // namespace SkinUI
