// The installer program in silent mode, run as a child with its per-user
// folders in a temporary home, against the loopback package server.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>

#include <fstream>
#include <cstdio>
#include <spawn.h>

#include "download/Digest.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempDir.h"
#include "tests/support/Wait.h"
#include "tools/test-server/TestServer.h"

namespace {

namespace fs = std::filesystem;
using TestSupport::ScopedEnv;
using TestSupport::TempDir;

constexpr char kRunning[] = "error: 安装程序检测到Velmora\r\n正在运行，请退出程序后再安装\n";

class SilentInstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* dir : {"config", "appdata", "tmp", "run"}) fs::create_directories(home_ / dir);
    ASSERT_TRUE(server_.Running());
    const std::string final = "/" + GetFileMd5(VELMORA_PACKAGE) + "/VelmoraSetup.exe";
    ASSERT_TRUE(server_.ServeFile(final, VELMORA_PACKAGE));
    server_.Redirect("/software/633", final);
    server_.Serve("/missing", "", {.status = 404});
  }

  TestSupport::ProgramResult Run(std::vector<std::string> options, const std::string& path = "/software/633") {
    std::vector<std::string> argv = {VELMORA_SETUP, "-silent=true", "-ischecknet=false",
                                     "-downloadurl=" + server_.Url(path)};
    argv.insert(argv.end(), options.begin(), options.end());
    return TestSupport::RunProgram(argv, (home_ / "out.txt").string());
  }

  std::string Folder() const { return (home_ / "Velmora").string(); }
  std::string Record() const {
    std::ifstream in(home_ / "config/registry/HKEY_CURRENT_USER/Software/KestrixSoft/Velmora.json");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  TempDir home_;
  ScopedEnv config_{"XDG_CONFIG_HOME", (home_ / "config").string()};
  ScopedEnv appData_{"APPDATA", (home_ / "appdata").string()};
  ScopedEnv tmp_{"TMPDIR", (home_ / "tmp").string()};
  ScopedEnv run_{"XDG_RUNTIME_DIR", (home_ / "run").string()};
  TestServer::Server server_;
};

TEST_F(SilentInstallTest, InstallsRecordsAndReportsEachPercentWithEachDownloadType) {
  for (const char* type : {"1", "3", "2"}) {
    SCOPED_TRACE(type);
    const std::string folder = (home_ / (std::string("type") + type) / "Velmora").string();
    const auto result = Run({"-instdir=" + folder, std::string("-downloadtype=") + type});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    std::istringstream lines(result.output);
    std::string line;
    int last = -1;
    std::vector<std::string> others;
    while (std::getline(lines, line)) {
      int percent = 0;
      char sign = 0;
      if (std::sscanf(line.c_str(), "progress: %d%c", &percent, &sign) == 2 && sign == '%') {
        EXPECT_GT(percent, last) << result.output;
        last = percent;
      } else {
        others.push_back(line);
      }
    }
    EXPECT_EQ(last, 100);
    EXPECT_EQ(others, std::vector<std::string>{"installed: " + folder});
    EXPECT_NE(Record().find("\"InstallPath\" : \"" + folder + "\""), std::string::npos) << Record();
    EXPECT_NE(Record().find("\"UnInstallEp\" : \"" + folder + "/uninst.ep\""), std::string::npos);
    const std::wstring ini = Platform::Utf8ToWide(folder + "/set.ini");
    EXPECT_EQ(Platform::GetPrivateProfileString(L"Install", L"AppName", L"", ini), L"Velmora");
    EXPECT_EQ(Platform::GetPrivateProfileString(L"Install", L"DeviceID", L"", ini).size(), 32u);
    const fs::path analytics = home_ / "appdata/KestrixData/Velmora/VARedoredArezavude.ini";
    EXPECT_EQ(Platform::GetPrivateProfileString(L"Install", L"VARedoredArezavudeIni", L"", ini),
              Platform::Utf8ToWide(analytics.string()));
    EXPECT_TRUE(fs::exists(analytics));
    EXPECT_FALSE(fs::exists(fs::path(folder) / "__Package_Velmora.exe"));
    fs::remove(analytics);
  }
}

