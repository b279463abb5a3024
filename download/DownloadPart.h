// One byte range of a multi-part download and its part file.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

struct DownloadPartNode {
  FILE* file = nullptr;      // the part file, open for append
  std::int64_t start = 0;    // offset in the whole file of the next byte to fetch
  std::int64_t end = -1;     // offset of the range's last byte (inclusive)
  CURL* curl = nullptr;      // reused across the range's retries
  std::string url;
  std::string partPath;
  int status = -1;           // -1 to fetch, 0 complete, -2 part file unusable, else the last libcurl result
  std::atomic<std::int64_t> received{0};  // bytes of the range present, part file included

  // The answer being received, judged by the range writer before its first byte.
  std::int64_t fileLength = 0;
  std::string contentRange;
  bool answerChecked = false;
  bool answerRejected = false;
};
