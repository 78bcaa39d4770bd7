// The thin layer over Qt: canvas pixels, the string grid's geometry, drawing and mouse, the track
// bar's range and change notification, and the message sink. Drawings are rendered into images
// and checked at the pixels that matter.

#include "toolkit/canvas.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"
#include "toolkit/track_bar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pulmora {
namespace {

const QColor kWhite(Qt::white);
const QColor kInk(0x10, 0x20, 0xC0);

// Every table row prints as its name when a case fails.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

bool isWhite(const QImage& im, int x, int y) {
    return im.pixelColor(x, y) == kWhite;
}

// Whether any pixel within one pixel of (x, y) differs from white: drawn curves are allowed
// a pixel of rounding either way.
bool paintedNear(const QImage& im, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (im.valid(x + dx, y + dy) && !isWhite(im, x + dx, y + dy)) return true;
    return false;
}

int countColour(const QImage& im, const QColor& c) {
    int n = 0;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            n += im.pixelColor(x, y) == c;
    return n;
}

QImage whiteImage(int w, int h) {
    QImage im(w, h, QImage::Format_RGB32);
    im.fill(kWhite);
    return im;
}

// ---------------------------------------------------------------------------------------------
// Canvas

struct LineCase {
    const char* name;
    int x1, y1, x2, y2;
};

class CanvasLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(CanvasLineTest, CoversBothEndPixelsAndNothingBeyond) {
    const LineCase& c = GetParam();
    QImage im = whiteImage(40, 40);
    Canvas canvas(im);
    canvas.setPenColor(kInk);
    canvas.line(c.x1, c.y1, c.x2, c.y2);

