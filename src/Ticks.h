// Ticks: the elapsed-time line, the last line of every run.
#ifndef ZTMSCN_TICKS_H
#define ZTMSCN_TICKS_H

#include <cstdint>

namespace Ticks {

extern std::uint32_t t0;  // tick count at start-up, in milliseconds

// Takes t0 and registers the closing procedure that writes "Ticks: <ms>".
void InitModule();

}  // namespace Ticks

#endif
