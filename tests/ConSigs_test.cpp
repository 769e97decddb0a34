// The console-signal handler, its installation and the clock, in child
// processes with the fake backend.
#include <gtest/gtest.h>

#include "Child.h"
#include "ConSigs.h"
#include "FakeSys.h"
#include "Lib3.h"
#include "Ticks.h"
#include "ZtmScn.h"

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
