// The picture's hot-spot table: any text, then the hit test over a grid of mouse positions.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

#include "graphics/hot_spots.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"

using namespace pulmora;

namespace {
QTemporaryDir* folder = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    folder = new QTemporaryDir;
    setMessageSink([](MessageKind, const QString&) { return true; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    parseHotSpotText(std::string_view(reinterpret_cast<const char*>(data), size));
    const QString path = folder->filePath("F000.dat");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return 0;
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    StringGrid grid;
    grid.setColCount(5);
    grid.setRowCount(40);
    LoadHotSpotTable(path, grid);
    for (int x = -10; x <= 110; x += 7)
        for (int y = -10; y <= 110; y += 7) findHotSpotRow(grid, x, y);
    return 0;
}
