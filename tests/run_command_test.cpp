#include <gtest/gtest.h>

#include <QAction>
#include <QFrame>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "main_window_fixture.h"
#include "toolkit/sounds.h"
#include "toolkit/string_grid.h"
#include "toolkit/track_bar.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;

namespace {

struct SoundRecorder {
    std::vector<SystemSound> sounds;
    SoundSink previous;
    SoundRecorder() {
        previous = setSoundSink([this](SystemSound s) { sounds.push_back(s); });
    }
    ~SoundRecorder() { setSoundSink(previous); }
};

TEST(RunCommand, StandardRunEntersTheHistorySelectedWithTheChime) {
    MainWindowFixture f;
    SoundRecorder sounds;
    TForm1& w = f.start();
    w.state().session.parameters.cell(kBothLungs, 4) = 200;
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    const RunHistory& h = *w.state().session.history;
    EXPECT_EQ(h.runCount, 1);
    EXPECT_EQ(h.selectedRun, 1);
    EXPECT_EQ(h.slot(1).runStatus, 1.0f);
    EXPECT_EQ(h.slot(1).parameterMatrix[lungPartRow(kBothLungs)][4], 200.0f);
    EXPECT_EQ(sounds.sounds, std::vector<SystemSound>{SystemSound::Asterisk});
    EXPECT_EQ(w.StringGrid2->cells(6, 1), "   200");
    EXPECT_FALSE(w.StringGrid1->cells(3, 1).isEmpty());
    EXPECT_NE(w.StringGrid1->cells(4, 1), "100") << "a narrower airway changes FEV1";
    EXPECT_TRUE(w.Button2->isEnabled());
    EXPECT_TRUE(w.isEnabled());
    EXPECT_FALSE(w.state().RunInProgress);
    EXPECT_EQ(w.state().session.parameters.activePanel, 0);
}

TEST(RunCommand, DeadPatientStillShiftsTheHistoryAndSoundsTheAlarm) {
    MainWindowFixture f;
    SoundRecorder sounds;
    TForm1& w = f.start();
    w.state().session.parameters.cell(kBothLungs, 4) = 800;
    w.state().session.parameters.cell(kBothLungs, 2) = 1600;
    w.Button2Click();
    const RunHistory& h = *w.state().session.history;
    EXPECT_EQ(h.runCount, 1);
    EXPECT_EQ(h.slot(1).runStatus, 0.0f);
    EXPECT_EQ(w.StringGrid1->cells(3, 1), "dead");
    EXPECT_EQ(sounds.sounds, std::vector<SystemSound>{SystemSound::Hand});
}

TEST(HistoryCommands, SelectDeleteAndPromoteThroughTheWindow) {
    MainWindowFixture f;
    SoundRecorder sounds;
    TForm1& w = f.start();
    ParameterSet& p = w.state().session.parameters;
    const RunHistory& h = *w.state().session.history;
    p.cell(kBothLungs, 4) = 400;
    w.Button2Click();
    p.cell(kBothLungs, 4) = 100;
    p.cell(kBothLungs, 2) = 800;
    w.Button2Click();
    ASSERT_EQ(h.runCount, 2);

    // Clicking row 2 selects the older run: its values come back to the sliders.
    QTest::mouseClick(w.StringGrid2, Qt::LeftButton, {}, w.StringGrid2->cellRect(0, 2).center());
    EXPECT_EQ(h.selectedRun, 2);
    EXPECT_EQ(p.cell(kBothLungs, 4), 400);
    EXPECT_EQ(w.TrackBars[5]->position(), 400);

    // Run 2 becomes the reference: it reads 100, run 1 is rescaled by it.
    w.UseSelectedRunAsReference();
    EXPECT_EQ(h.slot(0).parameterMatrix[lungPartRow(kBothLungs)][4], 400.0f);
    EXPECT_EQ(h.slot(2).parameterMatrix[lungPartRow(kBothLungs)][4], 100.0f);
    EXPECT_EQ(h.slot(1).parameterMatrix[lungPartRow(kBothLungs)][4], 25.0f);
    EXPECT_EQ(w.StringGrid2->cells(6, 4), "   400");

    // Deleting the selected run leaves run 1 selected.
    w.DeleteSelectedRunCommand();
    EXPECT_EQ(h.runCount, 1);
    EXPECT_EQ(h.selectedRun, 1);
    w.DeleteSelectedRunCommand();
    EXPECT_EQ(h.runCount, 0);
    EXPECT_EQ(h.selectedRun, -1);
    EXPECT_EQ(w.StringGrid1->cells(3, 1), "") << "the reference alone, no observed column";
}

} // namespace

