#include "Rdr.h"

#include <cstring>

#include "Con.h"
#include "Config.h"
#include "FIO2.h"
#include "FNames.h"
#include "Lib2.h"
#include "Lib3.h"
#include "SO.h"
#include "Utils.h"

namespace Rdr {

std::uint32_t fdt = 0;
std::uint8_t fmt = 0;
bool ok = false;
std::uint8_t tel[kTelMax];
std::uint16_t len = 0;
std::uint32_t ref = 0;
Types::TLrgCard pos = {0, 0};
Types::TLrgCard top = {0, 0};
std::uint32_t cnt = 0;
std::atomic<std::uint32_t> opn{0};

namespace {

constexpr std::uint32_t kBlock = 65536;

struct TBufDesc {
  std::uint32_t n;  // valid bytes in d
  std::uint32_t i;  // bytes of d handed out
  std::uint8_t d[kBlock];
};

bool done = false;
FIO2::TFile f = nullptr;
TBufDesc buf;
Lib3::TProc oldDoneModule = nullptr;

// Up to l bytes of the file into x, as many as it still holds.  Bytes come
// out of the block in runs rather than one at a time; the block is refilled
// when it is used up, and a refill that brings nothing is the end of file.
std::uint32_t FRead(std::uint8_t* x, std::uint32_t xlen, std::uint32_t l) {
  const std::uint32_t m = l < xlen ? l : xlen;
  std::uint32_t k = 0;
  while (k < m) {
    if (buf.i >= buf.n) {
      buf.n = FIO2::RdBin(f, buf.d, kBlock, kBlock);
      buf.i = 0;
      if (buf.n == 0) {
        buf.i = 1;  // as after the end of file: nothing handed out, nothing held
        return k;
      }
    }
    std::uint32_t run = buf.n - buf.i;
    if (run > m - k) run = m - k;
    std::memcpy(x + k, buf.d + buf.i, run);
    buf.i += run;
    k += run;
  }
  return m;
}

// The bytes consumed are counted whole in `at`; top shows them as two halves.
// Reading top back by halves right after writing it would stall the scan,
// so nothing reads it here.
std::uint64_t at = 0;

void Split(Types::TLrgCard& p, std::uint64_t v) {
  p.l = static_cast<std::uint32_t>(v);
  p.h = static_cast<std::uint32_t>(v >> 32);
}

// Advances top by d, the carry going into its high half.
void IncPos(std::uint32_t d) {
  at += d;
  Split(top, at);
}

void WrPos(SO::TBuffer& b, const Types::TLrgCard& p) {
  Utils::WrLrgHex(b, p, false);
}

void Message(const char* x, std::uint32_t cap) {
  char s[128];
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, "Rdr.Msg: ");
  SO::WrStr(b, x, cap);
  if (Config::data.vrb) Con::WrLine(Plat::kOut, s);
}

void Error(const char* x) {
  char s[128];
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, "Rdr.Err: ");
  SO::WrStr(b, x, 128);
  SO::WrStr(b, ", pos ");
  WrPos(b, pos);
  SO::WrStr(b, " top ");
  WrPos(b, top);
  Con::WrLine(Plat::kOut, s);
}

void ShowOpen() {
  char s[128];
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, "Open: opn ");
  SO::WrLngCard(b, opn, 1);
  SO::WrStr(b, " src \"");
  SO::WrStr(b, FNames::in);
  SO::WrStr(b, "\" fmt ");
  SO::WrShtCard(b, fmt, 1);
  Message(s, sizeof s);
}

void ShowClose() {
  char s[128];
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, "Close: opn ");
  SO::WrLngCard(b, opn, 1);
  SO::WrStr(b, " cnt ");
  SO::WrLngCard(b, cnt, 1);
  SO::WrStr(b, " top ");
  WrPos(b, top);
  Message(s, sizeof s);
}

void DoneModule() {
  char s[128];
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, "DoneModule: opn ");
  SO::WrLngCard(b, opn, 1);
  Message(s, sizeof s);
  oldDoneModule();
}

// Copies the n payload bytes (n >= 1) at s into tel.  Short payloads, most
// of them, go as one fixed 64-byte copy when the block array has the room:
// no branch on the length, and the bytes behind the payload in tel are not
// part of the telegram.  The rest in 16-byte pieces, the last one
// overlapping.
inline void CopyPayload(const std::uint8_t* s, std::uint32_t n) {
  constexpr std::uint32_t kShort = 64;
  if (n <= kShort && s + kShort <= buf.d + kBlock) {
    std::memcpy(tel, s, kShort);
  } else if (n >= 16) {
    for (std::uint32_t k = 0; k + 16 <= n; k += 16)
      std::memcpy(tel + k, s + k, 16);
    std::memcpy(tel + n - 16, s + n - 16, 16);
  } else {
    for (std::uint32_t k = 0; k < n; ++k)
      tel[k] = s[k];
  }
}

