#pragma once
// The program's pseudo-random generator: one linear congruential sequence for the whole run.
#include <cstdint>

namespace vandrel {

void Randomize(uint32_t seed);
// A number from 0 to range - 1; 0 when the range is empty.
int32_t Random(int32_t range);

}  // namespace vandrel
