#include "SO.h"

#include "Lib3.h"
#include "Types.h"

namespace SO {

namespace {

bool done = false;

inline void Term(TBuffer& b) {
  if (b.l < b.m) b.s[b.l] = 0;
}

char Char(std::uint32_t d) {
  return static_cast<char>(d < 10 ? '0' + d : 'A' + (d - 10));
}

// Digits of x in base `base`, most significant first, NUL behind when room.
void CardToStr(std::uint32_t x, std::uint32_t base, char* s, std::uint32_t cap) {
  char rev[32];
  std::uint32_t n = 0;
  do {
    rev[n++] = Char(x % base);
    x /= base;
  } while (x != 0);
  std::uint32_t k = 0;
  while (n > 0 && k < cap)
    s[k++] = rev[--n];
  if (k < cap) s[k] = 0;
}

}  // namespace

void Init(TBuffer& b, char* s, std::uint32_t m) {
  b.m = m;
  b.s = s;
  b.l = 0;
  if (m > 0) s[0] = 0;
  b.c.p = ' ';
  b.c.s = ' ';
  b.c.c = false;
}

void Clear(TBuffer& b) {
  b.l = 0;
  Term(b);
}

void WrChar(TBuffer& b, char c) {
  if (b.l < b.m) b.s[b.l++] = c;
  Term(b);
}

void WrCharRep(TBuffer& b, char c, std::uint32_t n) {
  while (n > 0 && b.l < b.m) {
    b.s[b.l++] = c;
    --n;
  }
  Term(b);
}

void WrStr(TBuffer& b, const char* s, std::uint32_t cap) {
  for (std::uint32_t j = 0; j < cap && s[j] != 0 && b.l < b.m; ++j)
    b.s[b.l++] = s[j];
  Term(b);
}

void WrStrAdj(TBuffer& b, const char* s, std::uint32_t cap, std::int32_t w) {
  const std::int64_t len = Types::Len(s, cap);
  const std::int64_t a = w < 0 ? -static_cast<std::int64_t>(w) : w;
  const std::int64_t f = a - len;
  if (f < 0 && b.c.c) {
    WrCharRep(b, '?', static_cast<std::uint32_t>(a));
    return;
  }
  if (w > 0 && f > 0) WrCharRep(b, b.c.p, static_cast<std::uint32_t>(f));
  WrStr(b, s, cap);
  if (w < 0 && f > 0) WrCharRep(b, b.c.s, static_cast<std::uint32_t>(f));
}

void WrLngCard(TBuffer& b, std::uint32_t x, std::int32_t w) {
  char d[16];
  CardToStr(x, 10, d, sizeof d);
  WrStrAdj(b, d, w);
}

void WrCard(TBuffer& b, std::uint16_t x, std::int32_t w) {
  WrLngCard(b, x, w);
}
void WrShtCard(TBuffer& b, std::uint8_t x, std::int32_t w) {
  WrLngCard(b, x, w);
}

void WrLngHex(TBuffer& b, std::uint32_t x, std::int32_t w) {
  char d[8];  // eight digits fill it exactly, with no NUL
  CardToStr(x, 16, d, sizeof d);
  WrStrAdj(b, d, w);
}

void WrShtHex(TBuffer& b, std::uint8_t x, std::int32_t w) {
  WrLngHex(b, x, w);
}

void WrLn(TBuffer& b) {
  WrChar(b, '\r');
  WrChar(b, '\n');
}

void InitModule() {
  if (done) return;
  done = true;
  Lib3::InitModule();
  Types::InitModule();
}

}  // namespace SO
