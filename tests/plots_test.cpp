#include <gtest/gtest.h>

#include <QImage>

#include "core/simulation_record.h"
#include "graphics/flow_volume_plot.h"
#include "graphics/plot_geometry.h"
#include "graphics/volume_time_plot.h"
#include "toolkit/canvas.h"

using namespace pulmora;

namespace {

constexpr int W = 400, H = 300;

bool isWhite(const QImage& image, int x, int y) { return image.pixelColor(x, y) == Qt::white; }
bool isColour(const QImage& image, int x, int y, const QColor& c) {
    return image.pixelColor(x, y) == c;
}

// Counts pixels that are not white in a rectangle.
int inked(const QImage& image, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) n += !isWhite(image, x, y);
    return n;
}

// A loop that expires from 5 l to 2 l at a constant 5 l/s: a horizontal line at flow -5.
void constantExpiration(SimulationRecord& r, float flow) {
    for (int n = 0; n < 31; ++n) {
        r.volumeCurve[n] = 5.0f - 0.1f * n;
        r.flowCurve[n] = flow;
    }
}

TEST(PercentOfImage, RoundsHalfToEvenInExtendedPrecision) {
    EXPECT_EQ(PercentX(400, 6), 24);
    EXPECT_EQ(PercentX(250, 1.0f), 2) << "2.5 rounds to even";
    EXPECT_EQ(PercentX(350, 1.0f), 4) << "3.5 rounds to even";
    EXPECT_EQ(PercentY(300, 72), 216);
    EXPECT_EQ(PercentX(400, std::nanf("")), -2600) << "NaN is clamped, not undefined";
    EXPECT_EQ(PercentX(400, 1e30f), 2600);
}

class FlowVolumePlot : public testing::Test {
protected:
    QImage image{W, H, QImage::Format_RGB32};
    Canvas canvas{image};
    std::unique_ptr<RunHistory> history = makeRunHistory();
    // Geometry of the plot in this image.
    const int x0 = PercentX(W, 6), y0 = PercentY(H, 72);
};

TEST_F(FlowVolumePlot, DrawsAxesTicksAndNumbers) {
    DrawFlowVolumePlot(canvas, *history, 1);
    const int xEnd = PercentX(W, 98);
    EXPECT_FALSE(isWhite(image, x0, y0));
    EXPECT_FALSE(isWhite(image, xEnd, y0)) << "volume axis ends at 8 l";
    EXPECT_TRUE(isWhite(image, xEnd + 2, y0));
    EXPECT_FALSE(isWhite(image, x0, PercentY(H, 72 - 12 * 5.6f))) << "expiratory axis to 12 l/s";
    EXPECT_FALSE(isWhite(image, x0, PercentY(H, 72 + 4 * 5.6f))) << "inspiratory axis to 4 l/s";
    for (int n = 1; n <= 8; ++n) {
        const int x = PercentX(W, 6 + 11.5f * n);
        EXPECT_FALSE(isWhite(image, x, y0 + 3)) << "volume tick " << n;
        EXPECT_GT(inked(image, x - 6, y0 + 5, x + 8, y0 + 20), 0) << "number " << n;
    }
    for (int n = 2; n <= 12; n += 2)
        EXPECT_FALSE(isWhite(image, x0 - 4, PercentY(H, 72 - 5.6f * n))) << "flow tick " << n;
}

struct LabelCase {
    const char* name;
    int variable;
    bool flowLabels;
};

class FlowLabels : public testing::TestWithParam<LabelCase> {};

TEST_P(FlowLabels, AppearOnlyForAirflowVariables) {
    QImage image(W, H, QImage::Format_RGB32);
    Canvas canvas(image);
    auto history = makeRunHistory();
    DrawFlowVolumePlot(canvas, *history, GetParam().variable);
    const int x = PercentX(W, 6) + 4;
    const int upper = PercentY(H, 72 - 12 * 5.6f);
    EXPECT_EQ(inked(image, x, upper - 8, x + 80, upper + 8) > 0, GetParam().flowLabels);
}

