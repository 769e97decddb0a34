// ZtmScn: the program driver.
#ifndef ZTMSCN_ZTMSCN_H
#define ZTMSCN_ZTMSCN_H

namespace ZtmScn {

// The program: start-up, the file loop, and the end through the chain.
[[noreturn]] void Main();

}  // namespace ZtmScn

#endif
