// Carries out one installation once the user has chosen: removes the
// installed copy where one is replaced, downloads the package, runs the
// package installer, and forwards every event of its workers, first and
// unchanged, to the window's callback.
//
// The chain, as the window sees it:
//   fresh installation  1001, 1002..., (1006), 1003, 2001, 2002..., 3000-3009, 2003 | 2004
//   replacement         5002..., 5003, then as a fresh installation (5004 | 5005 end it)
//   download retry      1005 is followed by a new 1001; 1004 ends the chain
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "download/StatusCallback.h"

class CDownloader;
class CInstaller;
class CUninstaller;

class CDownloadInstaller {
 public:
  explicit CDownloadInstaller(StatusCallback windowCallback);
  // Releases the downloader, then the package installer runner, then the
  // uninstaller runner; each waits for its workers. Workers still running
  // meanwhile report on, but start nothing new.
  ~CDownloadInstaller();
  CDownloadInstaller(const CDownloadInstaller&) = delete;
  CDownloadInstaller& operator=(const CDownloadInstaller&) = delete;

  // An empty uninstaller path: nothing is to be removed.
  void SetParams(const std::wstring& downloadUrl, const std::wstring& uninstallerPath,
                 const std::wstring& installFolder, bool desktopShortcut, bool quickLaunch, bool adminAccount,
                 bool elevated, const std::wstring& languageTag);

  // On the window's thread: returns once the first worker has been started.
  void Start();

  // The package file of the latest Start.
  const std::wstring& PackagePath() const { return packagePath_; }

 private:
  void OnDownloadEvent(int code, double progress, const wchar_t* text);
  void OnUninstallEvent(int code, double progress, const wchar_t* text);
  void OnInstallEvent(int code, double progress, const wchar_t* text);
  void DeletePackageFiles();
  template <typename Worker>
  void StartNext(Worker& worker);
  void StartRemoval();

  std::unique_ptr<CUninstaller> uninstaller_;
  std::unique_ptr<CDownloader> downloader_;
  std::unique_ptr<CInstaller> installer_;
  std::wstring downloadUrl_;
  std::wstring uninstallerPath_;
  std::wstring installFolder_;
  std::wstring packagePath_;
  std::wstring workersPackagePath_;  // the package path the downloader and runner were made for
  std::wstring languageTag_;
  bool desktopShortcut_ = true;
  bool quickLaunch_ = true;
  bool adminAccount_ = true;
  bool elevated_ = false;
  StatusCallback windowCallback_;
  // Starting the next worker and the end of the orchestrator exclude each other.
  std::mutex chainMutex_;
  bool closing_ = false;
};

// The id of a running process with that executable name, or 0.
int FindProcessByName(const std::wstring& executableName);

// A path or address as the package installer reported it, without the
// carriage return a CR LF line leaves on its value.
std::wstring ReportedPath(const std::wstring& text);

// The file name of the package in the install folder.
std::wstring PackagePathIn(const std::wstring& installFolder);
