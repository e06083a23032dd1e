#pragma once

#include "design.h"

#include <QFont>

#include <span>
#include <string_view>

namespace runtime {

// Decides, once, which face each designed face is drawn with: the designed
// face where the desktop has it, otherwise its substitute (the desktop's
// copy, or the program's own). Later fonts ask for that face directly.
void useFonts(std::span<const FontSubstitute> substitutes);

// The family a designed face is drawn with.
QString drawnFamily(std::string_view face);

// Points at 96 dots per inch, so the size follows the twips grid and not the
// display's idea of its own resolution.
QFont toFont(const FontDesign& design);

} // namespace runtime
