// The reader against a plain byte-at-a-time reading of the same bytes,
// written here from the format's rules: every telegram, fault and position
// must agree, at block boundaries too.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Gen.h"
#include "MemSys.h"
#include "RefReader.h"

namespace {

using Ref::Expected;

// A file of random telegrams with one random mutation.
std::string RandomFile(std::mt19937_64& rng) {
  static const std::uint8_t kFmts[] = {3, 7, 8, 3, 7, 8, 5, 0};
  const std::uint8_t fmt = kFmts[rng() % 8];
  const std::uint32_t maxLen = rng() % 4 == 0 ? 2048 : 1 + rng() % 300;
  const std::uint64_t size = rng() % 5 == 0 ? rng() % 64 : rng() % (300 << 10);
  std::string b = Gen::Make({size, fmt == 7 ? std::uint8_t{7} : fmt, 1, maxLen, rng()});
  if (b.empty()) return b;
  switch (rng() % 6) {
    case 0:
      break;  // as made (its last telegram may be cut)
    case 1:
      b.resize(rng() % b.size());
      break;
    case 2:
      b += static_cast<char>(rng());
      break;
    default: {
      // Overwrite two bytes somewhere with a telling length value.
      static const std::uint16_t kLens[] = {0, 1, 3, 4, 5, 2048, 2049, 2052, 2053, 65535};
      const std::uint16_t v = kLens[rng() % 10];
      if (b.size() > 3) {
        const std::size_t k = 1 + rng() % (b.size() - 2);
        b[k] = static_cast<char>(v & 0xFF);
        b[k + 1] = static_cast<char>(v >> 8);
      }
    }
  }
  return b;
}

TEST(Equivalence, RandomFilesAgreeWithByteAtATimeReading) {
  std::mt19937_64 rng(20261211);
  for (int batch = 0; batch < 6; ++batch) {
    std::vector<std::string> files;
    std::string want;
    for (int k = 0; k < 50; ++k) {
      files.push_back(RandomFile(rng));
      want += "F\n" + Expected(files.back());
    }
    // The real reader over the same bytes, in a child: the same trace.
    const std::string got = InReader([&](MemSys& m) {
      std::string s;
      for (const std::string& f : files) {
        m.Bytes(f);
        s += "F\n" + ReaderTrace(m, f.size());
      }
      return s;
    });
    ASSERT_EQ(got.size(), want.size()) << "batch " << batch;
    if (got != want) {
      std::size_t k = 0;
      while (got[k] == want[k])
        ++k;
      FAIL() << "batch " << batch << " differs at " << k
             << ":\n got: " << got.substr(k > 200 ? k - 200 : 0, 400)
             << "\nwant: " << want.substr(k > 200 ? k - 200 : 0, 400);
    }
  }
}

}  // namespace
