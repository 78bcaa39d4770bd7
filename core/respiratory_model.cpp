#include "core/respiratory_model.h"

#include <cmath>
#include <numbers>

#include "core/simulation_record.h"

namespace pulmora {

namespace {

constexpr double kPi = std::numbers::pi;

// Initial values of the parameters that do not depend on the lobe.
constexpr double kVnomInitial = 0.032;
constexpr double kKawInitial = 0.0032;
constexpr double kMainBronchusR = 0.00057;
constexpr double kMainBronchusI = 0.0025;
constexpr double kTrachealI = 0.00056;
constexpr double kTrachealR1 = 0.000067;
constexpr double kTrachealR2 = 0.0454575;
constexpr double kChestWallR = 0.03;
constexpr double kChestWallVmin = 1.5;
constexpr double kChestWallC = 10.0 / 3.0;
inline double chestWallShape() { return 1.722 / (0.3 * std::sqrt(1.5)); }

// The parameter groups whose ramps are armed together, each with its marker.
struct ScalarParameter {
    Ramped ModelState::*member;
    double marker;
};
struct LobeParameter {
    RampedLobes ModelState::*member;
    double marker;
};

constexpr LobeParameter kLobeGroup[] = {
    {&ModelState::Vmax, kMarkerZero}, {&ModelState::C, kMarkerZero},
    {&ModelState::K, kMarkerZero},    {&ModelState::W, kMarkerZero},
    {&ModelState::Rm, kMarkerZero},   {&ModelState::S, kMarkerZero},
};
constexpr ScalarParameter kAirwayGroup[] = {
    {&ModelState::IL, kMarkerZero},         {&ModelState::IR, kMarkerZero},
    {&ModelState::RL, kMarkerUnchanged},    {&ModelState::RR, kMarkerUnchanged},
    {&ModelState::It, kMarkerZero},         {&ModelState::Rt1, kMarkerUnchanged},
    {&ModelState::Rt2, kMarkerUnchanged},   {&ModelState::VnomL, kMarkerUnchanged},
    {&ModelState::VnomR, kMarkerUnchanged}, {&ModelState::kL, kMarkerUnchanged},
    {&ModelState::kR, kMarkerUnchanged},
};
constexpr LobeParameter kChestLobeGroup[] = {
    {&ModelState::Poff, kMarkerUnchanged},
    {&ModelState::Rt, kMarkerZero},
};
constexpr ScalarParameter kChestGroup[] = {
    {&ModelState::Rcw, kMarkerZero},  {&ModelState::VminCw, kMarkerZero},
    {&ModelState::cCw, kMarkerZero},  {&ModelState::aCw, kMarkerZero},
    {&ModelState::Patm, kMarkerZero},
};

void setBoth(Ramped& p, double value) { p.current = p.target = value; }

void prepare(Ramped& p, double marker) { p.start = p.current != p.target ? p.current : marker; }
void prepare(RampedLobes& p, double marker) {
    for (int i = 0; i < kLobeCount; ++i)
        p.start[i] = p.current[i] != p.target[i] ? p.current[i] : marker;
}

// Sub-step k of N moves the value linearly from its ramp start to its target.
void ramp(Ramped& p, double marker, int k, double invN) {
    if (p.start != marker) p.current = p.start + (p.target - p.start) * k * invN;
}
void ramp(RampedLobes& p, double marker, int k, double invN) {
    for (int i = 0; i < kLobeCount; ++i)
        if (p.start[i] != marker)
            p.current[i] = p.start[i] + (p.target[i] - p.start[i]) * k * invN;
}

template <class Group, std::size_t N>
void prepareGroup(ModelState& m, const Group (&group)[N]) {
    for (const auto& g : group) prepare(m.*g.member, g.marker);
}
template <class Group, std::size_t N>
void rampGroup(ModelState& m, const Group (&group)[N], int k, double invN) {
    for (const auto& g : group) ramp(m.*g.member, g.marker, k, invN);
}
template <class Group, std::size_t N>
void settleGroup(ModelState& m, const Group (&group)[N]) {
    for (const auto& g : group) (m.*g.member).current = (m.*g.member).target;
}

bool anyRamping(const Ramped& p, double marker) { return p.start != marker; }
bool anyRamping(const RampedLobes& p, double marker) {
    for (double s : p.start)
        if (s != marker) return true;
    return false;
}

double conductanceSum(const ModelState& m) {
    double H = 1.0 / m.Rcw.current;
    for (int i = 0; i < kLobeCount; ++i) H += 1.0 / m.Rt.current[i];
    return H;
}

void setParameterInitialValues(ModelState& m) {
    for (int i = 0; i < kLobeCount; ++i) {
        const double D = kLobeShare[i];
        m.Vmax.current[i] = m.Vmax.target[i] = 6.2 * D;
        m.C.current[i] = m.C.target[i] = 1.0;
        m.K.current[i] = m.K.target[i] = 500.0;
        m.W.current[i] = m.W.target[i] = 0.36 * D;
        m.Rm.current[i] = m.Rm.target[i] = 0.0567 / D;
        m.S.current[i] = m.S.target[i] = 0.4;
        m.Rt.current[i] = m.Rt.target[i] = 0.04 / D;
    }
    setBoth(m.Rcw, kChestWallR);
    setBoth(m.VminCw, kChestWallVmin);
    setBoth(m.cCw, kChestWallC);
    setBoth(m.aCw, chestWallShape());
    setBoth(m.Patm, 100.0);
    m.kL.current = m.kR.current = kKawInitial;
    setBoth(m.RL, kMainBronchusR);
    setBoth(m.RR, kMainBronchusR);
    setBoth(m.IL, kMainBronchusI);
    setBoth(m.IR, kMainBronchusI);
    setBoth(m.It, kTrachealI);
    setBoth(m.Rt1, kTrachealR1);
    setBoth(m.Rt2, kTrachealR2);
    setBoth(m.Pmus, 0.0);
    setBoth(m.Pmouth, 0.0);
    m.VnomL.current = m.VnomR.current = kVnomInitial;
    m.muscles = MusclePressures{};
    m.Z = 1.0;
}

void setStateInitialValues(ModelState& m) {
    m.Vtot = 3.13;
    m.VawL = m.VawR = 0.06;
    for (int i = 0; i < kLobeCount; ++i) {
        m.V[i] = (m.Vtot - m.VawL - m.VawR) * kLobeShare[i];
        m.X[i] = m.F[i] = m.dV[i] = 0;
        m.Rint[i] = 2.0 * m.Rm.current[i];
        m.Lim[i] = 0;
    }
    m.QL = m.QR = m.Q0 = m.dVtot = m.PawL = m.PawR = m.Pnode = 0;
}

// The validity limits of the state after a sub-step. Written so that NaN fails every test.
bool stateValid(const ModelState& m) {
    for (int i = 0; i < kLobeCount; ++i) {
        if (!(m.X[i] <= 2.0)) return false;
        if (!(m.V[i] >= 0.01 && m.V[i] <= 6.0)) return false;
        if (!(std::fabs(m.F[i]) <= 40.0) || !(std::fabs(m.dV[i]) <= 40.0)) return false;
        if (!(m.Pel[i] >= 0.01 && m.Pel[i] <= 10.0)) return false;
    }
    if (!(std::fabs(m.Q0) <= 40.0) || !(std::fabs(m.QL) <= 40.0)) return false;
    if (!(m.Pcw <= 10.0) || !(m.Vtot <= 20.0)) return false;
    // Not limits of the model, but a non-finite value anywhere is a failed step too.
    return std::isfinite(m.QR) && std::isfinite(m.VawL) && std::isfinite(m.VawR) &&
           std::isfinite(m.Ppl) && std::isfinite(m.Pcw) && std::isfinite(m.Vtot) &&
           std::isfinite(m.Pnode) && std::isfinite(m.dVtot);
}

bool accept(ModelState& m, const SolverResult& r) {
    m.evaluations += static_cast<std::uint64_t>(r.evaluations);
    if (r.failure == SolverFailure::None) return true;
    m.failed = true;
    m.beepOnFailure = r.failure == SolverFailure::IterationCap;
    return false;
}

// The lobe flows at P (stored), and 0.05 kPa higher (probe, for the slope).
bool solveWithProbe(ModelState& m, double P, double dPL, double dPR) {
    const LobeSolverInputs in{m.Palv, m.Poff.current, m.Rp, m.Rm.current, m.S.current};
    const SolverPairResult r =
        SolveLobeFlowsWithProbe(P, 0.05, dPL, dPR, in, {m.F, m.Lim, m.Rint}, m.Fprobe);
    return accept(m, r.update) && accept(m, r.probe);
}

bool solve(ModelState& m, double P, double dPL, double dPR) {
    const LobeSolverInputs in{m.Palv, m.Poff.current, m.Rp, m.Rm.current, m.S.current};
    return accept(m, SolveLobeFlows(SolverMode::Update, P, dPL, dPR, in, {m.F, m.Lim, m.Rint}));
}

} // namespace

ModelState::ModelState() {
    setParameterInitialValues(*this);
    VnomL.target = VnomR.target = kVnomInitial;
    kL.target = kR.target = kKawInitial;
    Poff.current.fill(0.0);
    Poff.target = kDefaultPleuralOffset;
    setStateInitialValues(*this);
    for (const auto& g : kLobeGroup) (this->*g.member).start.fill(g.marker);
    for (const auto& g : kChestLobeGroup) (this->*g.member).start.fill(g.marker);
    for (const auto& g : kAirwayGroup) (this->*g.member).start = g.marker;
    for (const auto& g : kChestGroup) (this->*g.member).start = g.marker;
    Pmus.start = Pmouth.start = kMarkerUnchanged;
    cbrtOf.fill(std::nan(""));
}

void InitialiseModel(ModelState& m) {
    setParameterInitialValues(m);
    setStateInitialValues(m);
    m.mainTransition = m.lobeTransition = m.airwayTransition = m.chestTransition = false;
    m.failed = m.beepOnFailure = false;
    m.t = 0;
    m.integrationClass = 4;

    // Settle: held without effort for 0.5 s, then the inspiratory pressure rises along a half
    // cosine, so the patient ends inflated and held; the run's settling releases it.
    const double Pinsp = m.muscles.Pinsp;
    do {
        m.Pmus.target = m.t < 0.5 ? 0.0 : (1 - std::cos((m.t - 0.5) * kPi / 2)) * 0.5 * Pinsp;
        ModelStep(m);
    } while (m.t <= 2.5 && !m.failed);
}

MusclePressures SetParameterTargets(ModelState& m, const SimulationRecord& reference,
                                    const SimulationRecord& run) {
    auto p = [&](int row, int column) {
        return (double{run.parameterMatrix[row][column]} / 100.0) *
               (double{reference.parameterMatrix[row][column]} / 100.0);
    };
    auto q = [&](int k) {
        return (double{run.options[k - 1]} / 100.0) * (double{reference.options[k - 1]} / 100.0);
    };
    constexpr int kLeft = lungPartRow(kLeftLung), kRight = lungPartRow(kRightLung),
                  kBoth = lungPartRow(kBothLungs);
    // A lobe's factor: its own row times its lung's row times the both-lungs row.
    auto lobeFactor = [&](int i, int column) {
        const int lungRow = i < 2 ? kLeft : kRight;
        return p(lungPartRow(i + 1), column) * p(lungRow, column) * p(kBoth, column);
    };

    m.Rt2.target = kTrachealR2 * p(kBoth, 0);
    m.RL.target = kMainBronchusR * (p(kLeft, 0) * p(kLeft, 0));
    m.RR.target = kMainBronchusR * (p(kRight, 0) * p(kRight, 0));
    m.VnomL.target = 0.5 * 0.032 * p(kBoth, 1) * p(kLeft, 1);
    m.kL.target = kKawInitial * p(kBoth, 1) * p(kLeft, 1);
    m.VnomR.target = 0.5 * 0.032 * p(kBoth, 1) * p(kRight, 1);
    m.kR.target = kKawInitial * p(kBoth, 1) * p(kRight, 1);

    double Z = 0;
    for (int i = 0; i < kLobeCount; ++i) {
        const double D = kLobeShare[i];
        const double P4 = lobeFactor(i, 4);
        m.Rm.target[i] = (0.0567 / D) * lobeFactor(i, 2);
        m.S.target[i] = 0.4 * lobeFactor(i, 3);
        m.K.target[i] = 500.0 / (P4 * P4);
        m.W.target[i] = 0.36 * D * lobeFactor(i, 5);
        m.Vmax.target[i] = 6.2 * D * lobeFactor(i, 6);
        m.C.target[i] = 1.0 * lobeFactor(i, 7);
        m.Rt.target[i] = 0.04 / D;
        Z += D * lobeFactor(i, 6);
    }
    m.Z = Z;
    m.VminCw.target = kChestWallVmin * Z;
    m.aCw.target = chestWallShape() * Z;
    m.cCw.target = kChestWallC * Z;
    m.Rcw.target = kChestWallR;
    m.Patm.target = 100.0;
    m.It.target = kTrachealI;
    m.IL.target = m.IR.target = kMainBronchusI;
    m.Rt1.target = kTrachealR1;
    m.Poff.target = kDefaultPleuralOffset;

    m.muscles = MusclePressures{3.54 * q(1), -2.5 * q(3), 68.04 * q(2), 0.025 * q(4)};
    return m.muscles;
}

void BeginTransition(ModelState& m) {
    m.mainTransition = m.lobeTransition = m.airwayTransition = m.chestTransition = true;
    m.transitionCounter = 100;
    m.Poff.current = m.Poff.target = kDefaultPleuralOffset;
    m.failed = m.beepOnFailure = false;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx"))) static void clearUpperVectorHalves() { __builtin_ia32_vzeroupper(); }
#endif

void ModelStep(ModelState& m) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx) clearUpperVectorHalves();
#endif
    const int N = subStepsOf(m.integrationClass);
    const double dt = 0.001 / N;
    const double invN = 1.0 / N;
    double H = conductanceSum(m);