TEST_F(SilentInstallTest, ReplacementRemovesTheOldCopyUnlessOverrideIsDisabled) {
  ASSERT_EQ(Run({"-instdir=" + Folder()}).exitCode, 0);
  const fs::path failing = home_ / "fail.script";
  std::ofstream(failing) << "out Error=卸载失败\n";
  ScopedEnv scripted("VELMORA_UNINST_SCRIPT", failing.string());

  // The recorded copy is removed first; its uninstaller fails here.
  auto result = Run({"-instdir=" + Folder()});
  EXPECT_EQ(result.exitCode, 20);
  EXPECT_EQ(result.output, kRunning);

  std::ofstream(fs::path(Folder()) / "set.ini", std::ios::app) << "[Uninstall]\nIsOverride=false\n";
  result = Run({"-instdir=" + Folder()});
  EXPECT_EQ(result.exitCode, 0) << result.output;
}

// A package installer that ends its lines with CR LF: the record gets clean paths.
TEST_F(SilentInstallTest, ReportedPathsLoseTheirCarriageReturn) {
  const fs::path script = home_ / "crlf.script";
  fs::create_directories(Folder());
  std::ofstream(fs::path(Folder()) / "uninst.ep") << "x";
  std::ofstream(script) << "out Progress=1\\r\nout InstPath=" << Folder() << "\\r\nout UninstEp=" << Folder()
                        << "/uninst.ep\\r\nout State=Success\\r\n";
  ScopedEnv scripted("VELMORA_SETUP_SCRIPT", script.string());
  const auto result = Run({"-instdir=" + Folder()});
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_NE(Record().find("\"InstallPath\" : \"" + Folder() + "\""), std::string::npos) << Record();
  EXPECT_NE(Record().find("\"UnInstallEp\" : \"" + Folder() + "/uninst.ep\""), std::string::npos) << Record();
}

TEST_F(SilentInstallTest, FailuresHaveTheirOwnExitCodes) {
  const fs::path failing = home_ / "setup-fail.script";
  std::ofstream(failing) << "out Progress=0.3\nout State=Fail\n";
  std::ofstream(home_ / "plain") << "a file";
  struct Case {
    const char* what;
    std::vector<std::string> options;
    std::string path;
    const char* scriptVariable;
    int exitCode;
    std::string lastLine;
  } cases[] = {
      {"folder under a file", {"-instdir=" + (home_ / "plain" / "Velmora").string()}, "/software/633", nullptr, 11,
       "error: 无效路径"},
      {"package installer fails", {"-instdir=" + Folder()}, "/software/633", "VELMORA_SETUP_SCRIPT", 22,
       "error: 安装包安装失败"},
      {"download fails", {"-instdir=" + Folder()}, "/missing", nullptr, 21, "error: 下载失败，请检查网络后重新安装"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::optional<ScopedEnv> script;
    if (c.scriptVariable) script.emplace(c.scriptVariable, failing.string());
    const auto result = Run(c.options, c.path);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.output;
    EXPECT_TRUE(result.output.ends_with(c.lastLine + "\n")) << result.output;
    EXPECT_FALSE(fs::exists(fs::path(Folder()) / "__Package_Velmora.exe"));
  }
}

TEST_F(SilentInstallTest, RunningProductRefusesTheInstallation) {
  const std::string product = VELMORA_ORVEXA;
  char* argv[] = {const_cast<char*>(product.c_str()), const_cast<char*>("--run-ms=60000"), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, product.c_str(), nullptr, nullptr, argv, environ), 0);
  const auto result = Run({"-instdir=" + Folder()});
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  EXPECT_EQ(result.exitCode, 10);
  EXPECT_EQ(result.output, kRunning);
}

TEST_F(SilentInstallTest, SecondInstallerEndsAtOnce) {
  const fs::path lock = home_ / "run" / "D1A547DB89C0BC61_Installer_Velmora.lock";
  const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  const auto result = Run({"-instdir=" + Folder()});
  ::close(fd);
  EXPECT_EQ(result.exitCode, 255);
  EXPECT_EQ(result.output, "");
  EXPECT_FALSE(fs::exists(Folder()));
}

TEST_F(SilentInstallTest, TooLittleFreeSpaceRefusesTheInstallation) {
  const fs::path small = home_ / "small";
  fs::create_directories(small);
  if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=4m") != 0) GTEST_SKIP() << "cannot mount a small file system";
  const auto result = Run({"-instdir=" + (small / "Velmora").string()});
  umount(small.c_str());
  EXPECT_EQ(result.exitCode, 12);
  EXPECT_TRUE(result.output.starts_with("error: ")) << result.output;
}

}  // namespace
