// Fuzz target: a lone .img, which is a version-2 archive when it begins with "VER2".
#include "tests/fuzz/fuzz_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vandrel::fuzz::RunSession(std::span(data, size), std::nullopt);
  return 0;
}
