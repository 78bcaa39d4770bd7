// A simulation file and everything that consumes a loaded history: the result tables, both
// plots, the airway drawing of every slot and the settings listing. The input is spread over a
// whole 621,360-byte history (tiled), its first bytes laid over each record's scalar part and
// parameters, so that short inputs reach every field.

#include <QGuiApplication>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/simulation_record.h"
#include "files/file_commands.h"
#include "graphics/airway_picture.h"
#include "graphics/flow_volume_plot.h"
#include "graphics/volume_time_plot.h"
#include "params/settings_listing.h"
#include "results/table_texts.h"
#include "toolkit/canvas.h"

using namespace pulmora;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The file as it is: anything but the exact size is refused, the history unchanged.
    auto history = makeRunHistory();
    loadHistoryImage(std::span<const std::uint8_t>(data, size), "fuzz.spi", *history);
    if (size == 0) return 0;

    std::vector<std::uint8_t> image(kHistoryBytes);
    for (std::size_t i = 0; i < kHistoryBytes; ++i) image[i] = data[i % size];
    constexpr std::size_t kScalars = offsetof(SimulationRecord, tracheaCoefficient);
    for (int s = 0; s < kHistorySlots; ++s)
        std::memcpy(&image[s * kRecordBytes + kScalars], data,
                    std::min(size, kRecordBytes - kScalars));
    // Past the loader's own checks, the consumers must cope with whatever a record holds.
    decodeHistorySlots(image, *history);
    history->runCount = data[0] % 4;
    history->selectedRun = history->runCount == 0 ? -1 : 1 + data[size - 1] % history->runCount;

    IndicesTableTexts indices;
    for (int slot = 0; slot < kHistorySlots; ++slot) {
        FillIndicesTable(indices, *history, slot, true);
        for (int part = -2; part <= 5; ++part) FillHistoryRow(history->slot(slot), part, 1 + slot);
    }
    SettingsListing(*history);

    QImage plot(300, 220, QImage::Format_RGB32);
    Canvas canvas(plot);
    DrawFlowVolumePlot(canvas, *history, 1 + data[0] % 6);
    VolumeTimePlot vt;
    if (history->selectedRun > 0) RedrawVolumeTimeCurve(vt, canvas, *history);

    QImage picture(200, 220, QImage::Format_RGB32), buffer(200, 220, QImage::Format_RGB32),
        background(50, 50, QImage::Format_RGB32);
    background.fill(Qt::white);
    Canvas target(picture);
    for (int slot = 0; slot < kHistorySlots; ++slot)
        for (int sample : {0, 1, 700, 1500})
            DrawAirwayPicture(target, 0, 0, 200, 220, 1, Qt::black,
                              recordAirwayValues(history->slot(slot), sample), buffer, background);
    return 0;
}
