#include "files/file_commands.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/simulation_record.h"

namespace pulmora {

namespace {

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// Offset of the first non-finite float among `count` floats at `first`, or -1.
long scan(const SimulationRecord& record, const float* first, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(first[i]))
            return static_cast<long>(reinterpret_cast<const unsigned char*>(first + i) -
                                     reinterpret_cast<const unsigned char*>(&record));
    return -1;
}

} // namespace

long firstNonFiniteValue(const SimulationRecord& r) {
    // The curves, the per-lobe tables, the scalars from the tracheal coefficient to the display
    // variable, the used matrix columns and the options; the spare curve only travels.
    struct Block {
        const float* first;
        std::size_t count;
    };
    const Block blocks[] = {
        {r.vtTime, kVolumeTimeSamples},
        {r.vtVolume, kVolumeTimeSamples},
        {r.volumeCurve, kFlowVolumeSamples},
        {r.flowCurve, kFlowVolumeSamples},
        {&r.lobeIntermediateR[0][0], std::size_t{kLobeTableRows} * kLobeCount},
        {&r.lobePeripheralR[0][0], std::size_t{kLobeTableRows} * kLobeCount},
        {&r.lobeVolume[0][0], std::size_t{kLobeTableRows} * kLobeCount},
        {&r.tracheaCoefficient,
         (offsetof(SimulationRecord, reserved) - offsetof(SimulationRecord, tracheaCoefficient)) /
             sizeof(float)},
        {r.options, kOptionCount},
    };
    for (const Block& b : blocks)
        if (const long at = scan(r, b.first, b.count); at >= 0) return at;
    for (int row = 0; row < kLungPartCount; ++row)
        if (const long at = scan(r, r.parameterMatrix[row], kColumnCount); at >= 0) return at;
    return -1;
}

FileResult loadHistoryImage(std::span<const std::uint8_t> image, const std::string& path,
                            RunHistory& history) {
    if (image.size() != kHistoryBytes)
        return {false, "The file " + quoted(path) + " is not a simulation file: it holds " +
                           (image.size() > kHistoryBytes ? "more than " : "") +
                           std::to_string(std::min(image.size(), kHistoryBytes)) +
                           " bytes, a simulation file exactly 621360."};
    // Decoded aside first, so that a damaged file changes nothing.
    auto loaded = makeRunHistory();
    decodeHistorySlots(image, *loaded);
    for (int s = 0; s < kHistorySlots; ++s)
        if (const long at = firstNonFiniteValue(loaded->slot(s)); at >= 0)
            return {false, "The file " + quoted(path) + " is damaged: record " + std::to_string(s) +
                               " holds a value that is not a number (byte " + std::to_string(at) +
                               " of the record)."};
    history.records = loaded->records;
    return {true, {}};
}

FileResult openSimulationFile(const std::string& path, RunHistory& history) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return {false, "The file " + quoted(path) + " cannot be opened: it is a folder."};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return {false,
                "The file " + quoted(path) + " cannot be opened: " + std::strerror(errno) + "."};
    // One byte more than a history tells a longer file without reading all of it.
    std::vector<std::uint8_t> buffer(kHistoryBytes + 1);
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), f);
    const int readErrno = errno;
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
        return {false, "The file " + quoted(path) +
                           " could not be read: " + std::strerror(readErrno) + "."};
    buffer.resize(got);
    return loadHistoryImage(buffer, path, history);
}

void CountRunsAfterLoading(RunHistory& history) {
    history.selectedRun = -1;
    history.runCount = 0;
    for (int i = 1; i < kHistorySlots; ++i)
        if (holdsRun(history.slot(i))) {
            history.runCount = i;
            history.selectedRun = 1;
        }
    history.runCount = std::min(history.runCount, kShownRuns);
}

bool isStandardFileName(const std::string& path) {
    std::string name = fileName(path);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name == "STANDARD.SPI";
}

std::string fileTitle(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

std::string withSimulationExtension(const std::string& path) {
    if (path.empty() || std::filesystem::path(path).has_extension()) return path;
    return path + ".spi";
}

} // namespace pulmora
