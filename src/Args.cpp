#include "Args.h"

#include "Plat.h"
#include "Types.h"

namespace Args {

std::uint32_t cnt = 0;
std::uint32_t idx = 0;
TSym sym = symNull;
TStr str;
std::uint32_t len = 0;

namespace {

bool done = false;
std::vector<std::string> args;  // argument 0 is the program

void Take(const std::string& a) {
  Types::Copy(str, kStrLen, a.c_str(), static_cast<std::uint32_t>(a.size()));
  len = Types::Len(str);
}

bool IsOptPrefix(char c) {
  return c == '-' || (Plat::kSlashOption && c == '/');
}

}  // namespace

void Load() {
  args.clear();
  if (const char* line = Plat::sys->CommandLine()) {
    args = Split(line);
    if (args.empty()) args.emplace_back();
  } else {
    // Split by the system already: take them as delivered, minus empty ones.
    const int n = Plat::sys->ArgCount();
    args.emplace_back(n > 0 ? Plat::sys->Arg(0) : "");
    for (int i = 1; i < n; ++i) {
      const char* a = Plat::sys->Arg(i);
      if (a[0] != 0) args.emplace_back(a);
    }
  }
  char path[261];
  if (Plat::sys->ProgramPath(path, sizeof path)) args[0] = path;
}

std::vector<std::string> Split(const char* line) {
  std::vector<std::string> out;
  const char* p = line;
  for (;;) {
    while (*p == ' ' || *p == '\t')
      ++p;
    if (*p == 0) break;
    std::string a;
    bool quoted = false;
    while (*p != 0 && (quoted || (*p != ' ' && *p != '\t'))) {
      if (*p == '\\' && p[1] == '"') {
        a += '"';
        p += 2;
      } else if (*p == '"') {
        quoted = !quoted;
        ++p;
      } else {
        a += *p++;
      }
    }
    if (!a.empty()) out.push_back(a);
  }
  return out;
}

void Reset() {
  cnt = static_cast<std::uint32_t>(args.size() - 1);
  idx = 0;
  sym = symNull;
  Take(args[0]);
}

void Read() {
  if (idx <= cnt) ++idx;
  if (idx > cnt) {
    str[0] = 0;
    len = 0;
    sym = symEOA;
    return;
  }
  Take(args[idx]);
  if (IsOptPrefix(str[0]) && len >= 2) {
    for (std::uint32_t k = 1; k < len; ++k)
      str[k - 1] = str[k];
    str[len - 1] = 0;
    --len;
    sym = symOpt;
  } else {
    sym = symArg;
  }
}

void InitModule() {
  if (done) return;
  done = true;
  Load();
  Reset();
}

}  // namespace Args
