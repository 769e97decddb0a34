#include "FIO2.h"

#include <cstring>

#include "Con.h"
#include "Lib2.h"
#include "Lib3.h"
#include "SO.h"

namespace FIO2 {

namespace {

bool done = false;
TFileDesc arr[kSlots + 1];  // slots 1 .. 256; index 0 unused
bool lck = false;

constexpr std::uint32_t kNameMax = 1024;

// A private, always terminated copy of a caller's name: a name that fills
// its whole array loses its last character.
void Prepare(char (&t)[kNameMax], const char* n, std::uint32_t cap) {
  const std::uint32_t k = cap < kNameMax ? cap : kNameMax;
  if (k == 0) {
    t[0] = 0;
    return;
  }
  std::uint32_t j = 0;
  for (; j < k && n[j] != 0; ++j)
    t[j] = n[j];
  if (j < k) t[j] = 0;
  t[k - 1] = 0;  // Term
}

// "<text><number>" through Fatal.
void FatalNum(const char* text, std::uint32_t num) {
  char s[128];
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, text, 128);
  SO::WrLngCard(b, num, 1);
  Fatal(s);
}

void FatalErr(const char* text) {
  FatalNum(text, Plat::sys->LastError());
}

void FatalText(const char* text) {
  char s[128];
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, text, 128);
  Fatal(s);
}

std::uint32_t Idx() {
  for (std::uint32_t k = 1; k <= kSlots; ++k) {
    if (arr[k].i == 0) return k;
  }
  return 0;
}

bool Skip(const Plat::TFindData& w, std::uint8_t msk) {
  return (MkLocAtrs(w.attributes) & static_cast<std::uint8_t>(~msk) & 0x16) != 0;
}

void ClrDirEntry(DirEntry& r) {
  Lib2::Fill(r.name, 0);
  Lib2::Fill(r.size, 0);
  r.attr = 0;
  r.date = 0;
}

void SetDirEntry(DirEntry& r, const Plat::TFindData& w) {
  std::uint32_t k = 0;
  for (; k < sizeof r.name && k < sizeof w.name && w.name[k] != 0; ++k)
    r.name[k] = w.name[k];
  if (k < sizeof r.name) r.name[k] = 0;
  r.size.l = w.sizeLow;
  r.size.h = w.sizeHigh;
  r.attr = MkLocAtrs(w.attributes);
  std::uint16_t d = 0;
  std::uint16_t t = 0;
  if (!Plat::sys->DosDateTime(w.lastWrite, d, t)) {
    FatalErr("SetDirEntry: FileTimeToDosDateTime failed, error ");
  }
  r.date = static_cast<std::uint32_t>(d) << 16 | t;
}

// Skips entries the mask excludes; fills r from the first one kept.
bool Settle(DirEntry& r, bool ok) {
  while (ok && Skip(*r.wsp, r.msk))
    ok = Plat::sys->FindNext(r.hnd, r.wsp);
  if (!ok) return false;
  SetDirEntry(r, *r.wsp);
  return true;
}

}  // namespace

void Fatal(const char* s, std::uint32_t cap) {
  Con::WrStr(Plat::kOut, "FIO2.Fatal: ");
  Con::WrStr(Plat::kOut, s, cap);
  Con::WrLn(Plat::kOut);
  if (!lck) {
    lck = true;
    Lib3::Stop(9);
  }
}

bool Exists(const char* n, std::uint32_t cap) {
  char t[kNameMax];
  Prepare(t, n, cap);
  return Plat::sys->FileAttributes(t) != Plat::kInvalidAttributes;
}

TFile OpenRead(const char* n, std::uint32_t cap) {
  char t[kNameMax];
  Prepare(t, n, cap);
  const Plat::THandle h = Plat::sys->OpenRead(t);
  if (h == Plat::kInvalidHandle) FatalErr("OpenRead: CreateFile failed, error ");
  return Alloc(h);
}

