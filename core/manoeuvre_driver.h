#pragma once
// Plays the virtual patient through one spirometric examination and records it: settling,
// tidal breathing, a slow maximal expiration, a maximal inspiration, the forced expiration and
// the return to rest, in 1-ms steps of the respiratory model.

#include <cstdint>

#include "core/respiratory_model.h"

namespace pulmora {

struct RunHistory;
struct SimulationRecord;

// The stage of the forced manoeuvre reached in a millisecond.
enum ForcedStage : int {
    kBeforeForced = 0,
    kSlowExpiration = 4, // and the pauses around it
    kMaximalInspiration = 5,
    kPressureRise = 6,
    kForcedExpiration = 7,
    kReturnToRest = 8,
};

// Driver state, kept between runs like the model's; each run starts with the values of its
// setup, the rest carry over.
struct DriverState {
    double tCycle = 0;       // start of the current breath; from breath 7 on, of the manoeuvre, s
    int breaths = 1;         // number of the current breath; the manoeuvre begins at 7
    bool inspiring = false;  // tidal breathing: the patient breathes in
    double inspStep = 0.001; // per-ms change of the tidal inspiratory muscle pressure, kPa
    double Vcheck = 0;       // total volume one ms earlier during a tidal inspiration, l
    double VbreathStart = 0; // total volume at the start of the current breath, l
    double inspDur = 0.2;    // duration of the last tidal inspiration, s
    double expDur = 0.3;     // duration of the last tidal expiration, s
    int relaxDiv = 100;      // divisor that makes the pressure releases accelerate
    double Phold = 0;        // muscle pressure at the end of the slow maximal expiration, kPa
    double holdTLC = 1.0;    // length of the maximal inspiration ramp, s
    double riseTime = 0;     // duration of the pressure rise of the forced expiration, s
    MusclePressures muscles; // this run's maximal pressures, rate and end-expiratory flow
    bool modelOn = true;     // false while the model is paused (the clock still runs)
    bool recording = false;  // the volume-time curve is recorded
    bool forcedWin = false;  // maximal inspiration to end of forced expiration: loop sampled
    double tRecStart = 0;    // time recording started, s (0 = not yet)
    int msRec = 0;           // milliseconds recorded so far
    int nSamp = 0;           // flow-volume samples stored so far
    int forcedStage = kBeforeForced; // ForcedStage reached in the current millisecond
};

// What a display may do while a run goes on. Nothing the run computes depends on it; the
// default does nothing, which is what a run without a display needs.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // The run clock, in seconds since recording started (or since the run started, before).
    virtual void ShowRunClock(double seconds) { (void)seconds; }
    // Volume-time sample `sample` (1-based) of `run` has just been stored.
    virtual void ShowLiveStep(const ModelState& model, const SimulationRecord& run, int sample) {
        (void)model, (void)run, (void)sample;
    }
    // The lobe solver gave up after its iteration budget: the patient's alarm beep.
    virtual void Beep() {}
};

struct RunSummary {
    int status = 1;             // the stored runStatus: 1, 0 or -1
    int flowVolumeSamples = 0;  // loop samples the driver stored (the loop is zeroed on failure)
    int volumeTimeSamples = 0;  // volume-time samples stored
    double endTime = 0;         // model time when the loop ended, s
    bool modelFailed = false;   // the model failed and was initialised again
    std::uint64_t evaluations = 0; // solver function evaluations of this run
};

// Whether the loop takes a sample in this recorded millisecond: every 60 ms during the maximal
// inspiration and the pause at total lung capacity, every 2 ms from the start of the pressure
// rise (at riseStart) until one second after its end (at riseEnd), every 30 ms afterwards.
bool loopSampleDue(double t, int msRec, double riseStart, double riseEnd);

// Stores sample n (1-based) of the loop's flow curve; from the fourth sample on, each is
// averaged with the one stored before it.
void storeLoopFlow(float* flowCurve, int n, double value);

// The value the loop records for a DisplayVariable (1 ... 6) and a lung part (-2 ... 5).
double displayValue(const ModelState& m, int displayVariable, int lungPart);

// Records one examination into slot 1 with slot 0 as the reference. Slot 1 already holds
// the run's parameters (copied from the ParameterSet) and cleared curves. A failed run is
// recorded with its status and a zeroed volume curve; the model is then initialised again
// (without touching the history's stored parameters).
RunSummary RunManoeuvre(RunHistory& history, ModelState& model, DriverState& driver,
                        int displayVariable, int lungPart, RunObserver* observer = nullptr);

} // namespace pulmora
