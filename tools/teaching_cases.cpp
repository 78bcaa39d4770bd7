#include "tools/teaching_cases.h"

#include <cstring>

#include "core/session.h"
#include "core/simulation_record.h"

namespace pulmora {

namespace {

const char* severityName(Severity severity) {
    switch (severity) {
    case kMild:
        return "mild";
    case kModerate:
        return "moderate";
    default:
        return "severe";
    }
}

} // namespace

ParameterSet caseParameters(const TeachingCase& teachingCase, Severity severity) {
    ParameterSet set;
    for (int i = 0; i < kMaxCaseColumns; ++i) {
        const int column = teachingCase.columns[i];
        if (column != kNoColumn)
            set.cell(teachingCase.lungPart, column) = teachingCase.values[severity][i];
    }
    return set;
}

std::unique_ptr<RunHistory> recordStandardHistory() {
    Session session;
    RunHistory& history = *session.history;
    for (auto& record : history.records)
        for (float& o : record.options)
            o = 100.0f;
    StartSession(session);
    if (PerformRun(session).status != 1) return nullptr;
    // The completed run becomes the reference; the other slots carry no run.
    history.slot(0) = history.slot(1);
    for (int s = 1; s < kHistorySlots; ++s) {
        std::memset(&history.slot(s), 0, sizeof(SimulationRecord));
        for (float& o : history.slot(s).options)
            o = 100.0f;
    }
    resetParameterCopies(history);
    history.runCount = 0;
    history.selectedRun = -1;
    return std::move(session.history);
}

std::unique_ptr<RunHistory> recordTeachingCase(const RunHistory& standard,
                                               const TeachingCase& teachingCase,
                                               std::string& error) {
    // A fresh patient, as at start-up: the standard history loaded, then the model settled.
    Session session;
    session.history->records = standard.records;
    StartSession(session);
    for (Severity severity : kRecordingOrder) {
        const ParameterSet set = caseParameters(teachingCase, severity);
        session.parameters.matrix = set.matrix;
        session.parameters.options = set.options;
        const RunSummary run = PerformRun(session);
        if (run.status != 1) {
            error = std::string(teachingCase.fileName) + ": the " + severityName(severity) +
                    " run did not complete (status " + std::to_string(run.status) + ")";
            return nullptr;
        }
    }
    return std::move(session.history);
}

} // namespace pulmora
