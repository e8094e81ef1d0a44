// lumora-trust-ca CA.pem: makes the test CA trusted in the current user's
// Root store of this Wine prefix, for the end-to-end tests of lumora.exe.

#include <cstdio>
#include <string>

#include "TrustTestCa.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lumora-trust-ca CA.pem\n");
    return 2;
  }
  std::string Error;
  if (!lumora::test::AddTestCaToUserRoot(argv[1], Error)) {
    std::fprintf(stderr, "lumora-trust-ca: %s\n", Error.c_str());
    return 1;
  }
  return 0;
}
