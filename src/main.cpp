// Process entry: hands the arguments to the platform layer and runs the
// program, which ends through its termination chain.
#include "Plat.h"
#include "ZtmScn.h"

int main(int argc, char** argv) {
  Plat::SetArgs(argc, argv);
  ZtmScn::Main();
}
