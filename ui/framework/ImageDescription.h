// The image attribute syntax: a plain entry name, or key='value' pairs
// separated by white space, e.g.
//   file='res\mainWnd\installPrg1.png' corner='2,2,2,2' fade='255'
// Parsed once per image slot, the first time the slot is drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ui/framework/Geometry.h"

namespace SkinUI {

class CImage;

struct ImageDescription {
  std::wstring file;
  std::wstring res;
  std::wstring resType;
  std::optional<std::uint32_t> color;
  Rect dest;
  Rect source;
  Rect corner;
  std::uint32_t mask = 0;
  int fade = 255;
  bool hole = false;
  bool xtiled = false;
  bool ytiled = false;
  bool hsl = false;

  static ImageDescription Parse(std::wstring_view text);
  bool operator==(const ImageDescription&) const = default;
};

// An image attribute of a control: its text and, once drawn, its parsed form.
class CImageSlot {
 public:
  CImageSlot() = default;
  explicit CImageSlot(std::wstring text) : text_(std::move(text)) {}

  const std::wstring& GetText() const { return text_; }
  // Returns false when the text did not change.
  bool SetText(std::wstring_view text);
  bool IsEmpty() const { return text_.empty(); }
  const ImageDescription& Description() const;
  // The one-pixel image of a `color` description, made once.
  const std::shared_ptr<CImage>& SolidImage() const;

 private:
  std::wstring text_;
  mutable std::optional<ImageDescription> parsed_;
  mutable std::shared_ptr<CImage> solid_;
};

}  // namespace SkinUI
