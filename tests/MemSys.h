// A backend whose one file lives in memory (its bytes come from a function
// of the offset, so it may be larger than memory, or change while read)
// and whose streams are captured in a string.  For running the reader many
// times in one process: the fuzz target and the hostile-input tests.
#ifndef ZTMSCN_TESTS_MEMSYS_H
#define ZTMSCN_TESTS_MEMSYS_H

#include <algorithm>
#include <cstring>
#include <functional>

#include <gtest/gtest.h>
#include <string>

#include "Child.h"
#include "Config.h"
#include "FNames.h"
#include "FakeSys.h"
#include "Rdr.h"
#include "RefReader.h"

class MemSys : public FakeSys {
 public:
  std::string name = "mem.ztm";
  // Up to n bytes at offset off into d; the count given.
  std::function<std::uint32_t(std::uint64_t off, std::uint8_t* d, std::uint32_t n)> source;
  std::string out;  // standard output
  std::string err;  // standard error

  void Bytes(const std::string& b) {
    content = b;
    source = [this](std::uint64_t off, std::uint8_t* d, std::uint32_t n) -> std::uint32_t {
      if (off >= content.size()) return 0;
      const std::uint64_t k = std::min<std::uint64_t>(n, content.size() - off);
      std::memcpy(d, content.data() + off, static_cast<std::size_t>(k));
      return static_cast<std::uint32_t>(k);
    };
  }

  void Write(Plat::TStream s, const char* p, std::size_t n) override {
    (s == Plat::kErr ? err : out).append(p, n);
  }
  std::uint32_t FileAttributes(const char* n) override {
    return name == n ? Plat::kAttrNormal : Plat::kInvalidAttributes;
  }
  Plat::THandle OpenRead(const char* n) override {
    if (name != n) return Plat::kInvalidHandle;
    at = 0;
    return 7;
  }
  bool ReadBlock(Plat::THandle, void* buf, std::uint32_t n, std::uint32_t& got) override {
    got = source(at, static_cast<std::uint8_t*>(buf), n);
    at += got;
    return true;
  }
  bool LastWriteTime(Plat::THandle, std::uint64_t& ft) override {
    ft = 133604271300000000ull;  // 2024-05-17 13:45:30 UTC
    return true;
  }
  bool CloseFile(Plat::THandle) override { return true; }

 private:
  std::string content;
  std::uint64_t at = 0;
};

// Sets the modules up once, quietly, for in-process reading.
inline void StartReader(MemSys& m) {
  m.args = {"ZtmScn"};
  Plat::sys = &m;
  Config::InitModule();
  Rdr::InitModule();
}

// The reader over m's file: the trace of RefReader.h.  Checks the reader's
// invariants on every step; a broken one is written into the trace.  With
// `lines` false the telegram lines are left out (for huge files).
inline std::string ReaderTrace(MemSys& m, std::uint64_t size, bool lines = true) {
  m.out.clear();
  Types::Copy(FNames::in, Types::kPthLen, m.name.c_str(),
              static_cast<std::uint32_t>(m.name.size()));
  Rdr::Open();
  m.out += "O " + std::to_string(Rdr::fmt) + "\n";
  std::string tels;
  auto whole = [](const Types::TLrgCard& p) { return p.l | static_cast<std::uint64_t>(p.h) << 32; };
  for (Rdr::Read(); Rdr::ok; Rdr::Read()) {
    const std::uint64_t pos = whole(Rdr::pos), top = whole(Rdr::top);
    if (Rdr::len < 1 || Rdr::len > 2048 || pos > top || top > size) {
      tels += "BROKEN invariant at pos " + Ref::Hx(pos) + "\n";
    }
    if (lines) {
      tels += Ref::TelLine(Rdr::len, Rdr::ref, Ref::Fnv(Rdr::tel, Rdr::len), pos, top, Rdr::cnt);
    }
  }
  if (whole(Rdr::pos) > whole(Rdr::top) || whole(Rdr::top) > size) tels += "BROKEN end\n";
  const std::string end =
      tels + "C " + std::to_string(Rdr::cnt) + " " + Ref::Hx(whole(Rdr::top)) + "\n";
  Rdr::Close();
  return m.out + end;
}

// Runs fn in a child with the reader set up over a memory file; what fn
// returns is the child's standard output.
inline std::string InReader(const std::function<std::string(MemSys&)>& fn) {
  TRun r = RunFn([&] {
    static MemSys m;
    StartReader(m);
    const std::string verdict = fn(m);
    m.real.Write(Plat::kOut, verdict.data(), verdict.size());
    Plat::Exit(0);
  });
  EXPECT_EQ(r.code, 0) << r.err;
  return r.out;
}

#endif
