#include "core/simulation_record.h"

#include <cassert>
#include <cstring>

namespace pulmora {

RunHistory::RunHistory() { std::memset(records.data(), 0, sizeof(records)); }

SimulationRecord& RunHistory::slot(int s) {
    assert(s >= 0 && s < kHistorySlots && "history slots are numbered 0 ... 4");
    return records[s];
}

const SimulationRecord& RunHistory::slot(int s) const {
    return const_cast<RunHistory*>(this)->slot(s);
}

std::unique_ptr<RunHistory> makeRunHistory() { return std::make_unique<RunHistory>(); }

bool holdsRun(const SimulationRecord& record) { return record.volumeCurve[0] != 0.0f; }

void emptySlot(SimulationRecord& record) {
    std::memset(record.volumeCurve, 0, sizeof(record.volumeCurve));
    std::memset(record.flowCurve, 0, sizeof(record.flowCurve));
}

void clearForRun(SimulationRecord& record) {
    std::memset(record.vtTime, 0, sizeof(record.vtTime));
    std::memset(record.vtVolume, 0, sizeof(record.vtVolume));
    emptySlot(record);
}

void resetParameterCopies(RunHistory& history) {
    for (auto& record : history.records)
        for (auto& row : record.parameterMatrix)
            for (int c = 0; c < kColumnCount; ++c) row[c] = 100.0f;
}

int countRuns(const RunHistory& history) {
    int count = 0;
    for (int s = 1; s <= kShownRuns; ++s)
        if (holdsRun(history.slot(s))) ++count;
    return count;
}

namespace {

// The byte layout as runs of floats and of bytes; together they cover the record exactly.
struct Region {
    std::size_t offset; // first byte
    std::size_t bytes;  // length
    bool floats;        // 4-byte little-endian IEEE values, else raw bytes
};

constexpr Region kRegions[] = {
    {0, offsetof(SimulationRecord, lobeLimited), true},
    {offsetof(SimulationRecord, lobeLimited),
     offsetof(SimulationRecord, tracheaCoefficient) - offsetof(SimulationRecord, lobeLimited),
     false},
    {offsetof(SimulationRecord, tracheaCoefficient),
     offsetof(SimulationRecord, reserved) - offsetof(SimulationRecord, tracheaCoefficient), true},
    {offsetof(SimulationRecord, reserved),
     offsetof(SimulationRecord, parameterMatrix) - offsetof(SimulationRecord, reserved), false},
    {offsetof(SimulationRecord, parameterMatrix),
     kRecordBytes - offsetof(SimulationRecord, parameterMatrix), true},
};

constexpr bool regionsCoverRecord() {
    std::size_t next = 0;
    for (const Region& r : kRegions) {
        if (r.offset != next) return false;
        if (r.floats && (r.offset % 4 != 0 || r.bytes % 4 != 0)) return false;
        next = r.offset + r.bytes;
    }
    return next == kRecordBytes;
}
static_assert(regionsCoverRecord(), "the byte image must cover every byte of the record once");

} // namespace

void encodeRecord(const SimulationRecord& record, std::span<std::uint8_t, kRecordBytes> out) {
    const auto* base = reinterpret_cast<const unsigned char*>(&record);
    for (const Region& r : kRegions) {
        if (!r.floats) {
            std::memcpy(out.data() + r.offset, base + r.offset, r.bytes);
            continue;
        }
        for (std::size_t i = r.offset; i < r.offset + r.bytes; i += 4) {
            std::uint32_t bits;
            std::memcpy(&bits, base + i, 4);
            out[i] = static_cast<std::uint8_t>(bits);
            out[i + 1] = static_cast<std::uint8_t>(bits >> 8);
            out[i + 2] = static_cast<std::uint8_t>(bits >> 16);
            out[i + 3] = static_cast<std::uint8_t>(bits >> 24);
        }
    }
}

void decodeRecord(std::span<const std::uint8_t, kRecordBytes> in, SimulationRecord& record) {
    auto* base = reinterpret_cast<unsigned char*>(&record);
    for (const Region& r : kRegions) {
        if (!r.floats) {
            std::memcpy(base + r.offset, in.data() + r.offset, r.bytes);
            continue;
        }
        for (std::size_t i = r.offset; i < r.offset + r.bytes; i += 4) {
            const std::uint32_t bits = std::uint32_t{in[i]} | std::uint32_t{in[i + 1]} << 8 |
                                       std::uint32_t{in[i + 2]} << 16 |
                                       std::uint32_t{in[i + 3]} << 24;
            std::memcpy(base + i, &bits, 4);
        }
    }
}

void encodeHistorySlots(const RunHistory& history, std::span<std::uint8_t> out) {
    assert(out.size() == kHistoryBytes && "a history image is exactly five records");
    for (int s = 0; s < kHistorySlots; ++s)
        encodeRecord(history.records[s],
                     std::span<std::uint8_t, kRecordBytes>(out.data() + s * kRecordBytes,
                                                           kRecordBytes));
}

bool decodeHistorySlots(std::span<const std::uint8_t> in, RunHistory& history) {
    if (in.size() != kHistoryBytes) return false;
    for (int s = 0; s < kHistorySlots; ++s)
        decodeRecord(std::span<const std::uint8_t, kRecordBytes>(in.data() + s * kRecordBytes,
                                                                 kRecordBytes),
                     history.records[s]);
    return true;
}

} // namespace pulmora
