// Runs the downloaded package (the product's own installer program) silently
// on a worker thread and turns the key=value lines it prints into events.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "download/StatusCallback.h"
#include "install/ConsoleLines.h"

namespace Utils {
class Thread;
}  // namespace Utils

class CInstaller {
 public:
  struct Version {
    std::int32_t major = 0, minor = 0, patch = 0;
  };

  // The package path comes enclosed in double quotes.
  CInstaller(StatusCallback callback, const std::wstring& packagePath, const std::wstring& installFolder);
  // Waits without limit for a run under way.
  ~CInstaller();
  CInstaller(const CInstaller&) = delete;
  CInstaller& operator=(const CInstaller&) = delete;

  // The user's choices, set before each Start and never during a run.
  void SetInstallFolder(const std::wstring& folder) { installFolder_ = folder; }
  void SetQuickLaunch(bool on) { quickLaunch_ = on; }
  void SetDesktopShortcut(bool on) { desktopShortcut_ = on; }
  void SetAdminAccount(bool on) { adminAccount_ = on; }
  void SetElevated(bool on) { elevated_ = on; }
  void SetLanguage(const std::wstring& tag) { language_ = tag; }

  // Waits for an earlier run to end, builds the command line (with the
  // launch settings' extra options, m_InstCmd, passed on unchanged) and
  // starts a new run on a worker named "ABDEF". Returns at once.
  void Start();

  // Handles decoded output lines. Returns 1 after a success line, 1000 after
  // a failure line, 0 otherwise; lines after a result line are not looked at.
  int Parse(const std::wstring& text);

  // The command line of the latest Start.
  const std::wstring& CommandLine() const { return commandLine_; }
  // What the latest "InstallVersion=" line said, 0.0.0 before any; kept from
  // run to run like the code page. Read them when no run is under way.
  Version InstalledVersion() const { return version_; }
  std::int32_t CodePage() const { return codePage_; }

 private:
  // Where a run is in reading the package installer's output.
  enum class ReadState {
    Interpreting,  // lines become events
    Draining,      // a result line was seen: the rest is read, so the child never blocks, and ignored
  };

  std::wstring BuildCommandLine() const;
  void Run();
  Utils::LineResult HandleLine(const std::wstring& line);
  void Emit(int code, double progress, const std::wstring& text = {});

  StatusCallback callback_;
  std::wstring packagePath_;
  std::wstring installFolder_;
  std::wstring commandLine_;
  bool quickLaunch_ = true;
  bool desktopShortcut_ = true;
  std::int32_t codePage_ = 0;
  Version version_;
  bool adminAccount_ = true;
  bool elevated_ = true;
  std::wstring language_;
  std::unique_ptr<Utils::Thread> worker_;
};
