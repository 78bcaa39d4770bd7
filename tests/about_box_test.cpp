// The About box: scaled by the screen width against 1024, its texts, the hidden credit display
// and its reset, and the menu command that opens it.

#include <gtest/gtest.h>

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/about_box.h"
#include "main_window_fixture.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;

namespace {

struct ScaleCase {
    const char* name;
    int screenWidth;
    QSize client; // the box's client area
    QRect okButton;
    int fontPixels;
};

class AboutBoxScale : public testing::TestWithParam<ScaleCase> {};

TEST_P(AboutBoxScale, GrowsWithTheScreenWidthAgainst1024) {
    const ScaleCase& c = GetParam();
    TAboutBox box(c.screenWidth);
    EXPECT_EQ(box.size(), c.client);
    EXPECT_EQ(box.OKButton->geometry(), c.okButton);
    EXPECT_EQ(box.ProductName->font().pixelSize(), c.fontPixels);
    EXPECT_EQ(box.font().pixelSize(), c.fontPixels);
}

INSTANTIATE_TEST_SUITE_P(
    About, AboutBoxScale,
    testing::Values(ScaleCase{"design_size_at_1024", 1024, {460, 335}, {168, 303, 75, 25}, 11},
                    // 460 x 1.25 = 575, 335 x 1.25 = 418.75; 303 x 1.25 = 378.75, 75 x 1.25 = 93.75
                    ScaleCase{"at_1280", 1280, {575, 419}, {210, 379, 94, 31}, 14},
                    // 460 x 0.78125 = 359.4, 335 x 0.78125 = 261.7; 11 x 0.78125 = 8.6
                    ScaleCase{"at_800", 800, {359, 262}, {131, 237, 59, 20}, 9}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AboutBox, ShowsTheProgramAndItsCredits) {
    TAboutBox box(1024);
    EXPECT_EQ(box.windowTitle(), "Autorzy");
    EXPECT_EQ(box.ProductName->text(), "Pulmora");
    EXPECT_TRUE(box.ProductName->font().bold());
    EXPECT_EQ(box.Version->text(), "Version: " + AboutVersionText());
    EXPECT_FALSE(AboutVersionText().isEmpty());
    EXPECT_TRUE(box.Comments->wordWrap());
    EXPECT_TRUE(box.Label2->text().contains("Qt"));
    EXPECT_TRUE(box.OKButton->isDefault());
    EXPECT_FALSE(box.ProgramIcon->pixmap().isNull());
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

struct ClickCase {
    const char* name;
    Qt::MouseButton button;
    Qt::KeyboardModifiers modifiers;
    bool showsCredit;
};

class HiddenCredit : public testing::TestWithParam<ClickCase> {};

TEST_P(HiddenCredit, ShowsOnlyOnShiftRightClickAndIsGoneAfterHiding) {
    const ClickCase& c = GetParam();
    TAboutBox box(1024);
    box.show();
    QTest::mouseClick(box.Panel1, c.button, c.modifiers, QPoint(200, 250));
    EXPECT_EQ(box.Panel1->isVisible(), !c.showsCredit);
    EXPECT_EQ(box.PaintBox1->isVisible(), c.showsCredit);
    if (c.showsCredit) {
        EXPECT_EQ(box.PaintBox1->geometry(), box.Panel1->geometry());
        const QImage surface = box.PaintBox1->grab().toImage();
        EXPECT_EQ(surface.pixelColor(42, 52), QColor(0, 255, 0)) << "the line's lime background";
    }
    box.hide();
    box.show();
    EXPECT_TRUE(box.Panel1->isVisible());
    EXPECT_FALSE(box.PaintBox1->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    About, HiddenCredit,
    testing::Values(ClickCase{"shift_right_click", Qt::RightButton, Qt::ShiftModifier, true},
                    ClickCase{"right_click_without_shift", Qt::RightButton, Qt::NoModifier, false},
                    ClickCase{"shift_left_click", Qt::LeftButton, Qt::ShiftModifier, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AboutBox, OkClosesTheBox) {
    TAboutBox box(1024);
    box.show();
    QTest::mouseClick(box.OKButton, Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST(AboutBox, TheMenuCommandOpensTheBoxScaledForTheWindowsScreen) {
    MainWindowFixture f;
    TForm1& w = f.start(1280, 1024);
    QWidget* opened = nullptr;
    w.modalWindowHook = [&](QWidget& window) { opened = &window; };
    w.menuItem("About1")->trigger();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->windowTitle(), "Autorzy");
    EXPECT_EQ(opened->size(), QSize(575, 419));
}

} // namespace
