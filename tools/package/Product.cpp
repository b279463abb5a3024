// The product's main program, "Orvexa.exe": it does nothing but stay running,
// so that the installer can see it among the running processes, until it is
// told to end (SIGTERM, SIGINT or SIGHUP) or its time is up. Once it listens
// for them it says "Orvexa started" on standard output.
//
//   Orvexa.exe [--run-ms=N]    N milliseconds, 0 for no limit; default 300000
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

int main(int argc, char** argv) {
  long long runMs = 300000;
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--run-ms=", 9) == 0) runMs = std::atoll(argv[i] + 9);

  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGHUP);
  sigprocmask(SIG_BLOCK, &stop, nullptr);
  signal(SIGPIPE, SIG_IGN);  // nobody need be reading
  const char started[] = "Orvexa started\n";
  if (write(STDOUT_FILENO, started, sizeof started - 1) < 0) {
    // Standard output may well be closed; the product runs all the same.
  }
  if (runMs <= 0) {
    int signal = 0;
    sigwait(&stop, &signal);
    return 0;
  }
  timespec limit{static_cast<time_t>(runMs / 1000), static_cast<long>(runMs % 1000) * 1000000L};
  // Returns on a stop signal or when the time is up; either ends the program.
  sigtimedwait(&stop, nullptr, &limit);
  return 0;
}
