// Lib2: small memory routines used throughout the program.
#ifndef ZTMSCN_LIB2_H
#define ZTMSCN_LIB2_H

#include <cstddef>
#include <cstdint>

namespace Lib2 {

// Sets every byte of the n bytes at x to v.
void Fill(void* x, std::size_t n, std::uint8_t v);
template <typename T>
inline void Fill(T& x, std::uint8_t v) {
  Fill(&x, sizeof x, v);
}

// x := (x + d) mod 2^32; the caller sees a carry as x < d afterwards.
inline void IncL(std::uint32_t& x, std::uint32_t d) {
  x += d;
}

void InitModule();

}  // namespace Lib2

#endif
