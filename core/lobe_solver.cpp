#include "core/lobe_solver.h"

#include <cmath>

#include "core/fast_atan.h"

namespace pulmora {

namespace {

// Each lobe's root search finds the junction pressure x between the peripheral airways and
// the intermediate bronchus at which both carry the same flow. The balance is
//     f(x) = E - Gs x - B (c + kappa atan(sigma (x - Pp) / s))
// Open bronchus (sigma = 1, kappa = -1, c = arctan((Pd - Pp)/s)): the bronchus term is
// arctan((Pd - Pp)/s) - arctan((x - Pp)/s), kept as a difference: folded into one quotient it
// jumps by pi where the quotient's denominator crosses zero, and a root beyond the jump would
// never be found. Compressed bronchus (sigma = -1, kappa = 1, c = 0): the term is
// arctan((Pp - x)/s); the bronchus closes at its downstream end, so the flow no longer depends
// on the airway pressure.
//
// The searches of the lobes (and of the probe beside the update) are independent, so they run
// as lanes side by side: each stage gathers the arctangents that all lanes need and computes
// them in one tight loop, where the processor overlaps them. Every lane does exactly the
// arithmetic it would do alone, so the results are those of one search after the other.
template <int L>
struct Lanes {
    double Pd[L], Pp[L], Palv[L], Rp[L], Gp[L], Gs[L], B[L], s[L], E[L], c[L], sigma[L], kappa[L];
    double a[L], b[L], fa[L], fb[L], x[L], fx[L];
    long iterations[L], evaluations[L];
    bool open[L], noBracket[L], capHit[L];
    int active[L]; // lanes still searching
    int activeCount = 0;

