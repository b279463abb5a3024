// The orchestrator through its real pieces: a loopback server serving the
// real package, the package installer and uninstaller it carries, real
// folders and the per-user registry in a temporary home.
#include "install/DownloadInstaller.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>

#include "app/LaunchSettings.h"
#include "download/Digest.h"
#include "install/EventCodes.h"
#include "platform/Text.h"
#include "tests/install/ChildFixture.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempDir.h"
#include "tests/support/Wait.h"
#include "tools/test-server/TestServer.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using TestSupport::Event;
using TestSupport::EventRecorder;
using TestSupport::ScopedEnv;
using TestSupport::TempDir;

std::wstring W(const fs::path& p) { return Platform::Utf8ToWide(p.string()); }

bool IsEnd(int code) {
  return code == INSTALL_SUCCESS || code == IST_CODE_FAIL || code == DL_CODE_FAIL || code == UNIST_CODE_FAIL ||
         code == UNIST_CODE_ERROR;
}

// Collapses runs of repeated progress codes, so sequences read as the chain.
std::vector<int> Chain(const std::vector<Event>& events) {
  std::vector<int> codes;
  for (const Event& e : events)
    if (codes.empty() || codes.back() != e.code || (e.code != DL_CODE_PROGRESS && e.code != IST_CODE_PROGRESS &&
                                                    e.code != UNIST_CODE_PROGRESS))
      codes.push_back(e.code);
  return codes;
}

class DownloadInstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(home_ / "tmp");
    ASSERT_TRUE(server_.Running());
    md5_ = GetFileMd5(VELMORA_PACKAGE);
    ASSERT_TRUE(server_.ServeFile("/" + md5_ + "/VelmoraSetup.exe", VELMORA_PACKAGE));
    server_.Redirect("/software/633", "/" + md5_ + "/VelmoraSetup.exe");
    g_LaunchSettings.m_DownloadType = 1;
    g_LaunchSettings.m_InsNew = false;
  }

  // Runs one installation and waits for the end of its chain.
  std::vector<Event> Install(const fs::path& folder, const std::wstring& uninstaller = L"",
                             const std::string& path = "/software/633") {
    EventRecorder recorder;
    TestSupport::FinishesWithin(std::chrono::seconds(90), [&] {
      CDownloadInstaller installer(recorder.Callback());
      installer.SetParams(Platform::Utf8ToWide(server_.Url(path)), uninstaller, W(folder), true, false, true, false,
                          L"zh-CN");
      installer.Start();
      while (true) {
        const auto events = recorder.Events();
        if (!events.empty() && IsEnd(events.back().code)) break;
        recorder.WaitFor(events.size() + 1);
      }
    });
    return recorder.Events();
  }

  TempDir home_;
  ScopedEnv config_{"XDG_CONFIG_HOME", (home_ / "config").string()};
  ScopedEnv appData_{"APPDATA", (home_ / "appdata").string()};
  ScopedEnv tmp_{"TMPDIR", (home_ / "tmp").string()};
  TestServer::Server server_;
  std::string md5_;
};

