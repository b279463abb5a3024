// Build-time helper for the resource table.
//   velmora_resource_tool icon <out.ico> <png>...   packs PNG images into an
//       icon file (ICONDIR, one 16-byte entry per image, then the PNG data)
//   velmora_resource_tool version <out.txt>         writes the version record
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "resources/VersionInfo.h"

namespace {

struct Png {
  std::vector<std::uint8_t> bytes;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

bool ReadPng(const char* path, Png& png) {
  std::ifstream in(path, std::ios::binary);
  png.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  // Signature, then the IHDR chunk: length, "IHDR", width, height.
  if (png.bytes.size() < 24 || std::memcmp(png.bytes.data(), kSignature, 8) != 0 ||
      std::memcmp(png.bytes.data() + 12, "IHDR", 4) != 0) {
    std::cerr << path << ": not a PNG image\n";
    return false;
  }
  png.width = BigEndian32(png.bytes.data() + 16);
  png.height = BigEndian32(png.bytes.data() + 20);
  if (png.width == 0 || png.width > 256 || png.height == 0 || png.height > 256) {
    std::cerr << path << ": icon images are 1 to 256 pixels wide and high\n";
    return false;
  }
  return true;
}

bool Write(const char* path, const void* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) {
    std::cerr << path << ": cannot write\n";
    return false;
  }
  return true;
}

int PackIcon(int count, char** paths, const char* outPath) {
  std::vector<Png> images(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (!ReadPng(paths[i], images[static_cast<std::size_t>(i)])) return 1;
  }
  std::vector<std::uint8_t> out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // type: icon
  Put16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (const Png& png : images) {
    out.push_back(static_cast<std::uint8_t>(png.width & 0xFF));  // 256 is written as 0
    out.push_back(static_cast<std::uint8_t>(png.height & 0xFF));
    out.push_back(0);  // no palette
    out.push_back(0);  // reserved
    Put16(out, 1);     // planes
    Put16(out, 32);    // bits per pixel
    Put32(out, static_cast<std::uint32_t>(png.bytes.size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(png.bytes.size());
  }
  for (const Png& png : images) out.insert(out.end(), png.bytes.begin(), png.bytes.end());
  return Write(outPath, out.data(), out.size()) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "icon" && argc > 3) return PackIcon(argc - 3, argv + 3, argv[2]);
  if (command == "version" && argc == 3) {
    const std::string record = Resources::FormatVersionRecord();
    return Write(argv[2], record.data(), record.size()) ? 0 : 1;
  }
  std::cerr << "usage: velmora_resource_tool icon <out.ico> <png>... | version <out.txt>\n";
  return 2;
}
