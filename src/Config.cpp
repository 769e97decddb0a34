#include "Config.h"

#include "Args.h"
#include "Con.h"
#include "FIO2.h"
#include "Lib2.h"
#include "Lib3.h"
#include "Utils.h"

namespace Config {

TDataDesc data;

namespace {

bool done = false;

const char kPrg[] = "ZtmScn";
constexpr std::uint32_t kVer = 6;
const char kExt[] = "2026-10-06";

void InitDir() {
  FIO2::GetDirX(data.dir);
}

[[noreturn]] void Help() {
  static const char* const kLines[] = {
      "option = '-h'      (* show this info and exit *)",
      "       | '-b'      (* bin file input *)",
      "       | '-d'      (* switch on debug mode *)",
      "       | '-v'      (* switch on verbose mode *) .",
  };
  char s[128];
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, "(* ");
  WrInfo(b);
  SO::WrStr(b, " *)");
  Con::WrLine(Plat::kOut, s);
  SO::Clear(b);
  SO::WrStr(b, "syntax = '");
  SO::WrStr(b, kPrg);
  SO::WrStr(b, "' { option } [ infile [ outfile ] ] .");
  Con::WrLine(Plat::kOut, s);
  for (const char* line : kLines) {
    SO::Clear(b);
    SO::WrStr(b, line, 128);
    Con::WrLine(Plat::kOut, s);
  }
  Lib3::SetReturnCode(0);
  Lib3::Stop(9);
}

[[noreturn]] void Error(const char* t) {
  char s[128];
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, "Error: ");
  SO::WrStr(b, t, 128);
  if (Args::len > 0) {
    SO::WrStr(b, ": '");
    SO::WrStr(b, Args::str);
    SO::WrStr(b, "'");
  }
  SO::WrLn(b);
  SO::WrStr(b, "Try '");
  SO::WrStr(b, kPrg);
  SO::WrStr(b, " -h' for help.");
  Lib3::FatalError(s);
}

// Options are compared whole and case-sensitively: one letter each.
bool Is(char c) {
  return Args::len == 1 && Args::str[0] == c;
}

void Options() {
  while (Args::sym == Args::symOpt) {
    if (Is('?') || Is('h')) {
      Help();
    } else if (Is('d')) {
      data.dbg = true;
    } else if (Is('v')) {
      data.vrb = true;
    } else if (Is('b')) {
      data.bin = true;
    } else {
      Error("Invalid option");
    }
    Args::Read();
  }
}

void TakeName(Types::TPthStr& d) {
  Types::Copy(d, Types::kPthLen, Args::str, Args::kStrLen);
  Args::Read();
  Options();
}

void ParseArgs() {
  Args::Reset();
  Args::Read();
  Options();
  if (Args::sym == Args::symArg) {
    TakeName(data.in);
    if (Args::sym == Args::symArg) TakeName(data.out);
  }
  if (Args::sym != Args::symEOA) Error("Unexpected argument");
}

void Show() {
  char s[128];
  SO::TBuffer b;
  SO::Init(b, s);
  auto out = [&] {
    if (data.vrb) Con::WrLine(Plat::kOut, s);
  };
  auto begin = [&](const char* label) {
    SO::Clear(b);
    SO::WrStr(b, "  ");
    SO::WrStrAdj(b, label, 4, -3);
    SO::WrChar(b, ' ');
  };
  auto showStr = [&](const char* label, const char* v, std::uint32_t cap) {
    begin(label);
    SO::WrChar(b, '\'');
    SO::WrStr(b, v, cap);
    SO::WrChar(b, '\'');
    out();
  };
  auto showCard = [&](const char* label, std::uint32_t v) {
    begin(label);
    SO::WrLngCard(b, v, 1);
    out();
  };
  WrInfo(b);
  out();
  SO::Clear(b);
  SO::WrStr(b, "config");
  out();
  showStr("prg", data.prg, sizeof data.prg);
  showCard("ver", data.ver);
  showStr("ext", data.ext, sizeof data.ext);
  showCard("dbg", data.dbg ? 1 : 0);
  showCard("vrb", data.vrb ? 1 : 0);
  showCard("bin", data.bin ? 1 : 0);
  showStr("dir", data.dir, sizeof data.dir);
  showStr("in ", data.in, sizeof data.in);
  showStr("out", data.out, sizeof data.out);
}

}  // namespace

void WrInfo(SO::TBuffer& b) {
  SO::WrStr(b, kPrg);
  SO::WrStr(b, " v");
  SO::WrLngCard(b, kVer, 1);
  SO::WrStr(b, " (");
  SO::WrStr(b, kExt);
  SO::WrStr(b, "): ZTM file reader.");
}

void InitModule() {
  if (done) return;
  done = true;
  Utils::InitModule();
  SO::InitModule();
  Args::InitModule();
  Lib3::InitModule();
  Lib2::InitModule();
  FIO2::InitModule();
  Types::InitModule();
  Setup();
}

void Setup() {
  Lib2::Fill(data, 0);
  Types::Copy(data.prg, kPrg);
  data.ver = kVer;
  Types::Copy(data.ext, kExt);
  Types::Copy(data.in, "tst.ztm");
  InitDir();
  ParseArgs();
  Show();
}

}  // namespace Config
