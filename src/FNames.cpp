#include "FNames.h"

#include "Config.h"
#include "FIO2.h"
#include "Lib2.h"
#include "Lib3.h"
#include "Plat.h"

namespace FNames {

Types::TPthStr in;
Types::TPthStr out;

namespace {

bool done = false;
FIO2::DirEntry der;

// Index of the last c in s, or -1.
std::int64_t Last(const char* s, std::uint32_t n, char c) {
  std::int64_t k = -1;
  for (std::uint32_t j = 0; j < n; ++j) {
    if (s[j] == c) k = j;
  }
  return k;
}

bool MkNames() {
  MkDirName(in, Types::kPthLen, Config::data.in, Types::kPthLen);
  Types::Append(in, Types::kPthLen, der.name, sizeof der.name);
  if (Config::data.out[0] != 0) {
    Types::Copy(out, Config::data.out);
  } else {
    MkBaseName(out, Types::kPthLen, in, Types::kPthLen);
    Types::Append(out, ".txt");
  }
  return true;
}

}  // namespace

void MkDirName(char* d, std::uint32_t dcap, const char* s, std::uint32_t scap) {
  const std::int64_t k = Last(s, Types::Len(s, scap), Plat::kPathSep);
  if (k < 0) {
    if (dcap > 0) d[0] = 0;
    return;
  }
  Types::Copy(d, dcap, s, scap);
  if (dcap < k + 1) Lib3::FatalError("FNames.MkDirName: Destination too short");
  if (k + 1 < dcap) d[k + 1] = 0;
}

void MkBaseName(char* d, std::uint32_t dcap, const char* s, std::uint32_t scap) {
  Types::Copy(d, dcap, s, scap);
  const std::uint32_t n = Types::Len(s, scap);
  const std::int64_t dot = Last(s, n, '.');
  if (dot >= 0 && Last(s, n, Plat::kPathSep) < dot) {
    if (dcap < dot) Lib3::FatalError("FNames.MkBaseName: Destination too short");
    if (dot < dcap) d[dot] = 0;
  } else if (dcap < n) {
    Lib3::FatalError("FNames.MkBaseName: Destination too short");
  }
}

bool First() {
  return FIO2::ReadFirstEntry(Config::data.in, Types::kPthLen, 0, der) && MkNames();
}

bool Next() {
  return FIO2::ReadNextEntry(der) && MkNames();
}

void Close() {
  FIO2::ReadClose(der);
  Lib2::Fill(der, 0);
}

void InitModule() {
  if (done) return;
  done = true;
  Lib3::InitModule();
  Lib2::InitModule();
  FIO2::InitModule();
  Config::InitModule();
  in[0] = 0;
  out[0] = 0;
  Lib2::Fill(der, 0);
}

}  // namespace FNames
