#include "app/SilentInstall.h"

#include <unistd.h>

#include "app/LaunchSettings.h"
#include "download/StatusCallback.h"
#include "install/DownloadInstaller.h"
#include "install/EventCodes.h"
#include "install/InstallEventQueue.h"
#include "install/InstallProgress.h"
#include "platform/Launch.h"
#include "platform/Text.h"
#include "utils/Folders.h"
#include "utils/HardDiskManager.h"
#include "utils/InstallRecord.h"
#include "utils/Network.h"

namespace {

constexpr wchar_t kRunningMessage[] = L"安装程序检测到Velmora\r\n正在运行，请退出程序后再安装";
constexpr double kBytesPerGiB = 1073741824.0;

class SilentInstall {
 public:
  SilentInstall(const LaunchSettings& settings, std::FILE* out)
      : settings_(settings), out_(out), progress_(settings.m_DownloadScale) {}

  int Run(const std::optional<std::wstring>& requestedFolder) {
    record_.ReadInstallRecord();
    const std::wstring defaultFolder = record_.GetDefaultInstallDir();
    const std::wstring folder = requestedFolder ? record_.GetChosenInstallDir(*requestedFolder) : defaultFolder;
    if (const int refused = Check(folder)) return refused;

    record_.m_InstallDir = folder;
    const std::wstring uninstaller = record_.IsOverrideDisabled(folder) ? L"" : record_.m_RecordedUninstallEntry;
    CDownloadInstaller installer([this](int code, double progress, const wchar_t* text) {
      events_.Push(code, progress, text);
    });
    installer.SetParams(settings_.m_DownloadUrl, uninstaller, folder, true, true, record_.m_IsAdminAccount,
                        record_.m_IsRunAsAdmin, L"");
    installer.Start();
    int result = -1;
    while (result < 0) {
      if (const auto event = events_.Pop(std::chrono::hours(1))) result = Handle(*event, installer);
    }
    return result;
  }

 private:
  int Check(const std::wstring& folder) {
    if (!settings_.m_InsNew &&
        (FindProcessByName(L"Velmora_un_asa.exe") != 0 || FindProcessByName(L"Orvexa.exe") != 0))
      return Fail(kSilentProductRunning, kRunningMessage);
    if (!Utils::CreateDirectoryTree(folder)) return Fail(kSilentInvalidFolder, L"无效路径");
    Utils::HardDiskManager disk;
    if (disk.CheckFreeSpace(folder) && static_cast<double>(disk.m_FreeBytesAvailable) / kBytesPerGiB < 1.0)
      return Fail(kSilentLowDiskSpace, L"磁盘空间不足，请至少保留1GB的可用空间");
    if (settings_.m_IsCheckNet && (static_cast<std::int32_t>(Utils::CheckNetwork()) >> 16) != 0)
      return Fail(kSilentPoorNetwork, L"当前网络环境较差，请在网络通畅时进行安装");
    return 0;
  }

  // A finished run's exit code, or -1 while the chain goes on.
  int Handle(const InstallEventRecord& event, const CDownloadInstaller& installer) {
    switch (event.code) {
      case DL_CODE_PROGRESS:
        Show(progress_.OnDownloadProgress(event.progress));
        break;
      case DL_CODE_FAIL:
        Utils::InstallRecord::DiagnoseDownloadFailure(installer.PackagePath());
        return Fail(kSilentDownloadFailed, L"下载失败，请检查网络后重新安装");
      case IST_CODE_START:
        record_.WriteProductSettingsFile();
        break;
      case IST_CODE_PROGRESS:
        Show(progress_.OnInstallProgress(event.progress));
        break;
      case INSTALL_SUCCESS:
        Show(100);
        record_.WriteInstallRecord();
        record_.WriteProductSettingsFile();
        if (startupStyle_ == 1) LaunchProduct();
        std::fprintf(out_, "installed: %s\n", Platform::WideToUtf8(record_.m_InstallDir).c_str());
        return kSilentSuccess;
      case IST_CODE_FAIL:
        return Fail(kSilentInstallFailed, event.text.empty() ? L"安装失败" : event.text);
      case IST_CODE_INST_PATH:
        record_.m_InstallDir = ReportedPath(event.text);
        break;
      case IST_CODE_EXE_PATH:
        productProgram_ = ReportedPath(event.text);
        break;
      case IST_CODE_UNINST_EP:
        record_.m_UninstallEntry = ReportedPath(event.text);
        break;
      case IST_CODE_START_URL:
        startUrl_ = ReportedPath(event.text);
        break;
      case IST_CODE_STARTUP_STYLE:
        startupStyle_ = static_cast<int>(event.progress);
        break;
      case IST_CODE_MESSAGE:
        Say("message", event.text);
        break;
      case UNIST_CODE_FAIL:
      case UNIST_CODE_ERROR:
        return Fail(kSilentRemovalFailed, kRunningMessage);
      default:
        break;
    }
    return -1;
  }

  void LaunchProduct() {
    if (startUrl_.size() > 5) Platform::OpenAddress(startUrl_);
    if (!productProgram_.empty()) Platform::StartDetached(productProgram_, {});
  }

  void Show(int percent) {
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    std::fprintf(out_, "progress: %d%%\n", percent);
    std::fflush(out_);
  }

  void Say(const char* what, const std::wstring& text) {
    std::fprintf(out_, "%s: %s\n", what, Platform::WideToUtf8(text).c_str());
    std::fflush(out_);
  }

  int Fail(int code, const std::wstring& text) {
    Say("error", text);
    return code;
  }

  const LaunchSettings& settings_;
  std::FILE* out_;
  InstallProgress progress_;
  InstallEventQueue events_;
  Utils::InstallRecord record_;
  std::wstring productProgram_;
  std::wstring startUrl_;
  int startupStyle_ = 0;
  int lastPercent_ = -1;
};

}  // namespace

int RunSilentInstall(const LaunchSettings& settings, const std::optional<std::wstring>& installFolder,
                     std::FILE* out) {
  return SilentInstall(settings, out).Run(installFolder);
}
