#include "forms.h"
#include "frmquadratiinizio.h"

int main(int argc, char** argv)
{
    return runtime::run(argc, argv, screens::program(), [] { screens::frmquadratiinizio().Show(); });
}
