#pragma once
// The bookkeeping of the run history.

namespace pulmora {

struct RunHistory;
struct SimulationRecord;

// After a run: the older runs move down (what was in slot 4 is lost), the run that was newest
// before (its saved copy) takes slot 2, the new run stays in slot 1 and is selected.
void AddRun(RunHistory& history, const SimulationRecord& previousNewest);

} // namespace pulmora
