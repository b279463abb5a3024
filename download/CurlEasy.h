// Small owners for libcurl handles, shared by every libcurl user here.
#pragma once

#include <curl/curl.h>

#include <memory>
#include <string>

namespace CurlEasy {

struct HandleDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using Handle = std::unique_ptr<CURL, HandleDeleter>;

struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using List = std::unique_ptr<curl_slist, ListDeleter>;

// A new easy handle (null when libcurl cannot make one). libcurl's global
// state is set up once, before the first handle, whatever thread asks first.
CURL* NewHandle();

// Redirect chains longer than this end the transfer (a loop would never end).
constexpr long kMaxRedirects = 30;
// A transfer that moves less than 1 byte per second for this long is aborted.
constexpr long kLowSpeedSeconds = 5;

// libcurl's text for a result code, as wide text.
std::wstring ErrorText(int code);

}  // namespace CurlEasy
