#include "forms.h"

#include "design_common.h"

#include "frmcalcolo.h"
#include "frmistruzioni.h"
#include "frmquadratiinizio.h"

namespace screens {

runtime::FormInstance<Frmquadratiinizio>& frmquadratiinizio()
{
    static runtime::FormInstance<Frmquadratiinizio> instance;
    return instance;
}

runtime::FormInstance<Frmistruzioni>& frmistruzioni()
{
    static runtime::FormInstance<Frmistruzioni> instance;
    return instance;
}

runtime::FormInstance<Frmcalcolo>& frmcalcolo()
{
    static RuntimeRandom random;
    static runtime::FormInstance<Frmcalcolo> instance([] { return std::make_unique<Frmcalcolo>(random); });
    return instance;
}

runtime::ProgramRecord program()
{
    return {kTitle, kVersion, kIcon, kDesktopId, kFontSubstitutes};
}

} // namespace screens
