#include "SO.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct TCase {
  const char* name;
  std::uint32_t cap;
  std::function<void(SO::TBuffer&)> ops;
  std::string text;  // the first l characters
};

class SOTable : public ::testing::TestWithParam<TCase> {};

TEST_P(SOTable, ComposesAndKeepsInvariant) {
  const TCase& c = GetParam();
  std::vector<char> arr(c.cap + 1, 'X');  // one guard byte past the capacity
  SO::TBuffer b;
  SO::Init(b, arr.data(), c.cap);
  c.ops(b);
  EXPECT_EQ(std::string(arr.data(), b.l), c.text);
  EXPECT_EQ(b.l, c.text.size());
  EXPECT_EQ(b.m, c.cap);
  if (b.l < b.m) {
    EXPECT_EQ(arr[b.l], 0) << "no NUL behind the text";
  }
  EXPECT_EQ(arr[c.cap], 'X') << "wrote past the capacity";
}

using B = SO::TBuffer;
const char kSix[] = "abcdef";

INSTANTIATE_TEST_SUITE_P(
    Cases, SOTable,
    ::testing::Values(
        TCase{"Empty", 128, [](B&) {}, ""},
        TCase{"Cap8FiveLetters", 8, [](B& b) { SO::WrStr(b, "abcde"); }, "abcde"},
        TCase{"Cap8CutSilently", 8,
              [](B& b) {
                SO::WrStr(b, "abcde");
                SO::WrStr(b, "fghij");
              },
              "abcdefgh"},
        TCase{"Cap8FullDropsChar", 8,
              [](B& b) {
                SO::WrStr(b, "abcdefgh");
                SO::WrChar(b, 'z');
              },
              "abcdefgh"},
        TCase{"Cap1OneChar", 1, [](B& b) { SO::WrChar(b, 'a'); }, "a"},
        TCase{"StrStopsAtNul", 16, [](B& b) { SO::WrStr(b, "ab\0cd", 5); }, "ab"},
        TCase{"StrWithoutNulCopiedWhole", 16, [](B& b) { SO::WrStr(b, "abcdef", 3); }, "abc"},
        TCase{"CharRep", 16, [](B& b) { SO::WrCharRep(b, '-', 3); }, "---"},
        TCase{"CharRepZero", 16, [](B& b) { SO::WrCharRep(b, '-', 0); }, ""},
        TCase{"CharRepCut", 4, [](B& b) { SO::WrCharRep(b, '-', 9); }, "----"},
        TCase{"Card42W1", 16, [](B& b) { SO::WrLngCard(b, 42, 1); }, "42"},
        TCase{"Card42W5", 16, [](B& b) { SO::WrLngCard(b, 42, 5); }, "   42"},
        TCase{"Card42WMinus5", 16, [](B& b) { SO::WrLngCard(b, 42, -5); }, "42   "},
        TCase{"Card42W0", 16, [](B& b) { SO::WrLngCard(b, 42, 0); }, "42"},
        TCase{"Card0", 16, [](B& b) { SO::WrLngCard(b, 0, 1); }, "0"},
        TCase{"CardMax", 16, [](B& b) { SO::WrLngCard(b, 4294967295u, 1); }, "4294967295"},
        TCase{"Card16Max", 16, [](B& b) { SO::WrCard(b, 65535, 1); }, "65535"},
        TCase{"ShtCard", 16, [](B& b) { SO::WrShtCard(b, 255, 1); }, "255"},
        TCase{"Hex255", 16, [](B& b) { SO::WrLngHex(b, 255, 1); }, "FF"},
        TCase{"Hex0", 16, [](B& b) { SO::WrLngHex(b, 0, 1); }, "0"},
        TCase{"HexMaxEightDigits", 16, [](B& b) { SO::WrLngHex(b, 0xFFFFFFFFu, 1); }, "FFFFFFFF"},
        TCase{"Hex171W5", 16, [](B& b) { SO::WrLngHex(b, 171, 5); }, "   AB"},
        TCase{"Hex171W5ZeroFill", 16,
              [](B& b) {
                b.c.p = '0';
                SO::WrLngHex(b, 171, 5);
              },
              "000AB"},
        TCase{"ShtHex10W2ZeroFill", 16,
              [](B& b) {
                b.c.p = '0';
                SO::WrShtHex(b, 10, 2);
              },
              "0A"},
        TCase{"AdjWideWhole", 16, [](B& b) { SO::WrStrAdj(b, kSix, 3); }, "abcdef"},
        TCase{"AdjWideQuestion", 16,
              [](B& b) {
                b.c.c = true;
                SO::WrStrAdj(b, kSix, 3);
              },
              "???"},
        TCase{"AdjWideQuestionLeft", 16,
              [](B& b) {
                b.c.c = true;
                SO::WrStrAdj(b, kSix, -3);
              },
              "???"},
        TCase{"AdjWidth0QuestionNothing", 16,
              [](B& b) {
                b.c.c = true;
                SO::WrStrAdj(b, "ab", 0);
              },
              ""},
        TCase{"AdjEmptyRight", 16,
              [](B& b) {
                b.c.p = '.';
                SO::WrStrAdj(b, "", 4);
              },
              "...."},
        TCase{"AdjEmptyLeft", 16,
              [](B& b) {
                b.c.s = '_';
                SO::WrStrAdj(b, "", -4);
              },
              "____"},
        TCase{"AdjLabel", 16, [](B& b) { SO::WrStrAdj(b, "in", -3); }, "in "},
        TCase{"WrLnTwoFree", 4,
              [](B& b) {
                SO::WrStr(b, "ab");
                SO::WrLn(b);
              },
              "ab\r\n"},
        TCase{"WrLnOneFree", 3,
              [](B& b) {
                SO::WrStr(b, "ab");
                SO::WrLn(b);
              },
              "ab\r"},
        TCase{"ClearAfterFull", 4,
              [](B& b) {
                SO::WrStr(b, "abcdef");
                SO::Clear(b);
                SO::WrStr(b, "xy");
              },
              "xy"}),
    [](const ::testing::TestParamInfo<TCase>& i) { return std::string(i.param.name); });

TEST(SO, InitSetsDefaults) {
  char s[128];
  s[0] = 'Q';
  SO::TBuffer b;
  SO::Init(b, s);
  EXPECT_EQ(b.m, 128u);
  EXPECT_EQ(b.l, 0u);
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(b.c.p, ' ');
  EXPECT_EQ(b.c.s, ' ');
  EXPECT_FALSE(b.c.c);
}

}  // namespace
