// Damaged, changing, huge and oddly named input: the reader never breaks
// and always reports the faults and positions that the bytes it saw call for.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Child.h"
#include "Expect.h"
#include "Gen.h"
#include "MemSys.h"

namespace {

std::string Mismatch(const std::string& what, const std::string& got, const std::string& want) {
  return what + "\ngot:\n" + got.substr(0, 2000) + "\nwant:\n" + want.substr(0, 2000);
}

TEST(Hostile, EveryPrefixOfValidFiles) {
  const std::string out = InReader([](MemSys& m) -> std::string {
    const std::vector<std::string> files = {
        Gen::Make({400, 3, 1, 40, 1}), Gen::Make({400, 7, 1, 40, 2}), Gen::Make({400, 8, 1, 40, 3}),
        Gen::Make({300, 5, 1, 40, 4}), Gen::Make({9000, 7, 2040, 2048, 5})};
    for (const std::string& f : files) {
      for (std::size_t k = 0; k <= f.size(); ++k) {
        const std::string prefix = f.substr(0, k);
        m.Bytes(prefix);
        const std::string got = ReaderTrace(m, k);
        const std::string want = Ref::Expected(prefix);
        if (got != want) return Mismatch("prefix " + std::to_string(k), got, want);
      }
    }
    return "ok";
  });
  EXPECT_EQ(out, "ok");
}

// The file holds `before` bytes of some content until the reader's first
// read, then `after` bytes of the same content.
std::string Changing(std::uint64_t before, std::uint64_t after) {
  return InReader([=](MemSys& m) -> std::string {
    const std::string c = Gen::Make({std::max(before, after), 3, 1, 300, 7});
    std::uint64_t size = before;
    m.source = [&](std::uint64_t off, std::uint8_t* d, std::uint32_t n) -> std::uint32_t {
      const std::uint64_t now = size;
      size = after;  // changes right after the first read
      if (off >= now) return 0;
      const std::uint64_t k = std::min<std::uint64_t>(n, now - off);
      std::memcpy(d, c.data() + off, static_cast<std::size_t>(k));
      return static_cast<std::uint32_t>(k);
    };
    // What the reader can have seen: its first read of the first size, then
    // on to the end of the second (nothing, if that lies behind it already).
    const std::uint64_t first = std::min<std::uint64_t>(before, 65536);
    const std::uint64_t seen = std::max(first, after);
    const std::string got = ReaderTrace(m, std::max(before, after));
    const std::string want = Ref::Expected(c.substr(0, seen));
    return got == want ? "ok" : Mismatch("changing file", got, want);
  });
}

TEST(Hostile, FileGrowsWhileRead) {
  EXPECT_EQ(Changing(70000, 150000), "ok");
  EXPECT_EQ(Changing(1000, 150000), "ok");  // a short read is no end
}

TEST(Hostile, FileShrinksWhileRead) {
  EXPECT_EQ(Changing(150000, 70000), "ok");
  EXPECT_EQ(Changing(150000, 100), "ok");  // below what was read already
}

// A virtual format-3 file past 4 GiB: telegrams of 2048 bytes, then a last
// one cut short, whose fault carries positions of nine hex digits.
TEST(Hostile, PositionsBeyondFourGiB) {
  const std::string out = InReader([](MemSys& m) -> std::string {
    const std::uint64_t kTel = 2050;
    const std::uint64_t tels = ((1ull << 32) + kTel - 1) / kTel;
    const std::uint64_t last = 1 + tels * kTel;  // first offset past 2^32
    const std::uint64_t size = last + 2 + 10;
    std::string period(kTel, 0);
    period[0] = 0x00;
    period[1] = 0x08;
    for (std::size_t k = 2; k < kTel; ++k)
      period[k] = static_cast<char>(k * 7);
    m.source = [&](std::uint64_t off, std::uint8_t* d, std::uint32_t n) -> std::uint32_t {
      std::uint32_t k = 0;
      while (k < n && off + k < size) {
        const std::uint64_t o = off + k;
        if (o == 0) {
          d[k++] = 3;
          continue;
        }
        const std::uint64_t in = (o - 1) % kTel;
        const std::uint64_t run = std::min<std::uint64_t>({kTel - in, n - k, size - o});
        std::memcpy(d + k, period.data() + in, static_cast<std::size_t>(run));
        k += static_cast<std::uint32_t>(run);
      }
      return k;
    };
    const std::string got = ReaderTrace(m, size, false);
    // Only the end matters here: the count, the fault and the last top.
    const std::string fault = Ref::Fault("Read: cannot read tel", last, last + 2);
    const std::string tail = "C " + std::to_string(tels) + " " + Ref::Hx(last + 2) + "\n";
    if (got.find(fault) == std::string::npos || got.size() < tail.size() ||
        got.compare(got.size() - tail.size(), tail.size(), tail) != 0 ||
        got.find("BROKEN") != std::string::npos) {
      return "unexpected end: " + got.substr(got.size() > 300 ? got.size() - 300 : 0);
    }
    return fault;
  });
  EXPECT_EQ(out, "Rdr.Err: Read: cannot read tel, pos 100000005 top 100000007\r\n");
}

// Names with blanks, quotes and bytes beyond ASCII are shown as they are.
TEST(HostileNames, OddCharacters) {
  const std::string dir = TempDir();
  const std::string odd[] = {"a b.ztm", "q\"uote.ztm", "\xC3\xBC\xC3\xA4.ztm"};
  for (const std::string& n : odd) {
    const std::string sub = dir + "/" + std::to_string(&n - odd);
    mkdir(sub.c_str(), 0755);
    WriteFile(sub + "/" + n, Hex("03 0100 41"));
    TRun r = RunExe({"-v", "*.ztm"}, sub);
    EXPECT_EQ(MaskTicks(r.out), ConfigLines(sub, false, true, false, "*.ztm") +
                                    "Rdr.Msg: Open: opn 1 src \"" + n + "\" fmt 3\r\n" +
                                    "Rdr.Msg: Close: opn 1 cnt 1 top 4\r\n" +
                                    "Rdr.Msg: DoneModule: opn 1\r\n" + kTicks);
  }
}

// Input paths of 127, 128 and 129 characters: at most 127 reach the system,
// so the longer ones name files that do not exist.
TEST(HostileNames, LengthLimit) {
  const std::string dir = TempDir();
  const std::string sub(40, 's');
  mkdir((dir + "/" + sub).c_str(), 0755);
  for (const std::size_t total : {127u, 128u, 129u}) {
    const std::string name(total - sub.size() - 1, static_cast<char>('a' + total - 127));
    WriteFile(dir + "/" + sub + "/" + name, Hex("03 0100 41"));
    TRun r = RunExe({"-d", P(sub + "/" + name)}, dir);
    EXPECT_EQ(MaskTicks(r.out),
              (total == 127 ? "ZtmScn: len 1 tel 41\r\n" : "ZtmScn: infile does not exist\r\n") +
                  std::string(kTicks))
        << total;
    EXPECT_EQ(r.code, 0);
  }
}

// FIFOs, sockets, devices, directories and dangling links never match: the
// program cannot block on them or read them.
TEST(HostileNames, SpecialEntriesNeverMatch) {
  const std::string dir = TempDir();
  mkfifo((dir + "/fifo.ztm").c_str(), 0644);
  mkdir((dir + "/dir.ztm").c_str(), 0755);
  symlink("nowhere", (dir + "/dangling.ztm").c_str());
  const int s = socket(AF_UNIX, SOCK_STREAM, 0);
  struct sockaddr_un a {};
  a.sun_family = AF_UNIX;
  const std::string sock = dir + "/sock.ztm";
  sock.copy(a.sun_path, sizeof a.sun_path - 1);
  ASSERT_EQ(bind(s, reinterpret_cast<struct sockaddr*>(&a), sizeof a), 0);
  for (const std::string pat : {"*.ztm", "fifo.ztm", "sock.ztm", "dir.ztm", "dangling.ztm",
                                "/dev/null", "/dev/zero", "/dev/std*"}) {
    TRun r = RunExe({pat}, dir);
    EXPECT_EQ(MaskTicks(r.out), "ZtmScn: infile does not exist\r\n" + std::string(kTicks)) << pat;
    EXPECT_EQ(r.code, 0) << pat;
  }
  close(s);
}

}  // namespace
