// Feeds arbitrary bytes into the exercise: the draws of the random source,
// the nine box texts, and any sequence of deals, checks and ticks. Fails on
// a crash, a sanitizer report or a broken rule of the game.

#include "calcolo.h"
#include "fake_screen.h"
#include "reference_tables.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Bytes in, chosen values out; an exhausted input reads as zeros.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size)
    {
    }
    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::string text()
    {
        std::size_t n = byte();
        if (n == 255) // now and then a long one
            n = 4096 + byte() * 64u;
        std::string s;
        for (std::size_t i = 0; i < n && !empty(); ++i)
            s.push_back(static_cast<char>(byte()));
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Draws from the input: any single in [0, 1) the runtime can give, and the
// largest one below 1 by choice.
class FuzzRandom : public puzzle::RandomSource {
public:
    explicit FuzzRandom(Bytes& in)
        : in_(in)
    {
    }
    float Rnd() override
    {
        const std::uint32_t bits = (std::uint32_t(in_.byte()) << 16) | (std::uint32_t(in_.byte()) << 8) | in_.byte();
        return static_cast<float>(bits) * 0x1p-24f;
    }
    void Randomize() override { }

private:
    Bytes& in_;
};

void require(bool ok, const char* rule)
{
    if (!ok) {
        std::fprintf(stderr, "broken rule: %s\n", rule);
        std::abort();
    }
}

std::string catalogueText(int square, int cell)
{
    return std::to_string(reference::kSquares[std::size_t(square - 1)].cells[std::size_t(cell - 1)]);
}

// After a deal: exactly the pattern's three boxes hold the square's values
// (the others as they were), the key is the square's.
void requireDeal(const puzzle::Calcolo& c, const FakeScreen& s, const std::array<std::string, 9>& before)
{
    const int n = int(c.state().numero.number());
    const int p = int(c.state().schema.number());
    require(n >= 1 && n <= 27 && p >= 1 && p <= 9, "square in 1..27 and pattern in 1..9");
    const auto& shown = reference::kPatterns[std::size_t(p - 1)];
    for (int cell = 1; cell <= 9; ++cell) {
        const bool revealed = std::find(shown.begin(), shown.end(), cell) != shown.end();
        const std::string expected = revealed ? catalogueText(n, cell) : before[std::size_t(cell - 1)];
        require(s.boxes[std::size_t(cell - 1)] == expected, "a deal writes exactly its pattern's boxes");
    }
    require(s.key == std::to_string(reference::kSquares[std::size_t(n - 1)].key), "the key is the square's");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bytes in(data, size);
    FuzzRandom random(in);
    FakeScreen screen;
    puzzle::Calcolo calcolo(screen, random);

    calcolo.carica();
    requireDeal(calcolo, screen, {});

    for (int step = 0; step < 64 && !in.empty(); ++step) {
        switch (in.byte() % 4) {
        case 0: { // the child types into one box
            const int cell = 1 + in.byte() % 9;
            screen.boxes[std::size_t(cell - 1)] = in.text();
            break;
        }
        case 1: { // the child types the right value into one box
            const int cell = 1 + in.byte() % 9;
            screen.boxes[std::size_t(cell - 1)] = catalogueText(int(calcolo.state().numero.number()), cell);
            break;
        }
        case 2: { // Conferma
            const int n = int(calcolo.state().numero.number());
            const auto before = screen.boxes;
            int wrong = 0;
            for (int cell = 1; cell <= 9; ++cell)
                wrong += before[std::size_t(cell - 1)] != catalogueText(n, cell);
            calcolo.cmdconferma_Click();
            const int errori = calcolo.state().errori;
            require(errori >= 0 && errori <= 9 && errori == wrong, "errori counts the wrong boxes");
            if (wrong == 0) {
                require(screen.message == "Bravo!", "a right grid is praised");
                requireDeal(calcolo, screen, {});
            } else {
                require(screen.message == "Attento... Correggiti!", "a wrong grid is corrected");
                for (int cell = 1; cell <= 9; ++cell) {
                    const auto& b = before[std::size_t(cell - 1)];
                    const bool right = b == catalogueText(n, cell);
                    require(
                        screen.boxes[std::size_t(cell - 1)] == (right ? b : ""), "exactly the wrong boxes are emptied");
                }
            }
            break;
        }
        case 3: // the message timer
            calcolo.Timer_Timer();
            require(screen.message.empty(), "a tick wipes the message");
            break;
        }
    }
    return 0;
}
