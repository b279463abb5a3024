// The downloader of download type 2: one GET through SystemHttpClient into
// the target file. It reports 1001 when it begins, progress while the length
// is known, and then 1003 only for a whole 2xx answer (of the announced length
// and, where the final address names one, the right digest); anything else
// is 1004.
#pragma once

#include <string>

#include "download/DownloadWorker.h"
#include "download/Downloader.h"
#include "download/StatusCallback.h"

class SystemHttpDownloader final : public CDownloader {
 public:
  SystemHttpDownloader(StatusCallback callback, const std::wstring& url, const std::wstring& targetPath);
  ~SystemHttpDownloader() override;

  void Start() override;

 private:
  void DownloadToFile();

  StatusCallback callback;
  std::wstring targetPath;
  std::wstring url;
  DownloadWorker worker;
};
