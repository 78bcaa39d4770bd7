#pragma once
// What the results tables show, as texts: the indices table against the reference, the rows
// of the history table and of the option column. The window copies them into its grids.

#include <array>
#include <string>

namespace pulmora {

struct RunHistory;
struct SimulationRecord;

constexpr int kIndicesColumns = 5;
constexpr int kIndicesRows = 16;
constexpr int kHistoryColumns = 11;

// The cells of the indices table; cells no fill writes keep what they held.
struct IndicesTableTexts {
    std::array<std::array<std::string, kIndicesColumns>, kIndicesRows> cells; // [row][column]
    const std::string& at(int col, int row) const { return cells[row][col]; }
};

// Fills the table from `slot` against the reference (slot 0); without `showObserved` the
// observed and percentage columns are emptied. Returns the comment section the selected run's
// status calls for (11 completed, 9 dead, 10 failed), or 0 for none.
int FillIndicesTable(IndicesTableTexts& table, const RunHistory& history, int slot,
                     bool showObserved, char separator = '.');

// The texts of one history row: the stored row of `lungPart`, whole numbers after three spaces,
// in table columns 0, 1, 3, 6, 7, 9 and 10 (the stiffness column 4 and the spacers 2, 5, 8 are
// not written and come back empty).
struct HistoryRowTexts {
    std::array<std::string, kHistoryColumns> cells;
    std::array<bool, kHistoryColumns> written{};
    std::string option; // the selected option's stored value
};
HistoryRowTexts FillHistoryRow(const SimulationRecord& record, int lungPart, int option,
                               char separator = '.');

// "   " followed by the value as a whole number: the text of a history or option cell.
std::string historyCellText(double value, char separator = '.');

} // namespace pulmora
