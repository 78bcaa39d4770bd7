#include "tools/sweep.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

#include "core/session.h"

namespace pulmora {

const std::vector<SweepIndex> kSweepIndices = {
    {"fev1_l", &SimulationRecord::fev1},
    {"fvcex_l", &SimulationRecord::fvc},
    {"fev1_fvc_pct", &SimulationRecord::fev1PercentFvc},
    {"pef_l_s", &SimulationRecord::pef},
    {"mef75_l_s", &SimulationRecord::mef75},
    {"mef50_l_s", &SimulationRecord::mef50},
    {"mef25_l_s", &SimulationRecord::mef25},
    {"erv_l", &SimulationRecord::erv},
    {"fet_s", &SimulationRecord::fet},
    {"frc_l", &SimulationRecord::frc},
    {"tlc_l", &SimulationRecord::tlc},
};

namespace {

ParseResult fail(std::string message) {
    return {false, std::move(message)};
}

// The record keeps every input in single precision.
double asStored(double value) {
    return static_cast<double>(static_cast<float>(value));
}

std::string cellColumn(int lungPart, int column) {
    return "part" + std::to_string(lungPart) + "_col" + std::to_string(column) + "_pct";
}

// An input a sweep-file line can set, and so a column of the CSV.
struct InputKey {
    enum Kind { Cell, Option, RefCell, RefOption, Variable, LungPart } kind;
    int first = 0;  // lung part or option number
    int second = 0; // column
    bool operator==(const InputKey&) const = default;
};

std::string columnName(const InputKey& key) {
    switch (key.kind) {
    case InputKey::Cell:
        return cellColumn(key.first, key.second);
    case InputKey::Option:
        return "option" + std::to_string(key.first) + "_pct";
    case InputKey::RefCell:
        return "ref_" + cellColumn(key.first, key.second);
    case InputKey::RefOption:
        return "ref_option" + std::to_string(key.first) + "_pct";
    case InputKey::Variable:
        return "variable";
    case InputKey::LungPart:
        return "lung_part";
    }
    return {};
}

// The value the run starts with: the last setting wins, and what nobody set stays at 100 %.
double effectiveValue(const SimOptions& o, const InputKey& key) {
    const auto lastCell = [&](const std::vector<CellSetting>& cells) {
        for (auto c = cells.rbegin(); c != cells.rend(); ++c)
            if (c->lungPart == key.first && c->column == key.second) return asStored(c->value);
        return 100.0;
    };
    const auto lastOption = [&](const std::vector<OptionSetting>& options) {
        for (auto s = options.rbegin(); s != options.rend(); ++s)
            if (s->option == key.first) return asStored(s->value);
        return 100.0;
    };
    switch (key.kind) {
    case InputKey::Cell:
        return lastCell(o.cells);
    case InputKey::Option:
        return lastOption(o.options);
    case InputKey::RefCell:
        return lastCell(o.refCells);
    case InputKey::RefOption:
        return lastOption(o.refOptions);
    case InputKey::Variable:
        return o.displayVariable;
    case InputKey::LungPart:
        return o.lungPart;
    }
    return 0;
}

// The options a line may hold: those that describe the examination of one point.
constexpr const char* kPointFlags[] = {"--set",        "--option",   "--ref-set",
                                       "--ref-option", "--variable", "--lung-part"};

bool isPointFlag(const std::string& flag) {
    return std::find_if(std::begin(kPointFlags), std::end(kPointFlags),
                        [&](const char* f) { return flag == f; }) != std::end(kPointFlags);
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

SimOptions withoutSweep(SimOptions o) {
    o.sweepAxes.clear();
    o.sweepFile.clear();
    o.sweepOut.clear();
    o.jobs = 0;
    return o;
}

ParseResult makeGrid(const SimOptions& base, SweepPlan& plan) {
    const std::vector<SweepAxis>& axes = base.sweepAxes;
    std::size_t count = 1;
    for (const SweepAxis& a : axes)
        count *= static_cast<std::size_t>(a.steps);
    if (count > kMaxSweepPoints)
        return fail("the sweep has " + std::to_string(count) + " points, more than " +
                    std::to_string(kMaxSweepPoints));
    const SimOptions common = withoutSweep(base);
    std::vector<std::vector<double>> values;
    for (const SweepAxis& a : axes) {
        plan.inputColumns.push_back(cellColumn(a.lungPart, a.column));
        values.push_back(axisValues(a));
    }
    // Row-major: the last axis varies fastest. The axes' cells go after the command line's
    // own --set, so they win over a setting of the same cell.
    for (std::size_t n = 0; n < count; ++n) {
        SweepPoint point;
        point.options = common;
        std::size_t rest = n;
        point.inputs.resize(axes.size());
        for (std::size_t k = axes.size(); k-- > 0;) {
            point.inputs[k] = values[k][rest % values[k].size()];
            rest /= values[k].size();
        }
        for (std::size_t k = 0; k < axes.size(); ++k)
            point.options.cells.push_back({axes[k].lungPart, axes[k].column, point.inputs[k]});
        plan.points.push_back(std::move(point));
    }
    return {true, {}};
}

ParseResult readSweepFile(const SimOptions& base, SweepPlan& plan) {
    const std::string& path = base.sweepFile;
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail("sweep file \"" + path + "\" cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return fail("sweep file \"" + path + "\" cannot be read");
    return parseSweepLines(text.str(), path, base, plan);
}

char* appendNumber(char* at, const char* end, double value) {
    return at + std::snprintf(at, static_cast<std::size_t>(end - at), ",%.9g", value);
}

std::string clock(double seconds) {
    const long s = std::lround(std::max(0.0, seconds));
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

} // namespace

std::vector<double> axisValues(const SweepAxis& a) {
    std::vector<double> values(static_cast<std::size_t>(a.steps));
    const int last = a.steps - 1;
    for (int i = 0; i <= last; ++i) {
        const double f = static_cast<double>(i) / last;
        const double v =
            a.logarithmic ? a.from * std::pow(a.to / a.from, f) : a.from + (a.to - a.from) * f;
        values[static_cast<std::size_t>(i)] = asStored(i == 0 ? a.from : i == last ? a.to : v);
    }
    return values;
}

ParseResult parseSweepLines(const std::string& text, const std::string& name,
                            const SimOptions& base, SweepPlan& plan) {
    plan = {};
    plan.fromFile = true;
    const SimOptions common = withoutSweep(base);
    std::vector<InputKey> keys;
    const auto addKey = [&](InputKey key) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    };
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::vector<std::string> args = words(line);
        if (args.empty() || args[0][0] == '#') continue;
        const std::string where = "sweep file \"" + name + "\" line " + std::to_string(number);
        for (std::size_t i = 0; i < args.size(); i += 2)
            if (args[i].rfind("--", 0) == 0 && !isPointFlag(args[i])) {
                plan = {};
                return fail(where + ": " + args[i] +
                            " is not an option of a point (--set, --option, --ref-set, "
                            "--ref-option, --variable, --lung-part)");
            }
        SweepPoint point;
        point.line = number;
        point.options = common;
        SimOptions own; // what the line itself sets, for the input columns
        ParseResult parsed = parseSimOptions(args, own);
        if (parsed.ok) parsed = parseSimOptions(args, point.options);
        if (!parsed.ok) {
            plan = {};
            return fail(where + ": " + parsed.error);
        }
        for (const CellSetting& c : own.cells)
            addKey({InputKey::Cell, c.lungPart, c.column});
        for (const OptionSetting& o : own.options)
            addKey({InputKey::Option, o.option, 0});
        for (const CellSetting& c : own.refCells)
            addKey({InputKey::RefCell, c.lungPart, c.column});
        for (const OptionSetting& o : own.refOptions)
            addKey({InputKey::RefOption, o.option, 0});
        for (const std::string& a : args) {
            if (a == "--variable") addKey({InputKey::Variable});
            if (a == "--lung-part") addKey({InputKey::LungPart});
        }
        plan.points.push_back(std::move(point));
        if (plan.points.size() > kMaxSweepPoints) {
            plan = {};
            return fail("sweep file \"" + name + "\" has more than " +
                        std::to_string(kMaxSweepPoints) + " points");
        }
    }
    if (plan.points.empty()) return fail("sweep file \"" + name + "\" has no points");
    // Every point reports every input any line sets, so the rows can be compared.
    for (const InputKey& key : keys)
        plan.inputColumns.push_back(columnName(key));
    for (SweepPoint& point : plan.points)
        for (const InputKey& key : keys)
            point.inputs.push_back(effectiveValue(point.options, key));
    return {true, {}};
}

ParseResult planSweep(const SimOptions& options, SweepPlan& plan) {
    plan = {};
    const ParseResult r =
        options.sweepFile.empty() ? makeGrid(options, plan) : readSweepFile(options, plan);
    if (!r.ok) plan = {};
    return r;
}

PointResult runSweepPoint(const SimOptions& options) {
    auto session = std::make_unique<Session>();
    prepareSession(options, *session);
    const RunSummary summary = PerformRun(*session);
    const SimulationRecord& record = session->history->slot(1);
    PointResult result;
    result.status = summary.status;
    for (const SweepIndex& index : kSweepIndices)
        result.indices.push_back(record.*index.field);
    result.flowVolumeSamples = summary.flowVolumeSamples;
    result.volumeTimeSamples = summary.volumeTimeSamples;
    return result;
}

std::string sweepCsvHeader(const SweepPlan& plan) {
    std::string header = plan.fromFile ? "point,line" : "point";
    for (const std::string& column : plan.inputColumns)
        header += "," + column;
    header += ",status";
    for (const SweepIndex& index : kSweepIndices)
        header += std::string(",") + index.column;
    return header + ",flow_volume_samples,volume_time_samples\n";
}

std::string sweepCsvRow(const SweepPlan& plan, std::size_t index, const PointResult& result) {
    const SweepPoint& point = plan.points[index];
    std::string row = std::to_string(index + 1);
    if (plan.fromFile) row += "," + std::to_string(point.line);
    char text[32];
    for (double v : point.inputs) {
        appendNumber(text, text + sizeof text, v);
        row += text;
    }
    row += "," + std::to_string(result.status);
    for (float v : result.indices) {
        if (result.status == 1)
            appendNumber(text, text + sizeof text, v);
        else
            std::snprintf(text, sizeof text, ",");
        row += text;
    }
    row += "," + std::to_string(result.flowVolumeSamples) + "," +
           std::to_string(result.volumeTimeSamples) + "\n";
    return row;
}

std::string progressBar(const SweepProgress& p) {
    constexpr int kWidth = 24;
    const std::size_t total = std::max<std::size_t>(p.total, 1);
    const int filled = static_cast<int>(p.done * kWidth / total);
    std::string bar = "[" + std::string(filled, '#') + std::string(kWidth - filled, '-') + "]";
    char text[96];
    if (p.done == 0 || p.seconds <= 0) {
        std::snprintf(text, sizeof text, "  %zu/%zu points", p.done, p.total);
        return bar + text;
    }
    const double rate = p.done / p.seconds;
    std::snprintf(text, sizeof text, "  %zu/%zu points  %.1f/s  %s left", p.done, p.total, rate,
                  clock((p.total - p.done) / rate).c_str());
    return bar + text;
}

std::string progressLine(const SweepProgress& p) {
    char text[96];
    std::snprintf(text, sizeof text, "%zu/%zu points (%zu %%) in %.1f s", p.done, p.total,
                  p.total ? p.done * 100 / p.total : 100, p.seconds);
    return text;
}

bool passesTenth(std::size_t before, const SweepProgress& p) {
    return p.total > 0 && before * 10 / p.total < p.done * 10 / p.total;
}

SweepOutcome RunSweep(const SweepPlan& plan, int jobs, std::FILE* out,
                      const std::atomic<bool>& stop,
                      const std::function<void(const SweepProgress&)>& progress,
                      const PointRunner& run) {
    const auto started = std::chrono::steady_clock::now();
    const std::size_t total = plan.points.size();
    const PointRunner runner =
        run ? run : [](std::size_t, const SimOptions& o) { return runSweepPoint(o); };
    const auto write = [out](const std::string& text) {
        return std::fputs(text.c_str(), out) >= 0 && std::fflush(out) == 0;
    };
    SweepOutcome outcome;
    if (!write(sweepCsvHeader(plan))) {
        outcome.writeFailed = true;
        return outcome;
    }

    std::mutex mutex;
    std::condition_variable finished;
    std::vector<std::optional<PointResult>> results(total); // guarded by mutex
    std::atomic<std::size_t> next{0};
    std::atomic<bool> abandon{false}; // the output failed: no point is worth running
    const int workers = static_cast<int>(std::clamp<std::size_t>(
        static_cast<std::size_t>(std::max(jobs, 1)), 1, std::max<std::size_t>(total, 1)));
    int running = workers; // guarded by mutex

    // Points are taken in input order, so when the workers stop, every point before the first
    // one not taken has been taken, and finishes: the rows written stay a prefix.
    const auto work = [&] {
        while (!stop.load() && !abandon.load()) {
            const std::size_t i = next++;
            if (i >= total) break;
            PointResult r = runner(i, plan.points[i].options);
            std::lock_guard lock(mutex);
            results[i] = std::move(r);
            finished.notify_one();
        }
        std::lock_guard lock(mutex);
        --running;
        finished.notify_one();
    };
    std::vector<std::thread> pool;
    for (int w = 0; w < workers; ++w)
        pool.emplace_back(work);

    std::unique_lock lock(mutex);
    const auto ready = [&] { return outcome.written < total && results[outcome.written]; };
    for (;;) {
        finished.wait(lock, [&] { return running == 0 || ready(); });
        if (!ready()) break; // every worker has stopped and nothing is left to write
        const PointResult r = std::move(*results[outcome.written]);
        results[outcome.written].reset();
        lock.unlock();
        const bool ok = !outcome.writeFailed && write(sweepCsvRow(plan, outcome.written, r));
        if (ok) {
            ++outcome.written;
            if (progress) {
                const std::chrono::duration<double> elapsed =
                    std::chrono::steady_clock::now() - started;
                progress({outcome.written, total, elapsed.count()});
            }
        } else {
            outcome.writeFailed = true;
            abandon = true;
        }
        lock.lock();
        if (outcome.writeFailed) {
            finished.wait(lock, [&] { return running == 0; });
            break;
        }
    }
    lock.unlock();
    for (std::thread& t : pool)
        t.join();
    return outcome;
}

} // namespace pulmora
