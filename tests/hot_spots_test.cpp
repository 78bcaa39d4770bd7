#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <cmath>
#include <optional>

#include "app/image_box.h"
#include "graphics/hot_spots.h"
#include "graphics/live_display.h"
#include "main_window_fixture.h"
#include "toolkit/string_grid.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;

namespace {

// ---- the file format ----

struct ParseCase {
    const char* name;
    const char* text;
    HotSpotLines lines;
};

class HotSpotParsing : public testing::TestWithParam<ParseCase> {};

TEST_P(HotSpotParsing, SplitsLinesAndFields) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(parseHotSpotText(c.text), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Format, HotSpotParsing,
    testing::Values(ParseCase{"fields", "1;50;12;2;trachea\n", {{"1", "50", "12", "2", "trachea"}}},
                    ParseCase{"trailing_separator_adds_no_field", "a;b;\n", {{"a", "b"}}},
                    ParseCase{"empty_fields_between_separators", ";;x\n", {{"", "", "x"}}},
                    ParseCase{"empty_line_sets_nothing", "a\n\nb\n", {{"a"}, {}, {"b"}}},
                    ParseCase{"no_final_line_end", "a;b\nc", {{"a", "b"}, {"c"}}},
                    ParseCase{"crlf_is_one_line_end", "a\r\nb\r\n", {{"a"}, {"b"}}},
                    ParseCase{"lone_cr_ends_a_line", "a\rb", {{"a"}, {"b"}}},
                    ParseCase{"blanks_are_kept", " 5 ; 6\n", {{" 5 ", " 6"}}},
                    ParseCase{"empty_file", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct NumberCase {
    const char* name;
    const char* text;
    std::optional<int> value;
};

class WholeNumbers : public testing::TestWithParam<NumberCase> {};

TEST_P(WholeNumbers, AreReadOnlyWhenTheWholeFieldIsANumber) {
    EXPECT_EQ(parseWholeNumber(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Format, WholeNumbers,
                         testing::Values(NumberCase{"plain", "12", 12},
                                         NumberCase{"leading_blank", " 7", 7},
                                         NumberCase{"negative", "-3", -3},
                                         NumberCase{"plus", "+4", 4},
                                         NumberCase{"fraction", "12.5", std::nullopt},
                                         NumberCase{"empty", "", std::nullopt},
                                         NumberCase{"trailing_blank", "7 ", std::nullopt},
                                         NumberCase{"two_signs", "+-5", std::nullopt},
                                         NumberCase{"too_large", "99999999999", std::nullopt},
                                         NumberCase{"text", "two", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- loading into the grid ----

QString writeFile(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath("F000.dat");
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
}

TEST(LoadHotSpotTable, GrowsTheGridAndNeverShrinksIt) {
    QTemporaryDir dir;
    StringGrid grid;
    grid.setColCount(5);
    grid.setRowCount(40);
    QByteArray fifty;
    for (int i = 0; i < 50; ++i)
        fifty += QByteArray::number(i) + ";1;2;3\n";
    ASSERT_TRUE(LoadHotSpotTable(writeFile(dir, fifty), grid));
    EXPECT_EQ(grid.rowCount(), 50);
    EXPECT_EQ(grid.cells(0, 49), "49");

    StringGrid small;
    small.setColCount(5);
    small.setRowCount(40);
    small.setCells(0, 10, "kept");
    small.setCells(4, 1, "kept too");
    ASSERT_TRUE(LoadHotSpotTable(writeFile(dir, "head\n1;50;50\n2;60;60\n"), small));
    EXPECT_EQ(small.rowCount(), 40);
    EXPECT_EQ(small.cells(0, 0), "head");
    EXPECT_EQ(small.cells(2, 2), "60");
    EXPECT_EQ(small.cells(0, 10), "kept");
    EXPECT_EQ(small.cells(4, 1), "kept too"); // a field the line does not reach
}

TEST(LoadHotSpotTable, MissingFileIsReportedAndLeavesTheGrid) {
    QTemporaryDir dir;
    QStringList messages;
    const MessageSink previous = setMessageSink([&](MessageKind, const QString& text) {
        messages << text;
        return true;
    });
    StringGrid grid;
    grid.setColCount(5);
    grid.setRowCount(40);
    grid.setCells(1, 1, "50");
    const QString path = dir.filePath("none/F000.dat");
    EXPECT_FALSE(LoadHotSpotTable(path, grid));
    setMessageSink(previous);
    EXPECT_EQ(messages, QStringList{"File not found:" + path});
    EXPECT_EQ(grid.cells(1, 1), "50");
    EXPECT_EQ(grid.rowCount(), 40);
}

struct HostileCase {
    const char* name;
    QByteArray (*make)();
};

class HostileHotSpotFile : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileHotSpotFile, LoadsWithinTheLimits) {
    QTemporaryDir dir;
    StringGrid grid;
    grid.setColCount(5);
    grid.setRowCount(40);
    ASSERT_TRUE(LoadHotSpotTable(writeFile(dir, GetParam().make()), grid));
    EXPECT_LE(grid.rowCount(), kHotSpotRowLimit);
    EXPECT_LE(grid.colCount(), kHotSpotColumnLimit);
    EXPECT_GE(grid.rowCount(), 40);
    // The table still answers a hit test.
    (void)findHotSpotRow(grid, 50, 50);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileHotSpotFile,
    testing::Values(
        HostileCase{"one_very_long_line", [] { return QByteArray(3 << 20, 'a'); }},
        HostileCase{"thousands_of_fields",
                    [] { return QByteArray(200000, ';') + "\n" + QByteArray(100000, ';'); }},
        HostileCase{"millions_of_empty_lines", [] { return QByteArray(2 << 20, '\n'); }},
        HostileCase{"binary_bytes",
                    [] {
                        QByteArray b;
                        for (int i = 0; i < 70000; ++i)
                            b.append(static_cast<char>(i * 131 % 256));
                        return b;
                    }},
        HostileCase{"numbers_beyond_int",
                    [] {
                        return QByteArray(
                            "h\n1;99999999999;-99999999999;5\n1;2147483647;-2147483648;4");
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the hit test on the window ----

// Puts rows into the window's table, after its heading row; the rest of the 40 rows stay empty.
void setTable(TForm1& w, std::initializer_list<std::array<const char*, 4>> rows) {
    for (int r = 1; r < w.tparm->rowCount(); ++r)
        for (int c = 0; c < w.tparm->colCount(); ++c)
            w.tparm->setCells(c, r, "");
    int r = 1;
    for (const auto& row : rows) {
        for (int c = 0; c < 4; ++c)
            w.tparm->setCells(c, r, row[c]);
        ++r;
    }
}

// The pixel of Image1 whose position rounds to (xp, yp) percent.
QPoint at(const TForm1& w, int xp, int yp) {
    const int X = static_cast<int>(std::lround(xp * w.Image1->width() / 100.0));
    const int Y = static_cast<int>(std::lround(yp * w.Image1->height() / 100.0));
    EXPECT_EQ(positionPercent(X, w.Image1->width()), xp);
    EXPECT_EQ(positionPercent(Y, w.Image1->height()), yp);
    return {X, Y};
}

struct DistanceCase {
    const char* name;
    int dx, dy; // percent away from the hot-spot
    bool hit;
};

class HotSpotDistance : public testing::TestWithParam<DistanceCase> {};

TEST_P(HotSpotDistance, HitsOnlyWithinLessThanFivePercent) {
    const DistanceCase& c = GetParam();
    MainWindowFixture f;
    TForm1& w = f.start();
    setTable(w, {{{"1", "50", "40", "3"}}});
    const QPoint p = at(w, 50 + c.dx, 40 + c.dy);
    w.FindHotSpot(p.x(), p.y());
    EXPECT_EQ(w.lungPicture().HoveredHotSpot, c.hit ? 1 : -1);
    EXPECT_EQ(w.ShownPicture(), c.hit ? 3 : 1);
    EXPECT_EQ(w.Memo1->isVisible(), c.hit);
}

INSTANTIATE_TEST_SUITE_P(Radius, HotSpotDistance,
                         testing::Values(DistanceCase{"on_the_point", 0, 0, true},
                                         DistanceCase{"four_right", 4, 0, true},
                                         DistanceCase{"four_up_four_left", -4, -4, true},
                                         DistanceCase{"five_right", 5, 0, false},
                                         DistanceCase{"five_left", -5, 0, false},
                                         DistanceCase{"five_down", 0, 5, false},
                                         DistanceCase{"four_across_five_up", 4, -5, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HotSpots, TheLaterRowDecidesPicturePanelAndHelpPage) {
    MainWindowFixture f;
    TForm1& w = f.start();
    setTable(w, {{{"1", "30", "30", "3"}}, {{"2", "31", "29", "4"}}});
    const QPoint p = at(w, 30, 30);
    w.FindHotSpot(p.x(), p.y());
    EXPECT_EQ(w.lungPicture().HoveredHotSpot, 2);
    EXPECT_EQ(w.ShownPicture(), 4);
    EXPECT_EQ(w.Memo1->text(), " peripheral");
    w.HotSpotClick(Qt::LeftButton, p.x(), p.y());
    EXPECT_EQ(w.state().session.parameters.activePanel, 4);
    EXPECT_EQ(w.ShownPicture(), 4); // the click does not change the picture
    w.state().session.parameters.activePanel = 0;
    w.HotSpotClick(Qt::RightButton, p.x(), p.y());
    EXPECT_EQ(f.helpPages, QStringList{"H0003.rtf"});
}

TEST(HotSpots, FractionalCellNeverHits) {
    MainWindowFixture f;
    TForm1& w = f.start();
    setTable(w, {{{"1", "12.5", "40", "2"}}});
    for (const int x : {12, 13}) {
        const QPoint p = at(w, x, 40);
        w.FindHotSpot(p.x(), p.y());
        EXPECT_EQ(w.lungPicture().HoveredHotSpot, -1);
    }
}

TEST(HotSpots, MovingOffAllHotSpotsShowsTheGeneralViewAndHidesTheCaption) {
    MainWindowFixture f;
    TForm1& w = f.start();
    setTable(w, {{{"1", "30", "30", "3"}}, {{"2", "34", "30", "3"}}});
    const QPoint first = at(w, 30, 30);
    w.FindHotSpot(first.x(), first.y());
    const QRect caption = w.Memo1->geometry();
    // Another hot-spot of the group shown: the caption stays where it was.
    const QPoint second = at(w, 36, 30);
    w.FindHotSpot(second.x(), second.y());
    EXPECT_EQ(w.lungPicture().HoveredHotSpot, 2);
    EXPECT_EQ(w.Memo1->geometry(), caption);
    const QPoint off = at(w, 80, 80);
    w.FindHotSpot(off.x(), off.y());
    EXPECT_EQ(w.ShownPicture(), 1);
    EXPECT_FALSE(w.Memo1->isVisible());
    // A left click there makes no panel active; a right click opens the general page.
    w.state().session.parameters.activePanel = 5;
    w.HotSpotClick(Qt::LeftButton, off.x(), off.y());
    EXPECT_EQ(w.state().session.parameters.activePanel, 0);
    w.HotSpotClick(Qt::RightButton, off.x(), off.y());
    EXPECT_EQ(f.helpPages, QStringList{"H0000.rtf"});
}

struct GroupCase {
    const char* name;
    const char* group;
    int slot;
    int panel;
    const char* page;
};

class HotSpotGroupActions : public testing::TestWithParam<GroupCase> {};

TEST_P(HotSpotGroupActions, SelectPictureGroupAndPage) {
    const GroupCase& c = GetParam();
    MainWindowFixture f;
    TForm1& w = f.start();
    setTable(w, {{{"1", "50", "50", c.group}}});
    w.ShowPicture(2, 0, 0); // something else than the expected picture
    w.state().session.parameters.activePanel = 0;
    const QPoint p = at(w, 50, 50);
    w.FindHotSpot(p.x(), p.y());
    EXPECT_EQ(w.ShownPicture(), c.slot);
    w.state().session.parameters.activePanel = 5;
    w.HotSpotClick(Qt::LeftButton, p.x(), p.y());
    EXPECT_EQ(w.state().session.parameters.activePanel, c.panel);
    w.HotSpotClick(Qt::RightButton, p.x(), p.y());
    EXPECT_EQ(f.helpPages, QStringList{c.page});
}

INSTANTIATE_TEST_SUITE_P(
    Groups, HotSpotGroupActions,
    testing::Values(GroupCase{"general", "1", 1, 0, "H0001.rtf"},
                    GroupCase{"main", "2", 2, 1, "H0001.rtf"},
                    GroupCase{"middle", "3", 3, 3, "H0002.rtf"},
                    GroupCase{"peripheral", "4", 4, 4, "H0003.rtf"},
                    GroupCase{"lungs", "5", 5, 5, "H0004.rtf"},
                    // Unknown groups: the general view, no panel change, the general page.
                    GroupCase{"group_seven", "7", 1, 5, "H0000.rtf"},
                    GroupCase{"not_a_number", "x", 1, 5, "H0000.rtf"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BlockedCase {
    const char* name;
    int activePanel;
    bool runInProgress;
    bool animationBusy;
};

class HotSpotsBlocked : public testing::TestWithParam<BlockedCase> {};

void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button) {
    QMouseEvent e(type, pos, target->mapToGlobal(pos), button,
                  type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

TEST_P(HotSpotsBlocked, NothingFollowsTheMouse) {
    const BlockedCase& c = GetParam();
    MainWindowFixture f;
    TForm1& w = f.start();
    setTable(w, {{{"1", "50", "50", "3"}}});
    w.ShowPicture(-2);
    ProgramState& s = w.state();
    s.session.parameters.activePanel = c.activePanel;
    s.RunInProgress = c.runInProgress;
    w.lungPicture().animation.AnimationBusy = c.animationBusy;
    const QPoint p = at(w, 50, 50);
    sendMouse(w.Image1, QEvent::MouseMove, p, Qt::NoButton);
    EXPECT_EQ(w.ShownPicture(), 1);
    EXPECT_FALSE(w.Memo1->isVisible());
    EXPECT_EQ(w.lungPicture().HoveredHotSpot, -1);
    if (c.activePanel == 0) {
        sendMouse(w.Image1, QEvent::MouseButtonPress, p, Qt::RightButton);
        EXPECT_TRUE(f.helpPages.isEmpty());
    }
    s.RunInProgress = false;
    w.lungPicture().animation.AnimationBusy = false;
}

INSTANTIATE_TEST_SUITE_P(States, HotSpotsBlocked,
                         testing::Values(BlockedCase{"panel_active", 3, false, false},
                                         BlockedCase{"run_in_progress", 0, true, false},
                                         BlockedCase{"animation_busy", 0, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HotSpots, MouseOverThePictureActsWhenNothingBlocksIt) {
    MainWindowFixture f;
    TForm1& w = f.start();
    setTable(w, {{{"1", "50", "50", "5"}}});
    const QPoint p = at(w, 50, 50);
    sendMouse(w.Image1, QEvent::MouseMove, p, Qt::NoButton);
    EXPECT_EQ(w.ShownPicture(), 5);
    EXPECT_TRUE(w.Memo1->isVisible());
    sendMouse(w.Image1, QEvent::MouseButtonPress, p, Qt::LeftButton);
    EXPECT_EQ(w.state().session.parameters.activePanel, 5);
}

// ---- the delivered table and pictures ----

// Whether the picture shows its highlight (orange) at or right beside a point.
bool highlightedNear(const QImage& image, int x, int y) {
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            if (!image.valid(x + dx, y + dy)) continue;
            const QColor c = image.pixelColor(x + dx, y + dy);
            if (c.red() > 200 && c.green() > 110 && c.green() < 200 && c.blue() < 110) return true;
        }
    return false;
}

TEST(DeliveredHotSpots, EveryPointLiesOnTheRegionItsPictureHighlights) {
    MainWindowFixture f;
    TForm1& w = f.start();
    const StringGrid& t = *w.tparm;
    ASSERT_GT(t.rowCount(), 40);
    EXPECT_EQ(t.cells(1, 0), "x");
    int checked = 0;
    for (int r = 1; r < t.rowCount(); ++r) {
        const auto x = parseWholeNumber(t.cells(1, r).toStdString());
        const auto y = parseWholeNumber(t.cells(2, r).toStdString());
        const auto g = parseWholeNumber(t.cells(3, r).toStdString());
        if (!x || !y || !g) continue;
        ASSERT_GE(*g, 1);
        ASSERT_LE(*g, 5);
        ASSERT_TRUE(*x >= 0 && *x <= 100 && *y >= 0 && *y <= 100) << r;
        if (*g == 1) continue;
        const QImage& picture = w.lungPicture().pictures.PictureTable[*g];
        const int px = *x * picture.width() / 100, py = *y * picture.height() / 100;
        EXPECT_TRUE(highlightedNear(picture, px, py))
            << "row " << r << " group " << *g << " at " << *x << "%, " << *y << "%";
        // The general view shows no highlight there.
        EXPECT_FALSE(highlightedNear(w.lungPicture().pictures.PictureTable[1], px, py)) << r;
        ++checked;
    }
    EXPECT_GT(checked, 40);
    // Every region has points.
    for (int g = 2; g <= 5; ++g) {
        bool found = false;
        for (int r = 1; r < t.rowCount(); ++r)
            found = found || t.cells(3, r) == QString::number(g);
        EXPECT_TRUE(found) << g;
    }
}

} // namespace
