#include "ui/framework/MarkupReader.h"

#include <cwctype>

namespace SkinUI {
namespace {

constexpr std::size_t kMaxMessage = 99;
constexpr std::size_t kMaxLocation = 49;

bool IsNameChar(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
         c == L':' || (c > 0x7F && std::iswalpha(static_cast<wint_t>(c)));
}

}  // namespace

// Recursive descent over the text. Each element records its first child and
// next sibling by index, so the tree is one flat vector.
class MarkupParser {
 public:
  MarkupParser(std::wstring_view text, CMarkupReader& reader) : s_(text), reader_(reader) {}

  bool ParseDocument() {
    int last = -1;
    if (!ParseSiblings(-1, 0, last)) return false;
    SkipWhitespace();
    if (reader_.elements_.empty()) return Fail(L"Expected start tag");
    return true;
  }

 private:
  bool Fail(std::wstring_view message) {
    reader_.Fail(message, s_.substr(i_), i_);
    return false;
  }
  bool AtEnd() const { return i_ >= s_.size(); }
  wchar_t Peek(std::size_t ahead = 0) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : L'\0'; }
  void SkipWhitespace() {
    while (!AtEnd() && s_[i_] <= L' ') ++i_;
  }
  std::wstring_view ReadName() {
    const std::size_t start = i_;
    while (!AtEnd() && IsNameChar(s_[i_])) ++i_;
    return s_.substr(start, i_ - start);
  }

  // Skips "<!...->" or "<?...?>" including its end marker, or to the end of the text.
  void SkipDeclaration() {
    const wchar_t closer = Peek(1) == L'!' ? L'-' : L'?';
    i_ += 2;
    while (!AtEnd() && !(s_[i_] == closer && Peek(1) == L'>')) ++i_;
    i_ = std::min(s_.size(), i_ + 2);
  }

  // Text up to (not including) `stop`, with the predefined entities decoded.
  // Returns false when the text ends before `stop`.
  bool ReadText(wchar_t stop, std::wstring& out) {
    static constexpr std::pair<std::wstring_view, wchar_t> kEntities[] = {
        {L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}, {L"&apos;", L'\''}};
    while (!AtEnd() && s_[i_] != stop) {
      if (s_[i_] == L'&') {
        bool decoded = false;
        for (const auto& [entity, ch] : kEntities) {
          if (s_.substr(i_, entity.size()) == entity) {
            out += ch;
            i_ += entity.size();
            decoded = true;
            break;
          }
        }
        if (decoded) continue;
      }
      out += s_[i_++];
    }
    return !AtEnd();
  }

  bool ParseAttributes(CMarkupReader::Element& element) {
    for (;;) {
      SkipWhitespace();
      if (AtEnd() || Peek() == L'>' || Peek() == L'/') return true;
      std::wstring name(ReadName());
      SkipWhitespace();
      if (name.empty() || Peek() != L'=') return Fail(L"Error while parsing attributes");
      ++i_;
      SkipWhitespace();
      if (Peek() != L'"') return Fail(L"Expected attribute value");
      ++i_;
      std::wstring value;
      if (!ReadText(L'"', value)) return Fail(L"Error while parsing attribute string");
      ++i_;
      element.attributes.emplace_back(std::move(name), std::move(value));
    }
  }

  // Parses elements (and skipped declarations) until "</" or the end of the
  // text; links each new element after `last` and under `parent`.
  bool ParseSiblings(int parent, int depth, int& last) {
    for (;;) {
      SkipWhitespace();
      if (AtEnd()) {
        if (parent < 0) return true;
        return Fail(L"Expected end-tag start");
      }
      if (Peek() != L'<') return Fail(L"Expected start tag");
      if (Peek(1) == L'/') {
        if (parent < 0) return Fail(L"Expected start tag");
        return true;
      }
      if (Peek(1) == L'!' || Peek(1) == L'?') {
        SkipDeclaration();
        continue;
      }
      if (depth >= CMarkupReader::kMaxDepth) return Fail(L"Elements nested too deeply");
      ++i_;
      const int index = static_cast<int>(reader_.elements_.size());
      reader_.elements_.emplace_back();
      if (last >= 0) {
        reader_.elements_[last].nextSibling = index;
      } else if (parent >= 0) {
        reader_.elements_[parent].firstChild = index;
      }
      last = index;
      if (!ParseElement(index, depth)) return false;
    }
  }

