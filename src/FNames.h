// FNames: the input pattern as a sequence of input paths, each with the
// output path that belongs to it.
#ifndef ZTMSCN_FNAMES_H
#define ZTMSCN_FNAMES_H

#include <cstdint>

#include "Types.h"

namespace FNames {

extern Types::TPthStr in;   // the current input path
extern Types::TPthStr out;  // its output path

// Start the scan of Config.data.in; true with in and out set on a match.
bool First();
// The next match.
bool Next();
// Ends the scan; valid after any First.
void Close();

// Inside the module; visible for tests.
// The directory part of s, with its final separator, or empty.
void MkDirName(char* d, std::uint32_t dcap, const char* s, std::uint32_t scap);
// s without the extension of its last component.
void MkBaseName(char* d, std::uint32_t dcap, const char* s, std::uint32_t scap);

void InitModule();

}  // namespace FNames

#endif
