#include "ui/framework/Control.h"

#include "ui/framework/AttributeTable.h"
#include "ui/framework/AttributeValue.h"
#include "ui/framework/Image.h"
#include "ui/framework/Render.h"
#include "ui/framework/TextTable.h"
#include "ui/framework/WindowManager.h"

namespace SkinUI {
namespace {

const AttributeEntry<CControlUI> kAttributes[] = {
    {L"name", [](CControlUI& c, std::wstring_view v) { c.SetName(v); }},
    {L"width", [](CControlUI& c, std::wstring_view v) { c.SetFixedWidth(ParseInt(v)); }},
    {L"height", [](CControlUI& c, std::wstring_view v) { c.SetFixedHeight(ParseInt(v)); }},
    {L"pos",
     [](CControlUI& c, std::wstring_view v) {
       const Rect rc = ParseRect(v);
       c.SetFixedWidth(rc.right - rc.left);
       c.SetFixedHeight(rc.bottom - rc.top);
     }},
    {L"minwidth", [](CControlUI& c, std::wstring_view v) { c.SetMinWidth(ParseInt(v)); }},
    {L"maxwidth", [](CControlUI& c, std::wstring_view v) { c.SetMaxWidth(ParseInt(v)); }},
    {L"minheight", [](CControlUI& c, std::wstring_view v) { c.SetMinHeight(ParseInt(v)); }},
    {L"maxheight", [](CControlUI& c, std::wstring_view v) { c.SetMaxHeight(ParseInt(v)); }},
    {L"padding", [](CControlUI& c, std::wstring_view v) { c.SetPadding(ParseRect(v)); }},
    {L"visible", [](CControlUI& c, std::wstring_view v) { c.SetVisible(ParseBool(v)); }},
    {L"enabled", [](CControlUI& c, std::wstring_view v) { c.SetEnabled(ParseBool(v)); }},
    {L"text", [](CControlUI& c, std::wstring_view v) { c.SetText(v); }},
    {L"userdata", [](CControlUI& c, std::wstring_view v) { c.SetUserData(v); }},
    {L"bkcolor", [](CControlUI& c, std::wstring_view v) { c.SetBkColor(ParseColor(v)); }},
    {L"bkimage", [](CControlUI& c, std::wstring_view v) { c.SetBkImage(v); }},
    {L"bordersize", [](CControlUI& c, std::wstring_view v) { c.SetBorderSize(ParseInt(v)); }},
    {L"bordercolor", [](CControlUI& c, std::wstring_view v) { c.SetBorderColor(ParseColor(v)); }},
    {L"borderround", [](CControlUI& c, std::wstring_view v) { c.SetBorderRound(ParseSize(v)); }},
};

}  // namespace

int BoundExtent(int extent, int minimum, int maximum) {
  if (maximum > 0) extent = std::min(extent, maximum);
  if (minimum > 0) extent = std::max(extent, minimum);
  return std::max(extent, 0);
}

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  if (manager_) manager_->ReapControl(this);
}

std::wstring_view CControlUI::GetClass() const { return L"Control"; }

void CControlUI::SetName(std::wstring_view name) {
  if (name == name_) return;
  if (manager_) manager_->RenameControl(this, name);
  name_ = name;
}

std::wstring CControlUI::GetText() const { return CTextTable::Process().Resolve(text_); }

void CControlUI::SetText(std::wstring_view text) {
  if (text == text_) return;
  text_ = text;
  Invalidate();
}

void CControlUI::SetManager(CWindowManager* manager, CControlUI* parent, bool init) {
  if (manager_ && manager_ != manager) manager_->ReapControl(this);
  manager_ = manager;
  parent_ = parent;
  if (manager_ && init) {
    manager_->InitControl(this);
    DoInit();
  }
}

void CControlUI::ForEach(const std::function<void(CControlUI&)>& visit) { visit(*this); }

void CControlUI::SetPos(const Rect& rc) {
  if (rc == pos_) return;
  Invalidate();
  pos_ = rc;
  Invalidate();
}

void CControlUI::SetFixedWidth(int cx) {
  if (cx < 0 || cx == fixedWidth_) return;
  fixedWidth_ = cx;
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
  if (cy < 0 || cy == fixedHeight_) return;
  fixedHeight_ = cy;
  NeedParentUpdate();
}

void CControlUI::SetMinWidth(int cx) {
  if (cx < 0 || cx == minWidth_) return;
  minWidth_ = cx;
  NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int cx) {
  if (cx < 0 || cx == maxWidth_) return;
  maxWidth_ = cx;
  NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy) {
  if (cy < 0 || cy == minHeight_) return;
  minHeight_ = cy;
  NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int cy) {
  if (cy < 0 || cy == maxHeight_) return;
  maxHeight_ = cy;
  NeedParentUpdate();
}

void CControlUI::SetPadding(const Rect& rc) {
  if (rc == padding_) return;
  padding_ = rc;
  NeedParentUpdate();
}

void CControlUI::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (!visible_ && manager_) manager_->ControlHidden(this);
  NeedParentUpdate();
}

