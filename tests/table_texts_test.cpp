#include "results/table_texts.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/simulation_record.h"
#include "results/comments.h"
#include "results/number_format.h"

using namespace pulmora;

namespace {

struct FormatCase {
    const char* name;
    double value;
    int precision, decimals;
    const char* text;
};

class NumberFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormat, RoundsToTheDigitsThenWritesTheDecimals) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatFixed(c.value, c.precision, c.decimals), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberFormat,
    testing::Values(FormatCase{"four_digits_two_decimals", 123.456, 4, 2, "123.50"},
                    FormatCase{"three_digits_no_decimals", 95.67, 3, 0, "96"},
                    FormatCase{"small_index", 2.840267, 4, 2, "2.84"},
                    FormatCase{"rounds_up_a_digit", 9.9996, 4, 2, "10.00"},
                    FormatCase{"whole_percentage", 100.0, 5, 0, "100"},
                    FormatCase{"negative", -1.2345, 4, 2, "-1.23"},
                    FormatCase{"tiny_negative_is_zero", -0.0001, 4, 2, "0.00"},
                    FormatCase{"integer_digits_beyond_precision", 12346.0, 4, 2, "1.235E+04"},
                    FormatCase{"nan", std::nan(""), 4, 2, "NAN"},
                    FormatCase{"infinite", -INFINITY, 4, 2, "-INF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberFormat, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(formatFixed(123.456, 4, 2, ','), "123,50");
}

constexpr const char* kComments =
    "heading line\n"
    "#1\n"
    "Resistance of the main airways. \n"
    "+++What to look for.\n"
    "*\n"
    "#2\n"
    "Second, \n"
    "#7\n"
    "still second.\n"
    "*\n"
    "#11\n"
    "Completed.\n"
    "#3\n"
    "*nothing\n";

struct SectionCase {
    const char* name;
    int section;
    const char* text;
};

class CommentSections : public testing::TestWithParam<SectionCase> {};

TEST_P(CommentSections, AreCutFromTheFile) {
    EXPECT_EQ(commentSection(kComments, GetParam().section), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, CommentSections,
    testing::Values(
        SectionCase{"lines_joined_without_separator", 1,
                    "Resistance of the main airways. +++What to look for."},
        SectionCase{"another_number_does_not_stop_it", 2, "Second, #7still second."},
        SectionCase{"unclosed_runs_to_the_end", 11, "Completed.#3*nothing"},
        SectionCase{"missing_is_empty", 5, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommentSections, SplitAtTheMarker) {
    const CommentParagraphs two = splitComment("First part.+++Second part.");
    EXPECT_EQ(two.first, "First part.");
    EXPECT_EQ(two.second, "Second part.");
    const CommentParagraphs one = splitComment("Only one.");
    EXPECT_EQ(one.first, "Only one.");
    EXPECT_EQ(one.second, "");
}

// A reference and a run with known indices.
std::unique_ptr<RunHistory> historyWithRun(float status, float displayVariable) {
    auto h = makeRunHistory();
    SimulationRecord& ref = h->slot(0);
    SimulationRecord& run = h->slot(1);
    ref.fev1 = 4.0f;
    ref.pef = 8.0f;
    ref.fet = 3.0f;
    ref.erv = 1.0f;
    ref.runStatus = 1;
    ref.displayVariableCode = 1;
    run.fev1 = 3.0f;
    run.pef = 4.0f;
    run.fet = 2.5f;
    run.erv = 1.5f;
    run.runStatus = status;
    run.displayVariableCode = displayVariable;
    h->runCount = 1;
    h->selectedRun = 1;
    return h;
}

TEST(IndicesTable, CompletedRunAgainstTheReference) {
    auto h = historyWithRun(1, 1);
    IndicesTableTexts t;
    EXPECT_EQ(FillIndicesTable(t, *h, 1, true), 11);
    EXPECT_EQ(t.at(0, 1), "FEV1");
    EXPECT_EQ(t.at(1, 1), "l");
    EXPECT_EQ(t.at(2, 1), "4.00");
    EXPECT_EQ(t.at(3, 1), "3.00");
    EXPECT_EQ(t.at(4, 1), "75");
    EXPECT_EQ(t.at(4, 4), "50") << "PEF of an airflow variable has a percentage";
    EXPECT_EQ(t.at(4, 2), " ") << "a reference of 0 gives no percentage";
    EXPECT_EQ(t.at(0, 11), "FET");
    EXPECT_EQ(t.at(2, 11), "") << "FET never shows a reference value";
    EXPECT_EQ(t.at(3, 11), "2.50");
    EXPECT_EQ(t.at(4, 11), " ") << "nor a percentage";
    EXPECT_EQ(t.at(0, 15), "Variable");
    EXPECT_EQ(t.at(3, 15), "1");
    EXPECT_EQ(t.at(4, 15), "");
    for (int row : {9, 10, 14}) EXPECT_EQ(t.at(0, row), "") << row;
    EXPECT_EQ(t.at(1, 0), "Unit");
    EXPECT_EQ(t.at(4, 0), "%");
}

struct StatusCase {
    const char* name;
    float status;
    const char* observed;
    int comment;
};

class IndicesStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(IndicesStatus, FailedRunsShowTheirStatusInsteadOfNumbers) {
    const StatusCase& c = GetParam();
    auto h = historyWithRun(c.status, 1);
    IndicesTableTexts t;
    EXPECT_EQ(FillIndicesTable(t, *h, 1, true), c.comment);
    for (int row : {1, 4, 8, 11, 12}) {
        EXPECT_EQ(t.at(3, row), c.observed) << row;
        EXPECT_EQ(t.at(4, row), " ") << row;
    }
}

INSTANTIATE_TEST_SUITE_P(Statuses, IndicesStatus,
                         testing::Values(StatusCase{"dead", 0, "dead", 9},
                                         StatusCase{"error", -1, "error", 10},
                                         StatusCase{"unknown_status", 7, "error", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IndicesTable, PressureVariableHasPercentagesOnlyForVolumeIndices) {
    auto h = historyWithRun(1, 6);
    IndicesTableTexts t;
    FillIndicesTable(t, *h, 1, true);
    EXPECT_EQ(t.at(4, 1), "75") << "FEV1";
    EXPECT_EQ(t.at(4, 8), "150") << "ERV";
    EXPECT_EQ(t.at(4, 4), " ") << "PEF of a pressure is no airflow";
    EXPECT_EQ(t.at(3, 15), "6");
}

TEST(IndicesTable, WithoutObservedColumnsTheyAreEmptied) {
    auto h = historyWithRun(1, 1);
    IndicesTableTexts t;
    FillIndicesTable(t, *h, 1, true);
    FillIndicesTable(t, *h, 0, false);
    for (int row = 1; row < kIndicesRows; ++row) {
        EXPECT_EQ(t.at(3, row), "") << row;
        EXPECT_EQ(t.at(4, row), "") << row;
    }
    EXPECT_EQ(t.at(2, 1), "4.00");
}

TEST(HistoryRow, ShowsTheStoredRowOfTheSelectedLungPart) {
    auto h = makeRunHistory();
    SimulationRecord& r = h->slot(2);
    for (int c = 0; c < kColumnCount; ++c) r.parameterMatrix[lungPartRow(kRightLung)][c] = 100 + c;
    r.options[2] = 397;
    const HistoryRowTexts row = FillHistoryRow(r, kRightLung, 3);
    EXPECT_EQ(row.cells[0], "   100");
    EXPECT_EQ(row.cells[3], "   102");
    EXPECT_EQ(row.cells[10], "   107");
    for (int spacer : {2, 4, 5, 8}) EXPECT_FALSE(row.written[spacer]) << spacer;
    EXPECT_EQ(row.option, "   397");
}

} // namespace