TFile Alloc(Plat::THandle h) {
  if (h == Plat::kInvalidHandle) FatalText("Alloc: Invalid handle");
  const std::uint32_t k = Idx();
  if (k == 0) {
    FatalText("Alloc: Too many files");
    return nullptr;  // only while a stop is under way
  }
  arr[k].i = static_cast<std::uint16_t>(k);
  arr[k].h = h;
  return &arr[k];
}

void Free(TFile& f) {
  if (f->h != Plat::kInvalidHandle) FatalText("Free: Valid handle");
  f->i = 0;
  f->h = 0;
  f = nullptr;
}

std::uint32_t RdBin(TFile f, std::uint8_t* x, std::uint32_t xlen, std::uint32_t l) {
  const std::uint32_t want = l < xlen ? l : xlen;
  std::uint32_t got = 0;
  if (!Plat::sys->ReadBlock(f->h, x, want, got)) FatalErr("RdBin: ReadFile failed, error ");
  if (got > want) {
    char s[128];
    SO::TBuffer b;
    SO::Init(b, s);
    SO::WrStr(b, "RdBin: ReadFile read ");
    SO::WrLngCard(b, got, 1);
    SO::WrStr(b, " instead of ");
    SO::WrLngCard(b, want, 1);
    Fatal(s);
  }
  return got;
}

std::uint32_t GetFileDate(TFile f) {
  std::uint64_t ft = 0;
  if (!Plat::sys->LastWriteTime(f->h, ft)) FatalErr("GetFileDate: GetFileTime failed, error ");
  std::uint16_t d = 0;
  std::uint16_t t = 0;
  if (!Plat::sys->DosDateTime(ft, d, t)) {
    FatalErr("GetFileDate: FileTimeToDosDateTime failed, error ");
  }
  return static_cast<std::uint32_t>(d) << 16 | t;
}

void Close(TFile& f) {
  if (!Plat::sys->CloseFile(f->h)) FatalErr("Close: CloseHandle failed, error ");
  f->h = Plat::kInvalidHandle;
  Free(f);
}

void GetDirX(char* t, std::uint32_t len) {
  const std::uint32_t r = Plat::sys->CurrentDirectory(len, t);
  if (r == 0) {
    FatalErr("GetDirX: GetCurrentDirectory failed, error ");
  } else if (len < r) {
    FatalNum("GetDirX: Provided buffer too small, required size ", r);
  }
}

std::uint8_t MkLocAtrs(std::uint32_t w) {
  return static_cast<std::uint8_t>(w & (kReadOnly | kHidden | kSystem | kDirectory | kArchive));
}

bool ReadFirstEntry(const char* n, std::uint32_t cap, std::uint8_t m, DirEntry& r) {
  char t[kNameMax];
  Prepare(t, n, cap);
  Lib2::Fill(r, 0);
  r.wsp = static_cast<Plat::TFindData*>(Plat::sys->Alloc(sizeof(Plat::TFindData)));
  if (r.wsp == nullptr) {
    FatalText("ReadFirstEntry: HeapAlloc failed");
    return false;
  }
  Lib2::Fill(*r.wsp, 0);
  r.hnd = Plat::sys->FindFirst(t, r.wsp);
  r.msk = m;
  return Settle(r, r.hnd != Plat::kInvalidHandle);
}

bool ReadNextEntry(DirEntry& r) {
  ClrDirEntry(r);
  if (r.wsp == nullptr || r.hnd == Plat::kInvalidHandle) return false;
  return Settle(r, Plat::sys->FindNext(r.hnd, r.wsp));
}

void ReadClose(DirEntry& r) {
  if (r.wsp != nullptr) Plat::sys->Free(r.wsp);
  r.wsp = nullptr;
  Plat::sys->FindEnd(r.hnd);
  Lib2::Fill(r, 0);
}

void InitModule() {
  if (done) return;
  done = true;
  SO::InitModule();
  Lib2::InitModule();
  Lib3::InitModule();
  Types::InitModule();
  Lib2::Fill(arr, 0);
  lck = false;
}

}  // namespace FIO2
