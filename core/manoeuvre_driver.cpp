#include "core/manoeuvre_driver.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "core/simulation_record.h"
#include "results/indices.h"

namespace pulmora {

namespace {

constexpr double kPi = std::numbers::pi;

// Volume factor of the muscle pressure: the muscles lose force as the chest approaches its
// minimal volume. Between half the minimal volume and the minimal volume the radicand is
// negative; the muscles then have no force at all.
double volumeFactor(double V, double VminCw) {
    const double radicand = 1 - 1 / (2 * V / VminCw - 1);
    if (radicand < 0) return 0;
    return std::sqrt(radicand);
}

// Lobe ranges of a lung part: left lobes 0 ... 1, right 2 ... 4, a lobe alone, or all.
struct LobeRange {
    int first, last; // 0-based, inclusive
};
LobeRange lobesOf(int lungPart) {
    switch (lungPart) {
    case kLeftLung: return {0, 1};
    case kRightLung: return {2, 4};
    case kBothLungs: return {0, 4};
    default: return {lungPart - 1, lungPart - 1};
    }
}

double limitedAirflow(const ModelState& m, int lungPart) {
    const LobeRange r = lobesOf(lungPart);
    bool limited = false;
    for (int i = r.first; i <= r.last; ++i) limited = limited || m.Lim[i] != 0;
    if (!limited) return 0;
    switch (lungPart) {
    case kBothLungs: return m.Q0;
    case kLeftLung: return m.QL;
    case kRightLung: return m.QR;
    default: return m.F[lungPart - 1];
    }
}

double intermediateResistance(const ModelState& m, int lungPart) {
    const LobeRange r = lobesOf(lungPart);
    for (int i = r.first; i <= r.last; ++i)
        if (!(std::fabs(m.F[i]) > 0.002)) return 0;
    double value;
    if (r.first == r.last) {
        value = -0.1 * m.Rint[r.first];
    } else {
        double g = 0;
        for (int i = r.first; i <= r.last; ++i) g += 1 / m.Rint[i];
        value = -0.1 / g;
    }
    // A near-closed bronchus or an airflow near zero gives no meaningful resistance.
    if (std::fabs(value) > 249 || std::fabs(m.Q0) < 0.005) return 0;
    return value;
}

double peripheralResistance(const ModelState& m, int lungPart) {
    const LobeRange r = lobesOf(lungPart);
    if (r.first == r.last) return -0.1 * m.Rp[r.first];
    double g = 0;
    for (int i = r.first; i <= r.last; ++i) g += 1 / m.Rp[i];
    return -0.1 / g;
}

// Percentages from a damaged file (zero, negative, NaN, infinite) give targets no patient can
// have. Such a run fails at once instead of driving the model into nonsense.
bool targetsPlausible(const ModelState& m, const MusclePressures& mp) {
    auto positive = [](double v) { return v > 0 && std::isfinite(v); };
    for (const RampedLobes* p : {&m.Vmax, &m.C, &m.K, &m.W, &m.Rm, &m.S})
        for (double v : p->target)
            if (!positive(v)) return false;
    for (const Ramped* p : {&m.VnomL, &m.VnomR, &m.kL, &m.kR, &m.RL, &m.RR, &m.Rt2, &m.VminCw,
                            &m.aCw, &m.cCw})
        if (!positive(p->target)) return false;
    return positive(mp.Pexp) && positive(-mp.Pinsp) && positive(mp.rate) && positive(mp.endFlow);
}

} // namespace

bool loopSampleDue(double t, int msRec, double riseStart, double riseEnd) {
    return (t < riseStart && msRec % 60 == 0) || (t > riseEnd + 1 && msRec % 30 == 0) ||
           (t > riseStart && t < riseEnd + 1 && msRec % 2 == 0);
}

void storeLoopFlow(float* flowCurve, int n, double value) {
    flowCurve[n - 1] = static_cast<float>(value);
    if (n > 3)
        flowCurve[n - 1] =
            static_cast<float>((double{flowCurve[n - 2]} + double{flowCurve[n - 1]}) / 2);
}

double displayValue(const ModelState& m, int displayVariable, int lungPart) {
    assert(isLungPart(lungPart) && "lung part code must be -2 ... 5");
    switch (displayVariable) {
    case 2: {
        const LobeRange r = lobesOf(lungPart);
        double sum = 0;
        for (int i = r.first; i <= r.last; ++i) sum += m.F[i];
        return sum;
    }
    case 3: return limitedAirflow(m, lungPart);
    case 4: return intermediateResistance(m, lungPart);
    case 5: return peripheralResistance(m, lungPart);
    case 6: return lungPart >= 1 ? -m.PplLobe[lungPart - 1] : -m.Ppl;
    default:
        assert(displayVariable == 1 && "DisplayVariable codes are 1 ... 6");
        switch (lungPart) {
        case kBothLungs: return m.Q0;
        case kLeftLung: return m.QL;
        case kRightLung: return m.QR;
        default: return m.F[lungPart - 1];
        }
    }
}

RunSummary RunManoeuvre(RunHistory& history, ModelState& m, DriverState& d, int displayVariable,
                        int lungPart, RunObserver* observer) {
    static RunObserver silent;
    RunObserver& view = observer ? *observer : silent;
    SimulationRecord& rec = history.slot(1);
    const std::uint64_t evaluationsBefore = m.evaluations;

    // Setup.
    rec.fev1 = rec.flowAtFev1 = rec.fvc = rec.fev1PercentFvc = rec.pef = 0;
    rec.mef75 = rec.mef50 = rec.mef25 = rec.erv = rec.tlc = rec.fet = 0;
    rec.frc = 100.0f;
    for (int n = 1; n < kLobeTableRows; ++n) {
        rec.volumeCurve[n - 1] = 0;
        for (int k = 0; k < kLobeCount; ++k) {
            rec.lobeIntermediateR[n][k] = rec.lobePeripheralR[n][k] = rec.lobeVolume[n][k] = 0;
            rec.lobeLimited[n][k] = m.Lim[k];
        }
    }
    rec.displayVariableCode = static_cast<float>(displayVariable);
    d.muscles = SetParameterTargets(m, history.slot(0), rec);
    const double Pexp = d.muscles.Pexp, Pinsp = d.muscles.Pinsp;
    const double endFlow = d.muscles.endFlow;
    d.riseTime = (Pexp - Pinsp) / d.muscles.rate;
    BeginTransition(m);
    d.inspStep = 0.001;
    d.holdTLC = 1.0;
    m.t = 0;
    d.tRecStart = 0;
    d.forcedWin = false;
    d.recording = false;
    d.Vcheck = m.Vtot;
    d.msRec = 0;
    d.nSamp = 0;
    d.breaths = 1;
    d.modelOn = true;
    int status = 1;
    bool modelFailed = false;
    if (!targetsPlausible(m, d.muscles)) {
        status = -1;
        modelFailed = true;
    }
    d.inspDur = 0.2;
    d.expDur = 0.3;
    d.forcedStage = kBeforeForced;

    // The manoeuvre's windows move with holdTLC, so they are read afresh at each use.
    auto t0 = [&] { return d.tCycle; };
    auto T = [&] { return d.tCycle + 7 + d.holdTLC + d.riseTime; };
    double& target = m.Pmus.target;
    int cls = m.integrationClass;

    do {
        const double t = m.t;

        // 1. Muscle pressure and integration class.
        if (t < 0.5) {
            cls = 7;
            target = Pinsp;
        } else if (t < 1) {
            cls = 3;
        } else if (t < 3) {
            cls = 2;
            target = (std::cos((t - 1) * kPi / 2) + 1) * 0.5 * Pinsp;
        } else if (t < 6) {
            cls = 1;
            d.breaths = 1;
            rec.frc = static_cast<float>(m.Vtot);
            d.VbreathStart = m.Vtot;
            d.tCycle = t;
            d.inspiring = true;
            for (int k = 0; k < kLobeCount; ++k) {
                rec.lobeIntermediateR[0][k] = static_cast<float>(m.Rint[k]);
                rec.lobePeripheralR[0][k] = static_cast<float>(m.Rp[k]);
                rec.lobeVolume[0][k] = static_cast<float>(m.V[k]);
            }
        } else if (d.breaths < 7) {
            // Tidal breathing.
            if (d.inspiring) {
                if (m.Vtot - (0.36 + d.VbreathStart) >= 0.15 * m.Z * (d.inspDur + d.expDur)) {
                    d.inspDur = t - d.tCycle;
                    d.inspiring = false;
                } else {
                    if (m.Vtot - d.Vcheck < 0.001)
                        d.inspStep = d.inspStep + 0.00001;
                    else
                        d.inspStep = d.inspStep - 0.0002;
                    d.Vcheck = m.Vtot;
                    cls = 2;
                    d.relaxDiv = d.expDur < 1.0 ? 2000 : 100;
                    // The patient cannot reach the tidal volume. A model that already failed
                    // stays a failure: its frozen volume would otherwise read as "dead".
                    if (target <= -3.0) {
                        if (status == 1) status = 0;
                    } else
                        target = target - d.inspStep;
                }
            } else {
                d.inspStep = 0.001;
                if (target < 0) {
                    if (d.relaxDiv > 1) d.relaxDiv -= 1;
                    cls = 3;
                    target = target + 3.5 * d.inspStep / d.relaxDiv;
                } else {
                    cls = 1;
                    if (-m.Q0 < 0.2 * m.Z && t >= d.tCycle + d.inspDur + 2.2) {
                        d.expDur = t - (d.tCycle + d.inspDur);
                        d.tCycle = t;
                        d.breaths += 1;
                        cls = 2;
                        d.VbreathStart = m.Vtot;
                        d.inspiring = true;
                        if (d.breaths == 4) {
                            d.recording = true;
                            if (d.tRecStart == 0) d.tRecStart = t;
                        }
                    }
                }
            }
        } else {
            // The forced manoeuvre.
            cls = 3;
            d.forcedStage = kSlowExpiration;
            if (t < t0() + 5) {
                if (t < t0() + 1.5 || std::fabs(m.dVtot) >= 0.0005)
                    target = (1 - std::cos((t - t0()) * kPi / 5)) * 0.5 * Pexp;
                else
                    d.modelOn = false; // the lungs have stopped emptying
                target = target * volumeFactor(m.Vtot, m.VminCw.current);
                d.Phold = m.Pmus.current;
            } else if (t < t0() + 5.9) {
                // pause
            } else if (t < t0() + 6) {
                d.modelOn = true;
            } else if (t < t0() + 6 + d.holdTLC) {
                d.forcedStage = kMaximalInspiration;
                target = d.Phold +
                         (Pinsp - d.Phold) * (1 - std::cos((t - t0() - 6) * kPi / d.holdTLC)) / 2;
                d.forcedWin = true;
                if (m.Vtot > rec.tlc) rec.tlc = static_cast<float>(m.Vtot);
            } else if (t < t0() + 7 + d.holdTLC) {
                // Pause at total lung capacity, lengthened while the patient still breathes in.
                if (t > t0() + 6.7 + d.holdTLC && m.dVtot > 0.02 && d.holdTLC < 4.0)
                    d.holdTLC = d.holdTLC + 0.001;
                if (m.Vtot > rec.tlc) rec.tlc = static_cast<float>(m.Vtot);
            } else if (t < T()) {
                d.forcedStage = kPressureRise;
                const double phase = (t - (t0() + 7 + d.holdTLC)) * kPi / d.riseTime;
                target = (Pinsp + (Pexp - Pinsp) * (1 - std::cos(phase)) / 2) *
                         volumeFactor(m.Vtot, m.VminCw.current);
                cls = 5;
                d.relaxDiv = 50;
            } else if (d.forcedWin && t < T() + 25 && (t < T() + 1.5 || -m.dVtot > endFlow)) {
                d.forcedStage = kForcedExpiration;
                target = Pexp * volumeFactor(m.Vtot, m.VminCw.current);
            } else {
                d.forcedStage = kReturnToRest;
                d.forcedWin = false;
                if (d.relaxDiv > 1) d.relaxDiv -= 1;
                if (target > Pinsp) {
                    target = target - 10 * d.inspStep / d.relaxDiv;
                } else if (m.Vtot > rec.frc + 0.97 * (rec.tlc - rec.frc)) {
                    cls = 1;
                    d.recording = false;
                } else if (m.Vtot > rec.frc) {
                    cls = 3;
                }
            }
        }

        // 2. Where the state is stiff, more sub-steps.
        if (m.mainTransition) cls = 7;
        if (cls < 4) {
            const double rL = m.VawL / m.VnomL.current, rR = m.VawR / m.VnomR.current;
            if (rL < 0.03 || rR < 0.03 || rL > 5 || rR > 5) cls = 4;
        }
        for (int k = 0; k < kLobeCount; ++k)
            if (m.W.current[k] + 0.05 > m.V[k] || m.V[k] / m.Vmax.current[k] > 0.9) cls = 5;
        for (int k = 0; k < kLobeCount; ++k)
            if (m.W.current[k] + 0.005 > m.V[k] || m.V[k] / m.Vmax.current[k] > 0.95) cls = 6;
        m.integrationClass = cls;

        // 3. Advance.
        if (d.modelOn && status == 1) {
            ModelStep(m);
            if (m.failed) {
                status = -1;
                modelFailed = true;
                if (m.beepOnFailure) view.Beep();
            }
        } else {
            m.t = m.t + 0.001;
        }

        // 4. The live clock, at a period that depends on the class.
        const double ms = std::nearbyint(1000 * m.t);
        const int period = std::abs(910 - 12 * subStepsOf(cls));
        if (std::fmod(ms, period) == 0 && (d.recording || d.tRecStart == 0))
            view.ShowRunClock(m.t - d.tRecStart);

        // 5. Recording.
        if (d.recording && status == 1) {
            const double tn = m.t;
            d.msRec += 1;
            if (d.msRec % 100 == 0) {
                const int k = d.msRec / 100;
                if (k <= kVolumeTimeSamples) {
                    rec.vtTime[k - 1] = static_cast<float>(d.msRec / 1000.0);
                    rec.vtVolume[k - 1] = static_cast<float>(m.Vtot);
                    view.ShowLiveStep(m, rec, k);
                }
            }
            if (d.forcedWin && tn > t0() + 8 + d.holdTLC && rec.fev1 == 0) {
                rec.fev1 = static_cast<float>(m.Vtot);
                rec.flowAtFev1 = static_cast<float>(m.Q0);
            }
            const double sample = displayValue(m, displayVariable, lungPart);
            if (d.forcedWin) {
                if (m.Q0 < 0) rec.fet = static_cast<float>(rec.fet + 0.001);
                if (loopSampleDue(tn, d.msRec, t0() + 7 + d.holdTLC, T())) {
                    if (d.nSamp >= kFlowVolumeUsable) {
                        status = -1;
                    } else {
                        const int n = ++d.nSamp;
                        storeLoopFlow(rec.flowCurve, n, sample);
                        rec.volumeCurve[n - 1] = static_cast<float>(m.Vtot);
                        rec.tracheaCoefficient = static_cast<float>(m.Rt2.current);
                        rec.leftBronchusR = static_cast<float>(m.RL.current);
                        rec.rightBronchusR = static_cast<float>(m.RR.current);
                        for (int k = 0; k < kLobeCount; ++k) {
                            rec.lobeIntermediateR[n][k] = static_cast<float>(m.Rint[k]);
                            rec.lobePeripheralR[n][k] = static_cast<float>(m.Rp[k]);
                            rec.lobeVolume[n][k] = static_cast<float>(m.V[k]);
                            rec.lobeLimited[n][k] = m.Lim[k];
                        }
                    }
                }
            }
        }
    } while (m.t <= 110 && m.t <= T() + 30 &&
             (m.t <= T() + 5 || d.recording || std::fabs(m.Q0) >= 0.003));

    // End of run.
    RunSummary summary;
    summary.endTime = m.t;
    if (d.forcedStage < kReturnToRest && status == 1) status = -1; // manoeuvre not completed
    if (modelFailed || m.failed) InitialiseModel(m);
    rec.runStatus = static_cast<float>(status);
    if (status != 1)
        std::fill(std::begin(rec.volumeCurve), std::end(rec.volumeCurve), 0.0f);
    else
        DeriveIndices(rec);
    double parts = m.VawL + m.VawR;
    for (int k = 0; k < kLobeCount; ++k) parts += m.V[k];
    m.Vtot = parts;

    summary.status = status;
    summary.flowVolumeSamples = d.nSamp;
    summary.volumeTimeSamples = std::min(d.msRec / 100, kVolumeTimeSamples);
    summary.modelFailed = modelFailed;
    summary.evaluations = m.evaluations - evaluationsBefore;
    return summary;
}

} // namespace pulmora
