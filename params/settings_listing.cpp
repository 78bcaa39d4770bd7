#include "params/settings_listing.h"

#include <QPainter>

#include <algorithm>

#include "core/simulation_record.h"
#include "results/number_format.h"
#include "toolkit/string_grid.h"

namespace pulmora {

namespace {

// The program's own short names of the matrix columns, then of the lung parts.
constexpr const char* kColumnHeaders[kListingSize] = {
    "", "R", "VDc", "R(1/swiat)", "--stiff--", "OBW. R(1/swia)", "CCC", "Rozmiar", "Cm"};
constexpr const char* kRowHeaders[kListingSize] = {"",
                                                   "Both lungs",
                                                   "Left lung",
                                                   "Right lung",
                                                   "Upper Left L.",
                                                   "Lower Left L.",
                                                   "Upper Right L.",
                                                   "Middle Right L.",
                                                   "Lower Right L."};
// The lung part each listing row stands for.
constexpr int kRowLungParts[kListingSize] = {0,
                                             kBothLungs,
                                             kLeftLung,
                                             kRightLung,
                                             kLeftUpperLobe,
                                             kLeftLowerLobe,
                                             kRightUpperLobe,
                                             kRightMiddleLobe,
                                             kRightLowerLobe};
constexpr int kStiffnessColumn = 4; // stiffness is not listed

const QColor kFixedColour(0xC0, 0xC0, 0xC0);
constexpr int kTextInset = 2; // the text starts this far right of a cell's left edge

} // namespace

SettingsListingTexts SettingsListing(const RunHistory& history) {
    SettingsListingTexts t;
    const int s = history.selectedRun >= 1 ? history.selectedRun : 0;
    const SimulationRecord& run = history.slot(s);
    const SimulationRecord& reference = history.slot(0);
    for (int j = 0; j < kListingSize; ++j)
        t.cells[0][j] = kColumnHeaders[j];
    for (int i = 1; i < kListingSize; ++i) {
        t.cells[i][0] = kRowHeaders[i];
        const int row = lungPartRow(kRowLungParts[i]);
        for (int j = 1; j < kListingSize; ++j) {
            if (j == kStiffnessColumn) continue;
            t.cells[i][j] = formatFixed(run.parameterMatrix[row][j - 1], 5, 0) + " (" +
                            formatFixed(reference.parameterMatrix[row][j - 1], 5, 0) + ")";
        }
    }
    return t;
}

SettingsListingWindow::SettingsListingWindow(const SettingsListingTexts& texts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName("SettingsListing");
    setWindowTitle("Settings");
    table_ = new StringGrid(this);
    table_->setObjectName("SettingsTable");
    table_->setColCount(kListingSize);
    table_->setRowCount(kListingSize);
    table_->setFixedRows(1);
    table_->setVerticalScrollBar(false);
    for (int r = 0; r < kListingSize; ++r)
        for (int c = 0; c < kListingSize; ++c)
            table_->setCells(c, r, QString::fromStdString(texts.at(c, r)));
    // The first column is fixed like the header row.
    table_->onDrawCell = [this](QPainter& p, int c, int r, const QRect& rect) {
        p.fillRect(rect, c == 0 || r == 0 ? kFixedColour : table_->color());
        p.save();
        p.setClipRect(rect);
        p.drawText(rect.adjusted(kTextInset, kTextInset, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                   table_->cells(c, r));
        p.restore();
    };
    // To look at, not to select or edit.
    table_->setEnabled(false);
    // The window font; a column wider than the default where its longest text needs it, so
    // that the lung parts and the headers read whole.
    QFont font;
    font.setFamilies({"MS Sans Serif", "Liberation Sans", "DejaVu Sans"});
    font.setPixelSize(11);
    setFont(font);
    table_->setFont(font);
    const QFontMetrics metrics(font);
    for (int c = 0; c < kListingSize; ++c) {
        int widest = StringGrid::kDefaultColWidth;
        for (int r = 0; r < kListingSize; ++r)
            widest =
                std::max(widest, metrics.horizontalAdvance(table_->cells(c, r)) + 2 * kTextInset);
        table_->setColWidth(c, widest);
    }
    int width = 0, height = 0;
    for (int c = 0; c < kListingSize; ++c)
        width += table_->colWidth(c) + StringGrid::kGridLineWidth;
    for (int r = 0; r < kListingSize; ++r)
        height += table_->rowHeight(r) + StringGrid::kGridLineWidth;
    table_->setGeometry(0, 0, width, height);
    setFixedSize(width, height);
}

} // namespace pulmora
