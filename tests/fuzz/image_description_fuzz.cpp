// Feeds arbitrary text to the image description parser and draws the result
// with a small image, so nine-grid, tiling and source/dest arithmetic see it too.
#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/Text.h"
#include "ui/framework/Image.h"
#include "ui/framework/ImageDescription.h"
#include "ui/framework/Render.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = Platform::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  const SkinUI::ImageDescription d = SkinUI::ImageDescription::Parse(text);
  static const auto image = SkinUI::CImage::Solid(0xFF336699);
  static cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 64);
  cairo_t* cr = cairo_create(surface);
  SkinUI::Render::ImageDraw how;
  how.dest = SkinUI::Rect{8, 8, 56, 56};
  if (!d.dest.IsZero()) how.dest = SkinUI::Rect{8 + d.dest.left, 8 + d.dest.top, 8 + d.dest.right, 8 + d.dest.bottom};
  how.source = d.source.IsZero() ? SkinUI::Rect{0, 0, image->Width(), image->Height()} : d.source;
  how.corner = d.corner;
  how.fade = d.fade;
  how.hole = d.hole;
  how.xtiled = d.xtiled;
  how.ytiled = d.ytiled;
  SkinUI::Render::DrawImage(cr, *image, how);
  cairo_destroy(cr);
  return 0;
}
