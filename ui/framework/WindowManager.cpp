#include "ui/framework/WindowManager.h"

#include <algorithm>
#include <ctime>

#include "ui/framework/AttributeTable.h"
#include "ui/framework/AttributeValue.h"
#include "ui/framework/Container.h"

namespace SkinUI {
namespace {

constexpr wchar_t kDefaultFace[] = L"微软雅黑";
constexpr int kDefaultFontSize = 12;
constexpr unsigned kMaxNativeTimerId = 255;

const AttributeEntry<CWindowManager> kWindowAttributes[] = {
    {L"size", [](CWindowManager& m, std::wstring_view v) { m.SetInitSize(ParseSize(v)); }},
    {L"caption", [](CWindowManager&, std::wstring_view) {}},
    {L"roundcorner", [](CWindowManager&, std::wstring_view) {}},
    {L"defaultfontcolor", [](CWindowManager& m, std::wstring_view v) { m.SetDefaultFontColor(ParseColor(v)); }},
    {L"disabledfontcolor",
     [](CWindowManager& m, std::wstring_view v) { m.SetDefaultDisabledColor(ParseColor(v)); }},
    // Known to the manager, used by no layout here; kept as written.
    {L"sizebox", [](CWindowManager&, std::wstring_view) {}},
    {L"mininfo", [](CWindowManager&, std::wstring_view) {}},
    {L"maxinfo", [](CWindowManager&, std::wstring_view) {}},
    {L"showdirty", [](CWindowManager&, std::wstring_view) {}},
    {L"noactivate", [](CWindowManager&, std::wstring_view) {}},
    {L"opacity", [](CWindowManager&, std::wstring_view) {}},
    {L"layeredopacity", [](CWindowManager&, std::wstring_view) {}},
    {L"layeredimage", [](CWindowManager&, std::wstring_view) {}},
    {L"linkfontcolor", [](CWindowManager&, std::wstring_view) {}},
    {L"linkhoverfontcolor", [](CWindowManager&, std::wstring_view) {}},
    {L"selectedcolor", [](CWindowManager&, std::wstring_view) {}},
};

cairo_rectangle_int_t ToCairo(const Rect& rc) { return {rc.left, rc.top, rc.Width(), rc.Height()}; }

}  // namespace

CWindowManager::CWindowManager()
    : resources_(&CSkinResources::Process()),
      defaultFont_(std::make_unique<CFont>(kDefaultFace, kDefaultFontSize, false, false, false)),
      dirty_(cairo_region_create()) {}

CWindowManager::~CWindowManager() {
  // Controls reach back into the manager while they are destroyed.
  root_.reset();
  cairo_region_destroy(dirty_);
}

std::uint64_t CWindowManager::Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000 + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000;
}

// ---- The tree ----

bool CWindowManager::AttachDialog(std::unique_ptr<CControlUI> root) {
  if (!root) return false;
  hover_ = captured_ = focus_ = nullptr;
  root_.reset();
  names_.clear();
  root_ = std::move(root);
  root_->SetManager(this, nullptr, true);
  firstPaint_ = true;
  NeedUpdate();
  return true;
}

CControlUI* CWindowManager::FindControl(std::wstring_view name) const {
  const auto it = names_.find(std::wstring(name));
  return it == names_.end() ? nullptr : it->second;
}

CControlUI* CWindowManager::FindControl(Point pt) const { return root_ ? root_->FindControlAt(pt) : nullptr; }

bool CWindowManager::IsAttached(const CControlUI* control) const {
  for (const CControlUI* c = control; c != nullptr; c = c->GetParent())
    if (c == root_.get()) return c->GetManager() == this;
  return false;
}

void CWindowManager::InitControl(CControlUI* control) {
  if (!control->GetName().empty()) names_.emplace(control->GetName(), control);
}

void CWindowManager::RenameControl(CControlUI* control, std::wstring_view name) {
  const auto it = names_.find(control->GetName());
  if (it != names_.end() && it->second == control) names_.erase(it);
  if (!name.empty()) names_.emplace(std::wstring(name), control);
}

void CWindowManager::ReapControl(CControlUI* control) {
  const auto it = names_.find(control->GetName());
  if (it != names_.end() && it->second == control) names_.erase(it);
  if (hover_ == control) hover_ = nullptr;
  if (captured_ == control) captured_ = nullptr;
  if (focus_ == control) focus_ = nullptr;
  KillTimers(control);
  std::lock_guard lock(queueMutex_);
  std::erase_if(queue_, [control](const NotifyMsg& m) { return m.sender == control; });
}

