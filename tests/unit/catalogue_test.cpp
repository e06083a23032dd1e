#include "calcolo.h"
#include "catalogue.h"
#include "fake_screen.h"
#include "reference_tables.h"
#include "scripted_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using puzzle::kCatalogue;

namespace {

int cell(const puzzle::Square& s, int row, int col)
{
    return s.cells[static_cast<std::size_t>(row * 3 + col)];
}

} // namespace

class EverySquare : public ::testing::TestWithParam<int> {
protected:
    const puzzle::Square& square() const { return kCatalogue[static_cast<std::size_t>(GetParam() - 1)]; }
};

// magazzino loads exactly the designed values and key of each square.
TEST_P(EverySquare, LoadsTheDesignedValuesAndKey)
{
    FakeScreen screen;
    ScriptedRandom random;
    random.deal(GetParam(), 1);
    puzzle::Calcolo calcolo(screen, random);
    calcolo.nuovoesercizio();
    const auto& expected = reference::kSquares[static_cast<std::size_t>(GetParam() - 1)];
    for (int c = 1; c <= 9; ++c)
        EXPECT_EQ(calcolo.cella(c), puzzle::Variant::integer(std::int16_t(expected.cells[std::size_t(c - 1)])))
            << "cell " << c;
    EXPECT_EQ(calcolo.chiave(), puzzle::Variant::integer(std::int16_t(expected.key)));
}

TEST_P(EverySquare, RowsColumnsAndDiagonalsAllAddUpToTheKey)
{
    const auto& s = square();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cell(s, i, 0) + cell(s, i, 1) + cell(s, i, 2), s.key) << "row " << i + 1;
        EXPECT_EQ(cell(s, 0, i) + cell(s, 1, i) + cell(s, 2, i), s.key) << "column " << i + 1;
    }
    EXPECT_EQ(cell(s, 0, 0) + cell(s, 1, 1) + cell(s, 2, 2), s.key);
    EXPECT_EQ(cell(s, 0, 2) + cell(s, 1, 1) + cell(s, 2, 0), s.key);
    EXPECT_EQ(s.key, 3 * cell(s, 1, 1)) << "the key is three times the centre";
    EXPECT_EQ(s.key % 3, 0);
}

TEST_P(EverySquare, HoldsNineDistinctValuesFrom0To24)
{
    const auto& s = square();
    EXPECT_EQ(std::set<int>(s.cells.begin(), s.cells.end()).size(), 9u);
    for (int v : s.cells) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 24);
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EverySquare, ::testing::Range(1, puzzle::kSquares + 1));

TEST(Catalogue, KeysRunFrom12OfSquare18To60OfSquare22)
{
    const auto [lo, hi]
        = std::minmax_element(kCatalogue.begin(), kCatalogue.end(), [](auto& a, auto& b) { return a.key < b.key; });
    EXPECT_EQ(lo - kCatalogue.begin() + 1, 18);
    EXPECT_EQ(lo->key, 12);
    EXPECT_EQ(hi - kCatalogue.begin() + 1, 22);
    EXPECT_EQ(hi->key, 60);
}

// Square 20 repeats square 3, so that square comes up twice as often.
TEST(Catalogue, Square20RepeatsSquare3AndNoOtherSquareRepeats)
{
    EXPECT_EQ(kCatalogue[2].cells, kCatalogue[19].cells);
    EXPECT_EQ(kCatalogue[2].key, 27);
    EXPECT_EQ(kCatalogue[19].key, 27);
    std::set<std::array<std::int16_t, 9>> distinct;
    for (const auto& s : kCatalogue)
        distinct.insert(s.cells);
    EXPECT_EQ(distinct.size(), 26u);
}

TEST(Catalogue, OnlySquares8And18HoldAZeroAndItIsInCell8)
{
    for (int n = 1; n <= puzzle::kSquares; ++n) {
        const auto& cells = kCatalogue[static_cast<std::size_t>(n - 1)].cells;
        const auto zero = std::find(cells.begin(), cells.end(), 0);
        if (n == 8 || n == 18)
            EXPECT_EQ(zero - cells.begin() + 1, 8) << "square " << n;
        else
            EXPECT_EQ(zero, cells.end()) << "square " << n;
    }
}

TEST(RevealPatterns, EachShowsThreeDistinctCellsAndAllButPattern4ShowTheCentre)
{
    for (int p = 1; p <= puzzle::kPatterns; ++p) {
        const auto& boxes = puzzle::kRevealPatterns[static_cast<std::size_t>(p - 1)];
        EXPECT_EQ(std::set<int>(boxes.begin(), boxes.end()).size(), 3u);
        const bool centre = std::find(boxes.begin(), boxes.end(), 5) != boxes.end();
        EXPECT_EQ(centre, p != 4) << "pattern " << p;
    }
}
