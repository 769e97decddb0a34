#include "ZtmScn.h"

#include "Con.h"
#include "ConSigs.h"
#include "Config.h"
#include "FNames.h"
#include "Lib3.h"
#include "Rdr.h"
#include "SO.h"
#include "Ticks.h"
#include "Utils.h"

namespace ZtmScn {

namespace {

bool ok = false;

void Error() {
  Con::WrLine(Plat::kOut, "ZtmScn: infile does not exist");
}

// The debug line: length and the first 16 payload bytes.
void ShowTel() {
  if (!Config::data.dbg) return;
  char s[128];
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, "ZtmScn: len ");
  SO::WrLngCard(b, Rdr::len, 1);
  SO::WrStr(b, " tel ");
  Utils::WrHex(b, Rdr::tel, Rdr::kTelMax, 0, Rdr::len < 16 ? Rdr::len : 16);
  Con::WrLine(Plat::kOut, s);
}

}  // namespace

void Main() {
  Ticks::InitModule();
  ConSigs::InitModule();
  Config::InitModule();
  Rdr::InitModule();
  FNames::InitModule();
  Utils::InitModule();
  SO::InitModule();
  Lib3::InitModule();
  Con::InitModule();

  ok = FNames::First();
  if (!ok) Error();
  while (ok) {
    Rdr::Open();
    Rdr::Read();
    while (Rdr::ok) {
      ShowTel();
      Rdr::Read();
    }
    Rdr::Close();
    ok = FNames::Next();
  }
  FNames::Close();
  Lib3::SetReturnCode(0);
  Lib3::Stop(0);
}

}  // namespace ZtmScn
