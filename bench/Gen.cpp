#include "Gen.h"

#include <algorithm>
#include <cstdio>

namespace Gen {

namespace {

struct TRand {
  std::uint64_t x;
  std::uint64_t Next() {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return x;
  }
};

// Appends telegrams to out until it holds `limit` bytes or more.
void Fill(std::string& out, std::size_t limit, const TSpec& s, TRand& r, std::uint64_t& tels) {
  const std::uint32_t span = s.maxLen - s.minLen + 1;
  while (out.size() < limit) {
    const std::uint32_t n = s.minLen + static_cast<std::uint32_t>(r.Next() % span);
    const std::uint32_t field = s.fmt == 7 ? n + 4 : n;
    out += static_cast<char>(field & 0xFF);
    out += static_cast<char>(field >> 8);
    if (s.fmt == 7) {
      const std::uint32_t ref = static_cast<std::uint32_t>(r.Next());
      for (int k = 0; k < 4; ++k)
        out += static_cast<char>(ref >> (8 * k));
    }
    const std::uint64_t bytes = r.Next();
    for (std::uint32_t k = 0; k < n; ++k)
      out += static_cast<char>(bytes >> (8 * (k % 8)) ^ k);
    ++tels;
  }
}

}  // namespace

std::string Make(const TSpec& s, std::uint64_t* tels) {
  TRand r{s.seed * 2654435761u + 1};
  std::string out(1, static_cast<char>(s.fmt));
  std::uint64_t n = 0;
  Fill(out, s.size, s, r, n);
  if (out.size() > s.size) {
    out.resize(s.size);
    if (n > 0) --n;  // the last one was cut
  }
  if (tels != nullptr) *tels = n;
  return out;
}

std::int64_t Write(const std::string& path, const TSpec& s) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return -1;
  TRand r{s.seed * 2654435761u + 1};
  std::string chunk(1, static_cast<char>(s.fmt));
  std::uint64_t written = 0;
  std::uint64_t tels = 0;
  const std::size_t kChunk = 1 << 20;
  bool ok = true;
  while (written < s.size && ok) {
    // Never more than one telegram past the end, so the count stays exact.
    Fill(chunk, static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, s.size - written)), s,
         r, tels);
    std::size_t n = chunk.size();
    if (written + n >= s.size) {
      const std::uint64_t keep = s.size - written;
      if (keep < n && tels > 0) --tels;  // the last telegram is cut
      n = static_cast<std::size_t>(keep);
    }
    ok = std::fwrite(chunk.data(), 1, n, f) == n;
    written += n;
    chunk.clear();
  }
  ok = std::fclose(f) == 0 && ok;
  return ok ? static_cast<std::int64_t>(tels) : -1;
}

}  // namespace Gen