// The common case: the whole telegram stands in the block.  Reads it in
// place and answers true; false leaves everything to ReadFields.
inline bool ReadInBlock() {
  const std::uint32_t hdr = fmt == 7 ? 6 : 2;
  if (buf.i >= buf.n || buf.n - buf.i < hdr) return false;
  const std::uint32_t room = buf.n - buf.i - hdr;
  const std::uint8_t* p = buf.d + buf.i;
  std::uint32_t n = p[0] | static_cast<std::uint32_t>(p[1]) << 8;
  if (fmt == 7) n -= 4;  // a field below 4 wraps and fails the range test
  if (n - 1 >= kTelMax || n > room) return false;
  if (fmt == 7) {
    ref = static_cast<std::uint32_t>(p[2]) | static_cast<std::uint32_t>(p[3]) << 8 |
          static_cast<std::uint32_t>(p[4]) << 16 | static_cast<std::uint32_t>(p[5]) << 24;
  }
  len = static_cast<std::uint16_t>(n);
  CopyPayload(p + hdr, n);
  buf.i += hdr + n;
  IncPos(hdr + n);
  ++cnt;
  ok = true;
  return true;
}

}  // namespace

void Open() {
  Close();
  if (!FIO2::Exists(FNames::in)) {
    ShowOpen();
    Error("Open: files does not exist");
    return;
  }
  f = FIO2::OpenRead(FNames::in);
  if (f == nullptr) {
    ShowOpen();
    Error("Open: cannot open file");
    return;
  }
  fdt = FIO2::GetFileDate(f);
  if (FRead(&fmt, 1, 1) != 1) {
    ShowOpen();
    Error("Open: cannot read format");
    return;
  }
  IncPos(1);
  if (fmt == 3 || fmt == 7 || fmt == 8) {
    ok = true;
    ++opn;
    ShowOpen();
    return;
  }
  ok = false;
  ShowOpen();
  Error("Open: unsupported file format");
}

// The telegram field by field, through block refills, faults and the end
// of the file.  Kept out of Read so that the common case stays small.
void ReadFields();

void Read() {
  if (f == nullptr) {
    ok = false;
    return;
  }
  Split(pos, at);
  ok = false;
  if (!ReadInBlock()) ReadFields();
}

void ReadFields() {
  // Fields land in their variables byte by byte, least significant first,
  // as a short read leaves them; decoded explicitly for any host order.
  std::uint8_t b[4] = {static_cast<std::uint8_t>(len), static_cast<std::uint8_t>(len >> 8)};
  const std::uint32_t n = FRead(b, 2, 2);
  len = static_cast<std::uint16_t>(b[0] | b[1] << 8);
  if (n == 0) return;  // the normal end, at a telegram boundary
  if (n == 1) {
    Error("Read: cannot read tel len");
    return;
  }
  IncPos(2);
  if (fmt == 7) {
    if (len < 4) {
      Error("Read: tel len too small");
      return;
    }
    len = static_cast<std::uint16_t>(len - 4);
    for (int k = 0; k < 4; ++k)
      b[k] = static_cast<std::uint8_t>(ref >> (8 * k));
    const std::uint32_t r = FRead(b, 4, 4);
    ref = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
          static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    if (r < 4) {
      Error("Read: cannot read ref");
      return;
    }
    IncPos(4);
  }
  if (len == 0) {
    Error("Read: tel len is zero");
    return;
  }
  if (len > kTelMax) {
    Error("Read: tel len too large");
    return;
  }
  const std::uint32_t got = FRead(tel, kTelMax, len);
  if (got != len) {
    Error("Read: cannot read tel");
    return;
  }
  IncPos(got);
  ++cnt;
  ok = true;
}

void Close() {
  if (f != nullptr) {
    ShowClose();
    FIO2::Close(f);
    f = nullptr;
  }
  Lib2::Fill(buf, 0);
  fdt = 0;
  fmt = 0;
  ok = false;
  Lib2::Fill(tel, 0);
  len = 0;
  ref = 0;
  at = 0;
  pos = {0, 0};
  top = {0, 0};
  cnt = 0;
}

void InitModule() {
  if (done) return;
  done = true;
  Utils::InitModule();
  FNames::InitModule();
  Config::InitModule();
  SO::InitModule();
  Lib3::InitModule();
  Lib2::InitModule();
  FIO2::InitModule();
  Types::InitModule();
  f = nullptr;
  Close();
  opn = 0;
  Lib3::Terminate(&DoneModule, oldDoneModule);
}

}  // namespace Rdr
