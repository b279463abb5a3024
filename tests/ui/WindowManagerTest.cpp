#include "ui/framework/WindowManager.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/Text.h"
#include "ui/framework/CheckBox.h"
#include "ui/framework/Edit.h"
#include "ui/framework/LayoutBuilder.h"
#include "ui/framework/TabLayout.h"

namespace SkinUI {
namespace {

struct Recorder : INotifyUI {
  void Notify(NotifyMsg& msg) override {
    seen.push_back(Platform::WideToUtf8(msg.type) + ":" +
                   (msg.sender ? Platform::WideToUtf8(msg.sender->GetName()) : "") + ":" +
                   std::to_string(msg.wParam) + ":" + std::to_string(msg.lParam));
  }
  std::vector<std::string> Take() { return std::exchange(seen, {}); }
  std::vector<std::string> seen;
};

struct TimerLog : ITimerHost {
  void StartNativeTimer(unsigned nativeId, unsigned elapseMs) override {
    log.push_back("start " + std::to_string(nativeId) + " " + std::to_string(elapseMs));
  }
  void StopNativeTimer(unsigned nativeId) override { log.push_back("stop " + std::to_string(nativeId)); }
  std::vector<std::string> log;
};

class WindowManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CLayoutBuilder builder;
    auto root = builder.CreateFromText(
        L"<Window size=\"100,100\"><VerticalLayout name=\"root\">"
        L"<HorizontalLayout height=\"20\"><Button name=\"btn\" width=\"30\"/><Button name=\"off\" width=\"30\" "
        L"enabled=\"false\"/><CheckBox name=\"cb\" width=\"30\"/></HorizontalLayout>"
        L"<TabLayout name=\"tab\" height=\"40\"><Button name=\"page0btn\"/><Label name=\"page1\"/></TabLayout>"
        L"<HorizontalLayout><Edit name=\"edit\" width=\"50\"/><Label name=\"lbl\"/></HorizontalLayout>"
        L"</VerticalLayout></Window>",
        nullptr, &manager_);
    ASSERT_TRUE(root);
    manager_.AttachDialog(std::move(root));
    manager_.AddNotifier(&recorder_);
    manager_.UpdateLayout();
  }
  CControlUI* Find(const wchar_t* name) { return manager_.FindControl(name); }
  Point Centre(const wchar_t* name) {
    const Rect rc = Find(name)->GetPos();
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }

  CWindowManager manager_;
  Recorder recorder_;
};

TEST_F(WindowManagerTest, HitTestingFindsTheTopmostVisibleEnabledControl) {
  EXPECT_EQ(manager_.FindControl(Point{5, 5}), Find(L"btn"));
  EXPECT_EQ(manager_.FindControl(Centre(L"off")), Find(L"root")->AsContainer()->GetItemAt(0))
      << "a disabled control is passed over";
  EXPECT_EQ(manager_.FindControl(Point{5, 30}), Find(L"page0btn"));
  static_cast<CTabLayoutUI*>(Find(L"tab"))->SelectItem(1);
  manager_.UpdateLayout();
  EXPECT_EQ(manager_.FindControl(Point{5, 30}), Find(L"page1")) << "the hidden page is not hit";
  EXPECT_EQ(manager_.FindControl(Point{500, 5}), nullptr);
}

TEST_F(WindowManagerTest, MouseDrivesHotPushedFocusAndClick) {
  auto* btn = static_cast<CButtonUI*>(Find(L"btn"));
  manager_.OnMouseMove(Centre(L"btn"));
  EXPECT_TRUE(btn->IsHot());
  manager_.OnButtonDown(Centre(L"btn"));
  EXPECT_TRUE(btn->IsPushed());
  EXPECT_EQ(manager_.GetFocus(), btn);
  manager_.OnButtonUp(Centre(L"btn"));
  EXPECT_FALSE(btn->IsPushed());
  EXPECT_EQ(recorder_.Take(), (std::vector<std::string>{"setfocus:btn:0:0", "click:btn:0:0"}));

  // Released elsewhere: no click.
  manager_.OnButtonDown(Centre(L"btn"));
  manager_.OnMouseMove(Centre(L"lbl"));
  EXPECT_FALSE(btn->IsPushed());
  EXPECT_FALSE(btn->IsHot());
  manager_.OnButtonUp(Centre(L"lbl"));
  EXPECT_TRUE(recorder_.Take().empty());

  // Disabled: nothing.
  manager_.OnButtonDown(Centre(L"off"));
  manager_.OnButtonUp(Centre(L"off"));
  EXPECT_TRUE(recorder_.Take().empty());

  // Keyboard activation of the focused button.
  manager_.OnKeyDown(Key::kSpace);
  EXPECT_EQ(recorder_.Take(), (std::vector<std::string>{"click:btn:0:0"}));
}

