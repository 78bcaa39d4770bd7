// The export commands of the window: "Export run as CSV…" and "Save plots as image…".

#include <gtest/gtest.h>

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "app/image_box.h"
#include "core/simulation_record.h"
#include "csv_reader.h"
#include "graphics/plot_geometry.h"
#include "main_window_fixture.h"
#include "root_file_access.h"
#include "results/run_csv.h"

using namespace pulmora;
using pulmora::testing_support::csvFloat;
using pulmora::testing_support::CsvRow;
using pulmora::testing_support::csvSections;
using pulmora::testing_support::CsvTable;
using pulmora::testing_support::MainWindowFixture;
using pulmora::testing_support::WithoutRootFileAccess;
using pulmora::testing_support::readAll;
using pulmora::testing_support::readCsv;
using pulmora::testing_support::writeFile;

namespace {

// What the image dialog is answered with.
struct ImageAnswer {
    const char* format = "PNG";
    std::optional<int> width; // none: "As on the screen" is pressed
    bool cancel = false;
};

// The window with a file dialog that answers from a list and an image dialog that answers as
// told.
struct ExportFixture : MainWindowFixture {
    QStringList dialogPaths; // answers of the file dialog, first first; empty when used up
    int dialogCalls = 0;
    std::optional<TForm1::FileDialogKind> lastKind; // what the last file dialog was for
    ImageAnswer image;
    QString heightShown; // the image dialog's height line when it was answered

    TForm1& startWithDialogs() {
        TForm1& w = start();
        w.fileDialogHook = [this](TForm1::FileDialogKind kind, const QString&) {
            lastKind = kind;
            ++dialogCalls;
            return dialogPaths.isEmpty() ? QString() : dialogPaths.takeFirst();
        };
        w.modalWindowHook = [this](QWidget& window) {
            auto* format = window.findChild<QComboBox*>("ImageFormat");
            auto* width = window.findChild<QSpinBox*>("ImageWidth");
            auto* asOnScreen = window.findChild<QPushButton*>("AsOnScreen");
            ASSERT_TRUE(format && width && asOnScreen) << "the image dialog's controls";
            format->setCurrentText(image.format);
            if (image.width)
                width->setValue(*image.width);
            else
                asOnScreen->click();
            heightShown = window.findChild<QLabel*>("ImageHeight")->text();
            if (image.cancel) static_cast<QDialog&>(window).reject();
        };
        return w;
    }
    QString path(const QString& relative) const { return folder.filePath(relative); }
};

// The standard history with copies of its reference in run slots 1 ... 3, each told apart by
// its own numbers, written as a simulation file and opened in the window.
void openThreeRuns(ExportFixture& f, TForm1& w) {
    auto h = makeRunHistory();
    const QByteArray standard = readAll(f.path("datfiles1/standard.dat"));
    ASSERT_TRUE(decodeHistorySlots(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(standard.constData()),
                                      static_cast<std::size_t>(standard.size())),
        *h));
    for (int s = 1; s <= 3; ++s) {
        SimulationRecord& r = h->slot(s);
        r = h->slot(0);
        r.fev1 = 2.5f + 0.0123456f * s;
        r.parameterMatrix[lungPartRow(kLeftLung)][4] = 100.0f * (s + 1);
        r.options[0] = 50.0f + s;
        r.volumeCurve[100 * s] = 0; // a loop as long as 100 s samples
    }
    QByteArray image(static_cast<qsizetype>(kHistoryBytes), '\0');
    encodeHistorySlots(
        *h, std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(image.data()), kHistoryBytes));
    const QString file = f.path("simulations/three.spi");
    writeFile(file, image);
    f.dialogPaths = {file};
    w.menuItem("Open1")->trigger();
    ASSERT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    ASSERT_EQ(w.state().session.history->runCount, 3);
}

enum Section { kRecord, kParameters, kOptions, kIndices, kLoop, kCurve, kSectionCount };

std::vector<CsvTable> readExport(const QString& path) {
    const QByteArray bytes = readAll(path);
    bool ok = false;
    const CsvTable rows = readCsv(std::string_view(bytes.constData(), bytes.size()), &ok);
    EXPECT_TRUE(ok) << "quotes of " << path.toStdString();
    return csvSections(rows);
}

float number(const CsvRow& row, std::size_t column) {
    bool ok = false;
    const float value = column < row.size() ? csvFloat(row[column], &ok) : NAN;
    EXPECT_TRUE(ok) << "not a number in column " << column << " of the row of " << row[0];
    return value;
}

