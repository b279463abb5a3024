#include "download/MTCurlDownloader.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <ctime>

#include <fmt/format.h>

#include "app/Log.h"
#include "download/CurlEasy.h"
#include "download/Digest.h"
#include "download/DownloadProbe.h"
#include "download/PartJoiner.h"
#include "download/RangeSplit.h"
#include "download/RangeWriter.h"
#include "platform/Text.h"

namespace {

std::int64_t ExistingSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : 0;
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

CMTCurlDownloader::CMTCurlDownloader(StatusCallback callback_, const std::wstring& url_,
                                     const std::wstring& targetPath_)
    : callback(std::move(callback_)), targetPath(targetPath_), url(url_) {
  const std::string narrowTarget = Platform::WideToAnsi(targetPath);
  std::remove(narrowTarget.c_str());
  DeletePartFiles(narrowTarget);
}

CMTCurlDownloader::~CMTCurlDownloader() {
  worker.Join();
  JoinThreads();
  ClearParts();
}

void CMTCurlDownloader::Start() {
  worker.Run([this] { Start_Down(); });
}

void CMTCurlDownloader::JoinThreads() {
  if (joiner.joinable()) {
    if (joiner.get_id() == std::this_thread::get_id())
      joiner.detach();
    else
      joiner.join();
  }
  for (std::thread& t : rangeThreads)
    if (t.joinable()) t.join();
  rangeThreads.clear();
}

void CMTCurlDownloader::Start_Down() {
  callback(DL_CODE_START, 1.0, L"");
  LogRecord(L"start download");
  // The previous attempt's joining thread has reported its end and returns now.
  JoinThreads();
  const std::string narrowTarget = Platform::WideToAnsi(targetPath);
  const std::string address = url.rfind(L"file:///", 0) == 0 ? Platform::WideToAnsi(url) : Platform::WideToUtf8(url);

  std::remove(narrowTarget.c_str());
  if (progress.LastPercent() == 0.0) DeletePartFiles(narrowTarget);

  if (realUrl.empty() || length < kLeastLength) {
    if (!getRealDownloadUrl(address)) {
      callback(DL_CODE_FAIL, 0.0, L"LibCurl");
      return;
    }
  }

  int index = 0;
  for (const ByteRange& range : SplitRanges(length)) {
    auto* node = new DownloadPartNode;
    node->partPath = narrowTarget + std::to_string(index++);
    std::int64_t existing = ExistingSize(node->partPath);
    if (existing > range.size) {
      // More than the range holds: not this file's bytes. Start the range over.
      std::remove(node->partPath.c_str());
      existing = 0;
    }
    node->received = existing;
    node->start = range.offset + existing;
    node->end = range.Last();
    node->curl = CurlEasy::NewHandle();
    node->url = realUrl;
    node->fileLength = length;
    if (node->start > node->end) {
      node->status = 0;
    } else {
      node->status = -1;
      node->file = std::fopen(node->partPath.c_str(), "ab+");
      if (!node->file) node->status = kPartFileError;
    }
    parts.push_back(node);
  }

  for (DownloadPartNode* node : parts) {
    if (node->status != -1) continue;
    if (!rangeThreads.empty()) Pause(kStartPauseMs);
    ++runningParts;
    rangeThreads.emplace_back(&downloadThreadFun, this, node);
  }
  joiner = std::thread(&waitForFinishThreadFun, this);
}

bool CMTCurlDownloader::getRealDownloadUrl(const std::string& address) {
  realUrl.clear();
  expectedMd5.clear();
  length = 0;
  ProbeAnswer answer;
  if (!ProbeDownload(address, answer)) return false;
  if (!answer.effectiveUrl.empty()) {
    realUrl = answer.effectiveUrl;
    LogRecord(L"Download File real url %s", Platform::Utf8ToWide(realUrl));
    expectedMd5 = GetUrlMd5(realUrl);
  }
  if (answer.length >= 0) {
    length = answer.length;
    LogRecord(L"Download File Length %lld", static_cast<long long>(length));
  }
  return !realUrl.empty() && length >= kLeastLength;
}

int CMTCurlDownloader::downloadExe(DownloadPartNode* node) {
  const std::string range = fmt::format("{}-{}", node->start, node->end);
  RangeWriter::BeginTransfer(*node);
  CURL* h = node->curl;
  int options = curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  options |= curl_easy_setopt(h, CURLOPT_URL, node->url.c_str());
  options |= curl_easy_setopt(h, CURLOPT_TIMEOUT, 0L);
  options |= curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  options |= curl_easy_setopt(h, CURLOPT_MAXREDIRS, CurlEasy::kMaxRedirects);
  options |= curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WritePart);
  options |= curl_easy_setopt(h, CURLOPT_WRITEDATA, node);
  options |= curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &RangeWriter::OnHeader);
  options |= curl_easy_setopt(h, CURLOPT_HEADERDATA, node);
  options |= curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
  options |= curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &ReportProgress);
  options |= curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);
  options |= curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
  options |= curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 60L);
  options |= curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
  options |= curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
  options |= curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  options |= curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, CurlEasy::kLowSpeedSeconds);
  options |= curl_easy_setopt(h, CURLOPT_RANGE, range.c_str());
  if (options != 0) {
    node->status = options;
    return options;
  }

  int result = curl_easy_perform(h);
  if (node->answerRejected)
    result = CURLE_RANGE_ERROR;  // not the range asked for: nothing of it was written
  else if (result == CURLE_WRITE_ERROR && node->start > node->end)
    result = CURLE_OK;  // the server sent past the range's end; the range itself is whole
  else if (result == CURLE_OK && node->start <= node->end)
    result = CURLE_PARTIAL_FILE;  // the answer ended before the range did

  if (result != CURLE_OK)
    LogRecord(L"error:%d:%s", result, CurlEasy::ErrorText(result));
  else
    LogRecord(L"curl_easy_cleanup");
  curl_easy_reset(h);
  if (result == CURLE_OK && node->file) {
    std::fclose(node->file);
    node->file = nullptr;
  }
  node->status = result;
  return result;
}

