// Shows exactly one child at a time, the selected page, over its whole rectangle.
#pragma once

#include "ui/framework/Container.h"

namespace SkinUI {

class CTabLayoutUI : public CContainerUI {
 public:
  std::wstring_view GetClass() const override;

  CControlUI* AddAt(std::unique_ptr<CControlUI> child, int index) override;
  bool Remove(CControlUI* child) override;
  void SetAttribute(std::wstring_view name, std::wstring_view value) override;

  int GetCurSel() const { return current_; }
  // Shows page `index` and hides the others; "tabselect" (new index, old
  // index) follows when `notify` is set. False for an index out of range or
  // the page already selected, which changes and sends nothing.
  bool SelectItem(int index, bool notify = true);
  bool SelectItem(CControlUI* page, bool notify = true);

 protected:
  void LayoutChildren(const Rect& rc) override;

 private:
  int current_ = 0;
};

}  // namespace SkinUI
