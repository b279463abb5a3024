// Removes an installed copy of the product before a new one is installed: runs
// that copy's own uninstaller (a copy of it in the work folder) silently on a
// worker thread and turns the lines it prints into events.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "download/StatusCallback.h"
#include "install/ConsoleLines.h"

namespace Utils {
class Thread;
}  // namespace Utils

class CUninstaller {
 public:
  // The uninstaller path names the copy to run; the installation folder is
  // the installed copy's folder, which the uninstaller is told to remove.
  CUninstaller(StatusCallback callback, const std::wstring& uninstallerPath, const std::wstring& installFolder);
  // Waits without limit for a run under way.
  ~CUninstaller();
  CUninstaller(const CUninstaller&) = delete;
  CUninstaller& operator=(const CUninstaller&) = delete;

  // Asks the rights probes for the two administrator flags, builds the
  // command line and starts the run on a worker named "UnInstaller".
  // Returns at once; a second call waits for the first run.
  void Start();

  // Handles decoded output lines. Returns 1 or 1000 when the last result line
  // among them was a success or a failure, 0 when there was none; every line
  // is looked at.
  int Parse(const std::wstring& text);

  const std::wstring& CommandLine() const { return commandLine_; }

 private:
  void Run();
  Utils::LineResult HandleLine(const std::wstring& line);
  void Emit(int code, double progress, const std::wstring& text = {});

  StatusCallback callback_;
  std::wstring commandLine_;
  std::wstring uninstallerPath_;
  std::wstring installFolder_;
  std::int32_t codePage_ = 0;
  std::unique_ptr<Utils::Thread> worker_;
};
