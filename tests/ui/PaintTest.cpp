// Paints small layouts into real cairo surfaces and checks the pixels.
#include <gtest/gtest.h>

#include "platform/Text.h"
#include "tests/ui/SkinFixture.h"
#include "ui/framework/CheckBox.h"
#include "ui/framework/LayoutBuilder.h"
#include "ui/framework/Progress.h"
#include "ui/framework/WindowManager.h"

namespace SkinUI {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kGrey = 0xFF808080,
                        kWhite = 0xFFFFFFFF;

class PaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("red.png", SkinTest::SolidPng(4, 4, kRed));
    dir_.Write("green.png", SkinTest::SolidPng(4, 4, kGreen));
    dir_.Write("blue.png", SkinTest::SolidPng(4, 4, kBlue));
    dir_.Write("green6.png", SkinTest::SolidPng(6, 6, kGreen));
    dir_.Write("grey.png", SkinTest::SolidPng(4, 4, kGrey));
    // 6x6: 2-pixel red corners and edges, blue centre.
    dir_.Write("grid.png", SkinTest::PngBytes(6, 6, [](int x, int y) {
                 return (x >= 2 && x < 4 && y >= 2 && y < 4) ? kBlue : kRed;
               }));
    dir_.Write("stripes.png", SkinTest::PngBytes(2, 1, [](int x, int) { return x == 0 ? kRed : kBlue; }));
    resources_.SetResourcePath(dir_.WidePath());
    manager_.SetResources(&resources_);
  }
  void TearDown() override {
    if (surface_) cairo_surface_destroy(surface_);
  }

  void Build(const std::wstring& layout) {
    CLayoutBuilder builder;
    auto root = builder.CreateFromText(layout, nullptr, &manager_);
    ASSERT_TRUE(root) << Platform::WideToUtf8(builder.GetError().message);
    manager_.AttachDialog(std::move(root));
  }
  void Paint() {
    const Size size = manager_.GetClientSize();
    if (surface_) cairo_surface_destroy(surface_);
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.cx, size.cy);
    manager_.PaintDirty(surface_);
  }
  std::uint32_t At(int x, int y) { return SkinTest::PixelAt(surface_, x, y); }
  Point Centre(const wchar_t* name) {
    const Rect rc = manager_.FindControl(name)->GetPos();
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }

  SkinTest::TempDir dir_;
  CSkinResources resources_;
  CWindowManager manager_;
  cairo_surface_t* surface_ = nullptr;
};

TEST_F(PaintTest, BackgroundImageOverFillAndHiddenControlAbsent) {
  Build(L"<Window size=\"40,10\"><HorizontalLayout bkcolor=\"#FF0000FF\">"
        L"<Label width=\"10\" bkcolor=\"#FF00FF00\" bkimage=\"red.png\"/>"
        L"<Label name=\"hidden\" width=\"10\" bkcolor=\"#FF00FF00\" visible=\"false\"/>"
        L"<Label width=\"10\" bkimage=\"missing.png\" bkcolor=\"#FF808080\"/>"
        L"<Control/></HorizontalLayout></Window>");
  Paint();
  EXPECT_EQ(At(5, 5), kRed);
  EXPECT_EQ(At(15, 5), kGrey) << "the hidden label takes no space; a missing image draws nothing";
  EXPECT_EQ(At(35, 5), kBlue);
  manager_.FindControl(L"hidden")->SetVisible(true);
  Paint();
  EXPECT_EQ(At(15, 5), kGreen);
  EXPECT_EQ(At(25, 5), kGrey);
}

TEST_F(PaintTest, ProgressForeImageCoversTheValueShare) {
  Build(L"<Window size=\"200,10\"><VerticalLayout><Progress name=\"prg\" height=\"10\" width=\"200\" "
        L"bkimage=\"grey.png\" foreimage=\"file='green6.png' corner='2,2,2,2'\" value=\"37\" "
        L"isstretchfore=\"false\"/></VerticalLayout></Window>");
  auto* prg = static_cast<CProgressUI*>(manager_.FindControl(L"prg"));
  for (const int value : {37, 0, 100, 1, 50}) {
    prg->SetValue(value);
    Paint();
    const int filled = 200 * value / 100;
    if (filled > 0) {
      EXPECT_EQ(At(filled - 1, 5), kGreen) << value;
    }
    if (filled < 200) {
      EXPECT_EQ(At(filled, 5), kGrey) << value;
    }
  }
}

TEST_F(PaintTest, CheckBoxShowsItsSelectedImage) {
  Build(L"<Window size=\"30,10\"><HorizontalLayout>"
        L"<CheckBox name=\"cb\" width=\"10\" normalimage=\"red.png\" selectedimage=\"green.png\" selected=\"true\"/>"
        L"<CheckBox name=\"noSel\" width=\"10\" normalimage=\"red.png\" selectedimage=\"none.png\" selected=\"true\"/>"
        L"<Control/></HorizontalLayout></Window>");
  Paint();
  EXPECT_EQ(At(5, 5), kGreen);
  EXPECT_EQ(At(15, 5), kRed) << "without a drawable selected image the state layer is drawn";
  static_cast<CCheckBoxUI*>(manager_.FindControl(L"cb"))->Selected(false);
  Paint();
  EXPECT_EQ(At(5, 5), kRed);
}

