#include "install/Uninstaller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/EventCodes.h"
#include "platform/Text.h"
#include "tests/install/ChildFixture.h"
#include "utils/Rights.h"

namespace {

using namespace TestSupport;

std::wstring Wide(const std::string& s) { return Platform::Utf8ToWide(s); }

const Event kFirstProgress{UNIST_CODE_PROGRESS, 0, L""};

// CUninstaller running a copy of the scripted uninstaller, named as the
// orchestrator names it, in a work folder with a blank in its path.
class UninstallerTest : public ::testing::Test {
 protected:
  UninstallerTest() {
    fs::create_directory(workFolder_);
    CopyProgram(VELMORA_UNINSTALLER, copy_);
  }

  std::vector<Event> RunScript(const std::string& text, const std::string& copy) {
    WriteFile(scriptPath_, text);
    return RunToEnd<CUninstaller>({}, Wide(copy), Wide(folder_ / "installed"));
  }
  std::vector<Event> RunScript(const std::string& text) { return RunScript(text, copy_); }

  TempDir folder_;
  std::string scriptPath_ = folder_ / "script";
  ScopedEnv script_{"VELMORA_UNINST_SCRIPT", scriptPath_};
  std::string workFolder_ = folder_ / "work folder";
  std::string copy_ = workFolder_ + "/Velmora_un_asa.exe";
};

TEST_F(UninstallerTest, TurnsTheProtocolLinesIntoEvents) {
  const std::string gbk = Platform::EncodeCodePage(936, L"中文");
  struct Case {
    const char* name;
    std::string script;
    std::vector<Event> events;
  } cases[] = {
      {"prints nothing and exits", "", {kFirstProgress, {UNIST_CODE_SUCCESS, 1, L""}}},
      {"progress and success", "out Progress=0.5\\r\\nState=Success\\r\n",
       {kFirstProgress, {UNIST_CODE_PROGRESS, 0.5, L""}, {UNIST_CODE_SUCCESS, 0, L""}}},
      {"reading goes on after a result line",
       "out State=Success\nsync\nout Error=still running\nout Progress=0.9\n",
       {kFirstProgress, {UNIST_CODE_SUCCESS, 0, L""}, {UNIST_CODE_ERROR, 0, L"still running"},
        {UNIST_CODE_PROGRESS, 0.9, L""}}},
      {"a reported failure", "out State=Fail\n", {kFirstProgress, {UNIST_CODE_ERROR, 0, L"安装包卸载失败"}}},
      {"an unknown state goes on to the end", "out State=Done\n", {kFirstProgress, {UNIST_CODE_SUCCESS, 1, L""}}},
      {"Encode=936 means the narrow encoding", "out Encode=936\nsync\nout Error=" + gbk + "\n",
       {kFirstProgress, {UNIST_CODE_ERROR, 0, Platform::DecodeCodePage(0, gbk)}}},
      {"Encode=UTF8", "out Encode=UTF8\nout Error=中文\n", {kFirstProgress, {UNIST_CODE_ERROR, 0, L"中文"}}},
      {"the last line before the exit is read", "out State=Success\nexit 0\n",
       {kFirstProgress, {UNIST_CODE_SUCCESS, 0, L""}}},
      {"a line written across two reads still counts", "raw Err\nsync\nout or=busy\n",
       {kFirstProgress, {UNIST_CODE_ERROR, 0, L"busy"}}},
      {"a flood on standard error does not stall the child", "flood-err 4194304\nout State=Success\n",
       {kFirstProgress, {UNIST_CODE_SUCCESS, 0, L""}}},
      {"crashes without a result line", "crash\n", {kFirstProgress, {UNIST_CODE_FAIL, 3, L""}}},
      {"exits with a failure code without a result line", "exit 4\n", {kFirstProgress, {UNIST_CODE_FAIL, 3, L""}}},
      {"the exit code does not overrule a reported success", "out State=Success\nexit 4\n",
       {kFirstProgress, {UNIST_CODE_SUCCESS, 0, L""}}},
  };
  for (const Case& c : cases) EXPECT_EQ(RunScript(c.script), c.events) << c.name;
}

TEST_F(UninstallerTest, TheCommandLineEndsWithTheUnquotedFolder) {
  const std::string argsPath = folder_ / "args";
  std::wstring user;
  const std::wstring admin = Utils::GetConsoleUserName(user) && Utils::IsAdminAccount(user) ? L"true" : L"false";
  const std::wstring elevated = Utils::IsRunAsAdmin() ? L"true" : L"false";
  const std::wstring installed = Wide(folder_ / "my Velmora");

  WriteFile(scriptPath_, "args " + argsPath + "\n");
  EventRecorder recorder;
  std::wstring line;
  FinishesWithin(std::chrono::seconds(60), [&] {
    CUninstaller uninstaller(recorder.Callback(), Wide(copy_), installed);
    uninstaller.Start();
    line = uninstaller.CommandLine();
  });
  EXPECT_EQ(line, Wide(copy_) + L" /S -adminact=" + admin + L" -authorizationact=" + elevated +
                      L" -console=show _?=" + installed);
  // Found although neither path is quoted: the program path is the shortest
  // prefix that names a file.
  EXPECT_EQ(recorder.Events(), (std::vector<Event>{kFirstProgress, {UNIST_CODE_SUCCESS, 1, L""}}));
  EXPECT_EQ(ReadArguments(argsPath),
            (std::vector<std::wstring>{Wide(copy_), L"/S", L"-adminact=" + admin, L"-authorizationact=" + elevated,
                                       L"-console=show", L"_?=" + Wide(folder_ / "my"), L"Velmora"}));
}

TEST_F(UninstallerTest, AMissingOrUnstartableCopyFails) {
  EXPECT_EQ(RunScript("", folder_ / "none.exe"),
            (std::vector<Event>{{UNIST_CODE_FAIL, 1, L"可执行卸载文件不存在"}}));
  const std::string notExecutable = folder_ / "plain.exe";
  WriteFile(notExecutable, "not a program");
  EXPECT_EQ(RunScript("", notExecutable), (std::vector<Event>{kFirstProgress, {UNIST_CODE_FAIL, 2, L""}}));
}

}  // namespace
