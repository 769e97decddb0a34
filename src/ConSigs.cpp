#include "ConSigs.h"

#include "Con.h"
#include "Lib3.h"
#include "Plat.h"

namespace ConSigs {

namespace {

bool done = false;

void Message(const char* s) {
  Con::WrStr(Plat::kOut, "ConSigs: ");
  Con::WrStr(Plat::kOut, s, 128);
  Con::WrLn(Plat::kOut);
}

}  // namespace

std::uint32_t Handler(std::uint32_t ct) {
  if (ct > Plat::kCtrlShutdown || ct == Plat::kCtrlLogoff) return 0;
  // The main thread's lines stop here, so none can follow the chain's.
  Con::HoldMain();
  Message("Signal received, terminating.");
  Lib3::Stop(9);
}

void InitModule() {
  if (done) return;
  done = true;
  Con::InitModule();
  if (!Plat::sys->SetCtrlHandler(&Handler)) {
    Message("Installation failed.");
    Lib3::Stop(9);
  }
}

}  // namespace ConSigs
