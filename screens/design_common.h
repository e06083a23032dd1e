#pragma once

#include "design.h"

#include <array>
#include <string_view>

namespace screens {

using runtime::Alignment;
using runtime::ControlDesign;
using runtime::ControlKind;
using runtime::FontDesign;
using runtime::FormDesign;
using runtime::Rgb;
using runtime::find;

// Every window is 8220 × 5250 twips inside its frame.
inline constexpr int kClientWidth = 8220;
inline constexpr int kClientHeight = 5250;

inline constexpr char kTitle[] = "Cifrella";
// The pixels of cifrella.ico, rendered when the program is built.
inline constexpr char kIcon[] = ":/icon/cifrella.argb";

// Freely licensed faces for desktops without the designed ones, carried by
// the program as resources.
inline constexpr std::array<std::string_view, 3> kComicNeueFiles{
    ":/fonts/ComicNeue-Regular.otf", ":/fonts/ComicNeue-Bold.otf", ":/fonts/ComicNeue-Italic.otf"};
inline constexpr std::array<std::string_view, 1> kLiberationSansFiles{":/fonts/LiberationSans-Regular.ttf"};
inline constexpr std::array<runtime::FontSubstitute, 2> kFontSubstitutes{{
    {"Comic Sans MS", "Comic Neue", kComicNeueFiles},
    {"MS Sans Serif", "Liberation Sans", kLiberationSansFiles},
}};

} // namespace screens
