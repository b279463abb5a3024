// The package file: the package installer program with the product's files
// appended, and a table of them at the end, so that one download carries
// everything an installation needs.
//
//   [program][file 1][file 2]...[table]["VelmoraPayload01"][table offset][table size]
//
// The table is text, one "name size offset" line per file; the two numbers
// after the magic are little-endian 64-bit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Peer {

struct PayloadEntry {
  std::string name;
  std::uint64_t size = 0;
  std::uint64_t offset = 0;
};

// The entries of the package at path; nothing when it carries no table.
std::optional<std::vector<PayloadEntry>> ReadPayloadTable(const std::string& path);

// Copies one entry out of the package to target (replacing it, even while it
// runs), with the given permissions.
bool ExtractEntry(const std::string& package, const PayloadEntry& entry, const std::string& target, unsigned mode);

// Writes a package: the program, then each (name, file) in order, then
// padding bytes of filler under the name "padding" when padding > 0.
bool WritePackage(const std::string& output, const std::string& program,
                  const std::vector<std::pair<std::string, std::string>>& files, std::uint64_t padding);

}  // namespace Peer
