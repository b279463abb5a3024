// The one interface through which the installer fetches its package. A
// downloader reports everything through its StatusCallback: 1001 when an
// attempt begins, 1002 progress, then exactly one of 1003, 1004 or 1005, each
// possibly preceded by one 1006 notice.
#pragma once

class CDownloader {
 public:
  virtual ~CDownloader() = default;
  // Begins (or begins again) the download on a worker thread and returns at
  // once. May be called from inside the callback, on the downloader's thread.
  virtual void Start() = 0;
};
