#include "tools/sim_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "core/parameter_set.h"

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
    "  --json                    one JSON object per run instead of a table\n";

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

std::vector<std::string> splitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

ParseResult fail(std::string message) { return {false, std::move(message)}; }

ParseResult parseCell(const std::string& flag, const std::string& text, CellSetting& cell) {
    const auto parts = splitCommas(text);
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
    const auto parts = splitCommas(text);
    if (parts.size() != 2) return fail(flag + " expects K,VALUE, not \"" + text + "\"");
    if (!parseInteger(parts[0], o.option) || o.option < 1 || o.option > kOptionCount)
        return fail(flag + ": option \"" + parts[0] + "\" is not one of 1 ... 20");
    if (!parseNumber(parts[1], o.value))
        return fail(flag + ": value \"" + parts[1] + "\" is not a number");
    return {true, {}};
}

} // namespace

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
                                flag == "--csv";
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
        }
        if (!r.ok) return r;
    }
    return {true, {}};
}

} // namespace pulmora
