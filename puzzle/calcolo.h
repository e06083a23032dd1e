#pragma once

#include "catalogue.h"
#include "puzzle_screen.h"
#include "random_source.h"
#include "variant.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <utility>

namespace puzzle {

inline constexpr std::string_view kBravo = "Bravo!";
inline constexpr std::string_view kCorreggiti = "Attento... Correggiti!";

// A read of the loaded square with a square number outside 0..27.
class SubscriptError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// The state of the puzzle screen. Index 0 of every table is never written.
struct PuzzleState {
    Variant schema;
    Variant numero;
    std::array<std::array<Variant, kSquares + 1>, kCells + 1> tabella{}; // [cell][square]
    std::array<Variant, kSquares + 1> chiavi{};
    std::int16_t errori = 0;
};

// The exercise of the puzzle screen: the deal, the answer check and the
// message tick, worked through the screen and random source it is given.
class Calcolo {
public:
    // From a given state: the program starts from an empty one.
    Calcolo(PuzzleScreen& screen, RandomSource& random, PuzzleState start = {})
        : screen_(screen)
        , random_(random)
        , state_(std::move(start))
    {
    }

    // What the screen does on load once its window is centred.
    void carica();

    void magazzino();
    void nuovoesercizio();
    void cmdconferma_Click();
    void Timer_Timer();

    const PuzzleState& state() const { return state_; }

    // tabella(cell, numero) and chiavi(numero): the current square.
    const Variant& cella(int cell) const;
    const Variant& chiave() const;

private:
    int squareIndex() const;

    PuzzleScreen& screen_;
    RandomSource& random_;
    PuzzleState state_;
};

} // namespace puzzle
