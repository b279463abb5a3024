// The real package from tools/package, installed and removed again by the two
// runners, as the orchestrator chains them.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "install/ConsoleProcess.h"
#include "install/EventCodes.h"
#include "install/Installer.h"
#include "install/Uninstaller.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "tests/install/ChildFixture.h"

namespace {

using namespace TestSupport;

std::wstring Wide(const std::string& s) { return Platform::Utf8ToWide(s); }

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Keeps the events of one code range, with consecutive progress events
// folded into one, so that the sequence reads as the protocol goes.
std::vector<int> Folded(const std::vector<int>& codes, int progressCode) {
  std::vector<int> out;
  for (int code : codes)
    if (code != progressCode || out.empty() || out.back() != progressCode) out.push_back(code);
  return out;
}

TEST(PackageEndToEndTest, InstallsTheProductAndTheUninstallerRemovesItAgain) {
  ASSERT_GE(fs::file_size(VELMORA_PACKAGE), 1u << 20);
  TempDir root;
  const std::string folder = root / "Velmora home";
  fs::create_directory(folder);
  // Downloaded: no execute permission yet.
  const std::string package = folder + "/__Package_Velmora.exe";
  fs::copy_file(VELMORA_PACKAGE, package);
  fs::permissions(package, fs::perms::owner_read | fs::perms::owner_write);

  EventRecorder installEvents;
  FinishesWithin(std::chrono::seconds(60), [&] {
    CInstaller installer(installEvents.Callback(), L"\"" + Wide(package) + L"\"", Wide(folder));
    installer.SetLanguage(L"zh-CN");
    installer.Start();
  });
  EXPECT_EQ(Folded(installEvents.Codes(), IST_CODE_PROGRESS),
            (std::vector<int>{IST_CODE_START, IST_CODE_PROGRESS, IST_CODE_INST_PATH, IST_CODE_EXE_PATH,
                              IST_CODE_UNINST_EP, IST_CODE_STARTUP_STYLE, INSTALL_SUCCESS}));
  const std::vector<Event> events = installEvents.Events();
  ASSERT_GE(events.size(), 7u);
  EXPECT_EQ(events[1], (Event{IST_CODE_PROGRESS, 0, L""}));
  EXPECT_EQ(events[events.size() - 6], (Event{IST_CODE_PROGRESS, 1, L""}));
  EXPECT_EQ(events[events.size() - 5], (Event{IST_CODE_INST_PATH, 0, Wide(folder)}));
  EXPECT_EQ(events[events.size() - 4], (Event{IST_CODE_EXE_PATH, 0, Wide(folder + "/Orvexa.exe")}));
  EXPECT_EQ(events[events.size() - 3], (Event{IST_CODE_UNINST_EP, 0, Wide(folder + "/uninst.ep")}));
  EXPECT_EQ(events[events.size() - 2], (Event{IST_CODE_STARTUP_STYLE, 2, L""}));
  EXPECT_EQ(events.back(), (Event{INSTALL_SUCCESS, 0, L""}));
  EXPECT_EQ(Platform::GetPrivateProfileString(L"Install", L"Language", L"", Wide(folder + "/config.ini")), L"zh-CN");

  // The product runs under its own name until it is told to stop.
  {
    Utils::ConsoleProcess product;
    product.Start(L"\"" + Wide(folder + "/Orvexa.exe") + L"\" --run-ms=0");
    std::string output;
    FinishesWithin(std::chrono::seconds(10), [&] {
      product.ReadUntilExit([&](std::string_view chunk) {
        output += chunk;
        if (output != "Orvexa started\n") return;
        const std::string proc = "/proc/" + std::to_string(product.ProcessId());
        EXPECT_EQ(fs::read_symlink(proc + "/exe").filename(), "Orvexa.exe");
        ::kill(product.ProcessId(), SIGTERM);
      });
      EXPECT_TRUE(product.Wait().Normal());
    });
    EXPECT_EQ(output, "Orvexa started\n");
  }

  fs::remove(package);  // the orchestrator deletes the package after the installation
  EXPECT_EQ(Entries(folder), (std::vector<std::string>{"Orvexa.exe", "config.ini", "uninst.ep"}));

  // Run from a copy elsewhere, under the orchestrator's name for it.
  const std::string work = root / "work";
  fs::create_directory(work);
  fs::copy_file(folder + "/uninst.ep", work + "/Velmora_un_asa.exe");
  EventRecorder uninstallEvents;
  FinishesWithin(std::chrono::seconds(60), [&] {
    CUninstaller uninstaller(uninstallEvents.Callback(), Wide(work + "/Velmora_un_asa.exe"), Wide(folder));
    uninstaller.Start();
  });
  EXPECT_EQ(Folded(uninstallEvents.Codes(), UNIST_CODE_PROGRESS),
            (std::vector<int>{UNIST_CODE_PROGRESS, UNIST_CODE_SUCCESS}));
  EXPECT_EQ(uninstallEvents.Events().back(), (Event{UNIST_CODE_SUCCESS, 0, L""}));
  EXPECT_TRUE(Entries(folder).empty());
}

}  // namespace
