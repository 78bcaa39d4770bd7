#pragma once
// The bookkeeping of the run history: adding, deleting and promoting runs, and the rescaling
// that keeps the runs' percentages meaningful when the reference changes.

namespace pulmora {

struct RunHistory;
struct SimulationRecord;

// After a run: the older runs move down (what was in slot 4 is lost), the run that was newest
// before (its saved copy) takes slot 2, the new run stays in slot 1 and is selected.
void AddRun(RunHistory& history, const SimulationRecord& previousNewest);

// Deletes the selected run: the records below it move up, slot 4 keeps its content but the
// stored row of `lungPart` there becomes 100 %, the count drops by one and the slots beyond
// it are emptied. The selection becomes 1, or -1 when no run is left. Nothing happens without
// a selection. Returns whether a run was deleted.
bool DeleteSelectedRun(RunHistory& history, int lungPart);

// Makes run s the reference: the new reference's percentages are the old reference's times
// run s's; every other shown run is divided by run s (x 100) and run s reads 100 throughout.
// A zero divisor leaves a value unchanged. Slot 0 becomes a whole copy of slot s with the new
// reference percentages. All arithmetic on the records' single-precision values.
void RebaseRunsOn(RunHistory& history, int s);

// Before the standard reference replaces slot 0: each shown run's cells (and options 1 ... 16)
// are multiplied back by the reference's, so that they stay absolute.
void RestoreAbsoluteRunValues(RunHistory& history);

} // namespace pulmora
