// Config: the configuration record, filled once at start-up from the
// defaults, the current directory and the command line.
#ifndef ZTMSCN_CONFIG_H
#define ZTMSCN_CONFIG_H

#include <cstdint>

#include "SO.h"
#include "Types.h"

namespace Config {

struct TDataDesc {
  char prg[16];
  std::uint32_t ver;
  char ext[32];
  bool dbg;
  bool vrb;
  bool bin;
  Types::TPthStr dir;
  Types::TPthStr in;
  Types::TPthStr out;
};

extern TDataDesc data;

// Appends the one-line banner.
void WrInfo(SO::TBuffer& b);

// Ends the program on a help request, a command-line error or an
// unreadable current directory.
void InitModule();
// The work of InitModule after its imports: defaults, current directory,
// command line, display.  Tests that run many command lines call it again.
void Setup();

}  // namespace Config

#endif
