// How the multi-part downloader cuts a file into byte ranges.
#pragma once

#include <cstdint>
#include <vector>

struct ByteRange {
  std::int64_t offset = 0;  // first byte in the whole file
  std::int64_t size = 0;
  std::int64_t Last() const { return offset + size - 1; }
  bool operator==(const ByteRange&) const = default;
};

constexpr std::int64_t kSplitUnit = 10485760;  // 10 MiB
constexpr int kMostParts = 2;

// One range per started 10 MiB, at least one and at most two; every range
// gets length / n bytes and the last also the remainder.
std::vector<ByteRange> SplitRanges(std::int64_t length);
