// Child programs that report on their console: started from one Windows-style
// command line, standard output and error on pipes, standard input on an idle
// pipe, nothing else inherited.
#pragma once

#include <poll.h>
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Utils {

// One anonymous pipe with the system's default capacity. Both ends are
// close-on-exec, so a child gets only the end it is handed as a standard
// stream, and children that other threads start inherit neither.
class Pipe {
 public:
  // Throws Utils::Exception (empty message) when the pipe cannot be created.
  Pipe();
  ~Pipe();
  Pipe(Pipe&& other) noexcept;
  Pipe& operator=(Pipe&& other) noexcept;
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  int ReadEnd() const { return read_; }
  int WriteEnd() const { return write_; }
  void CloseReadEnd();
  void CloseWriteEnd();

 private:
  int read_ = -1;
  int write_ = -1;
};

// How a child ended.
struct ExitStatus {
  bool signaled = false;  // killed by a signal: a crash, or killed from outside
  int code = 0;           // the exit code, or the signal's number

  bool Normal() const { return !signaled && code == 0; }
};

// The program and arguments a Windows-style command line starts: the
// arguments split by the CommandLineToArgvW rules. An unquoted program path
// with blanks is found as CreateProcess finds it: the shortest prefix ending
// at a blank that names an existing file is the program, the rest of the line
// its arguments.
std::vector<std::wstring> CommandLineToProgramArgv(std::wstring_view commandLine);

class ConsoleProcess {
 public:
  // Longer command lines are refused rather than cut: a cut line would lose
  // its last part, which names the folder to install to or remove.
  static constexpr std::size_t kMaxCommandLine = 1023;
  // One read of the child's output moves at most this much.
  static constexpr std::size_t kChunkSize = 1024;
  // What is read after the child's exit: its own last output is in the pipes
  // by then; a process that inherited the pipes and writes on is not followed
  // past this.
  static constexpr std::size_t kMaxReadAfterExit = 1 << 20;

  ConsoleProcess() = default;
  // Closes every descriptor still open; never kills the child and never
  // waits for it (the owner waits first).
  ~ConsoleProcess();
  ConsoleProcess(const ConsoleProcess&) = delete;
  ConsoleProcess& operator=(const ConsoleProcess&) = delete;

  // Creates the error, output and input pipes, in that order, and starts the
  // program as the same user, in the current folder, with this environment
  // and default signal handling. Throws Utils::Exception (empty message) when
  // a pipe or the child cannot be created, or the command line is longer than
  // kMaxCommandLine characters.
  void Start(const std::wstring& commandLine);

  // Reads standard output and standard error until the child has exited and
  // its output is read, or until both pipes have ended. Every read of
  // standard output (at most kChunkSize bytes) is handed to onOutput;
  // standard error is read and dropped, so a child never blocks on a full
  // pipe. Waits in poll(2): a silent child costs nothing.
  void ReadUntilExit(const std::function<void(std::string_view chunk)>& onOutput);

  // Waits without limit for the child to end and reaps it.
  ExitStatus Wait();

  pid_t ProcessId() const { return pid_; }

 private:
  // What the reading loop waits for.
  enum class Stream { Output, Error };

  bool ReadOnce(Stream stream, const std::function<void(std::string_view)>& onOutput, std::size_t* bytes);
  void ReadWhatIsLeft(const std::function<void(std::string_view)>& onOutput);
  bool PollExited();
  bool StreamOpen(Stream stream) const;
  nfds_t OpenStreams(pollfd* fds, Stream* streams) const;
  void CloseStream(Stream stream);

  std::optional<Pipe> error_;
  std::optional<Pipe> output_;
  std::optional<Pipe> input_;
  pid_t pid_ = -1;
  int pidFd_ = -1;  // becomes readable when the child exits; -1 where the kernel has none
  bool reaped_ = false;
  ExitStatus status_;
};

}  // namespace Utils
