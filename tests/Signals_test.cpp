// Console signals end a long run in order: the signal line, the reader's
// closing line (verbose), the elapsed-time line last, exit code 255.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Child.h"
#include "Expect.h"

namespace {

// A directory with big.ztm, a format-3 file of many small telegrams: debug
// output keeps the run busy.
std::string BigFileDir() {
  static std::string dir;
  if (dir.empty()) {
    std::string bytes = "\x03";
    const std::string tel = std::string("\x10\x00", 2) + std::string(16, 'A');
    bytes.reserve(1 + tel.size() * 1000000);
    for (int k = 0; k < 1000000; ++k)
      bytes += tel;
    dir = TempDir();
    WriteFile(dir + "/big.ztm", bytes);
  }
  return dir;
}

class SignalRun : public ::testing::TestWithParam<int> {};

TEST_P(SignalRun, EndsInOrder) {
  const int sig = GetParam();
  bool sent = false;
  TRun r =
      RunExeWatched({"-v", "-d", "big.ztm"}, BigFileDir(), [&](int pid, const std::string& out) {
        if (!sent && out.find("ZtmScn: len") != std::string::npos) {
          kill(pid, sig);
          sent = true;
        }
      });
  ASSERT_TRUE(sent);
  EXPECT_EQ(r.code, 255);
  EXPECT_EQ(r.err, "");
  const std::string tail =
      "ConSigs: Signal received, terminating.\r\n"
      "Rdr.Msg: DoneModule: opn 1\r\nTicks: N\r\n";
  const std::string out = MaskTicks(r.out);
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
  // Every line before the tail is whole: a debug line or a known verbose one.
  std::istringstream in(out.substr(0, out.size() - tail.size()));
  std::string line;
  const std::string dbg = "ZtmScn: len 16 tel 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41\r";
  while (std::getline(in, line)) {
    if (line.rfind("ZtmScn: len", 0) == 0) {
      ASSERT_EQ(line, dbg);
    }
  }
}

// Wine turns SIGINT alone into a console control event (CTRL_C_EVENT).
INSTANTIATE_TEST_SUITE_P(Signals, SignalRun,
                         ::testing::ValuesIn(kWin ? std::vector<int>{SIGINT}
                                                  : std::vector<int>{SIGINT, SIGQUIT, SIGHUP,
                                                                     SIGTERM}),
                         [](const ::testing::TestParamInfo<int>& i) {
                           return std::string(i.param == SIGINT    ? "SIGINT"
                                              : i.param == SIGQUIT ? "SIGQUIT"
                                              : i.param == SIGHUP  ? "SIGHUP"
                                                                   : "SIGTERM");
                         });

}  // namespace

namespace {

// What a verbose (and maybe debug) run over big.ztm may end as when a
// signal comes at a random moment.  Returns "" when the output and exit
// code fit one of the outcomes the program allows, else what is wrong.
std::string JudgeInterrupted(const TRun& r, bool verbose) {
  const std::string out = MaskTicks(r.out);
  if (r.sig != 0) return "ended by signal " + std::to_string(r.sig);
  if (!r.err.empty()) return "standard error: " + r.err;
  // Every line whole and of a known kind, nothing after the Ticks line.
  std::size_t at = 0;
  std::vector<std::string> lines;
  while (at < out.size()) {
    const std::size_t e = out.find("\r\n", at);
    if (e == std::string::npos) return "torn last line: " + out.substr(at);
    lines.push_back(out.substr(at, e - at));
    at = e + 2;
  }
  const std::string dbg = "ZtmScn: len 16 tel 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41";
  const std::string con = "ConSigs: Signal received, terminating.";
  const std::string done = "Rdr.Msg: DoneModule: opn 1";
  int cons = 0;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const std::string& l = lines[k];
    if (l == con) {
      ++cons;
    } else if (l.rfind("ZtmScn: len", 0) == 0 && l != dbg) {
      return "torn debug line: " + l;
    } else if (l.find("ConSigs") != std::string::npos && l != con) {
      return "torn signal line: " + l;
    } else if (l == "Ticks: N" && k + 1 != lines.size()) {
      return "a line after the Ticks line";
    }
  }
  const bool ticksLast = !lines.empty() && lines.back() == "Ticks: N";
  if (r.code == 255 || r.code == 0) {
    // Interrupted (255), or the normal end came first (0; with the signal
    // line when the signal's chain ran after the return code was set).
    if (!ticksLast) return "no Ticks line at the end";
    if (r.code == 255 && cons != 1) return "signal line missing";
    if (verbose && (lines.size() < 2 || lines[lines.size() - 2] != done)) {
      return "no DoneModule line before Ticks";
    }
    return "";
  }
  if (r.code == 9) return cons >= 1 ? "" : "exit 9 without a signal line";  // during the chain
  return "exit code " + std::to_string(r.code);
}

