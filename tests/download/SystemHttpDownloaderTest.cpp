#include "download/SystemHttpDownloader.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "download/SystemHttpClient.h"
#include "tests/download/DownloaderFixture.h"

namespace {

using namespace DownloadTest;
using TestServer::Behaviour;

class SystemHttpDownloaderTest : public DownloaderFixture {
 protected:
  // The direct way must not find a proxy in the environment; the fallback case sets one.
  void SetUp() override {
    DownloaderFixture::SetUp();
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                             "no_proxy", "NO_PROXY"})
      ::unsetenv(name);
  }
  void TearDown() override { ::unsetenv("http_proxy"); }
};

TEST_F(SystemHttpDownloaderTest, AWholeAnswerIsTheFileAndReplacesWhatWasThere) {
  const std::string package = ServePackage(kMiB + 3);
  // An earlier run's bytes must not end up in front of the package.
  WriteFile(TargetPath(), "bytes of an earlier run");
  Run(2, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

TEST_F(SystemHttpDownloaderTest, ACutTryIsRepeatedFromAnEmptyFile) {
  const std::string package = ServePackage(kMiB);
  server.SetRule(finalPath, [](const TestServer::RequestInfo& r) {
    return Behaviour{.cutAfter = r.index == 0 ? 300000 : -1};
  });
  Run(2, "/dl/pkg.exe");
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  EXPECT_EQ(Ranges(), (std::vector<std::string>{"", ""}));
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

TEST_F(SystemHttpDownloaderTest, WhatIsNotTheWholePackageIsAFailure) {
  const std::string package = MakeBytes(kMiB);
  server.Serve("/missing.exe", "", Behaviour{.status = 404});
  server.Serve("/0123456789abcdef0123456789abcdef/pkg.exe", package);
  server.Serve("/cut.exe", package, Behaviour{.cutAfter = 1000});
  const std::string unreachable = "http://127.0.0.1:" + std::to_string(TestServer::UnusedPort()) + "/pkg.exe";
  const struct {
    std::string address;
    double progress;
    std::size_t gets;  // requests the server saw
  } cases[] = {
      {server.Url("/missing.exe"), 404.0, 1},                                // the status is reported
      {server.Url("/0123456789abcdef0123456789abcdef/pkg.exe"), 0.0, 1},     // a digest mismatch
      {server.Url("/cut.exe"), 18.0, 3},                                     // three short tries
      {unreachable, 7.0, 0},                                                 // three refused connections
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    events.Clear();
    const std::size_t before = server.Requests().size();
    Run(2, c.address);
    EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1004}));
    EXPECT_EQ(events.Events().back().progress, c.progress);
    EXPECT_EQ(server.Requests().size() - before, c.gets);
  }
  // The error page was stored like any body; the owner deletes it on 1004.
  SystemHttpClient client(Platform::Utf8ToWide(server.Url("/missing.exe")));
  client.SetResponseFile(dir.WPath("page"));
  EXPECT_TRUE(client.SendHttpRequest(L"GET"));
  EXPECT_EQ(client.StatusCode(), L"404");
  EXPECT_EQ(ReadFile(dir.Path("page")), "<html><body>error</body></html>");
}

TEST_F(SystemHttpDownloaderTest, ARequestThatCannotBeSentGoesThroughTheConfiguredProxy) {
  const std::string package = MakeBytes(kMiB);
  server.Serve("/pkg.exe", package);
  // Nothing listens at the address itself; the server plays the user's proxy.
  const std::string unreachable = "http://127.0.0.1:" + std::to_string(TestServer::UnusedPort()) + "/pkg.exe";
  ::setenv("http_proxy", server.Url("").c_str(), 1);
  Run(2, unreachable);
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  const auto requests = server.Requests("GET", "/pkg.exe");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].proxied);
  EXPECT_TRUE(ReadFile(TargetPath()) == package);
}

TEST_F(SystemHttpDownloaderTest, AnHttpsServerWithASelfSignedCertificateIsFetched) {
  TestServer::Server tls(TestServer::Server::Tls{});
  ASSERT_TRUE(tls.Running());
  const std::string package = MakeBytes(kMiB);
  tls.Serve("/pkg.exe", package);
  Run(2, tls.Url("/pkg.exe"));
  EXPECT_EQ(events.Codes(), (std::vector<int>{1001, 1003}));
  EXPECT_TRUE(ReadFile(TargetPath()) == package);

  SystemHttpClient strict(Platform::Utf8ToWide(tls.Url("/pkg.exe")));
  strict.SetRequireValidCertificate(true);
  EXPECT_FALSE(strict.SendHttpRequest(L"GET"));
}

TEST(SystemHttpClientTest, RefusesAnEmptyAddressAndUnknownVerbs) {
  SystemHttpClient none(L"");
  EXPECT_FALSE(none.SendHttpRequest(L"GET"));
  EXPECT_EQ(none.LastError(), SystemHttpClient::kErrorNoAddress);
  SystemHttpClient client(L"http://127.0.0.1:1/");
  EXPECT_FALSE(client.SendHttpRequest(L"PUT"));
  EXPECT_EQ(client.LastError(), SystemHttpClient::kErrorBadVerb);
}

}  // namespace
