#include "download/Digest.h"

#include <cstdio>
#include <memory>

#include "download/Md5.h"

std::string GetUrlMd5(const std::string& address) {
  const auto last = address.rfind('/');
  if (last == std::string::npos || last == 0) return "";
  const auto before = address.rfind('/', last - 1);
  if (before == std::string::npos) return "";
  return address.substr(before + 1, last - before - 1);
}

std::string GetFileMd5(const std::string& path) {
  if (path.empty()) return "";
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return "";
  // Large reads: the digest of a package of hundreds of MiB should cost no
  // more than reading it.
  constexpr std::size_t kBlock = 256 * 1024;
  std::unique_ptr<char[]> block(new char[kBlock]);
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  Md5 md5;
  std::size_t n;
  while ((n = std::fread(block.get(), 1, kBlock, file.get())) > 0) md5.Update(block.get(), n);
  if (std::ferror(file.get())) return "";
  return md5.FinishHex();
}
