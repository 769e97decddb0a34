// The POSIX backend of the platform layer.
//
// Error numbers are errno values.  Attributes follow symbolic links: a
// directory is one after following them, a name beginning with "." is
// hidden, anything neither a regular file nor a directory (FIFO, socket,
// device, dangling link) is a system entry, and a file whose owner may not
// write it is read-only.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "Plat.h"

namespace Plat {

namespace {

constexpr std::uint64_t kUnixEpoch = 11644473600ull;  // seconds 1601 .. 1970

thread_local std::uint32_t lastErr = 0;

void Fail() {
  lastErr = static_cast<std::uint32_t>(errno);
}
void Fail(int e) {
  lastErr = static_cast<std::uint32_t>(e);
}

int argCount = 0;
char** argVec = nullptr;

std::uint64_t FileTime(const struct timespec& t) {
  if (t.tv_sec < -static_cast<std::int64_t>(kUnixEpoch)) return 0;
  return (static_cast<std::uint64_t>(t.tv_sec + static_cast<std::int64_t>(kUnixEpoch))) *
             10000000ull +
         static_cast<std::uint64_t>(t.tv_nsec) / 100;
}

// Attributes of an entry whose status (links followed) is st, or of a
// dangling link when ok is false.
std::uint32_t Attributes(const char* base, const struct stat& st, bool ok) {
  std::uint32_t a = 0;
  if (!ok || (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))) a |= kAttrSystem;
  if (ok && S_ISDIR(st.st_mode)) a |= kAttrDirectory;
  if (base[0] == '.') a |= kAttrHidden;
  if (ok && (st.st_mode & S_IWUSR) == 0) a |= kAttrReadOnly;
  return a == 0 ? kAttrNormal : a;
}

const char* BaseName(const char* path) {
  const char* b = strrchr(path, '/');
  return b == nullptr ? path : b + 1;
}

struct TSearch {
  DIR* dir;
  std::string prefix;  // directory part with its final "/", or empty
  std::string pat;     // last component
};

sigset_t CtrlSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGQUIT);
  sigaddset(&set, SIGHUP);
  sigaddset(&set, SIGTERM);
  return set;
}

std::uint32_t CtrlType(int sig) {
  switch (sig) {
    case SIGINT:
      return kCtrlC;
    case SIGQUIT:
      return kCtrlBreak;
    case SIGHUP:
      return kCtrlClose;
    default:
      return kCtrlShutdown;
  }
}

TCtrlHandler ctrlHandler = nullptr;

struct TEvent {
  int sig;
};

// Each event is handled on a thread of its own, as the console delivers it
// elsewhere; a handler that declines gets the signal's default action.
void* RunEvent(void* arg) {
  const int sig = static_cast<TEvent*>(arg)->sig;
  delete static_cast<TEvent*>(arg);
  if (ctrlHandler(CtrlType(sig)) == 0) {
    signal(sig, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, sig);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    raise(sig);
  }
  return nullptr;
}

void* WaitSignals(void*) {
  const sigset_t set = CtrlSignals();
  for (;;) {
    int sig = 0;
    if (sigwait(&set, &sig) != 0) continue;
    pthread_t t;
    auto* ev = new TEvent{sig};
    if (pthread_create(&t, nullptr, RunEvent, ev) == 0) {
      pthread_detach(t);
    } else {
      RunEvent(ev);
    }
  }
  return nullptr;
}

class TPosix final : public TSys {
 public:
  void Write(TStream s, const char* p, std::size_t n) override {
    while (n > 0) {
      const ssize_t k = write(s == kErr ? 2 : 1, p, n);
      if (k < 0) {
        if (errno == EINTR) continue;
        return;  // nowhere left to report to
      }
      p += k;
      n -= static_cast<std::size_t>(k);
    }
  }

  [[noreturn]] void Exit(std::uint8_t code) override { _exit(code); }

  const char* CommandLine() override { return nullptr; }
  int ArgCount() override { return argCount; }
  const char* Arg(int i) override { return i >= 0 && i < argCount ? argVec[i] : ""; }

  bool ProgramPath(char* buf, std::uint32_t cap) override {
#ifdef __linux__
    if (cap == 0) return false;
    const ssize_t n = readlink("/proc/self/exe", buf, cap);
    if (n <= 0 || static_cast<std::uint32_t>(n) >= cap) return false;
    buf[n] = 0;
    return true;
#else
    (void)buf;
    (void)cap;
    return false;
#endif
  }

  void* Alloc(std::size_t n) override {
    return malloc(n);
  }
  void Free(void* p) override {
    free(p);
  }

  std::uint32_t LastError() override {
    return lastErr;
  }

  std::uint32_t FileAttributes(const char* name) override {
    struct stat st;
    if (stat(name, &st) != 0) {
      Fail();
      return kInvalidAttributes;
    }
    return Attributes(BaseName(name), st, true);
  }

