#include "download/SystemHttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cwctype>

#include <fmt/printf.h>
#include <fmt/xchar.h>

#include "download/CurlEasy.h"
#include "download/ProxyDiscovery.h"
#include "platform/DebugOutput.h"
#include "platform/Text.h"

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  for (std::size_t i = 0; prefix[i]; ++i)
    if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(prefix[i])) return false;
  return true;
}

std::string TrimLineEnd(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

// Results that mean the request never reached a server.
bool NotSent(int result, long responseCode) {
  if (responseCode != 0) return false;
  switch (result) {
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SEND_ERROR:
      return true;
    default:
      return false;
  }
}

}  // namespace

SystemHttpClient::SystemHttpClient(const std::wstring& address) : requestUrl(address) {}

SystemHttpClient::~SystemHttpClient() {
  if (session) curl_easy_cleanup(static_cast<CURL*>(session));
}

int SystemHttpClient::StatusNumber() const {
  try {
    return statusCode.empty() ? 0 : std::stoi(statusCode);
  } catch (...) {
    return 0;
  }
}

bool SystemHttpClient::SendHttpRequest(const std::wstring& verb) {
  if (requestUrl.empty()) {
    lastError = kErrorNoAddress;
    return false;
  }
  std::wstring upper = verb;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t c) { return std::towupper(c); });
  if (upper != L"GET" && upper != L"POST") {
    lastError = kErrorBadVerb;
    return false;
  }
  if (!session) {
    session = CurlEasy::NewHandle();
    if (!session) {
      lastError = CURLE_FAILED_INIT;
      return false;
    }
  }
  CURL* h = static_cast<CURL*>(session);
  const std::string address = Platform::WideToUtf8(requestUrl);
  const std::string agent = Platform::WideToUtf8(userAgent);
  curl_easy_reset(h);
  curl_easy_setopt(h, CURLOPT_URL, address.c_str());
  curl_easy_setopt(h, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, CurlEasy::kMaxRedirects);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  // Sending and receiving give up when nothing moves for their time-out.
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, std::max(kSendTimeoutMs, kReceiveTimeoutMs) / 1000);
  // The first tries go directly, whatever the environment says.
  curl_easy_setopt(h, CURLOPT_PROXY, "");
  if (address.rfind("https:", 0) == 0 && !requireValidCertificate) {
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
  }
  if (upper == L"POST") {
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, 0L);
  }
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &OnHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &OnProgress);
  curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);

  const bool get = upper == L"GET";
  bool ok = false;
  for (int attempt = 0; attempt < kTries && !ok; ++attempt) {
    int result = PerformOnce(h, get);
    long code = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
    if (result != CURLE_OK && NotSent(result, code) && proxy.empty()) {
      proxy = DiscoverProxy(address);
      if (!proxy.empty()) {
        curl_easy_setopt(h, CURLOPT_PROXY, proxy.c_str());
        curl_easy_setopt(h, CURLOPT_NOPROXY, "");  // the configuration has already applied its bypass list
        result = PerformOnce(h, get);
      }
    }
    if (result == CURLE_OK)
      ok = true;
    else if (lastError != kErrorIncompletePage)
      lastError = static_cast<std::uint32_t>(result);
  }
  return ok;
}