// Every number of the export equals the record's float, and there are as many rows as the
// plots draw samples.
void expectHoldsRecord(const std::vector<CsvTable>& s, const SimulationRecord& r) {
    ASSERT_EQ(s.size(), std::size_t{kSectionCount});
    EXPECT_EQ(number(s[kRecord][1], 2), r.runStatus);
    EXPECT_EQ(number(s[kRecord][1], 3), r.displayVariableCode);
    ASSERT_EQ(s[kParameters].size(), std::size_t{1 + kLungPartCount * kColumnCount});
    for (int row = 0; row < kLungPartCount; ++row)
        for (int c = 0; c < kColumnCount; ++c)
            EXPECT_EQ(number(s[kParameters][1 + row * kColumnCount + c], 4),
                      r.parameterMatrix[row][c])
                << "matrix row " << row << " column " << c;
    ASSERT_EQ(s[kOptions].size(), std::size_t{1 + kOptionCount});
    for (int k = 1; k <= kOptionCount; ++k)
        EXPECT_EQ(number(s[kOptions][k], 3), r.options[k - 1]) << "option " << k;
    const float indices[] = {
        r.fev1, r.fvc, r.fev1PercentFvc, r.pef, r.mef75, r.mef50, r.mef25, r.erv, r.fet,
        r.frc,  r.tlc};
    ASSERT_EQ(s[kIndices].size(), 1 + std::size(indices));
    for (std::size_t i = 0; i < std::size(indices); ++i)
        EXPECT_EQ(number(s[kIndices][1 + i], 2), indices[i]) << s[kIndices][1 + i][0];
    ASSERT_EQ(s[kLoop].size(), std::size_t(1 + flowVolumeSampleCount(r)));
    for (std::size_t i = 1; i < s[kLoop].size(); ++i) {
        EXPECT_EQ(number(s[kLoop][i], 0), r.volumeCurve[i - 1]) << "loop sample " << i;
        EXPECT_EQ(number(s[kLoop][i], 1), r.flowCurve[i - 1]) << "loop sample " << i;
    }
    ASSERT_EQ(s[kCurve].size(), std::size_t(1 + volumeTimeSampleCount(r)));
    for (std::size_t i = 1; i < s[kCurve].size(); ++i) {
        EXPECT_EQ(number(s[kCurve][i], 0), r.vtTime[i - 1]) << "curve sample " << i;
        EXPECT_EQ(number(s[kCurve][i], 1), r.vtVolume[i - 1]) << "curve sample " << i;
    }
}


TEST(ExportMenu, TwoItemsEndTheFileMenuAfterItsOwn) {
    MainWindowFixture f;
    TForm1& w = f.start();
    auto* file = w.menuBar()->findChild<QMenu*>("File1");
    ASSERT_NE(file, nullptr);
    QStringList names, captions;
    for (QAction* a : file->actions())
        names << a->objectName(), captions << a->text();
    EXPECT_EQ(names,
              (QStringList{"Open1", "Save1", "Saveas1", "ExportRunCsv1", "SavePlotsImage1"}));
    EXPECT_EQ(captions, (QStringList{"Open", "Save", "Save as", "Export run as CSV…",
                                     "Save plots as image…"}));
}

TEST(ExportRunCsv, RunJustMadeReadsBackNumberForNumber) {
    ExportFixture f;
    TForm1& w = f.startWithDialogs();
    w.Button2Click();
    const RunHistory& history = *w.state().session.history;
    ASSERT_EQ(history.selectedRun, 1);
    f.dialogPaths = {f.path("simulations/run")}; // a bare name gets the extension
    w.menuItem("ExportRunCsv1")->trigger();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    EXPECT_EQ(f.lastKind, TForm1::FileDialogKind::Save);

    const std::vector<CsvTable> s = readExport(f.path("simulations/run.csv"));
    expectHoldsRecord(s, history.slot(1));
    ASSERT_EQ(s.size(), std::size_t{kSectionCount});
    EXPECT_EQ(s[kRecord][1], (CsvRow{"run 1", "completed", "1", "1", "total airflow"}));
    // The standard examination's samples.
    EXPECT_EQ(s[kLoop].size(), std::size_t{1 + 630});
    EXPECT_EQ(s[kCurve].size(), std::size_t{1 + 212});
}

