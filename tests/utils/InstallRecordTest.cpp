#include "utils/InstallRecord.h"

#include <gtest/gtest.h>

#include <fstream>
#include <cwctype>
#include <sstream>

#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "tests/support/TempDir.h"
#include "utils/Folders.h"

namespace {

namespace fs = std::filesystem;
using Platform::Utf8ToWide;
using TestSupport::ScopedEnv;
using TestSupport::TempDir;

std::wstring W(const fs::path& p) { return Utf8ToWide(p.string()); }

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class InstallRecordTest : public ::testing::Test {
 protected:
  TempDir home_;
  ScopedEnv config_{"XDG_CONFIG_HOME", (home_ / "config").string()};
  ScopedEnv appData_{"APPDATA", (home_ / "appdata").string()};
  ScopedEnv tmp_{"TMPDIR", (home_ / "tmp").string()};
  Utils::InstallRecord record_;

  fs::path MakeInstalledCopy(const std::string& name, bool withEntry) {
    const fs::path folder = home_ / name;
    fs::create_directories(folder);
    if (withEntry) std::ofstream(folder / "uninst.ep") << "x";
    return folder;
  }
};

TEST_F(InstallRecordTest, NoRecordGivesTheDefaultFolderByRights) {
  record_.ReadInstallRecord();
  EXPECT_EQ(record_.m_RecordedInstallDir, L"");
  EXPECT_EQ(record_.m_RecordedUninstallEntry, L"");
  EXPECT_EQ(record_.GetDefaultInstallDir(true, true), W(home_ / "appdata" / "kestrix" / "Velmora"));
  EXPECT_TRUE(record_.m_IsAdminAccount);
  EXPECT_EQ(record_.GetDefaultInstallDir(true, false), L"/opt/Velmora");
  EXPECT_EQ(record_.GetDefaultInstallDir(false, true), L"/opt/Velmora");
  EXPECT_FALSE(record_.m_IsAdminAccount);
}

TEST_F(InstallRecordTest, RecordedFolderWinsOnlyWhenItsUninstallerEntryExists) {
  const fs::path gone = MakeInstalledCopy("gone", false);
  ASSERT_TRUE(Utils::WriteRegistryString(L"InstallPath", W(gone)));
  record_.ReadInstallRecord();
  EXPECT_EQ(record_.m_RecordedUninstallEntry, W(gone / "uninst.ep"));  // derived
  EXPECT_EQ(record_.GetDefaultInstallDir(false, false), L"/opt/Velmora");

  const fs::path kept = MakeInstalledCopy("kept", true);
  ASSERT_TRUE(Utils::WriteRegistryString(L"InstallPath", W(kept)));
  record_.ReadInstallRecord();
  EXPECT_EQ(record_.GetDefaultInstallDir(false, false), W(kept));
  EXPECT_TRUE(record_.IsDefaultInstallDir(W(kept) + L"/"));
  EXPECT_TRUE(record_.IsDefaultInstallDir(W(home_.path()) + L"/./kept"));
  EXPECT_FALSE(record_.IsDefaultInstallDir(W(gone)));
  EXPECT_EQ(record_.GetChosenInstallDir(W(kept) + L"/"), W(kept));
  EXPECT_EQ(record_.GetChosenInstallDir(L"/srv/elsewhere"), L"/srv/elsewhere");
}

TEST_F(InstallRecordTest, OverrideIsDisabledOnlyByFalseInTheRecordedFoldersSettings) {
  const fs::path folder = MakeInstalledCopy("copy", true);
  ASSERT_TRUE(Utils::WriteRegistryString(L"InstallPath", W(folder)));
  record_.ReadInstallRecord();
  const struct {
    const char* content;
    bool disabled;
  } cases[] = {
      {nullptr, false},
      {"[Uninstall]\nIsOverride=false\n", true},
      {"[Uninstall]\nIsOverride=False\n", false},
      {"[Uninstall]\nIsOverride=true\n", false},
  };
  for (const auto& c : cases) {
    fs::remove(folder / "set.ini");
    if (c.content) std::ofstream(folder / "set.ini") << c.content;
    EXPECT_EQ(record_.IsOverrideDisabled(W(folder)), c.disabled) << (c.content ? c.content : "no file");
  }
  std::ofstream(home_ / "set.ini") << "[Uninstall]\nIsOverride=false\n";
  EXPECT_FALSE(record_.IsOverrideDisabled(W(home_.path())));  // not the recorded folder
}

TEST_F(InstallRecordTest, WriteInstallRecordKeepsTheEntryUnlessTheFileExists) {
  const fs::path folder = MakeInstalledCopy("new", false);
  ASSERT_TRUE(Utils::WriteRegistryString(L"UnInstallEp", L"/old/uninst.ep"));
  record_.m_InstallDir = W(folder);
  record_.WriteInstallRecord();
  std::wstring value;
  ASSERT_TRUE(Utils::ReadRegistryString(L"InstallPath", value));
  EXPECT_EQ(value, W(folder));
  ASSERT_TRUE(Utils::ReadRegistryString(L"UnInstallEp", value));
  EXPECT_EQ(value, L"/old/uninst.ep");

  std::ofstream(folder / "uninst.ep") << "x";
  record_.WriteInstallRecord();
  ASSERT_TRUE(Utils::ReadRegistryString(L"UnInstallEp", value));
  EXPECT_EQ(value, W(folder / "uninst.ep"));
}

TEST_F(InstallRecordTest, ProductSettingsFilesGetAFreshDeviceIdEachTime) {
  const fs::path folder = MakeInstalledCopy("product", true);
  record_.m_InstallDir = W(folder);
  record_.WriteProductSettingsFile();
  const std::wstring ini = W(folder / "set.ini");
  const std::wstring first = Platform::GetPrivateProfileString(L"Install", L"DeviceID", L"", ini);
  record_.WriteProductSettingsFile();
  const std::wstring second = Platform::GetPrivateProfileString(L"Install", L"DeviceID", L"", ini);
  EXPECT_EQ(first.size(), 32u);
  EXPECT_NE(first, second);
  EXPECT_EQ(Platform::GetPrivateProfileString(L"Install", L"AppName", L"", ini), L"Velmora");
  EXPECT_EQ(Platform::GetPrivateProfileString(L"Install", L"APPStore", L"", ini), L"utils_tests");
  const fs::path analytics = home_ / "appdata" / "KestrixData" / "Velmora" / "VARedoredArezavude.ini";
  EXPECT_EQ(Platform::GetPrivateProfileString(L"Install", L"VARedoredArezavudeIni", L"", ini), W(analytics));
  const std::wstring time = Platform::GetPrivateProfileString(L"Init", L"UpdateTime", L"", W(analytics));
  // "2024-03-05 07:08:09"
  ASSERT_EQ(time.size(), 19u);
  for (std::size_t i = 0; i < time.size(); ++i) {
    const wchar_t expected = i == 4 || i == 7 ? L'-' : i == 10 ? L' ' : i == 13 || i == 16 ? L':' : L'0';
    if (expected == L'0') EXPECT_TRUE(std::iswdigit(time[i])) << i;
    else EXPECT_EQ(time[i], expected) << i;
  }
}

TEST_F(InstallRecordTest, UnwritableAnalyticsFolderSkipsItsKey) {
  ScopedEnv blocked("APPDATA", (home_ / "file").string());
  std::ofstream(home_ / "file") << "not a folder";
  const fs::path folder = MakeInstalledCopy("product", true);
  record_.m_InstallDir = W(folder);
  record_.WriteProductSettingsFile();
  const std::string content = ReadFile(folder / "set.ini");
  EXPECT_NE(content.find("DeviceID="), std::string::npos);
  EXPECT_EQ(content.find("VARedoredArezavudeIni"), std::string::npos);
}

TEST_F(InstallRecordTest, RegistryStoreKeepsOtherValuesAndSurvivesDamage) {
  ASSERT_TRUE(Platform::WriteUserRegistryValue(Utils::kInstallRecordKey, L"Other", L"keep"));
  ASSERT_TRUE(Utils::WriteRegistryString(L"InstallPath", L"/opt/安装"));
  std::wstring value;
  ASSERT_TRUE(Utils::ReadRegistryString(L"InstallPath", value));
  EXPECT_EQ(value, L"/opt/安装");
  EXPECT_EQ(Platform::ReadUserRegistryValue(Utils::kInstallRecordKey, L"Other"), L"keep");
  ASSERT_TRUE(Utils::WriteRegistryString(L"UnInstallEp", std::wstring(L"/a\0tail", 7)));
  ASSERT_TRUE(Utils::ReadRegistryString(L"UnInstallEp", value));
  EXPECT_EQ(value, L"/a");  // the text ends at its first null

  const std::string file = Platform::WideToUtf8(Platform::UserRegistryKeyFile(Utils::kInstallRecordKey));
  EXPECT_EQ(file, (home_ / "config" / "registry" / "HKEY_CURRENT_USER" / "Software" / "KestrixSoft" / "Velmora.json").string());
  std::ofstream(file, std::ios::trunc) << "{\"InstallPath\": \"/x\", broken";
  EXPECT_FALSE(Utils::ReadRegistryString(L"InstallPath", value));
  ASSERT_TRUE(Utils::WriteRegistryString(L"InstallPath", L"/y"));
  EXPECT_EQ(ReadFile(file + ".damaged"), "{\"InstallPath\": \"/x\", broken");
  ASSERT_TRUE(Utils::ReadRegistryString(L"InstallPath", value));
  EXPECT_EQ(value, L"/y");
  EXPECT_EQ(Platform::UserRegistryKeyFile(L"Software\\..\\x"), L"");
}

TEST_F(InstallRecordTest, Folders) {
  const std::wstring work = Utils::GetWorkFolder();
  EXPECT_EQ(work, L"");  // the temporary folder itself does not exist
  fs::create_directories(home_ / "tmp");
  EXPECT_EQ(Utils::GetWorkFolder(), W(home_ / "tmp" / "~KestrixTemp.92482B06FB471E17") + L"/");
  EXPECT_TRUE(fs::is_directory(home_ / "tmp" / "~KestrixTemp.92482B06FB471E17"));

  const fs::path deep = home_ / "a" / "b" / "c";
  EXPECT_TRUE(Utils::CreateDirectoryTree(W(deep)));
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_TRUE(Utils::CreateDirectoryTree(W(deep) + L"/"));  // all exist
  std::wstring tooLong = W(home_ / "long") + L"/";
  tooLong += std::wstring(261 - tooLong.size(), L'x');
  EXPECT_FALSE(Utils::CreateDirectoryTree(tooLong));
  EXPECT_FALSE(fs::exists(home_ / "long"));
  std::ofstream(home_ / "plain") << "file";
  EXPECT_FALSE(Utils::CreateDirectoryTree(W(home_ / "plain" / "sub")));
}

}  // namespace
