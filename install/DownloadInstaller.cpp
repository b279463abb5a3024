#include "install/DownloadInstaller.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

#include "app/LaunchSettings.h"
#include "app/Log.h"
#include "download/DownloaderFactory.h"
#include "install/EventCodes.h"
#include "install/Installer.h"
#include "install/Uninstaller.h"
#include "platform/Paths.h"
#include "platform/Processes.h"
#include "platform/Text.h"
#include "utils/Folders.h"

namespace {

constexpr wchar_t kProductName[] = L"Velmora";
constexpr wchar_t kUninstallerCopyName[] = L"Velmora_un_asa.exe";
constexpr wchar_t kProductProgram[] = L"Orvexa.exe";
constexpr std::size_t kMaxPathChars = 259;

// The package file of an earlier run that is to be deleted as well; lives
// from start to start for the whole process.
std::mutex g_previousPackageMutex;
std::wstring g_previousPackagePath;

void RemoveFile(const std::wstring& path) {
  if (!path.empty()) ::unlink(Platform::WideToAnsi(path).c_str());
}

// Copies beside the target and renames over it, so that a copy still
// running from an earlier removal is replaced rather than written into.
void CopyProgram(const std::wstring& from, const std::wstring& to) {
  if (to.empty()) return;
  const std::string target = Platform::WideToAnsi(to);
  const std::string temp = target + ".part";
  std::error_code error;
  std::filesystem::copy_file(Platform::WideToAnsi(from), temp, std::filesystem::copy_options::overwrite_existing,
                             error);
  if (error || ::chmod(temp.c_str(), 0755) != 0 || ::rename(temp.c_str(), target.c_str()) != 0) ::unlink(temp.c_str());
}

}  // namespace

std::wstring PackagePathIn(const std::wstring& installFolder) {
  return installFolder + L"/__Package_" + kProductName + L".exe";
}

std::wstring ReportedPath(const std::wstring& text) {
  std::wstring path = text;
  while (!path.empty() && (path.back() == L'\r' || path.back() == L'\n')) path.pop_back();
  return path;
}

int FindProcessByName(const std::wstring& executableName) { return Platform::FindProcessByName(executableName); }

CDownloadInstaller::CDownloadInstaller(StatusCallback windowCallback) : windowCallback_(std::move(windowCallback)) {}

CDownloadInstaller::~CDownloadInstaller() {
  {
    std::lock_guard lock(chainMutex_);
    closing_ = true;
  }
  downloader_.reset();
  installer_.reset();
  uninstaller_.reset();
}

void CDownloadInstaller::SetParams(const std::wstring& downloadUrl, const std::wstring& uninstallerPath,
                                   const std::wstring& installFolder, bool desktopShortcut, bool quickLaunch,
                                   bool adminAccount, bool elevated, const std::wstring& languageTag) {
  downloadUrl_ = downloadUrl;
  uninstallerPath_ = uninstallerPath;
  installFolder_ = installFolder;
  desktopShortcut_ = desktopShortcut;
  quickLaunch_ = quickLaunch;
  adminAccount_ = adminAccount;
  elevated_ = elevated;
  languageTag_ = languageTag;
}

void CDownloadInstaller::Start() {
  packagePath_ = PackagePathIn(installFolder_);
  LogRecord(L"DL_TYPE=%d\r\n", g_LaunchSettings.m_DownloadType);

  // The workers are made once and reused; a start into another folder makes
  // new ones, so that the package lands where it is later deleted. Starts
  // come only while no attempt runs.
  if (workersPackagePath_ != packagePath_) {
    downloader_.reset();
    installer_.reset();
    workersPackagePath_ = packagePath_;
  }
  if (!downloader_)
    downloader_ = CreateDownloader(
        g_LaunchSettings.m_DownloadType, [this](int c, double p, const wchar_t* t) { OnDownloadEvent(c, p, t); },
        downloadUrl_, packagePath_);
  if (!installer_)
    installer_ = std::make_unique<CInstaller>([this](int c, double p, const wchar_t* t) { OnInstallEvent(c, p, t); },
                                              L"\"" + packagePath_ + L"\"", installFolder_);
  installer_->SetInstallFolder(installFolder_);
  installer_->SetDesktopShortcut(desktopShortcut_);
  installer_->SetQuickLaunch(quickLaunch_);
  installer_->SetAdminAccount(adminAccount_);
  installer_->SetElevated(elevated_);
  installer_->SetLanguage(languageTag_);

  if (!uninstallerPath_.empty() && Platform::PathExists(uninstallerPath_)) {
    StartRemoval();
    return;
  }
  downloader_->Start();
}

