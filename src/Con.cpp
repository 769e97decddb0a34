#include "Con.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace Con {

namespace {

bool done = false;
std::mutex mx;
std::thread::id mainId;
bool held = false;  // the main thread's output is held

constexpr std::uint32_t kPend = 1024;
struct TPending {
  char d[kPend];
  std::uint32_t n;
};
thread_local TPending pend[2];

TPending& Of(Plat::TStream s) {
  return pend[s == Plat::kErr ? 1 : 0];
}

[[noreturn]] void WaitForEnd() {
  for (;;)
    std::this_thread::sleep_for(std::chrono::hours(1));
}

void Flush(Plat::TStream s, TPending& p) {
  std::unique_lock<std::mutex> lock(mx);
  if (held && std::this_thread::get_id() == mainId) {
    lock.unlock();
    WaitForEnd();
  }
  Plat::sys->Write(s, p.d, p.n);
  p.n = 0;
}

void Put(Plat::TStream s, char c) {
  TPending& p = Of(s);
  if (p.n == kPend) Flush(s, p);  // an overlong text goes out in pieces
  p.d[p.n++] = c;
}

}  // namespace

void WrStr(Plat::TStream s, const char* t, std::uint32_t cap) {
  for (std::uint32_t j = 0; j < cap && t[j] != 0; ++j) {
    if (t[j] == '\n') Put(s, '\r');
    Put(s, t[j]);
  }
}

void WrCard(Plat::TStream s, std::uint32_t x) {
  char d[10];
  int n = 0;
  do {
    d[n++] = static_cast<char>('0' + x % 10);
    x /= 10;
  } while (x != 0);
  while (n > 0)
    Put(s, d[--n]);
}

void WrLn(Plat::TStream s) {
  TPending& p = Of(s);
  if (p.n + 2 > kPend) Flush(s, p);
  p.d[p.n++] = '\r';
  p.d[p.n++] = '\n';
  Flush(s, p);
}

void WrLine(Plat::TStream s, const char* t, std::uint32_t cap) {
  WrStr(s, t, cap);
  WrLn(s);
}

void HoldMain() {
  std::lock_guard<std::mutex> lock(mx);
  if (std::this_thread::get_id() != mainId) held = true;
}

void InitModule() {
  if (done) return;
  done = true;
  mainId = std::this_thread::get_id();
}

}  // namespace Con
