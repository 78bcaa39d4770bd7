#pragma once
// A main window started as the program starts, from a private copy of the program's data
// folder, so a test may delete or spoil files without touching the build.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include "app/main_window.h"
#include "toolkit/message_box.h"

namespace pulmora::testing_support {

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

struct MainWindowFixture {
    QTemporaryDir folder;
    std::unique_ptr<TForm1> window;
    QStringList messages; // every message box the program tried to show
    QStringList helpPages; // every help page the program tried to show
    MessageSink previousSink;

    MainWindowFixture() {
        copyTree(PULMORA_BIN_DIR "/datfiles1", folder.filePath("datfiles1"));
        copyTree(PULMORA_BIN_DIR "/helpfiles", folder.filePath("helpfiles"));
        QDir(folder.path()).mkpath("simulations");
        previousSink = setMessageSink([this](MessageKind, const QString& text) {
            messages << text;
            return true;
        });
    }
    ~MainWindowFixture() {
        window.reset();
        setMessageSink(previousSink);
    }

    TForm1& start(int width = 1280, int height = 1024) {
        window = std::make_unique<TForm1>(folder.path(), ScreenSize{width, height});
        window->helpPageHook = [this](const QString& path) { helpPages << QFileInfo(path).fileName(); };
        window->show();
        return *window;
    }

    static void copyTree(const QString& from, const QString& to) {
        QDir().mkpath(to);
        for (const QFileInfo& f : QDir(from).entryInfoList(QDir::Files))
            QFile::copy(f.filePath(), to + "/" + f.fileName());
    }
};

} // namespace pulmora::testing_support
