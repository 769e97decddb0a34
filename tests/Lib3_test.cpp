// The termination chain, the stop and console output, each in a child
// process: a stop ends the process.
#include "Lib3.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <sstream>
#include <thread>

#include "Child.h"
#include "Con.h"
#include "Lib2.h"

namespace {

void Line(const char* s) {
  Con::WrStr(Plat::kOut, s, 128);
  Con::WrLn(Plat::kOut);
}

// Three closing procedures registered in the order C, A, B: the chain runs
// B, A, C, then Halt.
Lib3::TProc oldA, oldB, oldC;
std::atomic<int> stopInA{-1};
std::atomic<bool> aReturns{false};

void ProcC() {
  Line("C");
  oldC();
}
void ProcA() {
  Line("A");
  if (stopInA >= 0) Lib3::Stop(static_cast<std::uint8_t>(stopInA.load()));
  if (aReturns) return;
  oldA();
}
void ProcB() {
  Line("B");
  oldB();
}

void Chain() {
  Lib3::InitModule();
  Lib3::Terminate(&ProcC, oldC);
  Lib3::Terminate(&ProcA, oldA);
  Lib3::Terminate(&ProcB, oldB);
}

TEST(Chain, NormalEndRunsWholeChainAndExitsWithReturnCode) {
  TRun r = RunFn([] {
    Chain();
    Lib3::SetReturnCode(0);
    Lib3::Stop(0);
  });
  EXPECT_EQ(r.out, "B\r\nA\r\nC\r\n");
  EXPECT_EQ(r.code, 0);
}

TEST(Chain, StopCodeIgnoredWhenChainEnds) {
  // The help request: return code 0, stop code 9.
  TRun r = RunFn([] {
    Chain();
    Lib3::SetReturnCode(0);
    Lib3::Stop(9);
  });
  EXPECT_EQ(r.code, 0);
  r = RunFn([] {
    Chain();
    Lib3::Halt();
  });
  EXPECT_EQ(r.out, "B\r\nA\r\nC\r\n");
  EXPECT_EQ(r.code, 255);
}

TEST(Chain, FatalErrorWritesStderrAndExits255) {
  TRun r = RunFn([] {
    Chain();
    Lib3::FatalError("Bad\nthing");
  });
  EXPECT_EQ(r.err, "Bad\r\nthing\r\n");
  EXPECT_EQ(r.out, "B\r\nA\r\nC\r\n");
  EXPECT_EQ(r.code, 255);
}

TEST(Chain, StopInsideClosingProcedureEndsAtOnce) {
  TRun r = RunFn([] {
    Chain();
    stopInA = 7;
    Lib3::SetReturnCode(0);
    Lib3::Stop(0);
  });
  EXPECT_EQ(r.out, "B\r\nA\r\n");  // C never runs
  EXPECT_EQ(r.code, 7);
}

TEST(Chain, ChainThatReturnsExitsWithStopCode) {
  TRun r = RunFn([] {
    Chain();
    aReturns = true;
    Lib3::Stop(4);
  });
  EXPECT_EQ(r.out, "B\r\nA\r\n");
  EXPECT_EQ(r.code, 4);
}

TEST(Chain, InitModuleRunsOnce) {
  TRun r = RunFn([] {
    Chain();
    Lib3::InitModule();  // must not reset the chain or the code
    Lib3::SetReturnCode(3);
    Lib3::InitModule();
    Lib3::Halt();
  });
  EXPECT_EQ(r.out, "B\r\nA\r\nC\r\n");
  EXPECT_EQ(r.code, 3);
}

// A second thread stops while the main thread's chain runs: the process
// ends at once with the second stop's code.
std::atomic<bool> inChain{false};
Lib3::TProc oldSlow;
void SlowProc() {
  Line("slow");
  inChain = true;
  std::this_thread::sleep_for(std::chrono::seconds(5));
  Line("late");
  oldSlow();
}

TEST(Chain, SecondThreadCutsMainChainShort) {
  TRun r = RunFn([] {
    Lib3::InitModule();
    Lib3::Terminate(&SlowProc, oldSlow);
    std::thread t([] {
      while (!inChain)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      Lib3::Stop(5);
    });
    t.detach();
    Lib3::SetReturnCode(0);
    Lib3::Stop(0);
  });
  EXPECT_EQ(r.out, "slow\r\n");
  EXPECT_EQ(r.code, 5);
}

// A chain started on a second thread completes although the main thread
// asks for a stop meanwhile; the main thread's later lines never appear.
Lib3::TProc oldWait;
void WaitProc() {
  inChain = true;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Line("chain");
  oldWait();
}

TEST(Chain, MainThreadWaitsForSecondThreadsChain) {
  TRun r = RunFn([] {
    Lib3::InitModule();
    Lib3::Terminate(&WaitProc, oldWait);
    std::thread t([] { Lib3::Stop(9); });
    t.detach();
    while (!inChain)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Line("main");  // held: the other thread is ending the run
    Lib3::Stop(0);
  });
  EXPECT_EQ(r.out, "chain\r\n");
  EXPECT_EQ(r.code, 255);
}

TEST(Lib2, IncLWrapsAndFillClears) {
  std::uint32_t x = 4294967295u;
  Lib2::IncL(x, 1);
  EXPECT_EQ(x, 0u);
  EXPECT_LT(x, 1u);  // the caller's carry test
  unsigned char rec[439];
  for (auto& c : rec)
    c = 0xA5;
  Lib2::Fill(rec, 0);
  for (unsigned char c : rec)
    ASSERT_EQ(c, 0);
}

// Console output: CR LF line ends on both streams, texts cut at NUL.
TEST(Con, LineEndsAndTexts) {
  TRun r = RunFn([] {
    char full[128];
    for (char& c : full)
      c = 'x';
    Con::WrStr(Plat::kOut, full);
    Con::WrLn(Plat::kOut);
    Con::WrStr(Plat::kOut, "a\r\nb\0hidden", 11);
    Con::WrLn(Plat::kOut);
    Con::WrStr(Plat::kOut, "n=");
    Con::WrCard(Plat::kOut, 0);
    Con::WrCard(Plat::kOut, 4294967295u);
    Con::WrLn(Plat::kOut);
    Con::WrStr(Plat::kErr, "e");
    Con::WrLn(Plat::kErr);
    Plat::sys->Exit(0);
  });
  EXPECT_EQ(r.out, std::string(128, 'x') + "\r\na\r\r\nb\r\nn=04294967295\r\n");
  EXPECT_EQ(r.err, "e\r\n");
  EXPECT_EQ(r.code, 0);
}

TEST(Con, LinesOfTwoThreadsNeverMix) {
  TRun r = RunFn([] {
    Con::InitModule();
    auto writer = [](const char* tag) {
      for (int k = 0; k < 2000; ++k) {
        Con::WrStr(Plat::kOut, tag, 8);
        Con::WrStr(Plat::kOut, "-piece-", 8);
        Con::WrCard(Plat::kOut, static_cast<std::uint32_t>(k));
        Con::WrLn(Plat::kOut);
      }
    };
    std::thread t(writer, "two");
    writer("one");
    t.join();
    Plat::sys->Exit(0);
  });
  std::istringstream in(r.out);
  std::string line;
  std::set<std::string> seen;
  while (std::getline(in, line)) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r') << line;
    line.pop_back();
    const auto dash = line.find("-piece-");
    ASSERT_NE(dash, std::string::npos) << line;
    const std::string tag = line.substr(0, dash);
    ASSERT_TRUE(tag == "one" || tag == "two") << line;
    ASSERT_TRUE(seen.insert(line).second) << "twice: " << line;
  }
  EXPECT_EQ(seen.size(), 4000u);
}

}  // namespace