TEST(ExportRunCsv, HeaderRowsNameEveryColumnAndUnit) {
    ExportFixture f;
    TForm1& w = f.startWithDialogs();
    f.dialogPaths = {f.path("simulations/reference.csv")};
    w.menuItem("ExportRunCsv1")->trigger();
    const std::vector<CsvTable> s = readExport(f.path("simulations/reference.csv"));
    ASSERT_EQ(s.size(), std::size_t{kSectionCount});
    const CsvRow headers[kSectionCount] = {
        {"record", "status", "status code", "display variable code", "display variable"},
        {"lung part", "column", "name", "unit", "value"},
        {"option", "name", "unit", "value"},
        {"index", "unit", "value"},
        {"lung volume (l)", "flow (l/s)"},
        {"time (s)", "lung volume (l)"}};
    for (int i = 0; i < kSectionCount; ++i)
        EXPECT_EQ(s[i][0], headers[i]) << "section " << i;
    const CsvRow fev1 = s[kIndices][1];
    EXPECT_EQ(CsvRow(fev1.begin(), fev1.begin() + 2), (CsvRow{"FEV1", "l"}));
    EXPECT_EQ(s[kParameters][1][3], "% of the model's norm");
}

struct ShownCase {
    const char* name;
    int row;  // history row selected after three runs were opened; 0: a fresh window
    int slot; // the record expected in the export
    const char* record;
};

class ExportRunCsvOf : public testing::TestWithParam<ShownCase> {};

TEST_P(ExportRunCsvOf, TheSelectedRunOrElseTheReference) {
    const ShownCase& c = GetParam();
    ExportFixture f;
    TForm1& w = f.startWithDialogs();
    if (c.row > 0) {
        openThreeRuns(f, w);
        w.SelectRun(c.row);
    }
    const RunHistory& history = *w.state().session.history;
    ASSERT_EQ(history.selectedRun, c.row > 0 ? c.row : -1);
    f.dialogPaths = {f.path("simulations/shown.csv")};
    w.menuItem("ExportRunCsv1")->trigger();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    const std::vector<CsvTable> s = readExport(f.path("simulations/shown.csv"));
    expectHoldsRecord(s, history.slot(c.slot));
    ASSERT_EQ(s.size(), std::size_t{kSectionCount});
    EXPECT_EQ(s[kRecord][1][0], c.record);
}

