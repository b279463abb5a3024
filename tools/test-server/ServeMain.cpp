// velmora-test-server: serves files on 127.0.0.1 for the demo and benchmarks.
//   velmora-test-server [--rate=BYTES_PER_SECOND] [--ignore-ranges]
//                       [--no-length] [--md5] [--alias=PATH] FILE_OR_FOLDER...
// Each file is served at /<name>; with --md5 at /<md5>/<name>, and /<name>
// redirects there. With --alias, PATH redirects to the first file as well
// (the demo serves its package where the maker's server would,
// "/software/633"). Prints one address per file (the alias's instead of the
// first), then serves until SIGINT or SIGTERM.
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
  std::string alias;
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
    } else if (arg.rfind("--alias=/", 0) == 0) {
      alias = arg.substr(8);
    } else if (fs::is_directory(arg)) {
      for (const auto& entry : fs::directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else if (fs::is_regular_file(arg)) {
      files.push_back(arg);
    } else {
      std::fprintf(stderr, "usage: %s [--rate=B/s] [--ignore-ranges] [--no-length] [--md5] [--alias=PATH] FILE_OR_FOLDER...\n",
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
    const bool aliased = !alias.empty() && &file == &files.front();
    if (aliased) server.Redirect(alias, path);
    std::printf("%s\n", server.Url(aliased ? alias : name).c_str());
  }
  std::fflush(stdout);
  int received = 0;
  sigwait(&signals, &received);
  return 0;
}
