#include "frmquadratiinizio.h"

#include "application.h"
#include "forms.h"
#include "frmcalcolo.h"
#include "frmistruzioni.h"
#include "frmquadratiinizio_design.h"

namespace screens {
namespace design = frmquadratiinizio_design;

Frmquadratiinizio::Frmquadratiinizio()
    : Form(design::kForm)
    , cmdparti_(control(design::cmdparti))
    , cmdesci_(control(design::cmdesci))
    , cmdistruzioni_(control(design::cmdistruzioni))
{
    cmdparti_.onClick([this] { cmdparti_Click(); });
    cmdistruzioni_.onClick([this] { cmdistruzioni_Click(); });
    cmdesci_.onClick([this] { cmdesci_Click(); });
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
