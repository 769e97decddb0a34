#include "Child.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

// Reads both pipes to their end, then reaps the child.
using TWatch = std::function<void(int, const std::string&)>;

// Reads both pipes until the child has ended and they are drained.  The end
// of the child, not the end of the pipes, ends the run: a helper the child
// started (Wine's server) may hold the pipes open for a while longer.
TRun Collect(pid_t pid, int outFd, int errFd, const TWatch& onOut) {
  TRun r;
  struct pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  fcntl(outFd, F_SETFL, O_NONBLOCK);
  fcntl(errFd, F_SETFL, O_NONBLOCK);
  char buf[65536];
  int status = 0;
  bool ended = false;
  for (;;) {
    const int ready = poll(fds, 2, ended ? 0 : 50);
    bool got = false;
    for (int k = 0; k < 2 && ready > 0; ++k) {
      if (fds[k].fd < 0 || fds[k].revents == 0) continue;
      const ssize_t n = read(fds[k].fd, buf, sizeof buf);
      if (n > 0) {
        got = true;
        (k == 0 ? r.out : r.err).append(buf, static_cast<size_t>(n));
        if (k == 0 && onOut) onOut(pid, r.out);
      } else if (n == 0) {
        fds[k].fd = -1;  // closed by every writer
      }
    }
    if (fds[0].fd < 0 && fds[1].fd < 0 && !ended) {
      waitpid(pid, &status, 0);
      ended = true;
    }
    if (!ended && waitpid(pid, &status, WNOHANG) == pid) ended = true;
    if (ended && !got && (ready == 0 || (fds[0].fd < 0 && fds[1].fd < 0))) break;
  }
  close(outFd);
  close(errFd);
  if (WIFEXITED(status)) {
    r.code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    r.sig = WTERMSIG(status);
  }
  return r;
}

TRun Spawn(const std::function<void()>& child, const TWatch& onOut = nullptr) {
  int out[2];
  int err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]);
    close(out[1]);
    close(err[0]);
    close(err[1]);
    child();
    _exit(200);
  }
  close(out[1]);
  close(err[1]);
  return Collect(pid, out[0], err[0], onOut);
}

}  // namespace

TRun RunFn(const std::function<void()>& fn) {
  return Spawn(fn);
}

TRun RunExe(const std::vector<std::string>& args, const std::string& cwd) {
  return RunExeWatched(args, cwd, nullptr);
}

TRun RunExeWatched(const std::vector<std::string>& args, const std::string& cwd,
                   const TWatch& onOut) {
  return Spawn(
      [&] {
        if (chdir(cwd.c_str()) != 0) _exit(201);
        std::vector<char*> argv;
#ifdef ZTMSCN_RUNNER
        // The Windows build under Wine, in a prefix of its own, quietly.
        setenv("WINEPREFIX", ZTMSCN_WINEPREFIX, 1);
        setenv("WINEDEBUG", "-all", 1);
        setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
        std::string exe = ZTMSCN_RUNNER;
        argv.push_back(&exe[0]);
        std::string program = ZTMSCN_EXE;
        argv.push_back(&program[0]);
#else
        std::string exe = ZTMSCN_EXE;
        argv.push_back(&exe[0]);
#endif
        std::vector<std::string> copy = args;
        for (auto& a : copy)
          argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execv(exe.c_str(), argv.data());
        _exit(202);
      },
      onOut);
}

std::string MaskTicks(const std::string& out) {
  const std::string tail = "\r\n";
  if (out.size() < tail.size() || out.compare(out.size() - 2, 2, tail) != 0) return out;
  size_t end = out.size() - 2;
  size_t k = end;
  while (k > 0 && std::isdigit(static_cast<unsigned char>(out[k - 1])))
    --k;
  const std::string head = "Ticks: ";
  if (k == end || k < head.size() || out.compare(k - head.size(), head.size(), head) != 0) {
    return out;
  }
  const size_t lineStart = k - head.size();
  if (lineStart != 0 && out[lineStart - 1] != '\n') return out;
  return out.substr(0, k) + "N\r\n";
}

std::string TempDir() {
  const char* base = getenv("TMPDIR");
  std::string t = std::string(base != nullptr && *base != 0 ? base : "/tmp") + "/ztmXXXXXX";
  if (mkdtemp(&t[0]) == nullptr) throw std::runtime_error("mkdtemp");
  char real[PATH_MAX];
  return realpath(t.c_str(), real) != nullptr ? std::string(real) : t;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (f == nullptr) throw std::runtime_error("cannot write " + path);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

std::string Hex(const std::string& digits) {
  std::string out;
  int hi = -1;
  for (char c : digits) {
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    const int v =
        std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10;
    if (hi < 0) {
      hi = v;
    } else {
      out += static_cast<char>(hi * 16 + v);
      hi = -1;
    }
  }
  return out;
}