  // After the "<" of a start tag.
  bool ParseElement(int index, int depth) {
    const std::wstring_view name = ReadName();
    if (name.empty()) return Fail(L"Error parsing element name");
    reader_.elements_[index].name = name;
    CMarkupReader::Element element;
    if (!ParseAttributes(element)) return false;
    reader_.elements_[index].attributes = std::move(element.attributes);
    SkipWhitespace();
    if (Peek() == L'/' && Peek(1) == L'>') {
      i_ += 2;
      return true;
    }
    if (Peek() != L'>') return Fail(L"Expected start-tag closing");
    ++i_;
    std::wstring text;
    if (!ReadText(L'<', text)) return Fail(L"Expected end-tag start");
    reader_.elements_[index].value = std::move(text);
    if (Peek(1) != L'/') {
      int lastChild = -1;
      if (!ParseSiblings(index, depth + 1, lastChild)) return false;
    }
    // At "</".
    i_ += 2;
    SkipWhitespace();
    if (s_.substr(i_, name.size()) != name) return Fail(L"Unmatched closing tag");
    i_ += name.size();
    SkipWhitespace();
    if (Peek() != L'>') return Fail(L"Unmatched closing tag");
    ++i_;
    return true;
  }

  std::wstring_view s_;
  std::size_t i_ = 0;
  CMarkupReader& reader_;
};

void CMarkupReader::Fail(std::wstring_view message, std::wstring_view location, std::size_t offset) {
  elements_.clear();
  error_.message = message.substr(0, kMaxMessage);
  error_.location = location.substr(0, kMaxLocation);
  error_.offset = offset;
}

bool CMarkupReader::Load(std::wstring_view text) {
  elements_.clear();
  error_ = {};
  MarkupParser parser(text, *this);
  if (!parser.ParseDocument()) {
    elements_.clear();
    return false;
  }
  return true;
}

bool CMarkupReader::Load(const CSkinResources& resources, std::wstring_view name, LayoutEncoding encoding) {
  LoadedText loaded = resources.LoadLayoutText(name, encoding);
  if (!loaded.ok) {
    elements_.clear();
    Fail(loaded.error, L"", 0);
    return false;
  }
  return Load(loaded.text);
}

CMarkupNode CMarkupReader::GetRoot() const { return elements_.empty() ? CMarkupNode() : CMarkupNode(this, 0); }

std::wstring_view CMarkupNode::GetName() const {
  if (!IsValid()) return {};
  return reader_->elements_[index_].name;
}
std::wstring_view CMarkupNode::GetValue() const {
  if (!IsValid()) return {};
  return reader_->elements_[index_].value;
}

int CMarkupNode::GetAttributeCount() const {
  return IsValid() ? static_cast<int>(reader_->elements_[index_].attributes.size()) : 0;
}

std::wstring_view CMarkupNode::GetAttributeName(int index) const {
  if (index < 0 || index >= GetAttributeCount()) return L"";
  return reader_->elements_[index_].attributes[index].first;
}

std::wstring_view CMarkupNode::GetAttributeValue(int index) const {
  if (index < 0 || index >= GetAttributeCount()) return L"";
  return reader_->elements_[index_].attributes[index].second;
}

std::optional<std::wstring_view> CMarkupNode::GetAttributeValue(std::wstring_view name) const {
  if (!IsValid()) return std::nullopt;
  for (const auto& [n, v] : reader_->elements_[index_].attributes)
    if (n == name) return std::wstring_view(v);
  return std::nullopt;
}

bool CMarkupNode::HasChildren() const { return IsValid() && reader_->elements_[index_].firstChild >= 0; }

CMarkupNode CMarkupNode::GetChild() const {
  return HasChildren() ? CMarkupNode(reader_, reader_->elements_[index_].firstChild) : CMarkupNode();
}

CMarkupNode CMarkupNode::GetSibling() const {
  if (!IsValid() || reader_->elements_[index_].nextSibling < 0) return {};
  return CMarkupNode(reader_, reader_->elements_[index_].nextSibling);
}

}  // namespace SkinUI
