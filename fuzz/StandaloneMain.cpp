// Runs a fuzz target over the files given on the command line, so that the
// seed corpus and every past finding are replayed by the ordinary tests.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);

int main(int argc, char** argv) {
  for (int I = 1; I < argc; ++I) {
    std::ifstream In(argv[I], std::ios::binary);
    if (!In) {
      std::fprintf(stderr, "cannot read %s\n", argv[I]);
      return 2;
    }
    const std::vector<char> Bytes((std::istreambuf_iterator<char>(In)), {});
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size());
  }
  std::printf("%d inputs replayed\n", argc - 1);
  return 0;
}
