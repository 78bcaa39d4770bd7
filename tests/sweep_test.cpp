// Sweeps of the headless tool: parsing of axes and sweep files, the grid, the ordered CSV, the
// worker pool and its stop.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/session.h"
#include "tools/sweep.h"

using namespace pulmora;

namespace {

std::vector<std::string> splitWords(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string::npos) return fields;
        start = comma + 1;
    }
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

SimOptions parsed(const std::string& commandLine) {
    SimOptions o;
    const ParseResult r = parseSimOptions(splitWords(commandLine), o);
    EXPECT_TRUE(r.ok) << r.error;
    return o;
}

// Runs the sweep into a temporary file and returns what it holds.
struct Captured {
    std::string csv;
    SweepOutcome outcome;
};

Captured sweepToText(const SweepPlan& plan, int jobs, const std::atomic<bool>& stop,
                     const PointRunner& run = {},
                     const std::function<void(const SweepProgress&)>& progress = {}) {
    std::FILE* f = std::tmpfile();
    EXPECT_NE(f, nullptr);
    Captured c;
    c.outcome = RunSweep(plan, jobs, f, stop, progress, run);
    std::rewind(f);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        c.csv.append(buffer, n);
    std::fclose(f);
    return c;
}

// A stand-in for the examination whose results name the point, for the pool's tests.
PointResult fakeResult(std::size_t index) {
    PointResult r;
    r.status = 1;
    r.indices.assign(kSweepIndices.size(), static_cast<float>(index));
    r.flowVolumeSamples = static_cast<int>(index);
    return r;
}

SweepPlan gridOf(const std::string& commandLine) {
    SweepPlan plan;
    const ParseResult r = planSweep(parsed(commandLine), plan);
    EXPECT_TRUE(r.ok) << r.error;
    return plan;
}

// --- Bad command lines -----------------------------------------------------------------------

struct BadLine {
    const char* name;
    const char* args;
    const char* message;
};

class SweepCommandLineError : public testing::TestWithParam<BadLine> {};

TEST_P(SweepCommandLineError, IsRefusedInOneLine) {
    SimOptions o;
    const ParseResult r = parseSimOptions(splitWords(GetParam().args), o);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, GetParam().message);
    EXPECT_EQ(r.error.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SweepCommandLineError,
    testing::Values(
        BadLine{"part_out_of_range", "--sweep 6,4,100:400:3",
                "--sweep: lung part \"6\" is not one of -2 ... 5"},
        BadLine{"part_not_a_number", "--sweep x,4,100:400:3",
                "--sweep: lung part \"x\" is not one of -2 ... 5"},
        BadLine{"column_out_of_range", "--sweep 0,8,100:400:3",
                "--sweep: column \"8\" is not one of 0 ... 7"},
        BadLine{"no_range", "--sweep 0,4",
                "--sweep expects PART,COL,FROM:TO:STEPS[:log], not \"0,4\""},
        BadLine{"range_without_steps", "--sweep 0,4,100:400",
                "--sweep: \"100:400\" is not FROM:TO:STEPS or FROM:TO:STEPS:log"},
        BadLine{"range_too_long", "--sweep 0,4,100:400:3:log:x",
                "--sweep: \"100:400:3:log:x\" is not FROM:TO:STEPS or FROM:TO:STEPS:log"},
        BadLine{"from_not_a_number", "--sweep 0,4,lots:400:3",
                "--sweep: FROM \"lots\" is not a number"},
        BadLine{"to_empty", "--sweep 0,4,100::3", "--sweep: TO \"\" is not a number"},
        BadLine{"steps_fraction", "--sweep 0,4,100:400:2.5",
                "--sweep: STEPS \"2.5\" is not a number of points from 2 to 1000"},
        BadLine{"steps_one", "--sweep 0,4,100:400:1",
                "--sweep: STEPS \"1\" is not a number of points from 2 to 1000"},
        BadLine{"steps_too_many", "--sweep 0,4,100:400:1001",
                "--sweep: STEPS \"1001\" is not a number of points from 2 to 1000"},
        BadLine{"log_from_zero", "--sweep 0,4,0:400:3:log",
                "--sweep: a logarithmic axis needs FROM and TO above 0"},
        BadLine{"log_to_negative", "--sweep 0,4,100:-5:3:log",
                "--sweep: a logarithmic axis needs FROM and TO above 0"},
        BadLine{"unknown_suffix", "--sweep 0,4,100:400:3:lin",
                "--sweep: unknown spacing \"lin\" (only \"log\")"},
        BadLine{"three_axes", "--sweep 0,4,100:400:2 --sweep 0,2,100:400:2 --sweep 0,5,50:250:2",
                "a sweep has at most two axes, not 3"},
        BadLine{"same_cell_twice", "--sweep 0,4,100:400:2 --sweep 0,4,50:80:2",
                "both --sweep axes sweep the same cell"},
        BadLine{"grid_and_file", "--sweep 0,4,100:400:2 --sweep-file points.txt",
                "--sweep and --sweep-file cannot be combined"},
        BadLine{"runs", "--sweep 0,4,100:400:2 --runs 2",
                "--runs cannot be combined with a sweep: a point is one run"},
        BadLine{"save", "--sweep-file points.txt --save h.spi",
                "--save cannot be combined with a sweep"},
        BadLine{"csv", "--sweep 0,4,100:400:2 --csv c.csv",
                "--csv cannot be combined with a sweep"},
        BadLine{"json", "--sweep 0,4,100:400:2 --json",
                "--json cannot be combined with a sweep, which writes CSV"},
        BadLine{"jobs_without_sweep", "--jobs 2", "--jobs needs --sweep or --sweep-file"},
        BadLine{"jobs_zero", "--sweep 0,4,100:400:2 --jobs 0",
                "--jobs: \"0\" is not a number of workers from 1 to 256"},
        BadLine{"out_without_sweep", "--sweep-out s.csv",
                "--sweep-out needs --sweep or --sweep-file"}),
    [](const testing::TestParamInfo<BadLine>& info) { return std::string(info.param.name); });

