#include "frmcalcolo.h"

#include "forms.h"
#include "frmcalcolo_design.h"
#include "frmquadratiinizio.h"

#include <stdexcept>
#include <string>

namespace screens {
namespace {

puzzle::RandomSource* replacementRandom = nullptr;

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

void Frmcalcolo::useRandomSource(puzzle::RandomSource* source)
{
    replacementRandom = source;
}

Frmcalcolo::Frmcalcolo()
    : Form(frmcalcolo_design::kForm)
    , calcolo_(*this, replacementRandom ? *replacementRandom : runtimeRandom_)
{
    for (int cell = 1; cell <= puzzle::kCells; ++cell)
        boxes_[cell - 1] = control<QLineEdit>("txt" + std::to_string(cell));
    lblchiave_ = control<QLabel>("lblchiave");
    lblmessaggio_ = control<QLabel>("lblmessaggio");
    timer_ = new runtime::Timer(frmcalcolo_design::kTimerInterval, this);
    timer_->setObjectName(QStringLiteral("Timer"));

    connect(control<QPushButton>("cmdconferma"), &QPushButton::clicked, this, &Frmcalcolo::cmdconferma_Click);
    connect(control<QPushButton>("cmdfine"), &QPushButton::clicked, this, &Frmcalcolo::cmdfine_Click);
    connect(timer_, &runtime::Timer::tick, this, &Frmcalcolo::Timer_Timer);
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

QLineEdit* Frmcalcolo::box(int cell) const
{
    if (cell < 1 || cell > puzzle::kCells)
        throw std::out_of_range("no box txt" + std::to_string(cell));
    return boxes_[static_cast<std::size_t>(cell - 1)];
}

std::string Frmcalcolo::boxText(int cell) const
{
    return box(cell)->text().toStdString();
}

void Frmcalcolo::setBoxText(int cell, std::string_view text)
{
    box(cell)->setText(qs(text));
}

void Frmcalcolo::showKey(std::string_view text)
{
    lblchiave_->setText(qs(text));
}

void Frmcalcolo::showMessage(std::string_view text)
{
    lblmessaggio_->setText(qs(text));
}

void Frmcalcolo::enableTimer()
{
    timer_->setEnabled(true);
}

void Frmcalcolo::focusFirstBox()
{
    box(1)->setFocus(Qt::OtherFocusReason);
}

} // namespace screens
