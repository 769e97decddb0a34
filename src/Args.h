// Args: the command-line arguments as a stream of classified symbols.
#ifndef ZTMSCN_ARGS_H
#define ZTMSCN_ARGS_H

#include <cstdint>
#include <string>
#include <vector>

namespace Args {

enum TSym : std::uint8_t { symNull = 0, symArg = 1, symOpt = 2, symEOA = 3 };

constexpr std::uint32_t kStrLen = 256;
using TStr = char[kStrLen];

extern std::uint32_t cnt;  // arguments after the program name
extern std::uint32_t idx;  // current argument; 0 is the program
extern TSym sym;
extern TStr str;  // text of the current argument, an option without prefix
extern std::uint32_t len;

// Back to before the first argument; str holds the program's path.
void Reset();
// Advances to the next argument and classifies it.
void Read();

// Splits one command-line text: blanks separate, double quotes group and
// vanish, backslash-quote is a literal quote, empty arguments are dropped.
std::vector<std::string> Split(const char* line);

// Takes the arguments from the system; InitModule does this once, then
// Reset.  Tests that run many command lines in one process call it again.
void Load();

void InitModule();

}  // namespace Args

#endif
