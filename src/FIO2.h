// FIO2: files and directories over the operating system.
//
// Open files live in a table of 256 slots; callers hold a TFile, a reference
// to a slot.  Every failure of the system is fatal: a "FIO2.Fatal: " line
// names the operation, the failed call and the error number, and the program
// stops.  An operation that returns has succeeded.
#ifndef ZTMSCN_FIO2_H
#define ZTMSCN_FIO2_H

#include <cstdint>

#include "Plat.h"
#include "Types.h"

namespace FIO2 {

struct TFileDesc {
  std::uint16_t i;  // 0: free; else the slot's own index, 1 to 256
  Plat::THandle h;
};
using TFile = TFileDesc*;

constexpr std::uint32_t kSlots = 256;

// Names are fixed texts of `cap` characters; at most cap - 1 reach the system.
bool Exists(const char* n, std::uint32_t cap);
TFile OpenRead(const char* n, std::uint32_t cap);
std::uint32_t RdBin(TFile f, std::uint8_t* x, std::uint32_t xlen, std::uint32_t l);
// Last-write time as MS-DOS date (upper half) and time (lower half).
std::uint32_t GetFileDate(TFile f);
void Close(TFile& f);
void GetDirX(char* t, std::uint32_t len);

template <std::uint32_t N>
inline bool Exists(const char (&n)[N]) {
  return Exists(n, N);
}
template <std::uint32_t N>
inline TFile OpenRead(const char (&n)[N]) {
  return OpenRead(n, N);
}
template <std::uint32_t N>
inline void GetDirX(char (&t)[N]) {
  GetDirX(t, N);
}

// Attribute bits of a directory entry.
constexpr std::uint8_t kReadOnly = 0x01;
constexpr std::uint8_t kHidden = 0x02;
constexpr std::uint8_t kSystem = 0x04;
constexpr std::uint8_t kDirectory = 0x10;
constexpr std::uint8_t kArchive = 0x20;

struct DirEntry {
  Plat::TFindData* wsp;
  Plat::THandle hnd;
  std::uint8_t msk;
  char name[256];
  Types::TLrgCard size;
  std::uint8_t attr;
  std::uint32_t date;
};

// Scans the entries matching pattern n (wildcards in its last component).
// Hidden, system and directory entries come only when m holds their bit.
bool ReadFirstEntry(const char* n, std::uint32_t cap, std::uint8_t m, DirEntry& r);
bool ReadNextEntry(DirEntry& r);
void ReadClose(DirEntry& r);

// Inside the module; visible for tests.
void Fatal(const char* s, std::uint32_t cap);
template <std::uint32_t N>
inline void Fatal(const char (&s)[N]) {
  Fatal(s, N);
}
TFile Alloc(Plat::THandle h);
void Free(TFile& f);
std::uint8_t MkLocAtrs(std::uint32_t w);

void InitModule();

}  // namespace FIO2

#endif
