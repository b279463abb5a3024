#include "tools/package/Payload.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace Peer {
namespace {

constexpr char kMagic[] = "VelmoraPayload01";
constexpr std::size_t kMagicSize = sizeof kMagic - 1;
constexpr std::size_t kFooterSize = kMagicSize + 16;
constexpr std::uint64_t kMaxTable = 1 << 20;

void PutLe64(std::string& out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint64_t GetLe64(const char* bytes) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

bool CopyStream(std::istream& in, std::ostream& out, std::uint64_t size) {
  char buffer[65536];
  while (size > 0) {
    const std::size_t n = size < sizeof buffer ? static_cast<std::size_t>(size) : sizeof buffer;
    if (!in.read(buffer, static_cast<std::streamsize>(n))) return false;
    if (!out.write(buffer, static_cast<std::streamsize>(n))) return false;
    size -= n;
  }
  return true;
}

}  // namespace

std::optional<std::vector<PayloadEntry>> ReadPayloadTable(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const auto fileSize = static_cast<std::uint64_t>(in.tellg());
  if (fileSize < kFooterSize) return std::nullopt;
  char footer[kFooterSize];
  in.seekg(static_cast<std::streamoff>(fileSize - kFooterSize));
  if (!in.read(footer, kFooterSize) || std::memcmp(footer, kMagic, kMagicSize) != 0) return std::nullopt;
  const std::uint64_t tableOffset = GetLe64(footer + kMagicSize);
  const std::uint64_t tableSize = GetLe64(footer + kMagicSize + 8);
  if (tableSize > kMaxTable || tableOffset + tableSize > fileSize - kFooterSize) return std::nullopt;
  std::string table(static_cast<std::size_t>(tableSize), '\0');
  in.seekg(static_cast<std::streamoff>(tableOffset));
  if (!in.read(table.data(), static_cast<std::streamsize>(tableSize))) return std::nullopt;

  std::vector<PayloadEntry> entries;
  std::istringstream lines(table);
  PayloadEntry entry;
  while (lines >> entry.name >> entry.size >> entry.offset) {
    if (entry.offset + entry.size > tableOffset) return std::nullopt;
    entries.push_back(entry);
  }
  return entries;
}

bool ExtractEntry(const std::string& package, const PayloadEntry& entry, const std::string& target, unsigned mode) {
  std::ifstream in(package, std::ios::binary);
  if (!in) return false;
  in.seekg(static_cast<std::streamoff>(entry.offset));
  // Written beside the target and renamed over it: a running program's file
  // cannot be rewritten in place.
  const std::string temporary = target + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out || !CopyStream(in, out, entry.size) || !out.flush()) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (::chmod(temporary.c_str(), mode) != 0 || std::rename(temporary.c_str(), target.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

bool WritePackage(const std::string& output, const std::string& program,
                  const std::vector<std::pair<std::string, std::string>>& files, std::uint64_t padding) {
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  std::string table;
  auto append = [&](const std::string& path) -> std::optional<std::uint64_t> {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::uint64_t>(in.tellg());
    in.seekg(0);
    if (!CopyStream(in, out, size)) return std::nullopt;
    return size;
  };
  if (!append(program)) return false;
  for (const auto& [name, path] : files) {
    const auto offset = static_cast<std::uint64_t>(out.tellp());
    const auto size = append(path);
    if (!size) return false;
    table += name + " " + std::to_string(*size) + " " + std::to_string(offset) + "\n";
  }
  if (padding > 0) {
    // Filler that does not compress, as a real package's data would not.
    const auto offset = static_cast<std::uint64_t>(out.tellp());
    std::uint32_t state = 0x9E3779B9u;
    std::string block(4096, '\0');
    for (std::uint64_t left = padding; left > 0;) {
      for (char& c : block) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
      }
      const std::size_t n = left < block.size() ? static_cast<std::size_t>(left) : block.size();
      out.write(block.data(), static_cast<std::streamsize>(n));
      left -= n;
    }
    table += "padding " + std::to_string(padding) + " " + std::to_string(offset) + "\n";
  }
  const auto tableOffset = static_cast<std::uint64_t>(out.tellp());
  std::string footer(kMagic, kMagicSize);
  PutLe64(footer, tableOffset);
  PutLe64(footer, table.size());
  out << table << footer;
  out.close();
  return static_cast<bool>(out) && ::chmod(output.c_str(), 0755) == 0;
}

}  // namespace Peer
