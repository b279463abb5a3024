// The only file that includes httplib.h: it is slow to compile.
#include "tools/test-server/TestServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <httplib.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <thread>

namespace TestServer {
namespace {

using Clock = std::chrono::steady_clock;

// A body's bytes and whatever keeps them alive (a string or a mapping).
struct Body {
  std::shared_ptr<const void> keeper;
  const char* data = nullptr;
  std::size_t size = 0;
};

struct Entry {
  Body body;
  Behaviour behaviour;
  Rule rule;
  std::string redirectTo;
  int redirectStatus = 0;
};

constexpr std::size_t kChunk = 256 * 1024;

// A self-signed certificate for 127.0.0.1, valid for a day.
struct Credentials {
  EVP_PKEY* key = nullptr;
  X509* cert = nullptr;
  Credentials() {
    key = EVP_EC_gen("P-256");
    cert = X509_new();
    if (!key || !cert) return;
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), 0);
    X509_gmtime_adj(X509_getm_notAfter(cert), 86400);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1,
                               -1, 0);
    X509_set_issuer_name(cert, name);
    X509_sign(cert, key, EVP_sha256());
  }
  ~Credentials() {
    X509_free(cert);
    EVP_PKEY_free(key);
  }
};

}  // namespace

struct Server::Impl {
  std::unique_ptr<httplib::Server> http;
  std::thread thread;
  int port = -1;
  bool tls = false;

  mutable std::mutex mutex;  // guards entries, requests, counts and stopping
  std::condition_variable wake;
  bool stopping = false;
  std::map<std::string, Entry> entries;
  std::vector<RequestInfo> requests;
  std::map<std::string, int> counts;

  void Start(std::unique_ptr<httplib::Server> server);
  void Handle(const httplib::Request& req, httplib::Response& res);
  // Waits until the deadline or the server stops; false when it stops.
  bool WaitUntil(Clock::time_point deadline) {
    std::unique_lock lock(mutex);
    return !wake.wait_until(lock, deadline, [this] { return stopping; });
  }
  void WaitForStop() {
    std::unique_lock lock(mutex);
    wake.wait(lock, [this] { return stopping; });
  }
};

void Server::Impl::Start(std::unique_ptr<httplib::Server> server) {
  http = std::move(server);
  if (!http->is_valid()) return;
  http->new_task_queue = [] { return new httplib::ThreadPool(16); };
  http->set_keep_alive_timeout(2);
  http->Get(".*", [this](const httplib::Request& req, httplib::Response& res) { Handle(req, res); });
  port = http->bind_to_any_port("127.0.0.1");
  if (port <= 0) return;
  thread = std::thread([this] { http->listen_after_bind(); });
}

void Server::Impl::Handle(const httplib::Request& req, httplib::Response& res) {
  RequestInfo info;
  info.method = req.method;
  info.path = req.path;
  info.range = req.get_header_value("Range");
  // A request sent to a proxy names the whole address; serve its path as ours.
  if (const auto scheme = info.path.find("://"); scheme != std::string::npos) {
    const auto slash = info.path.find('/', scheme + 3);
    info.path = slash == std::string::npos ? "/" : info.path.substr(slash);
    info.proxied = true;
  }

  Entry entry;
  bool found = false;
  {
    std::lock_guard lock(mutex);
    info.index = counts[info.method + " " + info.path]++;
    requests.push_back(info);
    if (auto it = entries.find(info.path); it != entries.end()) {
      entry = it->second;
      found = true;
    }
  }

  if (found && entry.redirectStatus) {
    res.set_redirect(entry.redirectTo, entry.redirectStatus);
    return;
  }
  Behaviour b = found ? (entry.rule ? entry.rule(info) : entry.behaviour) : Behaviour{404};
  const bool head = req.method == "HEAD";
  const int status = head && b.headStatus ? b.headStatus : b.status;

  // What goes out: the whole body, one range of it, or an error page. Every
  // answer goes through a provider without a length, so the library never
  // applies ranges on its own and the headers are exactly ours.
  Body body = entry.body;
  std::size_t begin = 0, count = body.size;
  res.status = status;
  if (status >= 400) {
    static const std::string page = "<html><body>error</body></html>";
    body = Body{nullptr, page.data(), page.size()};
    count = page.size();
  } else if (status == 200 && !req.ranges.empty() && b.honourRanges) {
    auto [first, last] = req.ranges.front();
    std::size_t from, to;
    if (first < 0) {  // suffix: the last N bytes
      from = body.size - std::min<std::size_t>(body.size, static_cast<std::size_t>(last));
      to = body.size ? body.size - 1 : 0;
    } else {
      from = static_cast<std::size_t>(first);
      to = last < 0 ? body.size - 1 : std::min<std::size_t>(static_cast<std::size_t>(last), body.size - 1);
    }
    if (from >= body.size || from > to) {
      res.status = 416;
      res.set_header("Content-Range", "bytes */" + std::to_string(body.size));
      count = 0;
    } else {
      res.status = 206;
      res.set_header("Content-Range",
                     "bytes " + std::to_string(from) + "-" + std::to_string(to) + "/" + std::to_string(body.size));
      begin = from;
      count = to - from + 1;
    }
  }
  res.set_header("Accept-Ranges", b.honourRanges ? "bytes" : "none");

  const std::int64_t announced = head && b.headLength >= 0 ? b.headLength : static_cast<std::int64_t>(count);
  if (b.sendLength || status >= 400) res.set_header("Content-Length", std::to_string(announced));
  if (head) {
    // No body goes out for HEAD; the provider only marks the answer as having one.
    res.set_content_provider("application/octet-stream", [](std::size_t, httplib::DataSink& sink) {
      sink.done();
      return true;
    });
    return;
  }

  const auto started = Clock::now();
  auto provider = [this, body, begin, count, b, started](std::size_t offset, httplib::DataSink& sink) {
    if (offset >= count) {
      sink.done();
      return true;
    }
    const auto sent = static_cast<std::int64_t>(offset);
    if (b.cutAfter >= 0 && sent >= b.cutAfter) return false;
    if (b.stallAfter >= 0 && sent >= b.stallAfter) {
      WaitForStop();
      return false;
    }
    std::size_t n = std::min(kChunk, count - offset);
    if (b.bytesPerSecond) n = std::min<std::size_t>(n, std::max<std::uint64_t>(1, b.bytesPerSecond / 50));
    if (b.cutAfter >= 0) n = std::min<std::size_t>(n, static_cast<std::size_t>(b.cutAfter - sent));
    if (b.stallAfter >= 0) n = std::min<std::size_t>(n, static_cast<std::size_t>(b.stallAfter - sent));
    if (b.bytesPerSecond) {
      const auto due = started + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(static_cast<double>(sent) / b.bytesPerSecond));
      if (!WaitUntil(due)) return false;
    }
    return sink.write(body.data + begin + offset, n);
  };
  if (b.sendLength || status >= 400)
    res.set_content_provider("application/octet-stream", provider);
  else
    res.set_chunked_content_provider("application/octet-stream", provider);
}

