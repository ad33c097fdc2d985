// The program's pseudo-random generator: seeded once per start, uniform.
#pragma once

#include <cstdint>
#include <random>

namespace velmora {

class TRandomGenerator {
public:
    void Randomize(std::uint64_t seed) { FEngine.seed(seed); }
    // Seeds from the time of day, to the millisecond.
    void RandomizeFromClock();
    // A uniformly distributed integer from 0 to range - 1.
    int Random(int range);

private:
    std::mt19937_64 FEngine{0};
};

// The one generator the program draws output names from.
TRandomGenerator& ProgramRandom();

} // namespace velmora
