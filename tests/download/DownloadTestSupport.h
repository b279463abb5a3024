// What the download tests share: a recorder of a downloader's events, a
// temporary folder, package bytes made at test time.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "download/Md5.h"
#include "download/StatusCallback.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace DownloadTest {

constexpr std::int64_t kMiB = 1048576;

struct Event {
  int code;
  double progress;
  std::wstring text;
  std::thread::id thread;
};

// Records every event; optionally restarts the downloader from inside the
// callback on 1005, as the orchestrator does.
class EventRecorder {
 public:
  StatusCallback Callback() {
    return [this](int code, double progress, const wchar_t* text) {
      std::function<void()> restart;
      {
        std::lock_guard lock(mutex_);
        events_.push_back({code, progress, text, std::this_thread::get_id()});
        if (code == 1005) restart = onRetry_;
      }
      changed_.notify_all();
      if (restart) restart();
    };
  }

  // Forgets the events and the restart, for the next case of a table.
  void Clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
    onRetry_ = nullptr;
  }

  void RestartOnRetry(std::function<void()> restart) {
    std::lock_guard lock(mutex_);
    onRetry_ = std::move(restart);
  }

  // Waits for the attempt chain to end: 1003 or 1004, or 1005 when nobody restarts.
  bool WaitForEnd(std::chrono::seconds timeout = std::chrono::seconds(90)) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] {
      for (const Event& e : events_)
        if (e.code == 1003 || e.code == 1004 || (e.code == 1005 && !onRetry_)) return true;
      return false;
    });
  }

  std::vector<Event> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }

  // The codes in order, without the progress reports.
  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const Event& e : Events())
      if (e.code != 1002) codes.push_back(e.code);
    return codes;
  }

  std::vector<double> Progress() const {
    std::vector<double> values;
    for (const Event& e : Events())
      if (e.code == 1002) values.push_back(e.progress);
    return values;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Event> events_;
  std::function<void()> onRetry_;
};

// Checks the shape every attempt must have: 1001 first, progress only
// between a start and an end, fractions in (0, 1] that never fall within an
// attempt, and one end per start.
inline void ExpectWellFormed(const std::vector<Event>& events) {
  bool inAttempt = false;
  double lastProgress = 0.0;
  for (const Event& e : events) {
    switch (e.code) {
      case 1001:
        EXPECT_FALSE(inAttempt) << "1001 inside an attempt";
        EXPECT_EQ(e.progress, 1.0);
        EXPECT_EQ(e.text, L"");
        inAttempt = true;
        lastProgress = 0.0;
        break;
      case 1002:
        EXPECT_TRUE(inAttempt) << "progress outside an attempt";
        EXPECT_GT(e.progress, 0.0);
        EXPECT_LE(e.progress, 1.0);
        EXPECT_GE(e.progress, lastProgress);
        lastProgress = e.progress;
        break;
      case 1006:
        EXPECT_TRUE(inAttempt);
        EXPECT_EQ(e.progress, 0.0);
        break;
      case 1003:
      case 1004:
      case 1005:
        EXPECT_TRUE(inAttempt) << "end outside an attempt";
        EXPECT_EQ(e.text, L"LibCurl");
        inAttempt = false;
        break;
      default:
        ADD_FAILURE() << "unknown code " << e.code;
    }
  }
  EXPECT_FALSE(inAttempt) << "an attempt without its end";
}

// A temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = Platform::WideToAnsi(Platform::TempPath()) + "velmora-dl-XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  std::wstring WPath(const std::string& name) const { return Platform::AnsiToWide(Path(name)); }

 private:
  std::string path_;
};

// Reproducible package bytes.
inline std::string MakeBytes(std::int64_t size, std::uint64_t seed = 1) {
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::mt19937_64 random(seed);
  for (std::size_t i = 0; i < bytes.size(); i += 8) {
    const std::uint64_t v = random();
    for (std::size_t k = 0; k < 8 && i + k < bytes.size(); ++k) bytes[i + k] = static_cast<char>(v >> (8 * k));
  }
  return bytes;
}

inline std::string Md5Of(const std::string& bytes) {
  Md5 md5;
  md5.Update(bytes);
  return md5.FinishHex();
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace DownloadTest
