// A downloader under test, a loopback server and the owner's side: the
// recorder that restarts the downloader from inside the callback on 1005.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "download/DownloaderFactory.h"
#include "tests/download/DownloadTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tools/test-server/TestServer.h"

namespace DownloadTest {

class DownloaderFixture : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.Running()); }

  // Serves the package at "/<its md5>/pkg.exe" behind two redirects from
  // "/dl/pkg.exe"; returns the package.
  std::string ServePackage(std::int64_t size, TestServer::Behaviour behaviour = {}) {
    std::string bytes = MakeBytes(size);
    finalPath = "/" + Md5Of(bytes) + "/pkg.exe";
    server.Serve(finalPath, bytes, behaviour);
    server.Redirect("/dl/pkg.exe", "/hop/pkg.exe");
    server.Redirect("/hop/pkg.exe", finalPath);
    return bytes;
  }

  // Creates the downloader of the type for an address on the server (or a
  // whole address) and starts it; waits for the chain of attempts to end.
  void Run(int downloadType, const std::string& pathOrAddress, bool restartOnRetry = true) {
    const std::string address =
        pathOrAddress.find("://") == std::string::npos ? server.Url(pathOrAddress) : pathOrAddress;
    downloader = CreateDownloader(downloadType, events.Callback(), Platform::Utf8ToWide(address), target);
    if (restartOnRetry) events.RestartOnRetry([this] { downloader->Start(); });
    downloader->Start();
    ASSERT_TRUE(events.WaitForEnd()) << "no end reported";
    downloader.reset();  // waits for the downloader's threads
    ExpectWellFormed(events.Events());
    for (const Event& e : events.Events())
      EXPECT_NE(e.thread, std::this_thread::get_id()) << "event " << e.code << " on the thread that called Start";
  }

  std::string TargetPath() const { return Platform::WideToAnsi(target); }
  std::vector<std::string> Ranges() const {
    std::vector<std::string> ranges;
    for (const auto& r : server.Requests("GET", finalPath)) ranges.push_back(r.range);
    return ranges;
  }

  TestSupport::LogCapture log;  // first in, last out: outlives every thread that logs
  TestServer::Server server;
  TempDir dir;
  EventRecorder events;
  std::wstring target = dir.WPath("__Package_Velmora.exe");
  std::string finalPath;
  std::unique_ptr<CDownloader> downloader;
};

inline std::size_t Count(const std::vector<std::string>& messages, const std::string& message) {
  return static_cast<std::size_t>(std::count(messages.begin(), messages.end(), message));
}

}  // namespace DownloadTest
