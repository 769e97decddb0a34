#include "FIO2.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "Child.h"
#include "FakeSys.h"
#include "Lib3.h"

namespace {

FakeSys fake;

// Runs fn in a child with the fake backend in place and the modules set up.
TRun InChild(const std::function<void()>& fn) {
  return RunFn([&] {
    Plat::sys = &fake;
    FIO2::InitModule();
    fn();
    Plat::sys->Exit(0);
  });
}

void Say(const std::string& s) {
  Plat::sys->Write(Plat::kOut, s.data(), s.size());
}

// A 10-byte file in a fresh directory.
std::string TenBytes() {
  const std::string d = TempDir();
  WriteFile(d + "/ten", "0123456789");
  return d + "/ten";
}

void Name(char (&n)[128], const std::string& s) {
  std::fill(std::begin(n), std::end(n), 0);
  s.copy(n, 128);
}

// Unix seconds -> FILETIME.
std::uint64_t Ft(std::int64_t unixSec) {
  return static_cast<std::uint64_t>(unixSec + 11644473600LL) * 10000000ull;
}

struct TFailCase {
  const char* name;
  std::function<void()> setup;
  std::function<void()> act;
  std::string out;
};

class FIO2Failures : public ::testing::TestWithParam<TFailCase> {};

TEST_P(FIO2Failures, FatalLineAndExit255) {
  const TFailCase& c = GetParam();
  TRun r = InChild([&] {
    fake.err = 5;
    c.setup();
    c.act();
  });
  EXPECT_EQ(r.out, c.out);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 255);
}

void OpenTen() {
  char n[128];
  Name(n, TenBytes());
  FIO2::TFile f = FIO2::OpenRead(n);
  std::uint8_t x[64];
  FIO2::GetFileDate(f);
  FIO2::RdBin(f, x, sizeof x, 64);
  FIO2::Close(f);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FIO2Failures,
    ::testing::Values(
        TFailCase{"CreateFile", [] { fake.failOpen = true; }, OpenTen,
                  "FIO2.Fatal: OpenRead: CreateFile failed, error 5\r\n"},
        TFailCase{"ReadFile", [] { fake.failRead = true; }, OpenTen,
                  "FIO2.Fatal: RdBin: ReadFile failed, error 5\r\n"},
        TFailCase{"ReadTooMuch", [] { fake.overRead = 60; }, OpenTen,
                  "FIO2.Fatal: RdBin: ReadFile read 70 instead of 64\r\n"},
        TFailCase{"GetFileTime", [] { fake.failTime = true; }, OpenTen,
                  "FIO2.Fatal: GetFileDate: GetFileTime failed, error 5\r\n"},
        TFailCase{"FileTimeToDosDateTime", [] { fake.failDos = true; }, OpenTen,
                  "FIO2.Fatal: GetFileDate: FileTimeToDosDateTime failed, error 5\r\n"},
        TFailCase{"CloseHandle", [] { fake.failClose = true; }, OpenTen,
                  "FIO2.Fatal: Close: CloseHandle failed, error 5\r\n"},
        TFailCase{"GetCurrentDirectory", [] { fake.failCwd = true; },
                  [] {
                    Types::TPthStr d;
                    FIO2::GetDirX(d);
                  },
                  "FIO2.Fatal: GetDirX: GetCurrentDirectory failed, error 5\r\n"},
        TFailCase{"DirectoryTooLong", [] { fake.cwdLength = 128; },
                  [] {
                    Types::TPthStr d;
                    FIO2::GetDirX(d);
                  },
                  "FIO2.Fatal: GetDirX: Provided buffer too small, required size 129\r\n"},
        TFailCase{"InvalidHandle", [] {}, [] { FIO2::Alloc(Plat::kInvalidHandle); },
                  "FIO2.Fatal: Alloc: Invalid handle\r\n"},
        TFailCase{"ValidHandle", [] {},
                  [] {
                    char n[128];
                    Name(n, TenBytes());
                    FIO2::TFile f = FIO2::OpenRead(n);
                    FIO2::Free(f);
                  },
                  "FIO2.Fatal: Free: Valid handle\r\n"},
        TFailCase{"TooManyFiles", [] {},
                  [] {
                    char n[128];
                    Name(n, TenBytes());
                    for (int k = 0; k < 257; ++k)
                      FIO2::OpenRead(n);
                  },
                  "FIO2.Fatal: Alloc: Too many files\r\n"},
        TFailCase{"ScanDateOutOfRange", [] { fake.fileTime = Ft(283996800); },  // 1979
                  [] {
                    char n[128];
                    Name(n, TenBytes());
                    FIO2::DirEntry r;
                    FIO2::ReadFirstEntry(n, 128, 0, r);
                  },
                  "FIO2.Fatal: SetDirEntry: FileTimeToDosDateTime failed, error 22\r\n"},
        TFailCase{"FileDateOutOfRange", [] { fake.fileTime = Ft(283996800); }, OpenTen,
                  "FIO2.Fatal: GetFileDate: FileTimeToDosDateTime failed, error 22\r\n"},
        TFailCase{"ScanWorkSpace", [] { fake.failAlloc = true; },
                  [] {
                    FIO2::DirEntry r;
                    FIO2::ReadFirstEntry("*", 2, 0, r);
                  },
                  "FIO2.Fatal: ReadFirstEntry: HeapAlloc failed\r\n"}),
    [](const ::testing::TestParamInfo<TFailCase>& i) { return std::string(i.param.name); });

