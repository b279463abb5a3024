#include "platform/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Platform::ArgvToCommandLine;
using Platform::CommandLineToArgv;
using Args = std::vector<std::wstring>;

TEST(CommandLineTest, SplitsByTheWindowsRules) {
  const struct {
    std::wstring line;
    Args expected;
  } cases[] = {
      {L"", {L""}},
      {L"prog", {L"prog"}},
      {L"\"C:\\Program Files\\a b\\setup.exe\" /S", {L"C:\\Program Files\\a b\\setup.exe", L"/S"}},
      {L"p  a\tb  ", {L"p", L"a", L"b"}},
      {L"p \"a b\" c", {L"p", L"a b", L"c"}},
      {L"p -instdir=\"/tmp/x y\" /D=/tmp/x y", {L"p", L"-instdir=/tmp/x y", L"/D=/tmp/x", L"y"}},
      {L"p a\\\\b \\\"q\\\" \"c\\\\\"", {L"p", L"a\\\\b", L"\"q\"", L"c\\"}},
      {L"p \"a\"\"b\"", {L"p", L"a\"b"}},
      {L"p \"\"", {L"p", L""}},
      {L"p \"unterminated arg", {L"p", L"unterminated arg"}},
      {L"\"p\\\" a", {L"p\\", L"a"}},  // the program name knows no escapes
  };
  for (const auto& c : cases) EXPECT_EQ(CommandLineToArgv(c.line), c.expected) << std::string(c.line.begin(), c.line.end());
}

TEST(CommandLineTest, QuotingRoundTrips) {
  const Args args[] = {
      {L"/opt/a b/prog", L"plain", L"with blank", L"", L"q\"uote", L"trail\\", L"back\\\\\"slash", L"-k=\"v w\""},
      {L"prog"},
  };
  for (const Args& a : args) EXPECT_EQ(CommandLineToArgv(ArgvToCommandLine(a)), a);
}

}  // namespace
