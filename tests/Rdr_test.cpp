// The reader and the driver end to end: files made from bytes in a fresh
// directory, the program run over them, every output byte compared.
#include <sys/stat.h>
#include <sys/time.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Child.h"
#include "Expect.h"

namespace {

std::string Le16(std::uint32_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)};
}
std::string Le32(std::uint32_t v) {
  return Le16(v & 0xFFFF) + Le16(v >> 16);
}

// A payload of n bytes: k-th byte is (seed + k) mod 256.
std::string Payload(std::uint32_t n, std::uint8_t seed = 0) {
  std::string p(n, 0);
  for (std::uint32_t k = 0; k < n; ++k)
    p[k] = static_cast<char>(seed + k);
  return p;
}
std::string Tel(const std::string& payload) {
  return Le16(payload.size()) + payload;
}
std::string Tel7(std::uint32_t ref, const std::string& payload) {
  return Le16(payload.size() + 4) + Le32(ref) + payload;
}

// The debug line of a payload.
std::string Dbg(const std::string& p) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string s = "ZtmScn: len " + std::to_string(p.size()) + " tel ";
  for (size_t k = 0; k < p.size() && k < 16; ++k) {
    if (k > 0) s += ' ';
    s += kHex[static_cast<std::uint8_t>(p[k]) >> 4];
    s += kHex[static_cast<std::uint8_t>(p[k]) & 15];
  }
  return s + "\r\n";
}

std::string Open(int opn, const std::string& src, int fmt) {
  return "Rdr.Msg: Open: opn " + std::to_string(opn) + " src \"" + src + "\" fmt " +
         std::to_string(fmt) + "\r\n";
}
std::string Close(int opn, int cnt, const std::string& top) {
  return "Rdr.Msg: Close: opn " + std::to_string(opn) + " cnt " + std::to_string(cnt) + " top " +
         top + "\r\n";
}
std::string Err(const std::string& what, const std::string& pos, const std::string& top) {
  return "Rdr.Err: " + what + ", pos " + pos + " top " + top + "\r\n";
}
std::string Done(int opn) {
  return "Rdr.Msg: DoneModule: opn " + std::to_string(opn) + "\r\n";
}

struct TFile {
  std::string name;  // "sub/" makes the directory
  std::string bytes;
};

struct TRdrCase {
  const char* name;
  std::vector<TFile> files;
  std::vector<std::string> args;
  std::function<std::string(const std::string& dir)> out;  // Ticks masked
};

class RdrTable : public ::testing::TestWithParam<TRdrCase> {};

TEST_P(RdrTable, ExactOutput) {
  const TRdrCase& c = GetParam();
  const std::string dir = TempDir();
  for (const TFile& f : c.files) {
    if (f.name.back() == '/') {
      mkdir((dir + "/" + f.name).c_str(), 0755);
    } else {
      WriteFile(dir + "/" + f.name, f.bytes);
    }
  }
  TRun r = RunExe(c.args, dir);
  EXPECT_EQ(MaskTicks(r.out), c.out(dir));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 0);
}

const std::string kF7 = Hex("07 0600 2A000000 4142 0500 01000000 43");

// Plain mode over one file x.ztm: just the fault line (if any) and Ticks.
TRdrCase Fault(const char* name, const std::string& bytes, const std::string& line) {
  return TRdrCase{
      name, {{"x.ztm", bytes}}, {"x.ztm"}, [line](const std::string&) { return line + kTicks; }};
}

// Verbose and debug over x.ztm: opening, telegrams, fault, closing.
TRdrCase Walk(const char* name, const std::string& bytes, int fmt, int opn,
              const std::vector<std::string>& payloads, const std::string& fault,
              const std::string& top) {
  return TRdrCase{
      name, {{"x.ztm", bytes}}, {"-d", "-v", "x.ztm"}, [=](const std::string& d) {
        std::string s = ConfigLines(d, true, true, false, "x.ztm") + Open(opn, "x.ztm", fmt);
        if (fmt != 3 && fmt != 7 && fmt != 8) s += fault;
        for (const auto& p : payloads)
          s += Dbg(p);
        if (fmt == 3 || fmt == 7 || fmt == 8) s += fault;
        return s + Close(opn, static_cast<int>(payloads.size()), top) + Done(opn) + kTicks;
      }};
}

