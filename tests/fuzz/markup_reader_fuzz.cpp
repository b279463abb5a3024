// Feeds arbitrary bytes, decoded as a layout file would be, to the markup
// reader and then to the layout builder.
#include <cstddef>
#include <cstdint>
#include <span>

#include "ui/framework/LayoutBuilder.h"
#include "ui/framework/MarkupReader.h"
#include "ui/framework/WindowManager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  SkinUI::DecodeLayoutBytes(std::span(data, size), SkinUI::LayoutEncoding::Utf8, text);
  SkinUI::CMarkupReader reader;
  if (!reader.Load(text)) {
    if (reader.GetError().message.size() > 99 || reader.GetError().location.size() > 49) __builtin_trap();
    return 0;
  }
  // Walk the whole tree through the public view.
  std::size_t seen = 0;
  std::vector<SkinUI::CMarkupNode> stack{reader.GetRoot()};
  while (!stack.empty()) {
    SkinUI::CMarkupNode node = stack.back();
    stack.pop_back();
    for (; node.IsValid(); node = node.GetSibling()) {
      seen += node.GetName().size() + node.GetValue().size();
      for (int i = 0; i < node.GetAttributeCount(); ++i) seen += node.GetAttributeValue(i).size();
      if (node.HasChildren()) stack.push_back(node.GetChild());
    }
  }
  SkinUI::CWindowManager manager;
  SkinUI::CLayoutBuilder builder;
  if (auto root = builder.CreateFromText(text, nullptr, &manager)) {
    manager.AttachDialog(std::move(root));
    manager.SetClientSize({std::min(manager.GetClientSize().cx, 2000), std::min(manager.GetClientSize().cy, 2000)});
    manager.UpdateLayout();
  }
  return seen == static_cast<std::size_t>(-1);
}
