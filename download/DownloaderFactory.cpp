#include "download/DownloaderFactory.h"

#include "download/CurlDownloader.h"
#include "download/MTCurlDownloader.h"
#include "download/SystemHttpDownloader.h"

std::unique_ptr<CDownloader> CreateDownloader(int downloadType, StatusCallback callback, const std::wstring& url,
                                              const std::wstring& targetPath) {
  switch (downloadType) {
    case 2:
      return std::make_unique<SystemHttpDownloader>(std::move(callback), url, targetPath);
    case 3:
      return std::make_unique<CMTCurlDownloader>(std::move(callback), url, targetPath);
    default:
      return std::make_unique<CCurlDownloader>(std::move(callback), url, targetPath);
  }
}
