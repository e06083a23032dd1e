#include "calcolo.h"
#include "fake_screen.h"
#include "scripted_random.h"

#include <gtest/gtest.h>

using puzzle::Calcolo;

namespace {

using Grid = std::array<std::string, 9>;

// Square 11: 12 19 14 / 17 15 13 / 16 11 18, key 45; 15 in the centre.
const Grid kSquare11{"12", "19", "14", "17", "15", "13", "16", "11", "18"};
// Square 8: 2 16 6 / 12 8 4 / 10 0 14, key 24; 0 in cell 8.
const Grid kSquare8{"2", "16", "6", "12", "8", "4", "10", "0", "14"};

struct Exercise {
    FakeScreen screen;
    ScriptedRandom random;
    Calcolo calcolo{screen, random};

    Exercise(int square, int pattern)
    {
        random.deal(square, pattern);
        calcolo.carica();
    }
};

} // namespace

struct CellCase {
    int square;
    int cell;
    std::string text;
    bool right;
};

std::ostream& operator<<(std::ostream& os, const CellCase& c)
{
    return os << "square " << c.square << " cell " << c.cell << " '" << c.text.substr(0, 20) << "'";
}

std::string caseName(const ::testing::TestParamInfo<CellCase>& info)
{
    return (info.param.right ? "Right" : "Wrong") + std::to_string(info.index);
}

// Only the plain digits of the stored value are right: the box text is not
// trimmed, converted or otherwise normalised.
class ExactComparison : public ::testing::TestWithParam<CellCase> { };

TEST_P(ExactComparison, JudgesOneBoxAgainstTheValueText)
{
    const CellCase& c = GetParam();
    Exercise e(c.square, 1);
    Grid grid = c.square == 11 ? kSquare11 : kSquare8;
    grid[static_cast<std::size_t>(c.cell - 1)] = c.text;
    e.screen.type(grid);
    if (c.right)
        e.random.deal(2, 2);
    e.calcolo.cmdconferma_Click();

    EXPECT_EQ(e.calcolo.state().errori, c.right ? 0 : 1);
    EXPECT_EQ(e.screen.message, c.right ? std::string("Bravo!") : std::string("Attento... Correggiti!"));
    if (!c.right) {
        grid[static_cast<std::size_t>(c.cell - 1)] = "";
        EXPECT_EQ(e.screen.boxes, grid) << "only the wrong box is emptied";
    }
}

INSTANTIATE_TEST_SUITE_P(Fifteen, ExactComparison,
    ::testing::Values(CellCase{11, 5, "15", true}, CellCase{11, 5, "", false}, CellCase{11, 5, " 15", false},
        CellCase{11, 5, "15 ", false}, CellCase{11, 5, "015", false}, CellCase{11, 5, "+15", false},
        CellCase{11, 5, "15.0", false}, CellCase{11, 5, "15,0", false}, CellCase{11, 5, "1 5", false},
        CellCase{11, 5, "quindici", false}, CellCase{11, 5, "\xef\xbc\x91\xef\xbc\x95", false}, // full-width digits
        CellCase{11, 5, std::string("15\0", 3), false}, CellCase{11, 5, std::string(100000, '1'), false}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Zero, ExactComparison,
    ::testing::Values(CellCase{8, 8, "0", true}, CellCase{8, 8, "", false}, CellCase{8, 8, "00", false},
        CellCase{8, 8, "-0", false}));

TEST(Check, NothingTypedLeavesTheThreeRevealedBoxesAndCountsSixWrong)
{
    Exercise e(1, 1);
    e.calcolo.cmdconferma_Click();
    EXPECT_EQ(e.calcolo.state().errori, 6);
    EXPECT_EQ(e.screen.boxes, (Grid{"2", "", "4", "", "5", "", "", "", ""}));
    EXPECT_EQ(e.screen.message, std::string("Attento... Correggiti!"));
    EXPECT_EQ(e.screen.key, "15");
    EXPECT_EQ(e.screen.timerEnabled, 1);
    EXPECT_EQ(e.screen.focusedFirstBox, 1);
}

TEST(Check, ARightGridPraisesClearsAndDealsTheNextExerciseWithoutReseeding)
{
    Exercise e(11, 3);
    e.screen.type(kSquare11);
    e.random.deal(18, 4);
    e.screen.writes.clear();
    e.calcolo.cmdconferma_Click();

    EXPECT_EQ(e.calcolo.state().errori, 0);
    EXPECT_EQ(e.screen.message, std::string("Bravo!"));
    EXPECT_EQ(e.screen.boxes, (Grid{"3", "", "1", "", "", "", "7", "", ""}));
    EXPECT_EQ(e.screen.key, "12");
    EXPECT_EQ(e.screen.writes, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 3, 7}))
        << "all nine emptied in order, then the new pattern";
    EXPECT_EQ(e.random.reseeds, 1) << "only the load reseeds";
    EXPECT_EQ(e.screen.timerEnabled, 1);
    EXPECT_EQ(e.screen.focusedFirstBox, 1);
}

