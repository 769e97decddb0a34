// Rdr: the ZTM record reader.
//
// A ZTM file is a format code byte followed by telegrams: a 16-bit
// little-endian length and the payload (formats 3 and 8), or a length that
// also counts a 32-bit reference standing before the payload (format 7).
// One file at a time is read front to back through a 64 KiB block; the first
// structural fault is reported with two byte positions and ends the file.
#ifndef ZTMSCN_RDR_H
#define ZTMSCN_RDR_H

#include <atomic>
#include <cstdint>

#include "Types.h"

namespace Rdr {

constexpr std::uint32_t kTelMax = 2048;

extern std::uint32_t fdt;               // packed last-write date of the open file
extern std::uint8_t fmt;                // format code of the open file
extern bool ok;                         // a telegram (or, after Open, the format) is good
extern std::uint8_t tel[kTelMax];       // payload; the first len bytes are current
extern std::uint16_t len;               // payload length
extern std::uint32_t ref;               // reference, format 7 only
extern Types::TLrgCard pos;             // where the current telegram began
extern Types::TLrgCard top;             // bytes consumed: behind the last whole field
extern std::uint32_t cnt;               // telegrams delivered from the open file
extern std::atomic<std::uint32_t> opn;  // files opened with an accepted code

// Opens FNames.in and reads its format code.
void Open();
// Reads the next telegram; ok tells whether one was delivered.
void Read();
// Closes the open file, if any, and resets the file's state.
void Close();

void InitModule();

}  // namespace Rdr

#endif
