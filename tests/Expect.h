// Expected output lines of the program, for the end-to-end tables.
#ifndef ZTMSCN_TESTS_EXPECT_H
#define ZTMSCN_TESTS_EXPECT_H

#include <initializer_list>
#include <string>

// The program under test: the native build, or the Windows build under Wine.
#ifdef ZTMSCN_WINE
constexpr bool kWin = true;
#else
constexpr bool kWin = false;
#endif

// A path written with "/", in the separator of the program under test.
inline std::string P(std::string s) {
  if (kWin) {
    for (char& c : s) {
      if (c == '/') c = '\\';
    }
  }
  return s;
}

// A directory of this machine as the program under test shows it (Wine
// mounts the root as drive Z:).
inline std::string Shown(const std::string& dir) {
  return kWin ? "Z:" + P(dir) : dir;
}

// The lines, each ended by CR LF.
inline std::string Lines(std::initializer_list<std::string> lines) {
  std::string s;
  for (const auto& l : lines)
    s += l + "\r\n";
  return s;
}

const char kTicks[] = "Ticks: N\r\n";

// The verbose configuration display.
inline std::string ConfigLines(const std::string& dir, bool dbg, bool vrb, bool bin,
                               const std::string& in = "tst.ztm", const std::string& out = "") {
  auto cut = [](std::string l) { return l.size() > 128 ? l.substr(0, 128) : l; };
  return Lines({"ZtmScn v6 (2026-10-06): ZTM file reader.", "config", "  prg 'ZtmScn'", "  ver 6",
                "  ext '2026-10-06'", std::string("  dbg ") + (dbg ? "1" : "0"),
                std::string("  vrb ") + (vrb ? "1" : "0"),
                std::string("  bin ") + (bin ? "1" : "0"), cut("  dir '" + Shown(dir) + "'"),
                cut("  in  '" + in.substr(0, 128) + "'"),
                cut("  out '" + out.substr(0, 128) + "'")});
}

#endif
