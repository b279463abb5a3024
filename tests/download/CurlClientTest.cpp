#include "download/CurlClient.h"

#include <gtest/gtest.h>

#include "download/CurlEasy.h"
#include "tests/download/DownloadTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tools/test-server/TestServer.h"

namespace {

using namespace DownloadTest;
using TestServer::Behaviour;

class CurlClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Running());
    package = MakeBytes(2 * kMiB + 5);
    finalPath = "/" + Md5Of(package) + "/pkg.exe";
    server.Serve(finalPath, package);
    server.Redirect("/dl/pkg.exe", "/hop/pkg.exe");
    server.Redirect("/hop/pkg.exe", finalPath);
  }

  TestServer::Server server;
  TempDir dir;
  std::string package;
  std::string finalPath;
};

TEST_F(CurlClientTest, ProbesFollowRedirectsToTheFinalAddressAndItsLength) {
  CURL* head = CurlClient::Head(server.Url("/dl/pkg.exe"));
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(CurlClient::GetRealUrl(head), server.Url(finalPath));
  EXPECT_EQ(CurlClient::GetDownloadFileLength(head), static_cast<double>(package.size()));
  curl_easy_cleanup(head);

  EXPECT_EQ(CurlClient::GetRealUrl_Str(server.Url("/dl/pkg.exe")), server.Url(finalPath));
  EXPECT_EQ(CurlClient::GetDownloadFileLength_Str(server.Url(finalPath)), static_cast<double>(package.size()));
}

TEST_F(CurlClientTest, ProbesOfMissingOrUnreachableAddresses) {
  CURL* head = CurlClient::Head(server.Url("/missing"));
  EXPECT_EQ(CurlClient::GetDownloadFileLength(head), -1.0);  // 404
  curl_easy_cleanup(head);
  const std::string unreachable = "http://127.0.0.1:" + std::to_string(TestServer::UnusedPort()) + "/pkg.exe";
  EXPECT_EQ(CurlClient::GetRealUrl_Str(unreachable), unreachable);
  EXPECT_EQ(CurlClient::GetDownloadFileLength_Str(unreachable), -1.0);
}

TEST_F(CurlClientTest, AFileAddressGetsItsLengthWithoutAResponseCode) {
  WriteFile(dir.Path("local.bin"), package);
  EXPECT_EQ(CurlClient::GetDownloadFileLength_Str("file://" + dir.Path("local.bin")),
            static_cast<double>(package.size()));
}

TEST_F(CurlClientTest, UnknownOrSmallLengthGivesMinus998WithoutTouchingThePartFile) {
  server.Serve("/nolength.exe", package, Behaviour{.sendLength = false});
  server.Serve("/small.exe", MakeBytes(kMiB - 1));
  server.Redirect("/loop1", "/loop2");
  server.Redirect("/loop2", "/loop1");
  for (const char* path : {"/nolength.exe", "/small.exe", "/loop1"}) {
    CurlClient client(Platform::Utf8ToWide(server.Url(path)), dir.WPath("pkg.exe"), nullptr, nullptr);
    EXPECT_EQ(client.Start(), CurlClient::kLengthUnknown) << path;
    EXPECT_FALSE(Exists(dir.Path("pkg.exe.part"))) << path;
    EXPECT_TRUE(server.Requests("GET", path).empty()) << path;
  }
}

TEST_F(CurlClientTest, ResumesFromThePartFileAndRenamesItOnSuccess) {
  TestSupport::LogCapture log;
  const std::int64_t n = 1234567;
  WriteFile(dir.Path("pkg.exe.part"), package.substr(0, n));
  {
    CurlClient client(Platform::Utf8ToWide(server.Url("/dl/pkg.exe")), dir.WPath("pkg.exe"), nullptr, nullptr);
    EXPECT_EQ(client.Start(), 0);
    EXPECT_EQ(client.RealUrl(), server.Url(finalPath));
  }
  const auto gets = server.Requests("GET", finalPath);
  ASSERT_EQ(gets.size(), 1u);
  EXPECT_EQ(gets[0].range, "bytes=" + std::to_string(n) + "-");
  EXPECT_TRUE(ReadFile(dir.Path("pkg.exe")) == package);
  EXPECT_FALSE(Exists(dir.Path("pkg.exe.part")));
  const auto messages = log.Messages("CurlClient::Start");
  EXPECT_EQ(messages.front(), "start download");
  EXPECT_NE(std::find(messages.begin(), messages.end(), "error:0:No error"), messages.end());
  EXPECT_EQ(messages.back(), "end download");
}