// A hidden or disabled control (or one inside a hidden container) loses the
// mouse and the focus.
void CWindowManager::ControlHidden(CControlUI* control) {
  const auto within = [control](CControlUI* c) {
    for (; c != nullptr; c = c->GetParent())
      if (c == control) return true;
    return false;
  };
  if (within(hover_)) hover_ = nullptr;
  if (within(captured_)) captured_ = nullptr;
  if (within(focus_)) SetFocus(nullptr);
}

// ---- Window attributes ----

void CWindowManager::SetWindowAttribute(std::wstring_view name, std::wstring_view value) {
  if (ApplyFromTable<CWindowManager>(kWindowAttributes, *this, name, value)) {
    knownAttributes_[std::wstring(name)] = value;
    if (name == L"caption") caption_ = ParseRect(value);
    if (name == L"roundcorner") roundCorner_ = ParseSize(value);
    return;
  }
  customAttributes_[std::wstring(name)] = value;
}

std::optional<std::wstring> CWindowManager::GetWindowCustomAttribute(std::wstring_view name) const {
  const auto it = customAttributes_.find(name);
  if (it == customAttributes_.end()) return std::nullopt;
  return it->second;
}

void CWindowManager::SetInitSize(Size size) {
  initSize_ = {std::max(0, size.cx), std::max(0, size.cy)};
  SetClientSize(initSize_);
}

void CWindowManager::SetClientSize(Size size) {
  if (size == clientSize_) return;
  clientSize_ = size;
  NeedUpdate();
}

// ---- Fonts, images, default attributes ----

void CWindowManager::AddFont(int id, std::wstring face, int size, bool bold, bool underline, bool italic,
                             bool isDefault) {
  if (id < 0) return;
  auto font = std::make_unique<CFont>(std::move(face), size, bold, underline, italic);
  if (isDefault) defaultFont_ = std::make_unique<CFont>(font->Face(), font->Size(), bold, underline, italic);
  fonts_[id] = std::move(font);
  NeedUpdate();
}

const CFont& CWindowManager::GetFont(int id) const {
  const auto it = fonts_.find(id);
  return it == fonts_.end() ? *defaultFont_ : *it->second;
}

const CFont& CWindowManager::GetDefaultFont() const { return *defaultFont_; }

std::shared_ptr<CImage> CWindowManager::GetImage(std::wstring_view name, std::uint32_t mask) {
  std::wstring key(name);
  const auto it = images_.find(key);
  if (it != images_.end()) return it->second;
  std::shared_ptr<CImage> image = resources_->LoadImage(name, mask);
  images_.emplace(std::move(key), image);
  return image;
}

// Images of native resources other than the skin are not available here:
// such an entry stays missing and draws nothing.
std::shared_ptr<CImage> CWindowManager::AddImage(std::wstring_view name, std::wstring_view resType,
                                                 std::uint32_t mask) {
  if (!resType.empty()) {
    images_[std::wstring(name)] = nullptr;
    return nullptr;
  }
  images_.erase(std::wstring(name));
  return GetImage(name, mask);
}

void CWindowManager::AddDefaultAttributeList(std::wstring_view className, std::wstring_view list) {
  defaultAttributes_[std::wstring(className)] = list;
}

const std::wstring* CWindowManager::GetDefaultAttributeList(std::wstring_view className) const {
  const auto it = defaultAttributes_.find(className);
  return it == defaultAttributes_.end() ? nullptr : &it->second;
}

// ---- Notifications ----

void CWindowManager::AddNotifier(INotifyUI* receiver) {
  if (receiver && std::find(notifiers_.begin(), notifiers_.end(), receiver) == notifiers_.end())
    notifiers_.push_back(receiver);
}

void CWindowManager::RemoveNotifier(INotifyUI* receiver) { std::erase(notifiers_, receiver); }

void CWindowManager::SendNotify(CControlUI* sender, std::wstring_view type, std::uintptr_t wParam,
                                std::intptr_t lParam, bool async, bool enableRepeat) {
  NotifyMsg msg;
  msg.type = type;
  msg.sender = sender;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotify(msg, async, enableRepeat);
}

void CWindowManager::SendNotify(NotifyMsg& msg, bool async, bool enableRepeat) {
  msg.mouse = mouse_;
  msg.timestamp = Now();
  if (!async) {
    Deliver(msg);
    return;
  }
  bool first;
  {
    std::lock_guard lock(queueMutex_);
    if (!enableRepeat) {
      for (NotifyMsg& queued : queue_) {
        if (queued.sender == msg.sender && queued.type == msg.type) {
          queued = msg;
          return;
        }
      }
    }
    first = queue_.empty();
    queue_.push_back(msg);
  }
  if (first && wakeup_) wakeup_();
}

