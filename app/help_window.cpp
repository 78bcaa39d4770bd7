#include "app/help_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QMessageBox>
#include <QPalette>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <utility>

namespace pulmora {
namespace {

// A help page is a few kilobytes; anything far larger is not one of ours.
constexpr qint64 MaxHelpPageBytes = 4 * 1024 * 1024;

void showCriticalMessage(const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), QGuiApplication::applicationDisplayName(),
                          message);
}

HelpErrorSink& errorSink() {
    static HelpErrorSink sink = showCriticalMessage;
    return sink;
}

QString openError(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot open file \"%1\". %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QString helpPageFile(HelpPage page) {
    const std::string_view file = HelpPageTable[static_cast<std::size_t>(page)].file;
    return QString::fromLatin1(file.data(), static_cast<qsizetype>(file.size()));
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    RichEdit1->moveCursor(QTextCursor::Start);
    RichEdit1->verticalScrollBar()->setValue(0);
}

TForm4::TForm4(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      RichEdit1(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Spirometry help"));
    setSizeGripEnabled(true);
    move(241, 116);
    resize(654, 518);

    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setOpenLinks(false);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setLineWrapMode(QTextEdit::WidgetWidth);

    // The pages are written for the classic small dialog font; where it is missing, a plain
    // sans-serif of the same height keeps the layout of the pages.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    RichEdit1->setFont(font);

    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Base, QApplication::palette().color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, QApplication::palette().color(QPalette::ToolTipText));
    RichEdit1->setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit1);
}

HelpPageLoad loadHelpPage(TForm4& form, const QString& path) {
    form.RichEdit1->clear();
    HelpPageLoad load;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        load.error = openError(path, file.errorString());
        return load;
    }
    if (file.size() > MaxHelpPageBytes) {
        load.error = openError(path, QStringLiteral("The file is too large for a help page."));
        return load;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        load.error = openError(path, file.errorString());
        return load;
    }
    load.rtf = readRtf(bytes, *form.RichEdit1->document());
    return load;
}

HelpErrorSink setHelpErrorSink(HelpErrorSink sink) {
    return std::exchange(errorSink(), std::move(sink));
}

bool ShowHelpPage(TForm4& form, const QString& path) {
    const HelpPageLoad load = loadHelpPage(form, path);
    if (!load.loaded()) {
        if (errorSink()) errorSink()(load.error);
        return false;
    }
    form.RichEdit1->moveCursor(QTextCursor::Start);
    form.exec();
    return true;
}

} // namespace pulmora
