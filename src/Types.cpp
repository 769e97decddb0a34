#include "Types.h"

namespace Types {

std::uint32_t Len(const char* s, std::uint32_t cap) {
  std::uint32_t n = 0;
  while (n < cap && s[n] != 0)
    ++n;
  return n;
}

void Copy(char* d, std::uint32_t dcap, const char* s, std::uint32_t scap) {
  if (dcap == 0) return;
  d[0] = 0;
  Append(d, dcap, s, scap);
}

void Append(char* d, std::uint32_t dcap, const char* s, std::uint32_t scap) {
  std::uint32_t k = Len(d, dcap);
  for (std::uint32_t j = 0; j < scap && s[j] != 0 && k < dcap; ++j)
    d[k++] = s[j];
  if (k < dcap) d[k] = 0;
}

void InitModule() {}

}  // namespace Types
