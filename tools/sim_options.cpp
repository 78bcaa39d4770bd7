#include "tools/sim_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "core/parameter_set.h"
#include "core/session.h"

namespace pulmora {

const char* const kSimUsage =
    "usage: pulmora-sim [options]\n"
    "  --set PART,COL,VALUE      a cell of the run's parameter set (PART -2 ... 5, COL 0 ... 7,\n"
    "                            VALUE in percent)\n"
    "  --option K,VALUE          a run option (K 1 ... 20)\n"
    "  --ref-set PART,COL,VALUE  a cell of the reference record\n"
    "  --ref-option K,VALUE      an option of the reference record\n"
    "  --variable CODE           the recorded variable, 1 ... 6 (default 1, total airflow)\n"
    "  --lung-part CODE          the lung part it is recorded for, -2 ... 5 (default 0)\n"
    "  --runs N                  N examinations on the same patient (default 1)\n"
    "  --save FILE               write the history after the runs as a simulation file\n"
    "  --csv FILE                write the last run's loop and volume-time curve as CSV\n"
    "  --json                    one JSON object per run instead of a table\n"
    "sweeps (CSV of every point's inputs, status and indices, in input order):\n"
    "  --sweep PART,COL,FROM:TO:STEPS[:log]\n"
    "                            sweep a cell from FROM to TO percent in STEPS points (2 ...\n"
    "                            1000, both ends included; :log for a constant ratio); give\n"
    "                            it twice for a grid of two axes, the first one outermost\n"
    "  --sweep-file FILE         one point per line of options (--set, --option, --ref-set,\n"
    "                            --ref-option, --variable, --lung-part), added to the others\n"
    "  --sweep-out FILE          write the CSV to FILE (default: standard output)\n"
    "  --jobs N                  points run side by side (default: one per core)\n"
    "Every point starts from a fresh start-up state; Ctrl-C stops after the points in\n"
    "progress and keeps the CSV of the finished ones, a second Ctrl-C ends at once.\n";

namespace {

bool parseNumber(const std::string& text, double& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool parseInteger(const std::string& text, int& out) {
    double v;
    if (!parseNumber(text, v) || v != std::floor(v) || std::fabs(v) > 1e9) return false;
    out = static_cast<int>(v);
    return true;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

ParseResult fail(std::string message) { return {false, std::move(message)}; }

ParseResult parseCell(const std::string& flag, const std::string& text, CellSetting& cell) {
    const auto parts = split(text, ',');
    if (parts.size() != 3) return fail(flag + " expects PART,COL,VALUE, not \"" + text + "\"");
    if (!parseInteger(parts[0], cell.lungPart) || !isLungPart(cell.lungPart))
        return fail(flag + ": lung part \"" + parts[0] + "\" is not one of -2 ... 5");
    if (!parseInteger(parts[1], cell.column) || cell.column < 0 || cell.column >= kColumnCount)
        return fail(flag + ": column \"" + parts[1] + "\" is not one of 0 ... 7");
    if (!parseNumber(parts[2], cell.value))
        return fail(flag + ": value \"" + parts[2] + "\" is not a number");
    return {true, {}};
}

ParseResult parseOption(const std::string& flag, const std::string& text, OptionSetting& o) {
    const auto parts = split(text, ',');
    if (parts.size() != 2) return fail(flag + " expects K,VALUE, not \"" + text + "\"");
    if (!parseInteger(parts[0], o.option) || o.option < 1 || o.option > kOptionCount)
        return fail(flag + ": option \"" + parts[0] + "\" is not one of 1 ... 20");
    if (!parseNumber(parts[1], o.value))
        return fail(flag + ": value \"" + parts[1] + "\" is not a number");
    return {true, {}};
}

// What a sweep cannot be combined with: each point is one examination whose results are a row
// of the CSV, so there is no history to save, no single run's curves and no JSON.
ParseResult checkCombinations(const SimOptions& o) {
    if (!o.sweep()) {
        if (o.jobs != 0) return fail("--jobs needs --sweep or --sweep-file");
        if (!o.sweepOut.empty()) return fail("--sweep-out needs --sweep or --sweep-file");
        return {true, {}};
    }
    if (!o.sweepAxes.empty() && !o.sweepFile.empty())
        return fail("--sweep and --sweep-file cannot be combined");
    if (o.sweepAxes.size() > static_cast<std::size_t>(kMaxSweepAxes))
        return fail("a sweep has at most two axes, not " + std::to_string(o.sweepAxes.size()));
    if (o.sweepAxes.size() == 2 && o.sweepAxes[0].lungPart == o.sweepAxes[1].lungPart &&
        o.sweepAxes[0].column == o.sweepAxes[1].column)
        return fail("both --sweep axes sweep the same cell");
    if (o.runs != 1) return fail("--runs cannot be combined with a sweep: a point is one run");
    if (!o.savePath.empty()) return fail("--save cannot be combined with a sweep");
    if (!o.csvPath.empty()) return fail("--csv cannot be combined with a sweep");
    if (o.json) return fail("--json cannot be combined with a sweep, which writes CSV");
    return {true, {}};
}

} // namespace

ParseResult parseSweepAxis(const std::string& text, SweepAxis& axis) {
    const auto parts = split(text, ',');
    if (parts.size() != 3)
        return fail("--sweep expects PART,COL,FROM:TO:STEPS[:log], not \"" + text + "\"");
    if (!parseInteger(parts[0], axis.lungPart) || !isLungPart(axis.lungPart))
        return fail("--sweep: lung part \"" + parts[0] + "\" is not one of -2 ... 5");
    if (!parseInteger(parts[1], axis.column) || axis.column < 0 || axis.column >= kColumnCount)
        return fail("--sweep: column \"" + parts[1] + "\" is not one of 0 ... 7");
    const auto range = split(parts[2], ':');
    if (range.size() < 3 || range.size() > 4)
        return fail("--sweep: \"" + parts[2] + "\" is not FROM:TO:STEPS or FROM:TO:STEPS:log");
    if (!parseNumber(range[0], axis.from))
        return fail("--sweep: FROM \"" + range[0] + "\" is not a number");
    if (!parseNumber(range[1], axis.to))
        return fail("--sweep: TO \"" + range[1] + "\" is not a number");
    if (!parseInteger(range[2], axis.steps) || axis.steps < kMinSweepSteps ||
        axis.steps > kMaxSweepSteps)
        return fail("--sweep: STEPS \"" + range[2] + "\" is not a number of points from 2 to 1000");
    axis.logarithmic = range.size() == 4;
    if (axis.logarithmic && range[3] != "log")
        return fail("--sweep: unknown spacing \"" + range[3] + "\" (only \"log\")");
    if (axis.logarithmic && (axis.from <= 0 || axis.to <= 0))
        return fail("--sweep: a logarithmic axis needs FROM and TO above 0");
    return {true, {}};
}

ParseResult parseSimOptions(const std::vector<std::string>& args, SimOptions& out) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--json") {
            out.json = true;
            continue;
        }
        if (flag == "--help" || flag == "-h") {
            out.help = true;
            continue;
        }
        const bool takesValue = flag == "--set" || flag == "--option" || flag == "--ref-set" ||
                                flag == "--ref-option" || flag == "--variable" ||
                                flag == "--lung-part" || flag == "--runs" || flag == "--save" ||
                                flag == "--csv" || flag == "--sweep" || flag == "--sweep-file" ||
                                flag == "--sweep-out" || flag == "--jobs";
        if (!takesValue) return fail("unknown option \"" + flag + "\"");
        if (i + 1 >= args.size()) return fail(flag + " needs a value");
        const std::string& value = args[++i];
        ParseResult r{true, {}};
        if (flag == "--set" || flag == "--ref-set") {
            CellSetting cell;
            r = parseCell(flag, value, cell);
            (flag == "--set" ? out.cells : out.refCells).push_back(cell);
        } else if (flag == "--option" || flag == "--ref-option") {
            OptionSetting o;
            r = parseOption(flag, value, o);
            (flag == "--option" ? out.options : out.refOptions).push_back(o);
        } else if (flag == "--variable") {
            if (!parseInteger(value, out.displayVariable) || out.displayVariable < 1 ||
                out.displayVariable > 6)
                r = fail("--variable: \"" + value + "\" is not one of 1 ... 6");
        } else if (flag == "--lung-part") {
            if (!parseInteger(value, out.lungPart) || !isLungPart(out.lungPart))
                r = fail("--lung-part: \"" + value + "\" is not one of -2 ... 5");
        } else if (flag == "--runs") {
            if (!parseInteger(value, out.runs) || out.runs < 1 || out.runs > 1000)
                r = fail("--runs: \"" + value + "\" is not a number of runs from 1 to 1000");
        } else if (flag == "--save") {
            if (value.empty()) r = fail("--save needs a file name");
            out.savePath = value;
        } else if (flag == "--csv") {
            if (value.empty()) r = fail("--csv needs a file name");
            out.csvPath = value;
        } else if (flag == "--sweep") {
            SweepAxis axis;
            r = parseSweepAxis(value, axis);
            out.sweepAxes.push_back(axis);
        } else if (flag == "--sweep-file") {
            if (value.empty()) r = fail("--sweep-file needs a file name");
            out.sweepFile = value;
        } else if (flag == "--sweep-out") {
            if (value.empty()) r = fail("--sweep-out needs a file name");
            out.sweepOut = value;
        } else if (flag == "--jobs") {
            if (!parseInteger(value, out.jobs) || out.jobs < 1 || out.jobs > kMaxSweepJobs)
                r = fail("--jobs: \"" + value + "\" is not a number of workers from 1 to 256");
        }
        if (!r.ok) return r;
    }
    return checkCombinations(out);
}

void prepareSession(const SimOptions& options, Session& session) {
    RunHistory& history = *session.history;
    // Without the standard file the reference's options are the norm.
    for (auto& record : history.records)
        for (float& o : record.options)
            o = 100.0f;
    StartSession(session);
    for (const CellSetting& c : options.refCells)
        history.slot(0).parameterMatrix[lungPartRow(c.lungPart)][c.column] =
            static_cast<float>(c.value);
    for (const OptionSetting& o : options.refOptions)
        history.slot(0).options[o.option - 1] = static_cast<float>(o.value);
    for (const CellSetting& c : options.cells)
        session.parameters.cell(c.lungPart, c.column) = c.value;
    for (const OptionSetting& o : options.options)
        session.parameters.option(o.option) = o.value;
    session.parameters.displayVariable = options.displayVariable;
    session.parameters.selectedLungPart = options.lungPart;
}

} // namespace pulmora
