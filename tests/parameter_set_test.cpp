#include "core/parameter_set.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

#include "core/simulation_record.h"

using namespace pulmora;

namespace {

struct MappingCase {
    const char* name;
    int column; // -1 for the option slider
    int position;
    double value;
};

class SliderToValue : public testing::TestWithParam<MappingCase> {};

TEST_P(SliderToValue, StoresTheMappedValue) {
    const MappingCase& c = GetParam();
    ParameterSet set;
    if (c.column < 0) {
        EXPECT_EQ(setOptionFromPosition(set, 1, c.position), c.value);
        EXPECT_EQ(set.option(1), c.value);
    } else {
        EXPECT_EQ(setCellFromPosition(set, kLeftLung, c.column, c.position), c.value);
        EXPECT_EQ(set.cell(kLeftLung, c.column), c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grid, SliderToValue,
    testing::Values(MappingCase{"log_100", 0, 100, 50}, MappingCase{"log_200", 0, 200, 100},
                    MappingCase{"log_500", 0, 500, 800}, MappingCase{"log_600", 2, 600, 1600},
                    MappingCase{"log_258", 0, 258, 149}, MappingCase{"half_100", 1, 100, 50},
                    MappingCase{"half_101_ties_to_even", 1, 101, 50},
                    MappingCase{"half_103_ties_to_even", 1, 103, 52},
                    MappingCase{"half_500", 5, 500, 250}, MappingCase{"quarter_100", 6, 100, 50},
                    MappingCase{"quarter_102_ties_to_even", 6, 102, 50},
                    MappingCase{"quarter_106_ties_to_even", 7, 106, 52},
                    MappingCase{"quarter_500", 7, 500, 150}, MappingCase{"option_0", -1, 0, 25},
                    MappingCase{"option_399", -1, 399, 397},
                    MappingCase{"option_400", -1, 400, 400}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SliderMapping, ValuesBelowTenAreRaisedToTen) {
    // No slider range reaches so low, but the rule holds for any position.
    EXPECT_EQ(valueFromPosition(SliderMapping::Half, 4), 10);
    EXPECT_EQ(valueFromPosition(SliderMapping::Quarter, -400), 10);
    EXPECT_EQ(valueFromPosition(SliderMapping::Logarithmic, -500), 10);
}

struct PositionCase {
    const char* name;
    int column; // -1 for the option slider
    double value;
    int position;
};

class ValueToSlider : public testing::TestWithParam<PositionCase> {};

TEST_P(ValueToSlider, PlacesTheSlider) {
    const PositionCase& c = GetParam();
    const ColumnSlider& slider = c.column < 0 ? kOptionSlider : kColumnSliders[c.column];
    EXPECT_EQ(positionFromValue(slider, c.value), c.position);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Values, ValueToSlider,
    testing::Values(PositionCase{"log_150_off_grid", 0, 150, 258},
                    PositionCase{"log_1600_clamped_to_500", 0, 1600, 500},
                    PositionCase{"log_1600_on_600_slider", 2, 1600, 600},
                    PositionCase{"log_10_clamped_to_100", 4, 10, 100},
                    PositionCase{"half_150", 1, 150, 300}, PositionCase{"quarter_125", 6, 125, 400},
                    PositionCase{"option_397", -1, 397, 399},
                    PositionCase{"zero_from_a_file", 0, 0, 100},
                    PositionCase{"negative_from_a_file", 2, -50, 100},
                    PositionCase{"nan_from_a_file", 6, kNaN, 100},
                    PositionCase{"infinity_from_a_file", 3, kInf, 500}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterSet, OffGridValueComesBackOneLowerAfterPlacing) {
    ParameterSet set;
    set.cell(kBothLungs, 0) = 150;
    const int position = positionFromValue(kColumnSliders[0], set.cell(kBothLungs, 0));
    setCellFromPosition(set, kBothLungs, 0, position);
    EXPECT_EQ(set.cell(kBothLungs, 0), 149);
}

TEST(ParameterSet, ResetReturnsEveryCellAndOptionTo100) {
    ParameterSet set;
    set.cell(kRightMiddleLobe, 5) = 250;
    set.option(20) = 25;
    set.selectedLungPart = kLeftLung;
    set.resetToDefaults();
    for (const auto& row : set.matrix)
        for (double v : row) EXPECT_EQ(v, 100.0);
    for (double o : set.options) EXPECT_EQ(o, 100.0);
    EXPECT_EQ(set.selectedLungPart, kLeftLung) << "reset keeps the editing selection";
}

TEST(ParameterSet, CopyIntoRecordAndLoadBackGivesTheSameValues) {
    ParameterSet set;
    for (int part = kFirstLungPart; part <= kLastLungPart; ++part)
        for (int c = 0; c < kColumnCount; ++c)
            set.cell(part, c) = valueFromPosition(kColumnSliders[c].mapping, 100 + 13 * (part + 2) + c);
    for (int k = 1; k <= kOptionCount; ++k) set.option(k) = 25 + 17 * k;

    auto record = std::make_unique<SimulationRecord>();
    std::memset(record.get(), 0, sizeof(SimulationRecord));
    record->parameterMatrix[3][12] = 7.5f; // an unused float carries its value
    copyIntoRecord(set, *record);
    EXPECT_EQ(record->parameterMatrix[lungPartRow(kLeftLung)][0], set.cell(kLeftLung, 0));
    EXPECT_EQ(record->parameterMatrix[3][12], 7.5f);

    ParameterSet loaded;
    loadMatrixFromRecord(loaded, *record);
    EXPECT_EQ(loaded.matrix, set.matrix);
    EXPECT_EQ(loaded.options[0], 100.0) << "loading the matrix leaves the options alone";
    loadOptionsFromRecord(loaded, *record);
    EXPECT_EQ(loaded.options, set.options);
}

} // namespace
