#include "Utils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Dump(const std::vector<std::uint8_t>& x, std::uint32_t i, std::uint32_t n,
                 std::uint32_t cap = 128) {
  std::vector<char> s(cap);
  SO::TBuffer b;
  SO::Init(b, s.data(), cap);
  Utils::WrHex(b, x.data(), static_cast<std::uint32_t>(x.size()), i, n);
  EXPECT_EQ(b.c.p, ' ') << "fill character not restored";
  return std::string(s.data(), b.l);
}

struct THexCase {
  std::vector<std::uint8_t> x;
  std::uint32_t i, n, cap;
  std::string want;
};

class WrHexTable : public ::testing::TestWithParam<THexCase> {};

TEST_P(WrHexTable, Dumps) {
  const THexCase& c = GetParam();
  EXPECT_EQ(Dump(c.x, c.i, c.n, c.cap), c.want);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrHexTable,
    ::testing::Values(THexCase{{1, 171, 255}, 0, 3, 128, "01 AB FF"},
                      THexCase{{1, 2}, 0, 0, 128, ""},                 // n = 0
                      THexCase{{1, 2}, 2, 5, 128, ""},                 // i at the end
                      THexCase{{1, 2, 0, 0x7F}, 2, 16, 128, "00 7F"},  // cut to the array
                      THexCase{{0}, 0, 1, 128, "00"},
                      THexCase{{0x41, 0x42, 0x43}, 0, 3, 5, "41 42"},  // buffer fills up
                      THexCase{std::vector<std::uint8_t>(20, 0xEE), 0, 16, 128,
                               "EE EE EE EE EE EE EE EE EE EE EE EE EE EE EE EE"}));

std::string Lrg(std::uint32_t h, std::uint32_t l, bool f, char p = ' ') {
  char s[32];
  SO::TBuffer b;
  SO::Init(b, s);
  b.c.p = p;
  Utils::WrLrgHex(b, Types::TLrgCard{l, h}, f);
  return std::string(s, b.l);
}

TEST(WrLrgHex, PositionsWithoutFill) {
  EXPECT_EQ(Lrg(0, 0, false), "0");
  EXPECT_EQ(Lrg(0, 255, false), "FF");
  EXPECT_EQ(Lrg(0, 4660, false), "1234");
  EXPECT_EQ(Lrg(1, 0, false), "100000000");
  EXPECT_EQ(Lrg(0x12, 0x3456789A, false), "123456789A");
  EXPECT_EQ(Lrg(0xFFFFFFFF, 0xFFFFFFFF, false), "FFFFFFFFFFFFFFFF");
}

TEST(WrLrgHex, FillKeepsWidth) {
  EXPECT_EQ(Lrg(0, 4660, true), std::string(12, ' ') + "1234");
  EXPECT_EQ(Lrg(0, 4660, true, '0'), "0000000000001234");
  // Zero takes the same sixteen positions as any other number.
  EXPECT_EQ(Lrg(0, 0, true), std::string(15, ' ') + "0");
}

TEST(WrLrgHex, ReadsBytesLittleEndian) {
  const std::uint8_t x[3] = {0x01, 0x00, 0xA0};
  char s[16];
  SO::TBuffer b;
  SO::Init(b, s);
  Utils::WrLrgHex(b, x, 3, false);
  EXPECT_EQ(std::string(s, b.l), "A00001");
}

}  // namespace