TEST_F(DownloadInstallerTest, FreshInstallationWithEachDownloadType) {
  for (int type : {1, 3, 2}) {
    SCOPED_TRACE(type);
    g_LaunchSettings.m_DownloadType = type;
    const fs::path folder = home_ / ("type" + std::to_string(type)) / "Velmora";  // created on 1001
    TestSupport::LogCapture log;
    const std::vector<Event> events = Install(folder);
    // The download's records in order; the installer's come from its own thread.
    std::vector<std::string> download, install;
    for (const std::string& m : log.Messages()) {
      if (m.starts_with("DL_") || m.starts_with("DOWNLOAD_")) download.push_back(m);
      if (m == "IST_CODE_START\r\n" || m == "INSTALL_SUCCESS\r\n") install.push_back(m);
    }
    std::erase(download, "DL_CODE_PROGRESS\r\n");
    EXPECT_EQ(download, (std::vector<std::string>{"DL_TYPE=" + std::to_string(type) + "\r\n", "DL_CODE_START\r\n",
                                                  "DOWNLOAD_SUCCESS\r\n", "DL_CODE_SUCCESS\r\n"}));
    EXPECT_EQ(install, (std::vector<std::string>{"IST_CODE_START\r\n", "INSTALL_SUCCESS\r\n"}));
    std::vector<int> chain = Chain(events);
    chain.erase(std::remove(chain.begin(), chain.end(), DL_CODE_PROGRESS), chain.end());
    EXPECT_EQ(chain, (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS, IST_CODE_START, IST_CODE_PROGRESS,
                                       IST_CODE_INST_PATH, IST_CODE_EXE_PATH, IST_CODE_UNINST_EP,
                                       IST_CODE_STARTUP_STYLE, INSTALL_SUCCESS}));
    const auto at = [&](int code) {
      return *std::find_if(events.begin(), events.end(), [&](const Event& e) { return e.code == code; });
    };
    EXPECT_EQ(at(IST_CODE_INST_PATH).text, W(folder));
    EXPECT_EQ(at(IST_CODE_UNINST_EP).text, W(folder / "uninst.ep"));
    EXPECT_EQ(at(IST_CODE_STARTUP_STYLE).progress, 2.0);
    EXPECT_TRUE(fs::exists(folder / "Orvexa.exe"));
    EXPECT_EQ(TestSupport::ReadFile((folder / "config.ini").string()), "[Install]\nLanguage=zh-CN\n");
    EXPECT_FALSE(fs::exists(folder / "__Package_Velmora.exe"));  // deleted after the installation
  }
}

TEST_F(DownloadInstallerTest, ReplacementRunsTheOldCopysUninstallerFirst) {
  const fs::path folder = home_ / "Velmora";
  ASSERT_EQ(Install(folder).back().code, INSTALL_SUCCESS);
  std::ofstream(folder / "left-by-user.txt") << "x";

  const std::vector<Event> events = Install(folder, W(folder / "uninst.ep"));
  const std::vector<int> chain = Chain(events);
  ASSERT_GE(chain.size(), 4u);
  EXPECT_EQ(std::vector<int>(chain.begin(), chain.begin() + 3),
            (std::vector<int>{UNIST_CODE_PROGRESS, UNIST_CODE_SUCCESS, DL_CODE_START}));
  EXPECT_EQ(events.front().progress, 0.0);
  EXPECT_EQ(chain.back(), INSTALL_SUCCESS);
  EXPECT_TRUE(fs::exists(home_ / "tmp" / "~KestrixTemp.92482B06FB471E17" / "Velmora_un_asa.exe"));
  EXPECT_TRUE(fs::exists(folder / "left-by-user.txt"));  // only what was installed is removed
  EXPECT_TRUE(fs::exists(folder / "Orvexa.exe"));        // and the new copy is in place
}

TEST_F(DownloadInstallerTest, MissingUninstallerMeansNoRemoval) {
  const std::vector<Event> events = Install(home_ / "Velmora", W(home_ / "nowhere" / "uninst.ep"));
  EXPECT_EQ(events.front().code, DL_CODE_START);
  EXPECT_EQ(events.back().code, INSTALL_SUCCESS);
}

TEST_F(DownloadInstallerTest, FailedRemovalEndsTheChainWithNothingDownloaded) {
  const fs::path folder = home_ / "Velmora";
  ASSERT_EQ(Install(folder).back().code, INSTALL_SUCCESS);
  const fs::path script = home_ / "fail.script";
  std::ofstream(script) << "out Progress=0.5\nout Error=卸载失败\n";
  ScopedEnv scripted("VELMORA_UNINST_SCRIPT", script.string());
  const std::size_t before = server_.Requests().size();

  const std::vector<Event> events = Install(folder, W(folder / "uninst.ep"));
  EXPECT_EQ(Chain(events), (std::vector<int>{UNIST_CODE_PROGRESS, UNIST_CODE_ERROR}));
  EXPECT_EQ(events.back().text, L"卸载失败");
  EXPECT_EQ(server_.Requests().size(), before);
  EXPECT_TRUE(fs::exists(folder / "Orvexa.exe"));
}

