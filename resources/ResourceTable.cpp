// The resource table of the program: every resource the build produced, found
// by type and id through Platform::FindResource. Each file is embedded with
// .incbin; a zero byte follows every resource (not counted in its size), so
// text resources can be read as C strings.
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "ResourcePaths.h"
#include "platform/Resources.h"

// Places the bytes of <file> between the symbols <symbol>_begin and
// <symbol>_end in read-only data, followed by one zero byte.
#define VELMORA_EMBED(symbol, file)                  \
  asm(".pushsection .rodata\n"                       \
      ".balign 16\n"                                 \
      ".globl " #symbol "_begin, " #symbol "_end\n"  \
      ".hidden " #symbol "_begin, " #symbol "_end\n" \
      #symbol "_begin:\n"                            \
      ".incbin \"" file "\"\n"                       \
      #symbol "_end:\n"                              \
      ".byte 0\n"                                    \
      ".popsection\n")

VELMORA_EMBED(velmora_res_skin, VELMORA_SKIN_ARCHIVE_FILE);
VELMORA_EMBED(velmora_res_icon, VELMORA_ICON_FILE);
VELMORA_EMBED(velmora_res_version, VELMORA_VERSION_FILE);

extern "C" {
extern const std::uint8_t velmora_res_skin_begin[], velmora_res_skin_end[];
extern const std::uint8_t velmora_res_icon_begin[], velmora_res_icon_end[];
extern const std::uint8_t velmora_res_version_begin[], velmora_res_version_end[];
}

namespace {

constexpr Platform::ResourceEntry kTable[] = {
    {Platform::kResourceTypeSkin, 147, velmora_res_skin_begin, velmora_res_skin_end},
    {Platform::kResourceTypeIconGroup, 145, velmora_res_icon_begin, velmora_res_icon_end},
    {Platform::kResourceTypeVersion, 1, velmora_res_version_begin, velmora_res_version_end},
};

}  // namespace

extern "C" const Platform::ResourceEntry* velmora_resource_table(std::size_t* count) {
  *count = std::size(kTable);
  return kTable;
}