    // Ramp starts. A group's ramps apply only in the steps that prepared them.
    prepare(m.Pmus, kMarkerUnchanged);
    prepare(m.Pmouth, kMarkerUnchanged);
    const bool lobeRamps = m.mainTransition && m.lobeTransition;
    const bool airwayRamps = m.mainTransition && m.airwayTransition;
    const bool chestRamps = m.mainTransition && m.chestTransition;
    if (lobeRamps) prepareGroup(m, kLobeGroup);
    if (airwayRamps) prepareGroup(m, kAirwayGroup);
    bool resistanceRamps = false;
    if (chestRamps) {
        prepareGroup(m, kChestLobeGroup);
        prepareGroup(m, kChestGroup);
        resistanceRamps = anyRamping(m.Rt, kMarkerZero) || anyRamping(m.Rcw, kMarkerZero);
    }

    for (int k = 1; k <= N; ++k) {
        m.t += dt;

        // Parameters and pressures for this sub-step.
        ramp(m.Pmus, kMarkerUnchanged, k, invN);
        ramp(m.Pmouth, kMarkerUnchanged, k, invN);
        if (lobeRamps) {
            rampGroup(m, kLobeGroup, k, invN);
            for (int i = 0; i < kLobeCount; ++i) {
                if (m.Vmax.current[i] < m.V[i] + 0.01) m.Vmax.current[i] = m.V[i] + 0.01;
                if (m.W.current[i] > m.V[i] - 0.001) m.W.current[i] = m.V[i] - 0.001;
            }
        }
        if (airwayRamps) rampGroup(m, kAirwayGroup, k, invN);
        if (chestRamps) {
            rampGroup(m, kChestLobeGroup, k, invN);
            rampGroup(m, kChestGroup, k, invN);
        }
        if (resistanceRamps) H = conductanceSum(m);

        // Chest wall: steep but finite below its minimal volume.
        const double VminCw = m.VminCw.current, aCw = m.aCw.current, cCw = m.cCw.current;
        if (m.Vtot > 1.0001 * VminCw)
            m.Pcw = (m.Vtot - aCw / std::sqrt(m.Vtot / VminCw - 1)) / cCw;
        else
            m.Pcw = -100 * aCw * m.Vtot / cCw;

        // Lobe recoil, alveolar pressure and peripheral resistance.
        for (int i = 0; i < kLobeCount; ++i) {
            const double theta = (m.V[i] / m.Vmax.current[i] - 0.17) * kPi / 2;
            m.Pel[i] = std::tan(theta) / m.C.current[i];
            m.Palv[i] = m.Patm.current * m.X[i] / m.V[i];
            const double W = m.W.current[i];
            const double Ve = m.V[i] > W + 0.0001 ? m.V[i] : W + 0.0001;
            // W changes only while the lobe's parameters ramp, so its root is kept.
            if (!(m.cbrtOf[i] == W)) {
                m.cbrtW[i] = std::cbrt(W);
                m.cbrtOf[i] = W;
            }
            const double d = std::cbrt(Ve) - m.cbrtW[i];
            m.Rp[i] = 1 / (m.K.current[i] * (d * d * d * d));
        }

        // Collapsible airways: pressure relative to the pleural pressure, from their filling
        // and the flow through them (lobe flows of the previous sub-step).
        const double F1 = m.F[0], F2 = m.F[1], F3 = m.F[2], F4 = m.F[3], F5 = m.F[4];
        double dPL, dPR;
        {
            const double VnomL = m.VnomL.current;
            double r = m.VawL / VnomL;
            if (r < 0.001) r = 0.001;
            const double Va = m.VawL > 0.001 ? m.VawL : 0.001;
            const double EL = std::fabs(r - 1) * (1 - 1 / r) * VnomL / m.kL.current;
            const double Rv =
                (1 / (1 / m.Rm.current[0] + 1 / m.Rm.current[1]) + 0.4) * (VnomL + Va) / Va;
            dPL = EL + 0.05 * Rv * (m.QL - F1 - F2);
        }
        {
            const double VnomR = m.VnomR.current;
            double r = m.VawR / VnomR;
            if (r < 0.001) r = 0.001;
            const double Va = m.VawR > 0.001 ? m.VawR : 0.001;
            const double ER = std::fabs(r - 1) * (1 - 1 / r) * VnomR / m.kR.current;
            const double Rv = (1 / (1 / m.Rm.current[2] + 1 / m.Rm.current[3] +
                                    1 / m.Rm.current[4]) +
                               0.1) *
                              (VnomR + Va) / Va;
            dPR = ER + 0.05 * Rv * (m.QR - F3 - F4 - F5);
        }

        // Pleural pressure: a first estimate, the lobe flows there and 0.05 kPa higher, then
        // one secant step towards the pressure where the chest wall and the lobes agree.
        const double Rcw = m.Rcw.current;
        double sumA = 0;
        for (int i = 0; i < kLobeCount; ++i) {
            m.A[i] = (m.Palv[i] - m.Poff.current[i] - m.Pel[i]) / m.Rt.current[i];
            sumA += m.A[i];
        }
        const double G = H - 1 / Rcw;
        const double Pmus = m.Pmus.current;
        double Qaw = (m.QL - F1 - F2) + (m.QR - F3 - F4 - F5);
        const double P0 = ((sumA + Qaw) * Rcw + m.Pcw + Pmus) / (Rcw * G + 1);
        if (!solveWithProbe(m, P0, dPL, dPR)) return;
        double slope = 0;
        for (int i = 0; i < kLobeCount; ++i) slope += (m.Fprobe[i] - m.F[i]) / 0.05;
        Qaw = (m.QL - m.F[0] - m.F[1]) + (m.QR - m.F[2] - m.F[3] - m.F[4]);
        const double P1 = ((sumA + Qaw) * Rcw + m.Pcw + Pmus) / (Rcw * G + 1);
        m.Ppl = (P0 * slope + P1 * H) / (slope + H);
        if (!solve(m, m.Ppl, dPL, dPR)) return;

        m.PawL = m.Ppl + dPL;
        m.PawR = m.Ppl + dPR;
        const double inflowL = m.QL - m.F[0] - m.F[1];
        const double inflowR = m.QR - m.F[2] - m.F[3] - m.F[4];
        m.dVtot = inflowL + inflowR;
        for (int i = 0; i < kLobeCount; ++i) {
            m.dV[i] = m.A[i] - m.Ppl / m.Rt.current[i];
            m.dVtot += m.dV[i];
            m.PplLobe[i] = m.Ppl + m.Poff.current[i];
        }

        // Bifurcation pressure: it makes the inertial changes of QL and QR add up to Q0's.
        const double IL = m.IL.current, IR = m.IR.current, It = m.It.current;
        const double gL = (std::fabs(m.QL) + 1) * m.RL.current * m.QL;
        const double gR = (std::fabs(m.QR) + 1) * m.RR.current * m.QR;
        const double g0 = (std::fabs(m.Q0) * m.Rt2.current + m.Rt1.current) * m.Q0;
        const double Pmouth = m.Pmouth.current;
        m.Pnode = ((m.PawL + gL) * It / IL + Pmouth + (m.PawR + gR) * It / IR - g0) /
                  (It / IL + 1 + It / IR);

        m.QL = m.QL + dt * (m.Pnode - m.PawL - gL) / IL;
        m.QR = m.QR + dt * (m.Pnode - m.PawR - gR) / IR;
        m.Q0 = m.Q0 + dt * (Pmouth - m.Pnode - g0) / It;

        m.VawL = m.VawL + dt * (m.QL - m.F[0] - m.F[1]);
        m.VawR = m.VawR + dt * (m.QR - m.F[2] - m.F[3] - m.F[4]);
        m.Vtot = m.Vtot + dt * m.dVtot;
        for (int i = 0; i < kLobeCount; ++i) {
            m.X[i] = m.X[i] + dt * (m.F[i] - m.dV[i]);
            m.V[i] = m.V[i] + dt * m.dV[i];
        }

        if (!stateValid(m)) {
            m.failed = true;
            return;
        }
    }

