#include "Lib2.h"

#include <cstring>

#include "Types.h"

namespace Lib2 {

namespace {
bool done = false;
}

void Fill(void* x, std::size_t n, std::uint8_t v) {
  std::memset(x, v, n);
}

void InitModule() {
  if (done) return;
  done = true;
  Types::InitModule();
}

}  // namespace Lib2
