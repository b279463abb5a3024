// A control that owns child controls and paints them after itself. The plain
// container gives every visible child its whole rectangle, less the child's padding.
#pragma once

#include <memory>
#include <vector>

#include "ui/framework/Control.h"

namespace SkinUI {

class CContainerUI : public CControlUI {
 public:
  CContainerUI();
  ~CContainerUI() override;

  std::wstring_view GetClass() const override;
  CContainerUI* AsContainer() override { return this; }

  // Takes the child; returns it, or null when refused (the child is then destroyed).
  virtual CControlUI* Add(std::unique_ptr<CControlUI> child);
  virtual CControlUI* AddAt(std::unique_ptr<CControlUI> child, int index);
  // Destroys the child; false when it is not one of ours.
  virtual bool Remove(CControlUI* child);
  void RemoveAll();
  int GetCount() const { return static_cast<int>(items_.size()); }
  CControlUI* GetItemAt(int index) const;
  int GetItemIndex(const CControlUI* child) const;

  void SetManager(CWindowManager* manager, CControlUI* parent, bool init) override;
  void ForEach(const std::function<void(CControlUI&)>& visit) override;
  void SetPos(const Rect& rc) override;
  void DoPaint(cairo_t* cr, const Rect& paint) override;
  CControlUI* FindControlAt(Point pt) override;

 protected:
  // Lays the visible children out inside the container's rectangle.
  virtual void LayoutChildren(const Rect& rc);

 private:
  std::vector<std::unique_ptr<CControlUI>> items_;
};

}  // namespace SkinUI