    // End of step: the groups reach their targets, except where a lobe's volume still keeps
    // its new maximal or closing volume from being reached.
    if (m.mainTransition) {
        if (m.lobeTransition) {
            m.lobeTransition = false;
            for (int i = 0; i < kLobeCount; ++i) {
                if (m.V[i] + 0.01 <= m.Vmax.target[i]) {
                    m.Vmax.current[i] = m.Vmax.target[i];
                } else {
                    m.Vmax.current[i] = m.V[i] + 0.01;
                    m.lobeTransition = true;
                }
                m.C.current[i] = m.C.target[i];
                m.K.current[i] = m.K.target[i];
                m.Rm.current[i] = m.Rm.target[i];
                m.S.current[i] = m.S.target[i];
                if (m.V[i] - 0.001 >= m.W.target[i]) {
                    m.W.current[i] = m.W.target[i];
                } else {
                    m.W.current[i] = m.V[i] - 0.001;
                    m.lobeTransition = true;
                }
            }
        }
        if (m.airwayTransition) {
            settleGroup(m, kAirwayGroup);
            m.airwayTransition = false;
        }
        if (m.chestTransition) {
            settleGroup(m, kChestLobeGroup);
            settleGroup(m, kChestGroup);
            m.chestTransition = false;
        }
    }
    m.transitionCounter -= 1;
    if (!m.lobeTransition && m.transitionCounter < 0) m.mainTransition = false;
    m.Pmus.current = m.Pmus.target;
    m.Pmouth.current = m.Pmouth.target;
}

} // namespace pulmora
