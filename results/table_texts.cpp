#include "results/table_texts.h"

#include <cmath>

#include "core/simulation_record.h"
#include "results/number_format.h"

namespace pulmora {

namespace {

struct IndexRow {
    int row;                          // row of the table
    const char* name;                 // shown in column 0
    const char* unit;                 // shown in column 1
    float SimulationRecord::*field;   // the index in the record
    bool volumeIndex;                 // independent of the DisplayVariable
};

constexpr IndexRow kIndexRows[] = {
    {1, "FEV1", "l", &SimulationRecord::fev1, true},
    {2, "FVCEX", "l", &SimulationRecord::fvc, true},
    {3, "FEV1%FVC", "%", &SimulationRecord::fev1PercentFvc, true},
    {4, "PEF", "l/s", &SimulationRecord::pef, false},
    {5, "MEF75", "l/s", &SimulationRecord::mef75, false},
    {6, "MEF50", "l/s", &SimulationRecord::mef50, false},
    {7, "MEF25", "l/s", &SimulationRecord::mef25, false},
    {8, "ERV", "l", &SimulationRecord::erv, true},
    {11, "FET", "s", &SimulationRecord::fet, false},
    {12, "FRC", "l", &SimulationRecord::frc, false},
    {13, "TLC", "l", &SimulationRecord::tlc, false},
    {15, "Variable", " ", &SimulationRecord::displayVariableCode, false},
};

int commentFor(float status) {
    if (status == -1.0f) return 10;
    if (status == 0.0f) return 9;
    if (status == 1.0f) return 11;
    return 0;
}

} // namespace

int FillIndicesTable(IndicesTableTexts& t, const RunHistory& history, int slot, bool showObserved,
                     char sep) {
    auto& cells = t.cells;
    cells[0][1] = "Unit";
    cells[0][2] = "Ref.";
    cells[0][3] = "Obs.";
    cells[0][4] = "%";
    const SimulationRecord& observed = history.slot(slot);
    const SimulationRecord& reference = history.slot(0);
    // The status that decides the observed column is the selected run's, or the reference's.
    const int statusSlot = history.selectedRun >= 1 && history.selectedRun < kHistorySlots
                               ? history.selectedRun
                               : 0;
    const float status = history.slot(statusSlot).runStatus;
    const bool completed = status == 1.0f;
    const bool airflowVariable = observed.displayVariableCode < 4;

    for (const IndexRow& ix : kIndexRows) {
        auto& row = cells[ix.row];
        const bool isVariable = ix.field == &SimulationRecord::displayVariableCode;
        const bool isFet = ix.field == &SimulationRecord::fet;
        const double o = observed.*ix.field;
        const double r = isVariable ? 0.0 : double{reference.*ix.field};
        row[0] = ix.name;
        row[1] = ix.unit;
        if (!isFet && !isVariable) row[2] = formatFixed(r, 4, 2, sep);
        if (!showObserved) {
            row[3].clear();
            row[4].clear();
            continue;
        }
        if (isVariable) {
            row[3] = formatFixed(o, 2, 0, sep);
            continue;
        }
        row[3] = completed ? formatFixed(o, 4, 2, sep) : status == 0.0f ? "dead" : "error";
        const bool percentage =
            r > 0 && completed && !isFet && (airflowVariable || ix.volumeIndex);
        row[4] = percentage ? formatFixed(100 * o / r, 3, 0, sep) : " ";
    }
    return commentFor(status);
}

std::string historyCellText(double value, char sep) { return "   " + formatFixed(value, 5, 0, sep); }

HistoryRowTexts FillHistoryRow(const SimulationRecord& record, int lungPart, int option, char sep) {
    HistoryRowTexts texts;
    const auto& m = record.parameterMatrix[lungPartRow(lungPart)];
    // Matrix column -> table column; the stiffness column is written by its slider only.
    constexpr int kTableColumn[kColumnCount] = {0, 1, 3, -1, 6, 7, 9, 10};
    for (int c = 0; c < kColumnCount; ++c) {
        if (kTableColumn[c] < 0) continue;
        texts.cells[kTableColumn[c]] = historyCellText(m[c], sep);
        texts.written[kTableColumn[c]] = true;
    }
    if (option >= 1 && option <= kOptionCount)
        texts.option = historyCellText(record.options[option - 1], sep);
    return texts;
}

} // namespace pulmora
