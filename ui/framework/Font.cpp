#include "ui/framework/Font.h"

#include <algorithm>

#include "platform/Text.h"

namespace SkinUI {
namespace {

// Faces the layouts name may be missing here; a CJK sans stands in, so that
// Latin and Chinese glyphs come from one face rather than a mix.
constexpr char kFallbackFaces[] = ",Microsoft YaHei,WenQuanYi Micro Hei,Noto Sans CJK SC,Droid Sans Fallback,sans-serif";

}  // namespace

CFont::CFont(std::wstring face, int size, bool bold, bool underline, bool italic)
    : face_(std::move(face)), size_(std::clamp(size, 1, 512)), bold_(bold), underline_(underline), italic_(italic) {
  description_.reset(pango_font_description_new());
  std::string families = Platform::WideToUtf8(face_);
  // A family list is separated by commas; a face name must not split it.
  std::replace(families.begin(), families.end(), ',', ' ');
  families += kFallbackFaces;
  pango_font_description_set_family(description_.get(), families.c_str());
  pango_font_description_set_absolute_size(description_.get(), static_cast<double>(size_) * PANGO_SCALE);
  pango_font_description_set_weight(description_.get(), bold_ ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(description_.get(), italic_ ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
}

}  // namespace SkinUI

// Fontconfig keeps its process-wide caches behind pointers a leak checker
// cannot follow; what it reports there is not lost memory.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
