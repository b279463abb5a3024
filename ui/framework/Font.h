// A font of a window's font list: face, pixel height and style, with the
// Pango description text is drawn with.
#pragma once

#include <pango/pango.h>

#include <memory>
#include <string>

namespace SkinUI {

class CFont {
 public:
  // `size` is the character height in pixels.
  CFont(std::wstring face, int size, bool bold, bool underline, bool italic);

  const std::wstring& Face() const { return face_; }
  int Size() const { return size_; }
  bool Bold() const { return bold_; }
  bool Underline() const { return underline_; }
  bool Italic() const { return italic_; }
  const PangoFontDescription* Description() const { return description_.get(); }

 private:
  struct Free {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
  };

  std::wstring face_;
  int size_;
  bool bold_;
  bool underline_;
  bool italic_;
  std::unique_ptr<PangoFontDescription, Free> description_;
};

}  // namespace SkinUI