    EXPECT_EQ(im.pixelColor(c.x1, c.y1), kInk);
    EXPECT_EQ(im.pixelColor(c.x2, c.y2), kInk);
    // One step past each end, along the line's own direction, stays white.
    const int sx = (c.x2 > c.x1) - (c.x2 < c.x1);
    const int sy = (c.y2 > c.y1) - (c.y2 < c.y1);
    EXPECT_TRUE(isWhite(im, c.x1 - sx, c.y1 - sy));
    EXPECT_TRUE(isWhite(im, c.x2 + sx, c.y2 + sy));
    EXPECT_EQ(canvas.penPosition(), QPoint(c.x2, c.y2));
}

INSTANTIATE_TEST_SUITE_P(Canvas, CanvasLineTest,
                         testing::Values(LineCase{"horizontal", 5, 10, 20, 10},
                                         LineCase{"leftwards", 30, 4, 12, 4},
                                         LineCase{"vertical", 8, 3, 8, 25},
                                         LineCase{"diagonal", 3, 3, 15, 15},
                                         LineCase{"steep_upwards", 20, 35, 16, 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CanvasTest, WidthThreeLineIsThreePixelsAcrossCentredOnItsPath) {
    QImage im = whiteImage(40, 40);
    Canvas canvas(im);
    canvas.setPenColor(kInk);
    canvas.setPenWidth(3);
    canvas.line(5, 10, 25, 10);  // horizontal: rows 9, 10, 11
    canvas.line(30, 15, 30, 35); // vertical: columns 29, 30, 31
    for (int d = -2; d <= 2; ++d) {
        const bool inside = d >= -1 && d <= 1;
        EXPECT_EQ(im.pixelColor(15, 10 + d) == kInk, inside) << "row offset " << d;
        EXPECT_EQ(im.pixelColor(30 + d, 25) == kInk, inside) << "column offset " << d;
    }
}

TEST(CanvasTest, InvisiblePenMovesWithoutDrawing) {
    QImage im = whiteImage(40, 40);
    Canvas canvas(im);
    canvas.setPenColor(kInk);
    canvas.moveTo(2, 2);
    canvas.setPenStyle(PenStyle::Invisible);
    canvas.lineTo(20, 20);
    EXPECT_EQ(countColour(im, kWhite), 40 * 40);
    EXPECT_EQ(canvas.penPosition(), QPoint(20, 20));

    // The next visible segment starts where the invisible one ended.
    canvas.setPenStyle(PenStyle::Solid);
    canvas.lineTo(30, 20);
    EXPECT_EQ(im.pixelColor(20, 20), kInk);
    EXPECT_EQ(im.pixelColor(30, 20), kInk);
    EXPECT_EQ(countColour(im, kInk), 11);
}

TEST(CanvasTest, FillRectLeavesRightAndBottomEdgesOut) {
    QImage im = whiteImage(20, 20);
    Canvas canvas(im);
    canvas.setBrushColor(Qt::red);
    canvas.fillRect(4, 5, 10, 12);
    EXPECT_EQ(countColour(im, Qt::red), 6 * 7);
    EXPECT_EQ(im.pixelColor(4, 5), QColor(Qt::red));
    EXPECT_EQ(im.pixelColor(9, 11), QColor(Qt::red));
    EXPECT_TRUE(isWhite(im, 10, 11));
    EXPECT_TRUE(isWhite(im, 9, 12));
}

TEST(CanvasTest, EllipseOutlineStaysInsideItsBoxWithTheBrushInside) {
    QImage im = whiteImage(30, 20);
    Canvas canvas(im);
    canvas.setPenColor(kInk);
    canvas.setBrushColor(Qt::red);
    canvas.ellipse(5, 2, 26, 17); // centre (15, 9), extreme pixels 5 … 25 and 2 … 16
    for (QPoint edge : {QPoint(5, 9), QPoint(25, 9), QPoint(15, 2), QPoint(15, 16)})
        EXPECT_EQ(im.pixelColor(edge), kInk) << edge.x() << "," << edge.y();
    for (QPoint out : {QPoint(4, 9), QPoint(26, 9), QPoint(15, 1), QPoint(15, 17)})
        EXPECT_TRUE(isWhite(im, out.x(), out.y())) << out.x() << "," << out.y();
    EXPECT_EQ(im.pixelColor(15, 9), QColor(Qt::red));
}

struct ArcCase {
    const char* name;
    QRect box; // left, top, right, bottom (exclusive) packed as a QRect's coordinates
    QPoint from, to;
    std::vector<QPoint> painted, blank;
};

class CanvasArcTest : public testing::TestWithParam<ArcCase> {};

TEST_P(CanvasArcTest, RunsAnticlockwiseBetweenTheRadialDirections) {
    const ArcCase& c = GetParam();
    QImage im = whiteImage(90, 50);
    Canvas canvas(im);
    canvas.setPenColor(kInk);
    canvas.arc(c.box.left(), c.box.top(), c.box.right(), c.box.bottom(), c.from.x(), c.from.y(),
               c.to.x(), c.to.y());
    for (QPoint p : c.painted)
        EXPECT_TRUE(paintedNear(im, p.x(), p.y())) << p.x() << "," << p.y();
    for (QPoint p : c.blank)
        EXPECT_FALSE(paintedNear(im, p.x(), p.y())) << p.x() << "," << p.y();
}

// The circle of radius 20 about (20, 20); its 45° points are about 14 pixels off the axes.
const QRect kCircle(QPoint(0, 0), QPoint(41, 41));
// An ellipse twice as wide as high about (40, 20): the ray at 45° meets it near (58, 2), while
// Qt's own 45° (measured along the ellipse's parameter) lies near (68, 6).
const QRect kWide(QPoint(0, 0), QPoint(81, 41));

INSTANTIATE_TEST_SUITE_P(Canvas, CanvasArcTest,
                         testing::Values(ArcCase{"quarter_from_east_to_north",
                                                 kCircle,
                                                 {40, 20},
                                                 {20, 0},
                                                 {{34, 6}},
                                                 {{6, 6}, {6, 34}, {34, 34}}},
                                         ArcCase{"three_quarters_from_north_to_east",
                                                 kCircle,
                                                 {20, 0},
                                                 {40, 20},
                                                 {{6, 6}, {6, 34}, {34, 34}},
                                                 {{34, 6}}},
                                         ArcCase{"far_points_give_the_same_directions",
                                                 kCircle,
                                                 {80, 20},
                                                 {20, -60},
                                                 {{34, 6}},
                                                 {{6, 6}, {34, 34}}},
                                         ArcCase{"wide_ellipse_starts_on_the_ray",
                                                 kWide,
                                                 {60, 0},
                                                 {0, 20},
                                                 {{58, 2}, {10, 8}},
                                                 {{68, 6}, {70, 34}}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CanvasTest, TextOutDrawsInsideItsBoxFromTheTopLeft) {
    QImage im = whiteImage(80, 40);
    Canvas canvas(im);
    canvas.setFontSize(10);
    canvas.setFontColor(kInk);
    canvas.setBrushColor(Qt::yellow);
    const QString text = "Hg";
    const int w = canvas.textWidth(text);
    const int h = canvas.textHeight(text);
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    canvas.textOut(10, 8, text);

    int ink = 0;
    for (int y = 0; y < im.height(); ++y) {
        for (int x = 0; x < im.width(); ++x) {
            const bool inBox = x >= 10 && x < 10 + w && y >= 8 && y < 8 + h;
            if (!inBox) {
                ASSERT_TRUE(isWhite(im, x, y)) << "outside the text box at " << x << "," << y;
                continue;
            }
            // A solid brush paints the whole box behind the letters.
            ASSERT_FALSE(isWhite(im, x, y)) << "unpainted inside the text box at " << x << "," << y;
            ink += im.pixelColor(x, y) != QColor(Qt::yellow);
        }
    }
    EXPECT_GT(ink, 10);
}

TEST(CanvasTest, TextWithClearBrushKeepsWhatIsBehindIt) {
    QImage im = whiteImage(60, 30);
    Canvas canvas(im);
    canvas.setBrushColor(Qt::yellow);
    canvas.setBrushStyle(BrushStyle::Clear);
    canvas.setFontColor(kInk);
    canvas.textOut(2, 2, "M");
    EXPECT_EQ(countColour(im, Qt::yellow), 0);
    EXPECT_LT(countColour(im, kWhite), 60 * 30);
}

struct FontSizeCase {
    int points;
    int pixels;
};

class CanvasFontSizeTest : public testing::TestWithParam<FontSizeCase> {};

TEST_P(CanvasFontSizeTest, PointsBecomePixelsAtNinetySixDpi) {
    QImage im = whiteImage(10, 10);
    Canvas canvas(im);
    canvas.setFontSize(GetParam().points);
    EXPECT_EQ(canvas.font().pixelSize(), GetParam().pixels);
    EXPECT_EQ(canvas.fontSize(), GetParam().points);
}

INSTANTIATE_TEST_SUITE_P(Canvas, CanvasFontSizeTest,
                         testing::Values(FontSizeCase{6, 8}, FontSizeCase{8, 11},
                                         FontSizeCase{10, 13}, FontSizeCase{12, 16}),
                         [](const auto& info) { return "pt" + std::to_string(info.param.points); });

TEST(CanvasTest, StretchDrawScalesTheSourceIntoTheRectangle) {
    QImage source(2, 2, QImage::Format_RGB32);
    source.setPixelColor(0, 0, Qt::red);
    source.setPixelColor(1, 0, Qt::green);
    source.setPixelColor(0, 1, Qt::blue);
    source.setPixelColor(1, 1, Qt::black);
    QImage im = whiteImage(40, 30);
    Canvas canvas(im);
    canvas.stretchDraw(10, 10, 30, 20, source);

    const std::pair<QPoint, QColor> expected[] = {
        {{10, 10}, Qt::red},  {{19, 14}, Qt::red},  {{20, 10}, Qt::green}, {{29, 14}, Qt::green},
        {{10, 15}, Qt::blue}, {{19, 19}, Qt::blue}, {{20, 15}, Qt::black}, {{29, 19}, Qt::black},
    };
    for (const auto& [p, colour] : expected)
        EXPECT_EQ(im.pixelColor(p), colour) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(9, 10), QPoint(30, 15), QPoint(15, 9), QPoint(15, 20)})
        EXPECT_TRUE(isWhite(im, p.x(), p.y())) << p.x() << "," << p.y();
}

// ---------------------------------------------------------------------------------------------
// StringGrid

// Three columns 10, 20 and 30 wide; rows 5, 6 and 7 high, the first one fixed.
void makeSmallGrid(StringGrid& g) {
    g.setColCount(3);
    g.setRowCount(3);
    g.setFixedRows(1);
    const int widths[] = {10, 20, 30};
    const int heights[] = {5, 6, 7};
    for (int c = 0; c < 3; ++c)
        g.setColWidth(c, widths[c]);
    for (int r = 0; r < 3; ++r)
        g.setRowHeight(r, heights[r]);
    g.resize(80, 40);
}

TEST(StringGridTest, CellsStartAfterTheOnePixelLinesBeforeThem) {
    StringGrid g;
    makeSmallGrid(g);
    const std::pair<QPoint, QRect> rects[] = {
        {{0, 0}, QRect(0, 0, 10, 5)},
        {{1, 0}, QRect(11, 0, 20, 5)},
        {{2, 1}, QRect(32, 6, 30, 6)},
        {{0, 2}, QRect(0, 13, 10, 7)},
    };
    for (const auto& [cell, rect] : rects)
        EXPECT_EQ(g.cellRect(cell.x(), cell.y()), rect) << cell.x() << "," << cell.y();

    // The line after a cell belongs to that cell; past the last line there is no cell.
    const std::pair<QPoint, GridCell> points[] = {
        {{0, 0}, {0, 0}},   {{10, 4}, {0, 0}},   {{11, 5}, {1, 0}},   {{11, 6}, {1, 1}},
        {{62, 20}, {2, 2}}, {{63, 0}, {-1, -1}}, {{5, 21}, {-1, -1}}, {{-1, 3}, {-1, -1}},
    };
    for (const auto& [p, cell] : points)
        EXPECT_EQ(g.cellAt(p), cell) << "point " << p.x() << "," << p.y();
}

TEST(StringGridTest, DrawsLinesBetweenCellsAndTheFixedRowInItsColour) {
    StringGrid g;
    makeSmallGrid(g);
    g.setGridLineColor(Qt::red);
    g.setColor(Qt::white);
    g.setFixedColor(Qt::cyan);
    const QImage im = g.grab().toImage();

    const std::pair<QPoint, QColor> expected[] = {
        {{5, 2}, Qt::cyan},    // fixed cell (0, 0)
        {{10, 2}, Qt::red},    // vertical line after column 0
        {{11, 2}, Qt::cyan},   // fixed cell (1, 0)
        {{11, 5}, Qt::red},    // horizontal line under the fixed row
        {{11, 6}, Qt::white},  // cell (1, 1)
        {{31, 8}, Qt::red},    // vertical line after column 1
        {{62, 15}, Qt::red},   // the last column's line
        {{70, 15}, Qt::white}, // past the columns: the grid's colour
    };
    for (const auto& [p, colour] : expected)
        EXPECT_EQ(im.pixelColor(p), colour) << p.x() << "," << p.y();
}

TEST(StringGridTest, DefaultDrawingWritesTheTextInsetAndClippedToItsCell) {
    StringGrid g;
    makeSmallGrid(g);
    g.setRowHeight(1, 20);
    g.setColWidth(0, 12);
    g.setColor(Qt::white);
    g.setGridLineColor(Qt::white);
    g.setFontColor(Qt::black);
    g.setCells(0, 1, "WWWWWWWW"); // far wider than its 12-pixel cell
    const QImage im = g.grab().toImage();

    const QRect cell = g.cellRect(0, 1);
    const QRect next = g.cellRect(1, 1);
    int ink = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= next.right(); ++x) {
            const bool painted = im.pixelColor(x, y) != kWhite;
            const bool inset = x >= cell.left() + 2 && y >= cell.top() + 2 && x <= cell.right();
            if (painted) {
                EXPECT_TRUE(inset) << "ink outside the text area at " << x << "," << y;
            }
            ink += painted;
        }
    }
    EXPECT_GT(ink, 10);
}

TEST(StringGridTest, OwnerDrawingReplacesTheDefaultForEveryVisibleCell) {
    StringGrid g;
    makeSmallGrid(g);
    g.setCells(1, 1, "text that the owner does not draw");
    std::set<std::pair<int, int>> drawn;
    std::vector<std::string> wrongRects;
    g.onDrawCell = [&](QPainter& p, int col, int row, const QRect& rect) {
        drawn.insert({col, row});
        if (rect != g.cellRect(col, row))
            wrongRects.push_back(std::to_string(col) + "," + std::to_string(row));
        p.fillRect(rect, Qt::green);
    };
    const QImage im = g.grab().toImage();

    const std::set<std::pair<int, int>> all{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1},
                                            {2, 1}, {0, 2}, {1, 2}, {2, 2}};
    EXPECT_EQ(drawn, all);
    EXPECT_TRUE(wrongRects.empty());
    const QRect textCell = g.cellRect(1, 1);
    for (int y = textCell.top(); y <= textCell.bottom(); ++y)
        for (int x = textCell.left(); x <= textCell.right(); ++x)
            ASSERT_EQ(im.pixelColor(x, y), QColor(Qt::green)) << x << "," << y;
}

