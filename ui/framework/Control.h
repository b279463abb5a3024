// The base of every control: name, text, geometry, visibility, the fill,
// background image and border, attributes, events and painting.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/framework/Event.h"
#include "ui/framework/Geometry.h"
#include "ui/framework/ImageDescription.h"
#include "ui/framework/Notify.h"

namespace SkinUI {

class CContainerUI;
class CWindowManager;

class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // The element name the control is written with ("Control", "Button", ...).
  virtual std::wstring_view GetClass() const;
  virtual CContainerUI* AsContainer() { return nullptr; }

  const std::wstring& GetName() const { return name_; }
  void SetName(std::wstring_view name);
  // The text as shown: "%[N]" is the numbered text N.
  std::wstring GetText() const;
  const std::wstring& GetRawText() const { return text_; }
  virtual void SetText(std::wstring_view text);
  const std::wstring& GetUserData() const { return userData_; }
  void SetUserData(std::wstring_view data) { userData_ = data; }

  // The tree.
  CWindowManager* GetManager() const { return manager_; }
  CControlUI* GetParent() const { return parent_; }
  // Attaches the control (and its children) to a manager; `init` runs DoInit
  // once the control is attached to its window.
  virtual void SetManager(CWindowManager* manager, CControlUI* parent, bool init);
  // Visits the control and every control below it.
  virtual void ForEach(const std::function<void(CControlUI&)>& visit);

  // Geometry: the rectangle the layout gave the control, and what it asks for.
  const Rect& GetPos() const { return pos_; }
  virtual void SetPos(const Rect& rc);
  int GetFixedWidth() const { return fixedWidth_; }
  int GetFixedHeight() const { return fixedHeight_; }
  void SetFixedWidth(int cx);
  void SetFixedHeight(int cy);
  int GetMinWidth() const { return minWidth_; }
  int GetMaxWidth() const { return maxWidth_; }
  int GetMinHeight() const { return minHeight_; }
  int GetMaxHeight() const { return maxHeight_; }
  void SetMinWidth(int cx);
  void SetMaxWidth(int cx);
  void SetMinHeight(int cy);
  void SetMaxHeight(int cy);
  const Rect& GetPadding() const { return padding_; }
  void SetPadding(const Rect& rc);

  // State.
  bool IsVisible() const { return visible_; }
  virtual void SetVisible(bool visible);
  // Visible itself and every container above it.
  bool IsVisibleInTree() const;
  bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  bool IsFocused() const { return focused_; }
  virtual bool IsFocusable() const { return false; }
  // Asks the manager to give this control the keyboard focus.
  void SetFocus();
  // Keyboard or mouse activation; true when the control is enabled and visible.
  virtual bool Activate();

  // Appearance.
  std::uint32_t GetBkColor() const { return bkColor_; }
  void SetBkColor(std::uint32_t argb);
  const std::wstring& GetBkImage() const { return bkImage_.GetText(); }
  void SetBkImage(std::wstring_view image);
  int GetBorderSize() const { return borderSize_; }
  void SetBorderSize(int size);
  std::uint32_t GetBorderColor() const { return borderColor_; }
  void SetBorderColor(std::uint32_t argb);
  Size GetBorderRound() const { return borderRound_; }
  void SetBorderRound(Size round);

  // Markup attributes; unknown names are ignored.
  virtual void SetAttribute(std::wstring_view name, std::wstring_view value);
  // A list written like element attributes: name="value" name="value" ...
  void ApplyAttributeList(std::wstring_view list);

  // Events from the manager. The handler (if any) sees notifications this
  // control sends, before the window's receivers.
  void Event(TEventUI& event);
  void SetNotifyHandler(std::function<void(NotifyMsg&)> handler) { notifyHandler_ = std::move(handler); }
  void OnNotify(NotifyMsg& msg) {
    if (notifyHandler_) notifyHandler_(msg);
  }

  // Repaints the control's rectangle / lays out the whole tree again.
  void Invalidate();
  void NeedUpdate();
  void NeedParentUpdate();

  // Paints the control where it meets `paint` (clipped to it).
  virtual void DoPaint(cairo_t* cr, const Rect& paint);
  // The topmost visible, enabled control at the point, or null.
  virtual CControlUI* FindControlAt(Point pt);

 protected:
  virtual void DoInit() {}
  virtual void DoEvent(TEventUI& event);
  virtual void PaintBkColor(cairo_t* cr);
  virtual void PaintBkImage(cairo_t* cr);
  virtual void PaintStatusImage(cairo_t* cr);
  virtual void PaintText(cairo_t* cr);
  virtual void PaintBorder(cairo_t* cr);
  // Draws an image slot over the control (or over `area`); false when the
  // slot is empty or its image cannot be loaded.
  bool DrawImage(cairo_t* cr, const CImageSlot& slot, const Rect* area = nullptr);
  void Notify(const wchar_t* type, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

 private:
  friend class CWindowManager;
  void SetFocusedState(bool focused) { focused_ = focused; }

  CWindowManager* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  std::wstring name_;
  std::wstring text_;
  std::wstring userData_;
  Rect pos_;
  int fixedWidth_ = 0;
  int fixedHeight_ = 0;
  int minWidth_ = 0;
  int maxWidth_ = 0;
  int minHeight_ = 0;
  int maxHeight_ = 0;
  Rect padding_;
  bool visible_ = true;
  bool enabled_ = true;
  bool focused_ = false;
  std::uint32_t bkColor_ = 0;
  CImageSlot bkImage_;
  int borderSize_ = 0;
  std::uint32_t borderColor_ = 0;
  Size borderRound_;
  std::function<void(NotifyMsg&)> notifyHandler_;
};

// Applies min and max (when set, that is non-zero) to an extent.
int BoundExtent(int extent, int minimum, int maximum);

}  // namespace SkinUI