TEST_F(WindowManagerTest, CheckBoxClickTogglesAndReportsTheChange) {
  auto* cb = static_cast<CCheckBoxUI*>(Find(L"cb"));
  manager_.OnButtonDown(Centre(L"cb"));
  manager_.OnButtonUp(Centre(L"cb"));
  EXPECT_TRUE(cb->IsSelected());
  EXPECT_EQ(recorder_.Take(), (std::vector<std::string>{"setfocus:cb:0:0", "click:cb:0:0", "selectchanged:cb:0:0"}));
  cb->Selected(true);
  EXPECT_TRUE(recorder_.Take().empty()) << "unchanged state sends nothing";
  cb->Selected(false, false);
  EXPECT_TRUE(recorder_.Take().empty()) << "programmatic change without notification";
  cb->Selected(true);
  EXPECT_EQ(recorder_.Take(), (std::vector<std::string>{"selectchanged:cb:0:0"}));
}

TEST_F(WindowManagerTest, TabSelectOnlyOnChange) {
  auto* tab = static_cast<CTabLayoutUI*>(Find(L"tab"));
  EXPECT_FALSE(tab->SelectItem(0));
  EXPECT_TRUE(recorder_.Take().empty());
  EXPECT_TRUE(tab->SelectItem(1));
  EXPECT_EQ(recorder_.Take(), (std::vector<std::string>{"tabselect:tab:1:0"}));
  EXPECT_FALSE(tab->SelectItem(1));
  EXPECT_TRUE(recorder_.Take().empty());
}

TEST_F(WindowManagerTest, SenderHandlerRunsBeforeReceivers) {
  std::vector<std::string> order;
  Find(L"btn")->SetNotifyHandler([&](NotifyMsg&) { order.push_back("handler"); });
  struct Second : INotifyUI {
    std::vector<std::string>* order;
    void Notify(NotifyMsg&) override { order->push_back("receiver"); }
  } second;
  second.order = &order;
  manager_.RemoveNotifier(&recorder_);
  manager_.AddNotifier(&second);
  manager_.SendNotify(Find(L"btn"), L"install");
  EXPECT_EQ(order, (std::vector<std::string>{"handler", "receiver"}));
  manager_.RemoveNotifier(&second);
}

TEST_F(WindowManagerTest, QueuedNotificationsWaitForTheLoop) {
  int wakeups = 0;
  manager_.SetAsyncWakeup([&] { ++wakeups; });
  CControlUI* root = Find(L"root");
  manager_.SendNotify(root, L"checknet", 1, 0, true);
  manager_.SendNotify(root, L"checknet", 2, 0, true);
  manager_.SendNotify(root, L"other", 3, 0, true, false);
  manager_.SendNotify(root, L"other", 4, 0, true, false);  // updates the queued one
  EXPECT_EQ(wakeups, 1);
  EXPECT_EQ(manager_.PendingNotifications(), 3u);
  EXPECT_TRUE(recorder_.Take().empty());
  EXPECT_EQ(manager_.DrainNotifications(), 3u);
  EXPECT_EQ(recorder_.Take(),
            (std::vector<std::string>{"checknet:root:1:0", "checknet:root:2:0", "other:root:4:0"}));

  // A worker may queue; the loop delivers on its own thread.
  std::thread worker([&] { manager_.SendNotify(root, L"checknet", 5, 0, true); });
  worker.join();
  EXPECT_EQ(wakeups, 2);
  EXPECT_EQ(manager_.DrainNotifications(), 1u);
  EXPECT_EQ(recorder_.Take(), (std::vector<std::string>{"checknet:root:5:0"}));
}

TEST_F(WindowManagerTest, TimersPerControlAndId) {
  TimerLog host;
  manager_.SetTimerHost(&host);
  CControlUI* root = Find(L"root");
  CControlUI* lbl = Find(L"lbl");
  EXPECT_TRUE(manager_.SetTimer(root, 10, 3000));
  EXPECT_TRUE(manager_.SetTimer(root, 10, 50));  // running: the period stays
  EXPECT_EQ(manager_.FindTimer(root, 10)->elapse, 3000u);
  EXPECT_TRUE(manager_.SetTimer(lbl, 10, 30));
  const unsigned rootNative = manager_.FindTimer(root, 10)->nativeId;
  const unsigned lblNative = manager_.FindTimer(lbl, 10)->nativeId;
  EXPECT_NE(rootNative, lblNative);

  EXPECT_TRUE(manager_.OnNativeTimer(rootNative));
  EXPECT_EQ(recorder_.Take(), (std::vector<std::string>{"timer:root:10:0"}));
  EXPECT_TRUE(manager_.KillTimer(root, 10));
  EXPECT_TRUE(manager_.FindTimer(root, 10)->killed);
  EXPECT_FALSE(manager_.OnNativeTimer(rootNative));
  EXPECT_TRUE(manager_.SetTimer(root, 10, 50));  // stopped: starts with the new period
  EXPECT_EQ(manager_.FindTimer(root, 10)->elapse, 50u);
  EXPECT_FALSE(manager_.KillTimer(root, 99));
  EXPECT_EQ(host.log, (std::vector<std::string>{"start " + std::to_string(rootNative) + " 3000",
                                                "start " + std::to_string(lblNative) + " 30",
                                                "stop " + std::to_string(rootNative),
                                                "start " + std::to_string(rootNative) + " 50"}));
  manager_.SetTimerHost(nullptr);
}