  THandle OpenRead(const char* name) override {
    // Non-blocking, so that a FIFO cannot hold us; only regular files pass.
    const int fd = open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      Fail();
      return kInvalidHandle;
    }
    struct stat st;
    int err = 0;
    if (fstat(fd, &st) != 0) {
      err = errno;
    } else if (S_ISDIR(st.st_mode)) {
      err = EISDIR;
    } else if (!S_ISREG(st.st_mode)) {
      err = ENXIO;
    } else if (fcntl(fd, F_SETFL, O_RDONLY) != 0) {
      err = errno;
    }
    if (err != 0) {
      close(fd);
      Fail(err);
      return kInvalidHandle;
    }
    return fd;
  }

  bool ReadBlock(THandle h, void* buf, std::uint32_t n, std::uint32_t& got) override {
    got = 0;
    ssize_t k;
    do {
      k = read(static_cast<int>(h), buf, n);
    } while (k < 0 && errno == EINTR);
    if (k < 0) {
      Fail();
      return false;
    }
    got = static_cast<std::uint32_t>(k);
    return true;
  }

  bool LastWriteTime(THandle h, std::uint64_t& ft) override {
    struct stat st;
    if (fstat(static_cast<int>(h), &st) != 0) {
      Fail();
      return false;
    }
    ft = FileTime(st.st_mtim);
    return true;
  }

  bool DosDateTime(std::uint64_t ft, std::uint16_t& date, std::uint16_t& time) override {
    if (PackDosTime(ft, date, time)) return true;
    Fail(EINVAL);
    return false;
  }

  bool CloseFile(THandle h) override {
    // On Linux the descriptor is gone even when close reports EINTR.
    if (close(static_cast<int>(h)) != 0 && errno != EINTR) {
      Fail();
      return false;
    }
    return true;
  }

  std::uint32_t CurrentDirectory(std::uint32_t len, char* buf) override {
    std::vector<char> d(4096);
    while (getcwd(d.data(), d.size()) == nullptr) {
      if (errno != ERANGE) {
        Fail();
        return 0;
      }
      d.resize(d.size() * 2);
    }
    const std::size_t n = strlen(d.data());
    if (n + 1 > len) return static_cast<std::uint32_t>(n + 1);
    memcpy(buf, d.data(), n + 1);
    return static_cast<std::uint32_t>(n);
  }

  THandle FindFirst(const char* pattern, TFindData* w) override {
    const char* sep = strrchr(pattern, '/');
    std::string dir = ".";
    auto* s = new TSearch{nullptr, "", pattern};
    if (sep != nullptr) {
      s->prefix.assign(pattern, static_cast<std::size_t>(sep - pattern) + 1);
      s->pat = sep + 1;
      dir = s->prefix;
    }
    s->dir = opendir(dir.c_str());
    if (s->dir == nullptr) {
      Fail();
      delete s;
      return kInvalidHandle;
    }
    const THandle h = reinterpret_cast<THandle>(s);
    if (!FindNext(h, w)) {
      const std::uint32_t e = lastErr;
      FindEnd(h);
      Fail(static_cast<int>(e));
      return kInvalidHandle;
    }
    return h;
  }

  bool FindNext(THandle h, TFindData* w) override {
    auto* s = reinterpret_cast<TSearch*>(h);
    for (;;) {
      errno = 0;
      const struct dirent* e = readdir(s->dir);
      if (e == nullptr) {
        Fail(errno != 0 ? errno : ENOENT);
        return false;
      }
      if (!Match(s->pat.c_str(), e->d_name)) continue;
      const std::string path = s->prefix + e->d_name;
      struct stat st;
      bool ok = stat(path.c_str(), &st) == 0;
      if (!ok && lstat(path.c_str(), &st) != 0) continue;  // gone meanwhile
      w->attributes = Attributes(e->d_name, st, ok);
      w->lastWrite = FileTime(st.st_mtim);
      const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
      w->sizeHigh = static_cast<std::uint32_t>(size >> 32);
      w->sizeLow = static_cast<std::uint32_t>(size);
      const std::size_t n = strlen(e->d_name);
      const std::size_t k = n < sizeof w->name - 1 ? n : sizeof w->name - 1;
      memcpy(w->name, e->d_name, k);
      w->name[k] = 0;
      return true;
    }
  }

  void FindEnd(THandle h) override {
    if (h == kInvalidHandle || h == 0) return;
    auto* s = reinterpret_cast<TSearch*>(h);
    closedir(s->dir);
    delete s;
  }

  bool SetCtrlHandler(TCtrlHandler h) override {
    // The signals stay blocked in every thread; one thread waits for them.
    ctrlHandler = h;
    const sigset_t set = CtrlSignals();
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return false;
    pthread_t t;
    if (pthread_create(&t, nullptr, WaitSignals, nullptr) != 0) return false;
    pthread_detach(t);
    return true;
  }

  std::uint32_t TickCount() override {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(t.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(t.tv_nsec) / 1000000u);
  }
};

}  // namespace

TSys& Native() {
  static TPosix posix;
  return posix;
}

void SetArgs(int argc, char** argv) {
  argCount = argc;
  argVec = argv;
}

}  // namespace Plat