TEST_F(DownloadInstallerTest, DigestMismatchRestartsOnceFromInsideTheCallback) {
  ASSERT_TRUE(server_.ServeFile("/0123456789abcdef0123456789abcdef/VelmoraSetup.exe", VELMORA_PACKAGE));
  const fs::path folder = home_ / "Velmora";
  std::vector<int> chain = Chain(Install(folder, L"", "/0123456789abcdef0123456789abcdef/VelmoraSetup.exe"));
  chain.erase(std::remove(chain.begin(), chain.end(), DL_CODE_PROGRESS), chain.end());
  EXPECT_EQ(chain, (std::vector<int>{DL_CODE_START, DL_CODE_INFO, DL_CODE_RETRY, DL_CODE_START, DL_CODE_INFO,
                                     DL_CODE_FAIL}));
  EXPECT_FALSE(fs::exists(folder / "__Package_Velmora.exe"));
}

TEST_F(DownloadInstallerTest, FailedDownloadDeletesThePackageAndThePreviousRunsPackage) {
  server_.Serve("/missing", "", {.status = 404});
  const fs::path first = home_ / "first";
  const fs::path second = home_ / "second";
  ASSERT_EQ(Install(first, L"", "/missing").back().code, DL_CODE_FAIL);
  // Something left at the first run's package path is deleted by the next failure.
  fs::create_directories(first);
  std::ofstream(first / "__Package_Velmora.exe") << "stale";
  const std::vector<Event> events = Install(second, L"", "/missing");
  EXPECT_EQ(events.back().code, DL_CODE_FAIL);
  EXPECT_FALSE(fs::exists(first / "__Package_Velmora.exe"));
  EXPECT_FALSE(fs::exists(second / "__Package_Velmora.exe"));
}

// In unattended mode the removal waits until the product's program has ended.
TEST_F(DownloadInstallerTest, UnattendedModeWaitsForTheRunningProduct) {
  const fs::path folder = home_ / "Velmora";
  ASSERT_EQ(Install(folder).back().code, INSTALL_SUCCESS);
  g_LaunchSettings.m_InsNew = true;

  const std::string program = (folder / "Orvexa.exe").string();
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--run-ms=1500"), nullptr};
  pid_t product = 0;
  ASSERT_EQ(posix_spawn(&product, program.c_str(), nullptr, nullptr, argv, environ), 0);
  ASSERT_TRUE(TestSupport::WaitUntil([&] { return FindProcessByName(L"Orvexa.exe") != 0; }));

  EventRecorder recorder;
  CDownloadInstaller installer(recorder.Callback());
  installer.SetParams(Platform::Utf8ToWide(server_.Url("/software/633")), W(folder / "uninst.ep"), W(folder), true,
                      true, true, false, L"");
  installer.Start();  // returns only once the product is gone
  int status = 0;
  EXPECT_EQ(waitpid(product, &status, WNOHANG), product);
  ASSERT_TRUE(recorder.WaitFor(1));
  EXPECT_EQ(recorder.Events().front().code, UNIST_CODE_PROGRESS);
  TestSupport::FinishesWithin(std::chrono::seconds(60), [&] {
    while (!IsEnd(recorder.Events().back().code)) recorder.WaitFor(recorder.Events().size() + 1);
  });
  EXPECT_EQ(recorder.Events().back().code, INSTALL_SUCCESS);
}

}  // namespace

namespace {

// Closing the window while the old copy is being removed: the orchestrator
// waits for the uninstaller but starts no download.
TEST_F(DownloadInstallerTest, EndingDuringTheRemovalStartsNothingNew) {
  const fs::path folder = home_ / "Velmora";
  ASSERT_EQ(Install(folder).back().code, INSTALL_SUCCESS);
  const fs::path script = home_ / "slow.script";
  std::ofstream(script) << "sleep 300\nout State=Success\n";
  ScopedEnv scripted("VELMORA_UNINST_SCRIPT", script.string());
  const std::size_t before = server_.Requests().size();
  EventRecorder recorder;
  TestSupport::FinishesWithin(std::chrono::seconds(30), [&] {
    CDownloadInstaller installer(recorder.Callback());
    installer.SetParams(Platform::Utf8ToWide(server_.Url("/software/633")), W(folder / "uninst.ep"), W(folder), true,
                        true, true, false, L"");
    installer.Start();
  });
  EXPECT_EQ(Chain(recorder.Events()), (std::vector<int>{UNIST_CODE_PROGRESS, UNIST_CODE_SUCCESS}));
  EXPECT_EQ(server_.Requests().size(), before);
}

}  // namespace
