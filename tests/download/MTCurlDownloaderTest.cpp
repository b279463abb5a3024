#include "download/MTCurlDownloader.h"

#include <gtest/gtest.h>

#include "tests/download/DownloaderFixture.h"

namespace {

using namespace DownloadTest;
using TestServer::Behaviour;

using MTCurlDownloaderTest = DownloaderFixture;

TEST_F(MTCurlDownloaderTest, TwentyMiBComeInTwoRangesAndAreJoined) {
  const std::string package = ServePackage(20 * kMiB);
  Run(3, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  auto ranges = Ranges();
  std::sort(ranges.begin(), ranges.end());
  EXPECT_EQ(ranges, (std::vector<std::string>{"bytes=0-10485759", "bytes=10485760-20971519"}));
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
  EXPECT_FALSE(Exists(TargetPath() + "0"));
  EXPECT_FALSE(Exists(TargetPath() + "1"));
  const auto messages = log.Messages("CMTCurlDownloader::getRealDownloadUrl");
  EXPECT_EQ(messages, (std::vector<std::string>{"Download File real url " + server.Url(finalPath),
                                                "Download File Length 20971520"}));
}

TEST_F(MTCurlDownloaderTest, OneByteShortOfTenMiBIsOneRangeAndNoDigestMeansANotice) {
  const std::string package = MakeBytes(10 * kMiB - 1);
  finalPath = "/files/pkg.exe";
  server.Serve(finalPath, package);
  Run(3, finalPath);
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1006, 1003}));
  EXPECT_EQ(events.Events()[1].text, L"mtcurl获取url-md5失败");
  EXPECT_EQ(Ranges(), (std::vector<std::string>{"bytes=0-10485758"}));
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

TEST_F(MTCurlDownloaderTest, ADigestMismatchAsksForOneRestartThenFails) {
  finalPath = "/0123456789abcdef0123456789abcdef/pkg.exe";
  server.Serve(finalPath, MakeBytes(kMiB));
  Run(3, finalPath);
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1006, 1005, 1001, 1006, 1004}));
  EXPECT_EQ(events.Events()[1].text, L"mtcurl文件md5校验失败");
  EXPECT_EQ(events.Events().back().progress, 0.0);
  EXPECT_FALSE(Exists(TargetPath()));
  EXPECT_EQ(Ranges(), (std::vector<std::string>{"bytes=0-1048575", "bytes=0-1048575"}));
  EXPECT_EQ(server.Requests("HEAD", finalPath).size(), 1u);  // the restart reuses the probe
  const auto messages = log.Messages("CMTCurlDownloader::waitForFinishThreadFun");
  EXPECT_EQ(Count(messages, "finish recv, md5 chaek failed retry once."), 1u);
  EXPECT_EQ(Count(messages, "finish recv, md5 chaek failed and retry failed."), 1u);
}

TEST_F(MTCurlDownloaderTest, AServerThatIgnoresRangesNeverGetsItsBodyJoined) {
  struct Case {
    std::int64_t size;
    std::vector<int> codes;
  } cases[] = {
      // Two ranges answered with 200 and the whole body: each range fails, nothing is joined.
      {20 * kMiB, {1001, 1005, 1001, 1004}},
      // One range over the whole file: a 200 with the whole body is exactly what was asked for.
      {5 * kMiB, {1001, 1006, 1003}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    events.Clear();
    const std::string package = MakeBytes(c.size);
    finalPath = "/files/" + std::to_string(c.size) + ".exe";
    server.Serve(finalPath, package, Behaviour{.honourRanges = false});
    Run(3, finalPath);
    EXPECT_EQ(events.Codes(), c.codes);
    if (c.codes.back() == 1004) {
      EXPECT_EQ(events.Events().back().progress, 33.0);  // CURLE_RANGE_ERROR
      EXPECT_FALSE(Exists(TargetPath()));
    } else {
      EXPECT_TRUE(ReadFile(TargetPath()) == package);
    }
  }
}

TEST_F(MTCurlDownloaderTest, AFailedProbeEndsTheAttemptAtOnce) {
  WriteFile(dir.Path("local.bin"), MakeBytes(4096));
  server.Serve("/missing.exe", "", Behaviour{.status = 404});
  server.Serve("/tiny.exe", MakeBytes(255));
  server.Serve("/nolength.exe", MakeBytes(4096), Behaviour{.sendLength = false});
  const std::string cases[] = {"file://" + dir.Path("local.bin"), server.Url("/missing.exe"),
                               server.Url("/tiny.exe"), server.Url("/nolength.exe")};
  for (const std::string& address : cases) {
    SCOPED_TRACE(address);
    events.Clear();
    Run(3, address);
    EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1004}));
    EXPECT_EQ(events.Events().back().progress, 0.0);
  }
}

TEST_F(MTCurlDownloaderTest, APartFileThatCannotBeOpenedFailsTheAttemptWithMinus2) {
  ServePackage(kMiB);
  target = dir.WPath("no-such-folder/__Package_Velmora.exe");
  Run(3, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1005, 1001, 1004}));
  EXPECT_EQ(events.Events().back().progress, -2.0);
  EXPECT_TRUE(Ranges().empty());
}

}  // namespace