TEST_F(PaintTest, ButtonStateLayerPrecedence) {
  Build(L"<Window size=\"20,10\"><HorizontalLayout>"
        L"<Button name=\"b\" width=\"10\" normalimage=\"red.png\" hotimage=\"green.png\" pushedimage=\"blue.png\" "
        L"disabledimage=\"missing.png\"/>"
        L"<Button name=\"c\" width=\"10\" normalimage=\"red.png\" hotimage=\"missing.png\" "
        L"hotbkcolor=\"#FF808080\"/></HorizontalLayout></Window>");
  Paint();
  EXPECT_EQ(At(5, 5), kRed);
  manager_.OnMouseMove(Centre(L"b"));
  Paint();
  EXPECT_EQ(At(5, 5), kGreen) << "hot";
  manager_.OnButtonDown(Centre(L"b"));
  Paint();
  EXPECT_EQ(At(5, 5), kBlue) << "pushed";
  manager_.OnButtonUp(Centre(L"b"));
  manager_.FindControl(L"b")->SetEnabled(false);
  Paint();
  EXPECT_EQ(At(5, 5), kRed) << "disabled image missing: the normal image";
  manager_.OnMouseMove(Centre(L"c"));
  Paint();
  EXPECT_EQ(At(15, 5), kRed) << "hot image missing: hot fill, then the normal image over it";
}

TEST_F(PaintTest, ImageDescriptionsWhenDrawn) {
  Build(L"<Window size=\"100,30\"><HorizontalLayout>"
        L"<Control name=\"grid\" width=\"30\" bkimage=\"file='grid.png' corner='2,2,2,2'\"/>"
        L"<Control name=\"hole\" width=\"30\" bkimage=\"file='grid.png' corner='2,2,2,2' hole='true'\"/>"
        L"<Control name=\"dest\" width=\"10\" bkimage=\"file='red.png' dest='2,0,6,40'\"/>"
        L"<Control name=\"fade\" width=\"10\" bkimage=\"file='red.png' fade='128'\"/>"
        L"<Control name=\"color\" width=\"10\" bkimage=\"color='#FF00FF00'\"/>"
        L"<Control name=\"tiled\" width=\"10\" bkimage=\"file='stripes.png' xtiled='true'\"/>"
        L"</HorizontalLayout></Window>");
  Paint();
  EXPECT_EQ(At(1, 1), kRed) << "corner kept";
  EXPECT_EQ(At(15, 15), kBlue) << "centre stretched";
  EXPECT_EQ(At(28, 28), kRed);
  EXPECT_EQ(At(15, 1), kRed) << "top edge stretched";
  EXPECT_EQ(At(45, 15), 0u) << "hole leaves the centre undrawn";
  EXPECT_EQ(At(31, 1), kRed);
  EXPECT_EQ(At(61, 5), 0u) << "left of dest";
  EXPECT_EQ(At(63, 29), kRed) << "dest bottom clipped to the control";
  EXPECT_EQ(At(67, 5), 0u) << "right of dest";
  const std::uint32_t faded = At(75, 5);
  EXPECT_NEAR(static_cast<int>(faded >> 24), 128, 2);
  EXPECT_EQ(At(85, 5), kGreen);
  EXPECT_EQ(At(92, 5), kRed);
  EXPECT_EQ(At(93, 5), kBlue);
  EXPECT_EQ(At(94, 5), kRed) << "tiled, not stretched";
}

TEST_F(PaintTest, RoundedBorderClipsTheFill) {
  Build(L"<Window size=\"40,40\"><VerticalLayout bkcolor=\"#FFFF0000\" borderround=\"20,20\" bordersize=\"2\" "
        L"bordercolor=\"#FF0000FF\"/></Window>");
  Paint();
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(At(20, 20), kRed);
  EXPECT_EQ(At(20, 0), kBlue);
  EXPECT_EQ(At(39, 20), kBlue);
}

TEST_F(PaintTest, TextIsDrawnAlignedAndWrapped) {
  Build(L"<Window size=\"200,100\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
        L"<Font id=\"0\" name=\"微软雅黑\" size=\"14\"/>"
        L"<Label name=\"left\" height=\"20\" text=\"安装\" font=\"0\"/>"
        L"<Label name=\"right\" height=\"20\" text=\"安装\" align=\"right\" textcolor=\"#FFFF0000\"/>"
        L"<Label name=\"wrap\" height=\"60\" width=\"40\" multiline=\"true\" text=\"一二三四五六七八九十\"/>"
        L"</VerticalLayout></Window>");
  Paint();
  const auto inked = [&](int x0, int y0, int x1, int y1, auto pred) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += pred(At(x, y)) ? 1 : 0;
    return n;
  };
  const auto dark = [](std::uint32_t p) { return (p & 0xFF) < 0x80 && ((p >> 8) & 0xFF) < 0x80; };
  const auto red = [](std::uint32_t p) { return ((p >> 16) & 0xFF) > 0xC0 && (p & 0xFF) < 0x60; };
  EXPECT_GT(inked(0, 0, 40, 20, dark), 10) << "left-aligned text at the left";
  EXPECT_EQ(inked(100, 0, 200, 20, dark), 0);
  EXPECT_GT(inked(160, 20, 200, 40, red), 10) << "right-aligned text in its own colour";
  EXPECT_EQ(inked(0, 20, 100, 40, red), 0);
  EXPECT_GT(inked(0, 40, 40, 55, dark), 10);
  EXPECT_GT(inked(0, 85, 40, 100, dark), 10) << "wrapped onto further lines";
  EXPECT_EQ(inked(40, 40, 200, 100, dark), 0) << "clipped to the label";
}

}  // namespace
}  // namespace SkinUI
