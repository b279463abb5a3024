// Resources linked into the program, found by type and id as on Windows.
//
// The table itself lives in whatever library the program links for it
// (velmora_resources); this layer only looks entries up, so a program linked
// without a table simply finds nothing. The installer's table holds:
//
//   L"ZIPRES"     147  the skin: a 7z archive of the window layouts and images
//   L"GROUP_ICON" 145  the program icon: an icon file (ICONDIR) whose nine
//                      32-bit images (256, 128, 96, 72, 64, 48, 32, 24 and 16
//                      pixels, in that order) are PNG data; ReadIconGroup()
//                      lists them
//   L"VERSION"    1    the version record as UTF-8 "Key=Value" lines (see
//                      resources/VersionInfo.h for the fields and their text)
//
// The bytes are read-only and live as long as the program. Every resource is
// followed by a zero byte that its size does not count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace Platform {

inline constexpr std::wstring_view kResourceTypeSkin = L"ZIPRES";
inline constexpr std::wstring_view kResourceTypeIconGroup = L"GROUP_ICON";
inline constexpr std::wstring_view kResourceTypeVersion = L"VERSION";

struct ResourceEntry {
  std::wstring_view type;
  int id;
  const std::uint8_t* begin;
  const std::uint8_t* end;
};

// The bytes of resource (type, id); empty when the program has none. Type
// names match ignoring ASCII letter case, as resource type names do on Windows.
std::span<const std::uint8_t> FindResource(std::wstring_view type, int id);

// Every entry of the linked table (empty without one).
std::span<const ResourceEntry> ResourceTable();

struct IconImage {
  int width;   // pixels
  int height;
  std::span<const std::uint8_t> data;  // PNG (or DIB) bytes of the image
};

// The images of an icon file, in file order; empty when the bytes are not a
// well-formed icon file (bad header, an entry outside the data).
std::vector<IconImage> ReadIconGroup(std::span<const std::uint8_t> bytes);

}  // namespace Platform
