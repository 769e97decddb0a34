#include "Args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Child.h"
#include "FakeSys.h"

namespace {

FakeSys fake;

// What the scanner delivers for the arguments, one "sym:len:text" a step,
// until and including the first end of the arguments, plus one more read.
std::string Scan(const std::vector<std::string>& args, const char* cmdLine = nullptr,
                 const char* programPath = "/opt/ztm/ZtmScn") {
  TRun r = RunFn([&] {
    fake.args = args;
    fake.cmdLine = cmdLine;
    fake.programPath = programPath;
    Plat::sys = &fake;
    Args::InitModule();
    std::string s =
        "0:" + std::to_string(Args::len) + ":" + Args::str + "|" + std::to_string(Args::cnt) + "|";
    for (int k = 0; k < 64; ++k) {
      Args::Read();
      s += std::to_string(Args::sym) + ":" + std::to_string(Args::len) + ":" +
           std::string(Args::str, Args::len) + "|";
      if (Args::sym == Args::symEOA) {
        Args::Read();
        s += std::to_string(Args::sym) + ":" + std::to_string(Args::len);
        break;
      }
    }
    Plat::sys->Write(Plat::kOut, s.data(), s.size());
    Plat::sys->Exit(0);
  });
  return r.out;
}

struct TScanCase {
  std::vector<std::string> args;
  std::string want;  // after the program's own entry
};

class ScannerTable : public ::testing::TestWithParam<TScanCase> {};

TEST_P(ScannerTable, Classifies) {
  const TScanCase& c = GetParam();
  std::vector<std::string> a = {"ZtmScn"};
  a.insert(a.end(), c.args.begin(), c.args.end());
  const std::string got = Scan(a);
  const std::string head = "0:15:/opt/ztm/ZtmScn|";
  ASSERT_EQ(got.compare(0, head.size(), head), 0) << got;
  EXPECT_EQ(got.substr(head.size()), c.want);
}

const std::string k300(300, 'p');

INSTANTIATE_TEST_SUITE_P(
    Cases, ScannerTable,
    ::testing::Values(TScanCase{{}, "0|3:0:|3:0"}, TScanCase{{"-"}, "1|1:1:-|3:0:|3:0"},
                      TScanCase{{"-x"}, "1|2:1:x|3:0:|3:0"},
                      TScanCase{{"--x"}, "1|2:2:-x|3:0:|3:0"},
                      TScanCase{{"-?", "name"}, "2|2:1:?|1:4:name|3:0:|3:0"},
                      // Only "-" makes an option here; "/" begins an absolute path.
                      TScanCase{{"/x", "/"}, "2|1:2:/x|1:1:/|3:0:|3:0"},
                      TScanCase{{"", "a", ""}, "1|1:1:a|3:0:|3:0"},  // empty arguments vanish
                      TScanCase{{"a b"}, "1|1:3:a b|3:0:|3:0"},
                      TScanCase{{k300}, "1|1:256:" + std::string(256, 'p') + "|3:0:|3:0"},
                      TScanCase{{"-" + k300}, "1|2:255:" + std::string(255, 'p') + "|3:0:|3:0"}));

TEST(Scanner, ProgramPathFallsBackToFirstWord) {
  const std::string got = Scan({"first", "x"}, nullptr, nullptr);
  EXPECT_EQ(got.substr(0, 10), "0:5:first|");
}

TEST(Scanner, OneCommandLineTextIsSplit) {
  const std::string got = Scan({}, "prog \"\" -v \"a b\"");
  EXPECT_EQ(got, "0:15:/opt/ztm/ZtmScn|2|2:1:v|1:3:a b|3:0:|3:0");
}

struct TSplitCase {
  const char* line;
  std::vector<std::string> want;
};

class SplitTable : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(SplitTable, Splits) {
  EXPECT_EQ(Args::Split(GetParam().line), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTable,
    ::testing::Values(TSplitCase{"", {}}, TSplitCase{"  \t ", {}},
                      TSplitCase{"a  b\tc", {"a", "b", "c"}}, TSplitCase{"\"a b\" c", {"a b", "c"}},
                      TSplitCase{"x\"a b\"y z", {"xa by", "z"}},    // quotes inside an argument
                      TSplitCase{"a\\\"b", {"a\"b"}},               // backslash-quote
                      TSplitCase{"\"a\\\" b\"", {"a\" b"}},         // ... keeps quoting on
                      TSplitCase{"a\\\\b c\\", {"a\\\\b", "c\\"}},  // other backslashes
                      TSplitCase{"a \"b c", {"a", "b c"}},          // unclosed quote
                      TSplitCase{"\"\" a \"\"", {"a"}},             // empty quotes dropped
                      TSplitCase{"-v \"\" x", {"-v", "x"}}));

}  // namespace