// --- Bad sweep files and plans ---------------------------------------------------------------

struct BadFile {
    const char* name;
    const char* text;
    const char* message;
};

class SweepFileError : public testing::TestWithParam<BadFile> {};

TEST_P(SweepFileError, NamesTheLine) {
    SweepPlan plan;
    const ParseResult r = parseSweepLines(GetParam().text, "p.txt", SimOptions{}, plan);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, GetParam().message);
    EXPECT_EQ(r.error.find('\n'), std::string::npos);
    EXPECT_TRUE(plan.points.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, SweepFileError,
    testing::Values(
        BadFile{"bad_cell", "--set 0,4,200\n\n--set 0,9,100\n",
                "sweep file \"p.txt\" line 3: --set: column \"9\" is not one of 0 ... 7"},
        BadFile{"unknown_option", "# R and R(per)\n--set 0,0,200 --frobnicate 1\n",
                "sweep file \"p.txt\" line 2: --frobnicate is not an option of a point (--set, "
                "--option, --ref-set, --ref-option, --variable, --lung-part)"},
        BadFile{"save_on_a_line", "--save h.spi\n",
                "sweep file \"p.txt\" line 1: --save is not an option of a point (--set, "
                "--option, --ref-set, --ref-option, --variable, --lung-part)"},
        BadFile{"missing_value", "--set 0,4,200\r\n--option\r\n",
                "sweep file \"p.txt\" line 2: --option needs a value"},
        BadFile{"stray_word", "--variable 2 3\n",
                "sweep file \"p.txt\" line 1: unknown option \"3\""},
        BadFile{"no_points", "# nothing\n\n   \n", "sweep file \"p.txt\" has no points"}),
    [](const testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

TEST(SweepPlan, UnreadableFileIsRefused) {
    SweepPlan plan;
    const ParseResult r = planSweep(parsed("--sweep-file /nonexistent/points.txt"), plan);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "sweep file \"/nonexistent/points.txt\" cannot be read");
}

TEST(SweepPlan, GridOfMoreThanTheMaximumIsRefused) {
    SweepPlan plan;
    const ParseResult r =
        planSweep(parsed("--sweep 0,4,100:400:1000 --sweep 0,2,100:400:101"), plan);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "the sweep has 101000 points, more than 100000");
    EXPECT_TRUE(plan.points.empty());
}

