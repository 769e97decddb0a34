// Con: console output on standard output and standard error.
//
// A text is written up to its first NUL or its full length; every LF goes
// out as CR LF.  Pieces collect per thread and per stream until the line end,
// and the whole line then reaches the stream in one write, under a lock, so
// lines of two threads never mix.  Nothing is held back after a line end.
#ifndef ZTMSCN_CON_H
#define ZTMSCN_CON_H

#include <cstdint>

#include "Plat.h"

namespace Con {

void WrStr(Plat::TStream s, const char* t, std::uint32_t cap);
template <std::uint32_t N>
inline void WrStr(Plat::TStream s, const char (&t)[N]) {
  WrStr(s, t, N);
}
// A number in decimal, without fill.
void WrCard(Plat::TStream s, std::uint32_t x);
// Ends the line and writes it out.
void WrLn(Plat::TStream s);
// A whole line: the text, then the line end.
void WrLine(Plat::TStream s, const char* t, std::uint32_t cap);
template <std::uint32_t N>
inline void WrLine(Plat::TStream s, const char (&t)[N]) {
  WrLine(s, t, N);
}

// From now on the main thread's lines no longer reach the streams: at its
// next line end it waits for the process to end.  Called on another thread
// (a console signal) that is about to end the run; no-op on the main thread.
void HoldMain();

void InitModule();

}  // namespace Con

#endif
