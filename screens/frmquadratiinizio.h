#pragma once

#include "form.h"

namespace screens {

// The start screen: start the exercise, open the instructions, or quit.
class Frmquadratiinizio : public runtime::Form {
    Q_OBJECT
public:
    Frmquadratiinizio();
    void Form_Load() override;

private:
    void cmdparti_Click();
    void cmdistruzioni_Click();
    void cmdesci_Click();
};

} // namespace screens
