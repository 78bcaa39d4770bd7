#pragma once
// The program's single long-lived objects, in one plain struct. The window owns one; the
// headless tool, the tests and the benchmarks make as many as they need, so independent runs
// can go in parallel.

#include <memory>

#include "core/manoeuvre_driver.h"
#include "core/parameter_set.h"
#include "core/respiratory_model.h"
#include "core/simulation_record.h"

namespace pulmora {

struct Session {
    ParameterSet parameters;              // inputs of the next run
    std::unique_ptr<RunHistory> history;  // reference and runs
    ModelState model;                     // the virtual patient
    DriverState driver;                   // the examination's own state
    std::unique_ptr<SimulationRecord> previousNewest; // scratch: slot 1 before a run

    Session();
};

// The start-up state of a patient: the parameter set at 100 %, the model initialised and
// settled, the stored parameters of every slot at 100 %. The history's records (curves,
// options) are whatever the caller loaded before.
void StartSession(Session& session);

// The simulation part of "START": slot 1 is saved, cleared and given the parameter set, the
// examination is recorded into it, and the history moves down with the new run selected.
RunSummary PerformRun(Session& session, RunObserver* observer = nullptr);

} // namespace pulmora
