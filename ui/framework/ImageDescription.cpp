#include "ui/framework/ImageDescription.h"

#include <algorithm>

#include "ui/framework/AttributeValue.h"
#include "ui/framework/Image.h"

namespace SkinUI {
namespace {

void ApplyKey(ImageDescription& d, std::wstring_view key, std::wstring_view value) {
  if (key == L"file") {
    d.file = value;
  } else if (key == L"res") {
    d.res = value;
  } else if (key == L"restype") {
    d.resType = value;
  } else if (key == L"color") {
    d.color = ParseColor(value);
  } else if (key == L"dest") {
    d.dest = ParseRect(value);
  } else if (key == L"source") {
    d.source = ParseRect(value);
  } else if (key == L"corner" || key == L"scale9") {
    d.corner = ParseRect(value);
  } else if (key == L"mask") {
    d.mask = ParseColor(value);
  } else if (key == L"fade") {
    d.fade = std::clamp(ParseInt(value), 0, 255);
  } else if (key == L"hole") {
    d.hole = value == L"true";
  } else if (key == L"xtiled") {
    d.xtiled = value == L"true";
  } else if (key == L"ytiled") {
    d.ytiled = value == L"true";
  } else if (key == L"hsl") {
    d.hsl = value == L"true";
  }
}

}  // namespace

ImageDescription ImageDescription::Parse(std::wstring_view text) {
  ImageDescription d;
  std::size_t i = 0;
  const auto skipWhitespace = [&] {
    while (i < text.size() && text[i] <= L' ') ++i;
  };
  bool first = true;
  for (;;) {
    skipWhitespace();
    const std::size_t keyStart = i;
    while (i < text.size() && text[i] != L'=' && text[i] > L' ') ++i;
    const std::wstring_view key = text.substr(keyStart, i - keyStart);
    skipWhitespace();
    bool ok = i < text.size() && text[i] == L'=';
    if (ok) {
      ++i;
      skipWhitespace();
      ok = i < text.size() && text[i] == L'\'';
    }
    std::size_t close = std::wstring_view::npos;
    if (ok) {
      close = text.find(L'\'', i + 1);
      ok = close != std::wstring_view::npos;
    }
    if (!ok) {
      // Not a list of pairs at all: the whole text names the image.
      if (first) d.file = text;
      break;
    }
    ApplyKey(d, key, text.substr(i + 1, close - i - 1));
    first = false;
    i = close + 1;
    if (i >= text.size() || text[i] != L' ') break;
  }
  return d;
}

bool CImageSlot::SetText(std::wstring_view text) {
  if (text == text_) return false;
  text_ = text;
  parsed_.reset();
  solid_.reset();
  return true;
}

const ImageDescription& CImageSlot::Description() const {
  if (!parsed_) parsed_ = ImageDescription::Parse(text_);
  return *parsed_;
}

const std::shared_ptr<CImage>& CImageSlot::SolidImage() const {
  const ImageDescription& d = Description();
  if (!solid_ && d.color) solid_ = CImage::Solid(*d.color);
  return solid_;
}

}  // namespace SkinUI
