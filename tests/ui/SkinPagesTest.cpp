// Paints every page of the main window and every dialog of the real skin,
// keeps the images in the build tree's renders/ folder and checks the pixels
// that show a fault at once.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Resources.h"
#include "platform/Text.h"
#include "tests/ui/SkinFixture.h"
#include "tools/skin-render/SkinRenderer.h"
#include "ui/framework/CheckBox.h"
#include "ui/framework/Progress.h"

namespace SkinUI {
namespace {

using SkinRender::CSkinRenderer;

CSkinResources& Skin() {
  static CSkinResources resources;
  static const bool opened = resources.SetResourceArchive(Platform::FindResource(Platform::kResourceTypeSkin, 147));
  EXPECT_TRUE(opened);
  return resources;
}

std::string RenderPath(const std::string& name) {
  std::filesystem::create_directories(VELMORA_RENDERS_DIR);
  return std::string(VELMORA_RENDERS_DIR) + "/" + name + ".png";
}

// The main window's state for each page, as it sets it on a page change.
void ShowMainPage(CSkinRenderer& r, int page) {
  static const wchar_t* kBackgrounds[] = {L"res\\mainWnd\\bg1.png", L"res\\mainWnd\\bg2.png",
                                          L"res\\mainWnd\\bg3.png", L"res\\mainWnd\\bg4.png"};
  ASSERT_TRUE(r.SelectPage(page));
  ASSERT_TRUE(r.Set(L"winCtn", L"bkimage", kBackgrounds[page]));
  if (page != 2) {
    ASSERT_TRUE(r.SelectTab(L"titleTabLt", page == 3 ? 2 : 1));
  }
  ASSERT_TRUE(r.Set(L"titleGrpCtn", L"visible", page == 2 ? L"false" : L"true"));
  ASSERT_TRUE(r.Set(L"backBtn", L"visible", page == 1 ? L"true" : L"false"));
}

std::uint32_t At(cairo_surface_t* s, Point p) { return SkinTest::PixelAt(s, p.x, p.y); }

TEST(SkinPages, MainWindowPagesShowTheirBackground) {
  for (int page = 0; page < 4; ++page) {
    CSkinRenderer r(Skin());
    ASSERT_TRUE(r.Build(L"MainWnd.xml")) << Platform::WideToUtf8(r.Error());
    ShowMainPage(r, page);
    cairo_surface_t* s = r.Paint();
    ASSERT_TRUE(r.WritePng(RenderPath("mainWnd-page" + std::to_string(page))));
    EXPECT_EQ(cairo_image_surface_get_width(s), 600);
    EXPECT_EQ(cairo_image_surface_get_height(s), 400);
    const auto bg = r.Manager().GetImage(L"res/mainWnd/bg" + std::to_wstring(page + 1) + L".png");
    ASSERT_TRUE(bg);
    for (const Point p : {Point{4, 396}, Point{150, 60}, Point{596, 200}})
      EXPECT_EQ(At(s, p), bg->Pixel(p.x * bg->Width() / 600, p.y * bg->Height() / 400)) << "page " << page;
  }
}

TEST(SkinPages, HiddenTipIsAbsentUntilShown) {
  CSkinRenderer shown(Skin());
  ASSERT_TRUE(shown.Build(L"mainWnd.xml"));
  ASSERT_TRUE(shown.Set(L"tipLbl", L"visible", L"true"));
  cairo_surface_t* withTip = shown.Paint();
  shown.Manager().UpdateLayout();
  const Rect tip = shown.Manager().FindControl(L"tipLbl")->GetPos();
  ASSERT_FALSE(tip.IsEmpty());

  CSkinRenderer hidden(Skin());
  ASSERT_TRUE(hidden.Build(L"mainWnd.xml"));
  cairo_surface_t* without = hidden.Paint();
  const auto bg = hidden.Manager().GetImage(L"res\\mainWnd\\bg1.png");
  int differing = 0;
  for (int y = tip.top; y < tip.bottom; ++y) {
    for (int x = tip.left; x < tip.right; ++x) {
      EXPECT_EQ(At(without, {x, y}), bg->Pixel(x, y)) << x << "," << y;
      differing += At(withTip, {x, y}) != bg->Pixel(x, y);
    }
  }
  EXPECT_GT(differing, tip.Width() * tip.Height() / 2);
}

TEST(SkinPages, ProgressBarFillsTheValueShare) {
  const auto paint = [](int value, CSkinRenderer& r) {
    EXPECT_TRUE(r.Build(L"mainWnd.xml"));
    ShowMainPage(r, 2);
    EXPECT_TRUE(r.Set(L"installPrg", L"value", std::to_wstring(value)));
    return r.Paint();
  };
  CSkinRenderer emptyBar(Skin());
  cairo_surface_t* empty = paint(0, emptyBar);
  for (const int value : {1, 40, 99, 100}) {
    CSkinRenderer r(Skin());
    cairo_surface_t* s = paint(value, r);
    if (value == 40) {
      ASSERT_TRUE(r.WritePng(RenderPath("mainWnd-progress40")));
    }
    const Rect bar = r.Manager().FindControl(L"installPrg")->GetPos();
    ASSERT_EQ(bar.Width(), 520);
    const int y = (bar.top + bar.bottom) / 2;
    const int filled = bar.left + bar.Width() * value / 100;
    EXPECT_NE(At(s, {filled - 1, y}), At(empty, {filled - 1, y})) << value;
    EXPECT_NE(At(s, {bar.left + 1, y}), At(empty, {bar.left + 1, y})) << value;
    for (int x = filled; x < bar.right; ++x) ASSERT_EQ(At(s, {x, y}), At(empty, {x, y})) << value << " at " << x;
  }
}

TEST(SkinPages, SelectedCheckBoxShowsItsSelectedImage) {
  CSkinRenderer r(Skin());
  ASSERT_TRUE(r.Build(L"mainWnd.xml"));
  ShowMainPage(r, 1);
  cairo_surface_t* selected = r.Paint();
  ASSERT_TRUE(r.WritePng(RenderPath("mainWnd-page1-checked")));
  auto* cb = static_cast<CCheckBoxUI*>(r.Manager().FindControl(L"createDSCb"));
  ASSERT_TRUE(cb->IsSelected());
  const Rect rc = cb->GetPos();
  const auto mark = r.Manager().GetImage(L"res\\mainWnd\\Cb2.png");
  const auto box = r.Manager().GetImage(L"res\\mainWnd\\Cb1.png");
  ASSERT_TRUE(mark && box);
  // The mark is drawn 1:1 into dest 0,2,16,18 of the check box.
  int compared = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      if (mark->Pixel(x, y) >> 24 != 255) continue;
      EXPECT_EQ(At(selected, {rc.left + x, rc.top + 2 + y}), mark->Pixel(x, y));
      ++compared;
    }
  }
  EXPECT_GT(compared, 100);

