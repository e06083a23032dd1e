#pragma once

#include "form.h"

namespace screens {

// The instructions: a fixed text beside the example square with key 12.
class Frmistruzioni : public runtime::Form {
public:
    Frmistruzioni();
    void Form_Load() override;

private:
    void cmdok_Click();

    runtime::CommandButton& cmdok_;
};

} // namespace screens