TEST_F(WindowManagerTest, NativeTimerIdsWrapAndSkipRunningOnes) {
  CControlUI* lbl = Find(L"lbl");
  for (unsigned id = 0; id < 255; ++id) ASSERT_TRUE(manager_.SetTimer(lbl, id, 10));
  EXPECT_FALSE(manager_.SetTimer(lbl, 999, 10)) << "every native id is held";
  manager_.KillTimers(lbl);
  EXPECT_TRUE(manager_.GetTimers().empty());
  EXPECT_TRUE(manager_.SetTimer(lbl, 1, 10));
}

TEST_F(WindowManagerTest, InvalidationAccumulatesControlRectangles) {
  manager_.TakeDirtyRects();
  EXPECT_FALSE(manager_.IsDirty());
  Find(L"btn")->SetText(L"x");
  Find(L"lbl")->SetText(L"y");
  EXPECT_EQ(manager_.GetDirtyBounds(), (Rect{0, 0, 100, 100}));
  const auto rects = manager_.TakeDirtyRects();
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0], Find(L"btn")->GetPos());
  EXPECT_EQ(rects[1], Find(L"lbl")->GetPos());
  Find(L"page0btn")->SetText(L"x");
  Find(L"page1")->SetText(L"z");  // hidden page: nothing to repaint
  EXPECT_EQ(manager_.TakeDirtyRects(), (std::vector<Rect>{Find(L"page0btn")->GetPos()}));

  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 100, 100);
  Find(L"lbl")->SetBkColor(0xFF00FF00);
  const auto painted = manager_.PaintDirty(surface);
  EXPECT_EQ(painted, (std::vector<Rect>{Find(L"lbl")->GetPos()}));
  EXPECT_FALSE(manager_.IsDirty());
  cairo_surface_destroy(surface);
  EXPECT_EQ(manager_.DrainNotifications(), 1u);
  EXPECT_EQ(recorder_.Take(), (std::vector<std::string>{"windowinit:root:0:0"}));
}

TEST_F(WindowManagerTest, FocusAndEditing) {
  auto* edit = static_cast<CEditUI*>(Find(L"edit"));
  manager_.SetFocus(Find(L"lbl"));
  EXPECT_EQ(manager_.GetFocus(), nullptr) << "a label takes no focus";
  manager_.OnButtonDown(Centre(L"edit"));
  manager_.OnButtonUp(Centre(L"edit"));
  EXPECT_TRUE(edit->IsFocused());
  for (const wchar_t ch : std::wstring(L"D:\\安装")) manager_.OnChar(ch);
  manager_.OnKeyDown(Key::kBack);
  EXPECT_EQ(edit->GetText(), L"D:\\安");
  edit->SetMaxChars(3);
  EXPECT_EQ(edit->GetText(), L"D:\\");
  manager_.OnChar(L'x');
  EXPECT_EQ(edit->GetText(), L"D:\\");
  recorder_.Take();

  manager_.OnKeyDown(Key::kTab);
  EXPECT_EQ(manager_.GetFocus(), Find(L"btn")) << "tab order follows the tree, wrapping";
  EXPECT_FALSE(edit->IsFocused());
  manager_.OnKeyDown(Key::kTab);
  EXPECT_EQ(manager_.GetFocus(), Find(L"cb")) << "the disabled button is passed over";
  manager_.SetFocus(Find(L"btn"));
  Find(L"btn")->SetVisible(false);
  EXPECT_EQ(manager_.GetFocus(), nullptr) << "hiding the focused control drops the focus";
}

TEST_F(WindowManagerTest, DestroyedControlsLeaveNoTrace) {
  CControlUI* lbl = Find(L"lbl");
  manager_.SetTimer(lbl, 1, 10);
  manager_.SendNotify(lbl, L"later", 0, 0, true);
  manager_.OnMouseMove(Centre(L"lbl"));
  EXPECT_EQ(manager_.GetHot(), lbl);
  ASSERT_TRUE(lbl->GetParent()->AsContainer()->Remove(lbl));
  EXPECT_EQ(manager_.FindControl(L"lbl"), nullptr);
  EXPECT_EQ(manager_.GetHot(), nullptr);
  EXPECT_TRUE(manager_.GetTimers().empty());
  EXPECT_EQ(manager_.PendingNotifications(), 0u);

  // A control added later joins the name table.
  auto added = std::make_unique<CLabelUI>();
  added->SetName(L"late");
  CControlUI* raw = Find(L"root")->AsContainer()->Add(std::move(added));
  EXPECT_EQ(manager_.FindControl(L"late"), raw);
  raw->SetName(L"renamed");
  EXPECT_EQ(manager_.FindControl(L"late"), nullptr);
  EXPECT_EQ(manager_.FindControl(L"renamed"), raw);
}

}  // namespace
}  // namespace SkinUI
