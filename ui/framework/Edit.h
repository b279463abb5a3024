// A single-line text entry. This is its text model: the window covers it
// with a native edit box while it has the focus; typed characters and
// backspace reach it as events too.
#pragma once

#include "ui/framework/Label.h"

namespace SkinUI {

class CEditUI : public CLabelUI {
 public:
  static constexpr int kDefaultMaxChars = 260;

  std::wstring_view GetClass() const override;
  void SetAttribute(std::wstring_view name, std::wstring_view value) override;
  bool IsFocusable() const override { return true; }

  // Text longer than the limit is cut to it.
  void SetText(std::wstring_view text) override;
  int GetMaxChars() const { return maxChars_; }
  void SetMaxChars(int count);
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

 protected:
  void DoEvent(TEventUI& event) override;

 private:
  int maxChars_ = kDefaultMaxChars;
  bool readOnly_ = false;
};

}  // namespace SkinUI
