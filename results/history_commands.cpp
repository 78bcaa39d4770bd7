#include "results/history_commands.h"

#include "core/simulation_record.h"

namespace pulmora {

void AddRun(RunHistory& history, const SimulationRecord& previousNewest) {
    history.slot(4) = history.slot(3);
    history.slot(3) = history.slot(2);
    history.slot(2) = previousNewest;
    history.selectedRun = 1;
    if (history.runCount < kShownRuns) history.runCount += 1;
}

} // namespace pulmora
