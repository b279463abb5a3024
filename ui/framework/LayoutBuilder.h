// Builds a control tree from a layout: fonts, images, default attribute
// lists, numbered texts and window attributes go to the manager; elements
// become controls (built-in classes first, then the callback); unknown
// elements are skipped with their subtree.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ui/framework/Control.h"
#include "ui/framework/MarkupReader.h"

namespace SkinUI {

class CContainerUI;
class CWindowManager;

class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  // A control for an element the framework does not know, or null.
  virtual std::unique_ptr<CControlUI> CreateControl(std::wstring_view className) = 0;
};

class CLayoutBuilder {
 public:
  // "Include" may nest this deep and repeat a layout at most this often.
  static constexpr int kMaxIncludeDepth = 8;
  static constexpr int kMaxIncludeCount = 100;

  // Loads the layout through the manager's resources (UTF-8) and builds it.
  // Null when the layout cannot be loaded or parsed, or builds no control;
  // GetError() then says why.
  std::unique_ptr<CControlUI> Create(std::wstring_view layout, IDialogBuilderCallback* callback,
                                     CWindowManager* manager);
  // Builds a layout from its text.
  std::unique_ptr<CControlUI> CreateFromText(std::wstring_view text, IDialogBuilderCallback* callback,
                                             CWindowManager* manager);
  // Builds the layout's controls into `parent`; returns the first one (owned by `parent`).
  CControlUI* CreateInto(std::wstring_view layout, IDialogBuilderCallback* callback, CWindowManager* manager,
                         CContainerUI& parent);

  const MarkupError& GetError() const { return error_; }

  // The built-in classes by element name (any letter case); null for others.
  static std::unique_ptr<CControlUI> CreateBuiltin(std::wstring_view className);

 private:
  bool Load(std::wstring_view layout, CWindowManager* manager, CMarkupReader& reader);
  std::unique_ptr<CControlUI> Build(const CMarkupReader& reader, CContainerUI* parent, CControlUI** first);
  void ApplyResources(CMarkupNode root);
  // Builds the children of `node` into `parent` (or, with no parent, returns the first).
  std::unique_ptr<CControlUI> BuildChildren(CMarkupNode node, CControlUI* parent, CControlUI** first);
  void ApplyAttributes(CControlUI& control, CMarkupNode node);

  IDialogBuilderCallback* callback_ = nullptr;
  CWindowManager* manager_ = nullptr;
  int depth_ = 0;
  MarkupError error_;
};

}  // namespace SkinUI
