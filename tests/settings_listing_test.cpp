// The settings listing: the texts from the history, and the window from its three places.

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>

#include "core/simulation_record.h"
#include "main_window_fixture.h"
#include "params/settings_listing.h"
#include "toolkit/string_grid.h"
#include "toolkit/track_bar.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;

namespace {

constexpr const char* kHeaders[kListingSize] = {
    "", "R", "VDc", "R(1/swiat)", "--stiff--", "OBW. R(1/swia)", "CCC", "Rozmiar", "Cm"};
constexpr const char* kLungParts[kListingSize] = {"",
                                                  "Both lungs",
                                                  "Left lung",
                                                  "Right lung",
                                                  "Upper Left L.",
                                                  "Lower Left L.",
                                                  "Upper Right L.",
                                                  "Middle Right L.",
                                                  "Lower Right L."};

std::unique_ptr<RunHistory> historyAt100() {
    auto h = makeRunHistory();
    resetParameterCopies(*h);
    return h;
}

TEST(SettingsListing, WithNoRunSelectedEveryCellListsTheReferenceTwice) {
    const auto history = historyAt100();
    const SettingsListingTexts t = SettingsListing(*history);
    for (int j = 0; j < kListingSize; ++j)
        EXPECT_EQ(t.at(j, 0), kHeaders[j]) << j;
    for (int i = 1; i < kListingSize; ++i) {
        EXPECT_EQ(t.at(0, i), kLungParts[i]) << i;
        for (int j = 1; j < kListingSize; ++j)
            EXPECT_EQ(t.at(j, i), j == 4 ? "" : "100 (100)") << "row " << i << ", column " << j;
    }
}

TEST(SettingsListing, ShowsTheSelectedRunsStoredValueBesideTheReferences) {
    auto history = historyAt100();
    history->runCount = 2;
    history->selectedRun = 2;
    // Row "Right lung" (part -1), column "CCC" (matrix column 5); the reference at 150 %.
    history->slot(2).parameterMatrix[lungPartRow(kRightLung)][5] = 249.6f;
    history->slot(0).parameterMatrix[lungPartRow(kRightLung)][5] = 150.0f;
    history->slot(1).parameterMatrix[lungPartRow(kRightLung)][5] = 800.0f; // not selected
    history->slot(2).parameterMatrix[lungPartRow(kRightLung)][3] = 300.0f; // stiffness
    const SettingsListingTexts t = SettingsListing(*history);
    EXPECT_EQ(t.at(6, 3), "250 (150)");
    EXPECT_EQ(t.at(4, 3), "");
    EXPECT_EQ(t.at(6, 1), "100 (100)");
}

// After the left lung's peripheral resistance is raised to 400 % and a run is made, the
// listing opened from each of its three places shows 400 against the reference's 100.
TEST(SettingsListingWindow, OpensFromItsThreePlacesWithTheSelectedRun) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.menuItem("Leftlung1")->trigger();
    w.TrackBars[5]->setPosition(positionFromValue(kColumnSliders[4], 400.0));
    ASSERT_EQ(w.state().session.parameters.cell(kLeftLung, 4), 400.0);
    w.Button2Click();
    ASSERT_EQ(w.state().session.history->selectedRun, 1);

    QStringList seen;
    w.modalWindowHook = [&](QWidget& window) {
        auto* table = window.findChild<StringGrid*>("SettingsTable");
        ASSERT_NE(table, nullptr);
        seen << table->cells(5, 2);
        EXPECT_EQ(table->cells(5, 1), "100 (100)");
        EXPECT_EQ(table->cells(4, 2), "");
        EXPECT_EQ(table->cells(0, 2), "Left lung");
        EXPECT_FALSE(table->isEnabled()) << "to look at, not to edit";
        // Every cell shows exactly, each column at least 64 pixels and as wide as its
        // longest text needs; 24 pixels a row; one more for each grid line.
        int width = 0;
        const QFontMetrics metrics(table->font());
        for (int c = 0; c < kListingSize; ++c) {
            EXPECT_GE(table->colWidth(c), StringGrid::kDefaultColWidth);
            for (int r = 0; r < kListingSize; ++r)
                EXPECT_LE(metrics.horizontalAdvance(table->cells(c, r)) + 2, table->colWidth(c))
                    << table->cells(c, r).toStdString();
            width += table->colWidth(c) + 1;
        }
        EXPECT_EQ(table->size(), QSize(width, 9 * 25));
        EXPECT_EQ(window.size(), table->size());
    };
    w.menuItem("parametry2")->trigger(); // "Settings" of "Lobes"
    w.menuItem("parametry1")->trigger(); // "Settins" of the history table's menu
    w.Button12->click();                 // "Settings" in "Selected row"
    EXPECT_EQ(seen, (QStringList{"400 (100)", "400 (100)", "400 (100)"}));
    EXPECT_EQ(w.menuItem("parametry1")->text(), "Settins");
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
}

} // namespace
