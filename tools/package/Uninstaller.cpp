// The product's uninstaller, installed as "uninst.ep": removes the installed
// product from the folder named by "_?=" and reports on standard output.
//
//   uninst.ep /S -adminact=... -authorizationact=... -console=show _?=folder
//
// It is run as a copy from elsewhere, so it relies on nothing beside itself.
// With VELMORA_UNINST_SCRIPT set it follows that script instead (see
// Script.h); the script's "run" does the removal.
#include <filesystem>
#include <string>

#include "tools/package/Console.h"
#include "tools/package/Script.h"

namespace {

namespace fs = std::filesystem;

// What an installation leaves in its folder: the package's files and the
// product's settings file.
const char* const kInstalledFiles[] = {"Orvexa.exe", "config.ini", "set.ini", "uninst.ep"};

int Uninstall(int argc, char** argv) {
  Peer::Say("Encode=UTF8");
  Peer::Say("Progress=0.1");
  std::string folder;
  if (!Peer::OptionValue(argc, argv, "_?=", folder, true) || folder.empty()) {
    Peer::Say("Error=未指定卸载目录");
    return 2;
  }
  if (!fs::is_directory(folder)) {
    Peer::Say("Error=卸载目录不存在");
    return 3;
  }
  double progress = 0.1;
  for (const char* name : kInstalledFiles) {
    std::error_code ec;
    fs::remove(fs::path(folder) / name, ec);
    if (ec) {
      Peer::Say(std::string("Error=无法删除文件 ") + name);
      return 4;
    }
    progress += 0.2;
    Peer::Say("Progress=" + std::to_string(progress).substr(0, 3));
  }
  Peer::Say("State=Success");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return Peer::RunScriptOr("VELMORA_UNINST_SCRIPT", argc, argv, [&] { return Uninstall(argc, argv); });
}
