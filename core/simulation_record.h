#pragma once
// One simulated run, laid out exactly as it is stored in a simulation file, and the history
// of five runs. The struct is the file format: every offset is checked below.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "core/parameter_set.h"

namespace pulmora {

constexpr int kVolumeTimeSamples = 1000;  // capacity of the volume-time curve
constexpr int kFlowVolumeSamples = 1500;  // capacity of the flow-volume loop
constexpr int kFlowVolumeUsable = 1498;   // the driver stores at most this many loop samples
constexpr int kLobeTableRows = 1501;      // row 0 is the relaxed snapshot, rows 1 ... 1500 samples
constexpr int kMatrixRowFloats = 16;      // floats per stored matrix row, 0 ... 7 used
constexpr int kHistorySlots = 5;          // slot 0 the reference, 1 ... 4 the runs, newest first
constexpr int kShownRuns = 3;             // run rows in the history table

// All 1-based arrays of the layout are stored 0-based here: sample k of a curve is [k - 1],
// lobe k of a table row is [k - 1]; table rows keep their own numbers (row 0 ... 1500).
struct SimulationRecord {
    float vtTime[kVolumeTimeSamples];        // s since recording started; sample k at 0.1 k s
    float vtVolume[kVolumeTimeSamples];      // total lung volume at each volume-time sample, l
    float volumeCurve[kFlowVolumeSamples];   // flow-volume loop: total lung volume, l
    float flowCurve[kFlowVolumeSamples];     // flow-volume loop: the DisplayVariable's value
                                             // (l/s with the defaults, positive breathing in)
    float spareCurve[kFlowVolumeSamples];    // never computed; carried as the file held it
    float lobeIntermediateR[kLobeTableRows][kLobeCount]; // intermediate bronchus R, kPa s/l
    float lobePeripheralR[kLobeTableRows][kLobeCount];   // peripheral airway R, kPa s/l
    float lobeVolume[kLobeTableRows][kLobeCount];        // lobe volume, l
    std::uint8_t lobeLimited[kLobeTableRows][kLobeCount]; // 1 while the lobe is flow-limited
    std::uint8_t resectedLobes[kLobeCount];  // lobe resection flags; carried, never used
    std::uint8_t padding[2];                 // no value; carried
    float tracheaCoefficient;                // tracheal turbulent coefficient, kPa s^2/l^2
    float leftBronchusR;                     // left main bronchus R at the last sample, kPa s/l
    float rightBronchusR;                    // right main bronchus R at the last sample, kPa s/l
    float fev1;                              // FEV1, l (during a run: the one-second volume)
    float fvc;                               // forced vital capacity "FVCEX", l
    float fev1PercentFvc;                    // FEV1 in % of fvc
    float pef;                               // peak expiratory flow, l/s, positive
    float mef75;                             // flow with 75 % of fvc still to exhale, l/s
    float mef50;                             // the same at 50 %, l/s
    float mef25;                             // the same at 25 %, l/s
    float erv;                               // expiratory reserve volume, l
    float flowAtFev1;                        // mouth airflow when fev1 was captured, l/s
    float frc;                               // functional residual capacity, l
    float tlc;                               // total lung capacity, l
    float runStatus;                         // 1 completed, 0 tidal breathing failed, -1 failed
    float fet;                               // forced expiration time, s
    float displayVariableCode;               // DisplayVariable in force for the run, 1 ... 6
    std::uint8_t reserved[40];               // no value; carried
    float parameterMatrix[kLungPartCount][kMatrixRowFloats]; // row LungPart + 2, columns 0 ... 7
    float options[kOptionCount];             // options 1 ... 20 at [0 ... 19], percent
};

constexpr std::size_t kRecordBytes = 124272;
constexpr std::size_t kHistoryBytes = kRecordBytes * kHistorySlots; // 621,360

static_assert(sizeof(float) == 4, "records store IEEE single-precision floats");
static_assert(sizeof(SimulationRecord) == kRecordBytes, "the record is the file format");
static_assert(offsetof(SimulationRecord, vtTime) == 0);
static_assert(offsetof(SimulationRecord, vtVolume) == 4000);
static_assert(offsetof(SimulationRecord, volumeCurve) == 8000);
static_assert(offsetof(SimulationRecord, flowCurve) == 14000);
static_assert(offsetof(SimulationRecord, spareCurve) == 20000);
static_assert(offsetof(SimulationRecord, lobeIntermediateR) == 26000);
static_assert(offsetof(SimulationRecord, lobePeripheralR) == 56020);
static_assert(offsetof(SimulationRecord, lobeVolume) == 86040);
static_assert(offsetof(SimulationRecord, lobeLimited) == 116060);
static_assert(offsetof(SimulationRecord, resectedLobes) == 123565);
static_assert(offsetof(SimulationRecord, padding) == 123570);
static_assert(offsetof(SimulationRecord, tracheaCoefficient) == 123572);
static_assert(offsetof(SimulationRecord, leftBronchusR) == 123576);
static_assert(offsetof(SimulationRecord, rightBronchusR) == 123580);
static_assert(offsetof(SimulationRecord, fev1) == 123584);
static_assert(offsetof(SimulationRecord, fvc) == 123588);
static_assert(offsetof(SimulationRecord, fev1PercentFvc) == 123592);
static_assert(offsetof(SimulationRecord, pef) == 123596);
static_assert(offsetof(SimulationRecord, mef75) == 123600);
static_assert(offsetof(SimulationRecord, mef50) == 123604);
static_assert(offsetof(SimulationRecord, mef25) == 123608);
static_assert(offsetof(SimulationRecord, erv) == 123612);
static_assert(offsetof(SimulationRecord, flowAtFev1) == 123616);
static_assert(offsetof(SimulationRecord, frc) == 123620);
static_assert(offsetof(SimulationRecord, tlc) == 123624);
static_assert(offsetof(SimulationRecord, runStatus) == 123628);
static_assert(offsetof(SimulationRecord, fet) == 123632);
static_assert(offsetof(SimulationRecord, displayVariableCode) == 123636);
static_assert(offsetof(SimulationRecord, reserved) == 123640);
static_assert(offsetof(SimulationRecord, parameterMatrix) == 123680);
static_assert(offsetof(SimulationRecord, options) == 124192);

// The five slots and their bookkeeping. About 600 kB: allocate it, don't put it on the stack.
struct RunHistory {
    std::array<SimulationRecord, kHistorySlots> records; // 0 reference, 1 ... 4 runs newest first
    int runCount = 0;     // 0 ... 3: slots 1 ... runCount are shown and selectable
    int selectedRun = -1; // -1 none, else 1 ... runCount

