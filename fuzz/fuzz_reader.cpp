// libFuzzer target: arbitrary bytes as a file's content, read by the reader
// through the memory backend.  Every telegram, fault and position must be
// those of a plain byte-at-a-time reading, and the invariants hold
// (pos <= top <= size, 1 <= len <= 2048); anything else aborts.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "MemSys.h"
#include "RefReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static MemSys m;
  static const bool started = (StartReader(m), true);
  (void)started;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  m.Bytes(bytes);
  const std::string got = ReaderTrace(m, size);
  const std::string want = Ref::Expected(bytes);
  if (got != want) {
    std::fprintf(stderr, "reader differs\n--- got:\n%s\n--- want:\n%s\n", got.c_str(),
                 want.c_str());
    std::abort();
  }
  return 0;
}
