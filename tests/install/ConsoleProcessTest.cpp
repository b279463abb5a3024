#include "install/ConsoleProcess.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/CommandLine.h"
#include "platform/Text.h"
#include "tests/install/ChildFixture.h"
#include "utils/Exception.h"

namespace {

using namespace TestSupport;

struct Outcome {
  std::string output;
  Utils::ExitStatus status;
};

Outcome RunChild(const std::wstring& commandLine) {
  Outcome outcome;
  Utils::ConsoleProcess child;
  child.Start(commandLine);
  FinishesWithin(std::chrono::seconds(30), [&] {
    child.ReadUntilExit([&](std::string_view chunk) {
      EXPECT_LE(chunk.size(), Utils::ConsoleProcess::kChunkSize);
      outcome.output += chunk;
    });
    outcome.status = child.Wait();
  });
  return outcome;
}

std::wstring Wide(const std::string& s) { return Platform::Utf8ToWide(s); }

// The scripted package installer, following a script that the test writes.
class ConsoleProcessTest : public ::testing::Test {
 protected:
  void Script(const std::string& text) { WriteFile(scriptPath_, text); }
  std::wstring Peer() const { return L"\"" + Wide(VELMORA_PACKAGE_INSTALLER) + L"\""; }

  TempDir folder_;
  std::string scriptPath_ = folder_ / "script";
  ScopedEnv script_{"VELMORA_SETUP_SCRIPT", scriptPath_};
  std::string argsPath_ = folder_ / "args";
};

TEST_F(ConsoleProcessTest, ArgumentsArriveAsTheCommandLineSplitsThem) {
  const std::string dir = folder_ / "dir with blanks";
  fs::create_directory(dir);
  const std::string program = dir + "/setup program.exe";
  CopyProgram(VELMORA_PACKAGE_INSTALLER, program);
  Script("args " + argsPath_ + "\n");

  const std::wstring quoted = L"\"" + Wide(program) + L"\"";
  struct Case {
    std::wstring line;
    std::vector<std::wstring> argv;
  } cases[] = {
      {quoted + L" /S -inslang=\"zh-CN\" -instdir=\"/opt/my dir\" /D=/opt/my dir",
       {Wide(program), L"/S", L"-inslang=zh-CN", L"-instdir=/opt/my dir", L"/D=/opt/my", L"dir"}},
      {quoted + L" \"say \\\"hi\\\"\" back\\slash \"trail\\\\\" \"\" a\"b c\"d",
       {Wide(program), L"say \"hi\"", L"back\\slash", L"trail\\", L"", L"ab cd"}},
      // Unquoted, the program path is the shortest prefix that names a file.
      {Wide(program) + L" _?=/opt/my dir", {Wide(program), L"_?=/opt/my", L"dir"}},
      {Wide(program), {Wide(program)}},
  };
  for (const Case& c : cases) {
    fs::remove(argsPath_);
    EXPECT_TRUE(RunChild(c.line).status.Normal());
    EXPECT_EQ(ReadArguments(argsPath_), c.argv) << Platform::WideToUtf8(c.line);
  }
}

TEST_F(ConsoleProcessTest, CommandLinesUpTo1023CharactersStartLongerOnesAreRefused) {
  Script("args " + argsPath_ + "\n");
  std::wstring line = Peer() + L" -x=";
  line += std::wstring(Utils::ConsoleProcess::kMaxCommandLine - line.size(), L'a');
  ASSERT_EQ(line.size(), 1023u);
  EXPECT_TRUE(RunChild(line).status.Normal());
  EXPECT_EQ(ReadArguments(argsPath_), Platform::CommandLineToArgv(line));

  fs::remove(argsPath_);
  Utils::ConsoleProcess child;
  EXPECT_THROW(child.Start(line + L"a"), Utils::Exception);
  EXPECT_FALSE(fs::exists(argsPath_));
}

TEST_F(ConsoleProcessTest, AProgramThatCannotBeStartedThrows) {
  const std::string notExecutable = folder_ / "plain.exe";
  WriteFile(notExecutable, "#!/bin/sh\n");
  for (const std::wstring& line :
       {Wide(folder_ / "missing.exe") + L" /S", L"\"" + Wide(notExecutable) + L"\"", std::wstring(L""),
        Wide(folder_.path().string())}) {
    Utils::ConsoleProcess child;
    EXPECT_THROW(child.Start(line), Utils::Exception) << Platform::WideToUtf8(line);
  }
}

// The parent's ends of a child's pipes are the same pipes as the child's
// standard streams: the child must hold no other descriptor of them, nor of
// another child's pipes.
TEST_F(ConsoleProcessTest, TheChildInheritsNoneOfTheParentsPipeEnds) {
  const std::string fdsPath = folder_ / "fds";
  Script("fds " + fdsPath + "\n");
  Utils::ConsoleProcess other;
  other.Start(L"/bin/sleep 20");
  EXPECT_TRUE(RunChild(Peer()).status.Normal());

  std::map<int, std::string> fds;
  std::istringstream lines(ReadFile(fdsPath));
  for (std::string line; std::getline(lines, line);) fds[std::stoi(line)] = line.substr(line.find(' ') + 1);
  std::set<std::string> ours;
  for (int stream : {0, 1, 2}) {
    ASSERT_EQ(fds[stream].substr(0, 5), "pipe:") << stream;
    ours.insert(fds[stream]);
    ours.insert(fs::read_symlink("/proc/" + std::to_string(other.ProcessId()) + "/fd/" + std::to_string(stream)));
  }
  EXPECT_EQ(ours.size(), 6u);
  for (const auto& [fd, target] : fds) {
    if (fd <= 2) continue;
    EXPECT_EQ(ours.count(target), 0u) << fd << " " << target;
  }
  ::kill(other.ProcessId(), SIGKILL);
  other.Wait();
}

TEST_F(ConsoleProcessTest, ReportsHowTheChildEnded) {
  struct Case {
    const char* script;
    std::string output;
    bool signaled;
    int code;
  } cases[] = {
      {"", "", false, 0},  // prints nothing and exits
      {"out last words\nexit 3\n", "last words\n", false, 3},
      {"raw partial\ncrash\n", "partial", true, SIGSEGV},
  };
  for (const Case& c : cases) {
    Script(c.script);
    const Outcome outcome = RunChild(Peer());
    EXPECT_EQ(outcome.output, c.output) << c.script;
    EXPECT_EQ(outcome.status.signaled, c.signaled) << c.script;
    EXPECT_EQ(outcome.status.code, c.code) << c.script;
  }
}

TEST_F(ConsoleProcessTest, StandardErrorIsDrainedSoAFloodDoesNotBlockTheChild) {
  Script("flood-err 4194304\nout done\nflood-out 262144\nout end\n");
  const Outcome outcome = RunChild(Peer());
  EXPECT_TRUE(outcome.status.Normal());
  EXPECT_EQ(outcome.output.substr(0, 5), "done\n");
  EXPECT_EQ(outcome.output.size(), 5u + 262144u + 4u);
}

// A process that inherited the output pipe keeps it open after the child has
// gone; reading ends with the child all the same.
TEST_F(ConsoleProcessTest, ReadingEndsWithTheChildEvenWhenItsPipesLiveOn) {
  Utils::ConsoleProcess child;
  child.Start(L"/bin/sh -c \"sleep 20 & echo $!\"");
  std::string output;
  FinishesWithin(std::chrono::seconds(10), [&] {
    child.ReadUntilExit([&](std::string_view chunk) { output += chunk; });
    EXPECT_TRUE(child.Wait().Normal());
  });
  const pid_t grandchild = std::atoi(output.c_str());
  ASSERT_GT(grandchild, 0) << output;
  ::kill(grandchild, SIGKILL);
}

}  // namespace
