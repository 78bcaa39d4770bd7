#include "app/help_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>

#include <map>
#include <string>

namespace pulmora {
namespace {

QString shippedPage(HelpPage page) {
    return QStringLiteral(PULMORA_TEST_DATA "/helpfiles/") + helpPageFile(page);
}

// Records what ShowHelpPage would have shown in a message box.
class HelpErrors {
  public:
    HelpErrors() {
        previous_ =
            setHelpErrorSink([this](const QString& message) { messages.push_back(message); });
    }
    ~HelpErrors() { setHelpErrorSink(previous_); }

    std::vector<QString> messages;

  private:
    HelpErrorSink previous_;
};

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

TEST(HelpWindow, LooksAsDesigned) {
    TForm4 form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Spirometry help"));
    EXPECT_EQ(form.pos(), QPoint(241, 116));
    EXPECT_EQ(form.size(), QSize(654, 518));
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));

    auto* viewer = form.findChild<QTextBrowser*>(QStringLiteral("RichEdit1"));
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer, form.RichEdit1);
    EXPECT_TRUE(viewer->isReadOnly());
    EXPECT_EQ(viewer->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_NE(viewer->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(viewer->font().pixelSize(), 13);
    EXPECT_EQ(viewer->font().families().value(0), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(viewer->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::ToolTipBase));
}

TEST(HelpWindow, ViewerFillsTheWindowWhenResized) {
    TForm4 form;
    form.resize(400, 300);
    form.show();
    EXPECT_EQ(form.RichEdit1->geometry(), form.rect());
    form.hide();
}

TEST(HelpWindow, MissingPageIsReportedAndNotShown) {
    HelpErrors errors;
    TForm4 form;
    ASSERT_TRUE(loadHelpPage(form, shippedPage(HelpPage::Program)).loaded());
    const QString missing = QStringLiteral(PULMORA_TEST_DATA "/helpfiles/H9999.rtf");

    EXPECT_FALSE(ShowHelpPage(form, missing));

    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_TRUE(errors.messages[0].contains(QStringLiteral("H9999.rtf")))
        << errors.messages[0].toStdString();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.RichEdit1->document()->isEmpty()) << "the earlier page must be gone";
}

TEST(HelpWindow, LoadErrorNamesTheFile) {
    TForm4 form;
    const HelpPageLoad load = loadHelpPage(form, QStringLiteral("/nonexistent/folder/H0007.rtf"));
    EXPECT_FALSE(load.loaded());
    EXPECT_TRUE(load.error.contains(QStringLiteral("/nonexistent/folder/H0007.rtf")))
        << load.error.toStdString();
}

TEST(HelpWindow, SecondPageReplacesTheFirst) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString first =
        writeFile(dir, QStringLiteral("first.rtf"), R"({\rtf1 {\b First} page\par more})");
    const QString second = writeFile(dir, QStringLiteral("second.rtf"), R"({\rtf1 Second})");
    TForm4 form;

    ASSERT_TRUE(loadHelpPage(form, first).loaded());
    ASSERT_TRUE(loadHelpPage(form, second).loaded());

    EXPECT_EQ(form.RichEdit1->toPlainText(), QStringLiteral("Second"));
    EXPECT_EQ(form.RichEdit1->document()->blockCount(), 1);
}

TEST(HelpWindow, ShowsThePageModally) {
    HelpErrors errors;
    TForm4 form;
    bool shownModal = false;
    QString textWhileShown;
    // Runs inside the help window's own event loop, then closes it like the close box.
    QTimer::singleShot(0, &form, [&] {
        shownModal = form.isVisible() && form.isModal();
        textWhileShown = form.RichEdit1->toPlainText();
        form.reject();
    });

    EXPECT_TRUE(ShowHelpPage(form, shippedPage(HelpPage::ResultsTable)));

    EXPECT_TRUE(shownModal);
    EXPECT_TRUE(textWhileShown.contains(QStringLiteral("FEV1")));
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(errors.messages.empty());
}

class HelpPages : public testing::TestWithParam<HelpPageEntry> {};

TEST_P(HelpPages, ShippedPageLoadsFully) {
    const HelpPageEntry& entry = GetParam();
    TForm4 form;
    const HelpPageLoad load = loadHelpPage(form, shippedPage(entry.page));

    ASSERT_TRUE(load.loaded()) << load.error.toStdString();
    EXPECT_TRUE(load.rtf.ok()) << load.rtf.reason.toStdString();
    const QString text = form.RichEdit1->toPlainText();
    EXPECT_GT(text.size(), 400) << "a page should explain its subject";
    EXPECT_FALSE(text.contains(QChar(0xFFFD))) << "every character should be readable";
    EXPECT_FALSE(text.contains(QLatin1Char('\\'))) << "no control word should show as text";

    // The page opens with its heading: bold and larger than the body text.
    QTextCursor cursor(form.RichEdit1->document());
    cursor.setPosition(1);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    EXPECT_GT(cursor.charFormat().fontPointSize(), 10.0);
}

INSTANTIATE_TEST_SUITE_P(Help, HelpPages, testing::ValuesIn(HelpPageTable),
                         [](const testing::TestParamInfo<HelpPageEntry>& info) {
                             std::string name(info.param.file.substr(0, 5));
                             return name;
                         });

// The comments file: sections 1 … 11, each opened by its "#N" line and closed by a "*" line,
// before the next section begins.
TEST(HelpComments, EverySectionIsPresentAndClosed) {
    QFile file(QStringLiteral(PULMORA_TEST_DATA "/helpfiles/pdp.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    std::map<int, QString> sections;
    int open = 0;
    QString text;
    while (!file.atEnd()) {
        QString line = QString::fromLatin1(file.readLine());
        if (line.endsWith(QLatin1Char('\n'))) line.chop(1);
        if (line.startsWith(QLatin1Char('#'))) {
            EXPECT_EQ(open, 0) << "section " << open << " is not closed before "
                               << line.toStdString();
            open = line.mid(1).toInt();
            text.clear();
        } else if (line == QLatin1String("*")) {
            EXPECT_NE(open, 0) << "a \"*\" line outside a section";
            sections[open] = text;
            open = 0;
        } else if (open != 0) {
            text += line;
        }
    }
    EXPECT_EQ(open, 0);
    for (int n = 1; n <= 11; ++n) {
        SCOPED_TRACE(testing::Message() << "section " << n);
        ASSERT_TRUE(sections.count(n));
        const QString& section = sections[n];
        EXPECT_GT(section.size(), 40);
        // Lines are joined without a separator: a line must end with the space it needs.
        EXPECT_FALSE(section.contains(QStringLiteral("  "))) << section.toStdString();
        EXPECT_FALSE(section.contains(QRegularExpression(QStringLiteral("[.,;:!?][A-Za-z]"))))
            << section.toStdString();
        EXPECT_LE(section.count(QStringLiteral("+++")), 1);
        // The slider comments tell what to look for in a second paragraph.
        if (n <= 8) {
            EXPECT_EQ(section.count(QStringLiteral("+++")), 1);
        }
    }
}

} // namespace
} // namespace pulmora
