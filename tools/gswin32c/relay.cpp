#include "tools/gswin32c/relay.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

#include "tools/gswin32c/adapt.h"

extern char** environ;

namespace gsw {

namespace {

void WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // the reader went away; nothing sensible is left to do with the text
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
}

void Scan(std::string_view line, RelayResult& f) {
  if (ReportsRepair(line)) f.repaired = true;
  if (ReportsFatal(line)) f.fatal = true;
}

// One complete line (with its line feed, when it had one) of Ghostscript's output.
void HandleOutLine(std::string_view line, RelayResult& f, RelaySink& sink) {
  sink.Out(line);
  Scan(line, f);
  if (NamesFailure(line) && f.failureLines.size() < 5) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    f.failureLines.push_back(std::move(s));
  }
}

void HandleErrLine(std::string_view line, RelayResult& f, RelaySink& sink) {
  Scan(line, f);
  if (IsHarmlessRemark(line)) {
    sink.Out(line);
    return;
  }
  sink.Err(line);
  // A lone line break does not make an error output worth judging; anything else does.
  if (line.find_first_not_of("\r\n") != std::string_view::npos) f.wroteError = true;
}

struct Stream {
  int fd;
  std::string pending;
  bool isErr;
};

void Handle(Stream& s, std::string_view line, RelayResult& f, RelaySink& sink) {
  s.isErr ? HandleErrLine(line, f, sink) : HandleOutLine(line, f, sink);
}

void Consume(Stream& s, const char* data, std::size_t n, RelayResult& f, RelaySink& sink) {
  s.pending.append(data, n);
  std::size_t start = 0;
  for (;;) {
    const std::size_t nl = s.pending.find('\n', start);
    if (nl == std::string::npos) break;
    std::string_view line(s.pending.data() + start, nl + 1 - start);
    Handle(s, line, f, sink);
    start = nl + 1;
  }
  s.pending.erase(0, start);
  // A very long line without a break is passed on in pieces rather than held.
  if (s.pending.size() > 65536) {
    Handle(s, s.pending, f, sink);
    s.pending.clear();
  }
}

void Flush(Stream& s, RelayResult& f, RelaySink& sink) {
  if (s.pending.empty()) return;
  Handle(s, s.pending, f, sink);
  s.pending.clear();
}

class StandardOutputs : public RelaySink {
 public:
  void Out(std::string_view text) override { WriteAll(STDOUT_FILENO, text); }
  void Err(std::string_view text) override { WriteAll(STDERR_FILENO, text); }
};

RelayResult Failed(RelaySink& sink, const std::string& message) {
  sink.Err(message);
  RelayResult r;
  r.code = 127;
  r.wroteError = true;
  return r;
}

}  // namespace

RelaySink& StandardSink() {
  static StandardOutputs sink;
  return sink;
}

RelayResult RelayGhostscript(const std::string& program, const std::vector<std::string>& args,
                             RelaySink& sink) {
  // Writing to a closed pipe must give an error, not end this program before it can
  // report Ghostscript's exit code.
  std::signal(SIGPIPE, SIG_IGN);

  int outPipe[2];
  int errPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0)
    return Failed(sink, std::string("gswin32c: cannot create a pipe: ") + std::strerror(errno) + "\n");
  if (::pipe2(errPipe, O_CLOEXEC) != 0) {
    const int e = errno;
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    return Failed(sink, std::string("gswin32c: cannot create a pipe: ") + std::strerror(e) + "\n");
  }

  std::vector<std::string> argvStore;
  argvStore.reserve(args.size() + 1);
  argvStore.push_back(program);
  for (const std::string& a : args) argvStore.push_back(a);
  std::vector<char*> argv;
  argv.reserve(argvStore.size() + 1);
  for (std::string& a : argvStore) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
  pid_t pid = 0;
  const int spawnError = ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  if (spawnError != 0) {
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    return Failed(sink, "gswin32c: cannot start Ghostscript '" + program + "': " +
                            std::strerror(spawnError) + "\n");
  }

  RelayResult findings;
  Stream streams[2] = {{outPipe[0], {}, false}, {errPipe[0], {}, true}};
  bool open[2] = {true, true};
  char buf[16384];
  while (open[0] || open[1]) {
    pollfd fds[2];
    nfds_t count = 0;
    int index[2];
    for (int k = 0; k < 2; ++k) {
      if (!open[k]) continue;
      fds[count] = {streams[k].fd, POLLIN, 0};
      index[count] = k;
      ++count;
    }
    if (::poll(fds, count, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (nfds_t m = 0; m < count; ++m) {
      if (fds[m].revents == 0) continue;
      Stream& s = streams[index[m]];
      const ssize_t n = ::read(s.fd, buf, sizeof buf);
      if (n > 0) {
        Consume(s, buf, static_cast<std::size_t>(n), findings, sink);
      } else if (n == 0 || errno != EINTR) {
        Flush(s, findings, sink);
        ::close(s.fd);
        open[index[m]] = false;
      }
    }
  }
  for (int k = 0; k < 2; ++k)
    if (open[k]) {
      Flush(streams[k], findings, sink);
      ::close(streams[k].fd);
    }

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      status = 0;
      break;
    }
  }
  if (WIFEXITED(status))
    findings.code = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    findings.code = 128 + WTERMSIG(status);
  return findings;
}

void WriteVerdict(const RelayResult& r, RelaySink& sink) {
  if (r.code == 0 && r.repaired && !r.fatal) {
    sink.Err(std::string(kRepairNotice) + "\n");
  } else if (r.code != 0 && !r.wroteError) {
    std::string msg = "gswin32c: Ghostscript ended with exit code " + std::to_string(r.code) + "\n";
    for (const std::string& l : r.failureLines) msg += l + "\n";
    sink.Err(msg);
  } else if (r.code == 0 && r.fatal && !r.wroteError) {
    std::string msg = "gswin32c: Ghostscript could not read an input file\n";
    for (const std::string& l : r.failureLines) msg += l + "\n";
    sink.Err(msg);
  }
}

int RunGhostscript(const std::string& program, const std::vector<std::string>& args) {
  const RelayResult r = RelayGhostscript(program, args, StandardSink());
  WriteVerdict(r, StandardSink());
  return r.code;
}

}  // namespace gsw