// A failure inside a closing procedure of a stop already under way: the
// line is written and Fatal returns to its caller.
Lib3::TProc oldClosing;
void Closing() {
  FIO2::Fatal("second");
  Say("after\r\n");
  oldClosing();
}

TEST(FIO2, FatalReturnsDuringStop) {
  TRun r = InChild([] {
    Lib3::Terminate(&Closing, oldClosing);
    FIO2::Fatal("first");
    Say("not reached\r\n");
  });
  EXPECT_EQ(r.out, "FIO2.Fatal: first\r\nFIO2.Fatal: second\r\nafter\r\n") << r.sig << r.err;
  EXPECT_EQ(r.code, 255);
}

TEST(FIO2, ExistsOpenReadCloseAndSlots) {
  const std::string path = TenBytes();
  TRun r = InChild([&] {
    char n[128];
    Name(n, path);
    char dir[128];
    Name(dir, path.substr(0, path.rfind('/')));
    char none[128];
    Name(none, path + ".none");
    std::string s;
    s += FIO2::Exists(n) ? "file " : "nofile ";
    s += FIO2::Exists(dir) ? "dir " : "nodir ";
    s += FIO2::Exists(none) ? "none " : "nonone ";
    FIO2::TFile a = FIO2::OpenRead(n);
    FIO2::TFile b = FIO2::OpenRead(n);
    s += std::to_string(a->i) + std::to_string(b->i);
    FIO2::Close(a);
    s += a == nullptr ? " null" : " set";
    FIO2::TFile c = FIO2::OpenRead(n);
    s += " c" + std::to_string(c->i);
    std::uint8_t x[4];
    s += " " + std::to_string(FIO2::RdBin(c, x, sizeof x, 65536));  // cut to x
    std::uint8_t big[65536];
    s += " " + std::to_string(FIO2::RdBin(b, big, sizeof big, 65536));
    s += " " + std::to_string(FIO2::RdBin(b, big, sizeof big, 65536));
    Say(s);
  });
  EXPECT_EQ(r.out, "file dir nonone 12 null c1 4 10 0");
  EXPECT_EQ(r.code, 0);
}

