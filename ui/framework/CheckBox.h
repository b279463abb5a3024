// A check box: an option written as "CheckBox" in the markup.
#pragma once

#include "ui/framework/Option.h"

namespace SkinUI {

class CCheckBoxUI : public COptionUI {
 public:
  std::wstring_view GetClass() const override;
};

}  // namespace SkinUI