void CWindowManager::SetAsyncWakeup(std::function<void()> wakeup) { wakeup_ = std::move(wakeup); }

void CWindowManager::Deliver(NotifyMsg& msg) {
  if (msg.sender) msg.sender->OnNotify(msg);
  // A receiver may add or remove receivers while it is notified.
  const std::vector<INotifyUI*> receivers = notifiers_;
  for (INotifyUI* r : receivers)
    if (std::find(notifiers_.begin(), notifiers_.end(), r) != notifiers_.end()) r->Notify(msg);
}

std::size_t CWindowManager::DrainNotifications() {
  std::size_t delivered = 0;
  for (;;) {
    NotifyMsg msg;
    {
      std::lock_guard lock(queueMutex_);
      if (queue_.empty()) break;
      msg = std::move(queue_.front());
      queue_.pop_front();
    }
    Deliver(msg);
    ++delivered;
  }
  return delivered;
}

std::size_t CWindowManager::PendingNotifications() const {
  std::lock_guard lock(queueMutex_);
  return queue_.size();
}

// ---- Timers ----

const TimerRecord* CWindowManager::FindTimer(const CControlUI* control, unsigned id) const {
  for (const TimerRecord& t : timers_)
    if (t.sender == control && t.id == id) return &t;
  return nullptr;
}

bool CWindowManager::SetTimer(CControlUI* control, unsigned id, unsigned elapseMs) {
  if (control == nullptr) return false;
  for (TimerRecord& t : timers_) {
    if (t.sender != control || t.id != id) continue;
    if (!t.killed) return true;
    t.killed = false;
    t.elapse = elapseMs;
    if (timerHost_) timerHost_->StartNativeTimer(t.nativeId, elapseMs);
    return true;
  }
  // Native ids count 1..255 and wrap; one still held by another timer is skipped.
  unsigned nativeId = 0;
  for (unsigned tries = 0; tries < kMaxNativeTimerId; ++tries) {
    timerCounter_ = timerCounter_ % kMaxNativeTimerId + 1;
    const bool taken = std::any_of(timers_.begin(), timers_.end(),
                                   [this](const TimerRecord& t) { return t.nativeId == timerCounter_; });
    if (!taken) {
      nativeId = timerCounter_;
      break;
    }
  }
  if (nativeId == 0) return false;
  timers_.push_back({control, id, nativeId, elapseMs, false});
  if (timerHost_) timerHost_->StartNativeTimer(nativeId, elapseMs);
  return true;
}

bool CWindowManager::KillTimer(CControlUI* control, unsigned id) {
  for (TimerRecord& t : timers_) {
    if (t.sender != control || t.id != id) continue;
    if (!t.killed && timerHost_) timerHost_->StopNativeTimer(t.nativeId);
    t.killed = true;
    return true;
  }
  return false;
}

void CWindowManager::KillTimers(CControlUI* control) {
  std::erase_if(timers_, [&](const TimerRecord& t) {
    if (t.sender != control) return false;
    if (!t.killed && timerHost_) timerHost_->StopNativeTimer(t.nativeId);
    return true;
  });
}

bool CWindowManager::OnNativeTimer(unsigned nativeId) {
  for (const TimerRecord& t : timers_) {
    if (t.nativeId != nativeId || t.killed) continue;
    SendEvent(t.sender, EventType::Timer, t.id);
    return true;
  }
  return false;
}

// ---- Mouse and keyboard ----

void CWindowManager::SendEvent(CControlUI* control, EventType type, std::uintptr_t wParam) {
  if (control == nullptr) return;
  TEventUI event{type, mouse_, Now(), wParam, 0};
  control->Event(event);
}

void CWindowManager::OnMouseMove(Point pt) {
  mouse_ = pt;
  CControlUI* now = FindControl(pt);
  if (now != hover_) {
    CControlUI* old = hover_;
    hover_ = now;
    SendEvent(old, EventType::MouseLeave);
    SendEvent(hover_, EventType::MouseEnter);
  }
  if (captured_) {
    SendEvent(captured_, EventType::MouseMove);
  } else {
    SendEvent(hover_, EventType::MouseMove);
  }
}

void CWindowManager::OnMouseLeave() {
  CControlUI* old = hover_;
  hover_ = nullptr;
  SendEvent(old, EventType::MouseLeave);
}

void CWindowManager::OnButtonDown(Point pt) {
  OnMouseMove(pt);
  CControlUI* target = FindControl(pt);
  if (target == nullptr) return;
  if (target->IsFocusable()) SetFocus(target);
  captured_ = target;
  SendEvent(target, EventType::ButtonDown);
}

