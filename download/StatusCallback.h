// How workers report: one callable taking (code, progress, text). The text is
// valid only during the call. Every downloader, runner and the orchestrator
// report through it; callers must never pass an empty one.
#pragma once

#include <functional>

using StatusCallback = std::function<void(int code, double progress, const wchar_t* text)>;

// The downloaders' codes.
enum DownloadCode : int {
  DL_CODE_START = 1001,     // an attempt begins; progress 1, text empty
  DL_CODE_PROGRESS = 1002,  // fraction of the whole file received
  DL_CODE_SUCCESS = 1003,   // the target file is complete; text "LibCurl"
  DL_CODE_FAIL = 1004,      // final failure; progress = last error code (0 after a digest mismatch)
  DL_CODE_RETRY = 1005,     // asks the owner to call Start once more; progress as for 1004
  DL_CODE_INFO = 1006,      // a notice; always followed by 1003, 1004 or 1005
};
