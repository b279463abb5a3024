// The per-window manager, without the native window: it owns the control
// tree, the name table, fonts, the image cache, default attribute lists,
// window attributes, notification receivers and queue, timers, mouse and
// keyboard state and the dirty region. The native window feeds input and
// timer expiries in and presents what Paint draws.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ui/framework/Control.h"
#include "ui/framework/Font.h"
#include "ui/framework/Image.h"
#include "ui/framework/Notify.h"
#include "ui/framework/SkinResources.h"

namespace SkinUI {

// The native side of timers: the window starts and stops one native timer
// per (control, id) pair and calls CWindowManager::OnNativeTimer when it fires.
class ITimerHost {
 public:
  virtual ~ITimerHost() = default;
  virtual void StartNativeTimer(unsigned nativeId, unsigned elapseMs) = 0;
  virtual void StopNativeTimer(unsigned nativeId) = 0;
};

struct TimerRecord {
  CControlUI* sender;
  unsigned id;        // the control's own timer id
  unsigned nativeId;  // 1..255, unique among running timers
  unsigned elapse;    // period in ms
  bool killed;
};

class CWindowManager {
 public:
  CWindowManager();
  ~CWindowManager();
  CWindowManager(const CWindowManager&) = delete;
  CWindowManager& operator=(const CWindowManager&) = delete;

  // Resources: the process-wide source unless another one is given.
  void SetResources(CSkinResources* resources) { resources_ = resources ? resources : &CSkinResources::Process(); }
  CSkinResources& GetResources() const { return *resources_; }
  const std::wstring& GetInstancePath() const { return instancePath_; }
  void SetInstancePath(std::wstring path) { instancePath_ = std::move(path); }

  // The tree. Attaching fills the name table and initialises every control;
  // the root always fills the client area.
  bool AttachDialog(std::unique_ptr<CControlUI> root);
  CControlUI* GetRoot() const { return root_.get(); }
  // Exact, case-sensitive; the first control attached under a name keeps it.
  CControlUI* FindControl(std::wstring_view name) const;
  // The topmost visible, enabled control at the point.
  CControlUI* FindControl(Point pt) const;
  // True when the control is part of this manager's attached tree.
  bool IsAttached(const CControlUI* control) const;

  // Window attributes ("size", "caption", ...); names the manager does not
  // know are kept as custom attributes.
  void SetWindowAttribute(std::wstring_view name, std::wstring_view value);
  std::optional<std::wstring> GetWindowCustomAttribute(std::wstring_view name) const;
  Size GetInitSize() const { return initSize_; }
  void SetInitSize(Size size);
  const Rect& GetCaptionRect() const { return caption_; }
  Size GetRoundCorner() const { return roundCorner_; }
  std::uint32_t GetDefaultFontColor() const { return defaultFontColor_; }
  std::uint32_t GetDefaultDisabledColor() const { return defaultDisabledColor_; }
  void SetDefaultFontColor(std::uint32_t argb) { defaultFontColor_ = argb; }
  void SetDefaultDisabledColor(std::uint32_t argb) { defaultDisabledColor_ = argb; }
  // The whole window is client area; the root is laid out over it.
  Size GetClientSize() const { return clientSize_; }
  void SetClientSize(Size size);

  // Fonts by index; -1 or an unknown index is the default font.
  void AddFont(int id, std::wstring face, int size, bool bold, bool underline, bool italic, bool isDefault);
  const CFont& GetFont(int id) const;
  const CFont& GetDefaultFont() const;

  // Images by name, decoded on first use and kept (a missing image is
  // remembered as missing).
  std::shared_ptr<CImage> GetImage(std::wstring_view name, std::uint32_t mask = 0);
  std::shared_ptr<CImage> AddImage(std::wstring_view name, std::wstring_view resType, std::uint32_t mask);
  void RemoveAllImages() { images_.clear(); }
  std::size_t ImageCacheSize() const { return images_.size(); }

  // Default attribute lists by control class, applied before a control's own attributes.
  void AddDefaultAttributeList(std::wstring_view className, std::wstring_view list);
  const std::wstring* GetDefaultAttributeList(std::wstring_view className) const;

