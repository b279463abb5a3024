// The multi-part downloader: probes the address once, fetches at most two
// byte ranges in parallel into part files (each with its own retry budget and
// resume), joins them, checks the digest of the final address and reports.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "download/DownloadPart.h"
#include "download/DownloadWorker.h"
#include "download/Downloader.h"
#include "download/ProgressAggregator.h"
#include "download/StatusCallback.h"

class CMTCurlDownloader final : public CDownloader {
 public:
  using DownloadPartNode = ::DownloadPartNode;

  static constexpr std::int64_t kLeastLength = 256;
  // Retry budget per range: result 18 (partial file) costs 1, any other 2.
  static constexpr int kRetryBudget = 12;
  static constexpr int kRetryPauseMs = 400;
  static constexpr int kStartPauseMs = 100;
  // A part file that cannot be opened (or joined).
  static constexpr int kPartFileError = -2;

  // Deletes the target and both part files of an earlier run.
  CMTCurlDownloader(StatusCallback callback, const std::wstring& url, const std::wstring& targetPath);
  ~CMTCurlDownloader() override;

  void Start() override;

  static std::size_t WritePart(char* ptr, std::size_t size, std::size_t nmemb, void* node);
  static int ReportProgress(void* clientp, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal,
                            curl_off_t ulnow);
  static void DeletePartFiles(const std::string& narrowTargetPath);

 private:
  void Start_Down();
  bool getRealDownloadUrl(const std::string& address);
  int downloadExe(DownloadPartNode* node);
  static void downloadThreadFun(CMTCurlDownloader* downloader, DownloadPartNode* node);
  static void waitForFinishThreadFun(CMTCurlDownloader* downloader);
  // Ends a failed attempt: 1005 the first time in the downloader's life, then 1004.
  void FailAttempt(int error);
  void ClearParts();
  void JoinThreads();

  std::list<DownloadPartNode*> parts;
  StatusCallback callback;
  std::wstring targetPath;
  std::wstring url;
  std::string realUrl;
  std::int64_t length = -1;
  std::string expectedMd5;
  std::atomic<int> runningParts{0};
  std::mutex lock;  // serialises ReportProgress: guards progress and the 1002 report
  ProgressAggregator progress;
  bool retried = false;
  DownloadWorker worker;
  // The range threads and the joining thread of the current attempt; each
  // attempt's joining thread joins its range threads.
  std::vector<std::thread> rangeThreads;
  std::thread joiner;
};
