// The memory of a long sitting: the same fifty-run session as the long-session test, in a
// window off-screen, with the process's resident size and the heap in use after each tenth run.
// Usage: pulmora_long_session [RUNS]

#include <malloc.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/main_window.h"
#include "tests/long_session.h"
#include "toolkit/message_box.h"
#include "toolkit/sounds.h"

namespace {

// Resident set size in KiB, from the kernel's own account.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// Bytes the program holds from malloc: small blocks and mapped large ones.
double heapMiB() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

void copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& f : QDir(from).entryInfoList(QDir::Files))
        QFile::copy(f.filePath(), to + "/" + f.fileName());
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    pulmora::setSoundSink([](pulmora::SystemSound) {});
    int messages = 0;
    pulmora::setMessageSink([&messages](pulmora::MessageKind, const QString& text) {
        ++messages;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return true;
    });

    // A private copy of the program's folder, so the session's saves land there.
    QTemporaryDir folder;
    copyFolder(PULMORA_BIN_DIR "/datfiles1", folder.filePath("datfiles1"));
    copyFolder(PULMORA_BIN_DIR "/helpfiles", folder.filePath("helpfiles"));
    QDir(folder.path()).mkpath("simulations");
    pulmora::TForm1 window(folder.path(), {1280, 1024});
    window.show();
    QApplication::processEvents();

    std::printf("%5s %14s %14s\n", "run", "resident MiB", "heap MiB");
    long firstResident = 0;
    double firstHeap = 0;
    pulmora::testing_support::runLongSession(
        window, folder.filePath("simulations"), runs, [&](int run) {
            if (run == 1) {
                firstResident = residentKiB();
                firstHeap = heapMiB();
            }
            if (run == 1 || run % 10 == 0 || run == runs)
                std::printf("%5d %14.1f %14.2f\n", run, residentKiB() / 1024.0, heapMiB());
        });
    std::printf("growth after run 1: resident %+.1f MiB, heap %+.2f MiB; %d messages\n",
                (residentKiB() - firstResident) / 1024.0, heapMiB() - firstHeap, messages);
    return 0;
}
