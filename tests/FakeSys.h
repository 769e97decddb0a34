// A platform backend for tests: everything goes to the real backend unless
// a test asks a call to fail (with an error number of its choice) or to
// answer otherwise.
#ifndef ZTMSCN_TESTS_FAKESYS_H
#define ZTMSCN_TESTS_FAKESYS_H

#include <cstdlib>
#include <string>
#include <vector>

#include "Plat.h"

class FakeSys : public Plat::TSys {
 public:
  Plat::TSys& real = Plat::Native();
  std::uint32_t err = 0;  // number reported for an injected failure
  bool failOpen = false, failRead = false, failTime = false, failDos = false;
  bool failClose = false, failCwd = false, failAlloc = false, failCtrl = false;
  std::uint32_t overRead = 0;     // bytes a read claims beyond what was asked
  std::uint32_t cwdLength = 0;    // pretend the current directory is this long
  std::uint64_t fileTime = 0;     // when set, the last-write time of every file
  std::vector<std::string> args;  // when not empty, the arguments (0 = program)
  const char* cmdLine = nullptr;  // when set, the one command-line text
  const char* programPath = nullptr;
  std::uint32_t ticks[2] = {0, 0};
  bool fakeTicks = false;
  int tickCalls = 0;

  void Write(Plat::TStream s, const char* p, std::size_t n) override { real.Write(s, p, n); }
  [[noreturn]] void Exit(std::uint8_t code) override { std::_Exit(code); }
  const char* CommandLine() override { return cmdLine; }
  int ArgCount() override { return args.empty() ? real.ArgCount() : static_cast<int>(args.size()); }
  const char* Arg(int i) override { return args.empty() ? real.Arg(i) : args[i].c_str(); }
  bool ProgramPath(char* buf, std::uint32_t cap) override {
    if (programPath == nullptr || cap == 0) return false;
    const std::string p(programPath);
    const std::size_t k = p.size() < cap ? p.size() : cap - 1;
    p.copy(buf, k);
    buf[k] = 0;
    return true;
  }
  void* Alloc(std::size_t n) override { return failAlloc ? nullptr : real.Alloc(n); }
  void Free(void* p) override { real.Free(p); }
  std::uint32_t LastError() override { return injected ? err : real.LastError(); }
  std::uint32_t FileAttributes(const char* name) override {
    injected = false;
    return real.FileAttributes(name);
  }
  Plat::THandle OpenRead(const char* name) override {
    return Fail(failOpen) ? Plat::kInvalidHandle : real.OpenRead(name);
  }
  bool ReadBlock(Plat::THandle h, void* buf, std::uint32_t n, std::uint32_t& got) override {
    if (Fail(failRead)) return false;
    const bool ok = real.ReadBlock(h, buf, n, got);
    got += overRead;
    return ok;
  }
  bool LastWriteTime(Plat::THandle h, std::uint64_t& ft) override {
    if (Fail(failTime)) return false;
    const bool ok = real.LastWriteTime(h, ft);
    if (fileTime != 0) ft = fileTime;
    return ok;
  }
  bool DosDateTime(std::uint64_t ft, std::uint16_t& d, std::uint16_t& t) override {
    return !Fail(failDos) && real.DosDateTime(ft, d, t);
  }
  bool CloseFile(Plat::THandle h) override {
    const bool ok = real.CloseFile(h);
    return !Fail(failClose) && ok;
  }
  std::uint32_t CurrentDirectory(std::uint32_t len, char* buf) override {
    if (Fail(failCwd)) return 0;
    if (cwdLength != 0) {
      if (cwdLength + 1 > len) return cwdLength + 1;
      std::string(cwdLength, 'd').copy(buf, cwdLength);
      buf[cwdLength] = 0;
      return cwdLength;
    }
    return real.CurrentDirectory(len, buf);
  }
  Plat::THandle FindFirst(const char* pattern, Plat::TFindData* w) override {
    injected = false;
    const Plat::THandle h = real.FindFirst(pattern, w);
    if (h != Plat::kInvalidHandle && fileTime != 0) w->lastWrite = fileTime;
    return h;
  }
  bool FindNext(Plat::THandle h, Plat::TFindData* w) override {
    const bool ok = real.FindNext(h, w);
    if (ok && fileTime != 0) w->lastWrite = fileTime;
    return ok;
  }
  void FindEnd(Plat::THandle h) override { real.FindEnd(h); }
  bool SetCtrlHandler(Plat::TCtrlHandler h) override {
    return !Fail(failCtrl) && real.SetCtrlHandler(h);
  }
  std::uint32_t TickCount() override {
    if (!fakeTicks) return real.TickCount();
    return ticks[tickCalls++ == 0 ? 0 : 1];
  }

 private:
  bool injected = false;
  bool Fail(bool f) {
    injected = f;
    return f;
  }
};

#endif
