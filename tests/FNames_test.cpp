#include "FNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Child.h"
#include "Lib3.h"
#include "Plat.h"

namespace {

struct TNameCase {
  bool base;  // MkBaseName, else MkDirName
  std::string s;
  std::uint32_t dcap;
  std::string want;  // the result, or the fatal text on standard error
};

class NameTable : public ::testing::TestWithParam<TNameCase> {};

TEST_P(NameTable, Derives) {
  const TNameCase& c = GetParam();
  TRun r = RunFn([&] {
    Lib3::InitModule();
    std::vector<char> d(c.dcap + 1, '#');
    std::vector<char> s(c.s.begin(), c.s.end());
    s.push_back(0);
    if (c.base) {
      FNames::MkBaseName(d.data(), c.dcap, s.data(), static_cast<std::uint32_t>(s.size()));
    } else {
      FNames::MkDirName(d.data(), c.dcap, s.data(), static_cast<std::uint32_t>(s.size()));
    }
    std::string got(d.data(), Types::Len(d.data(), c.dcap));
    if (d[c.dcap] != '#') got += "<overrun>";
    Plat::sys->Write(Plat::kOut, got.data(), got.size());
    Plat::Exit(0);
  });
  if (r.code == 0) {
    EXPECT_EQ(r.out, c.want);
  } else {
    EXPECT_EQ(r.err, c.want + "\r\n");
    EXPECT_EQ(r.code, 255);
  }
}

const char kDirShort[] = "FNames.MkDirName: Destination too short";
const char kBaseShort[] = "FNames.MkBaseName: Destination too short";

INSTANTIATE_TEST_SUITE_P(
    Cases, NameTable,
    ::testing::Values(
        TNameCase{false, "tst.ztm", 128, ""}, TNameCase{false, "data/a.ztm", 128, "data/"},
        TNameCase{false, "/x/y/*.ztm", 128, "/x/y/"},
        TNameCase{false, "C:\\logs\\*.ztm", 128, ""},  // not a separator here
        TNameCase{false, "abcdef/x", 7, "abcdef/"},    // exactly full
        TNameCase{false, "abcdef/x", 6, kDirShort},
        TNameCase{true, "report.old.ztm", 128, "report.old"},
        TNameCase{true, "my.dir/readme", 128, "my.dir/readme"}, TNameCase{true, ".ztm", 128, ""},
        TNameCase{true, "dir/.ztm", 128, "dir/"}, TNameCase{true, "noext", 128, "noext"},
        TNameCase{true, "abcdef.x", 6, "abcdef"},  // the dot at the capacity
        TNameCase{true, "abcdef.x", 5, kBaseShort}, TNameCase{true, "abcdef", 6, "abcdef"},
        TNameCase{true, "abcdef", 5, kBaseShort}));

}  // namespace
