#include "application.h"
#include "design_common.h"
#include "forms.h"
#include "frmquadratiinizio.h"

int main(int argc, char** argv)
{
    return runtime::run(argc, argv, {screens::kTitle, screens::kVersion, screens::kIcon, screens::kDesktopId},
        [] { screens::frmquadratiinizio().Show(); });
}
