#include "core/session.h"

#include "results/history_commands.h"

namespace pulmora {

Session::Session()
    : history(makeRunHistory()), previousNewest(std::make_unique<SimulationRecord>()) {}

void StartSession(Session& session) {
    session.history->runCount = 0;
    session.history->selectedRun = -1;
    session.parameters.resetToDefaults();
    InitialiseModel(session.model);
    resetParameterCopies(*session.history);
}

RunSummary PerformRun(Session& session, RunObserver* observer) {
    RunHistory& history = *session.history;
    *session.previousNewest = history.slot(1);
    clearForRun(history.slot(1));
    copyIntoRecord(session.parameters, history.slot(1));
    const RunSummary summary =
        RunManoeuvre(history, session.model, session.driver, session.parameters.displayVariable,
                     session.parameters.selectedLungPart, observer);
    AddRun(history, *session.previousNewest);
    return summary;
}

} // namespace pulmora
