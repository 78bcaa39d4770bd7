#include "core/respiratory_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "core/simulation_record.h"

using namespace pulmora;

namespace {

std::unique_ptr<SimulationRecord> normRecord() {
    auto r = std::make_unique<SimulationRecord>();
    std::memset(r.get(), 0, sizeof(SimulationRecord));
    for (auto& row : r->parameterMatrix)
        for (int c = 0; c < kColumnCount; ++c) row[c] = 100.0f;
    for (float& o : r->options) o = 100.0f;
    return r;
}

TEST(ModelTargets, AtTheNormEqualTheInitialValuesButTheCollapsibleVolumes) {
    ModelState m;
    InitialiseModel(m);
    const auto ref = normRecord(), run = normRecord();
    const MusclePressures mp = SetParameterTargets(m, *ref, *run);
    EXPECT_DOUBLE_EQ(mp.Pexp, 3.54);
    EXPECT_DOUBLE_EQ(mp.Pinsp, -2.5);
    EXPECT_DOUBLE_EQ(mp.rate, 68.04);
    EXPECT_DOUBLE_EQ(mp.endFlow, 0.025);
    EXPECT_DOUBLE_EQ(m.VnomL.target, 0.016);
    EXPECT_DOUBLE_EQ(m.VnomR.target, 0.016);
    EXPECT_DOUBLE_EQ(m.VnomL.current, 0.032) << "initialisation leaves the nominal volume";
    for (int i = 0; i < kLobeCount; ++i) {
        EXPECT_DOUBLE_EQ(m.Vmax.target[i], m.Vmax.current[i]);
        EXPECT_DOUBLE_EQ(m.K.target[i], 500.0);
        EXPECT_DOUBLE_EQ(m.Rm.target[i], 0.0567 / kLobeShare[i]);
    }
    EXPECT_DOUBLE_EQ(m.Rt2.target, m.Rt2.current);
    EXPECT_DOUBLE_EQ(m.VminCw.target, 1.5 * m.Z);
    EXPECT_NEAR(m.Z, 1.0, 1e-15);
}

struct TargetCase {
    const char* name;
    int row;       // LungPart + 2
    int column;
    float run;     // the run's percentage
    float reference;
    double ModelState::*scalarTarget; // or null: check a lobe target
    double expected;
};

TEST(ModelTargets, MultiplyRunAndReferenceDownTheLungHierarchy) {
    ModelState m;
    auto ref = normRecord(), run = normRecord();
    run->parameterMatrix[lungPartRow(kBothLungs)][0] = 200;  // trachea x2
    ref->parameterMatrix[lungPartRow(kLeftLung)][0] = 200;   // left main bronchus R x4
    run->parameterMatrix[lungPartRow(kRightLung)][4] = 50;   // right peripheral R
    run->parameterMatrix[lungPartRow(kRightMiddleLobe)][4] = 50;
    run->parameterMatrix[lungPartRow(kLeftUpperLobe)][6] = 150; // left upper lobe size
    run->options[0] = 200;                                     // expiration deepness
    ref->options[3] = 50;                                      // end expiration airflow
    const MusclePressures mp = SetParameterTargets(m, *ref, *run);
    EXPECT_DOUBLE_EQ(m.Rt2.target, 0.0454575 * 2);
    EXPECT_DOUBLE_EQ(m.RL.target, 0.00057 * 4);
    EXPECT_DOUBLE_EQ(m.RR.target, 0.00057);
    EXPECT_DOUBLE_EQ(m.K.target[kRightMiddleLobe - 1], 500 / (0.25 * 0.25));
    EXPECT_DOUBLE_EQ(m.K.target[kRightUpperLobe - 1], 500 / (0.5 * 0.5));
    EXPECT_DOUBLE_EQ(m.K.target[kLeftUpperLobe - 1], 500.0);
    EXPECT_DOUBLE_EQ(m.Vmax.target[0], 6.2 * 0.2 * 1.5);
    EXPECT_DOUBLE_EQ(m.Z, 1.0 + 0.2 * 0.5);
    EXPECT_DOUBLE_EQ(mp.Pexp, 3.54 * 2);
    EXPECT_DOUBLE_EQ(mp.endFlow, 0.025 * 0.5);
}

// After the first run's setup the nominal collapsible volume ramps from 0.032 to 0.016 within
// the first millisecond and stays there: the ramp is not repeated in later steps.
TEST(ModelStep, RampsTheNominalVolumeOnceWithinTheFirstMillisecond) {
    ModelState m;
    InitialiseModel(m);
    const auto ref = normRecord(), run = normRecord();
    SetParameterTargets(m, *ref, *run);
    BeginTransition(m);
    m.integrationClass = 7;
    ModelStep(m);
    ASSERT_FALSE(m.failed);
    EXPECT_DOUBLE_EQ(m.VnomL.current, 0.016);
    EXPECT_FALSE(m.airwayTransition);
    EXPECT_TRUE(m.mainTransition) << "the main flag holds for 100 more steps";
    for (int step = 0; step < 50; ++step) {
        ModelStep(m);
        ASSERT_EQ(m.VnomL.current, 0.016) << step;
    }
    for (int step = 0; step < 60; ++step) ModelStep(m);
    EXPECT_FALSE(m.mainTransition);
}

TEST(ModelStep, MusclePressureReachesItsTargetLinearlyWithinTheMillisecond) {
    ModelState m;
    InitialiseModel(m);
    m.integrationClass = 2; // 4 sub-steps
    const double start = m.Pmus.current;
    m.Pmus.target = start - 0.4;
    // A failing limit would stop the step early; the pressure's end value shows it ran through.
    ModelStep(m);
    ASSERT_FALSE(m.failed);
    EXPECT_DOUBLE_EQ(m.Pmus.current, start - 0.4);
}

TEST(ModelStep, ShrinkingLobeKeepsItsMaximalVolumeAboveItsVolume) {
    ModelState m;
    InitialiseModel(m);
    auto ref = normRecord(), run = normRecord();
    run->parameterMatrix[lungPartRow(kBothLungs)][6] = 50; // every lobe half the size
    SetParameterTargets(m, *ref, *run);
    BeginTransition(m);
    m.integrationClass = 7;
    ModelStep(m);
    ASSERT_FALSE(m.failed);
    for (int i = 0; i < kLobeCount; ++i) {
        ASSERT_GT(m.V[i] + 0.01, m.Vmax.target[i]) << "the lobes are above their new size";
        EXPECT_DOUBLE_EQ(m.Vmax.current[i], m.V[i] + 0.01) << i;
    }
    EXPECT_TRUE(m.lobeTransition);
}

struct LimitCase {
    const char* name;
    void (*spoil)(ModelState&);
};

class ValidityLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(ValidityLimit, FailsTheStepAndStopsIt) {
    ModelState m;
    InitialiseModel(m);
    m.integrationClass = 3;
    const double counter = m.transitionCounter;
    const double pmus = m.Pmus.current;
    m.Pmus.target = pmus - 0.1;
    GetParam().spoil(m);
    ModelStep(m);
    EXPECT_TRUE(m.failed);
    EXPECT_EQ(m.transitionCounter, counter) << "a failed step does not reach its end";
    EXPECT_NE(m.Pmus.current, pmus - 0.1);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ValidityLimit,
    testing::Values(
        LimitCase{"excess_gas_above_2", [](ModelState& m) { m.X[2] = 2.5; }},
        LimitCase{"lobe_volume_below_recoil_range", [](ModelState& m) { m.V[0] = 0.15; }},
        LimitCase{"lobe_overstretched", [](ModelState& m) { m.V[4] = 1.4; }},
        LimitCase{"mouth_flow_above_40", [](ModelState& m) { m.Q0 = 1000; }},
        LimitCase{"left_bronchus_flow_above_40", [](ModelState& m) { m.QL = -45; }},
        LimitCase{"total_volume_above_20", [](ModelState& m) { m.Vtot = 25; }},
        LimitCase{"nan_volume", [](ModelState& m) { m.V[3] = std::nan(""); }},
        LimitCase{"nan_right_flow", [](ModelState& m) { m.QR = std::nan(""); }},
        LimitCase{"infinite_compliance", [](ModelState& m) { m.C.current[1] = INFINITY; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InitialiseModel, SettlesInflatedAndHeldByTheInspiratoryPressure) {
    ModelState m;
    m.Poff.current[2] = -0.1;
    InitialiseModel(m);
    EXPECT_FALSE(m.failed);
    EXPECT_GT(m.t, 2.5);
    EXPECT_LT(m.t, 2.5021);
    EXPECT_NEAR(m.Pmus.current, -2.5, 1e-6);
    EXPECT_GT(m.Vtot, 3.13) << "the inspiratory pressure inflated the patient";
    EXPECT_EQ(m.Poff.current[2], -0.1) << "the pleural offsets keep their values";
    EXPECT_EQ(m.integrationClass, 4);
}

} // namespace