    RunHistory();
    SimulationRecord& slot(int s);
    const SimulationRecord& slot(int s) const;
};

std::unique_ptr<RunHistory> makeRunHistory();

// A slot holds a run when the first value of its volume curve is not zero.
bool holdsRun(const SimulationRecord& record);
// Zero the volume and flow curves, which is how a slot is emptied.
void emptySlot(SimulationRecord& record);
// Zero the curves of the run about to be recorded.
void clearForRun(SimulationRecord& record);
// Floats 0 ... 7 of all 8 matrix rows of all five slots become 100 %; the rest is untouched.
void resetParameterCopies(RunHistory& history);

// Number of slots 1 ... 3 that hold a run, as counted after a history is loaded.
int countRuns(const RunHistory& history);

// The file form: little-endian, slot 0 first, every byte of every record including the
// padding, the reserved bytes and the unused matrix floats.
void encodeRecord(const SimulationRecord& record, std::span<std::uint8_t, kRecordBytes> out);
void decodeRecord(std::span<const std::uint8_t, kRecordBytes> in, SimulationRecord& record);
void encodeHistorySlots(const RunHistory& history, std::span<std::uint8_t> out);
// Replaces the five slots from a 621,360-byte image. Returns false, with the history
// unchanged, when the image has any other size. The bookkeeping is not touched.
bool decodeHistorySlots(std::span<const std::uint8_t> in, RunHistory& history);

} // namespace pulmora
