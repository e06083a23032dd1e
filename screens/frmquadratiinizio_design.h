#pragma once

#include "design_common.h"

#include <array>

namespace screens::frmquadratiinizio_design {

inline constexpr Rgb kSalmon{255, 128, 128};

inline constexpr std::array kControls{
    ControlDesign{.name = "Picture1",
        .kind = ControlKind::PictureBox,
        .place = {3120, 480, 4695, 1695},
        .tabIndex = 0,
        .background = kSalmon,
        .accessibleName = "Cifrella, titolo",
        .picture = ":/pictures/title.svg"},
    ControlDesign{.name = "Picture2",
        .kind = ControlKind::PictureBox,
        .place = {360, 1320, 3015, 3375},
        .tabIndex = 1,
        .background = kSalmon,
        .accessibleName = "Un piccolo mago con la bacchetta",
        .picture = ":/pictures/wizard_wand.svg"},
    ControlDesign{.name = "cmdparti",
        .kind = ControlKind::CommandButton,
        .place = {4800, 3000, 1215, 855},
        .tabIndex = 2,
        .graphical = true,
        .accessibleName = "Inizia l'esercizio",
        .picture = ":/pictures/arrow.svg"},
    ControlDesign{.name = "cmdesci",
        .kind = ControlKind::CommandButton,
        .place = {7200, 4680, 855, 375},
        .tabIndex = 3,
        .caption = "&Esci",
        .cancel = true},
    ControlDesign{.name = "cmdistruzioni",
        .kind = ControlKind::CommandButton,
        .place = {6000, 4680, 975, 375},
        .tabIndex = 4,
        .caption = "&Istruzioni"},
    ControlDesign{.name = "Image1",
        .kind = ControlKind::Image,
        .place = {120, 4920, 1230, 165},
        .tabIndex = -1,
        .accessibleName = "Una riga scritta a mano",
        .picture = ":/pictures/handwriting.svg"},
};

inline constexpr FormDesign kForm{"frmquadratiinizio", kTitle, kClientWidth, kClientHeight, kSalmon, kControls};

inline constexpr auto cmdparti = find<ControlKind::CommandButton>(kControls, "cmdparti");
inline constexpr auto cmdesci = find<ControlKind::CommandButton>(kControls, "cmdesci");
inline constexpr auto cmdistruzioni = find<ControlKind::CommandButton>(kControls, "cmdistruzioni");

} // namespace screens::frmquadratiinizio_design
