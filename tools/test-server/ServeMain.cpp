// velmora-test-server: serves files on 127.0.0.1 for the demo and benchmarks.
//   velmora-test-server [--rate=BYTES_PER_SECOND] [--ignore-ranges]
//                       [--no-length] [--md5] FILE_OR_FOLDER...
// Each file is served at /<name>; with --md5 at /<md5>/<name>, and /<name>
// redirects there. Prints one address per file, then serves until SIGINT or SIGTERM.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "download/Digest.h"
#include "tools/test-server/TestServer.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  TestServer::Behaviour behaviour;
  bool withMd5 = false;
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--rate=", 0) == 0) {
      behaviour.bytesPerSecond = std::strtoull(arg.c_str() + 7, nullptr, 10);
    } else if (arg == "--ignore-ranges") {
      behaviour.honourRanges = false;
    } else if (arg == "--no-length") {
      behaviour.sendLength = false;
    } else if (arg == "--md5") {
      withMd5 = true;
    } else if (fs::is_directory(arg)) {
      for (const auto& entry : fs::directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else if (fs::is_regular_file(arg)) {
      files.push_back(arg);
    } else {
      std::fprintf(stderr, "usage: %s [--rate=B/s] [--ignore-ranges] [--no-length] [--md5] FILE_OR_FOLDER...\n",
                   argv[0]);
      return 2;
    }
  }

  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // before the server's threads exist

  TestServer::Server server;
  if (!server.Running()) {
    std::fprintf(stderr, "cannot listen on 127.0.0.1\n");
    return 1;
  }
  for (const fs::path& file : files) {
    const std::string name = "/" + file.filename().string();
    std::string path = name;
    if (withMd5) {
      path = "/" + GetFileMd5(file.string()) + name;
      server.Redirect(name, path);
    }
    if (!server.ServeFile(path, file.string(), behaviour)) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    std::printf("%s\n", server.Url(name).c_str());
  }
  std::fflush(stdout);
  int received = 0;
  sigwait(&signals, &received);
  return 0;
}
