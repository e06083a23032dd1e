#pragma once

// The default instances of the three screens, each created on first use,
// and the program record.

#include "application.h"
#include "form_instance.h"

#include <string_view>

namespace screens {

class Frmquadratiinizio;
class Frmistruzioni;
class Frmcalcolo;

runtime::FormInstance<Frmquadratiinizio>& frmquadratiinizio();
runtime::FormInstance<Frmistruzioni>& frmistruzioni();
runtime::FormInstance<Frmcalcolo>& frmcalcolo();

// Fixed when the program is built.
inline constexpr std::string_view kVersion = CIFRELLA_VERSION;
inline constexpr std::string_view kDesktopId = CIFRELLA_APP_ID;

// What the runtime is told about the program.
runtime::ProgramRecord program();

} // namespace screens