  // Notifications. Synchronous ones reach the sender's handler and every
  // receiver before SendNotify returns. Asynchronous ones are queued (from any
  // thread); the first record queued calls the wake-up function, after which
  // the window's loop calls DrainNotifications. Without repeats a queued
  // record of the same sender and type is updated in place.
  void AddNotifier(INotifyUI* receiver);
  void RemoveNotifier(INotifyUI* receiver);
  void SendNotify(NotifyMsg& msg, bool async = false, bool enableRepeat = true);
  void SendNotify(CControlUI* sender, std::wstring_view type, std::uintptr_t wParam = 0, std::intptr_t lParam = 0,
                  bool async = false, bool enableRepeat = true);
  void SetAsyncWakeup(std::function<void()> wakeup);
  // Delivers every queued record; returns how many.
  std::size_t DrainNotifications();
  std::size_t PendingNotifications() const;

  // Timers per (control, id). Setting a running pair keeps its period; a
  // killed pair starts again with the new period.
  void SetTimerHost(ITimerHost* host) { timerHost_ = host; }
  bool SetTimer(CControlUI* control, unsigned id, unsigned elapseMs);
  bool KillTimer(CControlUI* control, unsigned id);
  void KillTimers(CControlUI* control);
  const std::vector<TimerRecord>& GetTimers() const { return timers_; }
  const TimerRecord* FindTimer(const CControlUI* control, unsigned id) const;
  // The native timer fired: the owning control gets a Timer event, which
  // sends "timer". False for an unknown or killed timer.
  bool OnNativeTimer(unsigned nativeId);

  // Mouse and keyboard, in client coordinates.
  void OnMouseMove(Point pt);
  void OnMouseLeave();
  void OnButtonDown(Point pt);
  void OnButtonUp(Point pt);
  void OnKeyDown(unsigned key);
  void OnChar(wchar_t ch);
  Point GetMousePos() const { return mouse_; }
  CControlUI* GetHot() const { return hover_; }
  CControlUI* GetCaptured() const { return captured_; }
  CControlUI* GetFocus() const { return focus_; }
  void SetFocus(CControlUI* control);
  // Moves the focus to the next (or previous) focusable control in tree order.
  void FocusNext(bool forward = true);

  // Invalidation and painting. Changes add rectangles to the dirty region;
  // a layout change relayouts the whole tree before the next paint.
  void Invalidate(const Rect& rc);
  void InvalidateAll();
  bool IsDirty() const;
  Rect GetDirtyBounds() const;
  std::vector<Rect> TakeDirtyRects();
  void NeedUpdate();
  bool IsUpdateNeeded() const { return needUpdate_; }
  void UpdateLayout();
  // Paints the tree where it meets `area` into the context (clipped to it).
  // The first paint queues "windowinit".
  void Paint(cairo_t* cr, const Rect& area);
  // Paints the dirty region into a surface of the client size and clears it;
  // returns the rectangles painted.
  std::vector<Rect> PaintDirty(cairo_surface_t* surface);

  // Called by controls.
  void InitControl(CControlUI* control);
  void RenameControl(CControlUI* control, std::wstring_view name);
  void ReapControl(CControlUI* control);
  void ControlHidden(CControlUI* control);

 private:
  void Deliver(NotifyMsg& msg);
  void SendEvent(CControlUI* control, EventType type, std::uintptr_t wParam = 0);
  void SetWindowAttributeKnown(std::wstring_view name, std::wstring_view value, bool& known);
  static std::uint64_t Now();

  CSkinResources* resources_;
  std::wstring instancePath_;
  std::unique_ptr<CControlUI> root_;
  std::unordered_map<std::wstring, CControlUI*> names_;

  Size initSize_;
  Size clientSize_;
  Rect caption_;
  Size roundCorner_;
  std::map<std::wstring, std::wstring, std::less<>> knownAttributes_;
  std::map<std::wstring, std::wstring, std::less<>> customAttributes_;
  std::uint32_t defaultFontColor_ = 0xFF000000;
  std::uint32_t defaultDisabledColor_ = 0xFFA7A6AA;

  std::map<int, std::unique_ptr<CFont>> fonts_;
  std::unique_ptr<CFont> defaultFont_;
  std::unordered_map<std::wstring, std::shared_ptr<CImage>> images_;
  std::map<std::wstring, std::wstring, std::less<>> defaultAttributes_;

  std::vector<INotifyUI*> notifiers_;
  mutable std::mutex queueMutex_;
  std::deque<NotifyMsg> queue_;
  std::function<void()> wakeup_;

  ITimerHost* timerHost_ = nullptr;
  std::vector<TimerRecord> timers_;
  unsigned timerCounter_ = 0;

  Point mouse_;
  CControlUI* hover_ = nullptr;
  CControlUI* captured_ = nullptr;
  CControlUI* focus_ = nullptr;

  cairo_region_t* dirty_;
  bool needUpdate_ = false;
  bool firstPaint_ = true;
};

}  // namespace SkinUI
