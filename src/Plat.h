// Plat: the one door to the operating system.
//
// Every module above this layer reaches the system only through `Plat::sys`.
// The calls keep the shape of the Windows calls the program was designed
// around (attribute words, FILETIME stamps, handles that may be invalid,
// a "last error" number); the POSIX backend produces the same answers from
// its own calls.  Tests point `sys` at a fake to make any call fail.
#ifndef ZTMSCN_PLAT_H
#define ZTMSCN_PLAT_H

#include <cstddef>
#include <cstdint>

namespace Plat {

// An open file or a running directory search.
using THandle = std::intptr_t;
constexpr THandle kInvalidHandle = -1;

// Attribute bits as the Windows file API reports them.
constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;
constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrNormal = 0x80;

// Console control types handed to a control handler.
constexpr std::uint32_t kCtrlC = 0;
constexpr std::uint32_t kCtrlBreak = 1;
constexpr std::uint32_t kCtrlClose = 2;
constexpr std::uint32_t kCtrlLogoff = 5;
constexpr std::uint32_t kCtrlShutdown = 6;

// Output streams.
enum TStream { kOut = 1, kErr = 2 };

#ifdef _WIN32
constexpr char kPathSep = '\\';
constexpr bool kSlashOption = true;  // "/x" is an option there
#else
constexpr char kPathSep = '/';
constexpr bool kSlashOption = false;  // "/x" is an absolute path here
#endif

// One directory entry as a search delivers it.
struct TFindData {
  std::uint32_t attributes;
  std::uint64_t lastWrite;  // 100 ns units since 1601-01-01 UTC
  std::uint32_t sizeHigh;
  std::uint32_t sizeLow;
  char name[260];
};

// Returns nonzero when it handled the event; otherwise the event is passed on.
using TCtrlHandler = std::uint32_t (*)(std::uint32_t ct);

class TSys {
 public:
  virtual ~TSys() = default;

  // Process.
  virtual void Write(TStream s, const char* p, std::size_t n) = 0;
  [[noreturn]] virtual void Exit(std::uint8_t code) = 0;
  // Whole command line when the system hands over one text, else nullptr.
  virtual const char* CommandLine() = 0;
  // Arguments already split by the system (argument 0 is the program).
  virtual int ArgCount() = 0;
  virtual const char* Arg(int i) = 0;
  // Full path of the program file; false when it cannot be had or fit.
  virtual bool ProgramPath(char* buf, std::uint32_t cap) = 0;
  virtual void* Alloc(std::size_t n) = 0;
  virtual void Free(void* p) = 0;

  // Files.
  virtual std::uint32_t LastError() = 0;
  virtual std::uint32_t FileAttributes(const char* name) = 0;
  virtual THandle OpenRead(const char* name) = 0;
  virtual bool ReadBlock(THandle h, void* buf, std::uint32_t n, std::uint32_t& got) = 0;
  virtual bool LastWriteTime(THandle h, std::uint64_t& ft) = 0;
  virtual bool DosDateTime(std::uint64_t ft, std::uint16_t& date, std::uint16_t& time) = 0;
  virtual bool CloseFile(THandle h) = 0;
  virtual std::uint32_t CurrentDirectory(std::uint32_t len, char* buf) = 0;

  // Directory search: wildcards in the last component of the pattern.
  virtual THandle FindFirst(const char* pattern, TFindData* w) = 0;
  virtual bool FindNext(THandle h, TFindData* w) = 0;
  virtual void FindEnd(THandle h) = 0;

  // Console and clock.
  virtual bool SetCtrlHandler(TCtrlHandler h) = 0;
  virtual std::uint32_t TickCount() = 0;
};

// The backend of this platform.
TSys& Native();

// The backend in use; Native() unless a test put a fake in its place.
extern TSys* sys;

// Ends the process with the code, without flushing or cleaning up.
[[noreturn]] void Exit(std::uint8_t code);

// Records the arguments as main() received them.
void SetArgs(int argc, char** argv);

// Our own conversion of a FILETIME stamp (UTC) to MS-DOS date and time
// words; false outside 1980-01-01 .. 2107-12-31 23:59:58.
bool PackDosTime(std::uint64_t ft, std::uint16_t& date, std::uint16_t& time);

// Whether `name` matches `pat`: "*" any run of characters, "?" exactly one,
// everything else literally and case-sensitively.
bool Match(const char* pat, const char* name);

}  // namespace Plat

#endif
