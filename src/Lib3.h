// Lib3: the return code, the termination chain and the program stop.
//
// Every end of the program is a stop: the closing procedures registered with
// Terminate run from the last registered back to Halt, which ends the process
// with the return code.  A stop asked for while a chain runs ends the process
// at once with that stop's code -- except on the main thread while another
// thread (a console signal) runs the chain: the main thread then waits, and
// that chain ends the process.
#ifndef ZTMSCN_LIB3_H
#define ZTMSCN_LIB3_H

#include <atomic>
#include <cstdint>

namespace Lib3 {

using TProc = void (*)();

// The process exit code at the end of the chain; 255 until set.
extern std::atomic<std::uint8_t> rc;

void SetReturnCode(std::uint8_t x);
// Makes p the head of the chain; old receives the previous head, which p
// calls as its last step.
void Terminate(TProc p, TProc& old);
// The end of the chain: stops with the return code.
[[noreturn]] void Halt();
// Stops the program with code c (see above).
[[noreturn]] void Stop(std::uint8_t c);
// Writes s and a line end to standard error, then stops with code 9.
[[noreturn]] void FatalError(const char* s, std::uint32_t cap);
template <std::uint32_t N>
[[noreturn]] inline void FatalError(const char (&s)[N]) {
  FatalError(s, N);
}

void InitModule();
// Back to the state InitModule leaves: no stop under way, return code 255,
// the chain ending in Halt.  For tests that run many starts in one process.
void Restart();

}  // namespace Lib3

#endif
