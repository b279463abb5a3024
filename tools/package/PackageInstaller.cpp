// The product's package installer: installs the product carried in its own
// file into the folder named by "/D=" and reports on standard output.
//
//   VelmoraSetup.exe "/S" -console=show -version=1.0.0 -adminact=... -authorizationact=...
//                    -dsc=... -ssc=... [-inslang="tag"] [extra] [-instdir="folder"] /D=folder
//
// With VELMORA_SETUP_SCRIPT set it follows that script instead (see Script.h);
// the script's "run" does the installation.
#include <filesystem>
#include <string>

#include "platform/Paths.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "tools/package/Console.h"
#include "tools/package/Payload.h"
#include "tools/package/Script.h"

namespace {

namespace fs = std::filesystem;

int Fail(const std::string& message, int exitCode) {
  Peer::Say("Error=" + message);
  return exitCode;
}

const Peer::PayloadEntry* Find(const std::vector<Peer::PayloadEntry>& entries, const std::string& name) {
  for (const Peer::PayloadEntry& entry : entries)
    if (entry.name == name) return &entry;
  return nullptr;
}

int Install(int argc, char** argv) {
  Peer::Say("Encode=UTF8");
  Peer::Say("Progress=0.05");

  std::string folder;
  if (!Peer::OptionValue(argc, argv, "/D=", folder, true)) Peer::OptionValue(argc, argv, "-instdir=", folder);
  if (folder.empty()) return Fail("未指定安装目录", 2);
  std::string language = "en-US";
  Peer::OptionValue(argc, argv, "-inslang=", language);

  const std::string package = Platform::WideToUtf8(Platform::ExecutablePath());
  const auto entries = Peer::ReadPayloadTable(package);
  const Peer::PayloadEntry* product = entries ? Find(*entries, "Orvexa.exe") : nullptr;
  const Peer::PayloadEntry* uninstaller = entries ? Find(*entries, "uninst.ep") : nullptr;
  if (product == nullptr || uninstaller == nullptr) return Fail("安装包已损坏", 3);

  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder)) return Fail("无法创建安装目录", 4);
  Peer::Say("Progress=0.2");

  const std::string exePath = folder + "/Orvexa.exe";
  const std::string uninstPath = folder + "/uninst.ep";
  if (!Peer::ExtractEntry(package, *product, exePath, 0755)) return Fail("无法写入程序文件", 5);
  Peer::Say("Progress=0.5");
  if (!Peer::ExtractEntry(package, *uninstaller, uninstPath, 0755)) return Fail("无法写入卸载程序", 5);
  Peer::Say("Progress=0.7");
  if (!Platform::WritePrivateProfileString(L"Install", L"Language", Platform::Utf8ToWide(language),
                                           Platform::Utf8ToWide(folder + "/config.ini")))
    return Fail("无法写入配置文件", 5);
  Peer::Say("Progress=1");

  Peer::Say("InstallVersion=1.0.0");
  Peer::Say("InstPath=" + folder);
  Peer::Say("ExePath=" + exePath);
  Peer::Say("UninstEp=" + uninstPath);
  Peer::Say("StartupStyle=UserStartup");
  Peer::Say("State=Success");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return Peer::RunScriptOr("VELMORA_SETUP_SCRIPT", argc, argv, [&] { return Install(argc, argv); });
}
