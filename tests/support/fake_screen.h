#pragma once

#include "puzzle_screen.h"

#include <array>
#include <string>
#include <vector>

// The puzzle screen without a window: nine box texts, the key, the message,
// and a log of every box write.
class FakeScreen : public puzzle::PuzzleScreen {
public:
    std::string boxText(int cell) const override { return boxes.at(static_cast<std::size_t>(cell - 1)); }
    void setBoxText(int cell, std::string_view text) override
    {
        boxes.at(static_cast<std::size_t>(cell - 1)) = std::string(text);
        writes.push_back(cell);
    }
    void showKey(std::string_view text) override { key = text; }
    void showMessage(std::string_view text) override { message = text; }
    void enableTimer() override { ++timerEnabled; }
    void focusFirstBox() override { ++focusedFirstBox; }

    // Types the nine values of a grid into the boxes.
    void type(const std::array<std::string, 9>& grid) { boxes = grid; }

    int filledBoxes() const
    {
        int n = 0;
        for (const auto& b : boxes)
            n += !b.empty();
        return n;
    }

    std::array<std::string, 9> boxes{};
    std::string key;
    std::string message;
    std::vector<int> writes;
    int timerEnabled = 0;
    int focusedFirstBox = 0;
};
