// One HTTP request with the system's usual client behaviour: fixed time-outs
// (connect 60 s, nothing moving for 30 s while sending or receiving), three
// tries, certificate errors ignored unless a valid one is required, and, when
// a request cannot be sent directly, the user's configured proxy. The body
// goes to a response file (emptied at every try) or to memory.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class SystemHttpClient {
 public:
  // Called with the percent of the announced length received so far.
  using ProgressHook = std::function<void(double percent)>;

  static constexpr int kTries = 3;
  static constexpr long kResolveTimeoutMs = 0;  // none
  static constexpr long kConnectTimeoutMs = 60000;
  static constexpr long kSendTimeoutMs = 30000;
  static constexpr long kReceiveTimeoutMs = 30000;
  // What input may grow: the headers kept, and a body kept in memory.
  static constexpr std::size_t kMostHeaderBytes = 64 * 1024;
  static constexpr std::size_t kMostBodyBytes = 64 * 1024 * 1024;

  // lastError values of our own (the others are libcurl result codes).
  static constexpr std::uint32_t kErrorNoAddress = 3;
  static constexpr std::uint32_t kErrorIncompletePage = 13;
  static constexpr std::uint32_t kErrorBadVerb = 87;

  explicit SystemHttpClient(const std::wstring& address);
  ~SystemHttpClient();
  SystemHttpClient(const SystemHttpClient&) = delete;
  SystemHttpClient& operator=(const SystemHttpClient&) = delete;

  void SetResponseFile(const std::wstring& path) { responseFile = path; }
  void SetRequireValidCertificate(bool require) { requireValidCertificate = require; }
  void SetProgressHook(ProgressHook hook) { progressHook = std::move(hook); }

  // "GET" or "POST" (any case). True when a try received a whole answer,
  // whatever its status.
  bool SendHttpRequest(const std::wstring& verb);

  std::uint32_t LastError() const { return lastError; }
  const std::wstring& StatusCode() const { return statusCode; }
  int StatusNumber() const;
  std::uint64_t ContentLength() const { return contentLength; }
  bool HasContentLength() const { return hasContentLength; }
  std::uint64_t ReceivedBytes() const { return receivedBytes; }
  const std::wstring& ResponseHeaders() const { return responseHeaders; }
  const std::wstring& ResponseCharset() const { return responseCharset; }
  const std::wstring& Location() const { return location; }
  // The body as text, when no response file was set.
  const std::wstring& ResponseContent() const { return responseContent; }
  // The address that answered, after redirects (UTF-8).
  const std::string& EffectiveUrl() const { return effectiveUrl; }
  // The proxy the request went through, empty when it went directly.
  const std::string& Proxy() const { return proxy; }

 private:
  int PerformOnce(void* handle, bool get);
  static std::size_t OnHeader(char* buffer, std::size_t size, std::size_t nitems, void* self);
  static std::size_t OnBody(char* ptr, std::size_t size, std::size_t nmemb, void* self);
  static int OnProgress(void* self, std::int64_t dltotal, std::int64_t dlnow, std::int64_t, std::int64_t);

  void* session = nullptr;  // libcurl easy handle, made on first use
  bool requireValidCertificate = false;
  std::wstring requestUrl;
  std::wstring responseHeaders;
  std::wstring responseContent;
  std::wstring responseCharset;
  std::string responseBuffer;
  std::uint64_t receivedBytes = 0;
  std::uint64_t contentLength = 0;
  bool hasContentLength = false;
  std::uint32_t lastError = 0;
  std::wstring statusCode;
  std::wstring userAgent = L"SystemHttpClient";
  std::wstring location;
  std::wstring responseFile;
  ProgressHook progressHook;
  std::string effectiveUrl;
  std::string proxy;
  void* file = nullptr;  // the response file during a try
};
