#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <limits>

#include "app/image_box.h"
#include "graphics/airway_picture.h"
#include "graphics/live_display.h"
#include "main_window_fixture.h"
#include "toolkit/canvas.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;

namespace {

// Values of a relaxed standard patient, roughly.
AirwayValues ordinaryValues() {
    AirwayValues v;
    for (LobeDrawValues& lobe : v.lobes)
        lobe = {0.6, 0.5, 0.12, false};
    v.Rt = 0.0454575;
    v.RL = v.RR = 0.00057;
    return v;
}

bool isRed(QColor c) {
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}
bool isBlack(QColor c) {
    return c.red() < 60 && c.green() < 60 && c.blue() < 60;
}

QPoint mid(PixelPoint a, PixelPoint b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

// ---- geometry ----

struct CarinaCase {
    const char* name;
    int W, H;
    double RL, RR;
    int side; // 0 centred, +1 right of the centre, -1 left of it
};

class Carina : public testing::TestWithParam<CarinaCase> {};

TEST_P(Carina, SitsWhereTheMainBronchiPutIt) {
    const CarinaCase& c = GetParam();
    AirwayValues v = ordinaryValues();
    v.RL = c.RL;
    v.RR = c.RR;
    const AirwayShape s = airwayShape(v, c.W, c.H, 2);
    const int centre = static_cast<int>(std::nearbyint(c.W / 2.0));
    if (c.side == 0) {
        EXPECT_EQ(s.C.x, centre);
    } else if (c.side > 0) {
        EXPECT_GT(s.C.x, centre);
    } else {
        EXPECT_LT(s.C.x, centre);
    }
    // The carina lies below the trachea's bottom, between the main bronchi's inner ends.
    EXPECT_GT(s.C.y, s.BL.y - 20);
    EXPECT_LT(s.IR.x, s.C.x);
    EXPECT_GT(s.IL.x, s.C.x);
}

INSTANTIATE_TEST_SUITE_P(
    Airways, Carina,
    testing::Values(CarinaCase{"equal_standard", 486, 547, 0.00057, 0.00057, 0},
                    CarinaCase{"equal_odd_width", 381, 385, 0.002, 0.002, 0},
                    CarinaCase{"equal_narrow", 200, 500, 0.01, 0.01, 0},
                    // A wider right bronchus (less resistance) moves it to the picture's right.
                    CarinaCase{"wider_right", 486, 547, 0.00057, 0.00005, 1},
                    CarinaCase{"wider_left", 486, 547, 0.00005, 0.00057, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AirwayGeometry, BulgeFactorRisesBelowTheIntermediateResistanceThreshold) {
    // 100 / C passes 20 where Ri passes 0.25^4 = 0.00390625.
    AirwayValues v = ordinaryValues();
    v.lobes[0].Ri = 0.0039;
    v.lobes[1].Ri = 0.0040;
    const AirwayShape s = airwayShape(v, 486, 547, 2);
    EXPECT_GT(s.lobeInputs[0].c, 20.0f);
    EXPECT_LT(s.lobeInputs[1].c, 20.0f);

    // An unturned lobe at (100, 100), k = 1: top 95, peak 79, mouth 96, so the amplitude is
    // (-16 - 0.4) x g: -3.28 at 0.2 and -4.92 at 0.3. P3 lies at the middle of the rise
    // (sin(pi/2) = 1), so it carries the whole rounded amplitude.
    struct Row {
        float c;
        int amplitude;
    };
    for (const Row row : {Row{20.0f, -3}, Row{20.001f, -5}}) {
        LobeInput in;
        in.x = in.y = 100;
        in.rootFactor = 4;
        in.q = 3;
        in.a = 40;
        in.c = row.c;
        in.k = 1;
        const LobeShape lobe = lobeShape(in);
        const int top = 95, peak = 79;
        EXPECT_EQ(lobe.P[0].y, top);
        EXPECT_EQ(lobe.P[5].y, peak);
        EXPECT_EQ(lobe.P[3].y - (top + (peak - top) / 2), row.amplitude) << "c = " << row.c;
    }
}

struct CircleCase {
    const char* name;
    float q, a; // mouth and circle sizes
    bool centredAtMouth;
};

class LobeCircle : public testing::TestWithParam<CircleCase> {};

TEST_P(LobeCircle, PassesThroughTheMouthCornersOnlyWhenWideEnough) {
    const CircleCase& c = GetParam();
    LobeInput in;
    in.x = 200;
    in.y = 150;
    in.rootFactor = 4;
    in.q = c.q;
    in.a = c.a;
    in.c = 8;
    in.k = 1;
    const LobeShape lobe = lobeShape(in);
    const PixelPoint mouthCentre{lobe.P[11].x, 150};
    if (c.centredAtMouth) {
        EXPECT_EQ(lobe.P[24], mouthCentre);
    } else {
        EXPECT_GT(lobe.P[24].x, mouthCentre.x);
        // The corners lie on the circle (to a pixel).
        const double r = std::hypot(lobe.P[11].x - lobe.P[24].x, lobe.P[11].y - lobe.P[24].y);
        EXPECT_NEAR(r, lobe.b, 1.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lobes, LobeCircle,
    testing::Values(CircleCase{"small_volume_wide_mouth", 12, 5, true},
                    CircleCase{"equal_sizes", 9, 10, true}, // m = 9 + 1 = b: through both
                    CircleCase{"just_wider", 8, 10, false}, CircleCase{"ordinary", 3, 42, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AirwayGeometry, HigherPeripheralResistanceNarrowsTheMouth) {
    int previous = std::numeric_limits<int>::max();
    for (const double Rp : {0.1, 0.5, 2.0, 8.0, 32.0}) {
        AirwayValues v = ordinaryValues();
        v.lobes[3].Rp = Rp;
        const LobeShape lobe = airwayShape(v, 486, 547, 2).lobes[3];
        const int mouth =
            static_cast<int>(std::hypot(lobe.P[11].x - lobe.P[23].x, lobe.P[11].y - lobe.P[23].y));
        EXPECT_LE(mouth, previous) << "Rp " << Rp;
        previous = mouth;
    }
    EXPECT_LT(previous, 5);
}

struct TurnCase {
    const char* name;
    int lobe;  // 0 ... 4
    int right; // sign of the circle's x offset from the lobe's origin
    int down;  // sign of its y offset (screen y points down); 0 when nearly level
};

class LobeDirection : public testing::TestWithParam<TurnCase> {};

TEST_P(LobeDirection, PositiveAnglesTurnCounterClockwiseOnScreen) {
    const TurnCase& c = GetParam();
    const AirwayShape s = airwayShape(ordinaryValues(), 486, 547, 2);
    const LobeInput& in = s.lobeInputs[c.lobe];
    const PixelPoint centre = s.lobes[c.lobe].P[24];
    const double dx = centre.x - in.x, dy = centre.y - in.y;
    EXPECT_EQ(dx > 0 ? 1 : -1, c.right) << dx;
    if (c.down == 0) {
        EXPECT_LT(std::fabs(dy), std::fabs(dx) / 2) << dy;
    } else {
        EXPECT_EQ(dy > 0 ? 1 : -1, c.down) << dy;
    }
}

INSTANTIATE_TEST_SUITE_P(Lobes, LobeDirection,
                         testing::Values(TurnCase{"left_upper_up_right", 0, 1, -1},
                                         TurnCase{"left_lower_down_right", 1, 1, 1},
                                         TurnCase{"right_upper_up_left", 2, -1, -1},
                                         TurnCase{"right_middle_left", 3, -1, 0},
                                         TurnCase{"right_lower_down_left", 4, -1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AirwayGeometry, DamagedValuesStayInsideAFewPictureSizes) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double bad : {0.0, -1.0, nan, 1e30, std::numeric_limits<double>::infinity()}) {
        AirwayValues v;
        for (LobeDrawValues& lobe : v.lobes)
            lobe = {bad, bad, bad, true};
        v.Rt = v.RL = v.RR = bad;
        const AirwayShape s = airwayShape(v, 486, 547, 2);
        const int limit = 4 * (486 + 547) + 64 + (1 << 17);
        for (const LobeShape& lobe : s.lobes)
            for (const PixelPoint p : lobe.P) {
                EXPECT_LE(std::abs(p.x), limit) << bad;
                EXPECT_LE(std::abs(p.y), limit) << bad;
            }
        // And the drawing of such values completes.
        QImage target(486, 547, QImage::Format_RGB32), buffer(486, 547, QImage::Format_RGB32);
        Canvas canvas(target);
        DrawAirwayPicture(canvas, 0, 0, 486, 547, 2, Qt::black, v, buffer, QImage());
    }
}

// ---- drawing ----

struct LobeDrawing {
    QImage image{400, 300, QImage::Format_RGB32};
    LobeShape lobe;
    explicit LobeDrawing(bool limited) {
        image.fill(Qt::white);
        LobeInput in;
        in.x = 60;
        in.y = 150;
        in.rootFactor = 10;
        in.q = 10;
        in.a = 80;
        in.c = 25;
        in.k = 2; // a big lobe, so that every segment has pixels of its own
        in.limited = limited;
        lobe = lobeShape(in);
        Canvas c(image);
        DrawLobe(c, lobe, 2, Qt::black);
    }
};

TEST(DrawLobe, LimitedLobeShowsRedOnTheMiddleNineSegmentsOfEachWall) {
    const LobeDrawing d(true);
    const auto& P = d.lobe.P;
    for (const int first : {0, 12}) {
        for (int i = first + 2; i <= first + 10; ++i) {
            const QPoint m = mid(P[i - 1], P[i]);
            EXPECT_TRUE(isRed(d.image.pixelColor(m))) << "segment to P" << i;
        }
        // The segment to the mouth corner keeps the line colour.
        const QPoint neck = mid(P[first + 10], P[first + 11]);
        EXPECT_TRUE(isBlack(d.image.pixelColor(neck))) << "neck of wall " << first;
    }
    // The first segment of each wall is a point at the root; it is not red.
    EXPECT_EQ(P[0], P[1]);
    EXPECT_EQ(P[12], P[13]);
    // The circle's far side, straight out from its centre, is in the line colour.
    const QPoint far(P[24].x + d.lobe.b - 1, P[24].y);
    bool black = false;
    for (int dx = -2; dx <= 2; ++dx)
        black = black || isBlack(d.image.pixelColor(far.x() + dx, far.y()));
    EXPECT_TRUE(black);
    // Its near side, inside the mouth, is not drawn.
    const QPoint near(P[24].x - d.lobe.b + 1, P[24].y);
    EXPECT_EQ(d.image.pixelColor(near), QColor(Qt::white));
}

TEST(DrawLobe, LobeWithoutLimitationHasNoRed) {
    const LobeDrawing d(false);
    int red = 0, black = 0;
    for (int y = 0; y < d.image.height(); ++y)
        for (int x = 0; x < d.image.width(); ++x) {
            red += isRed(d.image.pixelColor(x, y));
            black += isBlack(d.image.pixelColor(x, y));
        }
    EXPECT_EQ(red, 0);
    EXPECT_GT(black, 200);
}

TEST(DrawAirwayPicture, ComposesOverTheBackgroundAndStretchesIntoTheTarget) {
    QImage background(100, 100, QImage::Format_RGB32);
    background.fill(QColor(0x20, 0x80, 0x20));
    QImage buffer(240, 270, QImage::Format_RGB32);
    QImage target(500, 400, QImage::Format_RGB32);
    target.fill(Qt::white);
    Canvas canvas(target);
    AirwayValues v = ordinaryValues();
    v.lobes[2].limited = true;
    DrawAirwayPicture(canvas, 30, 20, 240, 270, 2, Qt::black, v, buffer, background);
    // Outside the rectangle nothing changed; inside, the background shows around the tree.
    EXPECT_EQ(target.pixelColor(10, 10), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(30 + 240 + 5, 100), QColor(Qt::white));
    EXPECT_EQ(target.pixelColor(32, 22), QColor(0x20, 0x80, 0x20));
    // The trachea's walls are black lines in the middle of the picture.
    const AirwayShape s = airwayShape(v, 240, 270, 2);
    EXPECT_TRUE(isBlack(target.pixelColor(30 + s.TL.x, 20 + (s.TL.y + s.BL.y) / 2)));
    // The limited right upper lobe is the only red one.
    int red = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 500; ++x)
            red += isRed(target.pixelColor(x, y));
    EXPECT_GT(red, 10);
    const QPoint redWall = mid(s.lobes[2].P[5], s.lobes[2].P[6]);
    EXPECT_TRUE(isRed(target.pixelColor(30 + redWall.x(), 20 + redWall.y())));
    const QPoint blackWall = mid(s.lobes[4].P[5], s.lobes[4].P[6]);
    EXPECT_TRUE(isBlack(target.pixelColor(30 + blackWall.x(), 20 + blackWall.y())));
}

TEST(RecordAirwayValues, ReadsTheSampleRowAndTheRunsSingleValues) {
    auto history = makeRunHistory();
    SimulationRecord& r = history->slot(2);
    r.lobeVolume[7][3] = 0.8f;
    r.lobePeripheralR[7][3] = 1.5f;
    r.lobeIntermediateR[7][3] = 0.25f;
    r.lobeLimited[7][3] = 1;
    r.tracheaCoefficient = 0.04f;
    r.leftBronchusR = 0.001f;
    r.rightBronchusR = 0.002f;
    const AirwayValues v = recordAirwayValues(r, 7);
    EXPECT_FLOAT_EQ(v.lobes[3].V, 0.8f);
    EXPECT_FLOAT_EQ(v.lobes[3].Rp, 1.5f);
    EXPECT_FLOAT_EQ(v.lobes[3].Ri, 0.25f);
    EXPECT_TRUE(v.lobes[3].limited);
    EXPECT_FALSE(v.lobes[2].limited);
    EXPECT_FLOAT_EQ(v.Rt, 0.04f);
    EXPECT_FLOAT_EQ(v.RR, 0.002f);
    // A row outside the table reads row 0 rather than memory beyond it.
    r.lobeVolume[0][0] = 0.3f;
    EXPECT_FLOAT_EQ(recordAirwayValues(r, 99999).lobes[0].V, 0.3f);
}

// ---- stored pictures ----

TEST(ReverseFileHead, IsItsOwnInverse) {
    QTemporaryDir dir;
    for (const int size : {0, 7, 100, 101, 5000}) {
        QByteArray bytes;
        for (int i = 0; i < size; ++i)
            bytes.append(static_cast<char>(i * 37 + 11));
        const QString a = dir.filePath("a.dat"), b = dir.filePath("b.dat"),
                      c = dir.filePath("c.dat");
        QFile fa(a);
        ASSERT_TRUE(fa.open(QIODevice::WriteOnly));
        fa.write(bytes);
        fa.close();
        ASSERT_TRUE(ReverseFileHead(a, b));
        ASSERT_TRUE(ReverseFileHead(b, c));
        QFile fb(b), fc(c);
        ASSERT_TRUE(fb.open(QIODevice::ReadOnly));
        ASSERT_TRUE(fc.open(QIODevice::ReadOnly));
        const QByteArray reversed = fb.readAll(), restored = fc.readAll();
        EXPECT_EQ(restored, bytes) << size;
        QByteArray expected = bytes;
        std::reverse(expected.begin(), expected.begin() + std::min<qsizetype>(100, size));
        EXPECT_EQ(reversed, expected) << size;
    }
}

TEST(ReverseFileHead, MissingSourceDoesNothing) {
    QTemporaryDir dir;
    EXPECT_TRUE(ReverseFileHead(dir.filePath("none.dat"), dir.filePath("out.dat")));
    EXPECT_FALSE(QFile::exists(dir.filePath("out.dat")));
}

TEST(LungPictures, StartUpDecodesTheFivePicturesAndRemovesTheScratchFile) {
    MainWindowFixture f;
    // A scratch copy left behind by an earlier crash.
    QFile stale(f.folder.filePath("datfiles1/temp.dat"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("stale");
    stale.close();
    TForm1& w = f.start();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    const PictureResources& p = w.lungPicture().pictures;
    for (int k = 1; k <= 5; ++k)
        EXPECT_FALSE(p.PictureTable[k].isNull()) << k;
    for (int k = 6; k <= 11; ++k)
        EXPECT_TRUE(p.PictureTable[k].isNull()) << k;
    EXPECT_FALSE(p.BackgroundPicture.isNull());
    EXPECT_EQ(p.PictureBuffer.size(), w.Image1->size());
    EXPECT_FALSE(QFile::exists(f.folder.filePath("datfiles1/temp.dat")));
    // Each region picture differs from the general view.
    for (int k = 2; k <= 5; ++k)
        EXPECT_NE(p.PictureTable[k], p.PictureTable[1]) << k;
}

TEST(LungPictures, DamagedPictureIsReportedAndEndsTheProgram) {
    MainWindowFixture f;
    QFile bad(f.folder.filePath("datfiles1/F003.dat"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bad.write("not a picture");
    bad.close();
    f.start();
    ASSERT_FALSE(f.messages.isEmpty());
    EXPECT_TRUE(f.messages.last().contains("F003.dat")) << f.messages.last().toStdString();
    EXPECT_TRUE(programEndRequested());
    clearProgramEndRequest();
    EXPECT_FALSE(QFile::exists(f.folder.filePath("datfiles1/temp.dat")));
}

// ---- ShowPicture ----

TEST(ShowPicture, CaptionSitsAboveAndRightOfTheAnchor) {
    MainWindowFixture f;
    TForm1& w = f.start();
    ASSERT_EQ(w.Image1->pos(), QPoint(10, 0));
    ASSERT_EQ(w.Memo1->height(), 25);
    w.ShowPicture(3, 100, 200);
    EXPECT_EQ(w.Memo1->text(), " middle");
    EXPECT_EQ(w.Memo1->geometry(), QRect(115, 170, 70, 25));
    EXPECT_TRUE(w.Memo1->isVisible());
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_EQ(w.ShownPicture(), 3);
}

TEST(ShowPicture, RequestingTheShownSlotDoesNothing) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.ShowPicture(3, 100, 200);
    w.Image1->picture().fill(Qt::magenta);
    w.ShowPicture(3, 10, 10);
    EXPECT_EQ(w.Memo1->geometry(), QRect(115, 170, 70, 25)); // the caption did not move
    EXPECT_EQ(w.Image1->picture().pixelColor(5, 5), QColor(Qt::magenta));
}

TEST(ShowPicture, MinusTwoAlwaysRepaintsSlotOneAndHidesTheCaption) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.ShowPicture(1);
    QImage slot1 = w.Image1->picture().copy();
    w.ShowPicture(4, 50, 50);
    ASSERT_TRUE(w.Memo1->isVisible());
    w.ShowPicture(1);
    w.Image1->picture().fill(Qt::magenta); // an airway drawing over slot 1
    w.ShowPicture(1);                      // the shown slot: nothing
    EXPECT_EQ(w.Image1->picture().pixelColor(5, 5), QColor(Qt::magenta));
    w.ShowPicture(-2);
    EXPECT_EQ(w.Image1->picture(), slot1);
    EXPECT_FALSE(w.Memo1->isVisible());
    EXPECT_EQ(w.ShownPicture(), 1);
}

TEST(ShowPicture, MinusThreeRepaintsTheShownSlotAndKeepsTheCaption) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.ShowPicture(5, 100, 100);
    const QImage slot5 = w.Image1->picture().copy();
    const QRect caption = w.Memo1->geometry();
    w.Image1->picture().fill(Qt::magenta);
    w.ShowPicture(-3, 300, 300);
    EXPECT_EQ(w.Image1->picture(), slot5);
    EXPECT_EQ(w.Memo1->geometry(), caption);
    EXPECT_EQ(w.Memo1->text(), " lungs ");
    EXPECT_TRUE(w.Memo1->isVisible());
}

TEST(ShowPicture, FirstPaintShowsSlotOne) {
    MainWindowFixture f;
    TForm1& w = f.start();
    QApplication::processEvents();
    w.Image1->repaint();
    EXPECT_EQ(w.ShownPicture(), 1);
    // The general view fills the picture area.
    EXPECT_NE(w.Image1->picture().pixelColor(w.Image1->width() / 2, w.Image1->height() / 2),
              QColor(Qt::white));
}

TEST(ShowPicture, BadNumbersAreReportedAndChangeNothing) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.ShowPicture(2, 10, 10);
    for (const int bad : {-4, -5, -6}) {
        f.messages.clear();
        w.ShowPicture(bad);
        EXPECT_EQ(f.messages, QStringList{QString("Bad num. %1").arg(bad)});
        EXPECT_EQ(w.ShownPicture(), 2);
    }
    // Numbers outside the table are refused without a message.
    f.messages.clear();
    w.ShowPicture(12);
    w.ShowPicture(-7);
    EXPECT_TRUE(f.messages.isEmpty());
    EXPECT_EQ(w.ShownPicture(), 2);
}

TEST(ShowPicture, EmptySlotsDrawNothing) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.ShowPicture(3, 10, 10);
    w.Image1->picture().fill(Qt::magenta);
    w.ShowPicture(8, 10, 10);
    EXPECT_EQ(w.ShownPicture(), 8);
    EXPECT_FALSE(w.Memo1->isVisible());
    EXPECT_EQ(w.Image1->picture().pixelColor(20, 20), QColor(Qt::magenta));
}

struct TimeOutCase {
    const char* name;
    int activePanel;
    int shownAfter;
};

class LabelTimeOut : public testing::TestWithParam<TimeOutCase> {};

TEST_P(LabelTimeOut, HidesTheCaptionAndShowsSlotOneWhenNoPanelIsActive) {
    const TimeOutCase& c = GetParam();
    MainWindowFixture f;
    TForm1& w = f.start();
    w.ShowPicture(3, 100, 100);
    w.state().session.parameters.activePanel = c.activePanel;
    w.Timer1Timer();
    EXPECT_FALSE(w.Memo1->isVisible());
    EXPECT_EQ(w.ShownPicture(), c.shownAfter);
}

INSTANTIATE_TEST_SUITE_P(Panels, LabelTimeOut,
                         testing::Values(TimeOutCase{"no_panel", 0, 1},
                                         TimeOutCase{"middle_panel", 3, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the menu "Variable" ----

struct VariableCase {
    const char* item;
    int code;
};

class VariableMenu : public testing::TestWithParam<VariableCase> {};

TEST_P(VariableMenu, SetsTheCodeAndChecksOnlyItsItem) {
    const VariableCase& c = GetParam();
    MainWindowFixture f;
    TForm1& w = f.start();
    ASSERT_TRUE(w.menuItem("wypywcakowity1")->isChecked());
    const QImage plot = w.Image2->picture().copy();
    w.menuItem(c.item)->trigger();
    EXPECT_EQ(w.state().session.parameters.displayVariable, c.code);
    for (const char* item : {"wypywcakowity1", "wypywzpuc1", "gdysamoograniczanie1",
                             "oprperyferyjny1", "oprposrednichlobesel1", "ci1"})
        EXPECT_EQ(w.menuItem(item)->isChecked(), std::string(item) == c.item) << item;
    // Nothing is redrawn: the code takes effect with the next run.
    EXPECT_EQ(w.Image2->picture(), plot);
}

INSTANTIATE_TEST_SUITE_P(
    Items, VariableMenu,
    testing::Values(VariableCase{"wypywcakowity1", 1}, VariableCase{"wypywzpuc1", 2},
                    VariableCase{"gdysamoograniczanie1", 3}, VariableCase{"oprperyferyjny1", 4},
                    VariableCase{"oprposrednichlobesel1", 5}, VariableCase{"ci1", 6}),
    [](const auto& info) { return std::string(info.param.item); });

} // namespace
