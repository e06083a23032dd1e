#include "random_source.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace puzzle {

int drawWhole(float r, int n)
{
    if (!(r >= 0.0f && r < 1.0f))
        throw std::logic_error("random source returned " + std::to_string(r) + ", outside [0, 1)");
    const double whole = std::floor(static_cast<double>(r) * n + 1.0);
    return static_cast<int>(whole);
}

} // namespace puzzle
