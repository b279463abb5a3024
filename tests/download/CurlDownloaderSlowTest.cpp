// Single-stream cases that take real retry pauses, the low-speed abort or a
// throttled transfer.
#include <gtest/gtest.h>

#include "tests/download/DownloaderFixture.h"

namespace {

using namespace DownloadTest;
using TestServer::Behaviour;

using CurlDownloaderSlowTest = DownloaderFixture;

TEST_F(CurlDownloaderSlowTest, AnErrorStatusSpendsTheBudgetInSixTransfers) {
  ServePackage(kMiB, Behaviour{.status = 404, .headStatus = 200, .headLength = 2 * kMiB});
  Run(1, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1004}));
  EXPECT_EQ(events.Events().back().progress, 22.0);
  EXPECT_EQ(server.Requests("GET", finalPath).size(), 6u);
  EXPECT_EQ(Count(log.Messages("CCurlDownloader::dlThreadFun"), "CurlDownLoader Code=22"), 5u);
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
