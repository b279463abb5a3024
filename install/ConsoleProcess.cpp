#include "install/ConsoleProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "app/Log.h"
#include "platform/CommandLine.h"
#include "platform/Text.h"
#include "utils/Exception.h"

extern char** environ;

namespace Utils {
namespace {

// Where the kernel offers no process descriptor, the loop looks at the child
// this often instead.
constexpr int kExitCheckIntervalMs = 100;

void CloseDescriptor(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool IsRegularFile(const std::wstring& path) {
  struct stat st {};
  return ::stat(Platform::WideToAnsi(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Close-on-exec from the start, as every descriptor of a process descriptor is.
int OpenProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
  const long fd = ::syscall(SYS_pidfd_open, pid, 0);
  if (fd >= 0) return static_cast<int>(fd);
#else
  (void)pid;
#endif
  return -1;
}

ExitStatus StatusFrom(int waitStatus) {
  if (WIFSIGNALED(waitStatus)) return {true, WTERMSIG(waitStatus)};
  if (WIFEXITED(waitStatus)) return {false, WEXITSTATUS(waitStatus)};
  return {};
}

// The pieces posix_spawn needs, released whatever happens.
class SpawnSetup {
 public:
  SpawnSetup() {
    okActions_ = ::posix_spawn_file_actions_init(&actions_) == 0;
    okAttributes_ = ::posix_spawnattr_init(&attributes_) == 0;
  }
  ~SpawnSetup() {
    if (okActions_) ::posix_spawn_file_actions_destroy(&actions_);
    if (okAttributes_) ::posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // The child's standard streams; every other descriptor is close-on-exec.
  // The child starts with no blocked signals and default handlers, whatever
  // the starting thread had.
  bool Prepare(int input, int output, int error) {
    if (!okActions_ || !okAttributes_) return false;
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    return ::posix_spawn_file_actions_adddup2(&actions_, input, STDIN_FILENO) == 0 &&
           ::posix_spawn_file_actions_adddup2(&actions_, output, STDOUT_FILENO) == 0 &&
           ::posix_spawn_file_actions_adddup2(&actions_, error, STDERR_FILENO) == 0 &&
           ::posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
           ::posix_spawnattr_setsigdefault(&attributes_, &all) == 0 &&
           ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
  }

  const posix_spawn_file_actions_t* Actions() const { return &actions_; }
  const posix_spawnattr_t* Attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_{};
  posix_spawnattr_t attributes_{};
  bool okActions_ = false;
  bool okAttributes_ = false;
};

}  // namespace

Pipe::Pipe() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw Exception();
  read_ = ends[0];
  write_ = ends[1];
}

Pipe::~Pipe() {
  CloseReadEnd();
  CloseWriteEnd();
}

Pipe::Pipe(Pipe&& other) noexcept
    : read_(std::exchange(other.read_, -1)), write_(std::exchange(other.write_, -1)) {}

Pipe& Pipe::operator=(Pipe&& other) noexcept {
  if (this != &other) {
    CloseReadEnd();
    CloseWriteEnd();
    read_ = std::exchange(other.read_, -1);
    write_ = std::exchange(other.write_, -1);
  }
  return *this;
}

void Pipe::CloseReadEnd() { CloseDescriptor(read_); }
void Pipe::CloseWriteEnd() { CloseDescriptor(write_); }

std::vector<std::wstring> CommandLineToProgramArgv(std::wstring_view line) {
  std::vector<std::wstring> args = Platform::CommandLineToArgv(line);
  const bool quoted = !line.empty() && line.front() == L'"';
  if (quoted || args.front().empty() || IsRegularFile(args.front())) return args;
  // Shortest first, up to the whole line; a quote ends the search, as the
  // program part of a line knows no quotes but at its start.
  for (std::size_t end = args.front().size(); end <= line.size(); ++end) {
    if (end < line.size() && !IsBlank(line[end])) {
      if (line[end] == L'"') break;
      continue;
    }
    const std::wstring candidate(line.substr(0, end));
    if (candidate.size() == args.front().size() || !IsRegularFile(candidate)) continue;
    std::vector<std::wstring> rest = Platform::CommandLineToArgv(std::wstring(L"x") + std::wstring(line.substr(end)));
    rest.front() = candidate;
    return rest;
  }
  return args;
}

ConsoleProcess::~ConsoleProcess() {
  // A child that has already ended is reaped quietly; a running one is left alone.
  if (pid_ > 0 && !reaped_) {
    int waitStatus = 0;
    if (::waitpid(pid_, &waitStatus, WNOHANG) == pid_) reaped_ = true;
  }
  CloseDescriptor(pidFd_);
}

void ConsoleProcess::Start(const std::wstring& commandLine) {
  if (commandLine.size() > kMaxCommandLine || commandLine.find(L'\0') != std::wstring::npos) {
    LogRecord(L"Command line of %d characters refused\r\n", static_cast<int>(commandLine.size()));
    throw Exception();
  }
  error_.emplace();
  output_.emplace();
  input_.emplace();

  const std::vector<std::wstring> args = CommandLineToProgramArgv(commandLine);
  if (args.empty() || args.front().empty()) throw Exception();
  std::vector<std::string> narrow;
  narrow.reserve(args.size());
  for (const std::wstring& arg : args) narrow.push_back(Platform::WideToAnsi(arg));
  std::vector<char*> argv;
  for (std::string& arg : narrow) argv.push_back(arg.data());
  argv.push_back(nullptr);

  SpawnSetup setup;
  if (!setup.Prepare(input_->ReadEnd(), output_->WriteEnd(), error_->WriteEnd())) throw Exception();
  pid_t pid = -1;
  // A program named without a folder is looked up on the PATH, unless it is
  // a file in the current folder.
  const bool searchPath = narrow.front().find('/') == std::string::npos && !IsRegularFile(args.front());
  const int rc = searchPath ? ::posix_spawnp(&pid, argv[0], setup.Actions(), setup.Attributes(), argv.data(), environ)
                            : ::posix_spawn(&pid, argv[0], setup.Actions(), setup.Attributes(), argv.data(), environ);
  if (rc != 0) {
    LogRecord(L"Cannot start %s: error %d\r\n", args.front().c_str(), rc);
    throw Exception();
  }
  pid_ = pid;
  pidFd_ = OpenProcessDescriptor(pid);
  // The child's ends live on in the child only; the output pipe ends once the
  // child and whatever inherited its streams have closed them.
  output_->CloseWriteEnd();
  error_->CloseWriteEnd();
  input_->CloseReadEnd();
}

bool ConsoleProcess::StreamOpen(Stream stream) const {
  const std::optional<Pipe>& pipe = stream == Stream::Output ? output_ : error_;
  return pipe && pipe->ReadEnd() >= 0;
}

void ConsoleProcess::CloseStream(Stream stream) {
  std::optional<Pipe>& pipe = stream == Stream::Output ? output_ : error_;
  if (pipe) pipe->CloseReadEnd();
}

// The streams still open, as poll(2) entries.
nfds_t ConsoleProcess::OpenStreams(pollfd* fds, Stream* streams) const {
  nfds_t count = 0;
  for (Stream s : {Stream::Output, Stream::Error}) {
    if (!StreamOpen(s)) continue;
    fds[count] = {(s == Stream::Output ? output_ : error_)->ReadEnd(), POLLIN, 0};
    streams[count++] = s;
  }
  return count;
}

// One read of at most kChunkSize bytes; false once the stream has ended.
bool ConsoleProcess::ReadOnce(Stream stream, const std::function<void(std::string_view)>& onOutput,
                              std::size_t* bytes) {
  const int fd = (stream == Stream::Output ? output_ : error_)->ReadEnd();
  char buffer[kChunkSize];
  ssize_t n;
  do {
    n = ::read(fd, buffer, sizeof buffer);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) {
    CloseStream(stream);
    return false;
  }
  if (bytes != nullptr) *bytes += static_cast<std::size_t>(n);
  if (stream == Stream::Output) onOutput(std::string_view(buffer, static_cast<std::size_t>(n)));
  return true;
}

bool ConsoleProcess::PollExited() {
  if (reaped_) return true;
  int waitStatus = 0;
  if (::waitpid(pid_, &waitStatus, WNOHANG) != pid_) return false;
  reaped_ = true;
  status_ = StatusFrom(waitStatus);
  return true;
}

// After the exit: everything the child wrote is in the pipes by now.
void ConsoleProcess::ReadWhatIsLeft(const std::function<void(std::string_view)>& onOutput) {
  std::size_t total = 0;
  while (total < kMaxReadAfterExit) {
    pollfd fds[2];
    Stream streams[2];
    const nfds_t count = OpenStreams(fds, streams);
    if (count == 0) return;
    const int ready = ::poll(fds, count, 0);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return;
    for (nfds_t i = 0; i < count; ++i)
      if (fds[i].revents != 0) ReadOnce(streams[i], onOutput, &total);
  }
}

void ConsoleProcess::ReadUntilExit(const std::function<void(std::string_view)>& onOutput) {
  if (pid_ <= 0) return;
  while (StreamOpen(Stream::Output) || StreamOpen(Stream::Error)) {
    pollfd fds[3];
    Stream streams[2];
    const nfds_t streamCount = OpenStreams(fds, streams);
    nfds_t count = streamCount;
    if (pidFd_ >= 0) fds[count++] = {pidFd_, POLLIN, 0};
    const int ready = ::poll(fds, count, pidFd_ >= 0 ? -1 : kExitCheckIntervalMs);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (nfds_t i = 0; i < streamCount; ++i)
      if (fds[i].revents != 0) ReadOnce(streams[i], onOutput, nullptr);
    const bool exited = pidFd_ >= 0 ? (fds[streamCount].revents != 0) : PollExited();
    if (exited) {
      ReadWhatIsLeft(onOutput);
      return;
    }
  }
}

ExitStatus ConsoleProcess::Wait() {
  if (pid_ <= 0 || reaped_) return status_;
  int waitStatus = 0;
  pid_t rc;
  do {
    rc = ::waitpid(pid_, &waitStatus, 0);
  } while (rc < 0 && errno == EINTR);
  reaped_ = true;
  // Reaped elsewhere (SIGCHLD ignored): nothing is known, which counts as a normal end.
  if (rc == pid_) status_ = StatusFrom(waitStatus);
  return status_;
}

}  // namespace Utils
