#include "download/CurlDownloader.h"

#include <gtest/gtest.h>

#include "download/MTCurlDownloader.h"
#include "download/SystemHttpDownloader.h"
#include "tests/download/DownloaderFixture.h"

namespace {

using namespace DownloadTest;
using TestServer::Behaviour;

TEST(DownloaderFactoryTest, TypeTwoIsSystemHttpThreeMultiPartAnythingElseSingleStream) {
  auto noop = [](int, double, const wchar_t*) {};
  for (int type : {0, 1, 4, -1, 99}) {
    auto d = CreateDownloader(type, noop, L"http://127.0.0.1/x", L"/nonexistent/pkg");
    EXPECT_NE(dynamic_cast<CCurlDownloader*>(d.get()), nullptr) << type;
  }
  EXPECT_NE(dynamic_cast<SystemHttpDownloader*>(CreateDownloader(2, noop, L"", L"").get()), nullptr);
  EXPECT_NE(dynamic_cast<CMTCurlDownloader*>(CreateDownloader(3, noop, L"", L"/nonexistent/pkg").get()), nullptr);
}

using CurlDownloaderTest = DownloaderFixture;

TEST_F(CurlDownloaderTest, AMatchingDigestSucceedsWithoutNotice) {
  const std::string package = ServePackage(2 * kMiB + 3);
  Run(1, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
  EXPECT_FALSE(Exists(TargetPath() + ".part"));
}

TEST_F(CurlDownloaderTest, AnAddressWithoutDigestIsAcceptedAfterANotice) {
  const std::string package = MakeBytes(kMiB + 1);
  server.Serve("/files/pkg.exe", package);
  Run(1, "/files/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1006, 1003}));
  EXPECT_EQ(events.Events()[1].text, L"curl获取url-md5失败");
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

TEST_F(CurlDownloaderTest, ADigestMismatchAsksForOneRestartThenFails) {
  const std::string package = MakeBytes(kMiB + 1);
  finalPath = "/0123456789abcdef0123456789abcdef/pkg.exe";
  server.Serve(finalPath, package);
  Run(1, finalPath);
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1006, 1005, 1001, 1006, 1004}));
  for (const Event& e : events.Events()) {
    if (e.code == 1006) {
      EXPECT_EQ(e.text, L"curl文件md5校验失败");
    }
    if (e.code == 1005 || e.code == 1004) {
      EXPECT_EQ(e.progress, 0.0);
    }
  }
  // The restart fetched the whole file again, from byte 0.
  EXPECT_EQ(Ranges(), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(server.Requests("HEAD", finalPath).size(), 1u);  // the probe is not repeated
}

TEST_F(CurlDownloaderTest, AConnectionCutIsResumedWithinTheAttempt) {
  const std::string package = ServePackage(2 * kMiB);
  server.SetRule(finalPath, [](const TestServer::RequestInfo& r) {
    return Behaviour{.cutAfter = r.method == "GET" && r.index == 0 ? 999999 : -1};
  });
  Run(1, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  EXPECT_EQ(Ranges(), (std::vector<std::string>{"", "bytes=999999-"}));
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
  EXPECT_EQ(Count(log.Messages("CCurlDownloader::dlThreadFun"), "CurlDownLoader Code=18"), 1u);
}

TEST_F(CurlDownloaderTest, ANewDownloaderNeverResumesAnOldPartFile) {
  const std::string package = ServePackage(kMiB + 7);
  WriteFile(TargetPath() + ".part", "stale bytes of an earlier run");
  Run(1, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  EXPECT_EQ(Ranges(), (std::vector<std::string>{""}));
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

}  // namespace
