#pragma once

#include "design_common.h"

#include <array>

namespace screens::frmistruzioni_design {

inline constexpr Rgb kLightOrange{255, 192, 128};

inline constexpr char kIstruzioni[]
    = "Nel quadrato proposto a fianco sono contenuti i numeri disposti in modo che, sommati orizzontalmente, "
      "verticalmente o diagonalmente, danno come risultato sempre 12. Un quadrato di questo tipo si chiama QUADRATO "
      "MAGICO. Nel nostro caso il numero 12 si chiama CHIAVE del quadrato. Scopri i numeri mancanti nei prossimi "
      "quadrati e... BUON DIVERTIMENTO!!";

inline constexpr FontDesign kComicSans1125{"Comic Sans MS", 11.25};

inline constexpr std::array kControls{
    ControlDesign{.name = "lblistruzioni",
        .kind = ControlKind::Label,
        .place = {360, 1080, 3735, 3375},
        .tabIndex = 0,
        .caption = kIstruzioni,
        .font = kComicSans1125,
        .background = kLightOrange,
        .summaryLine = 1},
    ControlDesign{.name = "Picture1",
        .kind = ControlKind::PictureBox,
        .place = {2400, 240, 3735, 495},
        .tabIndex = 1,
        .background = kLightOrange,
        .accessibleName = "Istruzioni, titolo",
        .picture = ":/pictures/istruzioni.svg"},
    ControlDesign{.name = "Picture2",
        .kind = ControlKind::PictureBox,
        .place = {4440, 1080, 3495, 3375},
        .tabIndex = 2,
        .background = kLightOrange,
        .accessibleName = "Quadrato magico di esempio: 1 8 3, 6 4 2, 5 0 7; chiave 12",
        .picture = ":/pictures/example_square.svg"},
    ControlDesign{.name = "cmdok",
        .kind = ControlKind::CommandButton,
        .place = {7200, 4680, 855, 375},
        .tabIndex = 3,
        .caption = "&OK",
        .cancel = true},
};

inline constexpr FormDesign kForm{"frmistruzioni", "Istruzioni", kClientWidth, kClientHeight, kLightOrange, kControls};

inline constexpr auto cmdok = find<ControlKind::CommandButton>(kControls, "cmdok");

} // namespace screens::frmistruzioni_design