TEST(FIO2, FullNameLosesLastCharacter) {
  const std::string d = TempDir();
  const std::string base = d + "/" + std::string(127 - d.size() - 1, 'n');
  ASSERT_EQ(base.size(), 127u);
  WriteFile(base, "x");
  TRun r = InChild([&] {
    char n[128];
    Name(n, base + "Z");  // 128 characters, no terminator
    FIO2::TFile f = FIO2::OpenRead(n);
    Say(f != nullptr && FIO2::Exists(n) ? "opened" : "no");
  });
  EXPECT_EQ(r.out, "opened");
}

TEST(FIO2, PackedFileDateIsUtc) {
  const std::string path = TenBytes();
  TRun r = InChild([&] {
    char n[128];
    Name(n, path);
    std::string s;
    for (long sec : {1715953530L, 1715953531L}) {  // 2024-05-17 13:45:30 and :31 UTC
      struct timeval tv[2] = {{sec, 0}, {sec, 0}};
      utimes(path.c_str(), tv);
      FIO2::TFile f = FIO2::OpenRead(n);
      char hex[16];
      snprintf(hex, sizeof hex, "%08X ", FIO2::GetFileDate(f));
      s += hex;
      FIO2::Close(f);
    }
    Say(s);
  });
  EXPECT_EQ(r.out, "58B16DAF 58B16DAF ");
}

TEST(FIO2, PackDosTimeRange) {
  std::uint16_t d = 0, t = 0;
  EXPECT_TRUE(Plat::PackDosTime(Ft(315532800), d, t));  // 1980-01-01 00:00:00
  EXPECT_EQ(d, 0x0021);
  EXPECT_EQ(t, 0);
  EXPECT_FALSE(Plat::PackDosTime(Ft(315532799), d, t));
  EXPECT_TRUE(Plat::PackDosTime(Ft(4354819199LL), d, t));  // 2107-12-31 23:59:59
  EXPECT_EQ(d, (127 << 9) | (12 << 5) | 31);
  EXPECT_EQ(t, (23 << 11) | (59 << 5) | 29);
  EXPECT_FALSE(Plat::PackDosTime(Ft(4354819200LL), d, t));  // 2108
  EXPECT_TRUE(Plat::PackDosTime(Ft(951782400), d, t));      // 2000-02-29
  EXPECT_EQ(d, (20 << 9) | (2 << 5) | 29);
}

// One directory with every kind of entry, scanned under three masks.
class Scan : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = TempDir();
    WriteFile(dir + "/a.ztm", "a");
    WriteFile(dir + "/.h.ztm", "h");
    WriteFile(dir + "/r.ztm", "r");
    chmod((dir + "/r.ztm").c_str(), 0444);
    mkfifo((dir + "/f.ztm").c_str(), 0644);
    mkdir((dir + "/d.ztm").c_str(), 0755);
    symlink("nowhere", (dir + "/l.ztm").c_str());
    symlink("a.ztm", (dir + "/g.ztm").c_str());
    WriteFile(dir + "/other.txt", "o");
  }
  // Names delivered, sorted, each with its attribute byte.
  std::string Names(const std::string& pat, std::uint8_t mask) {
    TRun r = InChild([&] {
      char n[128];
      Name(n, pat);
      FIO2::DirEntry e;
      std::vector<std::string> got;
      for (bool ok = FIO2::ReadFirstEntry(n, 128, mask, e); ok; ok = FIO2::ReadNextEntry(e)) {
        got.push_back(std::string(e.name) + ":" + std::to_string(e.attr));
      }
      const bool cleared = e.name[0] == 0 && e.size.l == 0 && e.attr == 0 && e.date == 0;
      FIO2::ReadClose(e);
      const bool zero = e.wsp == nullptr && e.hnd == 0 && e.msk == 0;
      std::sort(got.begin(), got.end());
      std::string s;
      for (auto& g : got)
        s += g + " ";
      s += cleared ? "cleared " : "dirty ";
      s += zero ? "zero" : "left";
      Say(s);
    });
    EXPECT_EQ(r.code, 0) << r.out;
    return r.out;
  }
  std::string dir;
};

