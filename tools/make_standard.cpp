// Writes the standard history the program starts with: the standard examination (every cell
// and option at 100 %) as the reference in slot 0, the run slots empty.

#include <cstdio>
#include <cstring>

#include "core/session.h"
#include "files/simulation_file.h"

using namespace pulmora;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pulmora-make-standard OUTPUT\n");
        return 2;
    }
    Session session;
    RunHistory& history = *session.history;
    for (auto& record : history.records)
        for (float& o : record.options) o = 100.0f;
    StartSession(session);
    const RunSummary run = PerformRun(session);
    if (run.status != 1) {
        std::fprintf(stderr, "pulmora-make-standard: the standard examination did not complete\n");
        return 1;
    }
    // The completed run becomes the reference; the other slots carry no run.
    history.slot(0) = history.slot(1);
    for (int s = 1; s < kHistorySlots; ++s) {
        std::memset(&history.slot(s), 0, sizeof(SimulationRecord));
        for (float& o : history.slot(s).options) o = 100.0f;
    }
    resetParameterCopies(history);
    const FileResult saved = writeSimulationFile(argv[1], history);
    if (!saved.ok) {
        std::fprintf(stderr, "pulmora-make-standard: %s\n", saved.error.c_str());
        return 1;
    }
    return 0;
}
