// A control that shows text in one of the window's fonts.
#pragma once

#include "ui/framework/Control.h"
#include "ui/framework/Render.h"

namespace SkinUI {

class CLabelUI : public CControlUI {
 public:
  CLabelUI();

  std::wstring_view GetClass() const override;
  void SetAttribute(std::wstring_view name, std::wstring_view value) override;

  int GetFont() const { return font_; }
  void SetFont(int index);
  std::uint32_t GetTextColor() const { return textColor_; }
  void SetTextColor(std::uint32_t argb);
  std::uint32_t GetDisabledTextColor() const { return disabledTextColor_; }
  void SetDisabledTextColor(std::uint32_t argb);
  const Rect& GetTextPadding() const { return textPadding_; }
  void SetTextPadding(const Rect& rc);
  TextStyle GetTextStyle() const { return style_; }
  void SetTextStyle(TextStyle style);
  void SetAlign(std::wstring_view value);
  void SetVAlign(std::wstring_view value);
  void SetMultiLine(bool multiline);

  // The text's size in the control's font (wrapped at the text area's width when multi-line).
  Size MeasureText() const;

 protected:
  void PaintText(cairo_t* cr) override;
  // The colour text is drawn in now; derived controls add their states.
  virtual std::uint32_t CurrentTextColor() const;

 private:
  int font_ = -1;
  std::uint32_t textColor_ = 0;
  std::uint32_t disabledTextColor_ = 0;
  Rect textPadding_;
  TextStyle style_;
};

}  // namespace SkinUI
