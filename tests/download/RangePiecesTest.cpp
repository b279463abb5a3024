// The multi-part downloader's pieces on their own: split, answer check,
// progress aggregation, joining.
#include <gtest/gtest.h>

#include "download/PartJoiner.h"
#include "download/ProgressAggregator.h"
#include "download/RangeSplit.h"
#include "download/RangeWriter.h"
#include "tests/download/DownloadTestSupport.h"

namespace {

using namespace DownloadTest;

TEST(RangeSplitTest, OneRangePerStartedTenMiBAtMostTwoLastTakesTheRemainder) {
  const std::int64_t M = kMiB;
  const struct {
    std::int64_t length;
    std::vector<ByteRange> ranges;
  } cases[] = {
      {256, {{0, 256}}},
      {10 * M - 1, {{0, 10 * M - 1}}},
      {10 * M, {{0, 10 * M}}},
      {20 * M, {{0, 10 * M}, {10 * M, 10 * M}}},
      {25 * M + 1, {{0, 12 * M + M / 2}, {12 * M + M / 2, 12 * M + M / 2 + 1}}},
      {100 * M, {{0, 50 * M}, {50 * M, 50 * M}}},
      // Past 2 GiB and 4 GiB: nothing is cut to 32 bits.
      {3 * 1024 * M, {{0, 1536 * M}, {1536 * M, 1536 * M}}},
      {5 * 1024 * M + 3, {{0, 2560 * M + 1}, {2560 * M + 1, 2560 * M + 2}}},
      {0, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitRanges(c.length), c.ranges) << c.length;
}

TEST(RangeWriterTest, AcceptsOnlyAnAnswerThatCarriesTheRangeAskedFor) {
  const struct {
    long status;
    std::string contentRange;
    std::int64_t start, end, fileLength;
    bool fits;
  } cases[] = {
      {206, "bytes 100-199/1000", 100, 199, 1000, true},
      {206, "bytes 100-999/1000", 100, 199, 1000, true},   // more than asked: the writer stops at the end
      {206, "bytes 100-150/1000", 100, 199, 1000, true},   // less: the rest is fetched again
      {206, "bytes 100-199/*", 100, 199, 1000, true},
      {206, "BYTES 100-199/1000", 100, 199, 1000, true},
      {206, "bytes 0-99/1000", 100, 199, 1000, false},     // another range
      {206, "bytes 100-199/2000", 100, 199, 1000, false},  // another file
      {206, "bytes 199-100/1000", 100, 199, 1000, false},
      {206, "", 100, 199, 1000, false},
      {206, "bytes x-199/1000", 100, 199, 1000, false},
      {200, "", 100, 199, 1000, false},                    // range ignored: the whole file from byte 0
      {200, "", 0, 499, 1000, false},                      // the first of two ranges
      {200, "", 0, 999, 1000, true},                       // the whole file was asked for
      {416, "bytes */1000", 100, 199, 1000, false},
      {0, "", 100, 199, 1000, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RangeWriter::AnswerFitsRange(c.status, c.contentRange, c.start, c.end, c.fileLength), c.fits)
        << c.status << " " << c.contentRange << " for " << c.start << "-" << c.end;
}

TEST(RangeWriterTest, NeverWritesPastTheRangeEnd) {
  TempDir dir;
  DownloadPartNode node;
  node.start = 10;
  node.end = 14;
  node.file = std::fopen(dir.Path("p").c_str(), "ab+");
  ASSERT_NE(node.file, nullptr);
  node.answerChecked = true;  // the answer was judged on its headers already
  char data[] = "abcdefgh";
  EXPECT_EQ(RangeWriter::Write(data, 1, 3, &node), 3u);
  EXPECT_EQ(RangeWriter::Write(data + 3, 1, 5, &node), 2u);  // only what the range still misses
  EXPECT_EQ(RangeWriter::Write(data, 1, 1, &node), 0u);      // the range is complete
  std::fclose(node.file);
  EXPECT_EQ(ReadFile(dir.Path("p")), "abcde");
  EXPECT_EQ(node.start, 15);
  EXPECT_EQ(node.received.load(), 5);
}

TEST(ProgressAggregatorTest, ReportsOncePerSecondAndOnlyAfterARiseOfOnePoint) {
  ProgressAggregator progress;
  const struct {
    std::int64_t second;
    double percent;
    double reported;  // -1: nothing
  } steps[] = {
      {100, 0.4, -1},     // below one point over the start (0)
      {100, 5.0, -1},     // same second
      {101, 1.2, 0.012},
      {102, 1.9, -1},     // 0.7 over the last report
      {103, 2.2, 0.022},
      {104, 100.5, -1},   // above 100: ignored
      {105, 100.0, 1.0},
  };
  for (const auto& s : steps) {
    const auto r = progress.Evaluate(s.second, s.percent);
    if (s.reported < 0)
      EXPECT_FALSE(r) << s.percent;
    else
      EXPECT_DOUBLE_EQ(r.value_or(-1), s.reported) << s.percent;
  }
  EXPECT_EQ(progress.LastPercent(), 100.0);
  progress.Reset();
  EXPECT_EQ(progress.LastPercent(), 0.0);
}

TEST(PartJoinerTest, JoinsInOrderAndRefusesWhatIsNotTheWholeFile) {
  TempDir dir;
  const std::string target = dir.Path("pkg");
  WriteFile(target + "0", "first-");
  WriteFile(target + "1", "second");
  EXPECT_TRUE(JoinParts({target + "0", target + "1"}, target, 12));
  EXPECT_EQ(ReadFile(target), "first-second");
  EXPECT_FALSE(Exists(target + "0"));

  WriteFile(target + "0", "first-");  // the second part is gone
  std::filesystem::remove(target + "1");
  EXPECT_FALSE(JoinParts({target + "0", target + "1"}, target, 12));
  WriteFile(target + "0", "first-");
  WriteFile(target + "1", "secon");   // one byte short
  EXPECT_FALSE(JoinParts({target + "0", target + "1"}, target, 12));
}

}  // namespace
