// ztmgen FILE SIZE FORMAT MINLEN MAXLEN [SEED]: writes a ZTM file.
// SIZE may end in K, M or G (binary units).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Gen.h"

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: ztmgen FILE SIZE FORMAT MINLEN MAXLEN [SEED]\n");
    return 2;
  }
  char* end = nullptr;
  std::uint64_t size = std::strtoull(argv[2], &end, 10);
  if (*end == 'K') size <<= 10;
  if (*end == 'M') size <<= 20;
  if (*end == 'G') size <<= 30;
  Gen::TSpec s{size, static_cast<std::uint8_t>(std::atoi(argv[3])),
               static_cast<std::uint32_t>(std::atoi(argv[4])),
               static_cast<std::uint32_t>(std::atoi(argv[5])),
               argc > 6 ? std::strtoull(argv[6], nullptr, 10) : 1};
  if (s.minLen > s.maxLen || s.maxLen > 65535) {
    std::fprintf(stderr, "ztmgen: bad length range\n");
    return 2;
  }
  const std::int64_t tels = Gen::Write(argv[1], s);
  if (tels < 0) {
    std::perror(argv[1]);
    return 1;
  }
  std::printf("%lld\n", static_cast<long long>(tels));
  return 0;
}
