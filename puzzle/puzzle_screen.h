#pragma once

#include <string>
#include <string_view>

namespace puzzle {

// What the exercise needs of the puzzle screen. Boxes are cells 1..9, row by
// row from the top left. Texts are UTF-8.
class PuzzleScreen {
public:
    virtual ~PuzzleScreen() = default;
    virtual std::string boxText(int cell) const = 0;
    virtual void setBoxText(int cell, std::string_view text) = 0;
    virtual void showKey(std::string_view text) = 0;
    virtual void showMessage(std::string_view text) = 0;
    virtual void enableTimer() = 0;
    virtual void focusFirstBox() = 0;
};

} // namespace puzzle
