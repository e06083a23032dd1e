#pragma once

#include "form.h"

namespace screens {

// The start screen: start the exercise, open the instructions, or quit.
class Frmquadratiinizio : public runtime::Form {
public:
    Frmquadratiinizio();
    void Form_Load() override;

private:
    void cmdparti_Click();
    void cmdistruzioni_Click();
    void cmdesci_Click();

    runtime::CommandButton& cmdparti_;
    runtime::CommandButton& cmdesci_;
    runtime::CommandButton& cmdistruzioni_;
};

} // namespace screens
