#include "Lib3.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "Con.h"
#include "Plat.h"

namespace Lib3 {

std::atomic<std::uint8_t> rc{255};

namespace {

bool done = false;
std::mutex mx;  // guards term and the stop state
TProc term = nullptr;
bool stopping = false;
std::thread::id mainId;
std::thread::id stopper;

}  // namespace

void SetReturnCode(std::uint8_t x) {
  rc = x;
}

void Terminate(TProc p, TProc& old) {
  std::lock_guard<std::mutex> lock(mx);
  old = term;
  term = p;
}

void Halt() {
  Stop(rc);
}

void Stop(std::uint8_t c) {
  const std::thread::id me = std::this_thread::get_id();
  std::unique_lock<std::mutex> lock(mx);
  if (stopping) {
    if (me == mainId && stopper != mainId) {
      // A console signal's chain is running; it ends the process.
      lock.unlock();
      for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
    Plat::Exit(c);
  }
  stopping = true;
  stopper = me;
  const TProc head = term;
  lock.unlock();
  if (me != mainId) Con::HoldMain();
  head();         // each closing procedure calls the one before it, down to Halt
  Plat::Exit(c);  // only if a closing procedure failed to pass control on
}

void FatalError(const char* s, std::uint32_t cap) {
  Con::WrLine(Plat::kErr, s, cap);
  Stop(9);
}

void Restart() {
  mainId = std::this_thread::get_id();
  std::lock_guard<std::mutex> lock(mx);
  stopping = false;
  rc = 255;
  term = &Halt;
}

void InitModule() {
  if (done) return;
  done = true;
  Con::InitModule();
  Restart();
}

}  // namespace Lib3
