#include "platform/Resources.h"

// Defined by the library that holds the table; weak, so that programs without
// one link and find nothing.
extern "C" const Platform::ResourceEntry* velmora_resource_table(std::size_t* count) __attribute__((weak));

namespace Platform {
namespace {

bool SameTypeName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const wchar_t x = a[i] >= L'a' && a[i] <= L'z' ? a[i] - L'a' + L'A' : a[i];
    const wchar_t y = b[i] >= L'a' && b[i] <= L'z' ? b[i] - L'a' + L'A' : b[i];
    if (x != y) return false;
  }
  return true;
}

std::uint32_t Little16(const std::uint8_t* p) { return p[0] | (std::uint32_t{p[1]} << 8); }
std::uint32_t Little32(const std::uint8_t* p) { return Little16(p) | (Little16(p + 2) << 16); }

}  // namespace

std::span<const ResourceEntry> ResourceTable() {
  if (velmora_resource_table == nullptr) return {};
  std::size_t count = 0;
  const ResourceEntry* entries = velmora_resource_table(&count);
  return {entries, count};
}

std::span<const std::uint8_t> FindResource(std::wstring_view type, int id) {
  for (const ResourceEntry& entry : ResourceTable()) {
    if (entry.id == id && SameTypeName(entry.type, type)) return {entry.begin, entry.end};
  }
  return {};
}

std::vector<IconImage> ReadIconGroup(std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kHeader = 6;
  constexpr std::size_t kEntry = 16;
  if (bytes.size() < kHeader || Little16(&bytes[0]) != 0 || Little16(&bytes[2]) != 1) return {};
  const std::size_t count = Little16(&bytes[4]);
  if (bytes.size() < kHeader + count * kEntry) return {};
  std::vector<IconImage> images;
  images.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = &bytes[kHeader + i * kEntry];
    const std::size_t size = Little32(entry + 8);
    const std::size_t offset = Little32(entry + 12);
    if (offset > bytes.size() || size > bytes.size() - offset) return {};
    // A width or height byte of 0 stands for 256.
    images.push_back({entry[0] == 0 ? 256 : entry[0], entry[1] == 0 ? 256 : entry[1], bytes.subspan(offset, size)});
  }
  return images;
}

}  // namespace Platform
