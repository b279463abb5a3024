// Processor time that the runners spend on their children:
//   velmora_bench_childproc [silent seconds, default 3]
// A silent child must cost (almost) nothing: the worker waits in poll(2).
// A flooding child shows the reading throughput.
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>

#include "install/Installer.h"
#include "install/Uninstaller.h"
#include "platform/Text.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Figures {
  double wall;
  double cpu;     // the whole process
  double worker;  // the runner's worker, from its first event to its last
  int events;
};

template <typename Runner>
Figures Measure(const char* variable, const std::string& script, const std::wstring& program,
                const std::wstring& folder) {
  const std::string path = std::string(P_tmpdir) + "/velmora-bench-" + std::to_string(getpid()) + ".script";
  std::ofstream(path, std::ios::trunc) << script;
  setenv(variable, path.c_str(), 1);
  int events = 0;
  double workerFirst = 0, workerLast = 0;
  const double cpuBefore = CpuSeconds();
  const auto wallBefore = std::chrono::steady_clock::now();
  {
    Runner runner(
        [&](int, double, const wchar_t*) {
          (events++ == 0 ? workerFirst : workerLast) = ThreadCpuSeconds();
        },
        program, folder);
    runner.Start();
  }  // the destructor waits for the run
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
  const Figures figures{wall, CpuSeconds() - cpuBefore, workerLast - workerFirst, events};
  unsetenv(variable);
  std::remove(path.c_str());
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 3;
  const std::wstring installer = L"\"" + Platform::Utf8ToWide(VELMORA_PACKAGE_INSTALLER) + L"\"";
  const std::wstring uninstaller = Platform::Utf8ToWide(VELMORA_UNINSTALLER);
  const std::string silent = "sleep " + std::to_string(seconds * 1000) + "\nout State=Success\n";

  // A run whose child ends at once gives the fixed cost (thread, spawn, log
  // records); what a silent child adds on top is the cost of waiting. The
  // worker's own clock has nanosecond resolution; the process's is coarse.
  const std::string quick = "out State=Success\n";
  const Figures a0 = Measure<CInstaller>("VELMORA_SETUP_SCRIPT", quick, installer, L"");
  const Figures a = Measure<CInstaller>("VELMORA_SETUP_SCRIPT", silent, installer, L"");
  std::printf("CInstaller, child silent for %d s: %.2f s wall; processor time: process %.2f ms, worker %.3f ms; "
              "with a child that ends at once: process %.2f ms, worker %.3f ms\n",
              seconds, a.wall, a.cpu * 1e3, a.worker * 1e3, a0.cpu * 1e3, a0.worker * 1e3);
  const Figures b0 = Measure<CUninstaller>("VELMORA_UNINST_SCRIPT", quick, uninstaller, L"/nonexistent");
  const Figures b = Measure<CUninstaller>("VELMORA_UNINST_SCRIPT", silent, uninstaller, L"/nonexistent");
  std::printf("CUninstaller, child silent for %d s: %.2f s wall; processor time: process %.2f ms, worker %.3f ms; "
              "with a child that ends at once: process %.2f ms, worker %.3f ms\n",
              seconds, b.wall, b.cpu * 1e3, b.worker * 1e3, b0.cpu * 1e3, b0.worker * 1e3);

  constexpr long long kFlood = 64ll << 20;
  const std::string flood = "flood-out " + std::to_string(kFlood) + "\nflood-err " + std::to_string(kFlood) +
                            "\nout State=Success\n";
  const Figures c = Measure<CInstaller>("VELMORA_SETUP_SCRIPT", flood, installer, L"");
  std::printf("CInstaller, 64 MiB of output lines and 64 MiB on standard error: %.2f s wall, %.0f ms processor "
              "time, %.0f MiB/s\n",
              c.wall, c.cpu * 1e3, 128 / c.wall);
  return a0.events == 3 && a.events == 3 && b0.events == 2 && b.events == 2 && c.events == 3 ? 0 : 1;
}
