#include "download/RangeSplit.h"

std::vector<ByteRange> SplitRanges(std::int64_t length) {
  std::vector<ByteRange> ranges;
  if (length <= 0) return ranges;
  std::int64_t n = length / kSplitUnit;
  if (n == 0) n = 1;
  if (n > kMostParts) n = kMostParts;
  const std::int64_t each = length / n;
  for (std::int64_t i = 0, offset = 0; i < n; ++i, offset += each)
    ranges.push_back({offset, i == n - 1 ? each + length % n : each});
  return ranges;
}
