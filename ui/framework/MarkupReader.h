// The XML subset of the skin's layouts: elements, double-quoted attributes,
// element text, the five predefined entities, comments and processing
// instructions skipped. No namespaces, no CDATA, no DTD.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/framework/SkinResources.h"

namespace SkinUI {

class CMarkupReader;

// Why a document could not be loaded and where: the message is at most 99
// characters, the location is the text from the error onwards, at most 49.
struct MarkupError {
  std::wstring message;
  std::wstring location;
  std::size_t offset = 0;  // in characters from the start of the text
};

// A view of one element; it stays valid while its reader lives and is not reloaded.
class CMarkupNode {
 public:
  CMarkupNode() = default;

  bool IsValid() const { return reader_ != nullptr && index_ >= 0; }
  std::wstring_view GetName() const;
  std::wstring_view GetValue() const;
  int GetAttributeCount() const;
  std::wstring_view GetAttributeName(int index) const;
  std::wstring_view GetAttributeValue(int index) const;
  std::optional<std::wstring_view> GetAttributeValue(std::wstring_view name) const;
  bool HasChildren() const;
  CMarkupNode GetChild() const;
  CMarkupNode GetSibling() const;

 private:
  friend class CMarkupReader;
  CMarkupNode(const CMarkupReader* reader, int index) : reader_(reader), index_(index) {}

  const CMarkupReader* reader_ = nullptr;
  int index_ = -1;
};

class CMarkupReader {
 public:
  // Elements may nest this deep; deeper documents are refused.
  static constexpr int kMaxDepth = 200;

  // Parses the text; on failure the document is empty and GetError() says why.
  bool Load(std::wstring_view text);
  // Loads a layout file through the skin resources, then parses it.
  bool Load(const CSkinResources& resources, std::wstring_view name, LayoutEncoding encoding);

  bool IsValid() const { return !elements_.empty(); }
  const MarkupError& GetError() const { return error_; }
  CMarkupNode GetRoot() const;

 private:
  friend class CMarkupNode;
  friend class MarkupParser;
  struct Element {
    std::wstring name;
    std::wstring value;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    int firstChild = -1;
    int nextSibling = -1;
  };

  void Fail(std::wstring_view message, std::wstring_view location, std::size_t offset);

  std::vector<Element> elements_;
  MarkupError error_;
};

}  // namespace SkinUI
