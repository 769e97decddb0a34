// SO: the line builder.  Every message is composed in a caller's fixed char
// array and written out in one piece; what does not fit is dropped silently.
#ifndef ZTMSCN_SO_H
#define ZTMSCN_SO_H

#include <cstdint>

namespace SO {

struct TConfig {
  char p;  // fill before a right-aligned text
  char s;  // fill after a left-aligned text
  bool c;  // replace a text wider than its field by question marks
};

struct TBuffer {
  std::uint32_t m;  // capacity of the array
  char* s;          // the caller's array
  std::uint32_t l;  // characters held
  TConfig c;
};

void Init(TBuffer& b, char* s, std::uint32_t m);
template <std::uint32_t N>
inline void Init(TBuffer& b, char (&s)[N]) {
  Init(b, s, N);
}
void Clear(TBuffer& b);

void WrChar(TBuffer& b, char c);
void WrCharRep(TBuffer& b, char c, std::uint32_t n);
// Texts are read up to their first NUL or `cap` characters.
void WrStr(TBuffer& b, const char* s, std::uint32_t cap);
void WrStrAdj(TBuffer& b, const char* s, std::uint32_t cap, std::int32_t w);
template <std::uint32_t N>
inline void WrStr(TBuffer& b, const char (&s)[N]) {
  WrStr(b, s, N);
}
template <std::uint32_t N>
inline void WrStrAdj(TBuffer& b, const char (&s)[N], std::int32_t w) {
  WrStrAdj(b, s, N, w);
}

void WrLngCard(TBuffer& b, std::uint32_t x, std::int32_t w);
void WrCard(TBuffer& b, std::uint16_t x, std::int32_t w);
void WrShtCard(TBuffer& b, std::uint8_t x, std::int32_t w);
void WrLngHex(TBuffer& b, std::uint32_t x, std::int32_t w);
void WrShtHex(TBuffer& b, std::uint8_t x, std::int32_t w);
// Appends CR and LF to the text; writes nothing to the console.
void WrLn(TBuffer& b);

void InitModule();

}  // namespace SO

#endif
