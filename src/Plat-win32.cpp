// The Win32 backend of the platform layer: the kernel32 calls themselves,
// with the arguments the program was designed around.  Error numbers are
// GetLastError's.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstring>

#include "Plat.h"

namespace Plat {

namespace {

HANDLE Handle(THandle h) {
  return reinterpret_cast<HANDLE>(h);
}
THandle Handle(HANDLE h) {
  return reinterpret_cast<THandle>(h);
}

std::uint64_t Ticks(const FILETIME& ft) {
  return static_cast<std::uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
}

FILETIME FileTime(std::uint64_t t) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(t);
  ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
  return ft;
}

void Take(TFindData* w, const WIN32_FIND_DATAA& d) {
  w->attributes = d.dwFileAttributes;
  w->lastWrite = Ticks(d.ftLastWriteTime);
  w->sizeHigh = d.nFileSizeHigh;
  w->sizeLow = d.nFileSizeLow;
  static_assert(sizeof w->name == sizeof d.cFileName, "names of MAX_PATH characters");
  std::memcpy(w->name, d.cFileName, sizeof w->name);
  w->name[sizeof w->name - 1] = 0;
}

TCtrlHandler ctrlHandler = nullptr;

BOOL WINAPI CtrlThunk(DWORD ct) {
  return ctrlHandler(ct) != 0 ? TRUE : FALSE;
}

class TWin32 final : public TSys {
 public:
  void Write(TStream s, const char* p, std::size_t n) override {
    // WriteFile on the standard handle: the bytes go out as they are, with
    // no text-mode translation that would double a CR.
    const HANDLE h = GetStdHandle(s == kErr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
    while (n > 0) {
      const DWORD part = n > 0x10000000 ? 0x10000000 : static_cast<DWORD>(n);
      DWORD done = 0;
      if (!WriteFile(h, p, part, &done, nullptr) || done == 0) return;
      p += done;
      n -= done;
    }
  }

  [[noreturn]] void Exit(std::uint8_t code) override { ExitProcess(code); }

  const char* CommandLine() override { return GetCommandLineA(); }
  int ArgCount() override { return 0; }
  const char* Arg(int) override { return ""; }

  bool ProgramPath(char* buf, std::uint32_t cap) override {
    const DWORD n = GetModuleFileNameA(nullptr, buf, cap);
    return n > 0 && n < cap;
  }

  void* Alloc(std::size_t n) override { return HeapAlloc(GetProcessHeap(), 0, n); }
  void Free(void* p) override { HeapFree(GetProcessHeap(), 0, p); }

  std::uint32_t LastError() override { return GetLastError(); }

  std::uint32_t FileAttributes(const char* name) override { return GetFileAttributesA(name); }

  THandle OpenRead(const char* name) override {
    return Handle(CreateFileA(name, GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  bool ReadBlock(THandle h, void* buf, std::uint32_t n, std::uint32_t& got) override {
    DWORD k = 0;
    const BOOL ok = ReadFile(Handle(h), buf, n, &k, nullptr);
    got = k;
    return ok != FALSE;
  }

  bool LastWriteTime(THandle h, std::uint64_t& ft) override {
    FILETIME w;
    if (!GetFileTime(Handle(h), nullptr, nullptr, &w)) return false;
    ft = Ticks(w);
    return true;
  }

  bool DosDateTime(std::uint64_t ft, std::uint16_t& date, std::uint16_t& time) override {
    const FILETIME t = FileTime(ft);
    WORD d = 0;
    WORD s = 0;
    if (!FileTimeToDosDateTime(&t, &d, &s)) return false;
    date = d;
    time = s;
    return true;
  }

  bool CloseFile(THandle h) override { return CloseHandle(Handle(h)) != FALSE; }

  std::uint32_t CurrentDirectory(std::uint32_t len, char* buf) override {
    return GetCurrentDirectoryA(len, buf);
  }

  THandle FindFirst(const char* pattern, TFindData* w) override {
    WIN32_FIND_DATAA d;
    const HANDLE h = FindFirstFileA(pattern, &d);
    if (h != INVALID_HANDLE_VALUE) Take(w, d);
    return Handle(h);
  }

  bool FindNext(THandle h, TFindData* w) override {
    WIN32_FIND_DATAA d;
    if (!FindNextFileA(Handle(h), &d)) return false;
    Take(w, d);
    return true;
  }

  void FindEnd(THandle h) override { FindClose(Handle(h)); }

  bool SetCtrlHandler(TCtrlHandler h) override {
    ctrlHandler = h;
    return SetConsoleCtrlHandler(&CtrlThunk, TRUE) != FALSE;
  }

  std::uint32_t TickCount() override { return GetTickCount(); }
};

}  // namespace

TSys& Native() {
  static TWin32 win32;
  return win32;
}

void SetArgs(int, char**) {}  // the command line comes from GetCommandLineA

}  // namespace Plat
