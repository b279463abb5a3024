#include "ui/framework/LayoutBuilder.h"

#include <gtest/gtest.h>

#include "platform/Text.h"
#include "tests/ui/SkinFixture.h"
#include "ui/framework/Button.h"
#include "ui/framework/CheckBox.h"
#include "ui/framework/Label.h"
#include "ui/framework/Progress.h"
#include "ui/framework/TabLayout.h"
#include "ui/framework/TextTable.h"
#include "ui/framework/WindowManager.h"

namespace SkinUI {
namespace {

// Builds a layout from text into a manager and lays it out.
struct Built {
  explicit Built(const std::wstring& text, IDialogBuilderCallback* callback = nullptr) {
    CLayoutBuilder builder;
    auto root = builder.CreateFromText(text, callback, &manager);
    error = builder.GetError().message;
    if (root) manager.AttachDialog(std::move(root));
    manager.UpdateLayout();
  }
  Rect Pos(const wchar_t* name) const {
    const CControlUI* c = manager.FindControl(name);
    return c ? c->GetPos() : Rect{-1, -1, -1, -1};
  }
  CWindowManager manager;
  std::wstring error;
};

std::string Show(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

TEST(Layout, StackingArithmetic) {
  const struct {
    const char* what;
    const wchar_t* layout;
    std::vector<std::pair<const wchar_t*, Rect>> expected;
  } cases[] = {
      {"equal shares, remainder to the last flexible child",
       L"<Window size=\"90,100\"><VerticalLayout><Control name=\"a\"/><Control name=\"b\"/><Control name=\"c\"/>"
       L"</VerticalLayout></Window>",
       {{L"a", {0, 0, 90, 33}}, {L"b", {0, 33, 90, 66}}, {L"c", {0, 66, 90, 100}}}},
      {"fixed extents first, the rest shared",
       L"<Window size=\"100,100\"><VerticalLayout><Control name=\"a\" height=\"45\"/><Control name=\"b\"/>"
       L"<Control name=\"c\" height=\"10\"/><Control name=\"d\"/></VerticalLayout></Window>",
       {{L"a", {0, 0, 100, 45}}, {L"b", {0, 45, 100, 67}}, {L"c", {0, 67, 100, 77}}, {L"d", {0, 77, 100, 100}}}},
      {"min and max bound the shares",
       L"<Window size=\"100,100\"><HorizontalLayout><Control name=\"a\" maxwidth=\"20\"/>"
       L"<Control name=\"b\" minwidth=\"70\"/><Control name=\"c\"/></HorizontalLayout></Window>",
       {{L"a", {0, 0, 20, 100}}, {L"b", {20, 0, 90, 100}}, {L"c", {90, 0, 100, 100}}}},
      {"padding is an outer margin",
       L"<Window size=\"100,100\"><VerticalLayout><Control name=\"a\" height=\"20\" padding=\"5,6,7,8\"/>"
       L"<Control name=\"b\" padding=\"10,0,0,0\"/></VerticalLayout></Window>",
       {{L"a", {5, 6, 93, 26}}, {L"b", {10, 34, 100, 100}}}},
      {"hidden children take no space",
       L"<Window size=\"100,100\"><VerticalLayout><Control name=\"a\" height=\"30\" visible=\"false\"/>"
       L"<Control name=\"b\"/><Control name=\"c\" visible=\"false\"/><Control name=\"d\" height=\"40\"/>"
       L"</VerticalLayout></Window>",
       {{L"b", {0, 0, 100, 60}}, {L"d", {0, 60, 100, 100}}}},
      {"a fixed cross extent sits at the leading edge, capped at the space there is",
       L"<Window size=\"100,50\"><HorizontalLayout><Control name=\"a\" width=\"30\" height=\"20\"/>"
       L"<Control name=\"b\" width=\"30\" height=\"80\"/><Control name=\"c\" width=\"30\" padding=\"0,5,0,5\"/>"
       L"</HorizontalLayout></Window>",
       {{L"a", {0, 0, 30, 20}}, {L"b", {30, 0, 60, 50}}, {L"c", {60, 5, 90, 45}}}},
      {"a 200-wide button fills the height of its 46-pixel row; pos overrides an earlier height",
       L"<Window size=\"600,100\"><VerticalLayout><HorizontalLayout height=\"46\"><Control/>"
       L"<Button name=\"btn\" height=\"30\" width=\"200\" pos=\"0,0,200,0\"/><Control/></HorizontalLayout>"
       L"<Control/></VerticalLayout></Window>",
       {{L"btn", {200, 0, 400, 46}}}},
      {"the root fills the window whatever its own size",
       L"<Window size=\"120,80\"><VerticalLayout name=\"root\" width=\"10\" height=\"10\"/></Window>",
       {{L"root", {0, 0, 120, 80}}}},
      {"spacers on both sides centre a fixed child",
       L"<Window size=\"101,10\"><HorizontalLayout><Control/><Label name=\"mid\" width=\"41\"/><Control/>"
       L"</HorizontalLayout></Window>",
       {{L"mid", {30, 0, 71, 10}}}},
      {"fixed children wider than the container leave nothing to the flexible ones",
       L"<Window size=\"50,10\"><HorizontalLayout><Control name=\"a\" width=\"40\"/><Control name=\"b\"/>"
       L"<Control name=\"c\" width=\"40\"/></HorizontalLayout></Window>",
       {{L"a", {0, 0, 40, 10}}, {L"b", {40, 0, 40, 10}}, {L"c", {40, 0, 80, 10}}}},
      {"a tab layout shows one page over its whole rectangle",
       L"<Window size=\"100,100\"><VerticalLayout><Control height=\"10\"/><TabLayout name=\"tab\" selectedid=\"1\">"
       L"<Control name=\"p0\"/><VerticalLayout name=\"p1\" padding=\"1,1,1,1\"><Control name=\"in1\" height=\"5\"/>"
       L"</VerticalLayout></TabLayout></VerticalLayout></Window>",
       {{L"tab", {0, 10, 100, 100}}, {L"p1", {1, 11, 99, 99}}, {L"in1", {1, 11, 99, 16}}}},
      {"a progress bar is 12 high unless told otherwise",
       L"<Window size=\"100,100\"><VerticalLayout><Progress name=\"p\"/><Progress name=\"q\" height=\"8\"/>"
       L"<Control/></VerticalLayout></Window>",
       {{L"p", {0, 0, 100, 12}}, {L"q", {0, 12, 100, 20}}}},
  };
  for (const auto& c : cases) {
    Built b(c.layout);
    ASSERT_TRUE(b.manager.GetRoot()) << c.what << ": " << Platform::WideToUtf8(b.error);
    for (const auto& [name, rect] : c.expected)
      EXPECT_EQ(Show(b.Pos(name)), Show(rect)) << c.what << ": " << Platform::WideToUtf8(name);
  }
}

TEST(Layout, TabLayoutShowsOnlyTheSelectedPage) {
  Built b(L"<Window size=\"10,10\"><TabLayout name=\"tab\"><Control name=\"p0\"/><Control name=\"p1\"/>"
          L"<Control name=\"p2\"/></TabLayout></Window>");
  auto* tab = static_cast<CTabLayoutUI*>(b.manager.FindControl(L"tab"));
  ASSERT_TRUE(tab);
  EXPECT_EQ(tab->GetCurSel(), 0);
  EXPECT_TRUE(b.manager.FindControl(L"p0")->IsVisible());
  EXPECT_FALSE(b.manager.FindControl(L"p1")->IsVisible());
  EXPECT_TRUE(tab->SelectItem(2));
  EXPECT_FALSE(b.manager.FindControl(L"p0")->IsVisible());
  EXPECT_TRUE(b.manager.FindControl(L"p2")->IsVisible());
  EXPECT_FALSE(tab->SelectItem(2));
  EXPECT_FALSE(tab->SelectItem(3));
  EXPECT_FALSE(tab->SelectItem(-1));
  b.manager.UpdateLayout();
  EXPECT_EQ(Show(b.Pos(L"p2")), Show({0, 0, 10, 10}));
}

TEST(LayoutBuilder, ElementsAndAttributes) {
  Built b(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>"
          L"<Window size=\"300,200\" caption=\"0,0,0,35\" roundcorner=\"1,0\" showshadow=\"true\" shadowsize=\"6\">"
          L"<Font id=\"0\" name=\"微软雅黑\" size=\"14\" default=\"true\"/>"
          L"<Font id=\"1\" name=\"微软雅黑\" size=\"18\" bold=\"true\"/>"
          L"<Font id=\"-1\" name=\"Ignored\" size=\"99\"/>"
          L"<Default name=\"Button\" value=\"height=&quot;30&quot; text=&quot;default&quot; font=&quot;1&quot;\"/>"
          L"<MultiLanguage id=\"7001\" value=\"多语言\"/>"
          L"<VerticalLayout name=\"root\">"
          L"  <!-- <Button name=\"commented\"/> -->"
          L"  <Button name=\"b1\"/>"
          L"  <Button name=\"b2\" text=\"own\" height=\"20\" height=\"25\"/>"
          L"  <Unknown name=\"unknown\"><Label name=\"insideUnknown\"/></Unknown>"
          L"  <Label name=\"numbered\" text=\"%[7001]\" valign=\"center\" align=\"right\"/>"
          L"  <Label name=\"top\" valign=\"top\" multiline=\"true\" userdata=\"kept\"/>"
          L"  <Progress name=\"prg\" isstretchfore=\"false\" value=\"150\" hotborercolor=\"#FF000000\"/>"
          L"  <CheckBox name=\"cb\" selected=\"true\"/>"
          L"  <Custom name=\"custom\"/>"
          L"</VerticalLayout></Window>");
  CWindowManager& m = b.manager;
  ASSERT_TRUE(m.GetRoot());
  EXPECT_EQ(m.GetRoot(), m.FindControl(L"root"));
  EXPECT_EQ(m.GetInitSize(), (Size{300, 200}));
  EXPECT_EQ(m.GetClientSize(), (Size{300, 200}));
  EXPECT_EQ(m.GetCaptionRect(), (Rect{0, 0, 0, 35}));
  EXPECT_EQ(m.GetRoundCorner(), (Size{1, 0}));
  EXPECT_EQ(m.GetWindowCustomAttribute(L"showshadow").value_or(L""), L"true");
  EXPECT_EQ(m.GetWindowCustomAttribute(L"shadowsize").value_or(L""), L"6");
  EXPECT_FALSE(m.GetWindowCustomAttribute(L"size").has_value());
  EXPECT_EQ(m.GetFont(1).Size(), 18);
  EXPECT_TRUE(m.GetFont(1).Bold());
  EXPECT_EQ(m.GetFont(-1).Size(), 14) << "font 0 is the default";
  EXPECT_EQ(m.GetFont(5).Size(), 14);

  EXPECT_EQ(m.FindControl(L"commented"), nullptr);
  EXPECT_EQ(m.FindControl(L"unknown"), nullptr);
  EXPECT_EQ(m.FindControl(L"insideUnknown"), nullptr);
  EXPECT_EQ(m.FindControl(L"custom"), nullptr);
  EXPECT_EQ(m.FindControl(L"B1"), nullptr) << "names are case-sensitive";

  auto* b1 = static_cast<CButtonUI*>(m.FindControl(L"b1"));
  auto* b2 = static_cast<CButtonUI*>(m.FindControl(L"b2"));
  ASSERT_TRUE(b1 && b2);
  EXPECT_EQ(b1->GetText(), L"default");
  EXPECT_EQ(b1->GetFixedHeight(), 30);
  EXPECT_EQ(b1->GetFont(), 1);
  EXPECT_EQ(b2->GetText(), L"own") << "own attributes override the defaults";
  EXPECT_EQ(b2->GetFixedHeight(), 25) << "later attributes override earlier ones";

  auto* numbered = static_cast<CLabelUI*>(m.FindControl(L"numbered"));
  EXPECT_EQ(numbered->GetText(), L"多语言");
  EXPECT_EQ(numbered->GetTextStyle().v, TextStyle::VAlign::Center) << "valign center changes nothing";
  EXPECT_EQ(numbered->GetTextStyle().h, TextStyle::HAlign::Right);
  CTextTable::Process().Set(7001, L"replaced");
  EXPECT_EQ(numbered->GetText(), L"replaced");
  auto* top = static_cast<CLabelUI*>(m.FindControl(L"top"));
  EXPECT_EQ(top->GetTextStyle().v, TextStyle::VAlign::Top);
  EXPECT_TRUE(top->GetTextStyle().multiline);
  EXPECT_EQ(top->GetUserData(), L"kept");

  auto* prg = static_cast<CProgressUI*>(m.FindControl(L"prg"));
  EXPECT_EQ(prg->GetValue(), 100) << "the value is kept within [min, max]";
  EXPECT_EQ(prg->GetFixedHeight(), 12);
  EXPECT_TRUE(static_cast<CCheckBoxUI*>(m.FindControl(L"cb"))->IsSelected());
}

class CustomCallback : public IDialogBuilderCallback {
 public:
  std::unique_ptr<CControlUI> CreateControl(std::wstring_view className) override {
    asked.emplace_back(className);
    if (className == L"Custom") return std::make_unique<CLabelUI>();
    return nullptr;
  }
  std::vector<std::wstring> asked;
};

TEST(LayoutBuilder, CallbackCreatesUnknownClasses) {
  CustomCallback callback;
  Built b(L"<Window><HorizontalLayout><Custom name=\"c\" text=\"x\"/><button name=\"lower\"/><Other/>"
          L"</HorizontalLayout></Window>",
          &callback);
  ASSERT_TRUE(b.manager.FindControl(L"c"));
  EXPECT_EQ(b.manager.FindControl(L"c")->GetText(), L"x");
  EXPECT_TRUE(b.manager.FindControl(L"lower")) << "built-in class names ignore letter case";
  EXPECT_EQ(callback.asked, (std::vector<std::wstring>{L"Custom", L"Other"}));
}

TEST(LayoutBuilder, BrokenLayoutsBuildNothing) {
  const struct {
    const wchar_t* layout;
    const wchar_t* error;
  } cases[] = {
      {L"<Window><Button text='single'/></Window>", L"Expected attribute value"},
      {L"<Window><Button></Window>", L"Unmatched closing tag"},
      {L"<Window size=\"1,1\"><Font id=\"0\" name=\"x\"/></Window>", L"Layout has no control"},
  };
  for (const auto& c : cases) {
    Built b(c.layout);
    EXPECT_EQ(b.manager.GetRoot(), nullptr) << Platform::WideToUtf8(c.layout);
    EXPECT_EQ(b.error, c.error) << Platform::WideToUtf8(c.layout);
  }
}

TEST(LayoutBuilder, IncludeAndLoadingFromTheSkin) {
  SkinTest::TempDir dir;
  dir.Write("main.xml",
            "<Window size=\"100,100\"><VerticalLayout name=\"root\"><Include source=\"row.xml\" count=\"3\"/>"
            "</VerticalLayout></Window>");
  dir.Write("row.xml", "<Window><Label text=\"row\" height=\"10\"/></Window>");
  dir.Write("self.xml", "<Window><VerticalLayout><Include source=\"self.xml\"/></VerticalLayout></Window>");
  dir.Write("broken.xml", "<Window><Label</Window>");
  CSkinResources resources;
  resources.SetResourcePath(dir.WidePath());
  CWindowManager manager;
  manager.SetResources(&resources);

  CLayoutBuilder builder;
  auto root = builder.Create(L"main.xml", nullptr, &manager);
  ASSERT_TRUE(root);
  auto* container = root->AsContainer();
  ASSERT_TRUE(container);
  EXPECT_EQ(container->GetCount(), 3);
  EXPECT_EQ(container->GetItemAt(2)->GetText(), L"row");

  // A layout that includes itself stops at the nesting limit.
  EXPECT_TRUE(builder.Create(L"self.xml", nullptr, &manager));
  EXPECT_FALSE(builder.Create(L"broken.xml", nullptr, &manager));
  EXPECT_EQ(builder.GetError().message, L"Error while parsing attributes");
  EXPECT_FALSE(builder.Create(L"missing.xml", nullptr, &manager));
  EXPECT_EQ(builder.GetError().message, L"Error opening file");
}

}  // namespace
}  // namespace SkinUI
