#include "install/ConsoleLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Text.h"

namespace {

using Utils::LineAssembler;

std::vector<std::string> Assemble(const std::vector<std::string>& chunks) {
  std::vector<std::string> lines;
  LineAssembler assembler;
  const auto onLine = [&](std::string_view line) { lines.emplace_back(line); };
  for (const std::string& chunk : chunks) assembler.Feed(chunk, onLine);
  assembler.Finish(onLine);
  return lines;
}

TEST(LineAssemblerTest, MakesWholeLinesOutOfReadsOfAnySize) {
  const std::string overlong = "Error=" + std::string(5000, 'x');
  const std::string cut = overlong.substr(0, LineAssembler::kMaxLineBytes);
  struct Case {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<std::string> lines;
  } cases[] = {
      {"two lines in one read keep their carriage returns",
       {"Progress=0.5\r\nState=Success\r\n"},
       {"Progress=0.5\r", "State=Success\r"}},
      {"a line across two reads is one line", {"Prog", "ress=0.5\n"}, {"Progress=0.5"}},
      {"a line across many reads", {"E", "r", "r", "or=", "x\n"}, {"Error=x"}},
      {"a multi-byte character across reads", {"Message=\xe4\xb8", "\xad\n"}, {"Message=\xe4\xb8\xad"}},
      {"two line feeds give an empty line", {"a\n\nb\n"}, {"a", "", "b"}},
      {"nothing after a final line feed", {"a\n"}, {"a"}},
      {"text after the last line feed is a line at the end", {"a\nState=Succ", "ess"}, {"a", "State=Success"}},
      {"no output, no lines", {}, {}},
      {"empty reads change nothing", {"", "x", ""}, {"x"}},
      {"a zero byte ends the line's text, not the next lines",
       {std::string("Error=bad\0junk\nState=Success\n", 29)},
       {"Error=bad", "State=Success"}},
      {"an overlong line is cut and its rest dropped", {overlong + "\nnext\n"}, {cut, "next"}},
      {"an overlong line across reads", {overlong.substr(0, 3000), overlong.substr(3000), "\nnext"}, {cut, "next"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Assemble(c.chunks), c.lines) << c.name;
}

TEST(ConsoleLinesTest, DecodesByCodePage) {
  const std::string utf8 = "\xe4\xb8\xad\xe6\x96\x87";  // 中文
  const std::string gbk = "\xd6\xd0\xce\xc4";           // 中文
  struct Case {
    std::int32_t codePage;
    std::string bytes;
    std::wstring text;
  } cases[] = {
      {65001, utf8, L"中文"},
      {0, utf8, L"中文"},  // the system's narrow encoding is UTF-8
      {936, gbk, L"中文"},
      {65001, gbk, L"\xFFFD\xFFFD\xFFFD\xFFFD"},
      {12345, "State=Success", L""},  // a code page nobody knows decodes to nothing
      {-1, "State=Success", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(Utils::DecodeLine(c.codePage, c.bytes), c.text) << c.codePage;
}

TEST(ConsoleLinesTest, SplitsDecodedTextAtLineFeeds) {
  using Lines = std::vector<std::wstring>;
  EXPECT_EQ(Utils::SplitLines(L"a\r\nb\r\n"), (Lines{L"a\r", L"b\r"}));
  EXPECT_EQ(Utils::SplitLines(L"a\n\nb"), (Lines{L"a", L"", L"b"}));
  EXPECT_EQ(Utils::SplitLines(L""), Lines{});
}

TEST(ConsoleLinesTest, KeysBeginTheLineExactly) {
  EXPECT_TRUE(Utils::HasKey(L"Progress=1", L"Progress="));
  EXPECT_FALSE(Utils::HasKey(L" Progress=1", L"Progress="));
  EXPECT_FALSE(Utils::HasKey(L"progress=1", L"Progress="));
  EXPECT_FALSE(Utils::HasKey(L"Progress", L"Progress="));
}

TEST(ConsoleLinesTest, ScansValuesAsTheCConventionsDo) {
  struct DoubleCase {
    const wchar_t* line;
    double value;
  } doubles[] = {
      {L"Progress=0.5\r", 0.5}, {L"Progress= 0.25", 0.25}, {L"Progress=1e-1x", 0.1},
      {L"Progress=abc", 0},     {L"Progress=", 0},         {L"Progress=-2", -2},
  };
  for (const DoubleCase& c : doubles) EXPECT_EQ(Utils::ScanDouble(c.line, L"Progress="), c.value) << c.line;

  struct IntCase {
    const wchar_t* line;
    std::int32_t value;
  } ints[] = {
      {L"N=42abc", 42}, {L"N= +7", 7}, {L"N=-1", -1},
      {L"N=4294967295", -1},  // the same 32 bits as -1
      {L"N=x", 0},      {L"N=", 0},
  };
  for (const IntCase& c : ints) EXPECT_EQ(Utils::ScanInt(c.line, L"N="), c.value) << c.line;
  EXPECT_EQ(static_cast<std::uint32_t>(Utils::ScanInt(L"N=-1", L"N=")), 4294967295u);

  struct VersionCase {
    const wchar_t* line;
    std::int32_t fields[3];
  } versions[] = {
      {L"V=1.2.3", {1, 2, 3}},
      {L"V=4.5", {4, 5, 9}},  // fields that do not scan keep their values
      {L"V=x.1.1", {9, 9, 9}},
      {L"V=7. 8.9\r", {7, 8, 9}},
      {L"V=7 .8", {7, 9, 9}},
  };
  for (const VersionCase& c : versions) {
    std::int32_t fields[3] = {9, 9, 9};
    Utils::ScanVersion(c.line, L"V=", fields);
    EXPECT_EQ(std::vector<std::int32_t>(fields, fields + 3), std::vector<std::int32_t>(c.fields, c.fields + 3))
        << c.line;
  }
}

TEST(ConsoleLinesTest, TextValuesAreTheRestOfTheLineCutTo771) {
  EXPECT_EQ(Utils::ScanText(L"InstPath=/opt/Velmora\r", L"InstPath="), L"/opt/Velmora\r");
  EXPECT_EQ(Utils::ScanText(L"InstPath=", L"InstPath="), L"");
  EXPECT_EQ(Utils::ScanText(L"Error=" + std::wstring(771, L'x'), L"Error="), std::wstring(771, L'x'));
  EXPECT_EQ(Utils::ScanText(L"Error=" + std::wstring(2000, L'x'), L"Error="), std::wstring(771, L'x'));
}

TEST(ConsoleLinesTest, TrimmedEqualityAndDecimalNumbers) {
  EXPECT_TRUE(Utils::TrimmedEquals(L"Success\r", L"Success"));
  EXPECT_TRUE(Utils::TrimmedEquals(L" \tSuccess \v\f", L"Success"));
  EXPECT_FALSE(Utils::TrimmedEquals(L"success", L"Success"));
  EXPECT_FALSE(Utils::TrimmedEquals(L"Success!", L"Success"));

  struct Case {
    const wchar_t* text;
    std::int32_t value;
  } cases[] = {
      {L"936", 936},         {L" -5x", -5},          {L"+65001", 65001},       {L"abc", 0},
      {L"", 0},              {L"2147483647", 2147483647}, {L"-2147483648", INT32_MIN}, {L"2147483648", 0},
      {L"99999999999", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Utils::ParseDecimal(c.text), c.value) << c.text;
}

}  // namespace