Server::Server() : impl_(std::make_unique<Impl>()) { impl_->Start(std::make_unique<httplib::Server>()); }

Server::Server(Tls) : impl_(std::make_unique<Impl>()) {
  impl_->tls = true;
  Credentials credentials;
  impl_->Start(std::make_unique<httplib::SSLServer>(credentials.cert, credentials.key));
}

Server::~Server() { Stop(); }

bool Server::Running() const { return impl_->thread.joinable(); }

int Server::Port() const { return impl_->port; }

std::string Server::Url(const std::string& path) const {
  return (impl_->tls ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(impl_->port) + path;
}

void Server::Serve(const std::string& path, std::string body, Behaviour behaviour) {
  auto keeper = std::make_shared<const std::string>(std::move(body));
  std::lock_guard lock(impl_->mutex);
  impl_->entries[path] = Entry{Body{keeper, keeper->data(), keeper->size()}, behaviour, nullptr, {}, 0};
}

bool Server::ServeFile(const std::string& path, const std::string& filePath, Behaviour behaviour) {
  const int fd = ::open(filePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return false;
  }
  const auto size = static_cast<std::size_t>(st.st_size);
  void* map = size ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : nullptr;
  ::close(fd);
  if (map == MAP_FAILED) return false;
  std::shared_ptr<const void> keeper(map, [size](const void* p) {
    if (p) ::munmap(const_cast<void*>(p), size);
  });
  std::lock_guard lock(impl_->mutex);
  impl_->entries[path] = Entry{Body{keeper, static_cast<const char*>(map), size}, behaviour, nullptr, {}, 0};
  return true;
}

void Server::SetRule(const std::string& path, Rule rule) {
  std::lock_guard lock(impl_->mutex);
  impl_->entries[path].rule = std::move(rule);
}

void Server::Redirect(const std::string& from, const std::string& to, int status) {
  std::lock_guard lock(impl_->mutex);
  Entry& e = impl_->entries[from];
  e.redirectTo = to.find("://") == std::string::npos ? Url(to) : to;
  e.redirectStatus = status;
}

std::vector<RequestInfo> Server::Requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

std::vector<RequestInfo> Server::Requests(const std::string& method, const std::string& path) const {
  std::vector<RequestInfo> out;
  for (RequestInfo& r : Requests())
    if (r.method == method && r.path == path) out.push_back(std::move(r));
  return out;
}

void Server::Stop() {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->stopping = true;
  }
  impl_->wake.notify_all();
  if (impl_->thread.joinable()) {
    impl_->http->stop();
    impl_->thread.join();
  }
}

int UnusedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  int port = -1;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
    port = ntohs(addr.sin_port);
  ::close(fd);  // nothing listens there now
  return port;
}

}  // namespace TestServer
