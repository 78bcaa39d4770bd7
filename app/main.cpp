// Pulmora: the simulator's window.

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/startup_checks.h"
#include "toolkit/message_box.h"

namespace {

// For checks of the whole program without anybody at the screen: PULMORA_MESSAGE_LOG names a
// file that receives every message, one a line, instead of a box, and the line "(started)"
// once start-up has finished and the window is about to take input.
QString messageLog() {
    return qEnvironmentVariable("PULMORA_MESSAGE_LOG");
}

void appendToLog(const QString& log, const QString& line) {
    QFile file(log);
    if (file.open(QIODevice::Append | QIODevice::Text)) file.write((line + '\n').toUtf8());
}

} // namespace

int main(int argc, char** argv) {
    // Without a display and without a platform chosen, Qt would abort with a terse message.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "pulmora: no display found (DISPLAY is not set). Start it from a "
                             "desktop session, or set QT_QPA_PLATFORM=offscreen.\n");
        return 1;
    }
    QApplication app(argc, argv);
    app.setApplicationName("Pulmora");
    app.setWindowIcon(QIcon(pulmora::ProgramIconPixmap(QSize(64, 64))));
    const QString log = messageLog();
    if (!log.isEmpty())
        pulmora::setMessageSink([log](pulmora::MessageKind, const QString& text) {
            appendToLog(log, text);
            return true;
        });

    // One instance at a time, decided before any window appears.
    pulmora::SingleInstanceGuard guard;
    if (!guard.acquire()) {
        pulmora::showMessage(nullptr, "This program is already running.");
        return 1;
    }

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // The program folder is the executable's own, whatever the working directory.
    pulmora::TForm1 window(QCoreApplication::applicationDirPath(),
                           {screen.width(), screen.height()});
    // A fatal start-up message has been shown: end without entering the event loop.
    if (pulmora::programEndRequested()) return 1;
    window.showMaximized();
    if (!log.isEmpty()) appendToLog(log, "(started)");
    return app.exec();
}
