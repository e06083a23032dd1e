#include "frmistruzioni.h"

#include "forms.h"
#include "frmistruzioni_design.h"
#include "frmquadratiinizio.h"

namespace screens {

Frmistruzioni::Frmistruzioni()
    : Form(frmistruzioni_design::kForm)
    , cmdok_(control(frmistruzioni_design::cmdok))
{
    cmdok_.onClick([this] { cmdok_Click(); });
}

void Frmistruzioni::Form_Load()
{
    centre();
}

void Frmistruzioni::cmdok_Click()
{
    frmquadratiinizio().Show();
    frmistruzioni().Unload();
}

} // namespace screens
