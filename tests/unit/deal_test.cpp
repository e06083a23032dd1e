#include "calcolo.h"
#include "fake_screen.h"
#include "reference_tables.h"
#include "scripted_random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using puzzle::Calcolo;
using puzzle::Variant;

namespace {

const float kLargestBelowOne = std::nextafter(1.0f, 0.0f);

struct Table {
    FakeScreen screen;
    ScriptedRandom random;
    Calcolo calcolo{screen, random};

    // Deals the square (the first pattern): the tables keep each square dealt.
    void deal(int numero)
    {
        random.deal(numero, 1);
        calcolo.nuovoesercizio();
    }
};

// An exercise whose square number is one the deal never gives.
struct Outside {
    FakeScreen screen;
    ScriptedRandom random;
    Calcolo calcolo;

    explicit Outside(float numero)
        : calcolo(screen, random, puzzle::PuzzleState{.schema = {}, .numero = Variant::single(numero)})
    {
    }
};

} // namespace

// --- the draw Int(r × n + 1) -------------------------------------------------

TEST(Draw, BoundariesOfTheSquareAndPatternDraws)
{
    EXPECT_EQ(puzzle::drawWhole(0.0f, 27), 1);
    EXPECT_EQ(puzzle::drawWhole(0.5f, 27), 14);
    EXPECT_EQ(puzzle::drawWhole(0.999999f, 27), 27);
    EXPECT_EQ(puzzle::drawWhole(0.0f, 9), 1);
    EXPECT_EQ(puzzle::drawWhole(0.999999f, 9), 9);
}

// In single precision r × 27 + 1 rounds up to 28 for r just below 1; the
// draw must still land on the last square.
TEST(Draw, TheLargestSinglesBelowOneStayInsideTheCatalogue)
{
    float r = kLargestBelowOne;
    for (int i = 0; i < 100000; ++i, r = std::nextafter(r, 0.0f)) {
        ASSERT_EQ(puzzle::drawWhole(r, 27), 27) << r;
        ASSERT_EQ(puzzle::drawWhole(r, 9), 9) << r;
    }
}

TEST(Draw, ANumberOutsideTheUnitIntervalIsAnErrorNotASubscript)
{
    EXPECT_THROW(puzzle::drawWhole(1.0f, 27), std::logic_error);
    EXPECT_THROW(puzzle::drawWhole(-0.001f, 27), std::logic_error);
    EXPECT_THROW(puzzle::drawWhole(std::numeric_limits<float>::quiet_NaN(), 9), std::logic_error);
    EXPECT_THROW(puzzle::drawWhole(std::numeric_limits<float>::infinity(), 9), std::logic_error);
}

// --- magazzino -----------------------------------------------------------------

TEST(Magazzino, LoadsTheFirstAndLastSquaresWithTheirKeys)
{
    Table t;
    t.deal(1);
    t.deal(27);
    const auto& s = t.calcolo.state();
    const int first[] = {2, 9, 4, 7, 5, 3, 6, 1, 8};
    const int last[] = {18, 23, 16, 17, 19, 21, 22, 15, 20};
    for (int c = 1; c <= 9; ++c) {
        EXPECT_EQ(s.tabella[c][1], Variant::integer(static_cast<std::int16_t>(first[c - 1])));
        EXPECT_EQ(s.tabella[c][27], Variant::integer(static_cast<std::int16_t>(last[c - 1])));
    }
    EXPECT_EQ(s.chiavi[1], Variant::integer(15));
    EXPECT_EQ(s.chiavi[27], Variant::integer(57));
}

TEST(Magazzino, TheZeroOfSquare8IsAValueNotAnEmptyElement)
{
    Table t;
    t.deal(8);
    EXPECT_TRUE(t.calcolo.state().tabella[8][8].isInteger());
    EXPECT_EQ(t.calcolo.state().tabella[8][8].text(), "0");
}

TEST(Magazzino, ANumberOutsideTheCatalogueStoresNothing)
{
    for (float n : {0.0f, 28.0f, 3.5f, -1.0f}) {
        Outside t(n);
        t.calcolo.magazzino();
        const auto& s = t.calcolo.state();
        for (int k = 0; k <= 27; ++k) {
            EXPECT_TRUE(s.chiavi[k].isEmpty()) << n;
            for (int c = 0; c <= 9; ++c)
                EXPECT_TRUE(s.tabella[c][k].isEmpty()) << n;
        }
    }
    Table empty;
    empty.calcolo.magazzino(); // numero never set: compares as 0
    EXPECT_TRUE(empty.calcolo.state().chiavi[0].isEmpty());
}

TEST(Magazzino, LoadingAnotherSquareKeepsTheColumnsAlreadyLoaded)
{
    Table t;
    t.deal(12);
    const auto before = t.calcolo.state();
    t.deal(5);
    t.deal(5);
    const auto& after = t.calcolo.state();
    for (int c = 1; c <= 9; ++c)
        EXPECT_EQ(after.tabella[c][12], before.tabella[c][12]);
    EXPECT_EQ(after.chiavi[12], Variant::integer(18));
    EXPECT_EQ(after.chiavi[5], Variant::integer(36));
    EXPECT_TRUE(after.chiavi[6].isEmpty());
}

