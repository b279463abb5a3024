// Picks the downloader for a download type: 2 system HTTP, 3 multi-part,
// anything else single-stream.
#pragma once

#include <memory>
#include <string>

#include "download/Downloader.h"
#include "download/StatusCallback.h"

std::unique_ptr<CDownloader> CreateDownloader(int downloadType, StatusCallback callback, const std::wstring& url,
                                              const std::wstring& targetPath);
