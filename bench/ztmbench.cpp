// ztmbench ZTMSCN [WORKDIR] [RUNS]: measures the scan against the cost of
// reading the file at all (cat FILE > /dev/null) and prints one table.
// Figures only: nothing here passes or fails.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Gen.h"

namespace {

struct TTime {
  double sec;
  long rssKiB;
};

// Runs argv with standard output to /dev/null; wall time and peak memory.
TTime Once(const std::vector<std::string>& argv) {
  const auto t0 = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    std::vector<char*> a;
    for (const auto& s : argv)
      a.push_back(const_cast<char*>(s.c_str()));
    a.push_back(nullptr);
    execv(a[0], a.data());
    _exit(127);
  }
  int status = 0;
  struct rusage ru {};
  wait4(pid, &status, 0, &ru);
  const auto t1 = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 255)) {
    std::fprintf(stderr, "ztmbench: %s failed\n", argv[0].c_str());
    std::exit(1);
  }
  return {std::chrono::duration<double>(t1 - t0).count(), ru.ru_maxrss};
}

// Median wall time and the largest peak memory over n runs.
TTime Median(const std::vector<std::string>& argv, int n) {
  std::vector<double> t;
  long rss = 0;
  for (int k = 0; k < n; ++k) {
    const TTime r = Once(argv);
    t.push_back(r.sec);
    rss = std::max(rss, r.rssKiB);
  }
  std::sort(t.begin(), t.end());
  return {t[t.size() / 2], rss};
}

std::string Find(const char* name) {
  for (const char* dir : {"/usr/bin/", "/bin/"}) {
    const std::string p = std::string(dir) + name;
    if (access(p.c_str(), X_OK) == 0) return p;
  }
  return name;
}

std::string Cpu() {
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
  }
  return "unknown processor";
}

std::uint64_t Make(const std::string& path, const Gen::TSpec& s) {
  const std::int64_t n = Gen::Write(path, s);
  if (n < 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
  return static_cast<std::uint64_t>(n);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: ztmbench ZTMSCN [WORKDIR] [RUNS]\n");
    return 2;
  }
  char real[4096];
  const std::string exe = realpath(argv[1], real) != nullptr ? real : argv[1];
  const char* tmp = std::getenv("TMPDIR");
  const std::string dir =
      argc > 2 ? argv[2] : std::string(tmp != nullptr ? tmp : "/tmp") + "/ztmbench";
  const int runs = argc > 3 ? std::max(5, std::atoi(argv[3])) : 5;
  mkdir(dir.c_str(), 0755);
  const std::string cat = Find("cat");
  const std::string truePath = Find("true");

  std::fprintf(stderr, "ztmbench: writing test files to %s ...\n", dir.c_str());
  const std::uint64_t GiB = 1ull << 30;
  const std::string small = dir + "/small-1g.ztm";
  const std::string large = dir + "/large-1g.ztm";
  const std::string debug = dir + "/debug-64m.ztm";
  const std::string mib = dir + "/large-1m.ztm";
  const std::string one = dir + "/one.ztm";
  Make(small, {GiB, 3, 1, 64, 1});
  Make(large, {GiB, 7, 1, 2048, 2});
  const std::uint64_t dbgTels = Make(debug, {64ull << 20, 3, 1, 64, 3});
  Make(mib, {1ull << 20, 7, 1, 2048, 4});
  Make(one, {4, 3, 1, 1, 5});

  // Page-cache every file before timing.
  for (const auto& f : {small, large, debug, mib, one})
    Once({cat, f});

  std::fprintf(stderr, "ztmbench: timing, %d runs each ...\n", runs);
  const TTime catSmall = Median({cat, small}, runs);
  const TTime zSmall = Median({exe, small}, runs);
  const TTime catLarge = Median({cat, large}, runs);
  const TTime zLarge = Median({exe, large}, runs);
  const TTime zDebug = Median({exe, "-d", debug}, runs);
  const TTime rssMib = Median({exe, mib}, runs);
  const TTime rssGib = Median({exe, large}, 1);
  const int startRuns = std::max(runs, 41);
  const TTime tTrue = Median({truePath}, startRuns);
  const TTime tOne = Median({exe, one}, startRuns);

  struct utsname u {};
  uname(&u);
  std::printf("ZtmScn benchmark: %s, %u cores, %s %s; medians of %d runs\n\n", Cpu().c_str(),
              std::thread::hardware_concurrency(), u.sysname, u.release, runs);
  std::printf("| measure | ZtmScn | reference | figure | target |\n");
  std::printf("|---|---|---|---|---|\n");
  std::printf(
      "| scan 1 GiB, payloads 1-64, format 3 | %.3f s | cat %.3f s | %.2f x cat | <= 3 x |\n",
      zSmall.sec, catSmall.sec, zSmall.sec / catSmall.sec);
  std::printf(
      "| scan 1 GiB, payloads 1-2048, format 7 | %.3f s | cat %.3f s | %.2f x cat | <= 1.3 x |\n",
      zLarge.sec, catLarge.sec, zLarge.sec / catLarge.sec);
  std::printf(
      "| debug mode, 64 MiB, %llu lines to /dev/null | %.3f s | | %.2f M lines/s | >= 1 M/s |\n",
      static_cast<unsigned long long>(dbgTels), zDebug.sec, dbgTels / zDebug.sec / 1e6);
  std::printf("| peak memory, 1 MiB file | %ld KiB | | | <= 4096 KiB |\n", rssMib.rssKiB);
  std::printf("| peak memory, 1 GiB file | %ld KiB | | %+ld KiB vs 1 MiB | within 512 KiB |\n",
              rssGib.rssKiB, rssGib.rssKiB - rssMib.rssKiB);
  std::printf(
      "| start-up, one-telegram file (%d runs) | %.2f ms | true %.2f ms | %+.2f ms | <= 2 ms |\n",
      startRuns, tOne.sec * 1e3, tTrue.sec * 1e3, (tOne.sec - tTrue.sec) * 1e3);
  return 0;
}
