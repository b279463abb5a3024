// A progress bar: its fore image fills the share of the bar the value stands for.
#pragma once

#include "ui/framework/Label.h"

namespace SkinUI {

class CProgressUI : public CLabelUI {
 public:
  static constexpr int kDefaultHeight = 12;

  CProgressUI();

  std::wstring_view GetClass() const override;
  void SetAttribute(std::wstring_view name, std::wstring_view value) override;

  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal);
  int GetMinValue() const { return min_; }
  int GetMaxValue() const { return max_; }
  int GetValue() const { return value_; }
  void SetMinValue(int value);
  void SetMaxValue(int value);
  // Kept within [min, max].
  void SetValue(int value);
  void SetForeImage(std::wstring_view image);
  // The filled part of the bar: the left share (bottom share when vertical).
  Rect FilledRect() const;

 protected:
  void PaintStatusImage(cairo_t* cr) override;

 private:
  bool horizontal_ = true;
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  CImageSlot foreImage_;
};

}  // namespace SkinUI
