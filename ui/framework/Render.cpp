#include "ui/framework/Render.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/Text.h"
#include "ui/framework/AttributeValue.h"
#include "ui/framework/Font.h"
#include "ui/framework/Image.h"

namespace SkinUI::Render {
namespace {

void SetColor(cairo_t* cr, std::uint32_t argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                        (argb >> 24) / 255.0);
}

// Draws the source part of the image into the destination, stretched or tiled.
void DrawPart(cairo_t* cr, cairo_surface_t* image, const Rect& dst, const Rect& src, bool tileX, bool tileY,
              double alpha) {
  if (dst.IsEmpty() || src.IsEmpty()) return;
  cairo_surface_t* part = cairo_surface_create_for_rectangle(image, src.left, src.top, src.Width(), src.Height());
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(part);
  const double sx = tileX ? 1.0 : static_cast<double>(src.Width()) / dst.Width();
  const double sy = tileY ? 1.0 : static_cast<double>(src.Height()) / dst.Height();
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, sx, sy);
  cairo_matrix_translate(&m, -dst.left, -dst.top);
  cairo_pattern_set_matrix(pattern, &m);
  cairo_pattern_set_extend(pattern, tileX || tileY ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern, sx == 1.0 && sy == 1.0 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_BILINEAR);
  cairo_save(cr);
  cairo_rectangle(cr, dst.left, dst.top, dst.Width(), dst.Height());
  cairo_clip(cr);
  cairo_set_source(cr, pattern);
  if (alpha >= 1.0) {
    cairo_paint(cr);
  } else {
    cairo_paint_with_alpha(cr, alpha);
  }
  cairo_restore(cr);
  cairo_pattern_destroy(pattern);
  cairo_surface_destroy(part);
}

// Splits a span into three at the margins; margins larger than the span
// shrink in proportion.
void Split(int start, int end, int lead, int trail, int (&out)[4]) {
  const int length = end - start;
  lead = std::max(lead, 0);
  trail = std::max(trail, 0);
  if (lead + trail > length && lead + trail > 0) {
    const int total = lead + trail;
    lead = length * lead / total;
    trail = length - lead;
  }
  out[0] = start;
  out[1] = start + lead;
  out[2] = end - trail;
  out[3] = end;
}

PangoLayout* MakeLayout(cairo_t* cr, const CFont& font, std::wstring_view text, TextStyle style, int width) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  pango_layout_set_font_description(layout, font.Description());
  const std::string utf8 = Platform::WideToUtf8(text);
  pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
  if (font.Underline()) {
    PangoAttrList* attrs = pango_attr_list_new();
    pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
  }
  if (style.multiline && width > 0) {
    pango_layout_set_width(layout, width * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(layout, style.h == TextStyle::HAlign::Center  ? PANGO_ALIGN_CENTER
                                       : style.h == TextStyle::HAlign::Right ? PANGO_ALIGN_RIGHT
                                                                             : PANGO_ALIGN_LEFT);
  } else {
    pango_layout_set_single_paragraph_mode(layout, TRUE);
  }
  return layout;
}

}  // namespace

void FillRect(cairo_t* cr, const Rect& rc, std::uint32_t argb) {
  if (!IsVisibleColor(argb) || rc.IsEmpty()) return;
  cairo_save(cr);
  SetColor(cr, argb);
  cairo_rectangle(cr, rc.left, rc.top, rc.Width(), rc.Height());
  cairo_fill(cr);
  cairo_restore(cr);
}

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, Size round) {
  const double rx = std::min(round.cx / 2.0, w / 2.0);
  const double ry = std::min(round.cy / 2.0, h / 2.0);
  if (rx <= 0 || ry <= 0) {
    cairo_rectangle(cr, x, y, w, h);
    return;
  }
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, rx, ry);
  const double W = w / rx, H = h / ry;
  cairo_new_sub_path(cr);
  cairo_arc(cr, W - 1, 1, 1, -M_PI / 2, 0);
  cairo_arc(cr, W - 1, H - 1, 1, 0, M_PI / 2);
  cairo_arc(cr, 1, H - 1, 1, M_PI / 2, M_PI);
  cairo_arc(cr, 1, 1, 1, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void DrawBorder(cairo_t* cr, const Rect& rc, int size, std::uint32_t argb, Size round) {
  if (size <= 0 || !IsVisibleColor(argb) || rc.IsEmpty()) return;
  cairo_save(cr);
  SetColor(cr, argb);
  cairo_set_line_width(cr, size);
  const double half = size / 2.0;
  RoundRectPath(cr, rc.left + half, rc.top + half, std::max(0.0, rc.Width() - 2 * half),
                std::max(0.0, rc.Height() - 2 * half), round);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void DrawImage(cairo_t* cr, const CImage& image, const ImageDraw& how) {
  const Rect src = how.source.Intersect({0, 0, image.Width(), image.Height()});
  if (how.dest.IsEmpty() || src.IsEmpty() || how.fade <= 0) return;
  const double alpha = std::min(how.fade, 255) / 255.0;
  if (how.corner.IsZero()) {
    DrawPart(cr, image.Surface(), how.dest, src, how.xtiled, how.ytiled, alpha);
    return;
  }
  int sx[4], sy[4], dx[4], dy[4];
  Split(src.left, src.right, how.corner.left, how.corner.right, sx);
  Split(src.top, src.bottom, how.corner.top, how.corner.bottom, sy);
  Split(how.dest.left, how.dest.right, sx[1] - sx[0], sx[3] - sx[2], dx);
  Split(how.dest.top, how.dest.bottom, sy[1] - sy[0], sy[3] - sy[2], dy);
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      if (how.hole && row == 1 && col == 1) continue;
      // Corners keep their size; edges and the centre stretch (or tile) where they grow.
      const bool tileX = how.xtiled && col == 1;
      const bool tileY = how.ytiled && row == 1;
      DrawPart(cr, image.Surface(), {dx[col], dy[row], dx[col + 1], dy[row + 1]},
               {sx[col], sy[row], sx[col + 1], sy[row + 1]}, tileX, tileY, alpha);
    }
  }
}

void DrawText(cairo_t* cr, const CFont& font, const Rect& rc, std::wstring_view text, std::uint32_t argb,
              TextStyle style) {
  if (text.empty() || rc.IsEmpty() || !IsVisibleColor(argb)) return;
  PangoLayout* layout = MakeLayout(cr, font, text, style, rc.Width());
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  double x = rc.left;
  if (!style.multiline) {
    if (style.h == TextStyle::HAlign::Center) x = rc.left + (rc.Width() - w) / 2.0;
    if (style.h == TextStyle::HAlign::Right) x = rc.right - w;
    x = std::floor(x);
  }
  double y = rc.top;
  if (style.v == TextStyle::VAlign::Center) y = std::floor(rc.top + (rc.Height() - h) / 2.0);
  if (style.v == TextStyle::VAlign::Bottom) y = rc.bottom - h;
  cairo_save(cr);
  cairo_rectangle(cr, rc.left, rc.top, rc.Width(), rc.Height());
  cairo_clip(cr);
  SetColor(cr, argb);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  cairo_restore(cr);
  g_object_unref(layout);
}

Size MeasureText(const CFont& font, std::wstring_view text, TextStyle style, int width) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* cr = cairo_create(surface);
  PangoLayout* layout = MakeLayout(cr, font, text, style, width);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  g_object_unref(layout);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return {w, h};
}

}  // namespace SkinUI::Render
