#include "calcolo.h"

#include <cmath>
#include <string>

namespace puzzle {

void Calcolo::carica()
{
    random_.Randomize();
    nuovoesercizio();
}

void Calcolo::magazzino()
{
    const double n = state_.numero.number();
    for (int k = 1; k <= kSquares; ++k) {
        if (n != k)
            continue;
        const Square& square = kCatalogue[k - 1];
        for (int c = 1; c <= kCells; ++c)
            state_.tabella[c][k] = Variant::integer(square.cells[c - 1]);
        state_.chiavi[k] = Variant::integer(square.key);
    }
}

void Calcolo::nuovoesercizio()
{
    state_.numero = Variant::single(static_cast<float>(drawWhole(random_.Rnd(), kSquares)));
    magazzino();
    state_.schema = Variant::single(static_cast<float>(drawWhole(random_.Rnd(), kPatterns)));

    const int p = static_cast<int>(state_.schema.number());
    for (int box : kRevealPatterns[p - 1])
        screen_.setBoxText(box, cella(box).text());
    screen_.showKey(chiave().text());
}

void Calcolo::cmdconferma_Click()
{
    state_.errori = 0;
    for (int k = 1; k <= kCells; ++k) {
        if (screen_.boxText(k) != cella(k).text()) {
            screen_.setBoxText(k, "");
            ++state_.errori;
        }
    }
    if (state_.errori == 0) {
        screen_.showMessage(kBravo);
        for (int k = 1; k <= kCells; ++k)
            screen_.setBoxText(k, "");
        nuovoesercizio();
    } else {
        screen_.showMessage(kCorreggiti);
    }
    screen_.enableTimer();
    screen_.focusFirstBox();
}

void Calcolo::Timer_Timer()
{
    screen_.showMessage("");
}

int Calcolo::squareIndex() const
{
    // The square number is converted to a whole number (to nearest, ties to
    // even) and must lie in the declared range of the tables.
    const double whole = std::nearbyint(state_.numero.number());
    if (!(whole >= 0 && whole <= kSquares))
        throw SubscriptError("square number " + state_.numero.text() + " outside 0.." + std::to_string(kSquares));
    return static_cast<int>(whole);
}

const Variant& Calcolo::cella(int cell) const
{
    return state_.tabella.at(static_cast<std::size_t>(cell))[static_cast<std::size_t>(squareIndex())];
}

const Variant& Calcolo::chiave() const
{
    return state_.chiavi[static_cast<std::size_t>(squareIndex())];
}

} // namespace puzzle
