#include "download/CurlClient.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/Log.h"
#include "download/CurlEasy.h"
#include "platform/Text.h"

namespace {

std::int64_t FileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

std::wstring ErrnoText(int error) { return Platform::AnsiToWide(std::strerror(error)).substr(0, 199); }

}  // namespace

CurlClient::CurlClient(const std::wstring& url_, const std::wstring& filePath_, void* owner_, ProgressHook hook)
    : url(url_), filePath(filePath_), owner(owner_), progressHook(hook) {}

CurlClient::~CurlClient() {
  std::remove(Platform::WideToAnsi(GetPartFilePath(true)).c_str());
  abort = true;
}

std::wstring CurlClient::GetPartFilePath(bool withPart) const { return withPart ? filePath + L".part" : filePath; }

int CurlClient::Start() {
  LogRecord(L"start download");
  const std::string partPath = Platform::WideToAnsi(GetPartFilePath(true));
  const std::string targetPath = Platform::WideToAnsi(filePath);
  const std::string address = url.rfind(L"file:///", 0) == 0 ? Platform::WideToAnsi(url) : Platform::WideToUtf8(url);

  if (realUrl.empty() || totalLength < kLeastLength) {
    CURL* head = Head(address);
    realUrl = GetRealUrl(head);
    totalLength = GetDownloadFileLength(head);
    if (head) curl_easy_cleanup(head);
  }
  if (realUrl.empty() || totalLength < kLeastLength) {
    realUrl = GetRealUrl_Str(address);
    if (!realUrl.empty()) totalLength = GetDownloadFileLength_Str(realUrl);
  }

  int result = totalLength < kLeastLength ? kLengthUnknown : Transfer(partPath);
  LogRecord(L"error:%d:%s", result, CurlEasy::ErrorText(result));
  if (result == 0) {
    std::remove(targetPath.c_str());
    if (std::rename(partPath.c_str(), targetPath.c_str()) != 0) {
      // Reporting success without the file would hand the installer nothing.
      lastError = ErrnoText(errno);
      result = kPartFileError;
      LogRecord(L"error:%d:%s", result, lastError);
    }
  }
  LogRecord(L"end download");
  return result;
}

int CurlClient::Transfer(const std::string& partPath) {
  CurlEasy::Handle handle(CurlEasy::NewHandle());
  if (!handle) return kNoHandle;
  FILE* file = std::fopen(partPath.c_str(), "ab+");
  if (!file) {
    lastError = ErrnoText(errno);
    return kPartFileError;
  }
  curl = handle.get();

  CurlEasy::List headers(curl_slist_append(nullptr, "Connection: keep-alive"));
  headers.reset(curl_slist_append(headers.release(), "Accept-Encoding: gzip, deflate"));
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPALIVE, 1L);
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPIDLE, 10L);
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPINTVL, 10L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 0L);
  int options = curl_easy_setopt(curl, CURLOPT_URL, realUrl.c_str());
  options |= curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  options |= curl_easy_setopt(curl, CURLOPT_MAXREDIRS, CurlEasy::kMaxRedirects);
  options |= curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CurlClient::WriteToFile);
  options |= curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
  options |= curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  options |= curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &CurlClient::ProgressCallback);
  options |= curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
  options |= curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  options |= curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 60L);
  // A server that stops sending while keeping the connection would otherwise
  // hold the transfer for ever: TCP keepalive is answered by its kernel.
  options |= curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  options |= curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, CurlEasy::kLowSpeedSeconds);
  options |= curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);

  resumeFrom = FileSize(partPath);
  if (resumeFrom >= 1) options |= curl_easy_setopt(curl, CURLOPT_RESUME_FROM_LARGE, curl_off_t{resumeFrom});

  int result = options ? options : curl_easy_perform(curl);
  long responseCode = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &responseCode);
  curl = nullptr;
  handle.reset();
  std::fclose(file);
  FinishTransfer(result, responseCode, partPath);
  return result;
}

// Judges the part file after the transfer, so that only a file of the probed
// length is ever renamed to the target.
void CurlClient::FinishTransfer(int& result, long responseCode, const std::string& partPath) const {
  if (result == CURLE_RANGE_ERROR) {
    // The server cannot continue the part file: the next transfer starts over.
    std::remove(partPath.c_str());
    return;
  }
  const std::int64_t size = FileSize(partPath);
  const auto expected = static_cast<std::int64_t>(totalLength);
  // 416 to a resumed request: the part file already holds the whole file, or more.
  const bool nothingLeft = result == CURLE_HTTP_RETURNED_ERROR && responseCode == 416 && resumeFrom > 0;
  if (nothingLeft && size == expected) result = 0;
  if (result != 0 && !(nothingLeft && size > expected)) return;
  if (size < expected) {
    result = CURLE_PARTIAL_FILE;  // the connection ended cleanly before the whole file came
  } else if (size > expected) {
    std::remove(partPath.c_str());  // more bytes than the file has: the part file cannot be trusted
    result = CURLE_BAD_DOWNLOAD_RESUME;
  }
}

