// Writes ZTM files of a given size, format and payload-length range, from a
// seed, for the benchmark and the tests.
#ifndef ZTMSCN_BENCH_GEN_H
#define ZTMSCN_BENCH_GEN_H

#include <cstdint>
#include <string>

namespace Gen {

struct TSpec {
  std::uint64_t size;            // total bytes, format code included; the last
                                 // telegram may be cut short
  std::uint8_t fmt;              // 7 writes references, anything else the plain layout
  std::uint32_t minLen, maxLen;  // payload length range
  std::uint64_t seed;
};

// The bytes of a file; also returns how many whole telegrams it holds.
std::string Make(const TSpec& s, std::uint64_t* tels = nullptr);

// Writes a file in pieces, for sizes that should not sit in memory.
// Returns the number of whole telegrams, or -1 on a write error.
std::int64_t Write(const std::string& path, const TSpec& s);

}  // namespace Gen

#endif
