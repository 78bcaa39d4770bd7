#include "core/manoeuvre_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/session.h"

using namespace pulmora;

namespace {

// A fresh program state, as at start-up with the norm reference.
std::unique_ptr<Session> startedSession() {
    auto s = std::make_unique<Session>();
    for (auto& record : s->history->records)
        for (float& o : record.options) o = 100.0f;
    StartSession(*s);
    return s;
}

// Counts what the display would be shown.
struct CountingObserver : RunObserver {
    int clocks = 0, liveSteps = 0, lastSample = 0;
    double lastClock = -1;
    void ShowRunClock(double seconds) override {
        ++clocks;
        lastClock = seconds;
    }
    void ShowLiveStep(const ModelState&, const SimulationRecord& run, int sample) override {
        ++liveSteps;
        lastSample = sample;
        EXPECT_FLOAT_EQ(run.vtTime[sample - 1], sample / 10.0f);
    }
};

// Figures of the standard examination from an independent implementation of the model.
TEST(StandardExamination, AgreesWithTheIndependentFigures) {
    auto s = startedSession();
    CountingObserver observer;
    const RunSummary r = PerformRun(*s, &observer);
    const SimulationRecord& run = s->history->slot(1);
    ASSERT_EQ(r.status, 1);
    EXPECT_EQ(run.runStatus, 1.0f);
    const struct {
        const char* name;
        float value, expected;
    } indices[] = {
        {"FEV1", run.fev1, 2.840f},  {"FVCEX", run.fvc, 3.422f}, {"FEV1%FVC", run.fev1PercentFvc, 83.0f},
        {"PEF", run.pef, 8.581f},    {"MEF75", run.mef75, 7.190f}, {"MEF50", run.mef50, 3.507f},
        {"MEF25", run.mef25, 1.332f}, {"ERV", run.erv, 1.108f},  {"FET", run.fet, 2.669f},
        {"FRC", run.frc, 2.984f},    {"TLC", run.tlc, 5.299f},
    };
    for (const auto& i : indices) EXPECT_NEAR(i.value, i.expected, 0.01 * i.expected) << i.name;
    EXPECT_EQ(r.flowVolumeSamples, 630);
    EXPECT_EQ(r.volumeTimeSamples, 212);
    EXPECT_NEAR(r.endTime, 38.217, 0.01);
    EXPECT_NE(run.volumeCurve[629], 0.0f);
    EXPECT_EQ(run.volumeCurve[630], 0.0f);
    EXPECT_EQ(run.displayVariableCode, 1.0f);
    EXPECT_EQ(observer.liveSteps, 212);
    EXPECT_EQ(observer.lastSample, 212);
    EXPECT_GT(observer.clocks, 10);
    // The history moved: the new run is selected, the empty previous slot 1 went to slot 2.
    EXPECT_EQ(s->history->runCount, 1);
    EXPECT_EQ(s->history->selectedRun, 1);
    EXPECT_FALSE(holdsRun(s->history->slot(2)));

    // A second examination from the state the first left gives the same patient.
    const RunSummary second = PerformRun(*s);
    ASSERT_EQ(second.status, 1);
    EXPECT_NEAR(s->history->slot(1).fev1, run.fev1, 0.005);
    EXPECT_EQ(s->history->runCount, 2);
    EXPECT_TRUE(holdsRun(s->history->slot(2)));
}

// The exact stored values of the standard examination. Any change to the model's arithmetic
// shows here first; a deliberate change updates these figures.
TEST(StandardExamination, StoresExactlyTheseValues) {
    auto s = startedSession();
    ASSERT_EQ(PerformRun(*s).status, 1);
    const SimulationRecord& r = s->history->slot(1);
    EXPECT_EQ(r.fev1, 2.84026742f);
    EXPECT_EQ(r.fvc, 3.42206001f);
    EXPECT_EQ(r.fev1PercentFvc, 82.998764f);
    EXPECT_EQ(r.pef, 8.58076286f);
    EXPECT_EQ(r.mef75, 7.19045353f);
    EXPECT_EQ(r.mef50, 3.50734091f);
    EXPECT_EQ(r.mef25, 1.33165967f);
    EXPECT_EQ(r.erv, 1.10770607f);
    EXPECT_EQ(r.fet, 2.66898894f);
    EXPECT_EQ(r.frc, 2.98445415f);
    EXPECT_EQ(r.tlc, 5.2988081f);
}

TEST(Examination, DeepExpirationCompletes) {
    // The folded arctangent of the bronchus term made this one fail.
    auto s = startedSession();
    s->parameters.option(1) = 400;
    EXPECT_EQ(PerformRun(*s).status, 1);
}

TEST(Examination, PatientWhoCannotReachTheTidalVolumeIsDead) {
    auto s = startedSession();
    s->parameters.cell(kBothLungs, 4) = 800;
    s->parameters.cell(kBothLungs, 2) = 1600;
    const RunSummary r = PerformRun(*s);
    const SimulationRecord& run = s->history->slot(1);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(run.runStatus, 0.0f);
    for (float v : run.volumeCurve) ASSERT_EQ(v, 0.0f);
    EXPECT_FALSE(r.modelFailed);
    EXPECT_EQ(s->history->runCount, 1) << "a failed run still enters the history";
}

struct HostileCase {
    const char* name;
    float value;
    bool inReference; // else in the run's own record
};

class HostileRecord : public testing::TestWithParam<HostileCase> {};

constexpr float kHundred = 100.0f;

// Values a damaged file could hold end the run as failed, quickly, and leave the model usable.
TEST_P(HostileRecord, FailsTheRunAndLeavesTheModelUsable) {
    const HostileCase& c = GetParam();
    auto s = startedSession();
    SimulationRecord& ref = s->history->slot(0);
    if (c.inReference) {
        for (auto& row : ref.parameterMatrix)
            for (int col = 0; col < kColumnCount; ++col) row[col] = c.value;
        for (float& o : ref.options) o = c.value;
    } else {
        for (auto& row : s->parameters.matrix) row.fill(c.value);
        s->parameters.options.fill(c.value);
    }
    const RunSummary r = PerformRun(*s);
    EXPECT_EQ(r.status, -1);
    EXPECT_LE(r.endTime, 110.01);
    for (float v : s->history->slot(1).volumeCurve) ASSERT_EQ(v, 0.0f);
    if (r.modelFailed) {
        EXPECT_FALSE(s->model.failed) << "the model was initialised again";
    }
    const float kept = ref.parameterMatrix[2][0];
    EXPECT_EQ(std::memcmp(&kept, c.inReference ? &c.value : &kHundred, 4), 0)
        << "the stored parameters of the reference survive the re-initialisation";

    // Back to a healthy patient: the next examination completes.
    if (c.inReference) {
        for (auto& row : ref.parameterMatrix)
            for (int col = 0; col < kColumnCount; ++col) row[col] = 100.0f;
        for (float& o : ref.options) o = 100.0f;
    } else {
        s->parameters.resetToDefaults();
    }
    EXPECT_EQ(PerformRun(*s).status, 1);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Values, HostileRecord,
    testing::Values(HostileCase{"reference_zero", 0.0f, true},
                    HostileCase{"reference_negative", -100.0f, true},
                    HostileCase{"reference_nan", kNaN, true},
                    HostileCase{"reference_infinite", kInf, true},
                    HostileCase{"run_zero", 0.0f, false}, HostileCase{"run_nan", kNaN, false},
                    HostileCase{"run_infinite", -kInf, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct SampleCase {
    const char* name;
    double t;
    int msRec;
    bool due;
};

class LoopSampling : public testing::TestWithParam<SampleCase> {};

// With the pressure rise from 20.0 to 20.1 s.
TEST_P(LoopSampling, FollowsTheWindowsOfTheForcedManoeuvre) {
    const SampleCase& c = GetParam();
    EXPECT_EQ(loopSampleDue(c.t, c.msRec, 20.0, 20.1), c.due);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, LoopSampling,
    testing::Values(SampleCase{"inspiration_every_60ms", 19.5, 1200, true},
                    SampleCase{"inspiration_not_at_30ms", 19.5, 1230, false},
                    SampleCase{"rise_every_2ms", 20.05, 1302, true},
                    SampleCase{"rise_not_odd", 20.05, 1303, false},
                    SampleCase{"forced_first_second_every_2ms", 21.0, 1404, true},
                    SampleCase{"after_the_first_second_every_30ms", 21.2, 1530, true},
                    SampleCase{"after_the_first_second_not_at_2ms", 21.2, 1532, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoopSampling, FromTheFourthSampleOnEachIsAveragedWithTheStoredOne) {
    float curve[6] = {};
    const double raw[] = {-1.0, -3.0, -5.0, -7.0, -2.0, -2.0};
    for (int n = 1; n <= 6; ++n) storeLoopFlow(curve, n, raw[n - 1]);
    const float expected[] = {-1.0f, -3.0f, -5.0f, -6.0f, -4.0f, -3.0f};
    for (int n = 0; n < 6; ++n) EXPECT_EQ(curve[n], expected[n]) << n + 1;
}

struct VariableCase {
    const char* name;
    int variable, lungPart;
    double expected;
};

class DisplayVariable : public testing::TestWithParam<VariableCase> {};

// A patient breathing out, lobe 2 flow-limited.
ModelState breathingOut() {
    ModelState m;
    m.Q0 = -2.0;
    m.QL = -0.9;
    m.QR = -1.1;
    m.F = {-0.4, -0.5, -0.3, -0.4, -0.4};
    m.Lim = {0, 1, 0, 0, 0};
    m.Rint = {1.0, 2.0, 1.0, 2.0, 4.0};
    m.Rp = {0.5, 0.5, 1.0, 1.0, 1.0};
    m.Ppl = 1.5;
    m.PplLobe = {1.4, 1.55, 1.4, 1.5, 1.6};
    return m;
}

TEST_P(DisplayVariable, RecordsTheChosenQuantity) {
    const VariableCase& c = GetParam();
    EXPECT_NEAR(displayValue(breathingOut(), c.variable, c.lungPart), c.expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DisplayVariable,
    testing::Values(VariableCase{"total_both", 1, kBothLungs, -2.0},
                    VariableCase{"total_left", 1, kLeftLung, -0.9},
                    VariableCase{"total_lobe", 1, kRightMiddleLobe, -0.4},
                    VariableCase{"lungs_both", 2, kBothLungs, -2.0},
                    VariableCase{"lungs_right", 2, kRightLung, -1.1},
                    VariableCase{"limited_left", 3, kLeftLung, -0.9},
                    VariableCase{"not_limited_right", 3, kRightLung, 0.0},
                    VariableCase{"limited_lobe", 3, kLeftLowerLobe, -0.5},
                    VariableCase{"intermediate_left", 4, kLeftLung, -0.1 / (1.0 + 0.5)},
                    VariableCase{"intermediate_lobe", 4, kRightLowerLobe, -0.4},
                    VariableCase{"peripheral_right", 5, kRightLung, -0.1 / 3.0},
                    VariableCase{"peripheral_lobe", 5, kLeftUpperLobe, -0.05},
                    VariableCase{"pressure_both", 6, kBothLungs, -1.5},
                    VariableCase{"pressure_lobe", 6, kRightLowerLobe, -1.6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayVariable, IntermediateResistanceIsZeroWithoutFlowOrBeyondRange) {
    ModelState m = breathingOut();
    m.Q0 = 0.004;
    EXPECT_EQ(displayValue(m, 4, kLeftUpperLobe), 0.0) << "mouth flow below 0.005";
    m = breathingOut();
    m.Rint[0] = 3000;
    EXPECT_EQ(displayValue(m, 4, kLeftUpperLobe), 0.0) << "magnitude above 249";
    m = breathingOut();
    m.F[3] = 0.001;
    EXPECT_EQ(displayValue(m, 4, kBothLungs), 0.0) << "a lobe without flow";
    EXPECT_NE(displayValue(m, 4, kLeftLung), 0.0) << "the left lobes still flow";
}

} // namespace
