#include "random_generator.h"

#include <chrono>

namespace runtime {

RandomGenerator::RandomGenerator(std::uint64_t seed)
    : engine_(seed)
{
}

RandomGenerator::RandomGenerator(std::function<std::uint64_t()> bits)
    : bits_(std::move(bits))
{
}

float RandomGenerator::Rnd()
{
    const std::uint64_t bits = bits_ ? bits_() : engine_();
    return static_cast<float>(bits >> 40) * 0x1p-24f;
}

void RandomGenerator::Randomize()
{
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto mono = std::chrono::steady_clock::now().time_since_epoch().count();
    engine_.seed(static_cast<std::uint64_t>(wall) ^ (static_cast<std::uint64_t>(mono) << 1));
}

} // namespace runtime
