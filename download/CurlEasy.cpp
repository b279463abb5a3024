#include "download/CurlEasy.h"

#include <mutex>

#include "platform/Text.h"

namespace CurlEasy {

CURL* NewHandle() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
  return curl_easy_init();
}

std::wstring ErrorText(int code) {
  return Platform::AnsiToWide(curl_easy_strerror(static_cast<CURLcode>(code)));
}

}  // namespace CurlEasy
