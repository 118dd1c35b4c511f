// Fuzz target: a version-1 pair. The input's first two bytes give the .dir's length
// (little-endian), its bytes follow, and the rest is the .img.
#include <algorithm>

#include "tests/fuzz/fuzz_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t dirLength = std::min<size_t>(data[0] | size_t{data[1]} << 8, size - 2);
  const std::span<const uint8_t> dir(data + 2, dirLength);
  vandrel::fuzz::RunSession(std::span(data + 2 + dirLength, size - 2 - dirLength), dir);
  return 0;
}
