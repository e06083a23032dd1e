#pragma once

#include <cstdint>
#include <functional>
#include <random>

namespace runtime {

// The runtime's random sequence. Rnd() takes the top 24 of 64 random bits
// and scales them by 2^-24, so every value is an exact single in
// [0, 1 - 2^-24]: 1.0 can never come out, whatever the bits.
class RandomGenerator {
public:
    explicit RandomGenerator(std::uint64_t seed = 0);
    // Draws from the given bits instead of the generator's own, for tests.
    explicit RandomGenerator(std::function<std::uint64_t()> bits);

    float Rnd();
    void Randomize(); // reseed from the clock
    void seed(std::uint64_t s) { engine_.seed(s); }

private:
    std::mt19937_64 engine_;
    std::function<std::uint64_t()> bits_;
};

} // namespace runtime
