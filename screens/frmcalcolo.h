#pragma once

#include "calcolo.h"
#include "form.h"
#include "random_generator.h"

#include <array>

namespace screens {

// The runtime's random sequence, as the exercise sees it.
class RuntimeRandom : public puzzle::RandomSource {
public:
    float Rnd() override { return generator_.Rnd(); }
    void Randomize() override { generator_.Randomize(); }

private:
    runtime::RandomGenerator generator_;
};

// The puzzle screen: binds the exercise to the nine boxes, the key, the
// message and the timer.
class Frmcalcolo : public runtime::Form, private puzzle::PuzzleScreen {
public:
    // Deals from the given source.
    explicit Frmcalcolo(puzzle::RandomSource& random);
    void Form_Load() override;

    const puzzle::Calcolo& calcolo() const { return calcolo_; }

private:
    void cmdconferma_Click();
    void cmdfine_Click();
    void Timer_Timer();

    std::string boxText(int cell) const override;
    void setBoxText(int cell, std::string_view text) override;
    void showKey(std::string_view text) override;
    void showMessage(std::string_view text) override;
    void enableTimer() override;
    void focusFirstBox() override;

    runtime::TextBox& box(int cell) const;

    std::array<runtime::TextBox*, puzzle::kCells> txt_;
    runtime::Label& lblchiave_;
    runtime::Label& lblmessaggio_;
    runtime::CommandButton& cmdconferma_;
    runtime::CommandButton& cmdfine_;
    runtime::Timer& timer_;
    puzzle::Calcolo calcolo_;
};

} // namespace screens
