#pragma once

#include "design.h"

namespace screens {

using runtime::Alignment;
using runtime::ControlDesign;
using runtime::ControlKind;
using runtime::FontDesign;
using runtime::FormDesign;
using runtime::Rgb;

// Every window is 8220 × 5250 twips inside its frame.
inline constexpr int kClientWidth = 8220;
inline constexpr int kClientHeight = 5250;

inline constexpr char kTitle[] = "Cifrella";
// The same pixels as cifrella.ico, read without an image-format plugin.
inline constexpr char kIcon[] = ":/icon/cifrella.png";

} // namespace screens
