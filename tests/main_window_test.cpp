#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTextEdit>

#include "app/help_window.h"
#include "app/image_box.h"
#include "main_window_fixture.h"
#include "toolkit/string_grid.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;

namespace {

struct ClickCase {
    const char* name;
    const char* control;
    Qt::MouseButton button;
    const char* page; // nullptr: no help
};

class RightClickHelp : public testing::TestWithParam<ClickCase> {};

TEST_P(RightClickHelp, OpensThePageOfTheControlsGroup) {
    const ClickCase& c = GetParam();
    MainWindowFixture f;
    TForm1& w = f.start();
    QWidget* control = w.findChild<QWidget*>(c.control);
    ASSERT_NE(control, nullptr) << c.control;
    QTest::mouseClick(control, c.button, {}, QPoint(2, 2));
    if (c.page) {
        EXPECT_EQ(f.helpPages, QStringList{c.page});
    } else {
        EXPECT_TRUE(f.helpPages.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Groups, RightClickHelp,
    testing::Values(ClickCase{"VDc_label_is_a_main_airway", "Label25", Qt::RightButton, "H0001.rtf"},
                    ClickCase{"CCC_scale_is_peripheral", "Label45", Qt::RightButton, "H0003.rtf"},
                    ClickCase{"heavy_scale_is_middle", "Label51", Qt::RightButton, "H0002.rtf"},
                    ClickCase{"lungs_panel", "Panel4", Qt::RightButton, "H0004.rtf"},
                    ClickCase{"results_table", "StringGrid1", Qt::RightButton, "H0006.rtf"},
                    ClickCase{"flow_volume_plot", "Image2", Qt::RightButton, "H0000.rtf"},
                    ClickCase{"start_button", "Button2", Qt::RightButton, "H0000.rtf"},
                    ClickCase{"left_click_opens_nothing", "Label25", Qt::LeftButton, nullptr},
                    ClickCase{"empty_history_table", "StringGrid2", Qt::RightButton, "H0005.rtf"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainWindow, StartsShowingTheStandardReference) {
    MainWindowFixture f;
    TForm1& w = f.start();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    EXPECT_EQ(w.windowTitle(), "Pulmora");
    EXPECT_EQ(w.StringGrid1->cells(0, 1), "FEV1");
    EXPECT_EQ(w.StringGrid1->cells(2, 1), "2.84");
    EXPECT_EQ(w.StringGrid1->cells(3, 1), "2.84");
    for (int row : {1, 2, 3, 4, 5, 6, 7, 8, 12, 13})
        EXPECT_EQ(w.StringGrid1->cells(4, row), "100") << row;
    EXPECT_EQ(w.StringGrid2->cells(0, 0), "   100");
    EXPECT_EQ(w.StringGrid2->cells(0, 4), "   100");
    EXPECT_EQ(w.StringGrid3->cells(0, 4), "   100");
    EXPECT_EQ(w.label("Label26")->text(), "Data from file:  Standard");
    // The standard loop is drawn: red is absent, black ink lies above the volume axis.
    const QImage& plot = w.Image2->picture();
    int ink = 0;
    for (int y = 0; y < plot.height() * 70 / 100; ++y)
        for (int x = plot.width() / 5; x < plot.width() / 2; ++x) ink += plot.pixelColor(x, y) != Qt::white;
    EXPECT_GT(ink, 100);
    // The model is settled and the stored parameters are at 100 %.
    EXPECT_EQ(w.state().session.history->slot(0).parameterMatrix[2][0], 100.0f);
}

TEST(MainWindow, HistoryTableColoursTieRowsToCurves) {
    MainWindowFixture f;
    TForm1& w = f.start();
    RunHistory& h = *w.state().session.history;
    h.runCount = 2;
    h.selectedRun = 2;
    for (int r = 0; r < 5; ++r) w.StringGrid2->setCells(0, r, "   888");
    const QImage image = w.StringGrid2->grab().toImage();
    auto cellHas = [&](int row, const QColor& c) {
        const QRect r = w.StringGrid2->cellRect(0, row);
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (image.pixelColor(x, y) == c) return true;
        return false;
    };
    const QRect row2 = w.StringGrid2->cellRect(1, 2);
    EXPECT_EQ(image.pixelColor(row2.center()), QColor(0xFF, 0xFF, 0x00)) << "selected row yellow";
    EXPECT_TRUE(cellHas(2, QColor(0x00, 0x80, 0x00))) << "its text green";
    EXPECT_EQ(image.pixelColor(w.StringGrid2->cellRect(1, 4).center()), QColor(0xB0, 0xB0, 0xB0));
    EXPECT_FALSE(cellHas(3, QColor(0x80, 0x00, 0x80))) << "row 3 is beyond the run count";
    const int lineY = w.StringGrid2->cellRect(2, 0).top() + w.StringGrid2->rowHeight(0) - 1;
    EXPECT_EQ(image.pixelColor(w.StringGrid2->cellRect(2, 0).center().x(), lineY), QColor(Qt::black));
}

TEST(MainWindow, CommentWithTwoPartsShowsARuleBetweenThem) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.ShowComment(1);
    const QStringList lines = w.RichEdit1->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 3) << w.RichEdit1->toPlainText().toStdString();
    EXPECT_FALSE(lines[0].isEmpty());
    EXPECT_TRUE(lines[1].startsWith("----"));
    EXPECT_EQ(lines[1].count('-'), lines[1].size());
    EXPECT_FALSE(lines[2].isEmpty());
}

TEST(MainWindow, MissingCommentsFileIsReportedAndTheProgramGoesOn) {
    MainWindowFixture f;
    TForm1& w = f.start();
    QFile::remove(f.folder.filePath("helpfiles/pdp.txt"));
    w.RichEdit1->setPlainText("before");
    w.ShowComment(11);
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains("pdp.txt"));
    EXPECT_EQ(w.RichEdit1->toPlainText(), "before");
}

TEST(MainWindow, MissingHelpPageIsReportedAndOtherPagesStillOpen) {
    MainWindowFixture f;
    TForm1& w = f.start();
    w.helpPageHook = nullptr; // through the real help window
    QStringList errors;
    const HelpErrorSink previous = setHelpErrorSink([&](const QString& m) { errors << m; });
    QFile::remove(f.folder.filePath("helpfiles/H0007.rtf"));
    w.menuItem("help3")->trigger();
    setHelpErrorSink(previous);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("H0007.rtf"));
    EXPECT_FALSE(w.Form4->isVisible());
    EXPECT_TRUE(loadHelpPage(*w.Form4, f.folder.filePath("helpfiles/H0008.rtf")).loaded());
}

TEST(MainWindow, MenusCarryTheirCaptions) {
    MainWindowFixture f;
    TForm1& w = f.start();
    const struct {
        const char* item;
        const char* caption;
        bool enabled;
    } items[] = {{"Open1", "Open", true},
                 {"Reset1", "ref.Default", true},
                 {"ci1", "intrathorax pressure", true},
                 {"N51", "mediastinum compliance", false},
                 {"N61", "scoliosis (left%right)", false},
                 {"parametry1", "Settins", true},
                 {"HELP1", "Pomoc", true},
                 {"Quit1", "Quit", true}};
    for (const auto& i : items) {
        QAction* a = w.menuItem(i.item);
        ASSERT_NE(a, nullptr) << i.item;
        EXPECT_EQ(a->text(), i.caption);
        EXPECT_EQ(a->isEnabled(), i.enabled) << i.item;
    }
    EXPECT_TRUE(w.menuItem("wypywcakowity1")->isChecked());
    EXPECT_TRUE(w.menuItem("Bothlungs1")->isChecked());
}

} // namespace
