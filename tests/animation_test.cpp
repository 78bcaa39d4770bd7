#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <limits>

#include "app/image_box.h"
#include "graphics/airway_picture.h"
#include "graphics/live_display.h"
#include "graphics/plot_geometry.h"
#include "main_window_fixture.h"
#include "toolkit/font_size.h"
#include "toolkit/string_grid.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;

namespace {

bool isBlack(QColor c) {
    return c.red() < 60 && c.green() < 60 && c.blue() < 60;
}

// The standard reference copied into slot 1 as a selected run.
void selectStandardRun(TForm1& w) {
    RunHistory& h = *w.state().session.history;
    h.slot(1) = h.slot(0);
    h.runCount = 1;
    h.selectedRun = 1;
}

// ---- the frame test ----

struct FrameCase {
    const char* name;
    float volume, last, Vmax, Vmin;
    bool due;
};

class AnimationFrameTest : public testing::TestWithParam<FrameCase> {};

TEST_P(AnimationFrameTest, ShowsAFrameWhenTheVolumeMovedMoreThanHalfAPercent) {
    const FrameCase& c = GetParam();
    float last = c.last;
    EXPECT_EQ(animationFrameDue(c.volume, last, c.Vmax, c.Vmin), c.due);
    EXPECT_EQ(last, c.due ? c.volume : c.last);
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Volumes, AnimationFrameTest,
    testing::Values(FrameCase{"one_percent", 2.04f, 2.0f, 6.0f, 2.0f, true},
                    FrameCase{"one_percent_down", 1.96f, 2.0f, 6.0f, 2.0f, true},
                    FrameCase{"exactly_half_a_percent", 3.0f, 2.5f, 102.0f, 2.0f, false},
                    FrameCase{"a_quarter_percent", 2.01f, 2.0f, 6.0f, 2.0f, false},
                    FrameCase{"range_zero_shows_nothing", 5.0f, 3.0f, 3.0f, 3.0f, false},
                    FrameCase{"volume_not_a_number", kNaN, 3.0f, 6.0f, 2.0f, false},
                    FrameCase{"range_not_a_number", 4.0f, 3.0f, kNaN, 2.0f, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnimationWait, FollowsTheSpeed) {
    EXPECT_EQ(animationWaitMs(1), 200);
    EXPECT_EQ(animationWaitMs(2), 50);
    EXPECT_EQ(animationWaitMs(3), 0);
}

// ---- the buttons ----

TEST(AnimationButtons, SpeedCyclesOneTwoThree) {
    MainWindowFixture f;
    TForm1& w = f.start();
    EXPECT_EQ(w.Button10->text(), "3");
    for (const char* expected : {"1", "2", "3", "1"}) {
        w.Button10->click();
        EXPECT_EQ(w.Button10->text(), expected);
        EXPECT_EQ(w.lungPicture().animation.AnimationSpeed, QString(expected).toInt());
    }
}

TEST(AnimationButtons, PauseTogglesGoAndPauza) {
    MainWindowFixture f;
    TForm1& w = f.start();
    EXPECT_EQ(w.Button9->text(), "pause");
    w.Button9->click();
    EXPECT_EQ(w.Button9->text(), "go");
    EXPECT_TRUE(w.lungPicture().animation.AnimationPaused);
    w.Button9->click();
    EXPECT_EQ(w.Button9->text(), "pauza");
    EXPECT_FALSE(w.lungPicture().animation.AnimationPaused);
}

// ---- the animation ----

TEST(Animation, WithNoRunSelectedRedrawsThePlotAndShowsNoFrame) {
    MainWindowFixture f;
    TForm1& w = f.start();
    ASSERT_EQ(w.state().session.history->selectedRun, -1);
    w.Image1->picture().fill(Qt::magenta);
    w.Image2->picture().fill(Qt::magenta);
    w.Button8Click();
    const AnimationState& a = w.lungPicture().animation;
    EXPECT_EQ(a.framesShown, 0);
    EXPECT_EQ(w.Image1->picture().pixelColor(5, 5), QColor(Qt::magenta));
    EXPECT_EQ(w.Image2->picture().pixelColor(1, 1), QColor(Qt::white));
    EXPECT_FALSE(a.AnimationBusy);
    EXPECT_TRUE(w.Button8->isEnabled());
    EXPECT_TRUE(w.Button2->isEnabled());
    EXPECT_TRUE(w.StringGrid2->isEnabled());
    EXPECT_TRUE(w.Timer1->isActive());
}

TEST(Animation, PauseBeforeTheAnimationStopsItAtTheFirstFrame) {
    MainWindowFixture f;
    TForm1& w = f.start();
    selectStandardRun(w);
    w.Button9->click();
    ASSERT_EQ(w.Button9->text(), "go");
    const AnimationState& a = w.lungPicture().animation;

    // Events keep arriving while the animation waits; after many of them it must still be at
    // its first frame. Then "go" lets it run.
    int ticks = 0, framesWhilePaused = -1;
    bool lockedWhilePaused = false, pauseUsable = false, menusLocked = false;
    QString captionWhilePaused;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (++ticks < 30) return;
        ticker.stop();
        framesWhilePaused = a.framesShown;
        captionWhilePaused = w.Button9->text();
        lockedWhilePaused = !w.Button2->isEnabled() && !w.Button8->isEnabled() &&
                            !w.StringGrid2->isEnabled() && !w.Panel3->isEnabled() &&
                            !w.Timer1->isActive();
        menusLocked = !w.menuBar()->actions().first()->isEnabled();
        pauseUsable = w.Button9->isEnabled() && w.Button10->isEnabled();
        w.Button9->click();
    });
    ticker.start();
    w.Button8Click();

    EXPECT_EQ(framesWhilePaused, 1);
    EXPECT_EQ(captionWhilePaused, "go");
    EXPECT_TRUE(lockedWhilePaused);
    EXPECT_TRUE(menusLocked);
    EXPECT_TRUE(pauseUsable);
    EXPECT_EQ(w.Button9->text(), "pauza");
    EXPECT_GT(a.framesShown, 20);
    EXPECT_TRUE(w.Button8->isEnabled());
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_FALSE(a.AnimationBusy);
}

TEST(Animation, FramesFollowTheVolumeAndEndWithTheStoredRows) {
    MainWindowFixture f;
    TForm1& w = f.start();
    selectStandardRun(w);
    SimulationRecord& run = w.state().session.history->slot(1);
    // The lobe rows end at sample 120 although the loop goes on.
    for (int n = 120; n < kLobeTableRows; ++n)
        run.lobeIntermediateR[n][0] = 0;
    w.Image1->picture().fill(Qt::magenta);
    w.Button8Click();
    const AnimationState& a = w.lungPicture().animation;
    EXPECT_EQ(a.AnimationFrame, 119);
    EXPECT_GT(a.framesShown, 0);
    EXPECT_LE(a.framesShown, 119);
    // The last frame is the airway tree of that run: the trachea's wall is black.
    const QImage& picture = w.Image1->picture();
    const AirwayShape s = airwayShape(recordAirwayValues(run, a.AnimationFrame), picture.width(),
                                      picture.height(), 2);
    EXPECT_TRUE(isBlack(picture.pixelColor(s.TL.x, (s.TL.y + s.BL.y) / 2)));
    EXPECT_NE(picture.pixelColor(5, 5), QColor(Qt::magenta));
}

TEST(Animation, RunWithoutVolumeRangeShowsNoFrames) {
    MainWindowFixture f;
    TForm1& w = f.start();
    selectStandardRun(w);
    SimulationRecord& run = w.state().session.history->slot(1);
    for (int n = 0; n < 200; ++n)
        run.volumeCurve[n] = 3.0f;
    for (int n = 200; n < kFlowVolumeSamples; ++n)
        run.volumeCurve[n] = 0;
    w.Button8Click();
    EXPECT_EQ(w.lungPicture().animation.framesShown, 0);
}

TEST(Animation, CloseDuringTheAnimationEndsItFirst) {
    MainWindowFixture f;
    TForm1& w = f.start();
    selectStandardRun(w);
    w.Button9->click(); // stop at the first frame, then ask to close
    QTimer::singleShot(0, &w, [&] { w.close(); });
    w.Button8Click();
    EXPECT_EQ(w.lungPicture().animation.framesShown, 1);
    EXPECT_FALSE(w.lungPicture().animation.AnimationBusy);
    QApplication::processEvents(); // the close asked for happens now
    EXPECT_FALSE(w.isVisible());
}

// ---- the live display ----

TEST(LiveDisplay, ClockLeavesTheVolumeTimePenWhereItFoundIt) {
    MainWindowFixture f;
    TForm1& w = f.start();
    ProgramState& s = w.state();
    SimulationRecord& run = s.session.history->slot(1);
    const float times[3] = {1, 10, 20}, volumes[3] = {3, 6, 2};
    for (int k = 0; k < 3; ++k)
        run.vtTime[k] = times[k], run.vtVolume[k] = volumes[k];
    s.volumeTime.VolumeTimeCounter = 1;
    RunObserver& live = w.liveDisplay();
    live.ShowLiveStep(s.session.model, run, 1); // the frame
    live.ShowLiveStep(s.session.model, run, 2); // sample 1 to 2
    live.ShowRunClock(7.5);
    live.ShowLiveStep(s.session.model, run, 3); // 2 to 3, from where the pen was

    const QImage& plot = w.Image3->picture();
    const int W = plot.width(), H = plot.height();
    auto point = [&](int k) {
        return QPoint(PercentX(W, 6 + 1.52f * times[k]), PercentY(H, 92 - 8 * volumes[k]));
    };
    const QPoint mid = (point(1) + point(2)) / 2;
    EXPECT_EQ(plot.pixelColor(mid), CurveColours[1]);

    // The clock: "7.50" and four blanks on yellow, from W minus the width of "000,00".
    EXPECT_EQ(runClockText(7.5, '.'), "7.50    ");
    EXPECT_EQ(runClockText(7.5, ','), "7,50    ");
    QFont font("DejaVu Serif");
    setFontPoints(font, 7);
    font.setFamilies({"Arial", "Liberation Sans", "DejaVu Sans"});
    const int left = W - QFontMetrics(font).horizontalAdvance("000,00");
    const QColor yellow(0xFF, 0xFF, 0x00);
    EXPECT_EQ(plot.pixelColor(left, 1), yellow);
    EXPECT_NE(plot.pixelColor(left - 1, 1), yellow);
    int ink = 0;
    for (int y = 0; y < QFontMetrics(font).height(); ++y)
        for (int x = left; x < W; ++x)
            ink += isBlack(plot.pixelColor(x, y));
    EXPECT_GT(ink, 5);
}

TEST(LiveDisplay, LiveStepDrawsTheAirwayTreeFromTheModel) {
    MainWindowFixture f;
    TForm1& w = f.start();
    ProgramState& s = w.state();
    ModelState& model = s.session.model;
    model.Lim[2] = 1; // the right upper lobe is limited
    s.volumeTime.VolumeTimeCounter = 1;
    SimulationRecord& run = s.session.history->slot(1);
    run.vtTime[0] = 0.1f;
    run.vtVolume[0] = 3;
    w.liveDisplay().ShowLiveStep(model, run, 1);
    const QImage& picture = w.Image1->picture();
    const AirwayShape shape =
        airwayShape(liveAirwayValues(model), picture.width(), picture.height(), 2);
    EXPECT_TRUE(isBlack(picture.pixelColor(shape.TR.x, (shape.TR.y + shape.BR.y) / 2)));
    const auto& P = shape.lobes[2].P;
    const QPoint red((P[6].x + P[7].x) / 2, (P[6].y + P[7].y) / 2);
    EXPECT_EQ(picture.pixelColor(red), QColor(0xFF, 0, 0));
    // The volume-time plot got its frame.
    EXPECT_EQ(s.volumeTime.VolumeTimeCounter, 2);
}

TEST(LiveDisplay, ShotIsTakenWhenTheRecordingReachesItsTime) {
    MainWindowFixture f;
    TForm1& w = f.start();
    ProgramState& s = w.state();
    SimulationRecord& run = s.session.history->slot(1);
    for (int k = 0; k < 5; ++k)
        run.vtTime[k] = 0.1f * (k + 1), run.vtVolume[k] = 3;
    s.volumeTime.VolumeTimeCounter = 1;
    w.shotAtSeconds = 0.3;
    w.liveDisplay().ShowLiveStep(s.session.model, run, 1);
    w.liveDisplay().ShowLiveStep(s.session.model, run, 2);
    EXPECT_TRUE(w.shotImage.isNull());
    w.liveDisplay().ShowLiveStep(s.session.model, run, 3);
    EXPECT_FALSE(w.shotImage.isNull());
    EXPECT_EQ(w.shotImage.size(), w.size());
    EXPECT_LT(w.shotAtSeconds, 0); // one picture only
}

} // namespace
