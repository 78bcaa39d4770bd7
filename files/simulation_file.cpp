#include "files/simulation_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/simulation_record.h"

namespace pulmora {

namespace {

std::string describe(const std::string& path, const char* what) {
    return "\"" + path + "\": " + what;
}

std::string describeErrno(const std::string& path, const char* what) {
    return "\"" + path + "\": " + what + " (" + std::strerror(errno) + ")";
}

} // namespace

FileResult readSimulationFile(const std::string& path, RunHistory& history) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return {false, describeErrno(path, "cannot be opened")};
    // One byte more than a history, so a longer file is recognised without reading it all.
    std::vector<std::uint8_t> buffer(kHistoryBytes + 1);
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), f);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError) return {false, describe(path, "could not be read")};
    if (got != kHistoryBytes)
        return {false, describe(path, got > kHistoryBytes
                                          ? "is larger than a simulation file (621360 bytes)"
                                          : "is smaller than a simulation file (621360 bytes)")};
    decodeHistorySlots(std::span<const std::uint8_t>(buffer.data(), kHistoryBytes), history);
    return {true, {}};
}

FileResult writeSimulationFile(const std::string& path, const RunHistory& history) {
    std::vector<std::uint8_t> image(kHistoryBytes);
    encodeHistorySlots(history, image);
    // A read-only file (or a folder of that name) is not replaced, though the folder would
    // allow the rename: opening it for update changes no byte.
    if (std::FILE* existing = std::fopen(path.c_str(), "rb")) {
        std::fclose(existing);
        std::FILE* update = std::fopen(path.c_str(), "r+b");
        if (!update) return {false, describeErrno(path, "cannot be written")};
        std::fclose(update);
    }
    const std::string temporary = path + ".part";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return {false, describeErrno(path, "cannot be written")};
    const bool written = std::fwrite(image.data(), 1, image.size(), f) == image.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        std::remove(temporary.c_str());
        return {false, describe(path, "could not be written completely")};
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string error = describeErrno(path, "could not be replaced");
        std::remove(temporary.c_str());
        return {false, error};
    }
    return {true, {}};
}

} // namespace pulmora
