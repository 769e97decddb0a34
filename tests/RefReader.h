// A reading of ZTM bytes one byte at a time, written straight from the
// rules of the format, as a trace to hold the reader's against: "O fmt",
// then the fault line of a Read (if any), the telegram lines, "C cnt top".
// The fault line of Open comes before "O".
#ifndef ZTMSCN_TESTS_REFREADER_H
#define ZTMSCN_TESTS_REFREADER_H

#include <cstdint>
#include <cstdio>
#include <string>

namespace Ref {

inline std::string Hx(std::uint64_t v) {
  char s[24];
  std::snprintf(s, sizeof s, "%llX", static_cast<unsigned long long>(v));
  return s;
}

inline std::uint64_t Fnv(const std::uint8_t* p, std::size_t n) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::size_t k = 0; k < n; ++k)
    h = (h ^ p[k]) * 1099511628211ull;
  return h;
}

inline std::string TelLine(std::uint32_t len, std::uint32_t ref, std::uint64_t hash,
                           std::uint64_t pos, std::uint64_t top, std::uint32_t cnt) {
  return "T " + std::to_string(len) + " " + std::to_string(ref) + " " + Hx(hash) + " " + Hx(pos) +
         " " + Hx(top) + " " + std::to_string(cnt) + "\n";
}

inline std::string Fault(const std::string& what, std::uint64_t pos, std::uint64_t top) {
  return "Rdr.Err: " + what + ", pos " + Hx(pos) + " top " + Hx(top) + "\r\n";
}

// The reading, one byte at a time, straight from the rules of the format.
inline std::string Expected(const std::string& b) {
  std::size_t at = 0;
  auto get = [&](std::uint8_t* x, std::size_t n) {
    std::size_t k = 0;
    while (k < n && at < b.size())
      x[k++] = static_cast<std::uint8_t>(b[at++]);
    return k;
  };
  std::string s;
  std::uint8_t fmt = 0;
  std::uint64_t top = 0;
  if (get(&fmt, 1) != 1) {
    s += Fault("Open: cannot read format", 0, 0);
    fmt = 0;
  } else {
    top = 1;
    if (fmt != 3 && fmt != 7 && fmt != 8) s += Fault("Open: unsupported file format", 0, 1);
  }
  s += "O " + std::to_string(fmt) + "\n";
  std::string tels;  // the reader's trace writes these after any fault line
  std::uint32_t cnt = 0;
  std::uint32_t ref = 0;
  std::uint8_t tel[2048];
  for (;;) {
    const std::uint64_t pos = top;
    std::uint8_t f[4];
    const std::size_t n = get(f, 2);
    if (n == 0) break;
    if (n == 1) {
      s += Fault("Read: cannot read tel len", pos, top);
      break;
    }
    std::uint32_t len = f[0] | f[1] << 8;
    top += 2;
    if (fmt == 7) {
      if (len < 4) {
        s += Fault("Read: tel len too small", pos, top);
        break;
      }
      len -= 4;
      if (get(f, 4) < 4) {
        s += Fault("Read: cannot read ref", pos, top);
        break;
      }
      ref = f[0] | f[1] << 8 | f[2] << 16 | static_cast<std::uint32_t>(f[3]) << 24;
      top += 4;
    }
    if (len == 0) {
      s += Fault("Read: tel len is zero", pos, top);
      break;
    }
    if (len > 2048) {
      s += Fault("Read: tel len too large", pos, top);
      break;
    }
    if (get(tel, len) != len) {
      s += Fault("Read: cannot read tel", pos, top);
      break;
    }
    top += len;
    ++cnt;
    tels += TelLine(len, ref, Fnv(tel, len), pos, top, cnt);
  }
  return s + tels + "C " + std::to_string(cnt) + " " + Hx(top) + "\n";
}

}  // namespace Ref

#endif
