// A loopback HTTP server for tests, the demo and benchmarks. It serves bodies
// from memory or from files and can misbehave on purpose: no length, ignored
// ranges, throttling, cut or stalled connections, error statuses, redirects.
// It listens on 127.0.0.1 only, on a port the kernel picks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace TestServer {

// How one answer is shaped.
struct Behaviour {
  int status = 200;              // status of a GET; 400 or more sends a short error page
  int headStatus = 0;            // status of a HEAD; 0: as for GET
  bool sendLength = true;        // false: chunked, no Content-Length
  bool honourRanges = true;      // false: a ranged GET gets 200 and the whole body
  std::uint64_t bytesPerSecond = 0;  // per response; 0: as fast as possible
  std::int64_t cutAfter = -1;    // close the connection after this many body bytes
  std::int64_t stallAfter = -1;  // send nothing more after this many body bytes, keep the connection
  std::int64_t headLength = -1;  // Content-Length announced to HEAD instead of the body's
};

// One request as the server saw it.
struct RequestInfo {
  std::string method;
  std::string path;
  std::string range;  // the Range header, empty when absent
  bool proxied = false;  // sent to us as a proxy (absolute address in the request line)
  int index = 0;         // how many earlier requests with this method the path had
};

// Decides the behaviour of each request to one path.
using Rule = std::function<Behaviour(const RequestInfo&)>;

class Server {
 public:
  struct Tls {};
  // Plain HTTP.
  Server();
  // HTTPS with a self-signed certificate made for this run.
  explicit Server(Tls);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // False when the server could not bind or start.
  bool Running() const;
  int Port() const;
  // "http://127.0.0.1:<port>" + path (https for a TLS server).
  std::string Url(const std::string& path) const;

  void Serve(const std::string& path, std::string body, Behaviour behaviour = {});
  // Serves a file's bytes (mapped, not copied); false when it cannot be read.
  bool ServeFile(const std::string& path, const std::string& filePath, Behaviour behaviour = {});
  // Replaces the behaviour of a served path by a per-request decision.
  void SetRule(const std::string& path, Rule rule);
  void Redirect(const std::string& from, const std::string& to, int status = 302);

  std::vector<RequestInfo> Requests() const;
  std::vector<RequestInfo> Requests(const std::string& method, const std::string& path) const;

  // Ends stalled and throttled answers and stops listening; the destructor calls it.
  void Stop();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// A closed port on 127.0.0.1: connecting to it is refused.
int UnusedPort();

}  // namespace TestServer
