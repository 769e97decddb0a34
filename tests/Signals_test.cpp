// Console signals end a long run in order: the signal line, the reader's
// closing line (verbose), the elapsed-time line last, exit code 255.
#include <signal.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
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