int SystemHttpClient::PerformOnce(void* handle, bool get) {
  CURL* h = static_cast<CURL*>(handle);
  responseHeaders.clear();
  responseBuffer.clear();
  responseContent.clear();
  receivedBytes = 0;
  contentLength = 0;
  hasContentLength = false;
  statusCode.clear();
  lastError = 0;
  // Every try starts from an empty file: bytes of an earlier run or try must
  // never end up in front of the answer.
  if (!responseFile.empty()) {
    file = std::fopen(Platform::WideToAnsi(responseFile).c_str(), "wb");
    if (!file) {
      lastError = static_cast<std::uint32_t>(errno);
      Platform::OutputDebugString(fmt::sprintf(L"Failed to open response file. Error code: %d", lastError));
      return CURLE_WRITE_ERROR;
    }
  }
  int result = curl_easy_perform(h);
  if (file && std::fclose(static_cast<FILE*>(file)) != 0 && result == CURLE_OK) result = CURLE_WRITE_ERROR;
  file = nullptr;

  long code = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
  statusCode = code ? std::to_wstring(code) : L"";
  char* effective = nullptr;
  if (curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective) effectiveUrl = effective;

  if (responseFile.empty()) {
    const bool utf8 = responseCharset.size() >= 5 && StartsWithNoCase(Platform::WideToUtf8(responseCharset), "utf-8");
    responseContent = utf8 ? Platform::Utf8ToWide(responseBuffer) : Platform::AnsiToWide(responseBuffer);
    if (result == CURLE_OK && get && responseContent.find(L"<html>") != std::wstring::npos &&
        responseContent.find(L"</html>") == std::wstring::npos) {
      lastError = kErrorIncompletePage;
      return CURLE_PARTIAL_FILE;
    }
  }
  return result;
}

std::size_t SystemHttpClient::OnHeader(char* buffer, std::size_t size, std::size_t nitems, void* userdata) {
  auto* self = static_cast<SystemHttpClient*>(userdata);
  const std::size_t n = size * nitems;
  const std::string line(buffer, n);
  if (StartsWithNoCase(line, "HTTP/")) {
    // A new answer (after a redirect): only the last one's headers count.
    self->responseHeaders.clear();
    self->location.clear();
    self->hasContentLength = false;
  }
  if (self->responseHeaders.size() + n <= kMostHeaderBytes) self->responseHeaders += Platform::Utf8ToWide(line);

  if (StartsWithNoCase(line, "Content-Length:")) {
    try {
      self->contentLength = std::stoull(line.substr(15));
      self->hasContentLength = true;
    } catch (...) {
    }
  } else if (StartsWithNoCase(line, "Location:")) {
    std::string value = TrimLineEnd(line.substr(9));
    value.erase(0, value.find_first_not_of(' '));
    if (value.rfind("http:", 0) == 0 || value.rfind("https:", 0) == 0) self->location = Platform::Utf8ToWide(value);
  }
  if (const auto at = line.find("charset="); at != std::string::npos) {
    std::string charset;
    for (std::size_t i = at + 8; i < line.size(); ++i) {
      const char c = line[i];
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') break;
      charset += c;
    }
    if (!charset.empty()) self->responseCharset = Platform::Utf8ToWide(charset);
  }
  return n;
}

std::size_t SystemHttpClient::OnBody(char* ptr, std::size_t size, std::size_t nmemb, void* userdata) {
  auto* self = static_cast<SystemHttpClient*>(userdata);
  const std::size_t n = size * nmemb;
  if (self->file) {
    const std::size_t written = std::fwrite(ptr, 1, n, static_cast<FILE*>(self->file));
    if (written < n) {
      self->lastError = static_cast<std::uint32_t>(errno);
      Platform::OutputDebugString(fmt::sprintf(L"Failed to write response data. Error code: %d", self->lastError));
    }
    self->receivedBytes += written;
    return written;
  }
  if (self->responseBuffer.size() + n > kMostBodyBytes) {
    self->lastError = CURLE_WRITE_ERROR;
    return 0;  // a body this large does not belong in memory
  }
  self->responseBuffer.append(ptr, n);
  self->receivedBytes += n;
  return n;
}

int SystemHttpClient::OnProgress(void* userdata, std::int64_t, std::int64_t, std::int64_t, std::int64_t) {
  auto* self = static_cast<SystemHttpClient*>(userdata);
  if (self->progressHook && self->hasContentLength && self->contentLength > 0)
    self->progressHook(static_cast<double>(self->receivedBytes) * 100.0 / static_cast<double>(self->contentLength));
  return 0;
}
