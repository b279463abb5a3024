#include "download/DownloadProbe.h"

#include "download/CurlClient.h"
#include "download/CurlEasy.h"

bool ProbeDownload(const std::string& address, ProbeAnswer& answer) {
  CurlEasy::Handle handle(CurlEasy::NewHandle());
  if (!handle) return false;
  CURL* h = handle.get();
  CurlEasy::List headers(curl_slist_append(nullptr, "Connection: keep-alive"));
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
  int options = CurlClient::SetProbeOptions(h, address, true, false);
  options |= curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
  options |= curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
  if (options != CURLE_OK || curl_easy_perform(h) != CURLE_OK) return false;

  char* effective = nullptr;
  if (curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
    answer.effectiveUrl = effective;
  curl_off_t length = -1;
  long code = 0;
  if (curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
      curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code) == CURLE_OK && code >= 200 && code <= 399)
    answer.length = length;
  return true;
}