INSTANTIATE_TEST_SUITE_P(
    Worked, RdrTable,
    ::testing::Values(
        TRdrCase{"Format7VerboseDebug",
                 {{"tst.ztm", kF7}},
                 {"-v", "-d"},
                 [](const std::string& d) {
                   return ConfigLines(d, true, true, false) + Open(1, "tst.ztm", 7) +
                          Lines({"ZtmScn: len 2 tel 41 42", "ZtmScn: len 1 tel 43"}) +
                          Close(1, 2, "10") + Done(1) + kTicks;
                 }},
        Walk("Format3ZeroLength", Hex("03 0200 AABB 0000"), 3, 1, {Hex("AABB")},
             Err("Read: tel len is zero", "5", "7"), "7"),
        Walk("FaultInThirdTelegram",
             Hex("03") + Tel(Payload(3)) + Tel(Payload(20, 9)) + Hex("0900 01"), 3, 1,
             {Payload(3), Payload(20, 9)}, Err("Read: cannot read tel", "1C", "1E"), "1E"),
        Walk("UnsupportedCodeStillWalked", Hex("05") + Tel(Hex("41")) + Tel(Hex("4243")), 5, 0,
             {Hex("41"), Hex("4243")}, Err("Open: unsupported file format", "0", "1"), "8"),
        Walk("EmptyFile", "", 0, 0, {}, Err("Open: cannot read format", "0", "0"), "0"),
        Walk("FormatOnly", Hex("07"), 7, 1, {}, "", "1"),
        Walk("Format8", Hex("08") + Tel(Payload(17)) + Tel(Payload(1, 0xFE)), 8, 1,
             {Payload(17), Payload(1, 0xFE)}, "", "17"),
        TRdrCase{
            "PlainModeWritesOnlyFaultsAndTicks",
            {{"x.ztm", Hex("03") + Tel(Payload(5)) + Hex("00")}},
            {"x.ztm"},
            [](const std::string&) { return Err("Read: cannot read tel len", "8", "8") + kTicks; }},
        TRdrCase{"DebugOnly",
                 {{"x.ztm", kF7}},
                 {"-d", "x.ztm"},
                 [](const std::string&) {
                   return Lines({"ZtmScn: len 2 tel 41 42", "ZtmScn: len 1 tel 43"}) + kTicks;
                 }}),
    [](const ::testing::TestParamInfo<TRdrCase>& i) { return std::string(i.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Faults, RdrTable,
    ::testing::Values(
        Fault("Empty", "", Err("Open: cannot read format", "0", "0")),
        Fault("Unsupported", Hex("05"), Err("Open: unsupported file format", "0", "1")),
        Fault("StrayByte", Hex("03") + Tel(Payload(2)) + Hex("07"),
              Err("Read: cannot read tel len", "5", "5")),
        Fault("TooSmall7", Hex("07 0300 01020304 05"), Err("Read: tel len too small", "1", "3")),
        Fault("EndsBehindLength7", Hex("07 0500"), Err("Read: cannot read ref", "1", "3")),
        Fault("EndsInsideRef7", Hex("07 0500 010203"), Err("Read: cannot read ref", "1", "3")),
        Fault("Zero3", Hex("03 0000"), Err("Read: tel len is zero", "1", "3")),
        Fault("Zero7", Hex("07 0400 01000000"), Err("Read: tel len is zero", "1", "7")),
        Fault("TooLarge3", Hex("03 0108"), Err("Read: tel len too large", "1", "3")),
        Fault("TooLarge8", Hex("08 FFFF"), Err("Read: tel len too large", "1", "3")),
        Fault("TooLarge7", Hex("07 0508 01020304"), Err("Read: tel len too large", "1", "7")),
        Fault("TooLarge7RefFirst", Hex("07 0508 0102"), Err("Read: cannot read ref", "1", "3")),
        Fault("ShortPayload3", Hex("03 0500 4142"), Err("Read: cannot read tel", "1", "3")),
        Fault("ShortPayload7", Hex("07 0700 01000000 41"), Err("Read: cannot read tel", "1", "7")),
        Fault("Limit2048", Hex("03") + Tel(Payload(2048)), ""),
        Fault("Limit2049", Hex("03") + Tel(Payload(2049)),
              Err("Read: tel len too large", "1", "3")),
        Fault("Limit2048Format8", Hex("08") + Tel(Payload(2048)), ""),
        Fault("Limit2052", Hex("07") + Tel7(1, Payload(2048)), ""),
        Fault("Limit2053", Hex("07") + Tel7(1, Payload(2049)),
              Err("Read: tel len too large", "1", "7")),
        TRdrCase{"NoMatch",
                 {},
                 {"x.ztm"},
                 [](const std::string&) {
                   return "ZtmScn: infile does not exist\r\n" + std::string(kTicks);
                 }}),
    [](const ::testing::TestParamInfo<TRdrCase>& i) { return std::string(i.param.name); });

// Telegrams of 2000 bytes: the 33rd crosses offset 65536.
std::string Crossing() {
  std::string s = Hex("03");
  for (int k = 0; k < 34; ++k)
    s += Tel(Payload(2000, static_cast<std::uint8_t>(k)));
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Names, RdrTable,
    ::testing::Values(TRdrCase{"BlockBoundary",
                               {{"x.ztm", Crossing()}},
                               {"-d", "x.ztm"},
                               [](const std::string&) {
                                 std::string s;
                                 for (int k = 0; k < 34; ++k)
                                   s += Dbg(Payload(2000, static_cast<std::uint8_t>(k)));
                                 return s + kTicks;
                               }},
                      TRdrCase{"SubdirectoryPattern",
                               {{"sub/", ""}, {"sub/a.ztm", kF7}, {"a.ztm", Hex("03")}},
                               {"-v", P("sub/*.ztm")},
                               [](const std::string& d) {
                                 return ConfigLines(d, false, true, false, P("sub/*.ztm")) +
                                        Open(1, P("sub/a.ztm"), 7) + Close(1, 2, "10") + Done(1) +
                                        kTicks;
                               }},
                      TRdrCase{"HiddenAndDirectoriesNotMatched",
                               {{".h.ztm", kF7}, {"d.ztm/", ""}, {"x.txt", kF7}},
                               {"-v", "*.ztm"},
                               [](const std::string& d) {
                                 return ConfigLines(d, false, true, false, "*.ztm") +
                                        "ZtmScn: infile does not exist\r\n" + Done(0) + kTicks;
                               }},
                      TRdrCase{
                          "CutPathDoesNotExist",
                          {{std::string(60, 'd') + "/", ""},
                           {std::string(60, 'd') + "/" + std::string(80, 'f') + ".ztm", kF7}},
                          {"-v", P(std::string(60, 'd') + "/*.ztm")},
                          [](const std::string& d) {
                            const std::string pat = P(std::string(60, 'd') + "/*.ztm");
                            const std::string in =
                                P(std::string(60, 'd') + "/" + std::string(80, 'f')).substr(0, 128);
                            const std::string open = "Rdr.Msg: Open: opn 0 src \"" + in;
                            return ConfigLines(d, false, true, false, pat) + open.substr(0, 128) +
                                   "\r\n" + Err("Open: files does not exist", "0", "0") + Done(0) +
                                   kTicks;
                          }}),
    [](const ::testing::TestParamInfo<TRdrCase>& i) { return std::string(i.param.name); });

// Where the platforms differ: Windows separates with the backslash alone
// and matches without regard to case.
const std::vector<TRdrCase> kWinCases = {
    TRdrCase{"SlashPatternGivesBareNames",
             {{"data/", ""}, {"data/a.ztm", kF7}},
             {"-v", "data/*.ztm"},
             [](const std::string& d) {
               return ConfigLines(d, false, true, false, "data/*.ztm") + Open(0, "a.ztm", 0) +
                      Err("Open: files does not exist", "0", "0") + Done(0) + kTicks;
             }},
    TRdrCase{"CaseInsensitiveMatch",
             {{"a.ztm", kF7}},
             {"-v", "A.ZTM"},
             [](const std::string& d) {
               return ConfigLines(d, false, true, false, "A.ZTM") + Open(1, "a.ztm", 7) +
                      Close(1, 2, "10") + Done(1) + kTicks;
             }},
};
const std::vector<TRdrCase> kPosixCases = {
    TRdrCase{"BackslashIsPartOfTheName",
             {{"a\\b.ztm", kF7}},
             {"-v", "a\\*.ztm"},
             [](const std::string& d) {
               return ConfigLines(d, false, true, false, "a\\*.ztm") + Open(1, "a\\b.ztm", 7) +
                      Close(1, 2, "10") + Done(1) + kTicks;
             }},
    TRdrCase{"CaseSensitiveMatch",
             {{"a.ztm", kF7}},
             {"A.ZTM"},
             [](const std::string&) {
               return "ZtmScn: infile does not exist\r\n" + std::string(kTicks);
             }},
};

INSTANTIATE_TEST_SUITE_P(Platform, RdrTable, ::testing::ValuesIn(kWin ? kWinCases : kPosixCases),
                         [](const ::testing::TestParamInfo<TRdrCase>& i) {
                           return std::string(i.param.name);
                         });

// Several files: each opened, walked and closed in the order the directory
// scan yields them (read back from the output), opn counting across them.
TEST(RdrFiles, OpnCountsAcrossFilesInScanOrder) {
  const std::string dir = TempDir();
  const std::vector<std::pair<std::string, std::string>> files = {
      {"a.ztm", kF7}, {"b.ztm", ""}, {"c.ztm", Hex("03") + Tel(Hex("99"))}, {"d.ztm", Hex("09")}};
  for (const auto& f : files)
    WriteFile(dir + "/" + f.first, f.second);
  TRun r = RunExe({"-v", "*.ztm"}, dir);
  std::vector<std::string> order;
  const std::string tag = "Rdr.Msg: Open: opn ";
  for (std::size_t k = r.out.find(tag); k != std::string::npos; k = r.out.find(tag, k + 1)) {
    const std::size_t q = r.out.find('"', k);
    order.push_back(r.out.substr(q + 1, 5));
  }
  std::vector<std::string> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  ASSERT_EQ(sorted, (std::vector<std::string>{"a.ztm", "b.ztm", "c.ztm", "d.ztm"})) << r.out;
  std::string want = ConfigLines(dir, false, true, false, "*.ztm");
  int opn = 0;
  for (const auto& n : order) {
    if (n == "a.ztm") {
      ++opn;
      want += Open(opn, n, 7) + Close(opn, 2, "10");
    } else if (n == "b.ztm") {
      want += Open(opn, n, 0) + Err("Open: cannot read format", "0", "0") + Close(opn, 0, "0");
    } else if (n == "c.ztm") {
      ++opn;
      want += Open(opn, n, 3) + Close(opn, 1, "4");
    } else {
      want += Open(opn, n, 9) + Err("Open: unsupported file format", "0", "1") + Close(opn, 0, "1");
    }
  }
  want += Done(2) + kTicks;
  EXPECT_EQ(MaskTicks(r.out), want);
  EXPECT_EQ(r.code, 0);
}

}  // namespace

namespace {

// A matching file last written in 1979 (UTC) stops the scan when it is
// reached; a hidden one is skipped and stops nothing.
TEST(HostileNames, FileOlderThan1980) {
  const std::string dir = TempDir();
  WriteFile(dir + "/old.ztm", Hex("03"));
  WriteFile(dir + "/.hidden.ztm", Hex("03"));
  for (const char* f : {"/old.ztm", "/.hidden.ztm"}) {
    struct timeval tv[2] = {{297000000, 0}, {297000000, 0}};  // 1979-05-30
    ASSERT_EQ(utimes((dir + f).c_str(), tv), 0);
  }
  TRun r = RunExe({".h*"}, dir);
  EXPECT_EQ(MaskTicks(r.out), "ZtmScn: infile does not exist\r\n" + std::string(kTicks));
  EXPECT_EQ(r.code, 0);
  r = RunExe({"old.ztm"}, dir);
  // The system's number for an argument out of range.
  EXPECT_EQ(MaskTicks(r.out), std::string("FIO2.Fatal: SetDirEntry: FileTimeToDosDateTime ") +
                                  (kWin ? "failed, error 87\r\n" : "failed, error 22\r\n") +
                                  kTicks);
  EXPECT_EQ(r.code, 255);
}

}  // namespace
