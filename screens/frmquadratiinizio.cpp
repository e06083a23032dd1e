#include "frmquadratiinizio.h"

#include "application.h"
#include "forms.h"
#include "frmcalcolo.h"
#include "frmistruzioni.h"
#include "frmquadratiinizio_design.h"

namespace screens {

Frmquadratiinizio::Frmquadratiinizio()
    : Form(frmquadratiinizio_design::kForm)
{
    connect(control<QPushButton>("cmdparti"), &QPushButton::clicked, this, &Frmquadratiinizio::cmdparti_Click);
    connect(
        control<QPushButton>("cmdistruzioni"), &QPushButton::clicked, this, &Frmquadratiinizio::cmdistruzioni_Click);
    connect(control<QPushButton>("cmdesci"), &QPushButton::clicked, this, &Frmquadratiinizio::cmdesci_Click);
}

void Frmquadratiinizio::Form_Load()
{
    centre();
}

void Frmquadratiinizio::cmdparti_Click()
{
    frmcalcolo().Show();
    frmquadratiinizio().Unload();
}

void Frmquadratiinizio::cmdistruzioni_Click()
{
    frmistruzioni().Show();
    frmquadratiinizio().Unload();
}

void Frmquadratiinizio::cmdesci_Click()
{
    runtime::End();
}

} // namespace screens
