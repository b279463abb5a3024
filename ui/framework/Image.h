// A decoded image ready for drawing: a cairo image surface in premultiplied
// ARGB32, top-down.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <span>

namespace SkinUI {

class CImage {
 public:
  // Images above this many pixels are refused rather than decoded.
  static constexpr std::int64_t kMaxPixels = 16ll << 20;

  // Decodes PNG, JPEG, BMP, GIF, PSD, TGA, PIC or PNM bytes. Pixels whose
  // premultiplied value equals `mask` become transparent (0 masks nothing
  // that is not already fully transparent). Null when undecodable.
  static std::shared_ptr<CImage> Decode(std::span<const std::uint8_t> bytes, std::uint32_t mask);
  // A one-pixel image of the colour (0xAARRGGBB), for stretching.
  static std::shared_ptr<CImage> Solid(std::uint32_t argb);

  ~CImage();
  CImage(const CImage&) = delete;
  CImage& operator=(const CImage&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool HasAlpha() const { return hasAlpha_; }
  cairo_surface_t* Surface() const { return surface_; }
  // The premultiplied pixel at (x, y), 0xAARRGGBB.
  std::uint32_t Pixel(int x, int y) const;

 private:
  CImage(cairo_surface_t* surface, int width, int height, bool hasAlpha)
      : surface_(surface), width_(width), height_(height), hasAlpha_(hasAlpha) {}

  cairo_surface_t* surface_;
  int width_;
  int height_;
  bool hasAlpha_;
};

}  // namespace SkinUI
