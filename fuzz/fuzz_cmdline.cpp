// libFuzzer target: argument lists through the scanner and the parser.  The
// run must end only in the ways the program allows: the configuration is
// complete, or the help text with return code 0, or a command-line error on
// standard error with return code 255.  The first byte chooses between
// arguments as the system delivers them (NUL-separated) and one command-line
// text split by the program itself.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Args.h"
#include "Config.h"
#include "Lib3.h"
#include "MemSys.h"

namespace {

struct TExit {
  std::uint8_t code;
};

// Ends a run by unwinding back to the target instead of ending the process.
class CmdSys : public MemSys {
 public:
  [[noreturn]] void Exit(std::uint8_t code) override { throw TExit{code}; }
};

[[noreturn]] void Fail(const char* what, const CmdSys& m) {
  std::fprintf(stderr, "%s\n--- out:\n%s\n--- err:\n%s\n", what, m.out.c_str(), m.err.c_str());
  std::abort();
}

const char kHelp[] =
    "(* ZtmScn v6 (2026-10-06): ZTM file reader. *)\r\n"
    "syntax = 'ZtmScn' { option } [ infile [ outfile ] ] .\r\n"
    "option = '-h'      (* show this info and exit *)\r\n"
    "       | '-b'      (* bin file input *)\r\n"
    "       | '-d'      (* switch on debug mode *)\r\n"
    "       | '-v'      (* switch on verbose mode *) .\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CmdSys m;
  static const bool started = [] {
    m.args = {"ZtmScn"};
    Plat::sys = &m;
    Lib3::InitModule();
    Args::InitModule();
    return true;
  }();
  (void)started;
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string line;
  m.args = {"ZtmScn"};
  m.cmdLine = nullptr;
  if (data[0] & 1) {
    line = "ZtmScn " + text;
    line = line.substr(0, line.find('\0'));
    m.cmdLine = line.c_str();
    for (const std::string& a : Args::Split(m.cmdLine)) {
      if (a.empty()) Fail("the splitter kept an empty argument", m);
    }
  } else {
    std::size_t at = 0;
    while (at <= text.size() && m.args.size() < 40) {
      const std::size_t e = std::min(text.find('\0', at), text.size());
      m.args.push_back(text.substr(at, e - at));
      at = e + 1;
    }
  }
  m.out.clear();
  m.err.clear();
  Lib3::Restart();
  Args::Load();
  try {
    Config::Setup();
  } catch (const TExit& e) {
    if (e.code == 0) {
      if (m.out != kHelp || !m.err.empty()) Fail("help ended otherwise", m);
    } else if (e.code == 255) {
      const bool known = m.err.rfind("Error: Invalid option", 0) == 0 ||
                         m.err.rfind("Error: Unexpected argument", 0) == 0;
      // At most 128 characters, each LF of them going out as CR LF.
      if (!known || m.err.size() > 2 * 128 + 2 || m.err.substr(m.err.size() - 2) != "\r\n") {
        Fail("an error ended otherwise", m);
      }
    } else {
      Fail("ended with another code", m);
    }
    return 0;
  }
  // A complete configuration: names present, display only when verbose.
  if (Config::data.in[0] == 0) Fail("no input name", m);
  if (!m.err.empty()) Fail("standard error written", m);
  if (Config::data.vrb !=
      (m.out.rfind("ZtmScn v6 (2026-10-06): ZTM file reader.\r\nconfig", 0) == 0)) {
    Fail("display and verbose mode disagree", m);
  }
  return 0;
}
