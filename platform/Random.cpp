#include "platform/Random.h"

#include "platform/DateTime.h"

namespace velmora {

void TRandomGenerator::RandomizeFromClock() {
    const TDateTime now = LocalNow();
    Randomize(static_cast<std::uint64_t>(((now.Hour * 60 + now.Minute) * 60 + now.Second) * 1000 +
                                         now.Millisecond));
}

int TRandomGenerator::Random(int range) {
    if (range <= 1)
        return 0;
    // Rejection keeps every value equally likely.
    const std::uint64_t span = static_cast<std::uint64_t>(range);
    const std::uint64_t limit = FEngine.max() - (FEngine.max() % span);
    std::uint64_t value = 0;
    do {
        value = FEngine();
    } while (value >= limit);
    return static_cast<int>(value % span);
}

TRandomGenerator& ProgramRandom() {
    static TRandomGenerator generator;
    return generator;
}

} // namespace velmora
