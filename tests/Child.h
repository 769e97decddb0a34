// Runs code or the program in a child process and collects what it wrote
// to standard output and standard error, and how it ended.
#ifndef ZTMSCN_TESTS_CHILD_H
#define ZTMSCN_TESTS_CHILD_H

#include <functional>
#include <string>
#include <vector>

struct TRun {
  std::string out;
  std::string err;
  int code = -1;  // exit code, or -1 when ended by a signal
  int sig = 0;    // the signal that ended it
};

// Runs fn in a forked child; a child that returns from fn exits with 200.
TRun RunFn(const std::function<void()>& fn);

// Runs the program with the arguments in directory cwd.
TRun RunExe(const std::vector<std::string>& args, const std::string& cwd = ".");

// As RunExe; onOut is called with the child's pid and all of its standard
// output so far each time more arrives.
TRun RunExeWatched(const std::vector<std::string>& args, const std::string& cwd,
                   const std::function<void(int pid, const std::string& out)>& onOut);

// Replaces the digits of a final "Ticks: <digits>\r\n" line by "N"; leaves
// the text unchanged when it does not end in such a line.
std::string MaskTicks(const std::string& out);

// A fresh empty directory under the system's temporary directory.
std::string TempDir();
// Writes bytes to a file.
void WriteFile(const std::string& path, const std::string& bytes);
// Bytes from hex digits; blanks ignored ("07 06 00").
std::string Hex(const std::string& digits);

#endif
