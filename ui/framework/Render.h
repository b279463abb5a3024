// Drawing primitives of the controls: fills, borders, images with nine-grid
// margins and tiling, and text through Pango. All coordinates are device pixels.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string_view>

#include "ui/framework/Geometry.h"

namespace SkinUI {

class CFont;
class CImage;

struct TextStyle {
  enum class HAlign { Left, Center, Right };
  enum class VAlign { Top, Center, Bottom };
  HAlign h = HAlign::Left;
  VAlign v = VAlign::Center;
  bool multiline = false;
};

namespace Render {

void FillRect(cairo_t* cr, const Rect& rc, std::uint32_t argb);
// A rectangle with elliptic corners of the given diameters (cx, cy), as a path.
void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, Size round);
void DrawBorder(cairo_t* cr, const Rect& rc, int size, std::uint32_t argb, Size round);

struct ImageDraw {
  Rect dest;
  Rect source;  // within the image
  Rect corner;  // nine-grid margins; all zero stretches the whole source
  int fade = 255;
  bool hole = false;
  bool xtiled = false;
  bool ytiled = false;
};
void DrawImage(cairo_t* cr, const CImage& image, const ImageDraw& how);

void DrawText(cairo_t* cr, const CFont& font, const Rect& rc, std::wstring_view text, std::uint32_t argb,
              TextStyle style);
// Width and height of the text in the font; multi-line text wraps at `width`.
Size MeasureText(const CFont& font, std::wstring_view text, TextStyle style, int width);

}  // namespace Render
}  // namespace SkinUI
