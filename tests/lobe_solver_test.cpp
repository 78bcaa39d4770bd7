#include "core/lobe_solver.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pulmora;

namespace {

// One lobe's inputs, copied into all five lobes unless a test changes some.
struct Lobes {
    LobeValues Palv, Poff, Rp, Rm, S;
    LobeValues F{}, Rint{}, probe{};
    LobeFlags Lim{};

    explicit Lobes(double palv, double rp = 1.0, double rm = 0.28, double s = 0.4) {
        Palv.fill(palv);
        Poff.fill(0.0);
        Rp.fill(rp);
        Rm.fill(rm);
        S.fill(s);
        Rint.fill(-7.0); // a marker that shows whether Rint was written
    }
    LobeSolverInputs in() const { return {Palv, Poff, Rp, Rm, S}; }
    LobeSolverOutputs out() { return {F, Lim, Rint}; }
};

// The flow through the bronchus from the junction at x to the airway at Pd, by integrating
// its conductance Gm u^2 / (u^2 + S^2) over the transmural pressure u.
double bronchusFlow(double x, double Pd, double Pp, double Gm, double s) {
    const double downstream = std::fmax(Pd, Pp); // a compressed bronchus closes at Pp
    auto integral = [&](double p) { return (p - Pp) - s * std::atan((p - Pp) / s); };
    return Gm * (integral(x) - integral(downstream));
}

struct BalanceCase {
    const char* name;
    double P, dP, Palv;
    bool limited;
};

class LobeBalance : public testing::TestWithParam<BalanceCase> {};

// Whatever the case, the flow that leaves through the peripheral airways equals the flow
// through the bronchus, to the solver's tolerance.
TEST_P(LobeBalance, PeripheralAndBronchialFlowsAgree) {
    const BalanceCase& c = GetParam();
    Lobes lobes(c.Palv);
    const SolverResult r = SolveLobeFlows(SolverMode::Update, c.P, c.dP, c.dP, lobes.in(), lobes.out());
    ASSERT_EQ(r.failure, SolverFailure::None);
    for (int i = 0; i < kLobeCount; ++i) {
        EXPECT_EQ(lobes.Lim[i], c.limited ? 1 : 0) << i;
        const double x = c.Palv + lobes.F[i] * lobes.Rp[i]; // junction pressure
        const double Pd = c.P + c.dP;
        const double through = bronchusFlow(x, Pd, c.P, 1 / lobes.Rm[i], lobes.S[i]);
        EXPECT_NEAR(-lobes.F[i], through, 2e-4 * (1 + std::fabs(through))) << i;
        EXPECT_NEAR(lobes.Rint[i], (Pd - c.Palv) / lobes.F[i] - lobes.Rp[i], 1e-12) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LobeBalance,
    testing::Values(BalanceCase{"open_expiration", -0.5, 0.3, 1.5, false},
                    BalanceCase{"open_inspiration", -0.5, 0.3, -1.0, false},
                    BalanceCase{"compressed_forced_expiration", 2.0, -0.4, 4.0, true},
                    BalanceCase{"equal_pressures_count_as_compressed", 1.0, 0.0, 3.0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LobeSolver, ProbeReturnsFlowsWithoutTouchingTheStoredOnes) {
    Lobes lobes(1.5);
    lobes.F.fill(123.0);
    const SolverResult r =
        SolveLobeFlows(SolverMode::Probe, -0.5, 0.3, 0.3, lobes.in(), {lobes.probe, lobes.Lim, lobes.Rint});
    ASSERT_EQ(r.failure, SolverFailure::None);
    EXPECT_LT(lobes.probe[0], 0);
    EXPECT_EQ(lobes.Rint[0], -7.0) << "a probe stores no resistance";
}

TEST(LobeSolver, SmallFlowKeepsThePreviousEffectiveResistance) {
    Lobes lobes(0.0);
    lobes.Palv[2] = 0.5; // only lobe 3 has a real flow
    SolveLobeFlows(SolverMode::Update, -0.5, 0.5, 0.5, lobes.in(), lobes.out());
    EXPECT_LE(std::fabs(lobes.F[0]), 0.001);
    EXPECT_EQ(lobes.Rint[0], -7.0);
    EXPECT_NE(lobes.Rint[2], -7.0);
}

TEST(LobeSolver, CompressedWithoutBracketFailsSilently) {
    // A compressed bronchus always brackets its root for physical values; a negative
    // resistance (as a damaged file could give) does not.
    Lobes lobes(1.0);
    lobes.Rm[1] = -0.28;
    const SolverResult r = SolveLobeFlows(SolverMode::Update, 2.0, -0.5, -0.5, lobes.in(), lobes.out());
    EXPECT_EQ(r.failure, SolverFailure::NoBracket);
    EXPECT_EQ(r.failedLobe, 1);
}

// A hard lobe: a stiff, wide bronchus behind narrow peripheral airways needs about a thousand
// regula-falsi iterations.
Lobes hardLobes(int hardCount) {
    Lobes lobes(1.0, 10.0, 0.0001, 0.4);
    for (int i = hardCount; i < kLobeCount; ++i) {
        lobes.Rp[i] = 1.0;
        lobes.Rm[i] = 0.28;
    }
    return lobes;
}

struct BudgetCase {
    const char* name;
    int hardLobes;   // lobes 1 ... hardLobes are hard
    double budget;   // in units of one hard lobe's iterations
    int failedLobe;  // -1: the call succeeds
};

class SharedBudget : public testing::TestWithParam<BudgetCase> {};

TEST_P(SharedBudget, IsCountedOverTheLobesInOrder) {
    const BudgetCase& c = GetParam();
    Lobes probe = hardLobes(1);
    const long one = SolveLobeFlows(SolverMode::Update, 0.0, 0.01, 0.01, probe.in(), probe.out(),
                                    {100000000, 100000000})
                         .iterations[0];
    ASSERT_GT(one, 500);

    Lobes lobes = hardLobes(c.hardLobes);
    const SolverCaps caps{static_cast<long>(c.budget * one), 10000};
    const SolverResult r = SolveLobeFlows(SolverMode::Update, 0.0, 0.01, 0.01, lobes.in(), lobes.out(), caps);
    EXPECT_EQ(r.failedLobe, c.failedLobe);
    EXPECT_EQ(r.failure, c.failedLobe < 0 ? SolverFailure::None : SolverFailure::IterationCap);
    if (c.failedLobe > 0) {
        EXPECT_NE(lobes.F[0], 0.0) << "the lobes before the failing one keep their flows";
        EXPECT_EQ(lobes.F[c.failedLobe], 0.0) << "the failing lobe is not written";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Budgets, SharedBudget,
    testing::Values(BudgetCase{"one_hard_lobe_within_budget", 1, 1.5, -1},
                    BudgetCase{"each_alone_fits_but_not_both", 2, 1.5, 1},
                    BudgetCase{"three_fit_with_room_for_the_easy_ones", 3, 3.1, -1},
                    BudgetCase{"first_lobe_alone_too_much", 1, 0.5, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LobeSolver, DefaultBudgetsAreTheModelsOwn) {
    const SolverCaps caps;
    EXPECT_EQ(caps.open, 100000);
    EXPECT_EQ(caps.compressed, 10000);
}

TEST(LobeSolver, PairEqualsTwoCallsOneAfterTheOther) {
    Lobes a(1.2), b(1.2);
    for (int i = 0; i < kLobeCount; ++i) {
        a.Palv[i] = b.Palv[i] = 0.4 + 0.5 * i;
        a.Poff[i] = b.Poff[i] = 0.05 * (i - 2);
    }
    const SolverPairResult pair = SolveLobeFlowsWithProbe(0.3, 0.05, -0.1, 0.2, a.in(), a.out(), a.probe);
    const SolverResult first = SolveLobeFlows(SolverMode::Update, 0.3, -0.1, 0.2, b.in(), b.out());
    const SolverResult second =
        SolveLobeFlows(SolverMode::Probe, 0.3 + 0.05, -0.1, 0.2, b.in(), {b.probe, b.Lim, b.Rint});
    EXPECT_EQ(pair.update.evaluations, first.evaluations);
    EXPECT_EQ(pair.probe.evaluations, second.evaluations);
    EXPECT_EQ(a.F, b.F);
    EXPECT_EQ(a.probe, b.probe);
    EXPECT_EQ(a.Rint, b.Rint);
    EXPECT_EQ(a.Lim, b.Lim);
}

TEST(LobeSolver, NonFiniteInputsFailInsteadOfReturningNaN) {
    for (double bad : {std::nan(""), 0.0, -1.0}) {
        Lobes lobes(1.0);
        lobes.Rp[3] = bad; // zero or negative resistance, or NaN
        lobes.S[3] = bad;
        const SolverResult r = SolveLobeFlows(SolverMode::Update, 0.0, 0.3, 0.3, lobes.in(), lobes.out());
        if (r.failure == SolverFailure::None)
            for (double f : lobes.F) EXPECT_TRUE(std::isfinite(f)) << bad;
        else
            EXPECT_EQ(r.failedLobe, 3) << bad;
    }
}

} // namespace
