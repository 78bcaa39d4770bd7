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

bool DeleteSelectedRun(RunHistory& history, int lungPart) {
    const int s = history.selectedRun;
    if (s < 1 || s >= kHistorySlots) return false;
    for (int i = s; i <= 3; ++i) history.slot(i) = history.slot(i + 1);
    for (int c = 0; c < kColumnCount; ++c)
        history.slot(4).parameterMatrix[lungPartRow(lungPart)][c] = 100.0f;
    if (history.runCount > 0) history.runCount -= 1;
    for (int i = history.runCount + 1; i <= 4; ++i) emptySlot(history.slot(i));
    history.selectedRun = history.runCount == 0 ? -1 : 1;
    return true;
}

namespace {

// One value of every record: an option or a matrix cell, by a pointer into the record.
template <class Access>
void rebaseValue(RunHistory& history, int s, Access value, float& aside) {
    const float divisor = value(history.slot(s));
    aside = value(history.slot(0)) * divisor / 100.0f;
    for (int j = 1; j <= history.runCount; ++j) {
        if (j == s || divisor == 0.0f) continue;
        value(history.slot(j)) = 100.0f * value(history.slot(j)) / divisor;
    }
    if (divisor != 0.0f) value(history.slot(s)) = 100.0f * divisor / divisor;
}

} // namespace

void RebaseRunsOn(RunHistory& history, int s) {
    if (s < 1 || s > history.runCount) return;
    float options[kOptionCount];
    float cells[kLungPartCount][kColumnCount];
    for (int i = 0; i < kOptionCount; ++i)
        rebaseValue(
            history, s, [i](SimulationRecord& r) -> float& { return r.options[i]; }, options[i]);
    for (int row = 0; row < kLungPartCount; ++row)
        for (int c = 0; c < kColumnCount; ++c)
            rebaseValue(
                history, s,
                [row, c](SimulationRecord& r) -> float& { return r.parameterMatrix[row][c]; },
                cells[row][c]);
    SimulationRecord& reference = history.slot(0);
    reference = history.slot(s);
    for (int i = 0; i < kOptionCount; ++i) reference.options[i] = options[i];
    for (int row = 0; row < kLungPartCount; ++row)
        for (int c = 0; c < kColumnCount; ++c) reference.parameterMatrix[row][c] = cells[row][c];
}

void RestoreAbsoluteRunValues(RunHistory& history) {
    const SimulationRecord& reference = history.slot(0);
    for (int row = 0; row < kLungPartCount; ++row)
        for (int j = 1; j <= history.runCount; ++j)
            for (int c = 0; c < kColumnCount; ++c) {
                float& v = history.slot(j).parameterMatrix[row][c];
                v = v * reference.parameterMatrix[row][c] / 100.0f;
            }
    for (int j = 1; j <= history.runCount; ++j)
        for (int i = 0; i < 16; ++i) {
            float& v = history.slot(j).options[i];
            v = v * reference.options[i] / 100.0f;
        }
}

} // namespace pulmora
