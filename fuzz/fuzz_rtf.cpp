// The help pages' rich text: any bytes become a document, never a crash or a hang.

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

#include "app/rtf_reader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QTextDocument document;
    pulmora::readRtf(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                     document);
    if (document.characterCount() > static_cast<int>(size) + 2) __builtin_trap();
    return 0;
}
