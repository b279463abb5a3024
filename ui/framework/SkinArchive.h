// The skin: a 7z archive whose entries are all decompressed once, when it is
// opened, and then served by name out of memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace SkinUI {

class CSkinArchive {
 public:
  // Limits on what an archive may make us hold: an entry above the first is
  // skipped, and decompression stops once the total is reached.
  static constexpr std::uint64_t kMaxEntrySize = 32ull << 20;
  static constexpr std::uint64_t kMaxTotalSize = 128ull << 20;

  struct Entry {
    std::wstring name;         // as stored, "/" separated
    std::size_t nameLength;    // in characters, including a terminator
    int index;                 // position in the archive
    std::vector<std::uint8_t> bytes;
    std::uint64_t size;
  };

  struct Found {
    int index;
    std::uint64_t size;
  };

  // Null when the archive's database cannot be read. An extraction error
  // part-way keeps the entries before it.
  static std::unique_ptr<CSkinArchive> Open(std::span<const std::uint8_t> bytes);
  static std::unique_ptr<CSkinArchive> Open(const std::wstring& path);

  // "\" counts as "/", letter case is ignored; the first match in archive order wins.
  std::optional<Found> Find(std::wstring_view name) const;
  // Copies the whole entry into `destination`, which must hold its size.
  bool Unpack(int index, std::span<std::uint8_t> destination) const;
  // The entry's bytes without copying; null for an unknown index.
  const std::vector<std::uint8_t>* Bytes(int index) const;

  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  CSkinArchive() = default;
  const Entry* ByIndex(int index) const;

  std::vector<Entry> entries_;
};

}  // namespace SkinUI
