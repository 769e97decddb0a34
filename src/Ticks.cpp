#include "Ticks.h"

#include "Con.h"
#include "Lib3.h"
#include "Plat.h"
#include "Types.h"

namespace Ticks {

std::uint32_t t0 = 0;

namespace {

bool done = false;
Lib3::TProc oldExit = nullptr;

void DoneModule() {
  const std::uint32_t e = Plat::sys->TickCount() - t0;  // wraps with the counter
  Con::WrStr(Plat::kOut, "Ticks: ");
  Con::WrCard(Plat::kOut, e);
  Con::WrLn(Plat::kOut);
  oldExit();
}

}  // namespace

void InitModule() {
  if (done) return;
  done = true;
  Lib3::InitModule();
  Types::InitModule();
  Con::InitModule();
  t0 = Plat::sys->TickCount();
  Lib3::Terminate(&DoneModule, oldExit);
}

}  // namespace Ticks