    double argument(int j, double at) const { return (sigma[j] * (at - Pp[j])) / s[j]; }
    double balance(int j, double at, double atanValue) const {
        return E[j] - Gs[j] * at - B[j] * (c[j] + kappa[j] * atanValue);
    }
};

// The arctangents of one stage: independent, so they pipeline.
struct AtanBatch {
    double args[3 * 2 * kLobeCount];
    double values[3 * 2 * kLobeCount];
    int count = 0;
    int add(double arg) {
        args[count] = arg;
        return count++;
    }
    // Correctly rounded, and several values at once.
    void run() { accurateAtanBatch(args, values, count); }
};

// Lane j is lobe j % 5 of the call at pressure P[j / 5].
template <int L>
void setUp(Lanes<L>& ln, const double* P, double dPL, double dPR, const LobeSolverInputs& in,
           const SolverCaps& caps, long* cap) {
    AtanBatch batch;
    int slotC[L], slotA[L], slotB[L];
    for (int j = 0; j < L; ++j) {
        const int i = j % kLobeCount;
        const double p = P[j / kLobeCount];
        ln.Pd[j] = p + (i < 2 ? dPL : dPR);
        ln.Pp[j] = p + in.Poff[i];
        ln.Palv[j] = in.Palv[i];
        ln.Rp[j] = in.Rp[i];
        ln.Gp[j] = 1.0 / in.Rp[i];
        const double Gm = 1.0 / in.Rm[i];
        ln.Gs[j] = ln.Gp[j] + Gm;
        ln.s[j] = in.S[i];
        ln.B[j] = ln.s[j] * Gm;
        ln.iterations[j] = 0;
        ln.evaluations[j] = 2;
        ln.capHit[j] = ln.noBracket[j] = false;
        // Pd == Pp counts as compressed.
        const bool open = ln.Pd[j] > ln.Pp[j];
        ln.open[j] = open;
        ln.E[j] = ln.Gp[j] * ln.Palv[j] + Gm * (open ? ln.Pd[j] : ln.Pp[j]);
        ln.sigma[j] = open ? 1.0 : -1.0;
        ln.kappa[j] = open ? -1.0 : 1.0;
        cap[j] = open ? caps.open : caps.compressed;
        ln.a[j] = ln.Palv[j];
        ln.b[j] = open ? (ln.Palv[j] + ln.Pd[j]) / 2 : ln.Pp[j];
        slotC[j] = open ? batch.add((ln.Pd[j] - ln.Pp[j]) / ln.s[j]) : -1;
        slotA[j] = batch.add(ln.argument(j, ln.a[j]));
        slotB[j] = batch.add(ln.argument(j, ln.b[j]));
    }
    batch.run();

    AtanBatch first;
    int slotX[L];
    for (int j = 0; j < L; ++j) {
        ln.c[j] = ln.open[j] ? batch.values[slotC[j]] : 0.0;
        ln.fa[j] = ln.balance(j, ln.a[j], batch.values[slotA[j]]);
        ln.fb[j] = ln.balance(j, ln.b[j], batch.values[slotB[j]]);
        slotX[j] = -1;
        if (ln.fa[j] * ln.fb[j] > 0) {
            if (ln.open[j]) {
                // No bracket: the bronchus term vanishes at Pd, so f(Pd) = E - Gs Pd.
                ln.a[j] = ln.Pd[j];
                ln.fa[j] = ln.E[j] - ln.Gs[j] * ln.Pd[j];
            } else {
                if (std::fabs(ln.fa[j]) < kRootTolerance)
                    ln.x[j] = ln.a[j];
                else if (std::fabs(ln.fb[j]) < kRootTolerance)
                    ln.x[j] = ln.b[j];
                else
                    ln.noBracket[j] = true;
                continue;
            }
        }
        // A step with fb == fa is undefined: b is then taken as the root.
        if (ln.fb[j] == ln.fa[j]) {
            ln.x[j] = ln.b[j];
            continue;
        }
        ln.x[j] = ln.b[j] - (ln.b[j] - ln.a[j]) * ln.fb[j] / (ln.fb[j] - ln.fa[j]);
        slotX[j] = first.add(ln.argument(j, ln.x[j]));
    }
    first.run();

    ln.activeCount = 0;
    for (int j = 0; j < L; ++j) {
        if (slotX[j] < 0) continue;
        ln.fx[j] = ln.balance(j, ln.x[j], first.values[slotX[j]]);
        ln.evaluations[j] += 1;
        if (std::fabs(ln.fx[j]) > kRootTolerance) ln.active[ln.activeCount++] = j;
    }
}

// Regula falsi, one iteration of every searching lane per round: the new point replaces the
// end whose value has the same sign. A lane stops at its own budget; whether the shared budget
// of its call was exceeded is settled afterwards, in lobe order.
template <int L>
void iterate(Lanes<L>& ln, const long* cap) {
    while (ln.activeCount > 0) {
        AtanBatch batch;
        int slot[L];
        int stepped[L];
        int steppedCount = 0;
        for (int k = 0; k < ln.activeCount; ++k) {
            const int j = ln.active[k];
            if (++ln.iterations[j] > cap[j]) {
                ln.capHit[j] = true;
                continue;
            }
            if (ln.fx[j] * ln.fb[j] >= 0) {
                ln.b[j] = ln.x[j];
                ln.fb[j] = ln.fx[j];
            } else {
                ln.a[j] = ln.x[j];
                ln.fa[j] = ln.fx[j];
            }
            if (ln.fb[j] == ln.fa[j]) {
                ln.x[j] = ln.b[j];
                continue;
            }
            ln.x[j] = ln.b[j] - (ln.b[j] - ln.a[j]) * ln.fb[j] / (ln.fb[j] - ln.fa[j]);
            slot[steppedCount] = batch.add(ln.argument(j, ln.x[j]));
            stepped[steppedCount++] = j;
        }
        batch.run();
        ln.activeCount = 0;
        for (int k = 0; k < steppedCount; ++k) {
            const int j = stepped[k];
            ln.fx[j] = ln.balance(j, ln.x[j], batch.values[slot[k]]);
            ln.evaluations[j] += 1;
            if (std::fabs(ln.fx[j]) > kRootTolerance) ln.active[ln.activeCount++] = j;
        }
    }
}

// Replays one call's lobes (lanes first ... first + 4) in order against the shared budget and
// writes what that call would have written.
template <int L>
SolverResult finishCall(const Lanes<L>& ln, int first, SolverMode mode, const SolverCaps& caps,
                        const LobeSolverOutputs& out) {
    SolverResult result;
    long used = 0;
    for (int i = 0; i < kLobeCount; ++i) {
        const int j = first + i;
        out.limited[i] = ln.open[j] ? 0 : 1;
        result.iterations[i] = ln.iterations[j];
        result.evaluations += ln.evaluations[j];
        if (ln.noBracket[j]) {
            result.failure = SolverFailure::NoBracket;
            result.failedLobe = i;
            return result;
        }
        used += ln.iterations[j];
        const long cap = ln.open[j] ? caps.open : caps.compressed;
        if (ln.capHit[j] || (ln.iterations[j] > 0 && used > cap)) {
            result.failure = SolverFailure::IterationCap;
            result.failedLobe = i;
            return result;
        }
        const double flow = (ln.x[j] - ln.Palv[j]) * ln.Gp[j];
        if (!std::isfinite(flow)) {
            result.failure = SolverFailure::NonFinite;
            result.failedLobe = i;
            return result;
        }
        out.flow[i] = flow;
        if (mode == SolverMode::Update && std::fabs(flow) > 0.001)
            out.effectiveR[i] = (ln.Pd[j] - ln.Palv[j]) / flow - ln.Rp[j];
    }
    return result;
}

} // namespace

SolverResult SolveLobeFlows(SolverMode mode, double P, double dPL, double dPR,
                            const LobeSolverInputs& in, const LobeSolverOutputs& out,
                            const SolverCaps& caps) {
    Lanes<kLobeCount> lanes;
    long cap[kLobeCount];
    setUp(lanes, &P, dPL, dPR, in, caps, cap);
    iterate(lanes, cap);
    return finishCall(lanes, 0, mode, caps, out);
}

SolverPairResult SolveLobeFlowsWithProbe(double P, double probeStep, double dPL, double dPR,
                                         const LobeSolverInputs& in,
                                         const LobeSolverOutputs& update, LobeValues& probeFlow) {
    const SolverCaps caps;
    Lanes<2 * kLobeCount> lanes;
    long cap[2 * kLobeCount];
    const double pressures[2] = {P, P + probeStep};
    setUp(lanes, pressures, dPL, dPR, in, caps, cap);
    iterate(lanes, cap);
    SolverPairResult result;
    result.update = finishCall(lanes, 0, SolverMode::Update, caps, update);
    if (result.update.failure != SolverFailure::None) return result;
    LobeValues unusedR;
    result.probe =
        finishCall(lanes, kLobeCount, SolverMode::Probe, caps, {probeFlow, update.limited, unusedR});
    return result;
}

} // namespace pulmora
