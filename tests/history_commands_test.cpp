#include "results/history_commands.h"

#include <gtest/gtest.h>

#include "core/simulation_record.h"

using namespace pulmora;

namespace {

// A history whose slots are told apart by their first volume sample (slot k holds k + 1 l) and
// whose main airway resistance cell of "Both lungs" is given per slot.
std::unique_ptr<RunHistory> history(int runCount, std::initializer_list<float> resistance) {
    auto h = makeRunHistory();
    int s = 0;
    for (float r : resistance) {
        SimulationRecord& rec = h->slot(s);
        rec.volumeCurve[0] = rec.volumeCurve[1] = static_cast<float>(s + 1);
        rec.flowCurve[0] = 1.0f;
        for (auto& row : rec.parameterMatrix)
            for (int c = 0; c < kColumnCount; ++c) row[c] = 100.0f;
        for (float& o : rec.options) o = 100.0f;
        rec.parameterMatrix[lungPartRow(kBothLungs)][0] = r;
        ++s;
    }
    h->runCount = runCount;
    return h;
}

float resistance(const RunHistory& h, int slot) {
    return h.slot(slot).parameterMatrix[lungPartRow(kBothLungs)][0];
}

TEST(AddRun, ShiftsTheRunsAndKeepsTheCountAtThree) {
    auto h = history(3, {100, 101, 102, 103, 104});
    SimulationRecord previous = h->slot(1);
    AddRun(*h, previous);
    EXPECT_EQ(h->runCount, 3);
    EXPECT_EQ(h->selectedRun, 1);
    EXPECT_EQ(resistance(*h, 4), 103) << "the run pushed out of slot 3 is kept in slot 4";
    EXPECT_EQ(resistance(*h, 3), 102);
    EXPECT_EQ(resistance(*h, 2), 101);
    EXPECT_EQ(resistance(*h, 0), 100) << "the reference never changes";
}

TEST(DeleteSelectedRun, SecondOfThree) {
    auto h = history(3, {100, 101, 102, 103, 104});
    h->selectedRun = 2;
    h->slot(4).parameterMatrix[lungPartRow(kLeftLung)][3] = 250;
    ASSERT_TRUE(DeleteSelectedRun(*h, kLeftLung));
    EXPECT_EQ(h->runCount, 2);
    EXPECT_EQ(h->selectedRun, 1);
    EXPECT_EQ(resistance(*h, 1), 101);
    EXPECT_EQ(resistance(*h, 2), 103) << "the former run 3";
    EXPECT_EQ(resistance(*h, 3), 104) << "a copy of the old slot 4";
    EXPECT_FALSE(holdsRun(h->slot(3))) << "with its curves zeroed";
    EXPECT_FALSE(holdsRun(h->slot(4)));
    EXPECT_EQ(h->slot(4).parameterMatrix[lungPartRow(kLeftLung)][3], 100.0f);
    EXPECT_TRUE(holdsRun(h->slot(2)));
}

TEST(DeleteSelectedRun, TheOnlyRunLeavesNothingSelected) {
    auto h = history(1, {100, 101, 102, 103, 104});
    h->selectedRun = 1;
    ASSERT_TRUE(DeleteSelectedRun(*h, kBothLungs));
    EXPECT_EQ(h->runCount, 0);
    EXPECT_EQ(h->selectedRun, -1);
    for (int s = 1; s <= 4; ++s) EXPECT_FALSE(holdsRun(h->slot(s))) << s;
    EXPECT_TRUE(holdsRun(h->slot(0)));
}

TEST(DeleteSelectedRun, WithoutSelectionChangesNothing) {
    auto h = history(2, {100, 101, 102, 103, 104});
    h->selectedRun = -1;
    EXPECT_FALSE(DeleteSelectedRun(*h, kBothLungs));
    EXPECT_EQ(h->runCount, 2);
    EXPECT_TRUE(holdsRun(h->slot(2)));
}

TEST(RebaseRunsOn, MakesTheSecondRunTheReference) {
    auto h = history(3, {100, 400, 200, 100, 800});
    h->slot(2).options[1] = 50; // run 2's expiration rapidity
    h->slot(1).options[1] = 25;
    RebaseRunsOn(*h, 2);
    EXPECT_EQ(resistance(*h, 0), 200) << "old reference x run 2 / 100";
    EXPECT_EQ(resistance(*h, 2), 100);
    EXPECT_EQ(resistance(*h, 1), 200) << "400 / 200 x 100";
    EXPECT_EQ(resistance(*h, 3), 50);
    EXPECT_EQ(resistance(*h, 4), 800) << "beyond the run count: untouched";
    EXPECT_EQ(h->slot(0).options[1], 50);
    EXPECT_EQ(h->slot(1).options[1], 50);
    EXPECT_EQ(h->slot(0).volumeCurve[0], 3.0f) << "the reference is a copy of run 2's record";
}

TEST(RebaseRunsOn, ZeroCellLeavesTheOtherRunsValuesUnchanged) {
    auto h = history(2, {100, 300, 0, 100, 100});
    RebaseRunsOn(*h, 2);
    EXPECT_EQ(resistance(*h, 1), 300);
    EXPECT_EQ(resistance(*h, 2), 0);
    EXPECT_EQ(resistance(*h, 0), 0);
}

TEST(RestoreAbsoluteRunValues, MultipliesBackCellsAndSixteenOptions) {
    auto h = history(2, {200, 150, 50, 100, 100});
    for (float& o : h->slot(0).options) o = 200;
    RestoreAbsoluteRunValues(*h);
    EXPECT_EQ(resistance(*h, 1), 300);
    EXPECT_EQ(resistance(*h, 2), 100);
    EXPECT_EQ(resistance(*h, 3), 100) << "beyond the run count";
    EXPECT_EQ(h->slot(1).options[15], 200) << "option 16 rescaled";
    EXPECT_EQ(h->slot(1).options[16], 100) << "option 17 not";
}

} // namespace
