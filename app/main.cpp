// Pulmora: the simulator's window.

#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

#include "app/main_window.h"

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
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    pulmora::TForm1 window(QCoreApplication::applicationDirPath(),
                           {screen.width(), screen.height()});
    window.showMaximized();
    return app.exec();
}