// The results table's shape: 16 rows under one fixed header, 10-pixel rows in 100 pixels.
void makeTallGrid(StringGrid& g) {
    g.setColCount(5);
    g.setRowCount(16);
    g.setFixedRows(1);
    for (int r = 0; r < 16; ++r)
        g.setRowHeight(r, 10);
    g.setVerticalScrollBar(true);
    g.resize(200, 100);
    g.show(); // a hidden widget learns of its size only when shown
}

std::set<int> rowsDrawn(StringGrid& g) {
    std::set<int> rows;
    g.onDrawCell = [&](QPainter&, int, int row, const QRect&) { rows.insert(row); };
    g.grab();
    g.onDrawCell = nullptr;
    return rows;
}

TEST(StringGridTest, ScrollBarScrollsRowsThatDoNotFitUnderTheFixedRow) {
    StringGrid g;
    makeTallGrid(g);
    auto* bar = g.findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    ASSERT_FALSE(bar->isHidden());

    // 100 pixels hold the header and eight rows of 11, the ninth cut at the bottom; scrolled to
    // the end, the last eight rows fill the view exactly.
    EXPECT_EQ(rowsDrawn(g), (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    bar->setValue(bar->maximum());
    EXPECT_EQ(g.topRow(), 8);
    EXPECT_EQ(rowsDrawn(g), (std::set<int>{0, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(g.cellAt(QPoint(5, 95)).row, 15);
    EXPECT_EQ(g.cellAt(QPoint(5, 5)).row, 0);
    EXPECT_TRUE(g.cellRect(0, 3).isEmpty());

    // Making a hidden row current scrolls it back into view.
    g.setRow(2);
    EXPECT_EQ(g.topRow(), 2);
}

TEST(StringGridTest, ScrollBarStaysHiddenWhenAllRowsFit) {
    StringGrid g;
    makeTallGrid(g);
    g.resize(200, 16 * 11); // the layout's rule: height div rows, less the line
    EXPECT_TRUE(g.findChild<QScrollBar*>()->isHidden());
    EXPECT_EQ(g.cellRect(0, 15), QRect(0, 165, 64, 10));
}

// What the user or the program does to the current cell, starting at (0, 1).
enum class Act { LeftClick, RightClick, SetRow };

struct SelectCase {
    const char* name;
    Act act;
    int col, row; // the cell clicked, or the row set
    std::optional<std::pair<int, int>> notified;
    int rowAfter;
};

class StringGridSelectTest : public testing::TestWithParam<SelectCase> {};

TEST_P(StringGridSelectTest, NotifiesOnlyWhenTheCurrentCellMoves) {
    const SelectCase& c = GetParam();
    StringGrid g;
    makeSmallGrid(g);
    g.show();
    ASSERT_EQ(g.row(), 1);
    ASSERT_EQ(g.col(), 0);
    std::vector<std::pair<int, int>> selected;
    g.onSelectCell = [&](int col, int row) {
        EXPECT_EQ(g.row(), row) << "the grid already holds the new cell";
        selected.push_back({col, row});
    };
    std::vector<std::pair<Qt::MouseButton, QPoint>> presses;
    g.onMouseDown = [&](Qt::MouseButton b, QPoint p) { presses.push_back({b, p}); };

    const QPoint centre = g.cellRect(c.col, c.row).center();
    switch (c.act) {
    case Act::LeftClick:
        QTest::mouseClick(&g, Qt::LeftButton, {}, centre);
        break;
    case Act::RightClick:
        QTest::mouseClick(&g, Qt::RightButton, {}, centre);
        break;
    case Act::SetRow:
        g.setRow(c.row);
        break;
    }

    if (c.notified) {
        ASSERT_EQ(selected.size(), 1u);
        EXPECT_EQ(selected[0], *c.notified);
    } else {
        EXPECT_TRUE(selected.empty());
    }
    EXPECT_EQ(g.row(), c.rowAfter);
    if (c.act == Act::SetRow) {
        EXPECT_TRUE(presses.empty());
    } else {
        ASSERT_EQ(presses.size(), 1u);
        EXPECT_EQ(presses[0].first, c.act == Act::LeftClick ? Qt::LeftButton : Qt::RightButton);
        EXPECT_EQ(presses[0].second, centre);
    }
}

INSTANTIATE_TEST_SUITE_P(
    StringGrid, StringGridSelectTest,
    testing::Values(SelectCase{"left_click_other_row", Act::LeftClick, 2, 2, std::pair{2, 2}, 2},
                    SelectCase{"left_click_other_column", Act::LeftClick, 1, 1, std::pair{1, 1}, 1},
                    SelectCase{"left_click_current_cell", Act::LeftClick, 0, 1, std::nullopt, 1},
                    SelectCase{"left_click_fixed_row", Act::LeftClick, 1, 0, std::nullopt, 1},
                    SelectCase{"right_click_other_row", Act::RightClick, 2, 2, std::nullopt, 1},
                    SelectCase{"set_other_row", Act::SetRow, 0, 2, std::pair{0, 2}, 2},
                    SelectCase{"set_same_row", Act::SetRow, 0, 1, std::nullopt, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// TrackBar

// A parameter slider: 100 … 500, starting at 200.
void makeParameterBar(TrackBar& bar, Qt::Orientation o = Qt::Vertical) {
    bar.setOrientation(o);
    bar.setRange(100, 500);
    bar.setPosition(200);
    bar.setFrequency(100);
    bar.setThumbLength(15);
    if (o == Qt::Vertical)
        bar.resize(30, 200);
    else
        bar.resize(200, 30);
}

TEST(TrackBarTest, SetPositionClampsToTheRange) {
    TrackBar bar;
    makeParameterBar(bar);
    const std::pair<int, int> cases[] = {{50, 100}, {100, 100}, {333, 333}, {500, 500}, {600, 500}};
    for (const auto& [asked, got] : cases) {
        bar.setPosition(asked);
        EXPECT_EQ(bar.position(), got) << "asked " << asked;
    }
}

TEST(TrackBarTest, OnChangeFiresOnlyWhenThePositionReallyChanges) {
    TrackBar bar;
    makeParameterBar(bar);
    std::vector<int> changes;
    bar.onChange = [&](int p) { changes.push_back(p); };

    const int steps[] = {200, 300, 300, 900, 1000, 100, 50};
    for (int p : steps)
        bar.setPosition(p);
    EXPECT_EQ(changes, (std::vector<int>{300, 500, 100}));

    // A range that no longer holds the position moves it, and says so.
    bar.setMinimum(150);
    EXPECT_EQ(changes.back(), 150);
}

enum class UserAct {
    KeyDown,
    KeyUp,
    KeyRight,
    KeyLeft,
    PageDown,
    ClickLowEnd,
    ClickHighEnd,
    WheelDown
};

struct UserCase {
    const char* name;
    Qt::Orientation orientation;
    UserAct act;
    int sign; // +1: the position grows, −1: it shrinks
};

class TrackBarUserTest : public testing::TestWithParam<UserCase> {};

TEST_P(TrackBarUserTest, FollowsTheThumbOnTheScreen) {
    const UserCase& c = GetParam();
    TrackBar bar;
    makeParameterBar(bar, c.orientation);
    bar.setPosition(300);
    bar.show();
    std::vector<int> changes;
    bar.onChange = [&](int p) { changes.push_back(p); };

    // "Low end" is the top of a vertical bar or the left of a horizontal one.
    const bool vertical = c.orientation == Qt::Vertical;
    const QPoint lowEnd = vertical ? QPoint(bar.width() / 2, 3) : QPoint(3, bar.height() / 2);
    const QPoint highEnd = vertical ? QPoint(bar.width() / 2, bar.height() - 3)
                                    : QPoint(bar.width() - 3, bar.height() / 2);
    switch (c.act) {
    case UserAct::KeyDown:
        QTest::keyClick(&bar, Qt::Key_Down);
        break;
    case UserAct::KeyUp:
        QTest::keyClick(&bar, Qt::Key_Up);
        break;
    case UserAct::KeyRight:
        QTest::keyClick(&bar, Qt::Key_Right);
        break;
    case UserAct::KeyLeft:
        QTest::keyClick(&bar, Qt::Key_Left);
        break;
    case UserAct::PageDown:
        QTest::keyClick(&bar, Qt::Key_PageDown);
        break;
    case UserAct::ClickLowEnd:
        QTest::mouseClick(&bar, Qt::LeftButton, {}, lowEnd);
        break;
    case UserAct::ClickHighEnd:
        QTest::mouseClick(&bar, Qt::LeftButton, {}, highEnd);
        break;
    case UserAct::WheelDown: {
        const QPointF at(bar.width() / 2.0, bar.height() / 2.0);
        QWheelEvent wheel(at, bar.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&bar, &wheel);
        break;
    }
    }

    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), bar.position());
    EXPECT_EQ(bar.position() > 300 ? 1 : bar.position() < 300 ? -1 : 0, c.sign);
}

INSTANTIATE_TEST_SUITE_P(
    TrackBar, TrackBarUserTest,
    testing::Values(UserCase{"vertical_key_down", Qt::Vertical, UserAct::KeyDown, +1},
                    UserCase{"vertical_key_up", Qt::Vertical, UserAct::KeyUp, -1},
                    UserCase{"vertical_page_down", Qt::Vertical, UserAct::PageDown, +1},
                    UserCase{"vertical_click_below_thumb", Qt::Vertical, UserAct::ClickHighEnd, +1},
                    UserCase{"vertical_click_above_thumb", Qt::Vertical, UserAct::ClickLowEnd, -1},
                    UserCase{"vertical_wheel_down", Qt::Vertical, UserAct::WheelDown, +1},
                    UserCase{"horizontal_key_right", Qt::Horizontal, UserAct::KeyRight, +1},
                    UserCase{"horizontal_key_left", Qt::Horizontal, UserAct::KeyLeft, -1},
                    UserCase{"horizontal_click_right", Qt::Horizontal, UserAct::ClickHighEnd, +1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrackBarTest, VerticalMinimumIsDrawnAtTheTop) {
    TrackBar bar;
    makeParameterBar(bar);
    bar.setPosition(100);
    const int topThumb = bar.thumbRect().center().y();
    bar.setPosition(500);
    const int bottomThumb = bar.thumbRect().center().y();
    EXPECT_LT(topThumb, bar.height() / 4);
    EXPECT_GT(bottomThumb, bar.height() * 3 / 4);
}

TEST(TrackBarTest, ThumbLengthSetsTheThumbExtentAlongTheBar) {
    for (Qt::Orientation o : {Qt::Vertical, Qt::Horizontal}) {
        for (int length : {15, 24}) {
            TrackBar bar;
            makeParameterBar(bar, o);
            bar.setThumbLength(length);
            const QRect thumb = bar.thumbRect();
            EXPECT_EQ(o == Qt::Vertical ? thumb.height() : thumb.width(), length)
                << (o == Qt::Vertical ? "vertical " : "horizontal ") << length;
        }
    }
}

TEST(TrackBarTest, RightPressAsksForHelpWithoutMovingTheThumb) {
    TrackBar bar;
    makeParameterBar(bar);
    bar.show();
    std::vector<int> changes;
    bar.onChange = [&](int p) { changes.push_back(p); };
    std::vector<QPoint> requests;
    bar.onContextMenu = [&](QPoint p) { requests.push_back(p); };

    QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(10, 180));
    EXPECT_EQ(requests, (std::vector<QPoint>{QPoint(10, 180)}));
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(bar.position(), 200);
}

TEST(TrackBarTest, DisabledBarIgnoresTheUser) {
    TrackBar bar;
    makeParameterBar(bar);
    bar.show();
    bar.setEnabled(false);
    int changes = 0;
    bar.onChange = [&](int) { ++changes; };
    QTest::keyClick(&bar, Qt::Key_Down);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(15, 190));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(bar.position(), 200);
    // The program still places it.
    bar.setPosition(400);
    EXPECT_EQ(changes, 1);
}

// ---------------------------------------------------------------------------------------------
// Message boxes

class ToolkitMessageTest : public testing::Test {
  protected:
    void SetUp() override {
        previous_ = setMessageSink([this](MessageKind kind, const QString& text) {
            seen_.push_back({kind, text});
            return answer_;
        });
    }
    void TearDown() override {
        setMessageSink(previous_);
        clearProgramEndRequest();
    }

    MessageSink previous_;
    std::vector<std::pair<MessageKind, QString>> seen_;
    bool answer_ = false;
};

TEST_F(ToolkitMessageTest, SinkReceivesEveryKindAndAnswersTheQuestion) {
    showMessage(nullptr, "saved");
    showError(nullptr, "I/O error 2");
    answer_ = true;
    EXPECT_TRUE(askYesNo(nullptr, "overwrite?"));
    answer_ = false;
    EXPECT_FALSE(askYesNo(nullptr, "overwrite?"));
    const std::vector<std::pair<MessageKind, QString>> expected{
        {MessageKind::Information, "saved"},
        {MessageKind::Error, "I/O error 2"},
        {MessageKind::Question, "overwrite?"},
        {MessageKind::Question, "overwrite?"},
    };
    EXPECT_EQ(seen_, expected);
}

TEST_F(ToolkitMessageTest, AfterAnEndRequestBoxesCloseAtOnce) {
    showMessage(nullptr, "One of the application files is missing or corrupted 3");
    requestProgramEnd();
    EXPECT_TRUE(programEndRequested());
    answer_ = true;
    showMessage(nullptr, "This application cannot work on the read only disk.");
    showError(nullptr, "read error");
    EXPECT_FALSE(askYesNo(nullptr, "overwrite?"));
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].second, "One of the application files is missing or corrupted 3");
}

} // namespace
} // namespace pulmora
