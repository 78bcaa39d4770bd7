#pragma once
// The settings listing: the whole parameter matrix of the selected run beside the reference's,
// for all eight lung parts, in a small window the user looks at but cannot edit.

#include <QDialog>

#include <array>
#include <string>

namespace pulmora {

struct RunHistory;
class StringGrid;

constexpr int kListingSize = 9; // rows and columns, the headers included

// The texts of the listing: [row][column]; row 0 and column 0 are the headers.
struct SettingsListingTexts {
    std::array<std::array<std::string, kListingSize>, kListingSize> cells;
    const std::string& at(int col, int row) const { return cells[row][col]; }
};

// Cell (row i, column j) holds the selected run's stored value of matrix cell (lung part of
// row i, column j - 1) and the reference's in parentheses, both whole numbers; with no run
// selected both are the reference's. The stiffness column stays empty.
SettingsListingTexts SettingsListing(const RunHistory& history);

// The modal listing window; its table is sized to show every cell exactly.
class SettingsListingWindow : public QDialog {
  public:
    explicit SettingsListingWindow(const SettingsListingTexts& texts, QWidget* parent = nullptr);
    StringGrid* table() const { return table_; }

  private:
    StringGrid* table_ = nullptr;
};

} // namespace pulmora
