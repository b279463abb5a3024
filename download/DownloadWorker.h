// The worker thread ("ABDEF") that runs a downloader's attempts, one at a time.
#pragma once

#include <functional>
#include <memory>

#include "utils/Thread.h"

class DownloadWorker {
 public:
  DownloadWorker() = default;
  ~DownloadWorker() { Join(); }
  DownloadWorker(const DownloadWorker&) = delete;
  DownloadWorker& operator=(const DownloadWorker&) = delete;

  // Waits for the previous attempt's thread and runs the body on a new one.
  // Called from that previous thread itself (a restart from inside the
  // callback), it keeps that thread aside instead of waiting for it; it is
  // joined later, when it has certainly returned.
  void Run(std::function<void()> body);
  // Waits for every thread this worker started.
  void Join();

 private:
  std::unique_ptr<Utils::Thread> current_;
  std::unique_ptr<Utils::Thread> retired_;
};