void CWindowManager::OnButtonUp(Point pt) {
  mouse_ = pt;
  CControlUI* target = captured_;
  captured_ = nullptr;
  SendEvent(target, EventType::ButtonUp);
}

void CWindowManager::OnKeyDown(unsigned key) {
  if (key == Key::kTab) {
    FocusNext(true);
    return;
  }
  SendEvent(focus_, EventType::KeyDown, key);
}

void CWindowManager::OnChar(wchar_t ch) { SendEvent(focus_, EventType::Char, static_cast<std::uintptr_t>(ch)); }

void CWindowManager::SetFocus(CControlUI* control) {
  if (control == focus_) return;
  if (control && (control->GetManager() != this || !control->IsFocusable())) return;
  if (CControlUI* old = focus_) {
    focus_ = nullptr;
    old->SetFocusedState(false);
    SendEvent(old, EventType::KillFocus);
    SendNotify(old, NotifyType::kKillFocus);
  }
  focus_ = control;
  if (focus_) {
    SendEvent(focus_, EventType::SetFocus);
    SendNotify(focus_, NotifyType::kSetFocus);
  }
}

void CWindowManager::FocusNext(bool forward) {
  if (!root_) return;
  std::vector<CControlUI*> order;
  root_->ForEach([&](CControlUI& c) {
    if (c.IsFocusable() && c.IsEnabled() && c.IsVisibleInTree()) order.push_back(&c);
  });
  if (order.empty()) return;
  if (!forward) std::reverse(order.begin(), order.end());
  auto it = std::find(order.begin(), order.end(), focus_);
  SetFocus(it == order.end() || it + 1 == order.end() ? order.front() : *(it + 1));
}

// ---- Invalidation and painting ----

void CWindowManager::Invalidate(const Rect& rc) {
  const Rect clipped = rc.Intersect({0, 0, clientSize_.cx, clientSize_.cy});
  if (clipped.IsEmpty()) return;
  const cairo_rectangle_int_t r = ToCairo(clipped);
  cairo_region_union_rectangle(dirty_, &r);
}

void CWindowManager::InvalidateAll() { Invalidate({0, 0, clientSize_.cx, clientSize_.cy}); }

bool CWindowManager::IsDirty() const { return !cairo_region_is_empty(dirty_); }

Rect CWindowManager::GetDirtyBounds() const {
  cairo_rectangle_int_t r;
  cairo_region_get_extents(dirty_, &r);
  return {r.x, r.y, r.x + r.width, r.y + r.height};
}

std::vector<Rect> CWindowManager::TakeDirtyRects() {
  std::vector<Rect> out;
  const int n = cairo_region_num_rectangles(dirty_);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(dirty_, i, &r);
    out.push_back({r.x, r.y, r.x + r.width, r.y + r.height});
  }
  cairo_region_destroy(dirty_);
  dirty_ = cairo_region_create();
  return out;
}

void CWindowManager::NeedUpdate() {
  needUpdate_ = true;
  InvalidateAll();
}

void CWindowManager::UpdateLayout() {
  needUpdate_ = false;
  if (root_) root_->SetPos({0, 0, clientSize_.cx, clientSize_.cy});
  // Laying out may have marked the layout dirty again; the rectangles are now final.
  needUpdate_ = false;
}

void CWindowManager::Paint(cairo_t* cr, const Rect& area) {
  if (needUpdate_) UpdateLayout();
  if (!root_) return;
  const Rect clipped = area.Intersect({0, 0, clientSize_.cx, clientSize_.cy});
  if (clipped.IsEmpty()) return;
  cairo_save(cr);
  cairo_rectangle(cr, clipped.left, clipped.top, clipped.Width(), clipped.Height());
  cairo_clip(cr);
  root_->DoPaint(cr, clipped);
  cairo_restore(cr);
  if (firstPaint_) {
    firstPaint_ = false;
    SendNotify(root_.get(), NotifyType::kWindowInit, 0, 0, true, false);
  }
}

std::vector<Rect> CWindowManager::PaintDirty(cairo_surface_t* surface) {
  if (needUpdate_) UpdateLayout();
  std::vector<Rect> rects = TakeDirtyRects();
  cairo_t* cr = cairo_create(surface);
  for (const Rect& rc : rects) {
    cairo_save(cr);
    cairo_rectangle(cr, rc.left, rc.top, rc.Width(), rc.Height());
    cairo_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_restore(cr);
    Paint(cr, rc);
  }
  cairo_destroy(cr);
  return rects;
}

}  // namespace SkinUI