bool CControlUI::IsVisibleInTree() const {
  for (const CControlUI* c = this; c != nullptr; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void CControlUI::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (!enabled_ && manager_) manager_->ControlHidden(this);
  Invalidate();
}

void CControlUI::SetFocus() {
  if (manager_) manager_->SetFocus(this);
}

bool CControlUI::Activate() { return IsVisibleInTree() && enabled_; }

void CControlUI::SetBkColor(std::uint32_t argb) {
  if (argb == bkColor_) return;
  bkColor_ = argb;
  Invalidate();
}

void CControlUI::SetBkImage(std::wstring_view image) {
  if (bkImage_.SetText(image)) Invalidate();
}

void CControlUI::SetBorderSize(int size) {
  if (size < 0 || size == borderSize_) return;
  borderSize_ = size;
  Invalidate();
}

void CControlUI::SetBorderColor(std::uint32_t argb) {
  if (argb == borderColor_) return;
  borderColor_ = argb;
  Invalidate();
}

void CControlUI::SetBorderRound(Size round) {
  if (round == borderRound_) return;
  borderRound_ = round;
  Invalidate();
}

void CControlUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  ApplyFromTable<CControlUI>(kAttributes, *this, name, value);
}

void CControlUI::ApplyAttributeList(std::wstring_view list) {
  std::size_t i = 0;
  const auto skipWhitespace = [&] {
    while (i < list.size() && list[i] <= L' ') ++i;
  };
  for (;;) {
    skipWhitespace();
    const std::size_t nameStart = i;
    while (i < list.size() && list[i] != L'=' && list[i] > L' ') ++i;
    const std::wstring_view name = list.substr(nameStart, i - nameStart);
    skipWhitespace();
    if (name.empty() || i >= list.size() || list[i] != L'=') return;
    ++i;
    skipWhitespace();
    if (i >= list.size() || list[i] != L'"') return;
    const std::size_t close = list.find(L'"', i + 1);
    if (close == std::wstring_view::npos) return;
    SetAttribute(name, list.substr(i + 1, close - i - 1));
    i = close + 1;
  }
}

void CControlUI::Event(TEventUI& event) { DoEvent(event); }

void CControlUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case EventType::SetFocus:
      focused_ = true;
      Invalidate();
      break;
    case EventType::KillFocus:
      focused_ = false;
      Invalidate();
      break;
    case EventType::Timer:
      Notify(NotifyType::kTimer, event.wParam, event.lParam);
      break;
    default:
      break;
  }
}

void CControlUI::Notify(const wchar_t* type, std::uintptr_t wParam, std::intptr_t lParam) {
  if (manager_) manager_->SendNotify(this, type, wParam, lParam);
}

void CControlUI::Invalidate() {
  if (manager_ && visible_) manager_->Invalidate(pos_);
}

void CControlUI::NeedUpdate() {
  if (manager_) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (manager_) manager_->NeedUpdate();
}

void CControlUI::DoPaint(cairo_t* cr, const Rect& paint) {
  const Rect area = paint.Intersect(pos_);
  if (area.IsEmpty()) return;
  cairo_save(cr);
  cairo_rectangle(cr, area.left, area.top, area.Width(), area.Height());
  cairo_clip(cr);
  if (borderRound_.cx > 0 && borderRound_.cy > 0) {
    Render::RoundRectPath(cr, pos_.left, pos_.top, pos_.Width(), pos_.Height(), borderRound_);
    cairo_clip(cr);
  }
  PaintBkColor(cr);
  PaintBkImage(cr);
  PaintStatusImage(cr);
  PaintText(cr);
  PaintBorder(cr);
  cairo_restore(cr);
}

void CControlUI::PaintBkColor(cairo_t* cr) { Render::FillRect(cr, pos_, bkColor_); }

void CControlUI::PaintBkImage(cairo_t* cr) { DrawImage(cr, bkImage_); }

void CControlUI::PaintStatusImage(cairo_t*) {}

void CControlUI::PaintText(cairo_t*) {}

void CControlUI::PaintBorder(cairo_t* cr) { Render::DrawBorder(cr, pos_, borderSize_, borderColor_, borderRound_); }

bool CControlUI::DrawImage(cairo_t* cr, const CImageSlot& slot, const Rect* area) {
  if (slot.IsEmpty() || manager_ == nullptr) return false;
  const ImageDescription& d = slot.Description();
  std::shared_ptr<CImage> image;
  if (d.color) {
    image = slot.SolidImage();
  } else if (!d.file.empty()) {
    image = manager_->GetImage(d.file, d.mask);
  }
  if (!image) return false;
  const Rect whole = area ? *area : pos_;
  Render::ImageDraw how;
  how.dest = whole;
  if (!d.dest.IsZero()) {
    how.dest = Rect{whole.left + d.dest.left, whole.top + d.dest.top, std::min(whole.left + d.dest.right, whole.right),
                    std::min(whole.top + d.dest.bottom, whole.bottom)};
  }
  how.source = d.source.IsZero() ? Rect{0, 0, image->Width(), image->Height()} : d.source;
  how.corner = d.corner;
  how.fade = d.fade;
  how.hole = d.hole;
  how.xtiled = d.xtiled;
  how.ytiled = d.ytiled;
  Render::DrawImage(cr, *image, how);
  return true;
}

CControlUI* CControlUI::FindControlAt(Point pt) {
  if (!visible_ || !enabled_ || !pos_.Contains(pt)) return nullptr;
  return this;
}

}  // namespace SkinUI
