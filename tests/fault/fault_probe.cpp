// Cifrella with a fault injected into the puzzle screen's load: the deal's
// random source fails in the way named on the command line; or, named
// "teardown", a toolkit that never lets go once the program has ended.
// Built for the tests only and never installed, so no user can reach it.

#include "forms.h"
#include "frmcalcolo.h"
#include "frmquadratiinizio.h"

#include <chrono>
#include <cstring>
#include <new>
#include <stdexcept>
#include <thread>

namespace {

class FailingRandom : public puzzle::RandomSource {
public:
    explicit FailingRandom(const char* fault)
        : fault_(fault)
    {
    }
    float Rnd() override
    {
        if (std::strcmp(fault_, "subscript") == 0)
            throw std::out_of_range("subscript out of range");
        if (std::strcmp(fault_, "memory") == 0)
            throw std::bad_alloc();
        if (std::strcmp(fault_, "contract") == 0)
            return 1.0f; // outside [0, 1): the deal refuses it
        throw 42;
    }
    void Randomize() override { }

private:
    const char* fault_;
};

} // namespace

int main(int argc, char** argv)
{
    const char* fault = argc > 1 ? argv[1] : "subscript";
    FailingRandom random(fault);
    screens::frmcalcolo().makeWith([&random] { return std::make_unique<screens::Frmcalcolo>(random); });
    const int status = runtime::run(argc, argv, screens::program(), [] { screens::frmquadratiinizio().Show(); });
    while (std::strcmp(fault, "teardown") == 0)
        std::this_thread::sleep_for(std::chrono::hours(1));
    return status;
}
