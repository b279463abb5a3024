// Where the product is installed: the installation record in the user's
// registry, the default install folder, and the two settings files left for
// the product. The main window keeps one of these for its whole life.
#pragma once

#include <string>

namespace Utils {

inline constexpr wchar_t kInstallRecordKey[] = L"Software\\KestrixSoft\\Velmora";
inline constexpr wchar_t kUninstallEntryName[] = L"uninst.ep";

// The values of the installation record's key.
bool ReadRegistryString(const std::wstring& valueName, std::wstring& value);
bool WriteRegistryString(const std::wstring& valueName, const std::wstring& value);

class InstallRecord {
 public:
  // Reads "InstallPath" and "UnInstallEp"; a missing entry is derived from
  // the folder.
  void ReadInstallRecord();

  // The recorded folder when its uninstaller entry exists, else the default
  // folder; asks the rights probes first and keeps their answers.
  std::wstring GetDefaultInstallDir();
  // The same with given answers of the rights probes.
  std::wstring GetDefaultInstallDir(bool consoleUserIsAdmin, bool runsAsAdmin);

  bool IsDefaultInstallDir(const std::wstring& folder);
  // The edit box's text, unless it denotes the default folder (the rights
  // probes are asked again).
  std::wstring GetChosenInstallDir(const std::wstring& editText);
  // GetDefaultInstallDir with the answers it was last given.
  std::wstring DefaultInstallDir();
  // True when the chosen folder is the recorded one and its "set.ini" says
  // "IsOverride=false": the old copy is then not removed first.
  bool IsOverrideDisabled(const std::wstring& chosenFolder) const;

  // After a successful installation.
  void WriteInstallRecord();
  // "set.ini" in the install folder and the analytics file.
  void WriteProductSettingsFile();
  // Leaves records of why a download failed: disk, network.
  static void DiagnoseDownloadFailure(const std::wstring& packagePath);

  std::wstring m_RecordedInstallDir;
  std::wstring m_RecordedUninstallEntry;
  std::wstring m_InstallDir;
  std::wstring m_UninstallEntry;
  bool m_IsAdminAccount = false;
  bool m_IsRunAsAdmin = false;
};

// True when the two paths name the same folder.
bool IsSameFolder(const std::wstring& a, const std::wstring& b);

}  // namespace Utils
