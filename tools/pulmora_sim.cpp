// pulmora-sim: the examination without a window. It starts as the program starts (every cell
// and option at 100 %, the patient settled), performs the examination(s) and prints the
// results; or sweeps a grid or a list of points and writes their results as CSV.

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "core/session.h"
#include "files/simulation_file.h"
#include "tools/sim_options.h"
#include "tools/sweep.h"

using namespace pulmora;

namespace {

const char* statusText(int status) {
    switch (status) {
    case 1: return "completed";
    case 0: return "dead";
    default: return "error";
    }
}

// Whether a file can be created or replaced at `path`, checked before the run so that a bad
// output path costs nothing and leaves nothing behind.
bool writable(const std::string& path) {
    if (access(path.c_str(), F_OK) == 0) return access(path.c_str(), W_OK) == 0;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

void printJson(int run, const RunSummary& s, const SimulationRecord& r, double seconds) {
    std::printf("{\"run\":%d,\"status\":%d,\"fev1\":%.9g,\"fvc\":%.9g,\"fev1PercentFvc\":%.9g,"
                "\"pef\":%.9g,\"mef75\":%.9g,\"mef50\":%.9g,\"mef25\":%.9g,\"erv\":%.9g,"
                "\"fet\":%.9g,\"frc\":%.9g,\"tlc\":%.9g,\"flowVolumeSamples\":%d,"
                "\"volumeTimeSamples\":%d,\"seconds\":%.6f}\n",
                run, s.status, r.fev1, r.fvc, r.fev1PercentFvc, r.pef, r.mef75, r.mef50, r.mef25,
                r.erv, r.fet, r.frc, r.tlc, s.flowVolumeSamples, s.volumeTimeSamples, seconds);
}

void printTable(int run, const RunSummary& s, const SimulationRecord& r, double seconds) {
    std::printf("Run %d: %s (status %d), %d flow-volume and %d volume-time samples, "
                "ended at t = %.3f s, %.3f s of computing, %llu solver evaluations\n",
                run, statusText(s.status), s.status, s.flowVolumeSamples, s.volumeTimeSamples,
                s.endTime, seconds, static_cast<unsigned long long>(s.evaluations));
    if (s.status != 1) return;
    const struct {
        const char* name;
        float value;
        const char* unit;
    } rows[] = {
        {"FEV1", r.fev1, "l"},         {"FVCEX", r.fvc, "l"},   {"FEV1%FVC", r.fev1PercentFvc, "%"},
        {"PEF", r.pef, "l/s"},         {"MEF75", r.mef75, "l/s"}, {"MEF50", r.mef50, "l/s"},
        {"MEF25", r.mef25, "l/s"},     {"ERV", r.erv, "l"},     {"FET", r.fet, "s"},
        {"FRC", r.frc, "l"},           {"TLC", r.tlc, "l"},
    };
    for (const auto& row : rows) std::printf("  %-9s %9.3f %s\n", row.name, row.value, row.unit);
}

bool writeCsv(const std::string& path, const SimulationRecord& r, const RunSummary& s,
              std::string& error) {
    const std::string temporary = path + ".part";
    std::FILE* f = std::fopen(temporary.c_str(), "w");
    if (!f) {
        error = "\"" + path + "\" cannot be written";
        return false;
    }
    std::fprintf(f, "sample,loop_volume_l,loop_flow,vt_time_s,vt_volume_l\n");
    const int loop = s.status == 1 ? s.flowVolumeSamples : 0;
    const int rows = std::max(loop, s.volumeTimeSamples);
    for (int n = 1; n <= rows; ++n) {
        std::fprintf(f, "%d,", n);
        if (n <= loop)
            std::fprintf(f, "%.9g,%.9g,", r.volumeCurve[n - 1], r.flowCurve[n - 1]);
        else
            std::fprintf(f, ",,");
        if (n <= s.volumeTimeSamples)
            std::fprintf(f, "%.9g,%.9g\n", r.vtTime[n - 1], r.vtVolume[n - 1]);
        else
            std::fprintf(f, ",\n");
    }
    const bool ok = std::ferror(f) == 0;
    if (std::fclose(f) != 0 || !ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "\"" + path + "\" could not be written completely";
        return false;
    }
    return true;
}

// Ctrl-C during a sweep. The first asks the workers to take no new point; the points in
// progress finish (at most about 2.5 s) and are written, so the CSV stays valid. The second
// ends the program at once; rows are written whole, so even then no row is cut.
std::atomic<bool> stopRequested{false};

extern "C" void onInterrupt(int) {
    if (stopRequested.exchange(true)) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
        return;
    }
    static const char notice[] =
        "\npulmora-sim: stopping after the points in progress (Ctrl-C again ends at once)\n";
    const ssize_t ignored = write(STDERR_FILENO, notice, sizeof notice - 1);
    (void)ignored;
}

int runSweepCommand(const SimOptions& options) {
    SweepPlan plan;
    const ParseResult planned = planSweep(options, plan);
    if (!planned.ok) {
        std::fprintf(stderr, "pulmora-sim: %s\n", planned.error.c_str());
        return 2;
    }
    // The CSV goes into FILE.part and replaces FILE only when the sweep ends (completed or
    // stopped by Ctrl-C), so FILE is never half written; FILE.part shows the rows meanwhile.
    const std::string& path = options.sweepOut;
    const std::string temporary = path + ".part";
    if (!path.empty() && (!writable(path) || !writable(temporary))) {
        std::fprintf(stderr, "pulmora-sim: \"%s\" cannot be written\n", path.c_str());
        return 2;
    }
    std::FILE* out = path.empty() ? stdout : std::fopen(temporary.c_str(), "w");
    if (!out) {
        std::fprintf(stderr, "pulmora-sim: \"%s\" cannot be written\n", path.c_str());
        return 2;
    }
    const int jobs = options.jobs > 0
                         ? options.jobs
                         : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // A bar redrawn in place, unless the rows themselves go to the same screen.
    const bool bar = isatty(STDERR_FILENO) && !(path.empty() && isatty(STDOUT_FILENO));
    const std::size_t total = plan.points.size();
    if (bar) std::fprintf(stderr, "%s", progressBar({0, total, 0}).c_str());
    std::size_t before = 0;
    const auto report = [&](const SweepProgress& p) {
        if (bar)
            std::fprintf(stderr, "\r%s\x1b[K", progressBar(p).c_str());
        else if (passesTenth(before, p))
            std::fprintf(stderr, "pulmora-sim: %s\n", progressLine(p).c_str());
        before = p.done;
    };

    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    struct sigaction previous = {};
    sigaction(SIGINT, &action, &previous);
    const SweepOutcome outcome = RunSweep(plan, jobs, out, stopRequested, report);
    sigaction(SIGINT, &previous, nullptr);
    if (bar) std::fputc('\n', stderr);

    bool written = !outcome.writeFailed;
    if (!path.empty()) {
        written =
            std::fclose(out) == 0 && written && std::rename(temporary.c_str(), path.c_str()) == 0;
        if (!written) std::remove(temporary.c_str());
    }
    if (!written) {
        std::fprintf(stderr, "pulmora-sim: \"%s\" could not be written completely\n",
                     path.empty() ? "standard output" : path.c_str());
        return 2;
    }
    if (outcome.written < total) {
        std::fprintf(stderr,
                     "pulmora-sim: interrupted; the CSV holds the %zu of %zu points "
                     "that finished\n",
                     outcome.written, total);
        return 130;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    const ParseResult parsed =
        parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options);
    if (!parsed.ok) {
        std::fprintf(stderr, "pulmora-sim: %s\n", parsed.error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(kSimUsage, stdout);
        return 0;
    }
    if (options.sweep()) return runSweepCommand(options);
    for (const std::string* path : {&options.savePath, &options.csvPath}) {
        if (!path->empty() && !writable(*path)) {
            std::fprintf(stderr, "pulmora-sim: \"%s\" cannot be written\n", path->c_str());
            return 2;
        }
    }

    Session session;
    RunHistory& history = *session.history;
    prepareSession(options, session);

    RunSummary last;
    for (int run = 1; run <= options.runs; ++run) {
        const auto started = std::chrono::steady_clock::now();
        last = PerformRun(session);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (options.json)
            printJson(run, last, history.slot(1), seconds);
        else
            printTable(run, last, history.slot(1), seconds);
        std::fflush(stdout);
    }

    if (!options.savePath.empty()) {
        const FileResult saved = writeSimulationFile(options.savePath, history);
        if (!saved.ok) {
            std::fprintf(stderr, "pulmora-sim: %s\n", saved.error.c_str());
            return 2;
        }
    }
    if (!options.csvPath.empty()) {
        std::string error;
        if (!writeCsv(options.csvPath, history.slot(1), last, error)) {
            std::fprintf(stderr, "pulmora-sim: %s\n", error.c_str());
            return 2;
        }
    }
    return 0;
}
