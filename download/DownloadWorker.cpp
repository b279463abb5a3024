#include "download/DownloadWorker.h"

void DownloadWorker::Run(std::function<void()> body) {
  if (current_ && current_->IsCurrent())
    retired_ = std::move(current_);  // an older retired thread has long returned
  else
    current_.reset();
  current_ = std::make_unique<Utils::Thread>(nullptr, L"ABDEF", [body = std::move(body)](void*) { body(); });
  current_->Start();
}

void DownloadWorker::Join() {
  current_.reset();
  retired_.reset();
}