// --- The grid --------------------------------------------------------------------------------

TEST(SweepGrid, TwoAxesInInputOrderAfterTheCommandLine) {
    const SweepPlan plan =
        gridOf("--set 0,4,300 --set 1,7,80 --sweep 0,4,100:200:2 --sweep -2,2,1:100:3:log");
    ASSERT_EQ(plan.points.size(), 6u);
    EXPECT_EQ(plan.inputColumns, (std::vector<std::string>{"part0_col4_pct", "part-2_col2_pct"}));
    const double expected[6][2] = {{100, 1}, {100, 10}, {100, 100},
                                   {200, 1}, {200, 10}, {200, 100}};
    for (std::size_t n = 0; n < 6; ++n) {
        const SweepPoint& p = plan.points[n];
        EXPECT_EQ(p.inputs, (std::vector<double>{expected[n][0], expected[n][1]})) << n;
        // The command line's cells first, the axes' last, so that an axis wins.
        ASSERT_EQ(p.options.cells.size(), 4u);
        EXPECT_EQ(p.options.cells[1].lungPart, 1);
        EXPECT_EQ(p.options.cells[2].column, 4);
        EXPECT_EQ(p.options.cells[2].value, expected[n][0]);
        EXPECT_EQ(p.options.cells[3].lungPart, -2);
        EXPECT_EQ(p.options.cells[3].value, expected[n][1]);
        EXPECT_FALSE(p.options.sweep()) << "a point is a single run";
    }
}

struct Spacing {
    const char* name;
    SweepAxis axis;
    std::vector<double> values;
};

class SweepAxisValues : public testing::TestWithParam<Spacing> {};

TEST_P(SweepAxisValues, BothEndsExactInSinglePrecision) {
    EXPECT_EQ(axisValues(GetParam().axis), GetParam().values);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SweepAxisValues,
    testing::Values(Spacing{"linear", {0, 4, 100, 400, 4, false}, {100, 200, 300, 400}},
                    Spacing{"linear_downwards", {0, 4, 400, 100, 4, false}, {400, 300, 200, 100}},
                    Spacing{"logarithmic", {0, 4, 25, 400, 5, true}, {25, 50, 100, 200, 400}},
                    Spacing{"thirds_rounded_to_float",
                            {0, 4, 0, 1, 4, false},
                            {0, static_cast<float>(1.0 / 3), static_cast<float>(2.0 / 3), 1}}),
    [](const testing::TestParamInfo<Spacing>& info) { return std::string(info.param.name); });

TEST(SweepFile, LinesAddToTheCommandLineAndEveryInputIsAColumn) {
    SweepPlan plan;
    const ParseResult r = parseSweepLines("# deeper and shallower expirations\n"
                                          "--set 0,2,200\n"
                                          "\n"
                                          "--option 1,50   --variable 2 --set 0,2,150.5\n",
                                          "p.txt", parsed("--set 0,4,400 --option 1,200"), plan);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(plan.inputColumns,
              (std::vector<std::string>{"part0_col2_pct", "option1_pct", "variable"}));
    ASSERT_EQ(plan.points.size(), 2u);
    EXPECT_EQ(plan.points[0].line, 2);
    EXPECT_EQ(plan.points[0].inputs, (std::vector<double>{200, 200, 1}));
    EXPECT_EQ(plan.points[1].line, 4);
    EXPECT_EQ(plan.points[1].inputs, (std::vector<double>{150.5, 50, 2}));
    const SimOptions& second = plan.points[1].options;
    ASSERT_EQ(second.cells.size(), 2u);
    EXPECT_EQ(second.cells[0].column, 4) << "the command line's own --set is kept";
    EXPECT_EQ(second.displayVariable, 2);
    const std::string header = sweepCsvHeader(plan);
    EXPECT_TRUE(header.starts_with("point,line,part0_col2_pct,option1_pct,variable,status,"))
        << header;
}

// --- Progress --------------------------------------------------------------------------------