  cb->Selected(false);
  cairo_surface_t* cleared = r.Paint();
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (box->Pixel(x, y) >> 24 == 255) {
        EXPECT_EQ(At(cleared, {rc.left + x, rc.top + 2 + y}), box->Pixel(x, y));
      }
}

TEST(SkinPages, EveryDialogBuildsAtItsSize) {
  const struct {
    const wchar_t* layout;
    Size size;
  } dialogs[] = {
      {L"MessageBox1Wnd.xml", {360, 180}}, {L"MessageBox2Wnd.xml", {360, 180}}, {L"ExitTipWnd.xml", {360, 180}},
      {L"NetworkTipWnd.xml", {360, 180}},  {L"InstalledPathTipWnd.xml", {400, 180}},
  };
  for (const auto& d : dialogs) {
    CSkinRenderer r(Skin());
    ASSERT_TRUE(r.Build(d.layout)) << Platform::WideToUtf8(r.Error());
    EXPECT_EQ(r.Manager().GetClientSize(), d.size);
    EXPECT_TRUE(r.Manager().FindControl(L"closebtn"));
    EXPECT_EQ(r.Manager().GetWindowCustomAttribute(L"showshadow").value_or(L""), L"true");
    cairo_surface_t* s = r.Paint();
    EXPECT_EQ(At(s, {d.size.cx / 2, d.size.cy / 2}) >> 24, 255u) << "the body is painted";
    std::wstring name = d.layout;
    name.resize(name.size() - 4);
    ASSERT_TRUE(r.WritePng(RenderPath(Platform::WideToUtf8(name))));
  }
}

}  // namespace
}  // namespace SkinUI