INSTANTIATE_TEST_SUITE_P(Selections, ExportRunCsvOf,
                         testing::Values(ShownCase{"nothing_selected", 0, 0, "reference"},
                                         ShownCase{"first_run", 1, 1, "run 1"},
                                         ShownCase{"third_run", 3, 3, "run 3"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ExportRunCsv, CancelledDialogWritesNothing) {
    ExportFixture f;
    TForm1& w = f.startWithDialogs();
    w.menuItem("ExportRunCsv1")->trigger();
    EXPECT_EQ(f.dialogCalls, 1);
    EXPECT_TRUE(f.messages.isEmpty());
    EXPECT_TRUE(QDir(f.path("simulations")).isEmpty());
}

// The screen's pixels of both plots, where they lie in the window.
QImage screenPlots(TForm1& w) {
    const QRect area = w.Image2->geometry().united(w.Image3->geometry());
    return w.client->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(SavePlotsImage, AsOnTheScreenIsTheWindowsOwnPixels) {
    ExportFixture f;
    TForm1& w = f.startWithDialogs();
    w.Button2Click();
    f.dialogPaths = {f.path("simulations/plots.png")};
    w.menuItem("SavePlotsImage1")->trigger();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    EXPECT_EQ(f.lastKind, TForm1::FileDialogKind::Save);
    QImage saved;
    ASSERT_TRUE(saved.load(f.path("simulations/plots.png"), "PNG"));
    const QImage screen = screenPlots(w);
    EXPECT_EQ(saved.size(), screen.size());
    EXPECT_TRUE(saved.convertToFormat(QImage::Format_RGB32) == screen);
    EXPECT_EQ(f.heightShown, QString("%1 pixels").arg(screen.height()));
}

struct SizeCase {
    const char* name;
    int widthFactor2; // the requested width in halves of the screen width
};

class SavePlotsPng : public testing::TestWithParam<SizeCase> {};

// The picture has the requested width, the screen's proportions, and the selected run's
// colour wherever the loop lies on the screen.
TEST_P(SavePlotsPng, HasTheRequestedSizeAndTheLoopWhereItIs) {
    const SizeCase& c = GetParam();
    ExportFixture f;
    TForm1& w = f.startWithDialogs();
    w.Button2Click();
    const QImage screen = screenPlots(w);
    const int width = screen.width() * c.widthFactor2 / 2;
    const int height =
        static_cast<int>(std::nearbyint(double(width) * screen.height() / screen.width()));
    f.image.width = width;
    f.dialogPaths = {f.path("simulations/plots.png")};
    w.menuItem("SavePlotsImage1")->trigger();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    QImage saved;
    ASSERT_TRUE(saved.load(f.path("simulations/plots.png"), "PNG"));
    EXPECT_EQ(saved.size(), QSize(width, height));
    EXPECT_EQ(f.heightShown, QString("%1 pixels").arg(height));

    // Every loop pixel of the screen, found at its place in the picture.
    const QColor loop = CurveColours[1];
    const double sx = double(width) / screen.width(), sy = double(height) / screen.height();
    int loopPixels = 0, found = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) {
            if (screen.pixelColor(x, y) != loop) continue;
            ++loopPixels;
            const int px = static_cast<int>((x + 0.5) * sx), py = static_cast<int>((y + 0.5) * sy);
            if (saved.pixelColor(px, py) == loop) ++found;
        }
    EXPECT_GT(loopPixels, 200) << "the run's loop and curve are on the screen";
    // Enlarged, every pixel keeps its colour; reduced, a thick loop still shows in its colour.
    if (c.widthFactor2 >= 2)
        EXPECT_EQ(found, loopPixels);
    else
        EXPECT_GT(found, loopPixels / 4);
}

INSTANTIATE_TEST_SUITE_P(Widths, SavePlotsPng,
                         testing::Values(SizeCase{"twice_the_screen", 4},
                                         SizeCase{"three_times_the_screen", 6},
                                         SizeCase{"half_the_screen", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SavePlotsImage, SvgIsValidXmlOfPathsThatDrawTheScreensPlots) {
    ExportFixture f;
    TForm1& w = f.startWithDialogs();
    w.Button2Click();
    const QImage screen = screenPlots(w);
    f.image = {"SVG", screen.width() * 2};
    f.dialogPaths = {f.path("simulations/plots")};
    w.menuItem("SavePlotsImage1")->trigger();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    const QByteArray bytes = readAll(f.path("simulations/plots.svg"));
    ASSERT_FALSE(bytes.isEmpty());

    QXmlStreamReader xml(bytes);
    int paths = 0;
    QString width, height;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"svg") {
            width = xml.attributes().value("width").toString();
            height = xml.attributes().value("height").toString();
        }
        if (xml.name() == u"path" || xml.name() == u"polyline") ++paths;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(paths, 3) << "the curves' colours, black and the text's shades";
    // The requested size in pixels, the screen's proportions, and the screen's pixels inside.
    EXPECT_EQ(width, QString::number(2 * screen.width()));
    EXPECT_EQ(height, QString::number(2 * screen.height()));
    QSvgRenderer renderer(bytes);
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), QRect(QPoint(0, 0), screen.size()));

    // Drawn back at the screen's size, it is the screen.
    QImage back(screen.size(), QImage::Format_RGB32);
    back.fill(Qt::blue);
    {
        QPainter p(&back);
        renderer.render(&p, QRectF(QPointF(0, 0), screen.size()));
    }
    int differing = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            if (back.pixel(x, y) != screen.pixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
}

struct FailureCase {
    const char* name;
    const char* item;
    const char* file;
};

class ExportIntoReadOnlyFolder : public testing::TestWithParam<FailureCase> {};

TEST_P(ExportIntoReadOnlyFolder, SaysSoByNameAndKeepsTheEarlierFile) {
    const FailureCase& c = GetParam();
    ExportFixture f;
    TForm1& w = f.startWithDialogs();
    w.Button2Click();
    QDir().mkpath(f.path("locked"));
    const QString target = f.path(QString("locked/") + c.file);
    writeFile(target, "earlier contents");
    QFile::setPermissions(f.path("locked"), QFile::ReadOwner | QFile::ExeOwner);
    {
        WithoutRootFileAccess asAUser;
        f.dialogPaths = {target};
        w.menuItem(c.item)->trigger();
    }
    QFile::setPermissions(f.path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].startsWith(QString("The file \"%1\" cannot be saved: ").arg(target)))
        << f.messages[0].toStdString();
    EXPECT_EQ(readAll(target), "earlier contents");
    EXPECT_EQ(QDir(f.path("locked")).entryList(QDir::Files), QStringList{c.file});
}

INSTANTIATE_TEST_SUITE_P(Commands, ExportIntoReadOnlyFolder,
                         testing::Values(FailureCase{"csv", "ExportRunCsv1", "run.csv"},
                                         FailureCase{"png", "SavePlotsImage1", "plots.png"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SavePlotsImage, CancelledImageDialogAsksForNoFile) {
    ExportFixture f;
    TForm1& w = f.startWithDialogs();
    f.image.cancel = true;
    w.menuItem("SavePlotsImage1")->trigger();
    EXPECT_EQ(f.dialogCalls, 0);
    EXPECT_TRUE(f.messages.isEmpty());
    EXPECT_TRUE(QDir(f.path("simulations")).isEmpty());
}

} // namespace
