#pragma once

#include <cstdint>
#include <random>

namespace runtime {

// The runtime's random sequence. Rnd() takes 24 random bits and scales them
// by 2^-24, so every value is an exact single in [0, 1 - 2^-24]: 1.0 can
// never come out, whatever rounding a wider generator would do.
class RandomGenerator {
public:
    explicit RandomGenerator(std::uint64_t seed = 0)
        : engine_(seed)
    {
    }
    float Rnd();
    void Randomize(); // reseed from the clock
    void seed(std::uint64_t s) { engine_.seed(s); }

private:
    std::mt19937_64 engine_;
};

} // namespace runtime
