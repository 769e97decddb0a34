// Utils: hexadecimal dumps and large numbers on a line builder.
#ifndef ZTMSCN_UTILS_H
#define ZTMSCN_UTILS_H

#include <cstdint>

#include "SO.h"
#include "Types.h"

namespace Utils {

// Appends up to n bytes of x (of xlen bytes) from index i as two-digit
// upper-case hex groups separated by single blanks.
void WrHex(SO::TBuffer& b, const std::uint8_t* x, std::uint32_t xlen, std::uint32_t i,
           std::uint32_t n);

// Appends the little-endian number in x (xlen bytes) in upper-case hex.
// f FALSE: no leading zeros.  f TRUE: each leading zero becomes the fill
// character p, and zero itself takes the same width, ending in one "0".
void WrLrgHex(SO::TBuffer& b, const std::uint8_t* x, std::uint32_t xlen, bool f);
void WrLrgHex(SO::TBuffer& b, const Types::TLrgCard& x, bool f);

void InitModule();

}  // namespace Utils

#endif
