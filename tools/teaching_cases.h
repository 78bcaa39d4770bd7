#pragma once
// The ready-made teaching cases shipped in simulations/: each is a history of three runs that
// show one pathology mild, moderate and severe against the standard reference, recorded as a
// user would record them in the window.

#include <array>
#include <memory>
#include <string>

#include "core/parameter_set.h"

namespace pulmora {

struct RunHistory;

enum Severity : int { kMild = 0, kModerate = 1, kSevere = 2 };
constexpr int kSeverityCount = 3;

// The newest run is slot 1 and the history table lists slots 1, 2, 3 from the top, so the
// severe run is recorded first and the mild one last: the table then reads mild, moderate,
// severe downwards, in red, green and purple, and the mild run is the one selected on opening.
constexpr std::array<Severity, kSeverityCount> kRecordingOrder{kSevere, kModerate, kMild};
constexpr int slotOf(Severity severity) {
    return 1 + severity;
}

// A case changes a few cells of one lung part's row; the other cells stay at 100 %.
constexpr int kMaxCaseColumns = 3;
constexpr int kNoColumn = -1;

struct TeachingCase {
    const char* fileName;                     // in simulations/
    int lungPart;                             // the row the sliders set, LungPart -2 ... 5
    std::array<int, kMaxCaseColumns> columns; // columns set, kNoColumn for none
    std::array<std::array<double, kMaxCaseColumns>, kSeverityCount> values; // [severity][i], %
};

// Every value is a position of its slider, so a user can set the same run by hand and the
// window's sliders show it unchanged when the run is selected.
constexpr std::array<TeachingCase, 6> kTeachingCases{{
    // Middle and peripheral bronchi narrowed alike: the limb is scooped, the volumes stay.
    {"asthma.spi", kBothLungs, {2, 4, kNoColumn}, {{{141, 200, 0}, {200, 400, 0}, {400, 566, 0}}}},
    // Peripheral obstruction, early airway closure (CCC) and lost elastic recoil (Cm up): the
    // strongest flow limitation of the set, with FRC and TLC raised.
    {"copd.spi", kBothLungs, {4, 5, 7}, {{{200, 150, 125}, {400, 200, 138}, {566, 250, 150}}}},
    // Small stiff lungs: every volume shrinks, the loop narrows, FEV1%FVC rises.
    {"restriction.spi", kBothLungs, {6, 7, kNoColumn}, {{{85, 85, 0}, {70, 70, 0}, {60, 55, 0}}}},
    // The trachea's resistance: the peak is cut off flat, the end of the limb is untouched.
    {"upper-airway-obstruction.spi",
     kBothLungs,
     {0, kNoColumn, kNoColumn},
     {{{200, 0, 0}, {400, 0, 0}, {800, 0, 0}}}},
    // The left main bronchus and the bronchi beyond it: the left lung empties late.
    {"left-main-bronchus.spi",
     kLeftLung,
     {0, 2, kNoColumn},
     {{{200, 400, 0}, {400, 800, 0}, {800, 1600, 0}}}},
    // The bronchus of the left lower lobe, the largest lobe.
    {"lobar-obstruction.spi",
     kLeftLowerLobe,
     {2, kNoColumn, kNoColumn},
     {{{400, 0, 0}, {800, 0, 0}, {1600, 0, 0}}}},
}};

// The parameter set of one run of a case: every cell and option at 100 % but the case's cells.
ParameterSet caseParameters(const TeachingCase& teachingCase, Severity severity);

// The standard history, as the build records it into datfiles1/standard.dat: the standard
// examination in slot 0, the run slots empty. Null when the examination does not complete.
std::unique_ptr<RunHistory> recordStandardHistory();

// The history of a case as the window holds it after start-up with `standard` loaded and
// START pressed for each severity in kRecordingOrder. Null, with `error` saying which run,
// when a run does not complete.
std::unique_ptr<RunHistory> recordTeachingCase(const RunHistory& standard,
                                               const TeachingCase& teachingCase,
                                               std::string& error);

} // namespace pulmora
