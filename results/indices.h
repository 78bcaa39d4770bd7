#pragma once
// The spirometric indices of a completed run, derived from its sampled curves.

namespace pulmora {

struct SimulationRecord;

// Writes fev1, fvc, fev1PercentFvc, pef, mef75/50/25, erv and tlc from the loop, the
// one-second volume the driver left in fev1, frc and fet. Call once, on a completed run.
void DeriveIndices(SimulationRecord& record);

} // namespace pulmora
