#pragma once

#include "design_common.h"

#include <array>

namespace screens::frmcalcolo_design {

inline constexpr Rgb kPaleCyan{192, 255, 255};
inline constexpr Rgb kWhite{255, 255, 255};

inline constexpr FontDesign kBoxFont{"MS Sans Serif", 13.5};
inline constexpr FontDesign kTitleFont{"Comic Sans MS", 14.25, 700};
inline constexpr FontDesign kKeyFont{"Comic Sans MS", 12};
inline constexpr FontDesign kMessageFont{"Comic Sans MS", 14.25, 400, true};

// The nine boxes: cell n at Left 4680 + 720 × column, Top 1800 + 720 × row.
constexpr ControlDesign box(std::string_view name, int left, int top, int tab, std::string_view spoken)
{
    return {.name = name,
        .kind = ControlKind::TextBox,
        .place = {left, top, 615, 615},
        .tabIndex = tab,
        .font = kBoxFont,
        .alignment = Alignment::Centre,
        .accessibleName = spoken};
}

inline constexpr std::array kControls{
    //  name    left  top   tab
    box("txt1", 4680, 1800, 0, "Riga 1, colonna 1"),
    box("txt2", 5400, 1800, 1, "Riga 1, colonna 2"),
    box("txt3", 6120, 1800, 2, "Riga 1, colonna 3"),
    box("txt4", 4680, 2520, 3, "Riga 2, colonna 1"),
    box("txt5", 5400, 2520, 4, "Riga 2, colonna 2"),
    box("txt6", 6120, 2520, 5, "Riga 2, colonna 3"),
    box("txt7", 4680, 3240, 6, "Riga 3, colonna 1"),
    box("txt8", 5400, 3240, 7, "Riga 3, colonna 2"),
    box("txt9", 6120, 3240, 8, "Riga 3, colonna 3"),
    ControlDesign{.name = "cmdconferma",
        .kind = ControlKind::CommandButton,
        .place = {7080, 2640, 975, 375},
        .tabIndex = 9,
        .caption = "&Conferma"},
    ControlDesign{.name = "cmdfine",
        .kind = ControlKind::CommandButton,
        .place = {7320, 4680, 735, 375},
        .tabIndex = 10,
        .caption = "&Fine",
        .cancel = true},
    ControlDesign{.name = "Picture1",
        .kind = ControlKind::PictureBox,
        .place = {360, 840, 2895, 3735},
        .tabIndex = 11,
        .background = kPaleCyan,
        .accessibleName = "Un piccolo mago che lancia un incantesimo",
        .picture = ":/pictures/wizard_spell.svg"},
    ControlDesign{.name = "lblcompleta",
        .kind = ControlKind::Label,
        .place = {3000, 240, 4695, 495},
        .tabIndex = 12,
        .caption = "Completa questo quadrato magico",
        .font = kTitleFont,
        .foreground = Rgb{0, 0, 255},
        .background = kPaleCyan,
        .summaryLine = 1},
    ControlDesign{.name = "Label1",
        .kind = ControlKind::Label,
        .place = {3480, 960, 1335, 375},
        .tabIndex = 13,
        .caption = "La chiave è:",
        .font = kKeyFont,
        .foreground = Rgb{0, 0, 0},
        .background = kPaleCyan,
        .summaryLine = 2},
    ControlDesign{.name = "lblchiave",
        .kind = ControlKind::Label,
        .place = {4800, 960, 615, 375},
        .tabIndex = 14,
        .font = kKeyFont,
        .background = kPaleCyan,
        .alignment = Alignment::Centre,
        .border = true,
        .summaryLine = 2},
    ControlDesign{.name = "lblmessaggio",
        .kind = ControlKind::Label,
        .place = {4320, 4200, 2775, 495},
        .tabIndex = 15,
        .font = kMessageFont,
        .foreground = Rgb{255, 0, 0},
        .background = kPaleCyan,
        .alignment = Alignment::Centre,
        .message = true},
    ControlDesign{.name = "Shape1",
        .kind = ControlKind::Shape,
        .place = {4560, 1680, 2295, 2295},
        .tabIndex = -1,
        .background = kWhite},
    ControlDesign{.name = "Timer", .kind = ControlKind::Timer, .interval = 3000},
};

inline constexpr FormDesign kForm{"frmcalcolo", kTitle, kClientWidth, kClientHeight, kPaleCyan, kControls};

// The controls the screen's code uses.
inline constexpr std::array txt{
    find<ControlKind::TextBox>(kControls, "txt1"),
    find<ControlKind::TextBox>(kControls, "txt2"),
    find<ControlKind::TextBox>(kControls, "txt3"),
    find<ControlKind::TextBox>(kControls, "txt4"),
    find<ControlKind::TextBox>(kControls, "txt5"),
    find<ControlKind::TextBox>(kControls, "txt6"),
    find<ControlKind::TextBox>(kControls, "txt7"),
    find<ControlKind::TextBox>(kControls, "txt8"),
    find<ControlKind::TextBox>(kControls, "txt9"),
};
inline constexpr auto cmdconferma = find<ControlKind::CommandButton>(kControls, "cmdconferma");
inline constexpr auto cmdfine = find<ControlKind::CommandButton>(kControls, "cmdfine");
inline constexpr auto lblchiave = find<ControlKind::Label>(kControls, "lblchiave");
inline constexpr auto lblmessaggio = find<ControlKind::Label>(kControls, "lblmessaggio");
inline constexpr auto Timer = find<ControlKind::Timer>(kControls, "Timer");

} // namespace screens::frmcalcolo_design
