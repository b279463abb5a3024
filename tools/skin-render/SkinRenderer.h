// Builds a layout at its window size, puts controls into given states and
// paints the whole window into an image, without a native window.
#pragma once

#include <cairo.h>

#include <string>
#include <string_view>

#include "ui/framework/LayoutBuilder.h"
#include "ui/framework/WindowManager.h"

namespace SkinRender {

class CSkinRenderer : private SkinUI::IDialogBuilderCallback {
 public:
  explicit CSkinRenderer(SkinUI::CSkinResources& resources);
  ~CSkinRenderer() override;

  bool Build(std::wstring_view layout);
  // Selects page `index` of "mainTabLt", or of the first tab layout when there is none.
  bool SelectPage(int index);
  bool SelectTab(std::wstring_view name, int index);
  bool Set(std::wstring_view name, std::wstring_view attribute, std::wstring_view value);
  // Moves the mouse over the control (hot), or presses it there (pushed).
  bool Hover(std::wstring_view name);
  bool Press(std::wstring_view name);
  bool Focus(std::wstring_view name);
  // The frame the sequence animations show (frame 0 unless told).
  void SetFrame(int frame) { frame_ = frame; }

  // Paints the whole client area; the surface stays owned by the renderer.
  cairo_surface_t* Paint();
  bool WritePng(const std::string& path);

  SkinUI::CWindowManager& Manager() { return manager_; }
  const std::wstring& Error() const { return error_; }

 private:
  std::unique_ptr<SkinUI::CControlUI> CreateControl(std::wstring_view className) override;
  SkinUI::CControlUI* Find(std::wstring_view name);
  SkinUI::Point Centre(const SkinUI::CControlUI& control);

  SkinUI::CWindowManager manager_;
  cairo_surface_t* surface_ = nullptr;
  int frame_ = 0;
  std::wstring error_;
};

}  // namespace SkinRender
