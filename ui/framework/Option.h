// A button with a selected state that a click toggles; "selectchanged"
// reports each change.
#pragma once

#include "ui/framework/Button.h"

namespace SkinUI {

class COptionUI : public CButtonUI {
 public:
  std::wstring_view GetClass() const override;
  void SetAttribute(std::wstring_view name, std::wstring_view value) override;
  // Sends "click", then toggles the selection.
  bool Activate() override;

  bool IsSelected() const { return selected_; }
  // Sends "selectchanged" when the state changes and `notify` is set.
  void Selected(bool selected, bool notify = true);
  void SetSelectedImage(std::wstring_view image);
  void SetSelectedTextColor(std::uint32_t argb);

 protected:
  void PaintStatusImage(cairo_t* cr) override;
  std::uint32_t CurrentTextColor() const override;

 private:
  bool selected_ = false;
  CImageSlot selectedImage_;
  std::uint32_t selectedTextColor_ = 0;
};

}  // namespace SkinUI
