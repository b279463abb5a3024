// Runs our downloaders and the reference tools side by side on one loopback
// server and prints ratios:
//   (a) single-stream and multi-part throughput against `curl -o`;
//   (b) multi-part time against single-stream time with 20 MB/s per connection;
//   (c) GetFileMd5 time against md5sum.
// velmora_download_bench [--mib=256] [--rounds=3] [--skip-throttled]
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <string>

#include "download/Digest.h"
#include "download/DownloaderFactory.h"
#include "platform/DebugOutput.h"
#include "platform/Text.h"
#include "tools/test-server/TestServer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class Quiet final : public Platform::DebugSink {
  void Write(std::string_view) override {}
};

double Seconds(const std::function<bool()>& work, bool* ok = nullptr) {
  const auto start = Clock::now();
  const bool result = work();
  if (ok) *ok = result;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Best(int rounds, const std::function<bool()>& work, const char* what) {
  double best = 1e9;
  for (int i = 0; i < rounds; ++i) {
    bool ok = false;
    const double t = Seconds(work, &ok);
    if (!ok) {
      std::fprintf(stderr, "%s failed\n", what);
      std::exit(1);
    }
    best = std::min(best, t);
  }
  return best;
}

// Runs a downloader of the type to its end; true on 1003.
bool Download(int type, const std::string& address, const std::string& target) {
  std::mutex mutex;
  std::condition_variable done;
  int end = 0;
  auto downloader = CreateDownloader(
      type,
      [&](int code, double, const wchar_t*) {
        if (code != 1003 && code != 1004 && code != 1005) return;
        std::lock_guard lock(mutex);
        end = code;
        done.notify_all();
      },
      Platform::Utf8ToWide(address), Platform::AnsiToWide(target));
  downloader->Start();
  std::unique_lock lock(mutex);
  done.wait(lock, [&] { return end != 0; });
  lock.unlock();
  downloader.reset();
  return end == 1003;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace

int main(int argc, char** argv) {
  long mib = 256;
  int rounds = 3;
  bool throttled = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--mib=", 6) == 0) mib = std::atol(argv[i] + 6);
    if (std::strncmp(argv[i], "--rounds=", 9) == 0) rounds = std::atoi(argv[i] + 9);
    if (std::strcmp(argv[i], "--skip-throttled") == 0) throttled = false;
  }
  Quiet quiet;
  Platform::SetDebugSink(&quiet);

  std::string folder = (fs::temp_directory_path() / "velmora-bench-XXXXXX").string();
  if (!::mkdtemp(folder.data())) return 1;
  const std::string package = folder + "/package.bin";
  {
    std::ofstream out(package, std::ios::binary);
    std::mt19937_64 random(7);
    std::string block(1 << 20, '\0');
    for (long m = 0; m < mib; ++m) {
      for (std::size_t i = 0; i < block.size(); i += 8) {
        const std::uint64_t v = random();
        std::memcpy(&block[i], &v, 8);
      }
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  }
  const std::string digest = GetFileMd5(package);
  const std::string target = folder + "/out.exe";

  TestServer::Server server;
  server.ServeFile("/files/pkg.exe", package);
  server.ServeFile("/" + digest + "/pkg.exe", package);
  server.ServeFile("/slow/pkg.exe", package, TestServer::Behaviour{.bytesPerSecond = 20000000});
  const std::string plain = server.Url("/files/pkg.exe");
  const std::string verified = server.Url("/" + digest + "/pkg.exe");
  std::printf("package: %ld MiB, %d rounds, best of each\n", mib, rounds);

  // (a) Throughput. The downloaders also check the digest when the address names one;
  // curl does not, so the plain address compares transfer with transfer.
  Run("curl -s -o " + target + " " + plain);  // warm the page cache
  const double curlTime = Best(rounds, [&] { return Run("curl -s -o " + target + " " + plain); }, "curl");
  const double singleTime = Best(rounds, [&] { return Download(1, plain, target); }, "single-stream");
  const double multiTime = Best(rounds, [&] { return Download(3, plain, target); }, "multi-part");
  const double singleVerified = Best(rounds, [&] { return Download(1, verified, target); }, "single-stream+md5");
  const double multiVerified = Best(rounds, [&] { return Download(3, verified, target); }, "multi-part+md5");
  const double megabytes = static_cast<double>(mib) * 1048576.0 / 1e6;
  std::printf("(a) curl -o            %6.3f s  %7.1f MB/s\n", curlTime, megabytes / curlTime);
  std::printf("    single-stream      %6.3f s  %7.1f MB/s  ratio to curl %.2f\n", singleTime, megabytes / singleTime,
              curlTime / singleTime);
  std::printf("    multi-part         %6.3f s  %7.1f MB/s  ratio to curl %.2f\n", multiTime, megabytes / multiTime,
              curlTime / multiTime);
  std::printf("    single-stream+md5  %6.3f s  ratio to curl %.2f\n", singleVerified, curlTime / singleVerified);
  std::printf("    multi-part+md5     %6.3f s  ratio to curl %.2f\n", multiVerified, curlTime / multiVerified);

  // (b) One limited connection against two.
  if (throttled) {
    const double slowSingle = Best(1, [&] { return Download(1, server.Url("/slow/pkg.exe"), target); }, "throttled");
    const double slowMulti = Best(1, [&] { return Download(3, server.Url("/slow/pkg.exe"), target); }, "throttled");
    std::printf("(b) 20 MB/s per connection: single-stream %.2f s, multi-part %.2f s, ratio %.2f\n", slowSingle,
                slowMulti, slowMulti / slowSingle);
  }

  // (c) Digest.
  const double md5sumTime = Best(rounds, [&] { return Run("md5sum " + package + " > /dev/null"); }, "md5sum");
  const double oursTime = Best(rounds, [&] { return GetFileMd5(package) == digest; }, "GetFileMd5");
  std::printf("(c) md5sum %.3f s, GetFileMd5 %.3f s, ratio %.2f\n", md5sumTime, oursTime, md5sumTime / oursTime);

  server.Stop();
  fs::remove_all(folder);
  Platform::SetDebugSink(nullptr);
  return 0;
}
