#include "install/Installer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "app/LaunchSettings.h"
#include "install/EventCodes.h"
#include "platform/CommandLine.h"
#include "platform/Text.h"
#include "tests/install/ChildFixture.h"
#include "tests/support/LogCapture.h"

namespace {

using namespace TestSupport;

std::wstring Wide(const std::string& s) { return Platform::Utf8ToWide(s); }

const Event kStart{IST_CODE_START, 0, L""};

// The launch settings' extra options for the package installer, for one test.
class ExtraCommand {
 public:
  explicit ExtraCommand(const std::wstring& text) : saved_(g_LaunchSettings.m_InstCmd) {
    g_LaunchSettings.m_InstCmd = text;
  }
  ~ExtraCommand() { g_LaunchSettings.m_InstCmd = saved_; }
  ExtraCommand(const ExtraCommand&) = delete;
  ExtraCommand& operator=(const ExtraCommand&) = delete;

 private:
  std::wstring saved_;
};
const Event kFirstProgress{IST_CODE_PROGRESS, 0, L""};

std::vector<Event> AfterStart(std::vector<Event> events) {
  events.insert(events.begin(), {kStart, kFirstProgress});
  return events;
}

// CInstaller running the scripted package installer.
class InstallerTest : public ::testing::Test {
 protected:
  void Script(const std::string& text) { WriteFile(scriptPath_, text); }

  static std::vector<Event> RunInstaller(const std::wstring& package, const std::wstring& folder,
                                         const std::function<void(CInstaller&)>& configure = {}) {
    return RunToEnd<CInstaller>(configure, package, folder);
  }

  std::vector<Event> RunScript(const std::string& text) {
    Script(text);
    return RunInstaller(kPeer, L"");
  }

  const std::wstring kPeer = L"\"" + Wide(VELMORA_PACKAGE_INSTALLER) + L"\"";

