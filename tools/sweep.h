#pragma once
// Parameter sweeps of the headless tool: a grid of one or two swept cells, or one line of
// options per point from a file. Every point is one examination from a fresh start-up state,
// so its result depends neither on the order nor on the number of workers and equals the
// single run with the same options. The points run side by side; their rows are written in
// input order as they finish.

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/simulation_record.h"
#include "tools/sim_options.h"

namespace pulmora {

// About five hours on two cores at 0.2 s a point; a bigger sweep is a typing error.
constexpr std::size_t kMaxSweepPoints = 100000;

struct SweepPoint {
    SimOptions options;         // the command line's options with this point's settings added
    std::vector<double> inputs; // the value of each input column, percent or code
    int line = 0;               // line of the sweep file, 0 for a grid point
};

struct SweepPlan {
    std::vector<std::string> inputColumns; // CSV names of the inputs, e.g. "part0_col4_pct"
    std::vector<SweepPoint> points;        // in input order
    bool fromFile = false;                 // the CSV then names each point's line
};

// The axis's values, both ends exact. Each is rounded to single precision, the precision the
// run's record keeps, so the value printed with %.9g is exactly the one the run used.
std::vector<double> axisValues(const SweepAxis& axis);

// The plan of a command line with a sweep: the grid of options.sweepAxes (the first axis
// outermost), or the points of options.sweepFile. On failure the plan is empty and the
// message names the file and line.
ParseResult planSweep(const SimOptions& options, SweepPlan& plan);

// The points of a sweep file's text; `name` is the file named in messages. Blank lines and
// lines starting with "#" are skipped. A line's options are added to `base`, which gives what
// the lines have in common.
ParseResult parseSweepLines(const std::string& text, const std::string& name,
                            const SimOptions& base, SweepPlan& plan);

// What the CSV reports of one examination.
struct PointResult {
    int status = 0;             // the run status: 1 completed, 0 dead, -1 failed
    std::vector<float> indices; // kSweepIndices in order, as stored in the record
    int flowVolumeSamples = 0;  // loop samples
    int volumeTimeSamples = 0;  // volume-time samples
};

// The indices a row holds, in column order, with their CSV names (unit last).
struct SweepIndex {
    const char* column;
    float SimulationRecord::*field;
};
extern const std::vector<SweepIndex> kSweepIndices;

// One examination from a fresh start-up state: what `pulmora-sim` with these options reports.
PointResult runSweepPoint(const SimOptions& options);

// Header line and one row of the CSV, each ending in a newline. A run that did not complete
// has empty index cells, as the table shows no indices for it.
std::string sweepCsvHeader(const SweepPlan& plan);
std::string sweepCsvRow(const SweepPlan& plan, std::size_t index, const PointResult& result);

struct SweepProgress {
    std::size_t done = 0;  // points written
    std::size_t total = 0; // points of the plan
    double seconds = 0;    // since the sweep started
};

// "[#########-----------]  24/64 points  5.1/s  0:08 left", for a terminal.
std::string progressBar(const SweepProgress& p);
// "24/64 points (37 %) in 4.7 s", for a log.
std::string progressLine(const SweepProgress& p);
// Whether going from `before` to p.done points passes a tenth of the total.
bool passesTenth(std::size_t before, const SweepProgress& p);

using PointRunner = std::function<PointResult(std::size_t index, const SimOptions& options)>;

struct SweepOutcome {
    std::size_t written = 0;  // rows written, the points 0 ... written - 1
    bool writeFailed = false; // a write to `out` failed; the sweep stopped
};

// Runs the plan's points on `jobs` workers (each with a model of its own) and writes the
// header and the rows to `out` in input order, flushing after each row; `progress` is called
// on the calling thread after each row. Once `stop` is set no worker takes a new point; the
// points in progress finish and are written, so `out` holds a valid CSV of the points before
// the first one not taken. `run` replaces the examination in tests.
SweepOutcome RunSweep(const SweepPlan& plan, int jobs, std::FILE* out,
                      const std::atomic<bool>& stop,
                      const std::function<void(const SweepProgress&)>& progress = {},
                      const PointRunner& run = {});

} // namespace pulmora
