#include "download/SystemHttpDownloader.h"

#include <sys/stat.h>

#include <ctime>
#include <optional>

#include "app/Log.h"
#include "download/CurlEasy.h"
#include "download/Digest.h"
#include "download/ProgressAggregator.h"
#include "download/SystemHttpClient.h"
#include "platform/Text.h"

SystemHttpDownloader::SystemHttpDownloader(StatusCallback callback_, const std::wstring& url_,
                                           const std::wstring& targetPath_)
    : callback(std::move(callback_)), targetPath(targetPath_), url(url_) {}

SystemHttpDownloader::~SystemHttpDownloader() { worker.Join(); }

void SystemHttpDownloader::Start() {
  worker.Run([this] { DownloadToFile(); });
}

void SystemHttpDownloader::DownloadToFile() {
  callback(DL_CODE_START, 1.0, L"");
  const std::string narrowTarget = Platform::WideToAnsi(targetPath);
  SystemHttpClient client(url);
  client.SetResponseFile(targetPath);
  ProgressAggregator progress;
  client.SetProgressHook([&](double percent) {
    if (const auto fraction = progress.Evaluate(std::time(nullptr), percent))
      callback(DL_CODE_PROGRESS, *fraction, L"");
  });
  const bool sent = client.SendHttpRequest(L"GET");
  const int status = client.StatusNumber();
  LogRecord(L"error:%d:%s status:%d", static_cast<int>(client.LastError()),
            CurlEasy::ErrorText(static_cast<int>(client.LastError())), status);

  // The result the owner learns: the failure's code, the HTTP status of an
  // answer that is no file, 18 for a file shorter or longer than announced,
  // 0 for a digest mismatch.
  std::optional<int> error;
  if (!sent) {
    error = static_cast<int>(client.LastError());
  } else if (status < 200 || status > 299) {
    error = status;
  } else {
    struct stat st {};
    const bool present = ::stat(narrowTarget.c_str(), &st) == 0;
    if (!present || (client.HasContentLength() && static_cast<std::uint64_t>(st.st_size) != client.ContentLength())) {
      error = 18;
    } else {
      const std::string expected = GetUrlMd5(client.EffectiveUrl());
      const std::string computed = IsDigestText(expected) ? GetFileMd5(narrowTarget) : "";
      if (IsDigestText(computed) && computed != expected) {
        LogRecord(L"md5 check failed");
        error = 0;
      }
    }
  }
  if (error)
    callback(DL_CODE_FAIL, *error, L"LibCurl");
  else
    callback(DL_CODE_SUCCESS, 0.0, L"LibCurl");
}
