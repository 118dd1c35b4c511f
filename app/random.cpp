#include "app/random.h"

namespace vandrel {
namespace {

uint32_t randSeed = 0;

}  // namespace

void Randomize(uint32_t seed) { randSeed = seed; }

int32_t Random(int32_t range) {
  randSeed = randSeed * 0x08088405u + 1;
  if (range <= 0) return 0;
  // The high bits of the product scale the state to the range without the weak low bits.
  return static_cast<int32_t>((uint64_t{randSeed} * static_cast<uint32_t>(range)) >> 32);
}

}  // namespace vandrel