TEST(Magazzino, ASquareNumberOutsideTheTablesIsASubscriptErrorOnRead)
{
    EXPECT_THROW(Outside(28).calcolo.cella(1), puzzle::SubscriptError);
    EXPECT_THROW(Outside(-1).calcolo.chiave(), puzzle::SubscriptError);
    EXPECT_TRUE(Outside(13).calcolo.cella(1).isEmpty()) << "a square never loaded reads as empty";
}

// --- nuovoesercizio --------------------------------------------------------------

struct DealCase {
    int numero, schema;
    std::vector<std::pair<int, std::string>> boxes; // in the order written
    std::string key;
};

class Deal : public ::testing::TestWithParam<DealCase> { };

TEST_P(Deal, WritesThePatternsThreeBoxesInOrderAndTheKey)
{
    const DealCase& c = GetParam();
    Table t;
    t.random.deal(c.numero, c.schema);
    t.calcolo.nuovoesercizio();

    EXPECT_EQ(t.calcolo.state().numero, Variant::single(static_cast<float>(c.numero)));
    EXPECT_EQ(t.calcolo.state().schema, Variant::single(static_cast<float>(c.schema)));
    std::vector<int> order;
    for (const auto& [box, text] : c.boxes) {
        order.push_back(box);
        EXPECT_EQ(t.screen.boxes[static_cast<std::size_t>(box - 1)], text) << "txt" << box;
    }
    EXPECT_EQ(t.screen.writes, order);
    EXPECT_EQ(t.screen.filledBoxes(), 3);
    EXPECT_EQ(t.screen.key, c.key);
    EXPECT_EQ(t.screen.message, "");
    EXPECT_EQ(t.screen.timerEnabled, 0);
    EXPECT_EQ(t.screen.focusedFirstBox, 0);
}

INSTANTIATE_TEST_SUITE_P(Exercises, Deal,
    ::testing::Values(DealCase{1, 1, {{1, "2"}, {3, "4"}, {5, "5"}}, "15"},
        DealCase{18, 4, {{1, "3"}, {3, "1"}, {7, "7"}}, "12"}, DealCase{8, 5, {{7, "10"}, {8, "0"}, {5, "8"}}, "24"},
        DealCase{22, 7, {{4, "18"}, {9, "21"}, {5, "20"}}, "60"},
        DealCase{27, 9, {{8, "15"}, {3, "16"}, {5, "19"}}, "57"}));

// Every square with every pattern: the three boxes of the pattern, in its
// order, show that square's values, and the key is the square's.
class EveryDeal : public ::testing::TestWithParam<int> { };

TEST_P(EveryDeal, ShowsTheSquaresValuesInThePatternsBoxesAndItsKey)
{
    const int square = GetParam();
    const auto& expected = reference::kSquares[static_cast<std::size_t>(square - 1)];
    for (int pattern = 1; pattern <= 9; ++pattern) {
        Table t;
        t.random.deal(square, pattern);
        t.calcolo.nuovoesercizio();
        std::vector<int> order;
        std::array<std::string, 9> boxes{};
        for (int box : reference::kPatterns[static_cast<std::size_t>(pattern - 1)]) {
            order.push_back(box);
            boxes[static_cast<std::size_t>(box - 1)] = std::to_string(expected.cells[static_cast<std::size_t>(box - 1)]);
        }
        EXPECT_EQ(t.screen.writes, order) << "pattern " << pattern;
        EXPECT_EQ(t.screen.boxes, boxes) << "pattern " << pattern;
        EXPECT_EQ(t.screen.key, std::to_string(expected.key)) << "pattern " << pattern;
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryDeal, ::testing::Range(1, 28));

TEST(Deal, OnBoxesThatAreNotEmptyChangesOnlyThePatternsThree)
{
    Table t;
    t.screen.type({"a", "b", "c", "d", "e", "f", "g", "h", "i"});
    t.random.deal(1, 2); // txt9, txt3, txt5
    t.calcolo.nuovoesercizio();
    EXPECT_EQ(t.screen.boxes, (std::array<std::string, 9>{"a", "b", "4", "d", "5", "f", "g", "h", "8"}));
}

TEST(Deal, TwoDealsDrawSquarePatternSquarePatternWithoutReseeding)
{
    Table t;
    t.random.deal(4, 1);
    t.random.deal(9, 8);
    t.calcolo.carica();
    t.calcolo.nuovoesercizio();
    EXPECT_EQ(t.random.reseeds, 1);
    EXPECT_EQ(t.random.draws, 4);
    EXPECT_EQ(t.calcolo.state().numero.number(), 9);
    EXPECT_EQ(t.calcolo.state().schema.number(), 8);
    EXPECT_EQ(t.screen.key, "33");
}

TEST(Deal, LoadReseedsBeforeItDraws)
{
    struct Recorder : ScriptedRandom {
        std::string log;
        float Rnd() override
        {
            log += 'r';
            return ScriptedRandom::Rnd();
        }
        void Randomize() override { log += 'R'; }
    } random;
    random.deal(1, 1);
    FakeScreen screen;
    Calcolo calcolo(screen, random);
    calcolo.carica();
    EXPECT_EQ(random.log, "Rrr");
}
