#include "download/CurlDownloader.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/Log.h"
#include "download/Digest.h"
#include "platform/Text.h"

CCurlDownloader::CCurlDownloader(StatusCallback callback_, const std::wstring& url_, const std::wstring& targetPath_)
    : callback(std::move(callback_)), targetPath(targetPath_), url(url_), client(url_, targetPath_, this, &OnCurlProgress) {
  std::remove(Platform::WideToAnsi(client.GetPartFilePath(true)).c_str());
}

CCurlDownloader::~CCurlDownloader() { worker.Join(); }

void CCurlDownloader::Start() {
  worker.Run([this] { dlThreadFun(); });
}

void CCurlDownloader::dlThreadFun() {
  callback(DL_CODE_START, 1.0, L"");
  int budget = kRetryBudget;
  int r = client.Start();
  while (r != 0) {
    budget -= r == 18 ? 1 : 2;
    if (budget < 1) {
      callback(DL_CODE_FAIL, r, L"LibCurl");
      return;
    }
    LogRecord(L"CurlDownLoader Code=%d", r);
    std::this_thread::sleep_for(std::chrono::milliseconds(kRetryPauseMs));
    r = client.Start();
  }

  const std::string expected = GetUrlMd5(client.RealUrl());
  if (IsDigestText(expected)) {
    const std::string computed = GetFileMd5(Platform::WideToAnsi(targetPath));
    if (IsDigestText(computed) && computed != expected) {
      callback(DL_CODE_INFO, 0.0, L"curl文件md5校验失败");
      if (!retried) {
        retried = true;
        callback(DL_CODE_RETRY, 0.0, L"LibCurl");
      } else {
        callback(DL_CODE_FAIL, 0.0, L"LibCurl");
      }
      return;  // nothing may touch this object now: the owner may have started again
    }
  } else {
    callback(DL_CODE_INFO, 0.0, L"curl获取url-md5失败");
  }
  callback(DL_CODE_SUCCESS, 0.0, L"LibCurl");
}

void CCurlDownloader::OnCurlProgress(void* owner, double bytesPerSecond, double, double percent) {
  auto* self = static_cast<CCurlDownloader*>(owner);
  if (bytesPerSecond > 0 && percent <= 100) self->callback(DL_CODE_PROGRESS, percent / 100, L"");
}
