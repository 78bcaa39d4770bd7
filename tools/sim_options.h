#pragma once
// Command line of the headless examination tool.

#include <string>
#include <vector>

namespace pulmora {

struct Session;

struct CellSetting {
    int lungPart; // -2 ... 5
    int column;   // 0 ... 7
    double value; // percent
};

struct OptionSetting {
    int option;   // 1 ... 20
    double value; // percent
};

// One swept cell of a sweep grid. The axis holds `steps` points from `from` to `to`, both ends
// included, evenly spaced or (logarithmic) in a constant ratio, the natural spacing for the
// resistances, whose sliders are logarithmic too.
struct SweepAxis {
    int lungPart = 0;         // -2 ... 5
    int column = 0;           // 0 ... 7
    double from = 0;          // first value, percent
    double to = 0;            // last value, percent
    int steps = 0;            // points on the axis, kMinSweepSteps ... kMaxSweepSteps
    bool logarithmic = false; // geometric spacing; from and to then above 0
};

// A single point is a plain run (--set), so an axis has at least its two ends; a thousand steps
// per axis is far finer than any slider.
constexpr int kMinSweepSteps = 2;
constexpr int kMaxSweepSteps = 1000;
constexpr int kMaxSweepAxes = 2;
constexpr int kMaxSweepJobs = 256;

struct SimOptions {
    std::vector<CellSetting> cells;        // the run's parameter set
    std::vector<OptionSetting> options;    // the run's options
    std::vector<CellSetting> refCells;     // the reference record's stored values
    std::vector<OptionSetting> refOptions; // the reference record's stored options
    int displayVariable = 1;
    int lungPart = 0;
    int runs = 1;
    std::string savePath; // simulation file of the history after the runs
    std::string csvPath;  // last run's curves
    bool json = false;
    bool help = false;
    std::vector<SweepAxis> sweepAxes; // --sweep: the grid's axes, the first one outermost
    std::string sweepFile;            // --sweep-file: one line of options per point
    std::string sweepOut;             // --sweep-out: the sweep's CSV; empty for stdout
    int jobs = 0;                     // --jobs: sweep workers; 0 for one per core

    bool sweep() const { return !sweepAxes.empty() || !sweepFile.empty(); }
};

struct ParseResult {
    bool ok = false;
    std::string error; // one line naming the problem
};

// Adds the arguments to `out`: cells and options are appended (a later setting of the same
// cell wins when the run starts), the other values replaced. Also refuses combinations that
// make no sense, such as a sweep with --save. On failure `out` may be partly filled.
ParseResult parseSimOptions(const std::vector<std::string>& args, SimOptions& out);

// "PART,COL,FROM:TO:STEPS[:log]" -> axis.
ParseResult parseSweepAxis(const std::string& text, SweepAxis& axis);

// The program's start-up state (every cell and option at 100 %, the patient settled, the
// reference's options at the norm) with the options applied: what each examination of the
// tool starts from, whether it is a single run or a point of a sweep.
void prepareSession(const SimOptions& options, Session& session);

extern const char* const kSimUsage;

} // namespace pulmora
