// Single-stream cases that take real retry pauses, the low-speed abort or a
// throttled transfer.
#include <gtest/gtest.h>

#include "tests/download/DownloaderFixture.h"

namespace {

using namespace DownloadTest;
using TestServer::Behaviour;

using CurlDownloaderSlowTest = DownloaderFixture;

TEST_F(CurlDownloaderSlowTest, FailuresThatCostTwoSpendTheBudgetInSixAttempts) {
  const struct {
    const char* what;
    Behaviour behaviour;
    double result;
    std::size_t gets;
  } cases[] = {
      {"error status", Behaviour{.status = 404, .headStatus = 200, .headLength = 2 * kMiB}, 22.0, 6},
      {"length below 1 MiB", Behaviour{.headLength = kMiB - 1}, -998.0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    events.Clear();
    const auto logged = Count(log.Messages("CCurlDownloader::dlThreadFun"),
                              "CurlDownLoader Code=" + std::to_string(static_cast<int>(c.result)));
    ServePackage(kMiB, c.behaviour);
    const std::size_t getsBefore = server.Requests("GET", finalPath).size();
    Run(1, "/dl/pkg.exe");
    EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1004}));
    EXPECT_EQ(events.Events().back().progress, c.result);
    EXPECT_EQ(server.Requests("GET", finalPath).size() - getsBefore, c.gets);
    EXPECT_EQ(Count(log.Messages("CCurlDownloader::dlThreadFun"),
                    "CurlDownLoader Code=" + std::to_string(static_cast<int>(c.result))) -
                  logged,
              5u);
  }
}

TEST_F(CurlDownloaderSlowTest, ElevenPartialTransfersThenSuccessStayWithinTheBudget) {
  const std::string package = ServePackage(2 * kMiB);
  server.SetRule(finalPath, [](const TestServer::RequestInfo& r) {
    return Behaviour{.cutAfter = r.method == "GET" && r.index < 11 ? 100000 : -1};
  });
  Run(1, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  EXPECT_EQ(server.Requests("GET", finalPath).size(), 12u);
  EXPECT_EQ(Ranges().back(), "bytes=1100000-");
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

TEST_F(CurlDownloaderSlowTest, AStalledServerIsGivenUpAfterFiveSecondsAndTriedAgain) {
  const std::string package = ServePackage(2 * kMiB);
  // Headers, then nothing: the connection stays open but no byte comes.
  server.SetRule(finalPath, [](const TestServer::RequestInfo& r) {
    return Behaviour{.stallAfter = r.method == "GET" && r.index == 0 ? 0 : -1};
  });
  Run(1, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  EXPECT_EQ(Ranges(), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(Count(log.Messages("CCurlDownloader::dlThreadFun"), "CurlDownLoader Code=28"), 1u);
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

TEST_F(CurlDownloaderSlowTest, ProgressOfAResumedTransferCountsThePartFile) {
  const std::int64_t size = 2 * kMiB;
  const std::string package = ServePackage(size);
  server.SetRule(finalPath, [size](const TestServer::RequestInfo& r) {
    if (r.method == "GET" && r.index == 0) return Behaviour{.cutAfter = size * 6 / 10};
    return Behaviour{.bytesPerSecond = 400 * 1024};  // the remaining 40 % take about two seconds
  });
  Run(1, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  const auto progress = events.Progress();
  ASSERT_FALSE(progress.empty());
  for (double p : progress) EXPECT_GE(p, 0.6);
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

}  // namespace
