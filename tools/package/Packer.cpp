// Builds the package file from the package installer program and the files it
// carries:  velmora_packer OUTPUT PROGRAM PADDING NAME=FILE...
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "tools/package/Payload.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: velmora_packer OUTPUT PROGRAM PADDING NAME=FILE...\n";
    return 2;
  }
  std::vector<std::pair<std::string, std::string>> files;
  for (int i = 4; i < argc; ++i) {
    const std::string arg = argv[i];
    const std::size_t eq = arg.find('=');
    if (eq == std::string::npos || eq == 0) {
      std::cerr << "bad entry: " << arg << "\n";
      return 2;
    }
    files.emplace_back(arg.substr(0, eq), arg.substr(eq + 1));
  }
  if (!Peer::WritePackage(argv[1], argv[2], files, std::strtoull(argv[3], nullptr, 10))) {
    std::cerr << "cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