TEST(Check, ASuccessMayDealTheSameSquareAndPatternAgain)
{
    Exercise e(1, 1);
    e.screen.type({"2", "9", "4", "7", "5", "3", "6", "1", "8"});
    e.random.deal(1, 1);
    e.calcolo.cmdconferma_Click();
    EXPECT_EQ(e.screen.message, std::string("Bravo!"));
    EXPECT_EQ(e.screen.boxes, (Grid{"2", "", "4", "", "5", "", "", "", ""}));
}

TEST(Check, AnOverwrittenRevealedBoxIsEmptiedAndNotWrittenBack)
{
    Exercise e(1, 1);
    e.screen.type({"3", "9", "4", "7", "5", "3", "6", "1", "8"});
    e.calcolo.cmdconferma_Click();
    EXPECT_EQ(e.calcolo.state().errori, 1);
    EXPECT_EQ(e.screen.boxes[0], "");
    e.calcolo.cmdconferma_Click();
    EXPECT_EQ(e.screen.boxes[0], "") << "checking again repeats the verdict";
    EXPECT_EQ(e.screen.message, std::string("Attento... Correggiti!"));
}

// The grid is compared with the stored square, not added up: another magic
// square with the same key is wrong wherever it differs.
TEST(Check, AnotherMagicSquareWithTheSameKeyIsWrongWhereItDiffers)
{
    Exercise e(1, 1); // 2 9 4 / 7 5 3 / 6 1 8
    e.screen.type({"2", "7", "6", "9", "5", "1", "4", "3", "8"}); // its transpose
    e.calcolo.cmdconferma_Click();
    EXPECT_EQ(e.calcolo.state().errori, 6);
    EXPECT_EQ(e.screen.boxes, (Grid{"2", "", "", "", "5", "", "", "", "8"}));
}

TEST(Check, ASecondCheckReplacesTheMessage)
{
    Exercise e(1, 1);
    e.calcolo.cmdconferma_Click();
    e.screen.type({"2", "9", "4", "7", "5", "3", "6", "1", "8"});
    e.random.deal(3, 3);
    e.calcolo.cmdconferma_Click();
    EXPECT_EQ(e.screen.message, std::string("Bravo!"));
    EXPECT_EQ(e.screen.timerEnabled, 2);
}

TEST(Timer, ATickWipesTheMessageAndNothingElse)
{
    Exercise e(1, 1);
    e.calcolo.cmdconferma_Click();
    const Grid boxes = e.screen.boxes;
    e.calcolo.Timer_Timer();
    EXPECT_EQ(e.screen.message, "");
    e.calcolo.Timer_Timer();
    EXPECT_EQ(e.screen.message, "");
    EXPECT_EQ(e.screen.boxes, boxes);
    EXPECT_EQ(e.screen.key, "15");
    EXPECT_EQ(e.calcolo.state().numero.number(), 1);
}
