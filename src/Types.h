// Types: shared types of the program, and the fixed-text helpers that go
// with them.  A fixed text fills a char array: ended by NUL when shorter,
// with no terminator when exactly full.
#ifndef ZTMSCN_TYPES_H
#define ZTMSCN_TYPES_H

#include <cstdint>

namespace Types {

// An unsigned 64-bit count kept as two 32-bit halves.
struct TLrgCard {
  std::uint32_t l;
  std::uint32_t h;
};

constexpr std::uint32_t kPthLen = 128;
using TPthStr = char[kPthLen];

// Characters of `s` before its first NUL, at most `cap`.
std::uint32_t Len(const char* s, std::uint32_t cap);
// Copies `s` (read up to NUL or `scap`) into `d`, cut at `dcap`.
void Copy(char* d, std::uint32_t dcap, const char* s, std::uint32_t scap);
// Appends `s` to the text in `d`, cut at `dcap`.
void Append(char* d, std::uint32_t dcap, const char* s, std::uint32_t scap);

template <std::uint32_t N, std::uint32_t M>
inline void Copy(char (&d)[N], const char (&s)[M]) {
  Copy(d, N, s, M);
}
template <std::uint32_t N, std::uint32_t M>
inline void Append(char (&d)[N], const char (&s)[M]) {
  Append(d, N, s, M);
}
template <std::uint32_t N>
inline std::uint32_t Len(const char (&s)[N]) {
  return Len(s, N);
}

void InitModule();

}  // namespace Types

#endif
