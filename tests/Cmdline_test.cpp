// The command line end to end: help, errors, the configuration display and
// their exit codes, in a directory with no data file.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Child.h"
#include "Expect.h"

namespace {

const std::string kHelp = Lines({
    "(* ZtmScn v6 (2026-10-06): ZTM file reader. *)",
    "syntax = 'ZtmScn' { option } [ infile [ outfile ] ] .",
    "option = '-h'      (* show this info and exit *)",
    "       | '-b'      (* bin file input *)",
    "       | '-d'      (* switch on debug mode *)",
    "       | '-v'      (* switch on verbose mode *) .",
});

const std::string kNoFile = Lines({"ZtmScn: infile does not exist"});

std::string ErrLine(const std::string& msg) {
  return msg + "\r\r\nTry 'ZtmScn -h' for help.\r\n";
}

struct TCmdCase {
  const char* name;
  std::vector<std::string> args;
  // Given the working directory: expected standard output (Ticks masked).
  std::string (*out)(const std::string& dir);
  std::string err;
  int code;
};

class CmdTable : public ::testing::TestWithParam<TCmdCase> {};

TEST_P(CmdTable, ExactOutput) {
  const TCmdCase& c = GetParam();
  const std::string dir = TempDir();
  TRun r = RunExe(c.args, dir);
  EXPECT_EQ(MaskTicks(r.out), c.out(dir));
  EXPECT_EQ(r.err, c.err);
  EXPECT_EQ(r.code, c.code);
}

std::string HelpOut(const std::string&) {
  return kHelp + kTicks;
}
std::string TicksOnly(const std::string&) {
  return kTicks;
}
std::string NoFile(const std::string&) {
  return kNoFile + kTicks;
}

const std::string k300(300, 'n');
const std::string kLong(200, 'o');

INSTANTIATE_TEST_SUITE_P(
    Cases, CmdTable,
    ::testing::Values(
        TCmdCase{"NoArguments", {}, NoFile, "", 0},
        TCmdCase{"Verbose",
                 {"-v"},
                 [](const std::string& d) {
                   return ConfigLines(d, false, true, false) + kNoFile +
                          Lines({"Rdr.Msg: DoneModule: opn 0"}) + kTicks;
                 },
                 "",
                 0},
        TCmdCase{"HelpH", {"-h"}, HelpOut, "", 0}, TCmdCase{"HelpQuestion", {"-?"}, HelpOut, "", 0},
        TCmdCase{"HelpAfterNamesAndOptions", {"-v", "a", "b", "-d", "-h"}, HelpOut, "", 0},
        TCmdCase{"HelpStopsParsing", {"-h", "-x"}, HelpOut, "", 0},
        TCmdCase{"UpperCase", {"-H"}, TicksOnly, ErrLine("Error: Invalid option: 'H'"), 255},
        TCmdCase{"Combined", {"-dv"}, TicksOnly, ErrLine("Error: Invalid option: 'dv'"), 255},
        TCmdCase{"DoubleDash", {"--v"}, TicksOnly, ErrLine("Error: Invalid option: '-v'"), 255},
        TCmdCase{"Word", {"-help"}, TicksOnly, ErrLine("Error: Invalid option: 'help'"), 255},
        TCmdCase{"InvalidBeforeHelp",
                 {"-x", "-h"},
                 TicksOnly,
                 ErrLine("Error: Invalid option: 'x'"),
                 255},
        TCmdCase{"InvalidAfterVerbose",
                 {"-v", "-x"},
                 [](const std::string&) { return std::string(kTicks); },
                 ErrLine("Error: Invalid option: 'x'"),
                 255},
        TCmdCase{"LoneDashIsAName",
                 {"-v", "-"},
                 [](const std::string& d) {
                   return ConfigLines(d, false, true, false, "-") + kNoFile +
                          Lines({"Rdr.Msg: DoneModule: opn 0"}) + kTicks;
                 },
                 "",
                 0},
        TCmdCase{"ThreeNames",
                 {"a", "b", "c", "-h"},
                 TicksOnly,
                 ErrLine("Error: Unexpected argument: 'c'"),
                 255},
        TCmdCase{"TwoNamesThenVerbose",
                 {"a", "b", "-v"},
                 [](const std::string& d) {
                   return ConfigLines(d, false, true, false, "a", "b") + kNoFile +
                          Lines({"Rdr.Msg: DoneModule: opn 0"}) + kTicks;
                 },
                 "",
                 0},
        TCmdCase{"OptionsBetweenNames",
                 {"-v", "in", "-d", "out", "-b", "-d"},
                 [](const std::string& d) {
                   return ConfigLines(d, true, true, true, "in", "out") + kNoFile +
                          Lines({"Rdr.Msg: DoneModule: opn 0"}) + kTicks;
                 },
                 "",
                 0},
        TCmdCase{"LongNameCut",
                 {"-v", k300},
                 [](const std::string& d) {
                   return ConfigLines(d, false, true, false, k300) + kNoFile +
                          Lines({"Rdr.Msg: DoneModule: opn 0"}) + kTicks;
                 },
                 "",
                 0},
        TCmdCase{"MessageCutAt128",
                 {"-" + kLong},
                 TicksOnly,
                 ("Error: Invalid option: '" + kLong).substr(0, 128) + "\r\n",
                 255}),
    [](const ::testing::TestParamInfo<TCmdCase>& i) { return std::string(i.param.name); });

// Where the platforms differ: on Windows "/" begins an option too, on POSIX
// an absolute path.
const std::vector<TCmdCase> kWinCases = {
    TCmdCase{"SlashH", {"/h"}, HelpOut, "", 0},
    TCmdCase{"SlashQuestion", {"/?"}, HelpOut, "", 0},
    TCmdCase{"SlashInvalid", {"/x"}, TicksOnly, ErrLine("Error: Invalid option: 'x'"), 255},
    TCmdCase{"LoneSlashIsAName", {"/"}, NoFile, "", 0},
};
const std::vector<TCmdCase> kPosixCases = {
    TCmdCase{"SlashIsAPath", {"/h"}, NoFile, "", 0},
    TCmdCase{"SlashQuestionIsAPath", {"/?", "/x"}, NoFile, "", 0},
    TCmdCase{"LoneSlashIsAName", {"/"}, NoFile, "", 0},
};

INSTANTIATE_TEST_SUITE_P(Platform, CmdTable, ::testing::ValuesIn(kWin ? kWinCases : kPosixCases),
                         [](const ::testing::TestParamInfo<TCmdCase>& i) {
                           return std::string(i.param.name);
                         });

TEST(Cmdline, LongCurrentDirectoryStopsBeforeArguments) {
  std::string deep = TempDir();
  while (deep.size() < 140) {
    deep += "/" + std::string(40, 'x');
    mkdir(deep.c_str(), 0755);
  }
  TRun r = RunExe({"-h"}, deep);
  EXPECT_EQ(MaskTicks(r.out), "FIO2.Fatal: GetDirX: Provided buffer too small, required size " +
                                  std::to_string(Shown(deep).size() + 1) + "\r\n" + kTicks);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 255);
}

}  // namespace