TEST_F(Scan, MaskSelectsKinds) {
  EXPECT_EQ(Names(dir + "/*.ztm", 0), "a.ztm:0 g.ztm:0 r.ztm:1 cleared zero");
  EXPECT_EQ(Names(dir + "/*.ztm", 0x10), "a.ztm:0 d.ztm:16 g.ztm:0 r.ztm:1 cleared zero");
  EXPECT_EQ(Names(dir + "/*.ztm", 0x16),
            ".h.ztm:2 a.ztm:0 d.ztm:16 f.ztm:4 g.ztm:0 l.ztm:4 r.ztm:1 cleared zero");
}

TEST_F(Scan, PatternsAndMisses) {
  EXPECT_EQ(Names(dir + "/?.ztm", 0), "a.ztm:0 g.ztm:0 r.ztm:1 cleared zero");
  EXPECT_EQ(Names(dir + "/a*", 0), "a.ztm:0 cleared zero");
  EXPECT_EQ(Names(dir + "/A.ZTM", 0), "cleared zero");  // case counts here
  EXPECT_EQ(Names(dir + "/*.none", 0), "cleared zero");
  EXPECT_EQ(Names(dir + "/missing/*", 0), "cleared zero");
  EXPECT_EQ(Names(dir + "/*t*", 0), "a.ztm:0 g.ztm:0 other.txt:0 r.ztm:1 cleared zero");
}

TEST_F(Scan, HiddenOldFileSkippedWithoutStop) {
  TRun r = RunFn([&] {
    Plat::sys = &fake;
    fake.fileTime = Ft(283996800);  // 1979, for every entry
    FIO2::InitModule();
    char n[128];
    Name(n, dir + "/.h*");
    FIO2::DirEntry e;
    Say(FIO2::ReadFirstEntry(n, 128, 0, e) ? "found" : "none");
    Plat::sys->Exit(0);
  });
  EXPECT_EQ(r.out, "none");
  EXPECT_EQ(r.code, 0);
}

TEST(ScanSize, SparseFiveGiB) {
  const std::string d = TempDir();
  const std::string p = d + "/big.ztm";
  const int fd = open(p.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 5LL << 30), 0);
  close(fd);
  TRun r = InChild([&] {
    char n[128];
    Name(n, p);
    FIO2::DirEntry e;
    FIO2::ReadFirstEntry(n, 128, 0, e);
    Say(std::to_string(e.size.h) + " " + std::to_string(e.size.l));
  });
  unlink(p.c_str());
  EXPECT_EQ(r.out, "1 1073741824");
}

// The real current directory at 127 and 128 characters.
TEST(GetDirX, DeepDirectory) {
  std::string d = TempDir();
  for (const std::uint32_t want : {127u, 128u}) {
    std::string deep = d;
    while (deep.size() + 51 < want) {
      deep += "/" + std::string(50, 'x');
      mkdir(deep.c_str(), 0755);
    }
    deep += "/" + std::string(want - deep.size() - 1, 'y');
    mkdir(deep.c_str(), 0755);
    ASSERT_EQ(deep.size(), want);
    TRun r = RunFn([&] {
      if (chdir(deep.c_str()) != 0) Plat::sys->Exit(1);
      FIO2::InitModule();
      Types::TPthStr t;
      FIO2::GetDirX(t);
      Say(std::string(t) == deep ? "same" : "differs");
      Plat::sys->Exit(0);
    });
    if (want == 127) {
      EXPECT_EQ(r.out, "same");
      EXPECT_EQ(r.code, 0);
    } else {
      EXPECT_EQ(r.out, "FIO2.Fatal: GetDirX: Provided buffer too small, required size 129\r\n");
      EXPECT_EQ(r.code, 255);
    }
  }
}

}  // namespace
