// The files of the embedded skin archive, unpacked once with libarchive.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace TestSupport {

struct SkinFiles {
  std::map<std::string, std::string> files;  // entry name -> bytes
  std::vector<std::string> folders;
  std::string error;  // empty when the whole archive was read
};

const SkinFiles& EmbeddedSkin();

}  // namespace TestSupport
