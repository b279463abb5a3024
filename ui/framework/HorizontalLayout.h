// Stacks its visible children left to right.
#pragma once

#include "ui/framework/Container.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CContainerUI {
 public:
  std::wstring_view GetClass() const override;

 protected:
  void LayoutChildren(const Rect& rc) override;
};

}  // namespace SkinUI
