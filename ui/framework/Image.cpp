#include "ui/framework/Image.h"

#include <climits>
#include <cstring>

#define STBI_NO_STDIO
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#if defined(__clang__)
#pragma GCC diagnostic ignored "-Wunknown-warning-option"
#endif
#pragma GCC diagnostic ignored "-Wmisleading-indentation"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace SkinUI {
namespace {

struct StbFree {
  void operator()(stbi_uc* p) const { stbi_image_free(p); }
};

}  // namespace

std::shared_ptr<CImage> CImage::Decode(std::span<const std::uint8_t> bytes, std::uint32_t mask) {
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return nullptr;
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int length = static_cast<int>(bytes.size());
  int w = 0, h = 0, channels = 0;
  if (!stbi_info_from_memory(data, length, &w, &h, &channels)) return nullptr;
  if (w <= 0 || h <= 0 || static_cast<std::int64_t>(w) * h > kMaxPixels) return nullptr;
  std::unique_ptr<stbi_uc, StbFree> rgba(stbi_load_from_memory(data, length, &w, &h, &channels, 4));
  if (!rgba || w <= 0 || h <= 0 || static_cast<std::int64_t>(w) * h > kMaxPixels) return nullptr;

  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_surface_flush(surface);
  unsigned char* out = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  bool hasAlpha = false;
  const stbi_uc* in = rgba.get();
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < w; ++x, in += 4) {
      std::uint32_t r = in[0], g = in[1], b = in[2];
      const std::uint32_t a = in[3];
      if (a != 255) {
        r = r * a / 255;
        g = g * a / 255;
        b = b * a / 255;
        hasAlpha = true;
      }
      std::uint32_t pixel = (a << 24) | (r << 16) | (g << 8) | b;
      if (pixel == mask) {
        pixel = 0;
        hasAlpha = true;
      }
      row[x] = pixel;
    }
  }
  cairo_surface_mark_dirty(surface);
  return std::shared_ptr<CImage>(new CImage(surface, w, h, hasAlpha));
}

std::shared_ptr<CImage> CImage::Solid(std::uint32_t argb) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_surface_flush(surface);
  const std::uint32_t a = argb >> 24;
  const std::uint32_t r = ((argb >> 16) & 0xFF) * a / 255;
  const std::uint32_t g = ((argb >> 8) & 0xFF) * a / 255;
  const std::uint32_t b = (argb & 0xFF) * a / 255;
  const std::uint32_t pixel = (a << 24) | (r << 16) | (g << 8) | b;
  std::memcpy(cairo_image_surface_get_data(surface), &pixel, sizeof pixel);
  cairo_surface_mark_dirty(surface);
  return std::shared_ptr<CImage>(new CImage(surface, 1, 1, a != 255));
}

CImage::~CImage() { cairo_surface_destroy(surface_); }

std::uint32_t CImage::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  std::uint32_t pixel;
  std::memcpy(&pixel, data + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface_) + x * 4,
              sizeof pixel);
  return pixel;
}

}  // namespace SkinUI
