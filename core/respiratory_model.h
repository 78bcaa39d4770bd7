#pragma once
// The virtual patient: a lumped model of the chest wall, five lobes with their peripheral
// airways and collapsible intermediate bronchi, a collapsible airway on each side, the two main
// bronchi and the trachea, advanced one millisecond at a time.
//
// Units: litres, l/s (positive into the lungs), kPa with the atmosphere at 100, seconds.

#include <array>
#include <cstdint>

#include "core/lobe_solver.h"

namespace pulmora {

struct SimulationRecord;

// Each lobe's share of the lungs: left upper, left lower, right upper, right middle, right lower.
constexpr LobeValues kLobeShare{0.20, 0.25, 0.15, 0.20, 0.20};
// The pleural pressure around each lobe relative to the mean, kPa.
constexpr LobeValues kDefaultPleuralOffset{-0.1, 0.05, -0.1, 0.0, 0.1};

// Sub-steps per millisecond for IntegrationClass 1 ... 7 (index 0 unused).
constexpr std::array<int, 8> kSubSteps{0, 2, 4, 8, 15, 25, 50, 150};
inline int subStepsOf(int integrationClass) {
    const int c = integrationClass < 1 ? 1 : (integrationClass > 7 ? 7 : integrationClass);
    return kSubSteps[c];
}

// A parameter's ramp start when it does not change: nothing is ramped for it.
constexpr double kMarkerZero = 0.0;
constexpr double kMarkerUnchanged = -1111.0;

// A model parameter that moves from its current value to its target during the first steps of
// a run, linearly within a millisecond.
struct Ramped {
    double current = 0; // value the equations use
    double target = 0;  // value set from the records at the start of a run
    double start = 0;   // ramp start of the present step, or the marker
};

// The same for one value per lobe.
struct RampedLobes {
    LobeValues current{};
    LobeValues target{};
    LobeValues start{};
};

// What the driver needs from the targets of a run.
struct MusclePressures {
    double Pexp = 3.54;     // maximal expiratory muscle pressure, kPa
    double Pinsp = -2.5;    // maximal inspiratory muscle pressure, kPa (negative)
    double rate = 68.04;    // rate of rise of the forced-expiration pressure, kPa/s
    double endFlow = 0.025; // mouth airflow below which the forced expiration ends, l/s
};

struct ModelState {
    // Lobe group parameters.
    RampedLobes Vmax; // maximal lobe volume, l
    RampedLobes C;    // lobe compliance factor
    RampedLobes K;    // peripheral conductance coefficient
    RampedLobes W;    // lobe closing volume, l
    RampedLobes Rm;   // intermediate bronchus base resistance, kPa s/l
    RampedLobes S;    // intermediate bronchus stiffness, kPa
    // Chest group parameters.
    RampedLobes Rt;   // lobe tissue resistance, kPa s/l
    RampedLobes Poff; // pleural pressure offset of the lobe, kPa
    Ramped Rcw;       // chest wall resistance, kPa s/l
    Ramped VminCw;    // chest wall minimal volume, l
    Ramped cCw;       // chest wall scale
    Ramped aCw;       // chest wall shape
    Ramped Patm;      // atmospheric pressure, kPa
    // Airway group parameters.
    Ramped VnomL, VnomR; // nominal volume of the left, right collapsible airway, l
    Ramped kL, kR;       // compliance divisor of the left, right collapsible airway
    Ramped RL, RR;       // left, right main bronchus resistance, kPa s/l
    Ramped IL, IR;       // left, right main bronchus inertance, kPa s^2/l
    Ramped It;           // tracheal inertance, kPa s^2/l
    Ramped Rt1;          // tracheal laminar resistance, kPa s/l
    Ramped Rt2;          // tracheal turbulent coefficient, kPa s^2/l^2
    // Driving pressures, prepared and ramped in every step.
    Ramped Pmus;   // muscle pressure, kPa; its target is set by the driver every millisecond
    Ramped Pmouth; // pressure at the mouth, kPa; its target stays 0

    // Lobe state.
    LobeValues V{};       // lobe volume, l
    LobeValues X{};       // excess gas volume compressed into the lobe, l
    LobeValues F{};       // airflow into the lobe from its intermediate bronchus, l/s
    LobeValues dV{};      // rate of change of the lobe volume, l/s
    LobeValues Pel{};     // elastic recoil pressure, kPa
    LobeValues Palv{};    // alveolar pressure above atmospheric, kPa
    LobeValues A{};       // driving term, l/s
    LobeValues Rp{};      // peripheral airway resistance, kPa s/l
    LobeValues Rint{};    // effective intermediate bronchus resistance, kPa s/l
    LobeValues PplLobe{}; // local pleural pressure, kPa
    LobeFlags Lim{};      // 1 while the lobe is flow-limited
    LobeValues Fprobe{};  // lobe airflows at the probe pressure (scratch of the step), l/s
    LobeValues cbrtW{};   // cube root of the closing volume W, for the W it was taken of
    LobeValues cbrtOf{};  // the W whose cube root cbrtW holds (NaN: none yet)
    // Airway and chest state.
    double VawL = 0.06, VawR = 0.06; // volume of the left, right collapsible airway, l
    double PawL = 0, PawR = 0;       // left, right airway pressure, kPa
    double QL = 0, QR = 0;           // airflow in the left, right main bronchus, l/s
    double Q0 = 0;                   // airflow at the mouth, l/s
    double Pnode = 0;                // pressure at the tracheal bifurcation, kPa
    double Vtot = 3.13;              // lobes plus collapsible airways, l
    double dVtot = 0;                // rate of change of Vtot, l/s
    double Ppl = 0;                  // pleural pressure, kPa
    double Pcw = 0;                  // chest wall elastic pressure, kPa

    // Clock and control.
    double t = 0;             // model time, s
    int integrationClass = 4; // 1 ... 7, chosen by the driver every millisecond
    bool mainTransition = false;
    bool lobeTransition = false;
    bool airwayTransition = false;
    bool chestTransition = false;
    int transitionCounter = 0;
    bool failed = false;       // the state left its valid range, or the solver failed
    bool beepOnFailure = false; // the failure was an exhausted iteration budget
    double Z = 1.0;            // size factor: the sum of the lobes' shares times their size
    MusclePressures muscles;   // from the last targets (norm values after initialisation)
    std::uint64_t evaluations = 0; // solver function evaluations since the last reset

    ModelState();
};

// Every parameter and state variable to its initial value (the pleural pressure offsets keep
// theirs), then 2.5 s of settling under the inspiratory pressure. The stored parameter copies
// of the history are reset by the caller at start-up, not here.
void InitialiseModel(ModelState& m);

// Targets from the run record and the reference record (both percentages, multiplied).
MusclePressures SetParameterTargets(ModelState& m, const SimulationRecord& reference,
                                    const SimulationRecord& run);

// Arms the transition ramps and restores the default pleural pressure offsets.
void BeginTransition(ModelState& m);

// Advances the model by 1 ms in subStepsOf(m.integrationClass) sub-steps. On return
// m.failed tells whether the step failed; a failed step ends at once and leaves the muscle
// pressure and the transition counter where they were. Allocates nothing.
void ModelStep(ModelState& m);

} // namespace pulmora
