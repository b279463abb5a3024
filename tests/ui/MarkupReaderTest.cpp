#include "ui/framework/MarkupReader.h"

#include <gtest/gtest.h>

#include "platform/Text.h"

namespace SkinUI {
namespace {

TEST(MarkupReader, ParseOutcomes) {
  const struct {
    const wchar_t* text;
    const wchar_t* error;     // empty: parses
    const wchar_t* location;  // where the error was found (start of it)
  } cases[] = {
      // Documents that parse.
      {L"<Window/>", L"", L""},
      {L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Window size=\"600,400\">\r\n</Window>", L"", L""},
      {L"<Window><!-- <Button name=\"x\"/> --><Label/></Window>", L"", L""},
      {L"<a:b_1 c_d:e = \"1\"  f=\"\"></a:b_1 >", L"", L""},
      {L"<a>text &amp; more</a>", L"", L""},
      {L"\x01\x1F <a/> \t\r\n", L"", L""},
      // Errors, each with its message.
      {L"", L"Expected start tag", L""},
      {L"hello", L"Expected start tag", L"hello"},
      {L"<a><b/>text</a>", L"Expected start tag", L"text</a>"},
      {L"<>", L"Error parsing element name", L">"},
      {L"< a/>", L"Error parsing element name", L" a/>"},
      {L"<a b/>", L"Error while parsing attributes", L"/>"},
      {L"<a =\"1\"/>", L"Error while parsing attributes", L"=\"1\"/>"},
      {L"<a b='1'/>", L"Expected attribute value", L"'1'/>"},
      {L"<a b=\"1/>", L"Error while parsing attribute string", L""},
      {L"<a b=\"1\"", L"Expected start-tag closing", L""},
      {L"<a/ >", L"Expected start-tag closing", L"/ >"},
      {L"<a>text", L"Expected end-tag start", L""},
      {L"<a><b/>", L"Expected end-tag start", L""},
      {L"<a></b>", L"Unmatched closing tag", L"b>"},
      {L"<a></ab>", L"Unmatched closing tag", L"b>"},
      {L"<a></A>", L"Unmatched closing tag", L"A>"},
      {L"<a></a", L"Unmatched closing tag", L""},
      {L"</a>", L"Expected start tag", L"</a>"},
  };
  for (const auto& c : cases) {
    CMarkupReader reader;
    const bool ok = reader.Load(c.text);
    const std::string what = Platform::WideToUtf8(c.text);
    EXPECT_EQ(ok, *c.error == 0) << what;
    EXPECT_EQ(reader.GetError().message, c.error) << what;
    EXPECT_EQ(reader.GetError().location, c.location) << what;
    EXPECT_EQ(reader.IsValid(), ok) << what;
  }
}

TEST(MarkupReader, ElementsAttributesAndText) {
  CMarkupReader reader;
  ASSERT_TRUE(reader.Load(
      L"<Window size=\"600,400\" caption=\"0,0,0,35\">"
      L"<!-- a comment <Label/> -->"
      L"<Font id=\"0\" name=\"&lt;x&gt; &quot;y&quot; &apos;z&apos; &amp; &nbsp;\"/>"
      L"<VerticalLayout bkimage=\"file='a.png'  corner='1,1,1,1'\">  some text  <Label/></VerticalLayout>"
      L"</Window>"));
  const CMarkupNode root = reader.GetRoot();
  EXPECT_EQ(root.GetName(), L"Window");
  ASSERT_EQ(root.GetAttributeCount(), 2);
  EXPECT_EQ(root.GetAttributeName(0), L"size");
  EXPECT_EQ(root.GetAttributeValue(1), L"0,0,0,35");
  EXPECT_EQ(root.GetAttributeValue(L"caption").value_or(L"?"), L"0,0,0,35");
  EXPECT_FALSE(root.GetAttributeValue(L"Caption").has_value()) << "attribute names are case-sensitive";
  EXPECT_EQ(root.GetAttributeName(5), L"");

  const CMarkupNode font = root.GetChild();
  EXPECT_EQ(font.GetName(), L"Font");
  EXPECT_EQ(font.GetAttributeValue(L"name").value_or(L""), L"<x> \"y\" 'z' & &nbsp;");
  EXPECT_FALSE(font.HasChildren());
  const CMarkupNode layout = font.GetSibling();
  EXPECT_EQ(layout.GetAttributeValue(L"bkimage").value_or(L""), L"file='a.png'  corner='1,1,1,1'");
  EXPECT_EQ(layout.GetValue(), L"  some text  ");
  EXPECT_EQ(layout.GetChild().GetName(), L"Label");
  EXPECT_FALSE(layout.GetSibling().IsValid());
  EXPECT_FALSE(layout.GetChild().GetChild().IsValid());
}

TEST(MarkupReader, LimitsAndLongErrors) {
  // Deep nesting is refused instead of exhausting the stack.
  std::wstring deep;
  for (int i = 0; i < 5000; ++i) deep += L"<a>";
  CMarkupReader reader;
  EXPECT_FALSE(reader.Load(deep));
  EXPECT_EQ(reader.GetError().message, L"Elements nested too deeply");
  EXPECT_LE(reader.GetError().location.size(), 49u);

  std::wstring ok;
  for (int i = 0; i < CMarkupReader::kMaxDepth; ++i) ok += L"<a>";
  for (int i = 0; i < CMarkupReader::kMaxDepth; ++i) ok += L"</a>";
  EXPECT_TRUE(reader.Load(ok));

  EXPECT_FALSE(reader.Load(L"<a b=\"" + std::wstring(500, L'x')));
  EXPECT_EQ(reader.GetError().location, L"");
  EXPECT_FALSE(reader.Load(L"<a>" + std::wstring(500, L'x') + L"</b>"));
  EXPECT_EQ(reader.GetError().location, L"b>");
  EXPECT_FALSE(reader.Load(L"<a " + std::wstring(500, L'x')));
  EXPECT_EQ(reader.GetError().location.size(), 0u);
  EXPECT_FALSE(reader.Load(L"<a>" + std::wstring(500, L'y') + L"<" + std::wstring(100, L'z')));
  EXPECT_LE(reader.GetError().location.size(), 49u);
}

}  // namespace
}  // namespace SkinUI
