// The platform-neutral part of the platform layer.
#include "Plat.h"

#include <cstdlib>

namespace Plat {

TSys* sys = &Native();

namespace {

constexpr std::uint64_t kTicksPerSec = 10000000;
constexpr std::uint64_t kSecs1601To1980 = 11644473600ull + 315532800ull;

bool Leap(std::uint32_t y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

}  // namespace

void Exit(std::uint8_t code) {
  sys->Exit(code);
  std::_Exit(code);  // a backend's Exit never returns; this keeps the promise
}

bool PackDosTime(std::uint64_t ft, std::uint16_t& date, std::uint16_t& time) {
  std::uint64_t s = ft / kTicksPerSec;
  if (s < kSecs1601To1980) return false;
  s -= kSecs1601To1980;
  std::uint64_t days = s / 86400;
  const std::uint32_t rem = static_cast<std::uint32_t>(s % 86400);
  std::uint32_t year = 1980;
  for (;;) {
    const std::uint32_t n = Leap(year) ? 366 : 365;
    if (days < n) break;
    days -= n;
    if (++year > 2107) return false;
  }
  static const std::uint8_t kMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  std::uint32_t month = 0;
  for (;;) {
    const std::uint32_t n = kMonth[month] + (month == 1 && Leap(year) ? 1 : 0);
    if (days < n) break;
    days -= n;
    ++month;
  }
  date = static_cast<std::uint16_t>((year - 1980) << 9 | (month + 1) << 5 | (days + 1));
  time = static_cast<std::uint16_t>((rem / 3600) << 11 | (rem / 60 % 60) << 5 | (rem % 60) / 2);
  return true;
}

bool Match(const char* pat, const char* name) {
  // Greedy with one backtrack point: the last "*" seen.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name != 0) {
    if (*pat == '*') {
      star = pat++;
      resume = name;
    } else if (*pat != 0 && (*pat == '?' || *pat == *name)) {
      ++pat;
      ++name;
    } else if (star != nullptr) {
      pat = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pat == '*')
    ++pat;
  return *pat == 0;
}

}  // namespace Plat
