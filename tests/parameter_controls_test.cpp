#include <gtest/gtest.h>

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "main_window_fixture.h"
#include "toolkit/string_grid.h"
#include "toolkit/track_bar.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;

namespace {

std::vector<int> enabledSliders(const TForm1& w) {
    std::vector<int> on;
    for (int k = 1; k <= 8; ++k)
        if (w.TrackBars[k]->isEnabled()) on.push_back(k);
    return on;
}

void clickPanel(QFrame* panel) { QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(2, 2)); }

struct EnableCase {
    const char* name;
    const char* lungPartItem; // nullptr: "Both lungs"
    const char* panel;
    std::vector<int> enabled;
};

class EnableRules : public testing::TestWithParam<EnableCase> {};

TEST_P(EnableRules, OpenOnlyThePanelsSlidersLessTheLobeLimits) {
    const EnableCase& c = GetParam();
    MainWindowFixture f;
    TForm1& w = f.start();
    EXPECT_TRUE(enabledSliders(w).empty()) << "before any panel is clicked no slider moves";
    if (c.lungPartItem) w.menuItem(c.lungPartItem)->trigger();
    clickPanel(w.findChild<QFrame*>(c.panel));
    EXPECT_EQ(enabledSliders(w), c.enabled);
    EXPECT_TRUE(w.TrackBars[4]->isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Panels, EnableRules,
    testing::Values(EnableCase{"main", nullptr, "Panel1", {1}},
                    EnableCase{"middle", nullptr, "Panel2", {2, 3}},
                    EnableCase{"peripheral", nullptr, "Panel3", {5, 6}},
                    EnableCase{"lungs", nullptr, "Panel4", {7, 8}},
                    EnableCase{"lobe_has_no_main_airway", "Leftupperlobe1", "Panel1", {}},
                    EnableCase{"lobe_has_no_size", "Leftupperlobe1", "Panel4", {8}},
                    EnableCase{"lobe_middle_keeps_the_bronchus", "Rightmiddlelobe1", "Panel2", {3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Sliders, WriteTheCellTheHistoryRowAndTheComment) {
    MainWindowFixture f;
    TForm1& w = f.start();
    clickPanel(w.Panel2);
    w.TrackBars[3]->setPosition(600);
    EXPECT_EQ(w.state().session.parameters.cell(kBothLungs, 2), 1600);
    EXPECT_EQ(w.StringGrid2->cells(3, 0), "   1600");
    EXPECT_FALSE(w.RichEdit1->toPlainText().isEmpty()) << "the slider's comment";
}

TEST(Sliders, PlacingAnOffGridValueWritesBackTheSliderValue) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.state().session.history->slot(0).parameterMatrix[lungPartRow(kBothLungs)][0] = 150;
    w.PlaceSliders(0, false);
    EXPECT_EQ(w.TrackBars[1]->position(), 258);
    EXPECT_EQ(w.state().session.parameters.cell(kBothLungs, 0), 149);
}

TEST(Sliders, ChoosingALungPartWithEqualValuesFiresNothing) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.menuItem("Leftlung1")->trigger();
    EXPECT_TRUE(w.RichEdit1->toPlainText().trimmed().isEmpty() ||
                w.RichEdit1->toPlainText().contains("complete"))
        << "no slider comment";
    EXPECT_EQ(w.label("Label56")->text(), "Left lung");
    EXPECT_TRUE(w.menuItem("Leftlung1")->isChecked());
    EXPECT_FALSE(w.menuItem("Bothlungs1")->isChecked());
}

TEST(ResetButtons, ResetAtInitialPositionsOnlyClearsTheComment) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.RichEdit1->setPlainText("something");
    const ParameterSet before = w.state().session.parameters;
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    EXPECT_EQ(w.state().session.parameters.matrix, before.matrix);
    EXPECT_EQ(w.state().session.parameters.options, before.options);
    EXPECT_TRUE(w.RichEdit1->toPlainText().isEmpty());
}

TEST(ResetButtons, ResetAllAfterEditingTheLeftLungReturnsEverythingTo100) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.menuItem("Leftlung1")->trigger();
    clickPanel(w.Panel3);
    w.TrackBars[5]->setPosition(400);
    w.state().session.parameters.cell(kRightLowerLobe, 7) = 50;
    w.TrackBars[9]->setPosition(0);
    EXPECT_EQ(w.state().session.parameters.cell(kLeftLung, 4), 400);
    EXPECT_EQ(w.state().session.parameters.option(1), 25);
    QTest::mouseClick(w.Button11, Qt::LeftButton);
    for (const auto& row : w.state().session.parameters.matrix)
        for (double v : row) EXPECT_EQ(v, 100.0);
    for (double o : w.state().session.parameters.options) EXPECT_EQ(o, 100.0);
}

TEST(Options, MenuItemChoosesTheSliderAndTheColumn) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.TrackBars[9]->setPosition(0);
    EXPECT_EQ(w.state().session.parameters.option(1), 25);
    EXPECT_EQ(w.StringGrid3->cells(0, 0), "   25");
    w.TrackBars[9]->setPosition(400);
    EXPECT_EQ(w.state().session.parameters.option(1), 400);
    w.menuItem("N21")->trigger();
    EXPECT_EQ(w.label("Label53")->text(), "expiration rapidity");
    EXPECT_EQ(w.TrackBars[9]->position(), 200) << "option 2 is still 100";
    EXPECT_EQ(w.state().session.parameters.option(1), 400) << "option 1 kept its value";
    EXPECT_EQ(w.StringGrid3->cells(0, 4), "   100");
    EXPECT_FALSE(w.menuItem("N51")->isEnabled());
}

} // namespace
