#include "results/indices.h"

#include "core/simulation_record.h"

namespace pulmora {

void DeriveIndices(SimulationRecord& r) {
    // One scan: the largest volume (first wins a tie), the smallest volume that is not the
    // empty tail, and the most negative flow.
    double Vmax = 0, Vmin = 100, peak = 0;
    int kmax = 1;
    for (int k = 1; k <= kFlowVolumeSamples; ++k) {
        const double V = r.volumeCurve[k - 1];
        const double F = r.flowCurve[k - 1];
        if (V > Vmax) {
            Vmax = V;
            kmax = k;
        }
        if (V > 0 && V < Vmin) Vmin = V;
        if (F < 0 && F < peak) peak = F;
    }
    const double pef = -peak;
    const double fvc = Vmax - Vmin;
    const double fev1 = Vmax - double{r.fev1};
    const double fev1Percent = 100 * fev1 / fvc;
    const double erv = double{r.frc} - Vmin;

    // The expiratory flows once 75, 50 and 25 % of the capacity remain to be exhaled, after
    // the loop's maximum.
    struct Fraction {
        double fraction;
        float& value;
    };
    Fraction mefs[] = {{0.75, r.mef75}, {0.5, r.mef50}, {0.25, r.mef25}};
    for (int k = kmax + 1; k <= kFlowVolumeSamples; ++k)
        for (Fraction& m : mefs)
            if (m.value == 0 && double{r.volumeCurve[k - 1]} - Vmin < m.fraction * fvc)
                m.value = -r.flowCurve[k - 1];

    r.pef = static_cast<float>(pef);
    r.fvc = static_cast<float>(fvc);
    r.fev1 = static_cast<float>(fev1);
    r.fev1PercentFvc = static_cast<float>(fev1Percent);
    r.erv = static_cast<float>(erv);
    r.tlc = static_cast<float>(Vmax);
}

} // namespace pulmora
