#include "ui/framework/Container.h"

#include "ui/framework/Render.h"
#include "ui/framework/WindowManager.h"

namespace SkinUI {

CContainerUI::CContainerUI() = default;

// Children go first, while this container is still whole.
CContainerUI::~CContainerUI() { RemoveAll(); }

std::wstring_view CContainerUI::GetClass() const { return L"Container"; }

CControlUI* CContainerUI::Add(std::unique_ptr<CControlUI> child) { return AddAt(std::move(child), GetCount()); }

CControlUI* CContainerUI::AddAt(std::unique_ptr<CControlUI> child, int index) {
  if (!child || index < 0 || index > GetCount()) return nullptr;
  CControlUI* raw = child.get();
  items_.insert(items_.begin() + index, std::move(child));
  raw->SetManager(GetManager(), this, GetManager() != nullptr && GetManager()->IsAttached(this));
  NeedUpdate();
  return raw;
}

bool CContainerUI::Remove(CControlUI* child) {
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (it->get() == child) {
      std::unique_ptr<CControlUI> owned = std::move(*it);
      items_.erase(it);
      owned.reset();
      NeedUpdate();
      return true;
    }
  }
  return false;
}

void CContainerUI::RemoveAll() {
  while (!items_.empty()) {
    std::unique_ptr<CControlUI> owned = std::move(items_.back());
    items_.pop_back();
  }
  NeedUpdate();
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  return index >= 0 && index < GetCount() ? items_[static_cast<std::size_t>(index)].get() : nullptr;
}

int CContainerUI::GetItemIndex(const CControlUI* child) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == child) return static_cast<int>(i);
  return -1;
}

void CContainerUI::SetManager(CWindowManager* manager, CControlUI* parent, bool init) {
  for (auto& item : items_) item->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::ForEach(const std::function<void(CControlUI&)>& visit) {
  visit(*this);
  for (auto& item : items_) item->ForEach(visit);
}

void CContainerUI::SetPos(const Rect& rc) {
  CControlUI::SetPos(rc);
  LayoutChildren(rc);
}

void CContainerUI::LayoutChildren(const Rect& rc) {
  for (auto& item : items_) {
    if (!item->IsVisible()) continue;
    item->SetPos(rc.Deflate(item->GetPadding()));
  }
}

void CContainerUI::DoPaint(cairo_t* cr, const Rect& paint) {
  const Rect area = paint.Intersect(GetPos());
  if (area.IsEmpty()) return;
  CControlUI::DoPaint(cr, area);
  cairo_save(cr);
  cairo_rectangle(cr, area.left, area.top, area.Width(), area.Height());
  cairo_clip(cr);
  const Size round = GetBorderRound();
  if (round.cx > 0 && round.cy > 0) {
    Render::RoundRectPath(cr, GetPos().left, GetPos().top, GetPos().Width(), GetPos().Height(), round);
    cairo_clip(cr);
  }
  for (auto& item : items_)
    if (item->IsVisible()) item->DoPaint(cr, area);
  cairo_restore(cr);
}

CControlUI* CContainerUI::FindControlAt(Point pt) {
  if (!IsVisible() || !IsEnabled() || !GetPos().Contains(pt)) return nullptr;
  // Later children paint over earlier ones, so they are hit first.
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    if (CControlUI* hit = (*it)->FindControlAt(pt)) return hit;
  }
  return this;
}

}  // namespace SkinUI
