// Console signals end a long run in order: the signal line, the reader's
// closing line (verbose), the elapsed-time line last, exit code 255.
#include <signal.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "Child.h"
#include "ConSigs.h"
#include "FakeSys.h"
#include "Lib3.h"
#include "Ticks.h"
#include "ZtmScn.h"

namespace {

// A format-3 file of many small telegrams: debug output keeps the run busy.
std::string BigFile() {
  static std::string path;
  if (path.empty()) {
    std::string bytes = "\x03";
    const std::string tel = std::string("\x10\x00", 2) + std::string(16, 'A');
    bytes.reserve(1 + tel.size() * 1000000);
    for (int k = 0; k < 1000000; ++k)
      bytes += tel;
    path = TempDir() + "/big.ztm";
    WriteFile(path, bytes);
  }
  return path;
}

class SignalRun : public ::testing::TestWithParam<int> {};

TEST_P(SignalRun, EndsInOrder) {
  const int sig = GetParam();
  bool sent = false;
  TRun r = RunExeWatched({"-v", "-d", BigFile()}, ".", [&](int pid, const std::string& out) {
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

INSTANTIATE_TEST_SUITE_P(Signals, SignalRun, ::testing::Values(SIGINT, SIGQUIT, SIGHUP, SIGTERM),
                         [](const ::testing::TestParamInfo<int>& i) {
                           return std::string(i.param == SIGINT    ? "SIGINT"
                                              : i.param == SIGQUIT ? "SIGQUIT"
                                              : i.param == SIGHUP  ? "SIGHUP"
                                                                   : "SIGTERM");
                         });

}  // namespace

// The handler, the installation and the clock, with the fake backend.

namespace {

FakeSys fake;

TEST(ConSigs, LogoffAndUnknownEventsPassedOn) {
  TRun r = RunFn([] {
    Lib3::InitModule();
    const std::uint32_t a = ConSigs::Handler(Plat::kCtrlLogoff);
    const std::uint32_t b = ConSigs::Handler(7);
    Plat::Exit(static_cast<std::uint8_t>(a + b));
  });
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.code, 0);
}

TEST(ConSigs, HandledEventStopsWithChain) {
  for (std::uint32_t ct : {0u, 1u, 2u, 3u, 4u, 6u}) {
    TRun r = RunFn([ct] {
      Plat::sys = &fake;
      fake.fakeTicks = true;
      fake.ticks[0] = 100;
      fake.ticks[1] = 107;
      Ticks::InitModule();
      ConSigs::Handler(ct);
    });
    EXPECT_EQ(r.out, "ConSigs: Signal received, terminating.\r\nTicks: 7\r\n") << ct;
    EXPECT_EQ(r.code, 255) << ct;
  }
}

TEST(ConSigs, InstallationFailureStopsTheProgram) {
  TRun r = RunFn([] {
    Plat::sys = &fake;
    fake.failCtrl = true;
    ZtmScn::Main();
  });
  EXPECT_EQ(MaskTicks(r.out), "ConSigs: Installation failed.\r\nTicks: N\r\n");
  EXPECT_EQ(r.code, 255);
}

TEST(Ticks, ElapsedTimeSurvivesCounterWrap) {
  TRun r = RunFn([] {
    Plat::sys = &fake;
    fake.fakeTicks = true;
    fake.ticks[0] = 0xFFFFFFF0u;
    fake.ticks[1] = 0x10u;
    Ticks::InitModule();
    Lib3::SetReturnCode(0);
    Lib3::Stop(0);
  });
  EXPECT_EQ(r.out, "Ticks: 32\r\n");
  EXPECT_EQ(r.code, 0);
}

}  // namespace
