// The console line protocol's helpers: whole lines out of the child's output
// reads, decoding by the runner's code page, keys and their values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "install/ConsoleProcess.h"

namespace Utils {

// Turns the child's output, read in pieces of any size, into lines: the bytes
// before each line feed (a carriage return before it stays in the line). A
// line written across several reads is handed on whole, so multi-byte
// characters survive too. Bytes after the last line feed form a line of
// their own at the end.
class LineAssembler {
 public:
  // A line that grows to this many bytes is handed on at once, cut there,
  // and the rest of it up to the next line feed is dropped. It is far beyond
  // the longest key with the longest value (kMaxTextValue characters of up to
  // four bytes each), so a cut line keeps its key and its whole value.
  static constexpr std::size_t kMaxLineBytes = 4096;

  using LineHandler = std::function<void(std::string_view line)>;

  void Feed(std::string_view chunk, const LineHandler& onLine);
  // The end of the output: hands on what is left after the last line feed.
  void Finish(const LineHandler& onLine);

 private:
  // Where the assembler is within the current line.
  enum class State {
    Collecting,  // gathering the line's bytes
    AfterZero,   // a zero byte ended the line's text; the rest up to the line feed is dropped
    Overlong,    // the line was handed on cut at kMaxLineBytes; the rest is dropped
  };

  std::string line_;
  State state_ = State::Collecting;
};

// What a runner's Parse tells of the lines it handled.
enum LineResult : int {
  kNoResultLine = 0,
  kSuccessLine = 1,
  kFailureLine = 1000,
};

// Starts nothing: reads a started child's output until it has exited and
// hands on each whole line, then waits for the child and returns how it ended.
ExitStatus ReadLinesUntilExit(ConsoleProcess& child, const LineAssembler::LineHandler& onLine);

// The code page chosen by "Encode=": 0 the system's narrow encoding, 65001
// UTF-8, any other number a numbered code page. One the system does not know
// decodes everything to empty text; undecodable bytes become U+FFFD.
std::wstring DecodeLine(std::int32_t codePage, std::string_view bytes);

// Decoded text split at each line feed, as above.
std::vector<std::wstring> SplitLines(std::wstring_view text);

// The line begins with the key, compared exactly and case-sensitively.
bool HasKey(std::wstring_view line, std::wstring_view key);

// One key of a line protocol and what it stands for.
template <typename Key>
struct KeyRule {
  std::wstring_view text;
  Key key;
};

// The first rule, in table order, whose key begins the line; nullptr when
// none does and the line is to be ignored.
template <typename Key, std::size_t N>
const KeyRule<Key>* MatchKey(std::wstring_view line, const KeyRule<Key> (&rules)[N]) {
  for (const KeyRule<Key>& rule : rules)
    if (HasKey(line, rule.text)) return &rule;
  return nullptr;
}

// A text value has at most this many characters; a longer one is cut.
constexpr std::size_t kMaxTextValue = 771;

// The values after a key that begins the line, scanned as C's "%lf", "%d"
// and "%[^\n]" would: leading white space is skipped before numbers, trailing
// characters are ignored, and what cannot be scanned gives the fallback.
double ScanDouble(std::wstring_view line, std::wstring_view key, double fallback = 0);
// The number's low 32 bits, so "-1" and "4294967295" give the same bits.
std::int32_t ScanInt(std::wstring_view line, std::wstring_view key, std::int32_t fallback = 0);
// "%d.%d.%d": fills fields in order until one cannot be scanned; the others
// keep their values.
void ScanVersion(std::wstring_view line, std::wstring_view key, std::int32_t (&fields)[3]);
// The rest of the line, carriage return included, cut to kMaxTextValue.
std::wstring ScanText(std::wstring_view line, std::wstring_view key);

// White space (space, tab, line feed, vertical tab, form feed, carriage
// return) removed from both ends.
std::wstring_view Trimmed(std::wstring_view value);
bool TrimmedEquals(std::wstring_view value, std::wstring_view literal);

// A decimal integer (leading white space and a sign allowed, trailing
// characters ignored); 0 when there is none or it does not fit 32 bits.
std::int32_t ParseDecimal(std::wstring_view value);

}  // namespace Utils
