#include "platform/Text.h"

#include <gtest/gtest.h>

namespace {

using namespace Platform;

TEST(TextTest, Utf8RoundTripAndInvalidInput) {
  const std::wstring text = L"安装 Velmora \U0001F600";
  EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
  EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFDb");
  EXPECT_EQ(Utf8ToWide("a\xFF" "b", /*strict=*/true), L"");
  EXPECT_EQ(Utf8ToWide("\xE5\xAE"), L"\uFFFD\uFFFD");  // a cut sequence
  EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD");  // overlong form
}

TEST(TextTest, CodePages) {
  const struct {
    unsigned codePage;
    std::string bytes;
    std::wstring expected;
  } cases[] = {
      {65001, "\xE5\xAE\x89\xE8\xA3\x85", L"安装"},
      {0, "\xE5\xAE\x89\xE8\xA3\x85", L"安装"},  // the ANSI code page is UTF-8 here
      {936, "\xB0\xB2\xD7\xB0", L"安装"},        // GBK
      {1252, "caf\xE9", L"café"},
      {936, "ok\xB0", L"ok\uFFFD"},  // a cut double-byte character
      {4242, "anything", L""},       // unknown code page
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeCodePage(c.codePage, c.bytes), c.expected) << c.codePage;
  EXPECT_EQ(EncodeCodePage(936, L"安装"), "\xB0\xB2\xD7\xB0");
}

TEST(TextTest, Utf16) {
  EXPECT_EQ(Utf16ToWide(std::string("a\0\x89\x5B", 4)), L"a安");
  EXPECT_EQ(Utf16ToWide(std::string("\0a\x5B\x89", 4), /*bigEndian=*/true), L"a安");
  EXPECT_EQ(Utf16ToWide(std::string("\x3D\xD8\x00\xDE", 4)), L"\U0001F600");
  EXPECT_EQ(Utf16ToWide(std::string("\x3D\xD8x", 3)), L"\uFFFD\uFFFD");
}

}  // namespace