INSTANTIATE_TEST_SUITE_P(Variables, FlowLabels,
                         testing::Values(LabelCase{"total_airflow", 1, true},
                                         LabelCase{"limited_airflow", 3, true},
                                         LabelCase{"intermediate_resistance", 4, false},
                                         LabelCase{"intrathorax_pressure", 6, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlowVolumePlot, SelectedRunIsThreePixelsWide) {
    constantExpiration(history->slot(1), -5);
    const int y = PercentY(H, 72 - 5 * 5.6f);
    const int x = PercentX(W, 6 + 11.5f * 1.5f);
    const QColor red = CurveColours[1];
    DrawFlowVolumePlot(canvas, *history, 1);
    EXPECT_TRUE(isColour(image, x, y, red));
    EXPECT_FALSE(isColour(image, x, y - 1, red));
    history->runCount = 1;
    history->selectedRun = 1;
    DrawFlowVolumePlot(canvas, *history, 1);
    for (int dy : {-1, 0, 1}) EXPECT_TRUE(isColour(image, x, y + dy, red)) << dy;
    EXPECT_FALSE(isColour(image, x, y + 2, red));
}

TEST_F(FlowVolumePlot, TheFourthRunIsNeverDrawn) {
    constantExpiration(history->slot(4), -3);
    DrawFlowVolumePlot(canvas, *history, 1);
    EXPECT_TRUE(isWhite(image, PercentX(W, 6 + 11.5f * 1.5f), PercentY(H, 72 - 3 * 5.6f)));
}

TEST_F(FlowVolumePlot, SegmentEndingOnZeroFlowIsInvisible) {
    SimulationRecord& r = history->slot(2);
    constantExpiration(r, -5);
    r.flowCurve[15] = 0; // sample 16: the segment 15 -> 16 dives to the axis, unseen
    DrawFlowVolumePlot(canvas, *history, 1);
    const QColor green = CurveColours[2];
    const int x15 = PercentX(W, 6 + 11.5f * 1.4f), x16 = PercentX(W, 6 + 11.5f * 1.5f);
    const int yMid = (PercentY(H, 72 - 5 * 5.6f) + y0) / 2;
    int greenPixels = 0;
    for (int x = x15; x <= x16; ++x)
        for (int y = yMid - 3; y <= yMid + 3; ++y) greenPixels += isColour(image, x, y, green);
    EXPECT_EQ(greenPixels, 0);
    EXPECT_TRUE(isColour(image, PercentX(W, 6 + 11.5f * 2.5f), PercentY(H, 72 - 5 * 5.6f), green))
        << "the curve goes on after the gap";
}

TEST_F(FlowVolumePlot, Fev1TickRisesEightPixelsFromTheOneSecondPoint) {
    SimulationRecord& r = history->slot(3);
    constantExpiration(r, -5);
    r.fev1 = 1.0f;
    r.flowAtFev1 = -2.0f;
    r.frc = 2.0f;
    DrawFlowVolumePlot(canvas, *history, 1);
    const int x = PercentX(W, 6 + 11.5f);
    const int y = PercentY(H, 72 - 2 * 5.6f);
    const QColor purple = CurveColours[3];
    EXPECT_TRUE(isColour(image, x, y - 4, purple));
    EXPECT_TRUE(isColour(image, x, y - 8, purple));
    EXPECT_FALSE(isColour(image, x, y - 10, purple));
    r.frc = 0; // no FRC: no tick
    DrawFlowVolumePlot(canvas, *history, 1);
    EXPECT_FALSE(isColour(image, x, y - 4, purple));
}

TEST(VolumeTimePlot, FrameThenOneSegmentPerSample) {
    QImage image(W, H, QImage::Format_RGB32);
    Canvas canvas(image);
    auto history = makeRunHistory();
    history->slot(0).frc = 3.0f;
    SimulationRecord& run = history->slot(1);
    for (int k = 1; k <= 100; ++k) {
        run.vtTime[k - 1] = k / 10.0f;
        run.vtVolume[k - 1] = 4.0f;
    }
    VolumeTimePlot plot;
    plot.VolumeTimeCounter = 1;
    DrawVolumeTimePoint(plot, canvas, *history, 1);
    const int axisY = PercentY(H, 84);
    EXPECT_FALSE(isWhite(image, PercentX(W, 97.2f), axisY)) << "time axis to 60 s";
    EXPECT_TRUE(isColour(image, PercentX(W, 50), PercentY(H, 92 - 8 * 3), QColor(0xC0, 0xC0, 0xC0)))
        << "the reference's FRC in silver";
    const int y = PercentY(H, 92 - 8 * 4);
    const int x10 = PercentX(W, 6 + 1.52f * 10);
    EXPECT_TRUE(isWhite(image, x10 - 2, y));
    for (int k = 2; k <= 100; ++k) DrawVolumeTimePoint(plot, canvas, *history, 1);
    EXPECT_EQ(plot.VolumeTimeCounter, 101);
    EXPECT_TRUE(isColour(image, x10 - 2, y, CurveColours[1]));
}

TEST(VolumeTimePlot, RedrawOfARunWithoutSamplesDrawsNothing) {
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(Qt::blue);
    Canvas canvas(image);
    auto history = makeRunHistory();
    history->runCount = 1;
    history->selectedRun = 1;
    VolumeTimePlot plot;
    RedrawVolumeTimeCurve(plot, canvas, *history);
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::blue)) << "not even the frame";
}

} // namespace
