#include "utils/InstallRecord.h"

#include <fmt/xchar.h>
#include <unistd.h>

#include <filesystem>

#include "platform/Paths.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"
#include "platform/Text.h"
#include "utils/DeviceId.h"
#include "utils/Folders.h"
#include "utils/HardDiskManager.h"
#include "utils/Network.h"
#include "utils/Rights.h"

namespace Utils {
namespace {

constexpr std::size_t kMaxPath = 260;

std::wstring UninstallEntryOf(const std::wstring& folder) { return folder + L"/" + kUninstallEntryName; }

std::wstring AnalyticsFolder() { return Platform::AppDataFolder() + L"/KestrixData/Velmora"; }

std::filesystem::path Normal(const std::wstring& path) {
  std::filesystem::path p = std::filesystem::path(Platform::WideToAnsi(path)).lexically_normal();
  if (p.has_relative_path() && !p.has_filename()) p = p.parent_path();  // "a/b/" names "a/b"
  return p;
}

}  // namespace

bool ReadRegistryString(const std::wstring& valueName, std::wstring& value) {
  const std::optional<std::wstring> read = Platform::ReadUserRegistryValue(kInstallRecordKey, valueName);
  if (!read) return false;
  // Stored text ends at its first null, as a registry string would.
  value = read->substr(0, read->find(L'\0'));
  return true;
}

bool WriteRegistryString(const std::wstring& valueName, const std::wstring& value) {
  return Platform::WriteUserRegistryValue(kInstallRecordKey, valueName, value);
}

bool IsSameFolder(const std::wstring& a, const std::wstring& b) {
  if (a.empty() || b.empty()) return false;
  return Normal(a) == Normal(b);
}

void InstallRecord::ReadInstallRecord() {
  m_RecordedInstallDir.clear();
  m_RecordedUninstallEntry.clear();
  ReadRegistryString(L"InstallPath", m_RecordedInstallDir);
  ReadRegistryString(L"UnInstallEp", m_RecordedUninstallEntry);
  if (m_RecordedUninstallEntry.empty() && !m_RecordedInstallDir.empty())
    m_RecordedUninstallEntry = UninstallEntryOf(m_RecordedInstallDir);
}

std::wstring InstallRecord::GetDefaultInstallDir() {
  std::wstring user;
  const bool adminAccount = GetConsoleUserName(user) && IsAdminAccount(user);
  return GetDefaultInstallDir(adminAccount, IsRunAsAdmin());
}

std::wstring InstallRecord::GetDefaultInstallDir(bool consoleUserIsAdmin, bool runsAsAdmin) {
  m_IsAdminAccount = consoleUserIsAdmin;
  m_IsRunAsAdmin = runsAsAdmin;
  return DefaultInstallDir();
}

std::wstring InstallRecord::DefaultInstallDir() {
  if (!m_RecordedInstallDir.empty() && Platform::PathExists(m_RecordedUninstallEntry)) return m_RecordedInstallDir;
  std::wstring base = m_IsAdminAccount && m_IsRunAsAdmin ? Platform::AppDataFolder() + L"/kestrix"
                                                         : Platform::ProgramFilesFolder();
  std::wstring folder = base + L"/Velmora";
  if (folder.size() > kMaxPath) folder.resize(kMaxPath);
  return folder;
}

bool InstallRecord::IsDefaultInstallDir(const std::wstring& folder) { return IsSameFolder(DefaultInstallDir(), folder); }

std::wstring InstallRecord::GetChosenInstallDir(const std::wstring& editText) {
  const std::wstring defaultFolder = GetDefaultInstallDir();
  return IsSameFolder(defaultFolder, editText) ? defaultFolder : editText;
}

bool InstallRecord::IsOverrideDisabled(const std::wstring& chosenFolder) const {
  if (!IsSameFolder(m_RecordedInstallDir, chosenFolder)) return false;
  const std::wstring value =
      Platform::GetPrivateProfileString(L"Uninstall", L"IsOverride", L"true", chosenFolder + L"/set.ini", 20);
  return value == L"false";
}

void InstallRecord::WriteInstallRecord() {
  WriteRegistryString(L"InstallPath", m_InstallDir);
  if (m_UninstallEntry.empty()) m_UninstallEntry = UninstallEntryOf(m_InstallDir);
  if (Platform::PathExists(m_UninstallEntry)) WriteRegistryString(L"UnInstallEp", m_UninstallEntry);
}

void InstallRecord::WriteProductSettingsFile() {
  const std::wstring settings = m_InstallDir + L"/set.ini";
  Platform::WritePrivateProfileString(L"Install", L"APPStore", Platform::FileNameOf(Platform::ExecutablePath()), settings);
  Platform::WritePrivateProfileString(L"Install", L"AppName", L"Velmora", settings);
  Platform::WritePrivateProfileString(L"Install", L"DeviceID", NewDeviceId(), settings);

  const std::wstring folder = AnalyticsFolder();
  if (!CreateDirectoryTree(folder)) return;
  const std::wstring analytics = folder + L"/VARedoredArezavude.ini";
  Platform::WritePrivateProfileString(L"Install", L"VARedoredArezavudeIni", analytics, settings);
  const Platform::LocalTime t = Platform::LocalTimeNow();
  Platform::WritePrivateProfileString(
      L"Init", L"UpdateTime",
      fmt::format(L"{}-{:02d}-{:02d} {:02d}:{:02d}:{:02d}", t.year, t.month, t.day, t.hour, t.minute, t.second),
      analytics);
}

void InstallRecord::DiagnoseDownloadFailure(const std::wstring& packagePath) {
  const std::string narrow = Platform::WideToAnsi(packagePath);
  std::error_code error;
  const bool existed = std::filesystem::exists(narrow, error);
  const bool removed = existed && std::filesystem::remove(narrow, error);
  if (removed || !existed) {
    // Can the folder take a file at all?
    if (FILE* probe = std::fopen(narrow.c_str(), "w+")) {
      std::fclose(probe);
      std::filesystem::remove(narrow, error);
    }
  }
  HardDiskManager disk;
  disk.CheckFreeSpace(Platform::ParentFolder(packagePath));
  CheckNetwork();
}

}  // namespace Utils