void CMTCurlDownloader::downloadThreadFun(CMTCurlDownloader* self, DownloadPartNode* node) {
  int budget = kRetryBudget;
  int r = self->downloadExe(node);
  // A server that answers a range with something else will do so again.
  while (r != 0 && r != CURLE_RANGE_ERROR && budget > 0) {
    budget -= r == CURLE_PARTIAL_FILE ? 1 : 2;
    LogRecord(L"CurlDownLoader Code=%d", r);
    Pause(kRetryPauseMs);
    r = self->downloadExe(node);
  }
  if (node->file) {
    std::fclose(node->file);
    node->file = nullptr;
  }
  --self->runningParts;
}

void CMTCurlDownloader::waitForFinishThreadFun(CMTCurlDownloader* self) {
  for (std::thread& t : self->rangeThreads) t.join();
  self->rangeThreads.clear();

  const std::string narrowTarget = Platform::WideToAnsi(self->targetPath);
  int error = 0;
  for (DownloadPartNode* node : self->parts) {
    if (node->status != 0) {
      error = node->status;
      break;
    }
  }
  if (error != 0) {
    self->ClearParts();
    if (self->progress.LastPercent() == 0.0) DeletePartFiles(narrowTarget);
    self->FailAttempt(error);
    return;
  }

  self->progress.Reset();
  std::vector<std::string> partPaths;
  for (DownloadPartNode* node : self->parts) partPaths.push_back(node->partPath);
  const bool joined = JoinParts(partPaths, narrowTarget, self->length);
  for (std::size_t i = 1; i < partPaths.size(); ++i)
    LogRecord(L"partPath::%s", Platform::AnsiToWide(partPaths[i]));
  DeletePartFiles(narrowTarget);
  if (!joined) {
    // Never hand on a file that may be half-joined.
    std::remove(narrowTarget.c_str());
    self->ClearParts();
    self->FailAttempt(kPartFileError);
    return;
  }

  if (IsDigestText(self->expectedMd5)) {
    const std::string computed = GetFileMd5(narrowTarget);
    if (IsDigestText(computed) && computed != self->expectedMd5) {
      self->callback(DL_CODE_INFO, 0.0, L"mtcurl文件md5校验失败");
      std::remove(narrowTarget.c_str());
      self->ClearParts();
      if (self->retried) {
        LogRecord(L"finish recv, md5 chaek failed and retry failed.");
        self->callback(DL_CODE_FAIL, 0.0, L"LibCurl");
      } else {
        self->retried = true;
        LogRecord(L"finish recv, md5 chaek failed retry once.");
        self->callback(DL_CODE_RETRY, 0.0, L"LibCurl");
      }
      return;
    }
  } else {
    self->callback(DL_CODE_INFO, 0.0, L"mtcurl获取url-md5失败");
  }
  LogRecord(L"finish recv");
  self->ClearParts();
  self->callback(DL_CODE_SUCCESS, 0.0, L"LibCurl");
}

void CMTCurlDownloader::FailAttempt(int error) {
  if (retried) {
    progress.Reset();
    callback(DL_CODE_FAIL, error, L"LibCurl");
  } else {
    retried = true;
    callback(DL_CODE_RETRY, error, L"LibCurl");
  }
}

std::size_t CMTCurlDownloader::WritePart(char* ptr, std::size_t size, std::size_t nmemb, void* node) {
  return RangeWriter::Write(ptr, size, nmemb, node);
}

int CMTCurlDownloader::ReportProgress(void* clientp, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* self = static_cast<CMTCurlDownloader*>(clientp);
  std::lock_guard guard(self->lock);
  double percent = 0.0;
  if (self->length >= kLeastLength) {
    for (const DownloadPartNode* node : self->parts) {
      const std::int64_t received = node->received;
      if (received > 0) percent += static_cast<double>(received) * 100.0 / static_cast<double>(self->length);
    }
  }
  if (const auto fraction = self->progress.Evaluate(std::time(nullptr), percent))
    self->callback(DL_CODE_PROGRESS, *fraction, L"");
  return 0;
}

void CMTCurlDownloader::ClearParts() {
  for (DownloadPartNode* node : parts) {
    if (node->curl) curl_easy_cleanup(node->curl);
    if (node->file) std::fclose(node->file);
    delete node;
  }
  parts.clear();
}

void CMTCurlDownloader::DeletePartFiles(const std::string& narrowTargetPath) {
  std::remove((narrowTargetPath + "0").c_str());
  std::remove((narrowTargetPath + "1").c_str());
}
