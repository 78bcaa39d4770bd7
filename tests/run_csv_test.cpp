#include "results/run_csv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "core/simulation_record.h"
#include "csv_reader.h"

using namespace pulmora;
using pulmora::testing_support::csvFloat;
using pulmora::testing_support::CsvRow;
using pulmora::testing_support::csvSections;
using pulmora::testing_support::CsvTable;
using pulmora::testing_support::readCsv;

namespace {

enum Section { kRecord, kParameters, kOptions, kIndices, kLoop, kCurve, kSectionCount };

// A run whose every value needs all the digits a float has, so a rounded export shows.
std::unique_ptr<SimulationRecord> awkwardRun(int loopSamples, int curveSamples) {
    auto r = std::make_unique<SimulationRecord>();
    for (int i = 0; i < loopSamples; ++i) {
        r->volumeCurve[i] = static_cast<float>(5.299 - 0.00543210987 * i);
        r->flowCurve[i] = static_cast<float>(8.581 * std::sin(0.0123 * i + 0.1));
    }
    for (int k = 1; k <= curveSamples; ++k) {
        r->vtTime[k - 1] = static_cast<float>(0.1 * k);
        r->vtVolume[k - 1] = static_cast<float>(2.984 + 0.5 * std::sin(0.37 * k));
    }
    for (int row = 0; row < kLungPartCount; ++row)
        for (int c = 0; c < kColumnCount; ++c)
            r->parameterMatrix[row][c] = static_cast<float>(100.0 / 3.0 + 17.1 * row + c);
    for (int k = 0; k < kOptionCount; ++k)
        r->options[k] = static_cast<float>(25.0 + 18.7777 * k);
    r->fev1 = 2.84026718f;
    r->fvc = 3.42211f;
    r->fev1PercentFvc = 82.99771f;
    r->pef = 8.5812345f;
    r->mef75 = 7.19f;
    r->mef50 = 3.5071f;
    r->mef25 = 1.33219f;
    r->erv = 1.1081f;
    r->fet = 2.669f;
    r->frc = 2.98433f;
    r->tlc = 5.29912f;
    r->runStatus = 1;
    r->displayVariableCode = 1;
    return r;
}

struct Export {
    CsvTable rows;
    std::vector<CsvTable> sections;
    bool wellFormed = false;
};

Export exportOf(const SimulationRecord& r, int slot) {
    Export e;
    e.rows = readCsv(runCsv(r, slot), &e.wellFormed);
    e.sections = csvSections(e.rows);
    return e;
}

// The field as a number; fails the test when a spreadsheet would not take it as one.
float numberIn(const CsvRow& row, std::size_t column) {
    bool ok = false;
    EXPECT_LT(column, row.size());
    if (column >= row.size()) return std::numeric_limits<float>::quiet_NaN();
    const float value = csvFloat(row[column], &ok);
    EXPECT_TRUE(ok) << '"' << row[column] << "\" is not a number";
    return value;
}

TEST(RunCsv, SectionsHaveHeadersNamingEachColumnAndItsUnit) {
    const auto run = awkwardRun(630, 212);
    const Export e = exportOf(*run, 1);
    ASSERT_TRUE(e.wellFormed);
    ASSERT_EQ(e.sections.size(), std::size_t{kSectionCount});
    const CsvRow headers[kSectionCount] = {
        {"record", "status", "status code", "display variable code", "display variable"},
        {"lung part", "column", "name", "unit", "value"},
        {"option", "name", "unit", "value"},
        {"index", "unit", "value"},
        {"lung volume (l)", "flow (l/s)"},
        {"time (s)", "lung volume (l)"}};
    for (int s = 0; s < kSectionCount; ++s) {
        ASSERT_FALSE(e.sections[s].empty()) << "section " << s;
        EXPECT_EQ(e.sections[s][0], headers[s]) << "section " << s;
        for (const CsvRow& row : e.sections[s])
            EXPECT_EQ(row.size(), headers[s].size()) << "section " << s << ": " << row[0];
    }
    EXPECT_EQ(e.sections[kRecord][1], (CsvRow{"run 1", "completed", "1", "1", "total airflow"}));
}

TEST(RunCsv, EveryNumberReadsBackAsTheRecordsFloat) {
    const auto r = awkwardRun(630, 212);
    const Export e = exportOf(*r, 2);
    ASSERT_EQ(e.sections.size(), std::size_t{kSectionCount});

    const CsvTable& matrix = e.sections[kParameters];
    ASSERT_EQ(matrix.size(), std::size_t{1 + kLungPartCount * kColumnCount});
    for (int row = 0; row < kLungPartCount; ++row)
        for (int c = 0; c < kColumnCount; ++c) {
            const CsvRow& line = matrix[1 + row * kColumnCount + c];
            EXPECT_EQ(line[1], std::to_string(c));
            EXPECT_EQ(numberIn(line, 4), r->parameterMatrix[row][c]) << line[0] << ' ' << c;
        }

    const CsvTable& options = e.sections[kOptions];
    ASSERT_EQ(options.size(), std::size_t{1 + kOptionCount});
    for (int k = 1; k <= kOptionCount; ++k) {
        EXPECT_EQ(options[k][0], std::to_string(k));
        EXPECT_EQ(numberIn(options[k], 3), r->options[k - 1]) << "option " << k;
    }

    const CsvTable& loop = e.sections[kLoop];
    ASSERT_EQ(loop.size(), std::size_t{1 + 630});
    for (int i = 0; i < 630; ++i) {
        EXPECT_EQ(numberIn(loop[1 + i], 0), r->volumeCurve[i]) << "loop sample " << i + 1;
        EXPECT_EQ(numberIn(loop[1 + i], 1), r->flowCurve[i]) << "loop sample " << i + 1;
    }

    const CsvTable& curve = e.sections[kCurve];
    ASSERT_EQ(curve.size(), std::size_t{1 + 212});
    for (int i = 0; i < 212; ++i) {
        EXPECT_EQ(numberIn(curve[1 + i], 0), r->vtTime[i]) << "curve sample " << i + 1;
        EXPECT_EQ(numberIn(curve[1 + i], 1), r->vtVolume[i]) << "curve sample " << i + 1;
    }
}

TEST(RunCsv, IndicesInTheOrderOfTheIndicesTableWithTheirUnits) {
    const auto r = awkwardRun(630, 212);
    const Export e = exportOf(*r, 1);
    ASSERT_EQ(e.sections.size(), std::size_t{kSectionCount});
    const struct {
        const char* name;
        const char* unit;
        float value;
    } expected[] = {{"FEV1", "l", r->fev1},
                    {"FVCEX", "l", r->fvc},
                    {"FEV1%FVC", "%", r->fev1PercentFvc},
                    {"PEF", "l/s", r->pef},
                    {"MEF75", "l/s", r->mef75},
                    {"MEF50", "l/s", r->mef50},
                    {"MEF25", "l/s", r->mef25},
                    {"ERV", "l", r->erv},
                    {"FET", "s", r->fet},
                    {"FRC", "l", r->frc},
                    {"TLC", "l", r->tlc}};
    const CsvTable& indices = e.sections[kIndices];
    ASSERT_EQ(indices.size(), 1 + std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(indices[1 + i][0], expected[i].name);
        EXPECT_EQ(indices[1 + i][1], expected[i].unit) << expected[i].name;
        EXPECT_EQ(numberIn(indices[1 + i], 2), expected[i].value) << expected[i].name;
    }
}

// The percentages are stored relative to different things in the reference and in a run.
TEST(RunCsv, UnitSaysWhatThePercentagesAreRelativeTo) {
    const auto r = awkwardRun(10, 10);
    const struct {
        int slot;
        const char* record;
        const char* unit;
    } cases[] = {{0, "reference", "% of the model's norm"},
                 {1, "run 1", "% of the reference"},
                 {3, "run 3", "% of the reference"}};
    for (const auto& c : cases) {
        const Export e = exportOf(*r, c.slot);
        ASSERT_EQ(e.sections.size(), std::size_t{kSectionCount});
        EXPECT_EQ(e.sections[kRecord][1][0], c.record);
        for (Section s : {kParameters, kOptions})
            for (std::size_t i = 1; i < e.sections[s].size(); ++i)
                EXPECT_EQ(e.sections[s][i][e.sections[s][i].size() - 2], c.unit)
                    << "slot " << c.slot << " section " << s << " row " << i;
    }
}

TEST(RunCsv, RowsNameTheLungPartsColumnsAndOptionsAsTheWindowDoes) {
    const auto r = awkwardRun(10, 10);
    const Export e = exportOf(*r, 1);
    ASSERT_EQ(e.sections.size(), std::size_t{kSectionCount});
    const CsvTable& matrix = e.sections[kParameters];
    // Storage order: LungPart -2 ... 5.
    const char* parts[] = {"Left lung",         "Right lung",      "Both lungs",
                           "Left upper lobe",   "Left lower lobe", "Right upper lobe",
                           "Right middle lobe", "Right lower lobe"};
    for (int row = 0; row < kLungPartCount; ++row)
        for (int c = 0; c < kColumnCount; ++c)
            EXPECT_EQ(matrix[1 + row * kColumnCount + c][0], parts[row]);
    EXPECT_EQ(matrix[1 + 2 * kColumnCount + 4][2], "peripheral bronchi resistance");
    EXPECT_EQ(matrix[1][2], "main airway resistance R");
    const CsvTable& options = e.sections[kOptions];
    EXPECT_EQ(options[1][1], "expiration deepness");
    EXPECT_EQ(options[6][1], "scoliosis (left%right)");
    EXPECT_EQ(options[7][1], "") << "options 7 ... 20 have no name";
}

struct StatusCase {
    const char* name;
    float status;
    const char* text;
    const char* code;
};

class RunCsvStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(RunCsvStatus, NamedAsInTheIndicesTable) {
    const StatusCase& c = GetParam();
    auto r = awkwardRun(10, 10);
    r->runStatus = c.status;
    const Export e = exportOf(*r, 1);
    ASSERT_GE(e.sections.size(), std::size_t{1});
    EXPECT_EQ(e.sections[kRecord][1][1], c.text);
    EXPECT_EQ(e.sections[kRecord][1][2], c.code);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, RunCsvStatus,
                         testing::Values(StatusCase{"completed", 1.0f, "completed", "1"},
                                         StatusCase{"tidal_breathing_failed", 0.0f, "dead", "0"},
                                         StatusCase{"failed", -1.0f, "error", "-1"},
                                         StatusCase{"damaged_file", 0.5f, "unknown", "0.5"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct VariableCase {
    const char* name;
    float code;
    const char* variable;
    const char* loopColumn;
};

class RunCsvVariable : public testing::TestWithParam<VariableCase> {};

// The loop's second column holds whatever the run recorded; its header says which quantity.
TEST_P(RunCsvVariable, LoopHeaderNamesTheRecordedQuantity) {
    const VariableCase& c = GetParam();
    auto r = awkwardRun(10, 10);
    r->displayVariableCode = c.code;
    const Export e = exportOf(*r, 1);
    ASSERT_EQ(e.sections.size(), std::size_t{kSectionCount});
    EXPECT_EQ(e.sections[kRecord][1][4], c.variable);
    EXPECT_EQ(e.sections[kLoop][0], (CsvRow{"lung volume (l)", c.loopColumn}));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, RunCsvVariable,
    testing::Values(VariableCase{"total_airflow", 1, "total airflow", "flow (l/s)"},
                    VariableCase{"airflow_from_lungs", 2, "airflow from lungs", "flow (l/s)"},
                    VariableCase{"airflow_when_limitation", 3, "airflow when limitation",
                                 "flow (l/s)"},
                    VariableCase{"intermediate_resistance", 4, "intermediate bronchi resistance",
                                 "intermediate bronchi resistance (kPa s/l)"},
                    VariableCase{"peripheral_resistance", 5, "peripheral bronchi resistance",
                                 "peripheral bronchi resistance (kPa s/l)"},
                    VariableCase{"intrathorax_pressure", 6, "intrathorax pressure",
                                 "intrathorax pressure (kPa)"},
                    VariableCase{"not_a_code", 2.5f, "", "value"},
                    VariableCase{"nan_from_a_damaged_file", std::numeric_limits<float>::quiet_NaN(),
                                 "", "value"}),
    [](const auto& info) { return std::string(info.param.name); });

struct SampleCase {
    const char* name;
    int loopSamples;  // leading non-zero volumes written
    int curveSamples; // leading non-zero times written
    int zeroVolumeAt; // a further zero volume at this index (-1: none)
    int loopExpected;
    int curveExpected;
};

class RunCsvSamples : public testing::TestWithParam<SampleCase> {};

// The plots stop at the first zero volume or time: the export holds the same samples.
TEST_P(RunCsvSamples, AsManyAsThePlotsDraw) {
    const SampleCase& c = GetParam();
    auto r = awkwardRun(c.loopSamples, c.curveSamples);
    if (c.zeroVolumeAt >= 0) r->volumeCurve[c.zeroVolumeAt] = 0;
    EXPECT_EQ(flowVolumeSampleCount(*r), c.loopExpected);
    EXPECT_EQ(volumeTimeSampleCount(*r), c.curveExpected);
    const Export e = exportOf(*r, 1);
    ASSERT_EQ(e.sections.size(), std::size_t{kSectionCount});
    EXPECT_EQ(e.sections[kLoop].size(), std::size_t(1 + c.loopExpected));
    EXPECT_EQ(e.sections[kCurve].size(), std::size_t(1 + c.curveExpected));
}

INSTANTIATE_TEST_SUITE_P(
    Counts, RunCsvSamples,
    testing::Values(SampleCase{"standard_examination", 630, 212, -1, 630, 212},
                    SampleCase{"no_run", 0, 0, -1, 0, 0},
                    SampleCase{"a_single_sample", 1, 1, -1, 1, 1},
                    SampleCase{"longest_loop_the_driver_stores", kFlowVolumeUsable, 1000, -1,
                               kFlowVolumeUsable, 1000},
                    SampleCase{"every_slot_filled", kFlowVolumeSamples, 1000, -1,
                               kFlowVolumeSamples, 1000},
                    SampleCase{"zero_volume_ends_the_loop", 630, 212, 300, 300, 212},
                    SampleCase{"failed_run_keeps_its_curve", 0, 57, -1, 0, 57}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunCsv, ZeroFlowSamplesStayInTheLoop) {
    // The plot hides the segment to a zero flow but the sample belongs to the loop.
    auto r = awkwardRun(20, 5);
    r->flowCurve[7] = 0;
    const Export e = exportOf(*r, 1);
    ASSERT_EQ(e.sections.size(), std::size_t{kSectionCount});
    ASSERT_EQ(e.sections[kLoop].size(), std::size_t{21});
    EXPECT_EQ(e.sections[kLoop][8][1], "0");
}

struct FieldCase {
    const char* name;
    const char* text;
    const char* field;
};

class CsvField : public testing::TestWithParam<FieldCase> {};

TEST_P(CsvField, QuotedOnlyWhenASpreadsheetWouldSplitIt) {
    const FieldCase& c = GetParam();
    EXPECT_EQ(csvField(c.text), c.field);
    // And it reads back as the one text it was.
    bool ok = false;
    const CsvTable rows = readCsv(std::string(csvField(c.text)) + ",x\n", &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(rows.size(), std::size_t{1});
    EXPECT_EQ(rows[0], (CsvRow{c.text, "x"}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CsvField,
    testing::Values(FieldCase{"plain", "Left upper lobe", "Left upper lobe"},
                    FieldCase{"percent_and_parentheses", "scoliosis (left%right)",
                              "scoliosis (left%right)"},
                    FieldCase{"comma", "Vol, expired", "\"Vol, expired\""},
                    FieldCase{"quote", "the \"R\" slider", "\"the \"\"R\"\" slider\""},
                    FieldCase{"line_break", "two\nlines", "\"two\nlines\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunCsv, SpecialFloatsOfADamagedFileStayReadable) {
    auto r = awkwardRun(5, 5);
    r->fev1 = std::numeric_limits<float>::infinity();
    r->fvc = std::numeric_limits<float>::quiet_NaN();
    r->pef = -0.0f;
    r->mef75 = 1e-30f;
    const Export e = exportOf(*r, 1);
    ASSERT_TRUE(e.wellFormed);
    ASSERT_EQ(e.sections.size(), std::size_t{kSectionCount});
    const CsvTable& indices = e.sections[kIndices];
    EXPECT_EQ(indices[1][2], "inf");
    EXPECT_EQ(indices[2][2], "nan");
    EXPECT_EQ(numberIn(indices[4], 2), 0.0f);
    EXPECT_EQ(numberIn(indices[5], 2), 1e-30f);
}

} // namespace
