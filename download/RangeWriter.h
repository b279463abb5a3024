// Writes a ranged answer into its part file: never past the range's end, and
// only when the answer really carries the range that was asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "download/DownloadPart.h"

namespace RangeWriter {

// Clears what the previous transfer of the node learnt about its answer.
void BeginTransfer(DownloadPartNode& node);

// libcurl header function (userdata: the node): keeps the final answer's Content-Range.
std::size_t OnHeader(char* buffer, std::size_t size, std::size_t nitems, void* node);

// libcurl write function (userdata: the node). Takes nothing when the node has
// no file, its range is complete, or the answer does not fit the range.
std::size_t Write(char* ptr, std::size_t size, std::size_t nmemb, void* node);

// A 206 whose Content-Range starts at `start` (of a file of fileLength bytes
// when it names a length), or a 200 when the whole file was asked for.
bool AnswerFitsRange(long status, const std::string& contentRange, std::int64_t start, std::int64_t end,
                     std::int64_t fileLength);

}  // namespace RangeWriter
