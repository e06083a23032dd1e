#pragma once

#include <array>
#include <cstdint>

namespace puzzle {

constexpr int kCells = 9;
constexpr int kSquares = 27;
constexpr int kPatterns = 9;

struct Square {
    std::array<std::int16_t, kCells> cells; // cell 1 first, row by row
    std::int16_t key;
};

// The 27 squares, square 1 first. Held literally: nothing is computed.
extern const std::array<Square, kSquares> kCatalogue;

// The boxes that reveal pattern p (1..9) writes, in the order it writes them.
extern const std::array<std::array<int, 3>, kPatterns> kRevealPatterns;

} // namespace puzzle