  TempDir folder_;
  std::string scriptPath_ = folder_ / "script";
  ScopedEnv script_{"VELMORA_SETUP_SCRIPT", scriptPath_};
};

TEST_F(InstallerTest, TurnsTheProtocolLinesIntoEvents) {
  const std::wstring longText(771, L'x');
  struct Case {
    const char* name;
    std::string script;
    std::vector<Event> events;
  } cases[] = {
      {"progress and success in one read",
       "out Progress=0.5\\r\\nState=Success\\r\n",
       {{IST_CODE_PROGRESS, 0.5, L""}, {INSTALL_SUCCESS, 0, L""}}},
      {"a reported failure", "out State=Fail\\r\n", {{IST_CODE_FAIL, 0, L"安装包安装失败"}}},
      {"an unknown state goes on to the end", "out State=Maybe\n", {{INSTALL_SUCCESS, 1, L""}}},
      {"nothing after the first result line of a read",
       "out State=Success\\nError=late\\nMessage=late\n",
       {{INSTALL_SUCCESS, 0, L""}}},
      {"output after the result line is drained, not interpreted",
       "out Error=disk full\nout State=Success\nflood-out 1048576\nout Message=late\n",
       {{IST_CODE_FAIL, 1000, L"disk full"}}},
      {"a flood on standard error does not stall the child",
       "flood-err 4194304\nout State=Success\n",
       {{INSTALL_SUCCESS, 0, L""}}},
      {"a line written across two reads still counts",
       "raw Progr\nsync\nout ess=0.25\nraw Err\nsync\nout or=磁盘已满\n",
       {{IST_CODE_PROGRESS, 0.25, L""}, {IST_CODE_FAIL, 1000, L"磁盘已满"}}},
      {"a character split between reads survives",
       "raw Message=\\xe4\\xb8\nsync\nout \\xad\\xe6\\x96\\x87\n",
       {{IST_CODE_MESSAGE, 0, L"中文"}, {INSTALL_SUCCESS, 1, L""}}},
      {"the last line needs no line feed", "raw State=Success\n", {{INSTALL_SUCCESS, 0, L""}}},
      {"an overlong error line is cut, not lost",
       "out Error=" + std::string(5000, 'x') + "\n",
       {{IST_CODE_FAIL, 1000, longText}}},
      {"a zero byte ends only its own line",
       "out Message=a\\0b\\nState=Success\n",
       {{IST_CODE_MESSAGE, 0, L"a"}, {INSTALL_SUCCESS, 0, L""}}},
      {"prints nothing and exits", "", {{INSTALL_SUCCESS, 1, L""}}},
      {"crashes without a result line", "out Progress=0.4\ncrash\n",
       {{IST_CODE_PROGRESS, 0.4, L""}, {IST_CODE_FAIL, 3, L""}}},
      {"exits with a failure code without a result line", "exit 7\n", {{IST_CODE_FAIL, 3, L""}}},
      {"the exit code does not overrule a reported success", "out State=Success\nexit 7\n",
       {{INSTALL_SUCCESS, 0, L""}}},
  };
  for (const Case& c : cases) EXPECT_EQ(RunScript(c.script), AfterStart(c.events)) << c.name;
}

TEST_F(InstallerTest, EveryKeyInItsOrder) {
  const std::string script =
      "out Progress=0.3\n"
      "out InstPath=/opt/Velmora\\r\n"  // the carriage return stays in text values
      "out InstallVersion=1.2.3\n"
      "out ExePath=/opt/Velmora/Orvexa.exe\n"
      "out StartExe=/opt/Velmora/start\n"
      "out UninstExePath=/opt/Velmora/u1\n"
      "out UninstExe=/opt/Velmora/u2\n"
      "out UninstEp=/opt/Velmora/uninst.ep\n"
      "out TopShowDetention=-1\n"
      "out FinsihCloseDetention=2500\n"
      "out FinishCloseDetention=1\n"  // not the key, which is spelt as above
      "out StartUrl=http://example.invalid/start\n"
      "out StartupStyle=AutoStartup\\r\n"
      "out StartupStyle=UserStartup\n"
      "out StartupStyle=NonStartup\n"
      "out StartupStyle=Sometimes\n"
      "out Encode=UTF8\n"
      "out Message=你好\n"
      "out  Progress=0.9\n"
      "out progress=0.9\n"
      "out Progress=abc\n"
      "out ExePath=\n"
      "out State=Success\n";
  EXPECT_EQ(RunScript(script), AfterStart({
                                   {IST_CODE_PROGRESS, 0.3, L""},
                                   {IST_CODE_INST_PATH, 0, L"/opt/Velmora\r"},
                                   {IST_CODE_EXE_PATH, 0, L"/opt/Velmora/Orvexa.exe"},
                                   {IST_CODE_EXE_PATH, 0, L"/opt/Velmora/start"},
                                   {IST_CODE_UNINST_EXE, 0, L"/opt/Velmora/u1"},
                                   {IST_CODE_UNINST_EXE, 0, L"/opt/Velmora/u2"},
                                   {IST_CODE_UNINST_EP, 0, L"/opt/Velmora/uninst.ep"},
                                   {IST_CODE_TOP_SHOW_DETENTION, 4294967295.0, L""},
                                   {IST_CODE_FINISH_CLOSE_DETENTION, 2500, L""},
                                   {IST_CODE_START_URL, 0, L"http://example.invalid/start"},
                                   {IST_CODE_STARTUP_STYLE, 1, L""},
                                   {IST_CODE_STARTUP_STYLE, 2, L""},
                                   {IST_CODE_STARTUP_STYLE, 0, L""},
                                   {IST_CODE_STARTUP_STYLE, 0, L""},
                                   {IST_CODE_MESSAGE, 0, L"你好"},
                                   {IST_CODE_PROGRESS, 0, L""},
                                   {IST_CODE_EXE_PATH, 0, L""},
                                   {INSTALL_SUCCESS, 0, L""},
                               }));
}

TEST_F(InstallerTest, EncodeChoosesTheCodePageOfTheFollowingLines) {
  struct Case {
    const char* name;
    std::string script;
    std::vector<Event> events;
  } cases[] = {
      {"GBK after Encode=936", "out Encode=936\nsync\ngbk Message=中文\n",
       {{IST_CODE_MESSAGE, 0, L"中文"}, {INSTALL_SUCCESS, 1, L""}}},
      {"GBK in the same read as Encode=936", "out Encode=936\\nMessage=\\xd6\\xd0\\xce\\xc4\n",
       {{IST_CODE_MESSAGE, 0, L"中文"}, {INSTALL_SUCCESS, 1, L""}}},
      {"UTF-8 after Encode=65001", "out Encode= 65001\\r\nout Message=中文\n",
       {{IST_CODE_MESSAGE, 0, L"中文"}, {INSTALL_SUCCESS, 1, L""}}},
      {"Encode=ACP and a value without a number give the narrow encoding",
       "out Encode=936\nout Encode=nonsense\nout Message=中文\nout Encode=936\nout Encode=ACP\nout Message=文\n",
       {{IST_CODE_MESSAGE, 0, L"中文"}, {IST_CODE_MESSAGE, 0, L"文"}, {INSTALL_SUCCESS, 1, L""}}},
      {"an unknown code page gives no events, not even the result",
       "out Encode=12345\nout Message=hi\nout State=Success\n",
       {{INSTALL_SUCCESS, 1, L""}}},
  };
  for (const Case& c : cases) EXPECT_EQ(RunScript(c.script), AfterStart(c.events)) << c.name;
}

TEST_F(InstallerTest, TheCommandLineFollowsTheChoicesInItsFixedOrder) {
  struct Case {
    const wchar_t* folder;
    const wchar_t* language;
    const wchar_t* extra;
    bool admin, elevated, desktop, quick;
    std::wstring line;
  } cases[] = {
      {L"/opt/my Velmora", L"zh-CN", L"-channel=7 -x=\"a b\"", true, false, true, false,
       L"\"/pkg/__Package_Velmora.exe\" /S -console=show -version=1.0.0 -adminact=true -authorizationact=false"
       L" -dsc=true -ssc=false -inslang=\"zh-CN\" -channel=7 -x=\"a b\" -instdir=\"/opt/my Velmora\""
       L" /D=/opt/my Velmora"},
      {L"", L"", L"", false, true, false, true,
       L"\"/pkg/__Package_Velmora.exe\" /S -console=show -version=1.0.0 -adminact=false -authorizationact=true"
       L" -dsc=false -ssc=true"},
      {L"", L"en-US", L"-q", true, true, true, true,
       L"\"/pkg/__Package_Velmora.exe\" /S -console=show -version=1.0.0 -adminact=true -authorizationact=true"
       L" -dsc=true -ssc=true -inslang=\"en-US\" -q"},
  };
  for (const Case& c : cases) {
    EventRecorder recorder;
    CInstaller installer(recorder.Callback(), L"\"/pkg/__Package_Velmora.exe\"", L"/elsewhere");
    installer.SetInstallFolder(c.folder);
    installer.SetLanguage(c.language);
    const ExtraCommand extra(c.extra);
    installer.SetAdminAccount(c.admin);
    installer.SetElevated(c.elevated);
    installer.SetDesktopShortcut(c.desktop);
    installer.SetQuickLaunch(c.quick);
    installer.Start();
    EXPECT_EQ(installer.CommandLine(), c.line);
  }
}

TEST_F(InstallerTest, ThePackageSeesTheCommandLineWithBlanksAndQuotes) {
  const std::string dir = folder_ / "down load";
  fs::create_directory(dir);
  const std::string package = dir + "/__Package_Velmora.exe";
  CopyProgram(VELMORA_PACKAGE_INSTALLER, package);
  const std::string argsPath = folder_ / "args";
  Script("args " + argsPath + "\n");
  const std::wstring installFolder = Wide(folder_ / "my  Velmora");

  const ExtraCommand extra(L"-tag=\"a \\\"b\\\"\" -plain");
  EXPECT_EQ(RunInstaller(L"\"" + Wide(package) + L"\"", installFolder,
                         [](CInstaller& installer) {
                           installer.SetLanguage(L"zh-CN");
                           installer.SetAdminAccount(false);
                         }),
            AfterStart({{INSTALL_SUCCESS, 1, L""}}));
  const std::wstring folderStart = Wide(folder_ / "my");
  EXPECT_EQ(ReadArguments(argsPath), (std::vector<std::wstring>{
                                         Wide(package), L"/S", L"-console=show", L"-version=1.0.0",
                                         L"-adminact=false", L"-authorizationact=true", L"-dsc=true",
                                         L"-ssc=true", L"-inslang=zh-CN", L"-tag=a \"b\"", L"-plain",
                                         L"-instdir=" + installFolder, L"/D=" + folderStart, L"Velmora"}));
}

TEST_F(InstallerTest, APackageThatCannotStartFailsWithProgress2) {
  const std::wstring longFolder(1000, L'f');
  struct Case {
    const char* name;
    std::wstring package;
    std::wstring folder;
  } cases[] = {
      {"missing package", L"\"" + Wide(folder_ / "none.exe") + L"\"", L""},
      {"command line over 1023 characters", L"\"" + Wide(VELMORA_PACKAGE_INSTALLER) + L"\"", longFolder},
  };
  Script("out State=Success\n");
  for (const Case& c : cases) {
    EXPECT_EQ(RunInstaller(c.package, c.folder), AfterStart({{IST_CODE_FAIL, 2, L""}})) << c.name;
  }
}

TEST_F(InstallerTest, ADownloadedPackageIsMadeExecutable) {
  const std::string package = folder_ / "__Package_Velmora.exe";
  fs::copy_file(VELMORA_PACKAGE_INSTALLER, package);
  fs::permissions(package, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  Script("out State=Success\n");
  EXPECT_EQ(RunInstaller(L"\"" + Wide(package) + L"\"", L""), AfterStart({{INSTALL_SUCCESS, 0, L""}}));
  const fs::perms perms = fs::status(package).permissions();
  EXPECT_NE(perms & fs::perms::owner_exec, fs::perms::none);
  EXPECT_NE(perms & fs::perms::group_exec, fs::perms::none);
  EXPECT_EQ(perms & fs::perms::others_exec, fs::perms::none);  // not readable by others, so not runnable either
}

TEST_F(InstallerTest, ASecondStartWaitsForTheFirstRun) {
  Script("sleep 200\nout State=Success\n");
  EventRecorder recorder;
  FinishesWithin(std::chrono::seconds(60), [&] {
    CInstaller installer(recorder.Callback(), kPeer, L"");
    installer.Start();
    installer.Start();
  });
  EXPECT_EQ(recorder.Codes(), (std::vector<int>{IST_CODE_START, IST_CODE_PROGRESS, INSTALL_SUCCESS, IST_CODE_START,
                                                IST_CODE_PROGRESS, INSTALL_SUCCESS}));
}

TEST_F(InstallerTest, TheCodePageAndTheInstalledVersionCarryOverToTheNextRun) {
  LogCapture log;
  EventRecorder recorder;
  FinishesWithin(std::chrono::seconds(60), [&] {
    CInstaller installer(recorder.Callback(), kPeer, L"");
    Script("out Encode=936\nout InstallVersion=2.5.1\nout ExePath=/opt/v/Orvexa.exe\n");
    installer.Start();
    ASSERT_TRUE(recorder.WaitFor(4));  // start, progress, exe path, success
    EXPECT_EQ(installer.CodePage(), 936);
    Script("gbk Message=中文\nout InstallVersion=3\n");
    installer.Start();
    ASSERT_TRUE(recorder.WaitFor(8));
    EXPECT_EQ(installer.InstalledVersion().major, 3);
    EXPECT_EQ(installer.InstalledVersion().minor, 5);
    EXPECT_EQ(installer.InstalledVersion().patch, 1);
  });
  EXPECT_EQ(recorder.Events(), (std::vector<Event>{
                                   kStart, kFirstProgress, {IST_CODE_EXE_PATH, 0, L"/opt/v/Orvexa.exe"},
                                   {INSTALL_SUCCESS, 1, L""},
                                   kStart, kFirstProgress, {IST_CODE_MESSAGE, 0, L"中文"},
                                   {INSTALL_SUCCESS, 1, L""}}));
  EXPECT_TRUE(log.Contains("ExePath: /opt/v/Orvexa.exe"));
}

}  // namespace
