// The process-wide launch settings: built-in defaults, then the configuration
// file beside the executable, then the command line; later layers win.
#pragma once

#include <string>
#include <vector>

#include "app/CommandLineMap.h"

class LaunchSettings {
 public:
  // Built-in defaults, then the configuration file beside the executable.
  LaunchSettings();
  // Built-in defaults, then the given configuration file (when it exists).
  explicit LaunchSettings(const std::wstring& configFilePath);

  // Reads "KestrixInstallerConfig.ini" (section "Install") when it exists.
  void LoadConfigFile();
  // Applies this process's command line.
  void ParseCommandLine();
  // Applies a command line given as arguments (the program's path first).
  void ParseCommandLine(const std::vector<std::wstring>& arguments);

  void SetDownloadUrl(const std::wstring& url);
  static std::wstring ResolveRoute(const std::wstring& url);

  std::wstring m_DownloadUrl;
  int m_DownloadType = 1;
  bool m_IsCheckNet = false;
  double m_DownloadScale = 0.7;
  std::wstring m_InstCmd;
  int m_Language = -1;
  bool m_InsNew = false;

 private:
  std::wstring configFilePath_;
};

// Built during static initialisation; complete before any window exists and
// read-only afterwards (but for the language index).
extern LaunchSettings g_LaunchSettings;

// The address used when neither the file nor the command line gives one.
extern const wchar_t kDefaultDownloadUrl[];
