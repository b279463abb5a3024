// One package transfer with libcurl: probes the address for its final
// location and length, fetches the whole file into "<target>.part" (resuming
// from what the part file holds), reports progress through a hook and renames
// the part file to the target when the transfer succeeded.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <string>

class CurlClient {
 public:
  // (owner, bytes per second, reserved (always 0), percent of the whole file)
  using ProgressHook = void (*)(void* owner, double bytesPerSecond, double reserved, double percent);

  // Results of Start besides 0 (complete) and libcurl's positive codes.
  static constexpr int kPartFileError = -996;  // the part file could not be opened
  static constexpr int kNoHandle = -997;       // libcurl could not make a handle
  static constexpr int kLengthUnknown = -998;  // the length is unknown or below kLeastLength
  static constexpr double kLeastLength = 1048576.0;

  CurlClient(const std::wstring& url, const std::wstring& filePath, void* owner, ProgressHook progressHook);
  // Removes the part file.
  ~CurlClient();
  CurlClient(const CurlClient&) = delete;
  CurlClient& operator=(const CurlClient&) = delete;

  // filePath + ".part" when withPart, else filePath.
  std::wstring GetPartFilePath(bool withPart) const;
  // Blocks for the whole transfer; 0 when the file is complete at filePath.
  int Start();

  const std::string& RealUrl() const { return realUrl; }
  double TotalLength() const { return totalLength; }
  const std::wstring& LastError() const { return lastError; }

  static int ProgressCallback(void* clientp, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal,
                              curl_off_t ulnow);
  static std::size_t WriteToFile(char* ptr, std::size_t size, std::size_t nmemb, void* stream);
  // The write function of every probe: takes the bytes and keeps nothing.
  static std::size_t DiscardBody(char* ptr, std::size_t size, std::size_t nmemb, void* userdata);
  // The options of a HEAD probe from its address on; the bitwise OR of their results.
  static int SetProbeOptions(CURL* handle, const std::string& address, bool followRedirects, bool withHeader);

  // Probes; addresses are UTF-8. Head returns a handle on which a HEAD was
  // performed (null when none could be made); the caller releases it.
  static CURL* Head(const std::string& address);
  static std::string GetRealUrl(CURL* handle);
  // The content length, or -1.0 when unknown or the response code is outside 200..399.
  static double GetDownloadFileLength(CURL* handle);
  // The effective address of a HEAD of its own, or the given address.
  static std::string GetRealUrl_Str(const std::string& address);
  // The content length of a HEAD of its own, whatever the response code.
  static double GetDownloadFileLength_Str(const std::string& address);

 private:
  int Transfer(const std::string& partPath);
  void FinishTransfer(int& result, long responseCode, const std::string& partPath) const;

  std::wstring url;
  std::wstring filePath;
  void* owner;
  CURL* curl = nullptr;
  ProgressHook progressHook;
  double totalLength = -1.0;
  std::int64_t resumeFrom = -1;
  std::int64_t lastTick = 0;
  std::atomic<bool> abort{false};
  std::wstring lastError;
  std::string realUrl;
};
