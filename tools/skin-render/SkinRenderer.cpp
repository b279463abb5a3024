#include "tools/skin-render/SkinRenderer.h"

#include <fmt/printf.h>
#include <fmt/xchar.h>

#include "platform/Text.h"
#include "ui/framework/AttributeValue.h"
#include "ui/framework/Button.h"
#include "ui/framework/Label.h"
#include "ui/framework/TabLayout.h"

namespace SkinRender {
namespace {

// Sequence animations belong to the windows; here they show one still frame,
// taken from their frame pattern.
template <class Base>
class CStillFrame : public Base {
 public:
  CStillFrame(std::wstring_view className, const int& frame) : className_(className), frame_(frame) {}
  std::wstring_view GetClass() const override { return className_; }
  void SetAttribute(std::wstring_view name, std::wstring_view value) override {
    if (name == L"sequencebkimage") {
      try {
        this->SetBkImage(fmt::sprintf(std::wstring(value), frame_));
      } catch (const fmt::format_error&) {
      }
      return;
    }
    Base::SetAttribute(name, value);
  }

 private:
  std::wstring className_;
  const int& frame_;
};

SkinUI::CTabLayoutUI* FirstTab(SkinUI::CControlUI* root) {
  SkinUI::CTabLayoutUI* found = nullptr;
  if (root) {
    root->ForEach([&](SkinUI::CControlUI& c) {
      if (!found && c.GetClass() == L"TabLayout") found = static_cast<SkinUI::CTabLayoutUI*>(&c);
    });
  }
  return found;
}

}  // namespace

CSkinRenderer::CSkinRenderer(SkinUI::CSkinResources& resources) { manager_.SetResources(&resources); }

CSkinRenderer::~CSkinRenderer() {
  if (surface_) cairo_surface_destroy(surface_);
}

std::unique_ptr<SkinUI::CControlUI> CSkinRenderer::CreateControl(std::wstring_view className) {
  if (SkinUI::EqualsIgnoringCase(className, L"SequenceLabel"))
    return std::make_unique<CStillFrame<SkinUI::CLabelUI>>(L"SequenceLabel", frame_);
  if (SkinUI::EqualsIgnoringCase(className, L"SequenceButton"))
    return std::make_unique<CStillFrame<SkinUI::CButtonUI>>(L"SequenceButton", frame_);
  return nullptr;
}

bool CSkinRenderer::Build(std::wstring_view layout) {
  SkinUI::CLayoutBuilder builder;
  auto root = builder.Create(layout, this, &manager_);
  if (!root) {
    error_ = std::wstring(layout) + L": " + builder.GetError().message;
    if (!builder.GetError().location.empty()) error_ += L" at \"" + builder.GetError().location + L"\"";
    return false;
  }
  manager_.AttachDialog(std::move(root));
  manager_.UpdateLayout();
  return true;
}

SkinUI::CControlUI* CSkinRenderer::Find(std::wstring_view name) {
  SkinUI::CControlUI* c = manager_.FindControl(name);
  if (!c) error_ = L"no control named " + std::wstring(name);
  return c;
}

SkinUI::Point CSkinRenderer::Centre(const SkinUI::CControlUI& control) {
  manager_.UpdateLayout();
  const SkinUI::Rect& rc = control.GetPos();
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

bool CSkinRenderer::SelectPage(int index) {
  auto* tab = dynamic_cast<SkinUI::CTabLayoutUI*>(manager_.FindControl(L"mainTabLt"));
  if (!tab) tab = FirstTab(manager_.GetRoot());
  if (!tab || index < 0 || index >= tab->GetCount()) {
    error_ = L"no page " + std::to_wstring(index);
    return false;
  }
  tab->SelectItem(index);
  return true;
}

bool CSkinRenderer::SelectTab(std::wstring_view name, int index) {
  auto* tab = dynamic_cast<SkinUI::CTabLayoutUI*>(Find(name));
  if (!tab || index < 0 || index >= tab->GetCount()) {
    error_ = std::wstring(name) + L" has no page " + std::to_wstring(index);
    return false;
  }
  tab->SelectItem(index);
  return true;
}

bool CSkinRenderer::Set(std::wstring_view name, std::wstring_view attribute, std::wstring_view value) {
  SkinUI::CControlUI* c = Find(name);
  if (!c) return false;
  c->SetAttribute(attribute, value);
  return true;
}

bool CSkinRenderer::Hover(std::wstring_view name) {
  SkinUI::CControlUI* c = Find(name);
  if (!c) return false;
  manager_.OnMouseMove(Centre(*c));
  return manager_.GetHot() == c;
}

bool CSkinRenderer::Press(std::wstring_view name) {
  SkinUI::CControlUI* c = Find(name);
  if (!c) return false;
  manager_.OnButtonDown(Centre(*c));
  return manager_.GetCaptured() == c;
}

bool CSkinRenderer::Focus(std::wstring_view name) {
  SkinUI::CControlUI* c = Find(name);
  if (!c) return false;
  manager_.SetFocus(c);
  return manager_.GetFocus() == c;
}

cairo_surface_t* CSkinRenderer::Paint() {
  const SkinUI::Size size = manager_.GetClientSize();
  if (surface_) cairo_surface_destroy(surface_);
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(1, size.cx), std::max(1, size.cy));
  manager_.UpdateLayout();
  cairo_t* cr = cairo_create(surface_);
  manager_.Paint(cr, {0, 0, size.cx, size.cy});
  cairo_destroy(cr);
  manager_.TakeDirtyRects();
  cairo_surface_flush(surface_);
  return surface_;
}

bool CSkinRenderer::WritePng(const std::string& path) {
  if (!surface_) Paint();
  if (cairo_surface_write_to_png(surface_, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    error_ = L"cannot write " + Platform::Utf8ToWide(path);
    return false;
  }
  return true;
}

}  // namespace SkinRender