struct ProgressCase {
    const char* name;
    SweepProgress progress;
    const char* bar;
    const char* line;
};

class SweepProgressText : public testing::TestWithParam<ProgressCase> {};

TEST_P(SweepProgressText, BarAndLine) {
    EXPECT_EQ(progressBar(GetParam().progress), GetParam().bar);
    EXPECT_EQ(progressLine(GetParam().progress), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SweepProgressText,
    testing::Values(ProgressCase{"start",
                                 {0, 64, 0},
                                 "[------------------------]  0/64 points",
                                 "0/64 points (0 %) in 0.0 s"},
                    ProgressCase{"quarter",
                                 {16, 64, 4},
                                 "[######------------------]  16/64 points  4.0/s  0:12 left",
                                 "16/64 points (25 %) in 4.0 s"},
                    ProgressCase{"long",
                                 {1, 30000, 0.5},
                                 "[------------------------]  1/30000 points  2.0/s  4:10:00 left",
                                 "1/30000 points (0 %) in 0.5 s"},
                    ProgressCase{"done",
                                 {64, 64, 16.04},
                                 "[########################]  64/64 points  4.0/s  0:00 left",
                                 "64/64 points (100 %) in 16.0 s"}),
    [](const testing::TestParamInfo<ProgressCase>& info) { return std::string(info.param.name); });

TEST(SweepProgressReport, OneLinePerTenth) {
    std::vector<std::size_t> reported;
    std::size_t before = 0;
    for (std::size_t done = 1; done <= 64; ++done) {
        if (passesTenth(before, {done, 64, 1})) reported.push_back(done);
        before = done;
    }
    EXPECT_EQ(reported, (std::vector<std::size_t>{7, 13, 20, 26, 32, 39, 45, 52, 58, 64}));
}

// --- The pool --------------------------------------------------------------------------------

TEST(SweepPool, RowsInInputOrderWhateverOrderThePointsFinish) {
    const SweepPlan plan = gridOf("--sweep 0,4,100:600:6");
    std::vector<std::size_t> written;
    const std::atomic<bool> stop{false};
    // The first point is the slowest, so the others finish before it.
    const Captured c = sweepToText(
        plan, 2, stop,
        [](std::size_t i, const SimOptions&) {
            if (i == 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return fakeResult(i);
        },
        [&](const SweepProgress& p) { written.push_back(p.done); });
    EXPECT_EQ(c.outcome.written, 6u);
    EXPECT_EQ(written, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6}));
    const auto rows = lines(c.csv);
    ASSERT_EQ(rows.size(), 7u);
    for (std::size_t n = 1; n <= 6; ++n) {
        const auto fields = splitFields(rows[n]);
        EXPECT_EQ(fields[0], std::to_string(n));
        EXPECT_EQ(fields[1], std::to_string(100 * n)) << "the input of point " << n;
        EXPECT_EQ(fields[3], std::to_string(n - 1)) << "the result of point " << n;
    }
}

TEST(SweepPool, StopKeepsAValidCsvOfTheFinishedPointsInOrder) {
    const SweepPlan plan = gridOf("--sweep 0,4,100:500:5");
    for (int jobs : {1, 2}) {
        std::atomic<bool> stop{false};
        // Ctrl-C arrives while the second point is being run; with two workers the first
        // point is still in progress then, and finishes.
        const Captured c = sweepToText(plan, jobs, stop, [&](std::size_t i, const SimOptions&) {
            if (i == 1) stop = true;
            if (i == 0 && jobs == 2)
                for (int wait = 0; !stop && wait < 500; ++wait)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return fakeResult(i);
        });
        const Captured all =
            sweepToText(plan, jobs, std::atomic<bool>{false},
                        [](std::size_t i, const SimOptions&) { return fakeResult(i); });
        EXPECT_EQ(c.outcome.written, 2u) << jobs;
        EXPECT_FALSE(c.outcome.writeFailed);
        const auto rows = lines(c.csv);
        EXPECT_EQ(rows.size(), c.outcome.written + 1) << jobs;
        EXPECT_EQ(c.csv.back(), '\n');
        EXPECT_EQ(all.csv.substr(0, c.csv.size()), c.csv) << "a prefix of the whole sweep";
    }
}

