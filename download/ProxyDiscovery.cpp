#include "download/ProxyDiscovery.h"

#include <proxy.h>

#include <cstring>

std::string DiscoverProxy(const std::string& address) {
  pxProxyFactory* factory = px_proxy_factory_new();
  if (!factory) return "";
  std::string proxy;
  if (char** proxies = px_proxy_factory_get_proxies(factory, address.c_str())) {
    // Ordered by preference; the direct way has just failed, so take the first real proxy.
    for (char** p = proxies; *p; ++p) {
      if (std::strncmp(*p, "direct://", 9) == 0) continue;
      proxy = *p;
      break;
    }
    px_proxy_factory_free_proxies(proxies);
  }
  px_proxy_factory_free(factory);
  if (proxy.rfind("socks://", 0) == 0) proxy = "socks5://" + proxy.substr(8);
  return proxy;
}
