// Real skins for the framework's tests: files in a temporary folder, PNG
// images written by cairo and 7z archives packed by the 7z tool.
#pragma once

#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "tests/support/TempDir.h"

namespace SkinTest {

// A temporary folder that also writes files into itself.
class TempDir : public TestSupport::TempDir {
 public:
  const std::filesystem::path& Path() const { return path(); }
  std::wstring WidePath() const { return Platform::Utf8ToWide(path().string()); }

  std::filesystem::path Write(const std::string& relative, const std::string& bytes) const {
    const std::filesystem::path p = path() / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
};

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<std::uint8_t> ToBytes(const std::string& s) { return {s.begin(), s.end()}; }

// A PNG whose pixel (x, y) is colour(x, y), 0xAARRGGBB not premultiplied.
inline std::string PngBytes(int w, int h, const std::function<std::uint32_t(int, int)>& colour) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = colour(x, y);
      const std::uint32_t a = c >> 24;
      const std::uint32_t r = ((c >> 16) & 0xFF) * a / 255, g = ((c >> 8) & 0xFF) * a / 255, b = (c & 0xFF) * a / 255;
      const std::uint32_t p = (a << 24) | (r << 16) | (g << 8) | b;
      std::memcpy(data + y * stride + x * 4, &p, 4);
    }
  }
  cairo_surface_mark_dirty(s);
  std::string out;
  cairo_surface_write_to_png_stream(
      s,
      [](void* closure, const unsigned char* d, unsigned int n) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(d), n);
        return CAIRO_STATUS_SUCCESS;
      },
      &out);
  cairo_surface_destroy(s);
  return out;
}

inline std::string SolidPng(int w, int h, std::uint32_t argb) {
  return PngBytes(w, h, [argb](int, int) { return argb; });
}

// Packs the folder's contents into a 7z archive (LZMA2, solid, encoded header) and returns its bytes.
inline std::vector<std::uint8_t> Pack7z(const TempDir& source, const TempDir& work) {
  const std::filesystem::path archive = work.Path() / "skin.7z";
  const std::string command = "cd '" + source.Path().string() + "' && 7z a -t7z -m0=lzma2 -mhc=on -bd -y '" +
                              archive.string() + "' . >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return ToBytes(ReadBytes(archive));
}

// The premultiplied pixel of an ARGB32 surface.
inline std::uint32_t PixelAt(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  std::uint32_t p;
  std::memcpy(&p, cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s) + x * 4, 4);
  return p;
}

}  // namespace SkinTest
