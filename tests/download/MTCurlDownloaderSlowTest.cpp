// Multi-part cases that take real retry pauses, the low-speed abort or a
// throttled transfer.
#include <gtest/gtest.h>

#include <atomic>

#include "tests/download/DownloaderFixture.h"

namespace {

using namespace DownloadTest;
using TestServer::Behaviour;

using MTCurlDownloaderSlowTest = DownloaderFixture;

constexpr std::int64_t kHalf = 10 * kMiB;
const std::string kSecondRange = "bytes=" + std::to_string(kHalf) + "-";

TEST_F(MTCurlDownloaderSlowTest, AnErrorStatusSpendsEachRangesBudgetTwice) {
  ServePackage(kMiB, Behaviour{.status = 404, .headStatus = 200, .headLength = 2 * kHalf});
  Run(3, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1005, 1001, 1004}));
  for (const Event& e : events.Events())
    if (e.code == 1005 || e.code == 1004) {
      EXPECT_EQ(e.progress, 22.0);
    }
  // Seven transfers per range and attempt, six logged retries.
  EXPECT_EQ(server.Requests("GET", finalPath).size(), 2u * 2u * 7u);
  EXPECT_EQ(Count(log.Messages("CMTCurlDownloader::downloadThreadFun"), "CurlDownLoader Code=22"), 2u * 2u * 6u);
}

TEST_F(MTCurlDownloaderSlowTest, ARestartAfterProgressSkipsTheWholeRangeAndResumesTheOther) {
  const std::string package = ServePackage(2 * kHalf);
  const std::int64_t cut = 3 * kMiB;
  auto secondRangeRequests = std::make_shared<std::atomic<int>>(0);
  server.SetRule(finalPath, [=](const TestServer::RequestInfo& r) {
    if (r.method != "GET") return Behaviour{};
    // The first range is slow enough for progress to be reported, then whole.
    if (r.range.rfind("bytes=0-", 0) == 0) return Behaviour{.bytesPerSecond = 8 * kMiB};
    // The second is cut once (costs 1), then refused until its budget is
    // spent: seven more transfers at 2 each. The restart's request is served.
    const int n = (*secondRangeRequests)++;
    if (n == 0) return Behaviour{.cutAfter = cut};
    return n <= 7 ? Behaviour{.status = 404} : Behaviour{};
  });
  Run(3, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1005, 1001, 1003}));
  EXPECT_FALSE(events.Progress().empty());
  const auto ranges = Ranges();
  EXPECT_EQ(std::count(ranges.begin(), ranges.end(), "bytes=0-" + std::to_string(kHalf - 1)), 1)
      << "the whole first range is not fetched again";
  EXPECT_EQ(secondRangeRequests->load(), 9);
  EXPECT_EQ(ranges.back(), "bytes=" + std::to_string(kHalf + cut) + "-" + std::to_string(2 * kHalf - 1));
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

TEST_F(MTCurlDownloaderSlowTest, AStalledRangeIsGivenUpAndResumed) {
  const std::string package = ServePackage(2 * kHalf);
  auto stalled = std::make_shared<std::atomic<bool>>(false);
  server.SetRule(finalPath, [=](const TestServer::RequestInfo& r) {
    if (r.method == "GET" && r.range.rfind(kSecondRange, 0) == 0 && !stalled->exchange(true))
      return Behaviour{.stallAfter = 0};
    return Behaviour{};
  });
  Run(3, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  EXPECT_EQ(Count(log.Messages("CMTCurlDownloader::downloadThreadFun"), "CurlDownLoader Code=28"), 1u);
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

TEST_F(MTCurlDownloaderSlowTest, ProgressRisesOncePerSecondAcrossBothRanges) {
  const std::string package = ServePackage(2 * kHalf, Behaviour{.bytesPerSecond = 4 * kMiB});
  Run(3, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  const auto progress = events.Progress();
  // Both ranges at 4 MiB/s: about 2.5 s, so at least one report, and each at least a point above the last.
  ASSERT_FALSE(progress.empty());
  for (std::size_t i = 1; i < progress.size(); ++i) EXPECT_GE(progress[i] - progress[i - 1], 0.01);
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

}  // namespace
