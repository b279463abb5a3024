#include "ui/framework/LayoutBuilder.h"

#include "app/Log.h"
#include "ui/framework/AttributeValue.h"
#include "ui/framework/Button.h"
#include "ui/framework/CheckBox.h"
#include "ui/framework/Container.h"
#include "ui/framework/Edit.h"
#include "ui/framework/HorizontalLayout.h"
#include "ui/framework/Label.h"
#include "ui/framework/Option.h"
#include "ui/framework/Progress.h"
#include "ui/framework/TabLayout.h"
#include "ui/framework/TextTable.h"
#include "ui/framework/VerticalLayout.h"
#include "ui/framework/WindowManager.h"

namespace SkinUI {
namespace {

bool IsNamed(std::wstring_view a, std::wstring_view b) { return EqualsIgnoringCase(a, b); }

template <class T>
std::unique_ptr<CControlUI> Make() {
  return std::make_unique<T>();
}

const struct {
  std::wstring_view name;
  std::unique_ptr<CControlUI> (*make)();
} kBuiltins[] = {
    {L"Control", Make<CControlUI>},
    {L"Container", Make<CContainerUI>},
    {L"Label", Make<CLabelUI>},
    {L"Button", Make<CButtonUI>},
    {L"Option", Make<COptionUI>},
    {L"CheckBox", Make<CCheckBoxUI>},
    {L"Edit", Make<CEditUI>},
    {L"Progress", Make<CProgressUI>},
    {L"VerticalLayout", Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", Make<CHorizontalLayoutUI>},
    {L"TabLayout", Make<CTabLayoutUI>},
};

bool IsResourceElement(std::wstring_view name) {
  return IsNamed(name, L"Image") || IsNamed(name, L"Font") || IsNamed(name, L"Default") ||
         IsNamed(name, L"MultiLanguage");
}

std::wstring_view Attribute(const CMarkupNode& node, std::wstring_view name) {
  return node.GetAttributeValue(name).value_or(L"");
}

}  // namespace

std::unique_ptr<CControlUI> CLayoutBuilder::CreateBuiltin(std::wstring_view className) {
  for (const auto& builtin : kBuiltins)
    if (IsNamed(builtin.name, className)) return builtin.make();
  return nullptr;
}

bool CLayoutBuilder::Load(std::wstring_view layout, CWindowManager* manager, CMarkupReader& reader) {
  const CSkinResources& resources = manager ? manager->GetResources() : CSkinResources::Process();
  if (reader.Load(resources, layout, LayoutEncoding::Utf8)) return true;
  error_ = reader.GetError();
  LogRecord(L"layout %s: %s at \"%s\"\r\n", std::wstring(layout), error_.message, error_.location);
  return false;
}

std::unique_ptr<CControlUI> CLayoutBuilder::Create(std::wstring_view layout, IDialogBuilderCallback* callback,
                                                   CWindowManager* manager) {
  error_ = {};
  CMarkupReader reader;
  if (!Load(layout, manager, reader)) return nullptr;
  callback_ = callback;
  manager_ = manager;
  return Build(reader, nullptr, nullptr);
}

std::unique_ptr<CControlUI> CLayoutBuilder::CreateFromText(std::wstring_view text, IDialogBuilderCallback* callback,
                                                           CWindowManager* manager) {
  error_ = {};
  CMarkupReader reader;
  if (!reader.Load(text)) {
    error_ = reader.GetError();
    return nullptr;
  }
  callback_ = callback;
  manager_ = manager;
  return Build(reader, nullptr, nullptr);
}

CControlUI* CLayoutBuilder::CreateInto(std::wstring_view layout, IDialogBuilderCallback* callback,
                                       CWindowManager* manager, CContainerUI& parent) {
  CMarkupReader reader;
  if (!Load(layout, manager, reader)) return nullptr;
  callback_ = callback;
  manager_ = manager;
  CControlUI* first = nullptr;
  Build(reader, &parent, &first);
  return first;
}

std::unique_ptr<CControlUI> CLayoutBuilder::Build(const CMarkupReader& reader, CContainerUI* parent,
                                                  CControlUI** first) {
  const CMarkupNode root = reader.GetRoot();
  if (manager_) {
    ApplyResources(root);
    if (IsNamed(root.GetName(), L"Window")) {
      for (int i = 0; i < root.GetAttributeCount(); ++i)
        manager_->SetWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
    }
  }
  std::unique_ptr<CControlUI> built = BuildChildren(root, parent, first);
  if (!built && parent == nullptr && error_.message.empty()) error_.message = L"Layout has no control";
  return built;
}

void CLayoutBuilder::ApplyResources(CMarkupNode root) {
  for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
    const std::wstring_view name = node.GetName();
    if (IsNamed(name, L"Image")) {
      const std::wstring_view image = Attribute(node, L"name");
      if (!image.empty()) manager_->AddImage(image, Attribute(node, L"restype"), ParseColor(Attribute(node, L"mask")));
    } else if (IsNamed(name, L"Font")) {
      const auto id = node.GetAttributeValue(L"id");
      const std::wstring_view face = Attribute(node, L"name");
      if (!id || ParseInt(*id) < 0 || face.empty()) continue;
      manager_->AddFont(ParseInt(*id), std::wstring(face), ParseInt(Attribute(node, L"size")),
                        ParseBool(Attribute(node, L"bold")), ParseBool(Attribute(node, L"underline")),
                        ParseBool(Attribute(node, L"italic")), ParseBool(Attribute(node, L"default")));
    } else if (IsNamed(name, L"Default")) {
      const std::wstring_view className = Attribute(node, L"name");
      if (!className.empty()) manager_->AddDefaultAttributeList(className, Attribute(node, L"value"));
    } else if (IsNamed(name, L"MultiLanguage")) {
      const auto id = node.GetAttributeValue(L"id");
      if (id) CTextTable::Process().Set(ParseInt(*id), std::wstring(Attribute(node, L"value")));
    }
  }
}

std::unique_ptr<CControlUI> CLayoutBuilder::BuildChildren(CMarkupNode node, CControlUI* parent, CControlUI** first) {
  std::unique_ptr<CControlUI> topLevel;
  CContainerUI* container = parent ? parent->AsContainer() : nullptr;
  const auto keep = [&](CControlUI* control) {
    if (first && *first == nullptr) *first = control;
  };
  for (CMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
    const std::wstring_view className = child.GetName();
    if (IsResourceElement(className)) continue;
    if (IsNamed(className, L"Include")) {
      const std::wstring_view source = Attribute(child, L"source");
      const auto countText = child.GetAttributeValue(L"count");
      const int count = std::min(countText ? ParseInt(*countText) : 1, kMaxIncludeCount);
      if (source.empty() || depth_ >= kMaxIncludeDepth) {
        if (depth_ >= kMaxIncludeDepth) LogRecord(L"layout include of %s nested too deeply\r\n", std::wstring(source));
        continue;
      }
      ++depth_;
      for (int i = 0; i < count; ++i) {
        CLayoutBuilder inner;
        inner.depth_ = depth_;
        if (container) {
          keep(inner.CreateInto(source, callback_, manager_, *container));
        } else if (!topLevel && parent == nullptr) {
          topLevel = inner.Create(source, callback_, manager_);
          keep(topLevel.get());
        }
      }
      --depth_;
      continue;
    }

    std::unique_ptr<CControlUI> control = CreateBuiltin(className);
    if (!control && callback_) control = callback_->CreateControl(className);
    if (!control) continue;  // unknown element: skipped with its subtree

    if (child.HasChildren()) BuildChildren(child, control.get(), nullptr);

    CControlUI* placed = control.get();
    if (container) {
      placed = container->Add(std::move(control));
      if (placed == nullptr) continue;
    } else if (parent != nullptr) {
      continue;  // not a container: the child is refused
    }
    ApplyAttributes(*placed, child);
    keep(placed);
    if (!container && parent == nullptr && !topLevel) topLevel = std::move(control);
  }
  return topLevel;
}

void CLayoutBuilder::ApplyAttributes(CControlUI& control, CMarkupNode node) {
  CControlUI* parent = control.GetParent();
  control.SetManager(manager_, parent, false);
  if (manager_) {
    if (const std::wstring* defaults = manager_->GetDefaultAttributeList(control.GetClass()))
      control.ApplyAttributeList(*defaults);
  }
  for (int i = 0; i < node.GetAttributeCount(); ++i)
    control.SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
  control.SetManager(nullptr, parent, false);
}

}  // namespace SkinUI