TEST(SweepPool, FailedOutputStopsTheSweep) {
    std::FILE* full = std::fopen("/dev/full", "w");
    if (!full) GTEST_SKIP() << "no /dev/full";
    const SweepPlan plan = gridOf("--sweep 0,4,100:500:5");
    std::atomic<int> runs{0};
    const std::atomic<bool> stop{false};
    const SweepOutcome outcome =
        RunSweep(plan, 2, full, stop, {}, [&](std::size_t i, const SimOptions&) {
            ++runs;
            return fakeResult(i);
        });
    std::fclose(full);
    EXPECT_TRUE(outcome.writeFailed);
    EXPECT_EQ(outcome.written, 0u);
    EXPECT_EQ(runs.load(), 0) << "nothing is run when not even the header can be written";
}

// --- Real examinations -----------------------------------------------------------------------

// A single run as the headless tool makes one, written out here so that the sweep is compared
// with the session calls themselves.
struct SingleRun {
    RunSummary summary;
    SimulationRecord record;
};

SingleRun singleRun(const std::vector<CellSetting>& cells) {
    auto s = std::make_unique<Session>();
    for (auto& record : s->history->records)
        for (float& o : record.options)
            o = 100.0f;
    StartSession(*s);
    for (const CellSetting& c : cells)
        s->parameters.cell(c.lungPart, c.column) = c.value;
    SingleRun r;
    r.summary = PerformRun(*s);
    r.record = s->history->slot(1);
    return r;
}

TEST(SweepExamination, SameCsvOnOneAndTwoWorkersAndSameNumbersAsSingleRuns) {
    // Cheap cells: R(mid) and R(per) at 100 and 200 %.
    const SweepPlan plan = gridOf("--sweep 0,2,100:200:2 --sweep 0,4,100:200:2");
    const std::atomic<bool> stop{false};
    const Captured one = sweepToText(plan, 1, stop);
    const Captured two = sweepToText(plan, 2, stop);
    EXPECT_EQ(one.outcome.written, 4u);
    EXPECT_EQ(one.csv, two.csv);

    const auto rows = lines(two.csv);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], "point,part0_col2_pct,part0_col4_pct,status,fev1_l,fvcex_l,fev1_fvc_pct,"
                       "pef_l_s,mef75_l_s,mef50_l_s,mef25_l_s,erv_l,fet_s,frc_l,tlc_l,"
                       "flow_volume_samples,volume_time_samples");
    for (std::size_t n = 0; n < 4; ++n) {
        const auto fields = splitFields(rows[n + 1]);
        ASSERT_EQ(fields.size(), 17u);
        const double mid = std::strtod(fields[1].c_str(), nullptr);
        const double per = std::strtod(fields[2].c_str(), nullptr);
        const SingleRun single = singleRun({{0, 2, mid}, {0, 4, per}});
        SCOPED_TRACE("R(mid) " + fields[1] + " %, R(per) " + fields[2] + " %");
        ASSERT_EQ(single.summary.status, 1);
        EXPECT_EQ(fields[3], "1");
        for (std::size_t k = 0; k < kSweepIndices.size(); ++k)
            EXPECT_EQ(std::strtof(fields[4 + k].c_str(), nullptr),
                      single.record.*kSweepIndices[k].field)
                << kSweepIndices[k].column;
        EXPECT_EQ(fields[15], std::to_string(single.summary.flowVolumeSamples));
        EXPECT_EQ(fields[16], std::to_string(single.summary.volumeTimeSamples));
    }
}

TEST(SweepExamination, RunThatDidNotCompleteHasNoIndices) {
    SweepPlan plan = gridOf("--sweep 0,4,100:200:2");
    PointResult dead;
    dead.status = 0;
    dead.indices.assign(kSweepIndices.size(), 1.5f);
    dead.volumeTimeSamples = 40;
    EXPECT_EQ(sweepCsvRow(plan, 1, dead), "2,200,0,,,,,,,,,,,,0,40\n");
}

} // namespace
