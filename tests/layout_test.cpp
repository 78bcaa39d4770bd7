#include "app/main_window_layout.h"

#include <gtest/gtest.h>

using namespace pulmora;

namespace {

LayoutInput workedExample() {
    LayoutInput in;
    in.screenWidth = 1280;
    in.screenHeight = 1024;
    in.clientWidth = 1000;
    in.clientHeight = 700;
    in.comboHeight = 21;
    in.label11 = {48, 13};
    return in;
}

struct RectCase {
    const char* name;
    LayoutRect MainWindowLayout::*member;
    LayoutRect expected; // -1 where the worked example gives no value
};

class WorkedExample : public testing::TestWithParam<RectCase> {};

TEST_P(WorkedExample, PlacesTheControl) {
    const RectCase& c = GetParam();
    const LayoutRect got = LayoutMainWindow(workedExample()).*c.member;
    if (c.expected.left >= 0) {
        EXPECT_EQ(got.left, c.expected.left) << "left";
    }
    if (c.expected.top >= 0) {
        EXPECT_EQ(got.top, c.expected.top) << "top";
    }
    if (c.expected.width >= 0) {
        EXPECT_EQ(got.width, c.expected.width) << "width";
    }
    if (c.expected.height >= 0) {
        EXPECT_EQ(got.height, c.expected.height) << "height";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Controls, WorkedExample,
    testing::Values(RectCase{"Image1", &MainWindowLayout::Image1, {10, 0, 380, 385}},
                    RectCase{"Image2", &MainWindowLayout::Image2, {400, 0, 380, 289}},
                    RectCase{"Image3", &MainWindowLayout::Image3, {400, 293, 380, 92}},
                    RectCase{"Panel6", &MainWindowLayout::Panel6, {10, 395, 980, 285}},
                    RectCase{"Panel5", &MainWindowLayout::Panel5, {20, 426, 380, 137}},
                    RectCase{"Panel7", &MainWindowLayout::Panel7, {405, -1, 123, -1}},
                    RectCase{"Panel1", &MainWindowLayout::Panel1, {25, 441, 57, 117}},
                    RectCase{"Panel2", &MainWindowLayout::Panel2, {97, 441, 170, 117}},
                    RectCase{"Panel3", &MainWindowLayout::Panel3, {281, 441, 113, 117}},
                    RectCase{"Panel4", &MainWindowLayout::Panel4, {410, 441, 113, 117}},
                    RectCase{"GroupBox1", &MainWindowLayout::GroupBox1, {533, 568, 90, 107}},
                    RectCase{"StringGrid1", &MainWindowLayout::StringGrid1, {790, 0, 200, 385}},
                    RectCase{"StringGrid2", &MainWindowLayout::StringGrid2, {20, 568, 504, 110}},
                    RectCase{"StringGrid3", &MainWindowLayout::StringGrid3, {628, 568, 57, -1}},
                    RectCase{"TrackBar9", &MainWindowLayout::TrackBar9, {690, 568, 290, -1}},
                    RectCase{"RichEdit1", &MainWindowLayout::RichEdit1, {628, 426, 352, 137}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WorkedExample, UnitsSlidersAndGrids) {
    const MainWindowLayout L = LayoutMainWindow(workedExample());
    EXPECT_EQ(L.U, 113);
    EXPECT_EQ(L.H, 117);
    EXPECT_EQ(L.X0, 533);
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(L.TrackBar[k].height, 94) << k;
        EXPECT_EQ(L.TrackBar[k].top, 22) << k;
        EXPECT_EQ(L.TrackBar[k].width, kTrackBarDesignWidth[k]) << k;
    }
    EXPECT_EQ(L.grid1ColumnWidths, (std::array<int, 5>{66, 24, 40, 40, 22}));
    EXPECT_EQ(L.grid1RowHeight, 385 / 16 - 1);
    EXPECT_EQ(L.grid2RowHeight, 21);
    EXPECT_EQ(L.StringGrid2.width, 8 * (L.U / 2 + 1) + 3 * 16);
    EXPECT_EQ(L.StringGrid2.height, 5 * (L.grid2RowHeight + 1));
    EXPECT_EQ(L.Label11.left, 132) << "four tenths of the free width, truncated";
    EXPECT_TRUE(L.grid1LargeFont);
}

TEST(LayoutScaling, FollowsTheScreenWidth) {
    EXPECT_EQ(scaleByScreen(8, 1280), 8);
    EXPECT_EQ(scaleByScreen(8, 1024), 6) << "6.4 rounds to 6";
    EXPECT_EQ(scaleByScreen(25, 1024), 20);
    LayoutInput in = workedExample();
    in.screenWidth = 1024;
    EXPECT_EQ(LayoutMainWindow(in).TrackBar[3].width, 26) << "32 x 0.8 = 25.6";
    in.screenHeight = 768;
    EXPECT_FALSE(LayoutMainWindow(in).grid1LargeFont);
    in.screenHeight = 769;
    EXPECT_TRUE(LayoutMainWindow(in).grid1LargeFont);
}

} // namespace