namespace {

TEST(RunCommand, EverythingIsLockedWhileThePatientBreathes) {
    MainWindowFixture f;
    SoundRecorder sounds;
    TForm1& w = f.start();
    // Runs at the run's first pause for pending events, while the examination is under way.
    bool seen = false, windowEnabled = true, startEnabled = true, menusEnabled = true;
    bool inProgress = false;
    int runCountDuring = -1;
    QTimer::singleShot(0, &w, [&] {
        seen = true;
        windowEnabled = w.isEnabled();
        startEnabled = w.Button2->isEnabled();
        for (QAction* a : w.menuBar()->actions())
            if (a->isEnabled()) menusEnabled = false;
        inProgress = w.state().RunInProgress;
        // A user's click on "reset all" or a history row must do nothing now.
        QTest::mouseClick(w.Button11, Qt::LeftButton);
        runCountDuring = w.state().session.history->runCount;
    });
    w.state().session.parameters.cell(kBothLungs, 0) = 400;
    w.Button2Click();
    ASSERT_TRUE(seen);
    EXPECT_FALSE(windowEnabled);
    EXPECT_FALSE(startEnabled);
    EXPECT_TRUE(menusEnabled) << "every menu of the bar is disabled";
    EXPECT_TRUE(inProgress);
    EXPECT_EQ(runCountDuring, 0);
    EXPECT_EQ(w.state().session.history->slot(1).parameterMatrix[lungPartRow(kBothLungs)][0],
              400.0f)
        << "the click on reset all did not reach the parameters of the run";
    EXPECT_EQ(w.state().session.parameters.cell(kBothLungs, 0), 400);
}

TEST(RunCommand, FourthRunKeepsTheCountAtThreeAndTheReferenceUnchanged) {
    MainWindowFixture f;
    SoundRecorder sounds;
    TForm1& w = f.start();
    const RunHistory& h = *w.state().session.history;
    const float referenceFev1 = h.slot(0).fev1;
    for (double r : {100.0, 200.0, 400.0, 800.0}) {
        w.state().session.parameters.cell(kBothLungs, 0) = r;
        w.Button2Click();
    }
    EXPECT_EQ(h.runCount, 3);
    EXPECT_EQ(h.selectedRun, 1);
    EXPECT_EQ(h.slot(4).parameterMatrix[lungPartRow(kBothLungs)][0], 100.0f)
        << "the oldest run left the visible history for slot 4";
    EXPECT_EQ(h.slot(1).parameterMatrix[lungPartRow(kBothLungs)][0], 800.0f);
    EXPECT_EQ(h.slot(0).fev1, referenceFev1);
    EXPECT_EQ(sounds.sounds.size(), 4u);
}

struct RowCase {
    const char* name;
    int row;
};

class RowsThatSelectNothing : public testing::TestWithParam<RowCase> {};

TEST_P(RowsThatSelectNothing, KeepTheSelection) {
    MainWindowFixture f;
    SoundRecorder sounds;
    TForm1& w = f.start();
    w.Button2Click();
    w.Button2Click();
    RunHistory& h = *w.state().session.history;
    ASSERT_EQ(h.runCount, 2);
    QTest::mouseClick(w.StringGrid2, Qt::LeftButton, {},
                      w.StringGrid2->cellRect(0, GetParam().row).center());
    EXPECT_EQ(h.selectedRun, 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, RowsThatSelectNothing,
                         testing::Values(RowCase{"current_settings", 0},
                                         RowCase{"past_the_run_count", 3},
                                         RowCase{"reference", 4}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