// Signals at random moments of verbose and debug runs: every one ends in
// one of the allowed ways, with whole lines.
TEST(SignalLoad, RandomMomentsManyRuns) {
  const std::vector<int> sigs =
      kWin ? std::vector<int>{SIGINT} : std::vector<int>{SIGINT, SIGQUIT, SIGHUP, SIGTERM};
  const int runs = kWin ? 24 : 120;
  std::uint64_t seed = 88172645463325252ull;
  auto next = [&] {
    seed ^= seed << 13;
    seed ^= seed >> 7;
    seed ^= seed << 17;
    return seed;
  };
  int interrupted = 0, normal = 0, late = 0;
  for (int k = 0; k < runs; ++k) {
    const int sig = sigs[k % sigs.size()];
    const bool debug = k % 2 == 0;
    // A random moment after the first output (the handler is in place by
    // then): within the run, or now and then just after its end.
    const auto delay = std::chrono::microseconds(next() % (debug ? 300000 : 30000));
    std::atomic<bool> finished{false};
    std::thread timer;
    std::vector<std::string> args = {"-v", "big.ztm"};
    if (debug) args.insert(args.begin(), "-d");
    TRun r = RunExeWatched(args, BigFileDir(), [&](int pid, const std::string&) {
      if (!timer.joinable()) {
        timer = std::thread([&finished, pid, sig, delay] {
          std::this_thread::sleep_for(delay);
          if (!finished) kill(pid, sig);
        });
      }
    });
    finished = true;
    if (timer.joinable()) timer.join();
    const std::string verdict = JudgeInterrupted(r, true);
    ASSERT_EQ(verdict, "") << "run " << k << " signal " << sig << " debug " << debug << " exit "
                           << r.code << "\n"
                           << r.out.substr(r.out.size() > 400 ? r.out.size() - 400 : 0);
    if (r.code == 255) ++interrupted;
    if (r.code == 0 && r.out.find("ConSigs") == std::string::npos) ++normal;
    if (r.code == 0 && r.out.find("ConSigs") != std::string::npos) ++late;
  }
  std::printf("signal runs: %d, interrupted %d, ended normally %d, signal after the end %d\n", runs,
              interrupted, normal, late);
  EXPECT_GE(interrupted, runs / 4) << "too few runs were interrupted to tell anything";
}

// A reader of the output that goes away early: the program ends promptly.
TEST(SignalLoad, ClosedOutputEndsRun) {
  if (kWin) GTEST_SKIP() << "Wine's pipes are another matter";
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], 1);
    close(fds[0]);
    close(fds[1]);
    if (chdir(BigFileDir().c_str()) != 0) _exit(201);
    execl(ZTMSCN_EXE, ZTMSCN_EXE, "-d", "big.ztm", static_cast<char*>(nullptr));
    _exit(202);
  }
  close(fds[1]);
  char buf[64];
  ASSERT_GT(read(fds[0], buf, sizeof buf), 0);  // like head -1
  close(fds[0]);
  int status = 0;
  for (int k = 0; k < 500 && waitpid(pid, &status, WNOHANG) == 0; ++k)
    usleep(10000);
  const bool ended =
      waitpid(pid, &status, WNOHANG) != 0 || WIFSIGNALED(status) || WIFEXITED(status);
  if (!ended) kill(pid, SIGKILL);
  EXPECT_TRUE(ended) << "still running 5 s after its reader went away";
}

}  // namespace
