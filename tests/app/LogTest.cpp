#include "app/Log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/Text.h"
#include "tests/support/LogCapture.h"

namespace {

using TestSupport::LogCapture;

const Platform::LocalTime kMarch5{2024, 3, 5, 7, 8, 9, 45};

TEST(LogTest, RecordCarriesThePrefixFieldsAndTheFormattedMessage) {
  LogCapture log;
  Log::WriteAs(812, 4242, kMarch5, L"Utils::CheckNetwork", 245, L"GetConnectivity %d", 3);
  Log::WriteAs(123456, 7, kMarch5, L"F", 12345, L"line\r\n");
  Log::WriteAs(1, 2, kMarch5, L"F", 3, L"%s and %lld and %f and 100%%\n", std::wstring(L"宽字符"), 1LL << 40, 0.5);
  const auto records = log.Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0], "<P00812><T04242><2024-03-05 07:08:09.045>(Utils::CheckNetwork)<0245>: GetConnectivity 3");
  EXPECT_EQ(records[1], "<P123456><T00007><2024-03-05 07:08:09.045>(F)<12345>: line\r\n");
  EXPECT_EQ(records[2],
            "<P00001><T00002><2024-03-05 07:08:09.045>(F)<0003>: 宽字符 and 1099511627776 and 0.500000 and 100%\n");
}

TEST(LogTest, LongRecordsAreEmittedWhole) {
  LogCapture log;
  const std::wstring message(20000, L'x');
  LogRecord(L"%s", message);
  ASSERT_EQ(log.Messages().size(), 1u);
  EXPECT_EQ(log.Messages()[0], std::string(20000, 'x'));
}

TEST(LogTest, BadFormatDropsTheRecordWithoutThrowing) {
  LogCapture log;
  LogRecord(L"%d %d", 1);  // an argument missing
  LogRecord(L"after");
  EXPECT_EQ(log.Messages(), std::vector<std::string>{"after"});
}

namespace Outer {
struct Widget {
  static void Static(LogCapture&) { LogRecord(L"s"); }
  int Member(int) const {
    LogRecord(L"m");
    return 0;
  }
  void WithLambda() const {
    auto lambda = [](int) { LogRecord(L"l"); };
    lambda(1);
  }
};
}  // namespace Outer

TEST(LogTest, FunctionNameIsQualifiedWithoutReturnTypeOrParameters) {
  LogCapture log;
  Outer::Widget::Static(log);
  Outer::Widget().Member(1);
  Outer::Widget().WithLambda();
  std::vector<std::string> names;
  for (const std::string& r : log.Records()) names.push_back(r.substr(r.find(">(") + 2, r.find(")<") - r.find(">(") - 2));
  EXPECT_EQ(names, (std::vector<std::string>{"{anonymous}::Outer::Widget::Static", "{anonymous}::Outer::Widget::Member",
                                             "{anonymous}::Outer::Widget::WithLambda::<lambda>::operator()"}));
}

TEST(LogTest, QualifiedFunctionNameTable) {
  const struct {
    const char* pretty;
    const wchar_t* expected;
  } cases[] = {
      {"int Utils::CheckNetwork()", L"Utils::CheckNetwork"},
      {"static void Utils::Thread::CallBack(const std::shared_ptr<Utils::Thread::Work>&)", L"Utils::Thread::CallBack"},
      {"virtual void CCurlDownloader::Start()", L"CCurlDownloader::Start"},
      {"Utils::Thread::Thread(void*, const std::wstring&, Body)", L"Utils::Thread::Thread"},
      {"const wchar_t* Foo::Name() const", L"Foo::Name"},
      {"std::vector<int, std::allocator<int> > Foo::List(int)", L"Foo::List"},
      {"void Box<T>::Put(T) [with T = int]", L"Box::Put"},
      {"CDownloadInstaller::Start()::<lambda(int, double, const wchar_t*)>", L"CDownloadInstaller::Start::<lambda>::operator()"},
      {"auto CDownloadInstaller::Start()::(anonymous class)::operator()(int) const",
       L"CDownloadInstaller::Start::<lambda>::operator()"},
      {"", L""},
      {"((((", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(Log::QualifiedFunctionName(c.pretty), c.expected) << c.pretty;
}

// Each record is one write(2): threads writing at once never interleave.
TEST(LogTest, RecordsOfConcurrentThreadsNeverInterleaveOnStderr) {
  const auto path = std::filesystem::temp_directory_path() / ("velmora-log-" + std::to_string(getpid()));
  const int file = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_APPEND, 0600);
  ASSERT_GE(file, 0);
  const int savedStderr = ::dup(STDERR_FILENO);
  ::dup2(file, STDERR_FILENO);
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < 4; ++t)
      threads.emplace_back([t] {
        const std::wstring body(3000, static_cast<wchar_t>(L'a' + t));
        for (int i = 0; i < 200; ++i) LogRecord(L"%s\n", body);
      });
  }
  ::dup2(savedStderr, STDERR_FILENO);
  ::close(savedStderr);
  ::close(file);
  std::ifstream in(path);
  std::string line;
  int lines = 0;
  while (std::getline(in, line)) {
    ++lines;
    const std::string body = line.substr(line.find(">: ") + 3);
    ASSERT_EQ(body.size(), 3000u);
    ASSERT_EQ(body.find_first_not_of(body[0]), std::string::npos);
  }
  EXPECT_EQ(lines, 800);
  std::filesystem::remove(path);
}

}  // namespace