TEST_F(CurlClientTest, APartFileTheServerCannotContinueIsStartedOver) {
  struct Case {
    const char* what;
    std::string partFile;
    bool honourRanges;
    int firstResult;  // then the next transfer starts from byte 0 and completes
  } cases[] = {
      {"server ignores the range", package.substr(0, 1000), false, CURLE_RANGE_ERROR},
      {"part file longer than the file", package + "junk", true, CURLE_BAD_DOWNLOAD_RESUME},
      {"part file already whole", package, true, 0},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(dir.Path("pkg.exe"));
    server.Serve(finalPath, package, Behaviour{.honourRanges = c.honourRanges});
    WriteFile(dir.Path("pkg.exe.part"), c.partFile);
    CurlClient client(Platform::Utf8ToWide(server.Url("/dl/pkg.exe")), dir.WPath("pkg.exe"), nullptr, nullptr);
    EXPECT_EQ(client.Start(), c.firstResult) << c.what;
    if (c.firstResult != 0) {
      EXPECT_FALSE(Exists(dir.Path("pkg.exe"))) << c.what;
      EXPECT_FALSE(Exists(dir.Path("pkg.exe.part"))) << c.what;
      EXPECT_EQ(client.Start(), 0) << c.what;
    }
    EXPECT_TRUE(ReadFile(dir.Path("pkg.exe")) == package) << c.what;
  }
}

TEST_F(CurlClientTest, AConnectionCutShortLeavesThePartFileForTheNextTransfer) {
  const std::int64_t cut = 700000;
  server.SetRule(finalPath, [cut](const TestServer::RequestInfo& r) {
    return Behaviour{.cutAfter = r.method == "GET" && r.index == 0 ? cut : -1};
  });
  CurlClient client(Platform::Utf8ToWide(server.Url("/dl/pkg.exe")), dir.WPath("pkg.exe"), nullptr, nullptr);
  EXPECT_EQ(client.Start(), CURLE_PARTIAL_FILE);
  EXPECT_EQ(std::filesystem::file_size(dir.Path("pkg.exe.part")), static_cast<std::uintmax_t>(cut));
  EXPECT_EQ(client.Start(), 0);
  EXPECT_TRUE(ReadFile(dir.Path("pkg.exe")) == package);
  // The second transfer skipped the probes: the final address and length were known.
  EXPECT_EQ(server.Requests("HEAD", "/dl/pkg.exe").size(), 1u);
  EXPECT_EQ(server.Requests("GET", finalPath).back().range, "bytes=" + std::to_string(cut) + "-");
}

TEST_F(CurlClientTest, AnErrorStatusIsResult22AndThePartFileOpensOrFails) {
  server.Serve(finalPath, package, Behaviour{.status = 404, .headStatus = 200, .headLength = 2 * kMiB});
  CurlClient client(Platform::Utf8ToWide(server.Url(finalPath)), dir.WPath("pkg.exe"), nullptr, nullptr);
  EXPECT_EQ(client.Start(), CURLE_HTTP_RETURNED_ERROR);
  EXPECT_FALSE(Exists(dir.Path("pkg.exe")));

  CurlClient noFolder(Platform::Utf8ToWide(server.Url(finalPath)), dir.WPath("missing/pkg.exe"), nullptr, nullptr);
  EXPECT_EQ(noFolder.Start(), CurlClient::kPartFileError);
  EXPECT_FALSE(noFolder.LastError().empty());
}

TEST_F(CurlClientTest, ProgressIsEvaluatedAtMostOncePerWallClockSecond) {
  struct Hook {
    static void Count(void* owner, double, double, double percent) {
      auto* self = static_cast<Hook*>(owner);
      ++self->calls;
      self->percent = percent;
    }
    int calls = 0;
    double percent = 0;
  };
  // Two calls in the same second; tried again in the rare case that a second
  // boundary fell between them.
  for (int tries = 0; tries < 3; ++tries) {
    TestSupport::LogCapture log;
    Hook hook;
    CurlClient client(L"http://127.0.0.1:1/x", dir.WPath("pkg.exe"), &hook, &Hook::Count);
    const std::time_t before = std::time(nullptr);
    EXPECT_EQ(CurlClient::ProgressCallback(&client, 4 * kMiB, kMiB, 0, 0), 0);
    EXPECT_EQ(CurlClient::ProgressCallback(&client, 4 * kMiB, 2 * kMiB, 0, 0), 0);
    if (std::time(nullptr) != before) continue;
    EXPECT_EQ(hook.calls, 1);
    EXPECT_EQ(hook.percent, 25.0);  // no length probed yet: of the transfer's own total
    EXPECT_EQ(log.Messages("CurlClient::ProgressCallback"),
              (std::vector<std::string>{" 1M 4M   progress:25.000000%  speed:0.000000 \n"}));
    return;
  }
  ADD_FAILURE() << "no two calls within one second";
}

TEST_F(CurlClientTest, DestructionRemovesThePartFile) {
  WriteFile(dir.Path("pkg.exe.part"), "partial");
  { CurlClient client(L"http://127.0.0.1:1/x", dir.WPath("pkg.exe"), nullptr, nullptr); }
  EXPECT_FALSE(Exists(dir.Path("pkg.exe.part")));
}

}  // namespace
