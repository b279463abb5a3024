// A label that reacts to the mouse: state images and colours for hot
// (mouse over), pushed (pressed), focused and disabled; "click" when released over it.
#pragma once

#include "ui/framework/Label.h"

namespace SkinUI {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI();

  std::wstring_view GetClass() const override;
  void SetAttribute(std::wstring_view name, std::wstring_view value) override;
  bool IsFocusable() const override { return true; }
  // Sends "click" when enabled and visible.
  bool Activate() override;
  void SetEnabled(bool enabled) override;

  bool IsHot() const { return hot_; }
  bool IsPushed() const { return pushed_; }

  void SetNormalImage(std::wstring_view image);
  void SetHotImage(std::wstring_view image);
  void SetPushedImage(std::wstring_view image);
  void SetFocusedImage(std::wstring_view image);
  void SetDisabledImage(std::wstring_view image);
  const std::wstring& GetNormalImage() const { return normalImage_.GetText(); }
  void SetHotTextColor(std::uint32_t argb);
  void SetPushedTextColor(std::uint32_t argb);
  void SetFocusedTextColor(std::uint32_t argb);
  void SetHotBkColor(std::uint32_t argb);
  void SetPushedBkColor(std::uint32_t argb);
  void SetDisabledBkColor(std::uint32_t argb);

 protected:
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(cairo_t* cr) override;
  std::uint32_t CurrentTextColor() const override;
  // The state layer by precedence disabled, pushed (when allowed), hot,
  // focused, normal; an image that cannot be drawn falls back to the normal one.
  void PaintStateLayer(cairo_t* cr, bool allowPushed);

 private:
  bool SetSlot(CImageSlot& slot, std::wstring_view image);

  bool hot_ = false;
  bool pushed_ = false;
  bool captured_ = false;
  CImageSlot normalImage_;
  CImageSlot hotImage_;
  CImageSlot pushedImage_;
  CImageSlot focusedImage_;
  CImageSlot disabledImage_;
  std::uint32_t hotTextColor_ = 0;
  std::uint32_t pushedTextColor_ = 0;
  std::uint32_t focusedTextColor_ = 0;
  std::uint32_t hotBkColor_ = 0;
  std::uint32_t pushedBkColor_ = 0;
  std::uint32_t disabledBkColor_ = 0;
};

}  // namespace SkinUI
