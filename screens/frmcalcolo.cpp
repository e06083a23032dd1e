#include "frmcalcolo.h"

#include "forms.h"
#include "frmcalcolo_design.h"
#include "frmquadratiinizio.h"

#include <stdexcept>
#include <string>

namespace screens {
namespace design = frmcalcolo_design;

Frmcalcolo::Frmcalcolo(puzzle::RandomSource& random)
    : Form(design::kForm)
    , txt_{}
    , lblchiave_(control(design::lblchiave))
    , lblmessaggio_(control(design::lblmessaggio))
    , cmdconferma_(control(design::cmdconferma))
    , cmdfine_(control(design::cmdfine))
    , timer_(control(design::Timer))
    , calcolo_(*this, random)
{
    for (std::size_t i = 0; i < txt_.size(); ++i)
        txt_[i] = &control(design::txt[i]);
    cmdconferma_.onClick([this] { cmdconferma_Click(); });
    cmdfine_.onClick([this] { cmdfine_Click(); });
    timer_.onTimer([this] { Timer_Timer(); });
}

void Frmcalcolo::Form_Load()
{
    centre();
    calcolo_.carica();
}

void Frmcalcolo::cmdconferma_Click()
{
    calcolo_.cmdconferma_Click();
}

void Frmcalcolo::cmdfine_Click()
{
    frmquadratiinizio().Show();
    frmcalcolo().Unload();
}

void Frmcalcolo::Timer_Timer()
{
    calcolo_.Timer_Timer();
}

runtime::TextBox& Frmcalcolo::box(int cell) const
{
    if (cell < 1 || cell > puzzle::kCells)
        throw std::out_of_range("no box txt" + std::to_string(cell));
    return *txt_[static_cast<std::size_t>(cell - 1)];
}

std::string Frmcalcolo::boxText(int cell) const
{
    return box(cell).Text();
}

void Frmcalcolo::setBoxText(int cell, std::string_view text)
{
    box(cell).setText(text);
}

void Frmcalcolo::showKey(std::string_view text)
{
    lblchiave_.setCaption(text);
    contentRenewed(); // a new exercise
}

void Frmcalcolo::showMessage(std::string_view text)
{
    lblmessaggio_.setCaption(text);
}

void Frmcalcolo::enableTimer()
{
    timer_.setEnabled(true);
}

void Frmcalcolo::focusFirstBox()
{
    box(1).SetFocus();
}

} // namespace screens
