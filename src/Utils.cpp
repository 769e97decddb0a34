#include "Utils.h"

namespace Utils {

namespace {
bool done = false;
}

void WrHex(SO::TBuffer& b, const std::uint8_t* x, std::uint32_t xlen, std::uint32_t i,
           std::uint32_t n) {
  if (i >= xlen) return;
  const std::uint32_t k = n < xlen - i ? n : xlen - i;
  const char p = b.c.p;
  b.c.p = '0';
  for (std::uint32_t j = 0; j < k; ++j) {
    SO::WrShtHex(b, x[i + j], 2);
    if (j + 1 < k) SO::WrChar(b, ' ');
  }
  b.c.p = p;
}

void WrLrgHex(SO::TBuffer& b, const std::uint8_t* x, std::uint32_t xlen, bool f) {
  static const char kDigits[] = "0123456789ABCDEF";
  bool sig = false;
  for (std::uint32_t j = xlen; j > 0; --j) {
    const std::uint8_t v = x[j - 1];
    for (int shift = 4; shift >= 0; shift -= 4) {
      const char c = kDigits[(v >> shift) & 0xF];
      if (c != '0') {
        SO::WrChar(b, c);
        sig = true;
      } else if (sig) {
        SO::WrChar(b, '0');
      } else if (f && !(j == 1 && shift == 0)) {
        SO::WrChar(b, b.c.p);  // the last position of a zero is its "0"
      }
    }
  }
  if (!sig) SO::WrChar(b, '0');
}

void WrLrgHex(SO::TBuffer& b, const Types::TLrgCard& x, bool f) {
  // The number's bytes, least significant first, whatever the host's order.
  std::uint8_t d[8];
  for (int k = 0; k < 4; ++k) {
    d[k] = static_cast<std::uint8_t>(x.l >> (8 * k));
    d[4 + k] = static_cast<std::uint8_t>(x.h >> (8 * k));
  }
  WrLrgHex(b, d, 8, f);
}

void InitModule() {
  if (done) return;
  done = true;
  SO::InitModule();
  Types::InitModule();
}

}  // namespace Utils