int CurlClient::ProgressCallback(void* clientp, curl_off_t dltotal, curl_off_t dlnow, curl_off_t, curl_off_t) {
  auto* self = static_cast<CurlClient*>(clientp);
  if (self->abort) return 1;
  const std::int64_t now = std::time(nullptr);
  if (now - self->lastTick < 1) return 0;
  self->lastTick = now;

  curl_off_t speed = 0;
  curl_easy_getinfo(self->curl, CURLINFO_SPEED_DOWNLOAD_T, &speed);
  double percent;
  if (self->totalLength > kLeastLength) {
    percent = static_cast<double>(dlnow + std::max<std::int64_t>(self->resumeFrom, 0)) / self->totalLength * 100.0;
  } else if (dltotal > 0 && dlnow > 0) {
    percent = static_cast<double>(dlnow) * 100.0 / static_cast<double>(dltotal);
  } else {
    return 0;
  }
  if (percent == 0.0) return 0;
  if (self->progressHook) self->progressHook(self->owner, static_cast<double>(speed), 0.0, percent);
  if (dltotal != 0)
    LogRecord(L" %dM %dM   progress:%f%%  speed:%f \n", static_cast<int>(dlnow / 1048576),
              static_cast<int>(dltotal / 1048576), static_cast<double>(static_cast<float>(percent)),
              static_cast<double>(static_cast<float>(static_cast<double>(speed) / 1024.0)));
  return 0;
}

std::size_t CurlClient::WriteToFile(char* ptr, std::size_t size, std::size_t nmemb, void* stream) {
  if (!stream) return 0;
  return std::fwrite(ptr, 1, size * nmemb, static_cast<FILE*>(stream));
}

// Options every probe shares after its address. A HEAD that gets no byte for
// the low-speed time is given up like a stalled transfer.
int CurlClient::SetProbeOptions(CURL* handle, const std::string& address, bool followRedirects, bool withHeader) {
  int options = curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
  if (followRedirects) {
    options |= curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    options |= curl_easy_setopt(handle, CURLOPT_MAXREDIRS, CurlEasy::kMaxRedirects);
  }
  if (withHeader) options |= curl_easy_setopt(handle, CURLOPT_HEADER, 1L);
  options |= curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
  options |= curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &DiscardBody);
  options |= curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, 60L);
  options |= curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  options |= curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  options |= curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, CurlEasy::kLowSpeedSeconds);
  return options;
}

std::size_t CurlClient::DiscardBody(char*, std::size_t size, std::size_t nmemb, void*) { return size * nmemb; }

CURL* CurlClient::Head(const std::string& address) {
  CURL* handle = CurlEasy::NewHandle();
  if (!handle) return nullptr;
  int result = SetProbeOptions(handle, address, true, false);
  if (result == 0) {
    result = curl_easy_perform(handle);
    if (result != 0) LogRecord(L"error:%d:%s", result, CurlEasy::ErrorText(result));
  }
  LogRecord(L"error:%d:%s", result, CurlEasy::ErrorText(result));
  return handle;
}

std::string CurlClient::GetRealUrl(CURL* handle) {
  char* effective = nullptr;
  if (!handle || curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &effective) != CURLE_OK || !effective) return "";
  return effective;
}

double CurlClient::GetDownloadFileLength(CURL* handle) {
  if (!handle) return -1.0;
  curl_off_t length = -1;
  const int lengthResult = curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  LogRecord(L"error:%d:%s", lengthResult, CurlEasy::ErrorText(lengthResult));
  long code = 0;
  const int codeResult = curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &code);
  if (lengthResult != CURLE_OK || codeResult != CURLE_OK || code < 200 || code > 399) return -1.0;
  return static_cast<double>(length);
}

std::string CurlClient::GetRealUrl_Str(const std::string& address) {
  CurlEasy::Handle handle(CurlEasy::NewHandle());
  std::string effective;
  if (handle) {
    int result = SetProbeOptions(handle.get(), address, true, false);
    if (result == 0) result = curl_easy_perform(handle.get());
    if (result != 0)
      LogRecord(L"error:%d:%s", result, CurlEasy::ErrorText(result));
    else
      effective = GetRealUrl(handle.get());
  }
  return effective.empty() ? address : effective;
}

double CurlClient::GetDownloadFileLength_Str(const std::string& address) {
  CurlEasy::Handle handle(CurlEasy::NewHandle());
  if (!handle) return -1.0;
  if (SetProbeOptions(handle.get(), address, false, true) == 0) curl_easy_perform(handle.get());
  curl_off_t length = -1;
  curl_easy_getinfo(handle.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  long code = 0;
  const int codeResult = curl_easy_getinfo(handle.get(), CURLINFO_RESPONSE_CODE, &code);
  LogRecord(L"error:%d:%s", codeResult, CurlEasy::ErrorText(codeResult));
  return length < 0 ? -1.0 : static_cast<double>(length);
}
