#include "download/RangeWriter.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

namespace RangeWriter {
namespace {

constexpr std::size_t kMostContentRange = 256;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool ParseNumber(std::string_view s, std::int64_t& value) {
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  return error == std::errc() && end == s.data() + s.size() && value >= 0;
}

}  // namespace

void BeginTransfer(DownloadPartNode& node) {
  node.contentRange.clear();
  node.answerChecked = false;
  node.answerRejected = false;
}

std::size_t OnHeader(char* buffer, std::size_t size, std::size_t nitems, void* userdata) {
  auto& node = *static_cast<DownloadPartNode*>(userdata);
  const std::string_view line(buffer, size * nitems);
  if (StartsWithNoCase(line, "HTTP/"))
    node.contentRange.clear();  // a new answer (after a redirect) starts
  else if (StartsWithNoCase(line, "Content-Range:"))
    node.contentRange = Trim(line.substr(14)).substr(0, kMostContentRange);
  return size * nitems;
}

bool AnswerFitsRange(long status, const std::string& contentRange, std::int64_t start, std::int64_t end,
                     std::int64_t fileLength) {
  if (status == 200) return start == 0 && end == fileLength - 1;
  if (status != 206) return false;
  // "bytes <first>-<last>/<length or *>"
  std::string_view s = contentRange;
  if (!StartsWithNoCase(s, "bytes ")) return false;
  s = Trim(s.substr(6));
  const auto dash = s.find('-');
  const auto slash = s.find('/');
  if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash) return false;
  std::int64_t first, last, length;
  if (!ParseNumber(s.substr(0, dash), first) || !ParseNumber(s.substr(dash + 1, slash - dash - 1), last)) return false;
  if (first != start || last < first) return false;
  const std::string_view total = s.substr(slash + 1);
  return total == "*" || (ParseNumber(total, length) && length == fileLength);
}

std::size_t Write(char* ptr, std::size_t size, std::size_t nmemb, void* userdata) {
  auto& node = *static_cast<DownloadPartNode*>(userdata);
  if (!node.file || node.start > node.end) return 0;
  if (!node.answerChecked) {
    node.answerChecked = true;
    long status = 0;
    curl_easy_getinfo(node.curl, CURLINFO_RESPONSE_CODE, &status);
    if (!AnswerFitsRange(status, node.contentRange, node.start, node.end, node.fileLength)) {
      node.answerRejected = true;
      return 0;
    }
  }
  const std::int64_t n = static_cast<std::int64_t>(size * nmemb);
  const std::int64_t take = std::min(n, node.end - node.start + 1);
  const auto written = static_cast<std::int64_t>(std::fwrite(ptr, 1, static_cast<std::size_t>(take), node.file));
  node.start += written;
  node.received += written;
  return static_cast<std::size_t>(written);
}

}  // namespace RangeWriter
