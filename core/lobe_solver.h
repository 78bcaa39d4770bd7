#pragma once
// The lobe airflows for a trial pleural pressure. Each lobe drains through its peripheral
// airways and a collapsible intermediate bronchus; when the pressure around the bronchus
// exceeds the pressure at its downstream end it is compressed and the lobe is flow-limited.

#include <array>
#include <cstdint>

#include "core/parameter_set.h"

namespace pulmora {

using LobeValues = std::array<double, kLobeCount>;
using LobeFlags = std::array<std::uint8_t, kLobeCount>;

enum class SolverMode {
    Update, // store the flows, the limitation flags and the effective resistances
    Probe,  // return the flows only (the limitation flags are still written)
};

enum class SolverFailure : std::uint8_t {
    None,
    IterationCap, // the shared iteration budget ran out; the patient hears a beep
    NoBracket,    // compressed bronchus without a sign change and no end near zero; silent
    NonFinite,    // a flow came out NaN or infinite (hostile parameters); silent
};

// Iteration budgets of one call, shared by its lobes in lobe order: a lobe fails when the
// iterations of the lobes before it and its own exceed the budget of its case.
struct SolverCaps {
    long open = 100000;      // budget checked while an open bronchus is searched
    long compressed = 10000; // budget checked while a compressed bronchus is searched
};

// |f(x)| at or below this ends a root search.
constexpr double kRootTolerance = 0.0001;

struct LobeSolverInputs {
    const LobeValues& Palv; // alveolar pressure above atmospheric, kPa
    const LobeValues& Poff; // pleural pressure offset of the lobe, kPa
    const LobeValues& Rp;   // peripheral airway resistance, kPa s/l
    const LobeValues& Rm;   // base resistance of the intermediate bronchus, kPa s/l
    const LobeValues& S;    // stiffness of the intermediate bronchus, kPa
};

struct LobeSolverOutputs {
    LobeValues& flow;       // update: F, the lobe airflows (l/s, into the lobe); probe: F'
    LobeFlags& limited;     // 1 where the bronchus is compressed
    LobeValues& effectiveR; // update only: Rint, kept where |F| <= 0.001
};

struct SolverResult {
    SolverFailure failure = SolverFailure::None;
    int failedLobe = -1;                // 0-based lobe where the call stopped, or -1
    std::array<long, kLobeCount> iterations{}; // regula-falsi iterations each lobe needed
    long evaluations = 0;               // function evaluations, for the benchmarks
};

// P: trial pleural pressure; dPL, dPR: the left and right airway pressures relative to the
// pleural pressure. On failure the lobes after the failing one are not written. Allocates
// nothing.
SolverResult SolveLobeFlows(SolverMode mode, double P, double dPL, double dPR,
                            const LobeSolverInputs& in, const LobeSolverOutputs& out,
                            const SolverCaps& caps = {});

// The model step's first two calls at once: update at P, then probe at P + probeStep. The
// result and everything written are those of the two calls made one after the other (the
// probe is not made when the update fails); the ten root searches are independent, so they
// run side by side.
struct SolverPairResult {
    SolverResult update;
    SolverResult probe;
};
SolverPairResult SolveLobeFlowsWithProbe(double P, double probeStep, double dPL, double dPR,
                                         const LobeSolverInputs& in,
                                         const LobeSolverOutputs& update, LobeValues& probeFlow);

} // namespace pulmora
