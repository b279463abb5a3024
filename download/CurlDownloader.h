// The single-stream downloader: one resumable GET through CurlClient, retried
// within a budget, then checked against the digest in the final address.
#pragma once

#include <string>

#include "download/CurlClient.h"
#include "download/DownloadWorker.h"
#include "download/Downloader.h"
#include "download/StatusCallback.h"

class CCurlDownloader final : public CDownloader {
 public:
  // Retry budget per attempt: result 18 (partial file) costs 1, any other 2.
  static constexpr int kRetryBudget = 12;
  static constexpr int kRetryPauseMs = 500;

  // Deletes the part file of an earlier run: a new downloader never resumes it.
  CCurlDownloader(StatusCallback callback, const std::wstring& url, const std::wstring& targetPath);
  ~CCurlDownloader() override;

  void Start() override;

 private:
  void dlThreadFun();
  static void OnCurlProgress(void* owner, double bytesPerSecond, double reserved, double percent);

  StatusCallback callback;
  std::wstring targetPath;
  std::wstring url;
  CurlClient client;
  DownloadWorker worker;
  bool retried = false;
};
