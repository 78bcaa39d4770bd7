#pragma once
// One run of the history as comma-separated text that a spreadsheet opens: what the record
// holds about the run, section after section, each with its own header row.

#include <string>
#include <string_view>

namespace pulmora {

struct SimulationRecord;

// Samples of the flow-volume loop that the plot draws: from sample 1 up to the last one
// before the first zero volume; none when the record holds no run.
int flowVolumeSampleCount(const SimulationRecord& record);

// Samples of the volume-time curve that the plot draws: up to the last one before the first
// zero time (sample k is taken at 0.1 k s, so a zero time is a sample never taken).
int volumeTimeSampleCount(const SimulationRecord& record);

// A text as one CSV field: as it is, or in double quotes (inner quotes doubled) when it holds a
// comma, a quote or a line break, which a spreadsheet would otherwise split or misread.
std::string csvField(std::string_view text);

// The record of history slot `slot` (0 the reference, 1 ... 4 the runs) as CSV. Sections are
// separated by an empty line:
//   record, status and DisplayVariable;
//   "lung part,column,name,unit,value": the 64 used cells of the parameter matrix;
//   "option,name,unit,value": options 1 ... 20;
//   "index,unit,value": FEV1 ... TLC;
//   the flow-volume loop, "lung volume (l)" and the DisplayVariable's quantity;
//   the volume-time curve, "time (s),lung volume (l)".
// Every value is the float the record stores, so the parameters and options stay percentages
// (a run's of the reference, the reference's of the model's norm; the unit column says which)
// and the indices stay absolute. Numbers use '.' whatever the locale and the shortest digits
// that read back as the same float; texts holding a comma or a quote are quoted.
std::string runCsv(const SimulationRecord& record, int slot);

} // namespace pulmora
