// ConSigs: a console interrupt (Ctrl+C, Ctrl+Break, closing the console,
// shutdown) ends the run in order, with one message line.
#ifndef ZTMSCN_CONSIGS_H
#define ZTMSCN_CONSIGS_H

#include <cstdint>

namespace ConSigs {

// The handler given to the system; runs on a thread of the system's.
std::uint32_t Handler(std::uint32_t ct);

// Installs the handler; a failure stops the program.
void InitModule();

}  // namespace ConSigs

#endif