void CDownloadInstaller::StartRemoval() {
  const std::wstring workFolder = Utils::GetWorkFolder();
  const std::wstring copyPath = workFolder.empty() ? std::wstring() : workFolder + kUninstallerCopyName;
  const std::wstring installation = Platform::ParentFolder(uninstallerPath_.substr(0, kMaxPathChars));
  CopyProgram(uninstallerPath_, copyPath);  // a failed copy shows as the runner's missing-file event
  uninstaller_ = std::make_unique<CUninstaller>(
      [this](int c, double p, const wchar_t* t) { OnUninstallEvent(c, p, t); }, copyPath, installation);
  if (g_LaunchSettings.m_InsNew) {
    while (FindProcessByName(kProductProgram) != 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  uninstaller_->Start();
}

void CDownloadInstaller::DeletePackageFiles() {
  std::lock_guard lock(g_previousPackageMutex);
  RemoveFile(packagePath_);
  if (!g_previousPackagePath.empty()) RemoveFile(g_previousPackagePath);
  g_previousPackagePath = packagePath_;
}

// Each handler logs the name of the codes it knows, after its action unless
// the action says otherwise.
void CDownloadInstaller::OnDownloadEvent(int code, double progress, const wchar_t* text) {
  windowCallback_(code, progress, text);
  switch (code) {
    case DL_CODE_START:
      Utils::CreateDirectoryTree(installFolder_);
      break;
    case DL_CODE_PROGRESS:
      break;
    case DL_CODE_SUCCESS:
      LogRecord(L"DOWNLOAD_SUCCESS\r\n");
      StartNext(installer_);
      break;
    case DL_CODE_FAIL:
      DeletePackageFiles();
      break;
    case DL_CODE_RETRY:
      LogRecord(L"%s\r\n", EventCodeName(code));
      StartNext(downloader_);  // from inside the callback, on the downloader's thread
      return;
    default:
      return;
  }
  LogRecord(L"%s\r\n", EventCodeName(code));
}

void CDownloadInstaller::OnUninstallEvent(int code, double progress, const wchar_t* text) {
  windowCallback_(code, progress, text);
  switch (code) {
    case UNIST_CODE_SUCCESS:
      LogRecord(L"%s\r\n", EventCodeName(code));
      StartNext(downloader_);
      return;
    case UNIST_CODE_START:
    case UNIST_CODE_PROGRESS:
    case UNIST_CODE_FAIL:
    case UNIST_CODE_ERROR:
      LogRecord(L"%s\r\n", EventCodeName(code));
      return;
    default:
      return;
  }
}

void CDownloadInstaller::OnInstallEvent(int code, double progress, const wchar_t* text) {
  windowCallback_(code, progress, text);
  switch (code) {
    case IST_CODE_START:
      break;
    case IST_CODE_PROGRESS:
      LogRecord(L"IST_CODE_PROGRESS %f\r\n", progress);
      return;
    case INSTALL_SUCCESS:
    case IST_CODE_FAIL:
      DeletePackageFiles();
      break;
    default:
      return;
  }
  LogRecord(L"%s\r\n", EventCodeName(code));
}

template <typename Worker>
void CDownloadInstaller::StartNext(Worker& worker) {
  std::lock_guard lock(chainMutex_);
  if (!closing_) worker->Start();
}

