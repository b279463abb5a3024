// velmora-package-server: the demo's download server. Serves a package file
// where the maker's server would: "/software/633" redirects to
// "/<md5>/VelmoraSetup.exe", whose last folder is the package's digest.
//   velmora-package-server [--rate=BYTES_PER_SECOND] PACKAGE
// Prints the download address, then serves on 127.0.0.1 until SIGINT or SIGTERM.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "download/Digest.h"
#include "tools/test-server/TestServer.h"

int main(int argc, char** argv) {
  TestServer::Behaviour behaviour;
  std::string package;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--rate=", 0) == 0) behaviour.bytesPerSecond = std::strtoull(arg.c_str() + 7, nullptr, 10);
    else if (package.empty() && std::filesystem::is_regular_file(arg)) package = arg;
    else package.clear(), i = argc;
  }
  if (package.empty()) {
    std::fprintf(stderr, "usage: %s [--rate=BYTES_PER_SECOND] PACKAGE\n", argv[0]);
    return 2;
  }

  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // before the server's threads exist

  TestServer::Server server;
  const std::string final = "/" + GetFileMd5(package) + "/VelmoraSetup.exe";
  if (!server.Running() || !server.ServeFile(final, package, behaviour)) {
    std::fprintf(stderr, "cannot serve %s on 127.0.0.1\n", package.c_str());
    return 1;
  }
  server.Redirect("/software/633", final);
  std::printf("%s\n", server.Url("/software/633").c_str());
  std::fflush(stdout);
  int received = 0;
  sigwait(&signals, &received);
  return 0;
}
